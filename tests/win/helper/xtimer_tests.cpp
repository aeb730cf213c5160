// XTimer: through a helper started by the automation runtime (ticks reach an
// event sink of this program), and in this program's own process, where the
// slot table and the timer identifiers can be looked at directly.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HelperServer.h"
#include "XTimer.h"
#include "XTimerSupport.h"
#include "helper/helper_client.h"
#include "helper/tick_sink.h"
#include "win_test_support.h"

using namespace helpertest;

namespace {

// A timer object in the helper with a sink of this program connected to it.
struct RemoteTimer {
  _XTimer* timer = nullptr;
  IConnectionPoint* point = nullptr;
  TickSink* sink = new TickSink();
  DWORD cookie = 0;

  RemoteTimer() {
    EXPECT_EQ(CoCreateInstance(CLSID_XTimer, nullptr, CLSCTX_LOCAL_SERVER, IID__XTimer,
                               reinterpret_cast<void**>(&timer)),
              S_OK);
    if (!timer) return;
    IConnectionPointContainer* container = nullptr;
    EXPECT_EQ(timer->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
    if (!container) return;
    EXPECT_EQ(container->FindConnectionPoint(DIID___XTimer, &point), S_OK);
    container->Release();
    if (point) {
      EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
    }
  }
  ~RemoteTimer() {
    if (timer) timer->put_Enabled(VARIANT_FALSE);
    if (point) {
      point->Unadvise(cookie);
      point->Release();
    }
    if (timer) timer->Release();
    sink->Release();
  }
  // Waits until the sink has seen `count` ticks in all.
  bool TicksReach(int count, DWORD timeoutMs) {
    return PumpUntil([this, count] { return sink->ticks >= count; }, timeoutMs);
  }
  // True when no tick arrives for `quietMs` within `timeoutMs`.
  bool FallsQuiet(DWORD quietMs, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
      int before = sink->ticks;
      PumpFor(quietMs);
      if (sink->ticks == before) return true;
    }
    return false;
  }
};

class XTimerThroughTheHelper : public testing::Test {
 public:
  static void SetUpTestSuite() {
    StopAllHelpers();
    ASSERT_TRUE(Register(HelperPath()));
  }
  static void TearDownTestSuite() {
    EXPECT_TRUE(WaitUntilNoHelper(5000)) << "the helper did not end after its timers were released";
  }
};

}  // namespace

TEST_F(XTimerThroughTheHelper, TicksArriveAtTheIntervalWhileEnabled) {
  RemoteTimer remote;
  ASSERT_NE(remote.point, nullptr);
  ASSERT_EQ(remote.timer->put_Interval(100), S_OK);
  ASSERT_EQ(remote.timer->put_Enabled(VARIANT_TRUE), S_OK);
  PumpFor(1050);
  EXPECT_GE(remote.sink->ticks, 5);  // 10 at 100 ms; a busy machine delays some
  EXPECT_LE(remote.sink->ticks, 11);
  ASSERT_EQ(remote.timer->put_Enabled(VARIANT_FALSE), S_OK);
  PumpFor(50);
  int stoppedAt = remote.sink->ticks;
  PumpFor(400);
  EXPECT_EQ(remote.sink->ticks, stoppedAt);
}

TEST_F(XTimerThroughTheHelper, EnabledWithIntervalZeroWaitsForAnInterval) {
  RemoteTimer remote;
  ASSERT_NE(remote.point, nullptr);
  ASSERT_EQ(remote.timer->put_Enabled(VARIANT_TRUE), S_OK);
  PumpFor(400);
  EXPECT_EQ(remote.sink->ticks, 0);
  ASSERT_EQ(remote.timer->put_Interval(60), S_OK);
  EXPECT_TRUE(remote.TicksReach(3, 3000));
  ASSERT_EQ(remote.timer->put_Interval(0), S_OK);  // Interval 0 stops it
  EXPECT_TRUE(remote.FallsQuiet(300, 2000));
  VARIANT_BOOL enabled = VARIANT_FALSE;
  ASSERT_EQ(remote.timer->get_Enabled(&enabled), S_OK);
  EXPECT_EQ(enabled, VARIANT_TRUE);
}

TEST_F(XTimerThroughTheHelper, PropertiesAndRaiseTickByNameWithTheirMemberIds) {
  RemoteTimer remote;
  ASSERT_NE(remote.point, nullptr);
  IDispatch* dispatch = remote.timer;
  EXPECT_EQ(IdOf(dispatch, L"Enabled"), 0x68030001);
  EXPECT_EQ(IdOf(dispatch, L"Interval"), 0x68030000);
  EXPECT_EQ(IdOf(dispatch, L"RaiseTick"), 0x60030003);
  EXPECT_EQ(Call(dispatch, L"Interval", {I4(250)}, DISPATCH_PROPERTYPUT).hr, S_OK);
  Outcome interval = Call(dispatch, L"Interval", {}, DISPATCH_PROPERTYGET);
  ASSERT_EQ(interval.result.vt, VT_I4);
  EXPECT_EQ(interval.result.lVal, 250);
  Outcome enabled = Call(dispatch, L"Enabled", {}, DISPATCH_PROPERTYGET);
  ASSERT_EQ(enabled.result.vt, VT_BOOL);
  EXPECT_EQ(enabled.result.boolVal, VARIANT_FALSE);
  EXPECT_EQ(Call(dispatch, L"RaiseTick", {}).hr, S_OK);
  EXPECT_EQ(remote.sink->ticks, 1);  // raised at once, before the call returns
}

TEST_F(XTimerThroughTheHelper, ATickWhoseEventFailsStopsTheTimer) {
  RemoteTimer remote;
  ASSERT_NE(remote.point, nullptr);
  remote.sink->answer = DISP_E_EXCEPTION;
  ASSERT_EQ(remote.timer->put_Interval(50), S_OK);
  ASSERT_EQ(remote.timer->put_Enabled(VARIANT_TRUE), S_OK);
  ASSERT_TRUE(remote.TicksReach(1, 3000));
  PumpFor(500);
  EXPECT_EQ(remote.sink->ticks, 1);
  VARIANT_BOOL enabled = VARIANT_FALSE;
  LONG interval = 0;
  remote.timer->get_Enabled(&enabled);
  remote.timer->get_Interval(&interval);
  EXPECT_EQ(enabled, VARIANT_TRUE);  // the properties stay as they were
  EXPECT_EQ(interval, 50);

  // A client's RaiseTick reports the handler's error.
  Outcome raised = Call(remote.timer, L"RaiseTick", {});
  EXPECT_EQ(raised.Error(), static_cast<HRESULT>(0x800A0005));
  EXPECT_EQ(raised.Description(), L"The macro's event handler failed.");

  // The object went back to Idle: switching it off and on starts a new timer.
  remote.sink->answer = S_OK;
  ASSERT_EQ(remote.timer->put_Enabled(VARIANT_FALSE), S_OK);
  ASSERT_EQ(remote.timer->put_Enabled(VARIANT_TRUE), S_OK);
  EXPECT_TRUE(remote.TicksReach(6, 3000));
}

TEST(XTimerGoneClient, ASinkWhoseClientHasGoneStopsTheTimerAndIsDropped) {
  StopAllHelpers();
  ASSERT_TRUE(Register(HelperPath()));
  std::wstring folder = wintest::MakeTempDir(L"xtimer");
  {
    RemoteTimer remote;
    ASSERT_NE(remote.point, nullptr);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(CoMarshalInterface(stream, IID_IUnknown, remote.timer, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL), S_OK);
    HGLOBAL memory = nullptr;
    GetHGlobalFromStream(stream, &memory);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::string bytes(static_cast<const char*>(GlobalLock(memory)), static_cast<size_t>(stat.cbSize.QuadPart));
    GlobalUnlock(memory);
    stream->Release();
    ASSERT_TRUE(wintest::WriteFileBytes(folder + L"timer.bin", bytes));

    HANDLE client = Start(L"\"" + wintest::BinDir() + L"xtimer_client.exe\" \"" + folder + L"timer.bin\" \"" + folder +
                              L"ready\"",
                          folder, folder + L"client.txt");
    ASSERT_NE(client, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return wintest::FileExists(folder + L"ready") || HasEnded(client); }, 15000));
    ASSERT_FALSE(HasEnded(client)) << "the second client could not connect its sink";

    ASSERT_EQ(remote.timer->put_Interval(80), S_OK);
    ASSERT_EQ(remote.timer->put_Enabled(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(remote.TicksReach(3, 3000)) << "both sinks connected: ticks should arrive";
    TerminateProcess(client, 1);
    WaitForSingleObject(client, 5000);
    CloseHandle(client);
    EXPECT_TRUE(remote.FallsQuiet(600, 5000)) << "the timer went on after a sink's client had gone";

    // The gone client's sink was dropped: the timer runs again once restarted.
    ASSERT_EQ(remote.timer->put_Enabled(VARIANT_FALSE), S_OK);
    ASSERT_EQ(remote.timer->put_Enabled(VARIANT_TRUE), S_OK);
    int restartedAt = remote.sink->ticks;
    EXPECT_TRUE(remote.TicksReach(restartedAt + 5, 3000));
  }
  // The gone client's references are never given back under Wine, so this
  // helper would wait for them for ever.
  StopAllHelpers();
  wintest::RemoveTree(folder);
}

// ---- In this program's own process: the slot table itself ----

namespace {

// Timer objects of this process, created and driven directly.
class XTimerSlots : public testing::Test {
 protected:
  void TearDown() override {
    for (_XTimer* timer : timers_) {
      timer->put_Enabled(VARIANT_FALSE);
      timer->Release();
    }
    XTimerSupport_UseSystemTimers(nullptr, nullptr);
  }

  XTimer* NewTimer() {
    _XTimer* timer = nullptr;
    EXPECT_EQ(XTimer_Create(IID__XTimer, reinterpret_cast<void**>(&timer)), S_OK);
    timers_.push_back(timer);
    return static_cast<XTimer*>(timer);
  }

  XTimer* RunningTimer(LONG interval) {
    XTimer* timer = NewTimer();
    EXPECT_EQ(timer->put_Interval(interval), S_OK);
    EXPECT_EQ(timer->put_Enabled(VARIANT_TRUE), S_OK);
    return timer;
  }

  static int SlotOf(XTimer* timer) {
    for (int slot = 1; slot <= XTimerSupport_SlotCount(); ++slot)
      if (XTimerSupport_SlotOwner(slot) == timer) return slot;
    return 0;
  }

  static int FreeSlots() {
    int free = 0;
    for (int slot = 1; slot <= XTimerSupport_SlotCount(); ++slot) free += XTimerSupport_SlotTimerID(slot) == 0;
    return free;
  }

  static DWORD Connect(XTimer* timer, TickSink* sink) {
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
    EXPECT_EQ(timer->FindConnectionPoint(DIID___XTimer, &point), S_OK);
    EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
    point->Release();
    return cookie;
  }

  std::vector<_XTimer*> timers_;
};

// Fake system timers: identifiers counted up from a high base, never firing.
UINT_PTR nextFakeTimer = 0x70000000;
std::vector<UINT_PTR> destroyedFakeTimers;
UINT_PTR WINAPI CreateFakeTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return ++nextFakeTimer; }
UINT_PTR WINAPI CreateNoTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }
BOOL WINAPI DestroyFakeTimer(HWND, UINT_PTR id) {
  destroyedFakeTimers.push_back(id);
  return TRUE;
}

}  // namespace

TEST_F(XTimerSlots, TheTableGrowsInStepsOfFiveAndReusesTheLowestFreeSlot) {
  XTimerSupport_UseSystemTimers(CreateFakeTimer, DestroyFakeTimer);
  // Fill every free slot there is, then five more timers fill a new block of five.
  int existing = XTimerSupport_SlotCount();
  for (int free = FreeSlots(); free > 0; --free) RunningTimer(100000);
  ASSERT_EQ(XTimerSupport_SlotCount(), existing);
  std::vector<XTimer*> block;
  for (int i = 0; i < 5; ++i) block.push_back(RunningTimer(100000));
  EXPECT_EQ(XTimerSupport_SlotCount(), existing + 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SlotOf(block[i]), existing + 1 + i);
  XTimer* sixth = RunningTimer(100000);
  EXPECT_EQ(XTimerSupport_SlotCount(), existing + 10);
  EXPECT_EQ(SlotOf(sixth), existing + 6);

  // Slots of stopped timers are taken again, lowest index first.
  block[3]->put_Enabled(VARIANT_FALSE);
  block[1]->put_Interval(0);
  EXPECT_EQ(XTimerSupport_SlotTimerID(existing + 2), 0u);
  EXPECT_EQ(XTimerSupport_SlotOwner(existing + 2), nullptr);
  XTimer* reuse1 = RunningTimer(100000);
  XTimer* reuse2 = RunningTimer(100000);
  EXPECT_EQ(SlotOf(reuse1), existing + 2);
  EXPECT_EQ(SlotOf(reuse2), existing + 4);
  EXPECT_EQ(XTimerSupport_SlotCount(), existing + 10);
}

TEST_F(XTimerSlots, WritingTheSameValueAgainChangesNothing) {
  XTimer* timer = RunningTimer(500);
  UINT_PTR id = timer->TimerID();
  ASSERT_NE(id, 0u);
  int slot = SlotOf(timer);
  EXPECT_EQ(timer->put_Interval(500), S_OK);
  EXPECT_EQ(timer->put_Enabled(VARIANT_TRUE), S_OK);
  EXPECT_EQ(timer->put_Enabled(1), S_OK);  // any true value is the same true
  EXPECT_EQ(timer->TimerID(), id);
  EXPECT_EQ(SlotOf(timer), slot);
  EXPECT_EQ(XTimerSupport_SlotTimerID(slot), id);
}

TEST_F(XTimerSlots, AChangedIntervalRestartsUnderANewIdentifier) {
  XTimer* timer = RunningTimer(500);
  UINT_PTR old = timer->TimerID();
  ASSERT_EQ(timer->put_Interval(1000), S_OK);
  UINT_PTR renewed = timer->TimerID();
  EXPECT_NE(renewed, 0u);
  EXPECT_NE(renewed, old);
  EXPECT_EQ(XTimerSupport_SlotTimerID(SlotOf(timer)), renewed);
  EXPECT_FALSE(KillTimer(nullptr, old)) << "the old system timer is still there";
}

TEST_F(XTimerSlots, EnabledWithoutAnIntervalStartsNothing) {
  XTimer* timer = NewTimer();
  ASSERT_EQ(timer->put_Enabled(VARIANT_TRUE), S_OK);
  EXPECT_EQ(timer->TimerID(), 0u);
  EXPECT_EQ(SlotOf(timer), 0);
  ASSERT_EQ(timer->put_Interval(500), S_OK);
  EXPECT_NE(timer->TimerID(), 0u);
}

TEST_F(XTimerSlots, TicksComeFromTheThreadTimerAndReachTheSink) {
  XTimer* timer = NewTimer();
  TickSink* sink = new TickSink();
  Connect(timer, sink);
  timer->put_Interval(30);
  timer->put_Enabled(VARIANT_TRUE);
  EXPECT_TRUE(PumpUntil([sink] { return sink->ticks >= 3; }, 3000));
  timer->put_Enabled(VARIANT_FALSE);
  sink->Release();
}

TEST_F(XTimerSlots, AFailedTickFreesTheSlotAndLeavesTheObjectIdle) {
  XTimer* timer = RunningTimer(100000);
  TickSink* sink = new TickSink();
  sink->answer = E_FAIL;
  Connect(timer, sink);
  UINT_PTR id = timer->TimerID();
  int slot = SlotOf(timer);
  TimerProc(nullptr, WM_TIMER, id, 0);
  EXPECT_EQ(sink->ticks, 1);
  EXPECT_EQ(XTimerSupport_SlotTimerID(slot), 0u);
  EXPECT_EQ(XTimerSupport_SlotOwner(slot), nullptr);
  EXPECT_EQ(timer->TimerID(), 0u) << "a stale identifier would later stop someone else's timer";
  EXPECT_FALSE(KillTimer(nullptr, id)) << "the system timer was not destroyed";
  VARIANT_BOOL enabled = VARIANT_FALSE;
  timer->get_Enabled(&enabled);
  EXPECT_EQ(enabled, VARIANT_TRUE);
  // Writing Interval again starts a fresh timer; the object is usable as before.
  sink->answer = S_OK;
  ASSERT_EQ(timer->put_Interval(20), S_OK);
  EXPECT_TRUE(PumpUntil([sink] { return sink->ticks >= 3; }, 3000));
  sink->Release();
}

TEST_F(XTimerSlots, ATickDuringItsOwnTickIsDropped) {
  XTimer* timer = RunningTimer(100000);
  TickSink* sink = new TickSink();
  Connect(timer, sink);
  UINT_PTR id = timer->TimerID();
  sink->duringTick = [id] { TimerProc(nullptr, WM_TIMER, id, 0); };
  TimerProc(nullptr, WM_TIMER, id, 0);
  EXPECT_EQ(sink->ticks, 1);
  sink->duringTick = nullptr;
  TimerProc(nullptr, WM_TIMER, id, 0);
  EXPECT_EQ(sink->ticks, 2);
  sink->Release();
}

TEST_F(XTimerSlots, ATimerThatNoSlotHoldsIsDestroyedAtItsCallback) {
  UINT_PTR stray = SetTimer(nullptr, 0, 10, TimerProc);
  ASSERT_NE(stray, 0u);
  PumpFor(200);
  EXPECT_FALSE(KillTimer(nullptr, stray));
}

TEST_F(XTimerSlots, ARunningTimerOutlivesItsClients) {
  XTimer* timer = RunningTimer(100000);
  int slot = SlotOf(timer);
  timers_.pop_back();
  timer->Release();  // the last client reference
  ASSERT_EQ(XTimerSupport_SlotOwner(slot), timer);
  TimerProc(nullptr, WM_TIMER, timer->TimerID(), 0);  // ticks with nobody listening
  EXPECT_EQ(XTimerSupport_SlotOwner(slot), timer);
  timer->AddRef();
  timers_.push_back(timer);
}

TEST_F(XTimerSlots, NoSystemTimerLeftIsTheErrorKeineZeitgeberVerfuegbar) {
  XTimerSupport_UseSystemTimers(CreateNoTimer, DestroyFakeTimer);
  XTimer* timer = NewTimer();
  ASSERT_EQ(timer->put_Interval(100), S_OK);
  EXPECT_EQ(timer->put_Enabled(VARIANT_TRUE), static_cast<HRESULT>(0x80047925));
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR description = nullptr, source = nullptr;
  info->GetDescription(&description);
  info->GetSource(&source);
  EXPECT_STREQ(description, L"Keine Zeitgeber verfügbar.");
  EXPECT_EQ(SysStringLen(source), 0u);
  SysFreeString(description);
  SysFreeString(source);
  info->Release();
  EXPECT_EQ(timer->TimerID(), 0u);
  VARIANT_BOOL enabled = VARIANT_FALSE;
  timer->get_Enabled(&enabled);
  EXPECT_EQ(enabled, VARIANT_TRUE);  // stored before the start failed
  EXPECT_EQ(timer->put_Enabled(VARIANT_TRUE), S_OK);  // the same value again does nothing
  EXPECT_EQ(timer->TimerID(), 0u);
}

TEST_F(XTimerSlots, AtMost32765TimersCanRunAtOnce) {
  XTimerSupport_UseSystemTimers(CreateFakeTimer, DestroyFakeTimer);
  while (XTimerSupport_SlotCount() < 32765 || FreeSlots() > 0) RunningTimer(1000);
  XTimer* tooMany = NewTimer();
  ASSERT_EQ(tooMany->put_Interval(1000), S_OK);
  destroyedFakeTimers.clear();
  EXPECT_EQ(tooMany->put_Enabled(VARIANT_TRUE), static_cast<HRESULT>(0x800A0006));
  EXPECT_EQ(XTimerSupport_SlotCount(), 32765);
  EXPECT_EQ(tooMany->TimerID(), 0u);
  ASSERT_EQ(destroyedFakeTimers.size(), 1u) << "the timer that found no slot was left running";
  EXPECT_EQ(destroyedFakeTimers[0], nextFakeTimer);
}
