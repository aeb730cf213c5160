// An event sink for XTimer's Tick: counts the events and answers each with a
// chosen result; optionally runs something inside the event.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <functional>

namespace helpertest {

class TickSink final : public IDispatch {
 public:
  int ticks = 0;
  HRESULT answer = S_OK;
  std::function<void()> duringTick;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return count;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* exception,
                                   UINT*) override {
    if (member != 1) return DISP_E_MEMBERNOTFOUND;
    ++ticks;
    if (duringTick) duringTick();
    if (answer == DISP_E_EXCEPTION && exception) {
      *exception = EXCEPINFO{};
      exception->scode = static_cast<HRESULT>(0x800A0005);
      exception->bstrDescription = SysAllocString(L"The macro's event handler failed.");
    }
    return answer;
  }

 private:
  LONG references_ = 1;
};

}  // namespace helpertest
