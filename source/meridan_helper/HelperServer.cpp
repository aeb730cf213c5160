#include "HelperServer.h"

#include "MERIDAN_HELPER_h.h"

namespace {

LONG claims;
bool requestServed;

using CreateFunction = HRESULT (*)(REFIID, void**);

// The IUnknown part of an object that lives as long as the process: it
// keeps no count and has one interface besides IUnknown.
template <typename Interface, const IID& kInterfaceId>
class ProcessObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == kInterfaceId) {
      *object = static_cast<Interface*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// The class object of one creatable class. It does not claim the server itself.
class ClassFactory final : public ProcessObject<IClassFactory, IID_IClassFactory> {
 public:
  explicit ClassFactory(CreateFunction create) : create_(create) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    HRESULT hr = create_(iid, object);
    if (SUCCEEDED(hr)) requestServed = true;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      Server_Claim();
      requestServed = true;
    } else {
      Server_Unclaim();
    }
    return S_OK;
  }

 private:
  CreateFunction create_;
};

ClassFactory dllFctsFactory(DLLFcts_Create);
ClassFactory xTimerFactory(XTimer_Create);
DWORD dllFctsCookie;
DWORD xTimerCookie;

// Watches the calls that reach a helper whose class objects are withdrawn.
// No object is left then, so any call comes from a client that was handed the
// class objects just before they were withdrawn and now asks for its object:
// they are offered again before that request is served.
class LateClientFilter final : public ProcessObject<IMessageFilter, IID_IMessageFilter> {
 public:
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    if (!dllFctsCookie) Server_RegisterClassObjects();
    return SERVERCALL_ISHANDLED;
  }
  // The helper's own outgoing calls (timer events) behave as without a filter.
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

LateClientFilter lateClientFilter;
bool filtering;
IMessageFilter* previousFilter;

void Revoke() {
  if (dllFctsCookie) CoRevokeClassObject(dllFctsCookie);
  if (xTimerCookie) CoRevokeClassObject(xTimerCookie);
  dllFctsCookie = xTimerCookie = 0;
}

}  // namespace

void Server_Claim() { InterlockedIncrement(&claims); }

void Server_Unclaim() { InterlockedDecrement(&claims); }

LONG Server_Claims() { return claims; }

bool Server_RequestServed() { return requestServed; }

HRESULT Server_RegisterClassObjects() {
  HRESULT hr = CoRegisterClassObject(CLSID_DLLFcts, &dllFctsFactory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                     &dllFctsCookie);
  if (FAILED(hr)) return hr;
  hr = CoRegisterClassObject(CLSID_XTimer, &xTimerFactory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &xTimerCookie);
  if (FAILED(hr)) {
    CoRevokeClassObject(dllFctsCookie);
    dllFctsCookie = 0;
  }
  return hr;
}

void Server_WithdrawClassObjects() {
  if (!filtering) filtering = SUCCEEDED(CoRegisterMessageFilter(&lateClientFilter, &previousFilter));
  Revoke();
}

bool Server_ClassObjectsOffered() { return dllFctsCookie != 0; }

void Server_RevokeClassObjects() {
  Revoke();
  if (!filtering) return;
  CoRegisterMessageFilter(previousFilter, nullptr);
  if (previousFilter) previousFilter->Release();
  previousFilter = nullptr;
  filtering = false;
}
