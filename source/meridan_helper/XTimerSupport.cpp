#include "XTimerSupport.h"

#include <vector>

#include "DispatchSupport.h"
#include "MERIDAN_HELPER_h.h"
#include "XTimer.h"

namespace {

struct TimerSlot {
  XTimer* Owner = nullptr;  // counted reference, or none
  UINT_PTR TimerID = 0;     // 0 when the slot is free
  bool InTick = false;      // true while this slot's Tick is being raised
};

constexpr int kSlotGrowth = 5;
constexpr int kMostSlots = 32767;

// Index 0 is not used: slots are numbered 1 to SlotCount.
std::vector<TimerSlot> TimerSlots(1);
int16_t SlotCount;

ThreadTimerCreate createSystemTimer = SetTimer;
ThreadTimerDestroy destroySystemTimer = KillTimer;

int FindSlot(UINT_PTR id) {
  for (int slot = 1; slot <= SlotCount; ++slot)
    if (TimerSlots[slot].TimerID == id) return slot;
  return 0;
}

void FreeSlot(int slot) {
  XTimer* owner = TimerSlots[slot].Owner;
  TimerSlots[slot].Owner = nullptr;
  TimerSlots[slot].TimerID = 0;
  if (owner) owner->ReleaseInternal();
}

}  // namespace

HRESULT StartTimer(XTimer* Owner, LONG interval, UINT_PTR* TimerID) {
  *TimerID = 0;
  UINT_PTR id = createSystemTimer(nullptr, 0, static_cast<UINT>(interval), TimerProc);
  if (id == 0) return Dispatch_RaiseError(kNoTimerAvailable, L"Keine Zeitgeber verfügbar.", nullptr, IID__XTimer);
  int slot = FindSlot(0);
  if (slot == 0) {
    if (SlotCount > kMostSlots - kSlotGrowth) {
      // The new timer is destroyed at once rather than left to find no slot at its first tick.
      destroySystemTimer(nullptr, id);
      return Dispatch_RaiseError(kTimerTableOverflow, L"Überlauf: Es können höchstens 32765 Zeitgeber laufen.",
                                 nullptr, IID__XTimer);
    }
    slot = SlotCount + 1;
    SlotCount = static_cast<int16_t>(SlotCount + kSlotGrowth);
    TimerSlots.resize(SlotCount + 1);
  }
  Owner->HoldInternal();
  TimerSlots[slot].Owner = Owner;
  TimerSlots[slot].TimerID = id;
  TimerSlots[slot].InTick = false;
  *TimerID = id;
  return S_OK;
}

void StopTimer(XTimer* Owner) {
  UINT_PTR id = Owner->TimerID();
  if (id == 0) return;
  int slot = FindSlot(id);
  if (slot == 0) return;
  destroySystemTimer(nullptr, id);
  FreeSlot(slot);
}

VOID CALLBACK TimerProc(HWND, UINT, UINT_PTR idEvent, DWORD) {
  int slot = FindSlot(idEvent);
  if (slot == 0) {
    destroySystemTimer(nullptr, idEvent);
    return;
  }
  if (TimerSlots[slot].InTick) return;
  TimerSlots[slot].InTick = true;
  XTimer* owner = TimerSlots[slot].Owner;
  owner->HoldInternal();  // the event may stop the timer and free the slot
  HRESULT hr = owner->RaiseTick();
  if (FAILED(hr)) {
    SetErrorInfo(0, nullptr);  // caught here: nothing leaves the callback
    // The slot is freed only if it still holds this timer of this object: the
    // event may already have stopped it, and the slot may have been reused.
    if (TimerSlots[slot].TimerID == idEvent && TimerSlots[slot].Owner == owner) {
      destroySystemTimer(nullptr, idEvent);
      if (owner->TimerID() == idEvent) owner->ForgetTimer();
      FreeSlot(slot);
    }
  }
  TimerSlots[slot].InTick = false;
  owner->ReleaseInternal();
}

void XTimerSupport_DestroySystemTimer(UINT_PTR TimerID) { destroySystemTimer(nullptr, TimerID); }

int16_t XTimerSupport_SlotCount() { return SlotCount; }

UINT_PTR XTimerSupport_SlotTimerID(int slot) { return slot >= 1 && slot <= SlotCount ? TimerSlots[slot].TimerID : 0; }

XTimer* XTimerSupport_SlotOwner(int slot) { return slot >= 1 && slot <= SlotCount ? TimerSlots[slot].Owner : nullptr; }

void XTimerSupport_UseSystemTimers(ThreadTimerCreate create, ThreadTimerDestroy destroy) {
  createSystemTimer = create ? create : SetTimer;
  destroySystemTimer = destroy ? destroy : KillTimer;
}
