// The IDispatch half of a dual interface, the same for every automation class
// of the helper: answered from the interface's type description in the
// helper's own type library, with the script hosts' calls converted by
// Dispatch_Invoke. A class derives from DualDispatch<its interface>.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "DispatchSupport.h"

template <typename Interface>
class DualDispatch : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = typeInfo_ ? 1 : 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) override {
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!typeInfo_) return TYPE_E_ELEMENTNOTFOUND;
    typeInfo_->AddRef();
    *typeInfo = typeInfo_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (!typeInfo_) return E_UNEXPECTED;
    return DispGetIDsOfNames(typeInfo_, names, count, ids);
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override {
    if (!typeInfo_) return E_UNEXPECTED;
    return Dispatch_Invoke(typeInfo_, static_cast<Interface*>(this), member, flags, params, result, exception,
                           argumentError);
  }

 protected:
  // Without its type description (a damaged executable) the object still
  // works through its interface; only the calls by name fail.
  explicit DualDispatch(REFIID iid) { Dispatch_GetTypeInfo(iid, &typeInfo_); }
  ~DualDispatch() {
    if (typeInfo_) typeInfo_->Release();
  }

 private:
  ITypeInfo* typeInfo_ = nullptr;
};
