// The automation class XTimer: raises its Tick event every Interval
// milliseconds while Enabled is true, on a thread timer of XTimerSupport.
// The event reaches every sink advised on the object's connection point.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "DualDispatch.h"
#include "MERIDAN_HELPER_h.h"

class XTimer final : public DualDispatch<_XTimer>, public IConnectionPointContainer, public IProvideClassInfo,
                     public ISupportErrorInfo {
 public:
  XTimer();
  ~XTimer();

  // IUnknown: the references of clients. While there are any, the object
  // claims the server (the process does not end).
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // _XTimer
  HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* Enabled) override;
  HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL NewValue) override;
  HRESULT STDMETHODCALLTYPE get_Interval(LONG* Interval) override;
  HRESULT STDMETHODCALLTYPE put_Interval(LONG NewInterval) override;
  HRESULT STDMETHODCALLTYPE RaiseTick() override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // IProvideClassInfo
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** typeInfo) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  // Helper-internal: the identifier of the running system timer, 0 when Idle.
  UINT_PTR TimerID() const { return TimerID_; }
  // After a failed tick has destroyed the timer: back to Idle.
  void ForgetTimer() { TimerID_ = 0; }
  // References of the helper itself (a timer slot, an event in progress).
  // They keep the object alive but do not keep the process running.
  void HoldInternal();
  void ReleaseInternal();

 private:
  class TickConnectionPoint final : public IConnectionPoint {
   public:
    explicit TickConnectionPoint(XTimer& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

   private:
    XTimer& owner_;
  };

  struct Sink {
    DWORD cookie;
    IDispatch* target;
  };

  HRESULT StartOwnTimer(LONG interval);
  void DropSink(DWORD cookie);
  void DeleteIfUnreferenced();

  TickConnectionPoint connectionPoint_{*this};
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
  LONG clientReferences_ = 0;
  LONG internalReferences_ = 0;

  UINT_PTR TimerID_ = 0;
  LONG Interval_ = 0;
  VARIANT_BOOL Enabled_ = VARIANT_FALSE;
};
