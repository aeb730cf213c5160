// The process-wide table of running XTimer objects: which system thread timer
// belongs to which object. Slots are numbered from 1; the table grows in steps
// of 5 and never shrinks; a stopped timer's slot is reused, lowest index first.
// A slot holds a counted reference to its object, so a running XTimer lives on
// after its clients let go, until its timer is stopped.
#pragma once
#include <windows.h>

#include <cstdint>

class XTimer;

// Creates a thread timer (no window) of `interval` ms for `Owner` and records
// it in the lowest free slot. Fails with 0x80047925 "Keine Zeitgeber
// verfügbar." when the system has no timer left, and with an overflow error
// when the table would grow beyond 32767 slots.
HRESULT StartTimer(XTimer* Owner, LONG interval, UINT_PTR* TimerID);

// Destroys the timer registered under the owner's TimerID and frees its slot.
void StopTimer(XTimer* Owner);

// The system timer callback: raises Tick on the slot's object. A tick that
// fails stops that timer, frees its slot and puts the object back to Idle;
// a tick arriving while the same timer's Tick still runs is dropped; a timer
// that no slot holds is destroyed.
VOID CALLBACK TimerProc(HWND window, UINT message, UINT_PTR idEvent, DWORD time);

// Destroys a system timer of this thread, whatever registered it.
void XTimerSupport_DestroySystemTimer(UINT_PTR TimerID);

constexpr HRESULT kNoTimerAvailable = static_cast<HRESULT>(0x80047925);
constexpr HRESULT kTimerTableOverflow = static_cast<HRESULT>(0x800A0006);

// Inspection and substitution of the system timers, for tests.
int16_t XTimerSupport_SlotCount();
UINT_PTR XTimerSupport_SlotTimerID(int slot);
XTimer* XTimerSupport_SlotOwner(int slot);
using ThreadTimerCreate = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
using ThreadTimerDestroy = BOOL(WINAPI*)(HWND, UINT_PTR);
void XTimerSupport_UseSystemTimers(ThreadTimerCreate create, ThreadTimerDestroy destroy);
