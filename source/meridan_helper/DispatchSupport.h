// What both automation classes share: the embedded type library, automation
// errors with a description, and IDispatch calls that script hosts can make.
#pragma once
#include <windows.h>
#include <oaidl.h>

// The type description of one type of the helper's own type library, which is
// loaded once from the running executable's resources. The caller releases it.
HRESULT Dispatch_GetTypeInfo(REFGUID guid, ITypeInfo** typeInfo);

// Records an automation error (description, source, interface) for the calling
// thread, so that the caller's macro sees it as a run-time error with this
// text, and returns `code`. `source` may be null.
HRESULT Dispatch_RaiseError(HRESULT code, const wchar_t* description, const wchar_t* source, REFIID iid);

// IDispatch::Invoke of a dual interface through its type description. Script
// hosts pass every variable by reference as a variant (VT_BYREF | VT_VARIANT),
// and their arrays hold variants; such arguments are converted to the declared
// parameter type first and written back to the caller's variable afterwards.
// An argument whose value does not fit fails with DISP_E_TYPEMISMATCH.
HRESULT Dispatch_Invoke(ITypeInfo* typeInfo, void* object, DISPID member, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

// The source named in the errors of the DLLFcts methods.
constexpr wchar_t kHelperErrorSource[] = L"MERIDAN_HELPER";

