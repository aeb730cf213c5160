// The measuring exports: each hands its arguments to one kit function and
// returns the kit's status unchanged. 16-bit arguments arrive in 32-bit slots
// of which only the low half counts; the kit receives that half zero-extended.
#include <windows.h>

#include <cstdint>

#include "core/argument_slot.h"
#include "meridan_api.h"
#include "tessan_ddk.h"

namespace {

// `reserved` is always set to 0 before the kit is called, whatever it answers.
// A null pointer is skipped rather than crashing the host.
void ClearReserved(int16_t* reserved) {
  if (reserved) *reserved = 0;
}

}  // namespace

extern "C" {

int32_t WINAPI MERIDAN_Setup(int16_t* reserved, uint32_t language, const char* FileName, int32_t parent,
                             const char* passwort) {
  ClearReserved(reserved);
  return Device_Setup(Low16(language), FileName, parent, passwort);
}

int32_t WINAPI MERIDAN_GetName(uint32_t language, const char* FileName, uint32_t devicenr, uint32_t typ,
                               uint32_t output, char* info) {
  return Device_GetName(Low16(language), FileName, Low16(devicenr), Low16(typ), Low16(output), info);
}

int32_t WINAPI MERIDAN_Init(int16_t* reserved, uint32_t language, const char* FileName, HWND parent, int32_t wh) {
  ClearReserved(reserved);
  return Device_Init(Low16(language), FileName, parent, wh);
}

int32_t WINAPI MERIDAN_DeInit(void) { return Device_DeInit(); }

int32_t WINAPI MERIDAN_Trigger(uint32_t devicenr, uint32_t source, uint32_t typ) {
  return Device_Trigger(Low16(devicenr), Low16(source), Low16(typ));
}

int32_t WINAPI MERIDAN_Value(uint32_t devicenr, uint32_t Address, double* Val1) {
  return Device_Value(Low16(devicenr), Low16(Address), Val1);
}

int32_t WINAPI MERIDAN_Collect(uint32_t devicenr, int16_t* Address, double* Val1) {
  return Device_Collect(Low16(devicenr), Address, Val1);
}

int32_t WINAPI MERIDAN_Win_MechAdj(uint32_t gagenr, int32_t parent, const char* password) {
  return Device_Win_MechAdj(Low16(gagenr), parent, password);
}

int32_t WINAPI MERIDAN_PreInit(uint32_t InitTimes, uint32_t UseValueEx, uint32_t Reserve1, uint32_t Reserve2,
                               uint32_t Reserve3, uint32_t Reserve4, uint32_t Reserve5) {
  return Device_PreInit(Low16(InitTimes), Low16(UseValueEx), Low16(Reserve1), Low16(Reserve2), Low16(Reserve3),
                        Low16(Reserve4), Low16(Reserve5));
}

int32_t WINAPI MERIDAN_GetInt(int32_t addr, int16_t* variable) { return Device_GetInt(addr, variable); }

}  // extern "C"
