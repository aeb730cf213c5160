#include "XTimer.h"

#include <olectl.h>

#include <new>

#include "DispatchSupport.h"
#include "HelperServer.h"
#include "XTimerSupport.h"

namespace {

constexpr DISPID kTickMember = 1;

// Errors that say the sink's process or apartment is gone for good: such a
// sink can never be reached again.
bool SinkIsGone(HRESULT hr) {
  return hr == RPC_E_DISCONNECTED || hr == RPC_E_SERVER_DIED || hr == RPC_E_SERVER_DIED_DNE ||
         hr == CO_E_OBJNOTCONNECTED || hr == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
         hr == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) || hr == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE);
}

}  // namespace

HRESULT XTimer_Create(REFIID iid, void** object) {
  XTimer* created = new (std::nothrow) XTimer();
  if (!created) return E_OUTOFMEMORY;
  created->AddRef();
  HRESULT hr = created->QueryInterface(iid, object);
  created->Release();
  return hr;
}

XTimer::XTimer() : DualDispatch(IID__XTimer) {}

// The end of the object destroys a timer still registered under its
// identifier; the slot table is not touched (a slot keeps its object alive,
// so only a process that ends gets here with a running timer).
XTimer::~XTimer() {
  if (TimerID_ != 0) XTimerSupport_DestroySystemTimer(TimerID_);
  for (Sink& sink : sinks_) sink.target->Release();
}

HRESULT STDMETHODCALLTYPE XTimer::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__XTimer) {
    *object = static_cast<_XTimer*>(this);
  } else if (iid == IID_IConnectionPointContainer) {
    *object = static_cast<IConnectionPointContainer*>(this);
  } else if (iid == IID_IProvideClassInfo) {
    *object = static_cast<IProvideClassInfo*>(this);
  } else if (iid == IID_ISupportErrorInfo) {
    *object = static_cast<ISupportErrorInfo*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE XTimer::AddRef() {
  LONG count = InterlockedIncrement(&clientReferences_);
  if (count == 1) Server_Claim();
  return count;
}

ULONG STDMETHODCALLTYPE XTimer::Release() {
  LONG count = InterlockedDecrement(&clientReferences_);
  if (count == 0) {
    DeleteIfUnreferenced();
    Server_Unclaim();
  }
  return count;
}

void XTimer::HoldInternal() { InterlockedIncrement(&internalReferences_); }

void XTimer::ReleaseInternal() {
  if (InterlockedDecrement(&internalReferences_) == 0) DeleteIfUnreferenced();
}

void XTimer::DeleteIfUnreferenced() {
  if (clientReferences_ == 0 && internalReferences_ == 0) delete this;
}

HRESULT STDMETHODCALLTYPE XTimer::get_Enabled(VARIANT_BOOL* Enabled) {
  if (!Enabled) return E_POINTER;
  *Enabled = Enabled_;
  return S_OK;
}

// Any value but 0 counts as true and is kept as True (-1), so that writing
// "true" again in another spelling changes nothing.
HRESULT STDMETHODCALLTYPE XTimer::put_Enabled(VARIANT_BOOL NewValue) {
  VARIANT_BOOL value = NewValue ? VARIANT_TRUE : VARIANT_FALSE;
  if (value == Enabled_) return S_OK;
  Enabled_ = value;
  if (Interval_ == 0) return S_OK;
  if (value) return StartOwnTimer(Interval_);
  if (TimerID_ != 0) {
    StopTimer(this);
    TimerID_ = 0;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE XTimer::get_Interval(LONG* Interval) {
  if (!Interval) return E_POINTER;
  *Interval = Interval_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE XTimer::put_Interval(LONG NewInterval) {
  if (NewInterval == Interval_) return S_OK;
  Interval_ = NewInterval;
  if (TimerID_ != 0) {
    StopTimer(this);
    TimerID_ = 0;
  }
  if (NewInterval != 0 && Enabled_) return StartOwnTimer(NewInterval);
  return S_OK;
}

HRESULT XTimer::StartOwnTimer(LONG interval) {
  UINT_PTR id = 0;
  HRESULT hr = StartTimer(this, interval, &id);
  if (SUCCEEDED(hr)) TimerID_ = id;
  return hr;
}

// Tick goes to every advised sink, even when an earlier one failed; the first
// failure is the result. A sink whose process has gone is dropped.
HRESULT STDMETHODCALLTYPE XTimer::RaiseTick() {
  std::vector<Sink> sinks = sinks_;
  for (Sink& sink : sinks) sink.target->AddRef();
  HoldInternal();  // a sink may release the object during its event
  HRESULT first = S_OK;
  BSTR description = nullptr;
  for (Sink& sink : sinks) {
    DISPPARAMS none{};
    EXCEPINFO exception{};
    HRESULT hr = sink.target->Invoke(kTickMember, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                                     &exception, nullptr);
    if (hr == DISP_E_EXCEPTION && exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    if (FAILED(hr) && SUCCEEDED(first)) {
      first = hr == DISP_E_EXCEPTION && FAILED(exception.scode) ? exception.scode : hr;
      description = exception.bstrDescription;
      exception.bstrDescription = nullptr;
    }
    if (FAILED(hr) && SinkIsGone(hr)) DropSink(sink.cookie);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  for (Sink& sink : sinks) sink.target->Release();
  if (FAILED(first))
    Dispatch_RaiseError(first, description ? description : L"The Tick event failed.", nullptr, IID__XTimer);
  SysFreeString(description);
  ReleaseInternal();
  return first;
}

HRESULT STDMETHODCALLTYPE XTimer::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE XTimer::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (iid != DIID___XTimer) return CONNECT_E_NOCONNECTION;
  *point = &connectionPoint_;
  connectionPoint_.AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE XTimer::GetClassInfo(ITypeInfo** typeInfo) {
  if (!typeInfo) return E_POINTER;
  return Dispatch_GetTypeInfo(CLSID_XTimer, typeInfo);
}

HRESULT STDMETHODCALLTYPE XTimer::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID__XTimer ? S_OK : S_FALSE;
}

void XTimer::DropSink(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->cookie != cookie) continue;
    IDispatch* target = it->target;
    sinks_.erase(it);
    target->Release();
    return;
  }
}

HRESULT STDMETHODCALLTYPE XTimer::TickConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE XTimer::TickConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = DIID___XTimer;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE XTimer::TickConnectionPoint::GetConnectionPointContainer(
    IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = &owner_;
  owner_.AddRef();
  return S_OK;
}

// The event interface is dispatch-only, so every sink is reached through IDispatch.
HRESULT STDMETHODCALLTYPE XTimer::TickConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  IDispatch* target = nullptr;
  if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&target)))) return CONNECT_E_CANNOTCONNECT;
  *cookie = owner_.nextCookie_++;
  owner_.sinks_.push_back({*cookie, target});
  return S_OK;
}

HRESULT STDMETHODCALLTYPE XTimer::TickConnectionPoint::Unadvise(DWORD cookie) {
  for (const Sink& sink : owner_.sinks_) {
    if (sink.cookie == cookie) {
      owner_.DropSink(cookie);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE XTimer::TickConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}
