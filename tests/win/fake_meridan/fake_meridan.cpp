// A stand-in MERIDAN.dll for the helper's tests (built as fake_meridan/MERIDAN.dll).
// Every export appends what it received to the file named by the environment
// variable FAKE_MERIDAN_TRACE, one line per call, and then does what a careless
// library might: it overwrites every text it was given with '#' characters.
// MERIDAN_Trigger returns source * 65536 + (devicenr & 0xFFFF), so that a test
// chooses the upper half of a status. Create_SPCBitmap is missing on purpose.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Trace(const char* format, ...) {
  const char* path = std::getenv("FAKE_MERIDAN_TRACE");
  if (!path) return;
  FILE* file = std::fopen(path, "a");
  if (!file) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(file, format, arguments);
  va_end(arguments);
  std::fputc('\n', file);
  std::fclose(file);
}

void Scribble(const char* text) {
  for (char* c = const_cast<char*>(text); c && *c; ++c) *c = '#';
}

}  // namespace

extern "C" {

int32_t WINAPI MERIDAN_Setup(int16_t* reserved, int32_t language, const char* FileName, int32_t parent,
                             const char* passwort) {
  Trace("MERIDAN_Setup %d [%s] %d [%s]", language, FileName, parent, passwort);
  if (reserved) *reserved = 0;
  Scribble(FileName);
  Scribble(passwort);
  return 0;
}

int32_t WINAPI MERIDAN_GetName(int32_t language, const char* FileName, int32_t devicenr, int32_t typ, int32_t output,
                               char* info) {
  Trace("MERIDAN_GetName %d [%s] %d %d %d [%s]", language, FileName, devicenr, typ, output, info);
  Scribble(FileName);
  std::strcpy(info, "FAKE NAME");
  return 0;
}

int32_t WINAPI MERIDAN_Init(int16_t* reserved, int32_t language, const char* FileName, HWND, int32_t wh) {
  Trace("MERIDAN_Init %d [%s] %d", language, FileName, wh);
  if (reserved) *reserved = 0;
  Scribble(FileName);
  return 0;
}

int32_t WINAPI MERIDAN_DeInit() {
  Trace("MERIDAN_DeInit");
  return 0;
}

int32_t WINAPI MERIDAN_Trigger(int32_t devicenr, int32_t source, int32_t typ) {
  Trace("MERIDAN_Trigger %d %d %d", devicenr, source, typ);
  return static_cast<int32_t>(static_cast<uint32_t>(source) << 16 | (static_cast<uint32_t>(devicenr) & 0xFFFF));
}

int32_t WINAPI MERIDAN_Value(int32_t devicenr, int32_t Address, double* Val1) {
  Trace("MERIDAN_Value %d %d", devicenr, Address);
  *Val1 = 1.25;
  return 0;
}

int32_t WINAPI MERIDAN_Collect(int32_t devicenr, int16_t* Address, double* Val1) {
  Trace("MERIDAN_Collect %d", devicenr);
  *Address = 7;
  *Val1 = 2.5;
  return 7;
}

int32_t WINAPI MERIDAN_PreInit(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {
  Trace("MERIDAN_PreInit");
  return 0;
}

int32_t WINAPI MERIDAN_GetInt(int32_t addr, int16_t* variable) {
  Trace("MERIDAN_GetInt %d", addr);
  *variable = 3;
  return 0;
}

int32_t WINAPI MERIDAN_Win_MechAdj(int32_t gagenr, int32_t parent, const char* password) {
  Trace("MERIDAN_Win_MechAdj %d %d [%s]", gagenr, parent, password);
  Scribble(password);
  return 0;
}

int32_t WINAPI MERIDAN_IsExcelStarted(int32_t) { return 0; }

// Reads the full 400 characters of the unit texts, as the readout window does,
// and reports how many of them are zero bytes.
int32_t WINAPI Display_Init(HWND, const char* Headline, int16_t* MVFlags, int16_t* MVDevices, int16_t* MVAddress,
                            const char* MVUnit, double* MVNomSize, double* MVUSL, double* MVLSL, int16_t* MVResolu) {
  int zeros = 0;
  for (int i = 0; i < 400; ++i) zeros += MVUnit[i] == '\0';
  Trace("Display_Init [%s] [%.20s] zeros=%d %d %d %d %d %d %g %g %g %d", Headline, MVUnit, zeros, MVFlags[1],
        MVFlags[20], MVDevices[20], MVAddress[20], MVResolu[20], MVNomSize[20], MVUSL[20], MVLSL[20], MVResolu[1]);
  Scribble(Headline);
  Scribble(MVUnit);
  return 0x10000;
}

void WINAPI Display_DeInit() { Trace("Display_DeInit"); }

void WINAPI Display_ShowValues(double* MV, int16_t* MVError) {
  Trace("Display_ShowValues %g %g %d %d", MV[1], MV[20], MVError[1], MVError[20]);
}

int32_t WINAPI Display_ShowDisplay(int32_t state) {
  Trace("Display_ShowDisplay %d", state);
  return 1;
}

// Writes i + 0.5 into results[i] for i = 1 .. 48 and returns 48.
int32_t WINAPI Create_SPCStatistics(int32_t typ, double* meaval, int32_t numofval, double, double, double, int32_t,
                                    int32_t, int32_t, int32_t, double* results) {
  Trace("Create_SPCStatistics %d %d %g %g", typ, numofval, meaval[1], meaval[numofval]);
  for (int i = 1; i <= 48; ++i) results[i] = i + 0.5;
  return 48;
}

}  // extern "C"
