#include "DispatchSupport.h"

#include <vector>

namespace {

ITypeLib* helperTypeLib;

HRESULT LoadHelperTypeLib(ITypeLib** typeLib) {
  if (!helperTypeLib) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &helperTypeLib);
    if (FAILED(hr)) return hr;
  }
  *typeLib = helperTypeLib;
  return S_OK;
}

// One argument that had to be replaced before the call, with what must go
// back to the caller afterwards.
struct ArgumentFix {
  VARIANT* callerValue = nullptr;   // scalar by reference: the caller's variant, rewritten after the call
  VARIANT holder;                   // the converted value the method works on
  SAFEARRAY* callerArray = nullptr; // array by reference whose elements had to be converted
  SAFEARRAY* converted = nullptr;   // the converted copy the method works on
  SAFEARRAY* before = nullptr;      // the converted copy as it was before the call
  ArgumentFix() { VariantInit(&holder); }
};

bool IsArrayParameter(const TYPEDESC& type) { return type.vt == VT_SAFEARRAY && type.lptdesc; }

HRESULT ReadElement(SAFEARRAY* array, LONG index, VARTYPE type, VARIANT* value) {
  VariantInit(value);
  if (type == VT_VARIANT) return SafeArrayGetElement(array, &index, value);
  HRESULT hr = SafeArrayGetElement(array, &index, &value->bVal);
  if (SUCCEEDED(hr)) value->vt = type;
  return hr;
}

HRESULT WriteElement(SAFEARRAY* array, LONG index, VARTYPE type, VARIANT* value) {
  if (type == VT_VARIANT) return SafeArrayPutElement(array, &index, value);
  VARIANT typed;
  VariantInit(&typed);
  HRESULT hr = VariantChangeType(&typed, value, 0, type);
  if (SUCCEEDED(hr))
    hr = SafeArrayPutElement(array, &index, type == VT_BSTR ? static_cast<void*>(typed.bstrVal) : &typed.bVal);
  VariantClear(&typed);
  return hr;
}

// A copy of a one-dimensional array with its elements converted to `element`.
// Arrays of other shapes are copied as empty arrays of the same shape, which
// the method then rejects like the original.
HRESULT ConvertArray(SAFEARRAY* source, VARTYPE element, SAFEARRAY** converted) {
  *converted = nullptr;
  UINT dims = SafeArrayGetDim(source);
  std::vector<SAFEARRAYBOUND> bounds(dims);
  for (UINT d = 0; d < dims; ++d) {
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(source, d + 1, &lower);
    SafeArrayGetUBound(source, d + 1, &upper);
    bounds[d] = {static_cast<ULONG>(upper - lower + 1), lower};
  }
  SAFEARRAY* copy = SafeArrayCreate(element, dims, bounds.data());
  if (!copy) return E_OUTOFMEMORY;
  VARTYPE sourceType = VT_EMPTY;
  HRESULT hr = SafeArrayGetVartype(source, &sourceType);
  if (SUCCEEDED(hr) && dims == 1) {
    for (LONG i = bounds[0].lLbound; SUCCEEDED(hr) && i < bounds[0].lLbound + static_cast<LONG>(bounds[0].cElements);
         ++i) {
      VARIANT value;
      hr = ReadElement(source, i, sourceType, &value);
      if (SUCCEEDED(hr)) hr = WriteElement(copy, i, element, &value);
      VariantClear(&value);
    }
  }
  if (FAILED(hr)) {
    SafeArrayDestroy(copy);
    return DISP_E_TYPEMISMATCH;
  }
  *converted = copy;
  return S_OK;
}

// Writes the elements that the method changed back into the caller's array.
void CopyBackChangedElements(ArgumentFix& fix, VARTYPE element) {
  if (!fix.converted || !fix.before || SafeArrayGetDim(fix.converted) != 1) return;
  VARTYPE callerType = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(fix.callerArray, &callerType))) return;
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(fix.converted, 1, &lower);
  SafeArrayGetUBound(fix.converted, 1, &upper);
  for (LONG i = lower; i <= upper; ++i) {
    VARIANT now, then;
    if (SUCCEEDED(ReadElement(fix.converted, i, element, &now)) &&
        SUCCEEDED(ReadElement(fix.before, i, element, &then)) && VarCmp(&now, &then, 0, 0) != VARCMP_EQ)
      WriteElement(fix.callerArray, i, callerType, &now);
    VariantClear(&now);
    VariantClear(&then);
  }
}

// The function description that an Invoke with `flags` reaches, or null.
FUNCDESC* FindFunction(ITypeInfo* typeInfo, DISPID member, WORD flags) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(typeInfo->GetTypeAttr(&attributes))) return nullptr;
  WORD count = attributes->cFuncs;
  typeInfo->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < count; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(typeInfo->GetFuncDesc(i, &function))) continue;
    bool put = (function->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) != 0;
    bool wantPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (function->memid == member && put == wantPut) return function;
    typeInfo->ReleaseFuncDesc(function);
  }
  return nullptr;
}

// Replaces one by-reference variant argument (VT_BYREF | VT_VARIANT) by a value of
// the parameter's declared type.
HRESULT FixVariantArgument(VARIANT& argument, const TYPEDESC& declared, ArgumentFix& fix) {
  VARIANT* inner = argument.pvarVal;
  while (inner && inner->vt == (VT_BYREF | VT_VARIANT)) inner = inner->pvarVal;
  if (!inner) return DISP_E_TYPEMISMATCH;
  if (declared.vt != VT_PTR || !declared.lptdesc) {  // by value: the value itself
    HRESULT hr = VariantCopyInd(&fix.holder, inner);
    if (FAILED(hr)) return hr;
    argument = fix.holder;
    return S_OK;
  }
  const TYPEDESC& target = *declared.lptdesc;
  if (IsArrayParameter(target)) {
    VARTYPE element = target.lptdesc->vt;
    SAFEARRAY** callerArray = nullptr;
    if (inner->vt == (VT_ARRAY | element)) callerArray = &inner->parray;
    if (inner->vt == (VT_BYREF | VT_ARRAY | element)) callerArray = inner->pparray;
    argument.vt = VT_BYREF | VT_ARRAY | element;
    if (callerArray) {
      argument.pparray = callerArray;
      return S_OK;
    }
    argument.pparray = &fix.converted;  // an unassigned variable arrives as no array at all
    if (inner->vt == VT_EMPTY) return S_OK;
    if (!(inner->vt & VT_ARRAY)) return DISP_E_TYPEMISMATCH;
    fix.callerArray = (inner->vt & VT_BYREF) ? *inner->pparray : inner->parray;
    if (!fix.callerArray) return S_OK;
    HRESULT hr = ConvertArray(fix.callerArray, element, &fix.converted);
    if (SUCCEEDED(hr)) hr = SafeArrayCopy(fix.converted, &fix.before);
    return hr;
  }
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = VariantCopyInd(&value, inner);
  if (SUCCEEDED(hr)) hr = VariantChangeType(&fix.holder, &value, 0, target.vt);
  VariantClear(&value);
  if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
  fix.callerValue = inner;
  argument.vt = VT_BYREF | target.vt;
  argument.byref = &fix.holder.bVal;
  return S_OK;
}

// Replaces an array of another element type passed by reference directly
// (VT_BYREF | VT_ARRAY | other) by a converted copy.
HRESULT FixArrayArgument(VARIANT& argument, VARTYPE element, ArgumentFix& fix) {
  fix.callerArray = *argument.pparray;
  argument.vt = VT_BYREF | VT_ARRAY | element;
  argument.pparray = &fix.converted;
  if (!fix.callerArray) return S_OK;
  HRESULT hr = ConvertArray(fix.callerArray, element, &fix.converted);
  if (SUCCEEDED(hr)) hr = SafeArrayCopy(fix.converted, &fix.before);
  return hr;
}

HRESULT FixArguments(const FUNCDESC& function, const DISPPARAMS& params, std::vector<VARIANT>& arguments,
                     std::vector<ArgumentFix>& fixes, UINT* argumentError) {
  for (UINT j = 0; j < params.cArgs; ++j) {
    LONG parameter = static_cast<LONG>(params.cArgs - 1 - j);
    if (j < params.cNamedArgs) {
      parameter = params.rgdispidNamedArgs[j];
      if (parameter == DISPID_PROPERTYPUT) parameter = function.cParams - 1;
    }
    if (parameter < 0 || parameter >= function.cParams) continue;
    const TYPEDESC& declared = function.lprgelemdescParam[parameter].tdesc;
    VARIANT& argument = arguments[j];
    HRESULT hr = S_OK;
    if (argument.vt == (VT_BYREF | VT_VARIANT)) {
      hr = FixVariantArgument(argument, declared, fixes[j]);
    } else if (declared.vt == VT_PTR && declared.lptdesc && IsArrayParameter(*declared.lptdesc) &&
               (argument.vt & (VT_BYREF | VT_ARRAY)) == (VT_BYREF | VT_ARRAY) &&
               argument.vt != (VT_BYREF | VT_ARRAY | declared.lptdesc->lptdesc->vt)) {
      hr = FixArrayArgument(argument, declared.lptdesc->lptdesc->vt, fixes[j]);
    }
    if (FAILED(hr)) {
      if (argumentError) *argumentError = j;
      return DISP_E_TYPEMISMATCH;
    }
  }
  return S_OK;
}

void FinishArguments(std::vector<ArgumentFix>& fixes, bool called) {
  for (ArgumentFix& fix : fixes) {
    if (called && fix.callerValue) {
      VariantClear(fix.callerValue);
      *fix.callerValue = fix.holder;  // the caller's variable now owns the value
      VariantInit(&fix.holder);
    }
    if (called && fix.callerArray && fix.converted) {
      VARTYPE element = VT_EMPTY;
      SafeArrayGetVartype(fix.converted, &element);
      CopyBackChangedElements(fix, element);
    }
    VariantClear(&fix.holder);
    if (fix.converted) SafeArrayDestroy(fix.converted);
    if (fix.before) SafeArrayDestroy(fix.before);
  }
}

}  // namespace

HRESULT Dispatch_GetTypeInfo(REFGUID guid, ITypeInfo** typeInfo) {
  *typeInfo = nullptr;
  ITypeLib* typeLib = nullptr;
  HRESULT hr = LoadHelperTypeLib(&typeLib);
  return FAILED(hr) ? hr : typeLib->GetTypeInfoOfGuid(guid, typeInfo);
}

HRESULT Dispatch_RaiseError(HRESULT code, const wchar_t* description, const wchar_t* source, REFIID iid) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetGUID(iid);
    create->SetDescription(const_cast<LPOLESTR>(description));
    if (source) create->SetSource(const_cast<LPOLESTR>(source));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return code;
}

HRESULT Dispatch_Invoke(ITypeInfo* typeInfo, void* object, DISPID member, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!params || params->cArgs == 0)
    return typeInfo->Invoke(object, member, flags, params, result, exception, argumentError);
  FUNCDESC* function = FindFunction(typeInfo, member, flags);
  if (!function) return typeInfo->Invoke(object, member, flags, params, result, exception, argumentError);
  std::vector<VARIANT> arguments(params->rgvarg, params->rgvarg + params->cArgs);
  std::vector<ArgumentFix> fixes(params->cArgs);
  HRESULT hr = FixArguments(*function, *params, arguments, fixes, argumentError);
  if (SUCCEEDED(hr)) {
    DISPPARAMS fixed = *params;
    fixed.rgvarg = arguments.data();
    hr = typeInfo->Invoke(object, member, flags, &fixed, result, exception, argumentError);
  }
  FinishArguments(fixes, SUCCEEDED(hr) || hr == DISP_E_EXCEPTION);
  typeInfo->ReleaseFuncDesc(function);
  return hr;
}
