#include "HelperServer.h"

#include "MERIDAN_HELPER_h.h"

namespace {

LONG claims;
bool requestServed;

using CreateFunction = HRESULT (*)(REFIID, void**);

// The class object of one creatable class. It lives as long as the process
// and does not claim the server itself.
class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(CreateFunction create) : create_(create) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

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

void Server_RevokeClassObjects() {
  if (dllFctsCookie) CoRevokeClassObject(dllFctsCookie);
  if (xTimerCookie) CoRevokeClassObject(xTimerCookie);
  dllFctsCookie = xTimerCookie = 0;
}
