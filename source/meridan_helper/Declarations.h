// The library functions the helper calls, declared under their exact export
// names in "MERIDAN.DLL". The library is loaded by that name at the first call
// of any of them (the helper's own folder is searched first) and stays loaded;
// each address is looked up at its first call and kept. A missing library or
// export fails only the call that needed it; the next call tries again.
//
// Every argument takes one slot: 16-bit values travel in 32-bit slots (the
// library keeps the low half), window handles in pointer-sized slots.
#pragma once
#include <windows.h>

#include <cstdint>

enum class LibraryExport {
  MERIDAN_Setup,
  MERIDAN_GetName,
  MERIDAN_Init,
  MERIDAN_DeInit,
  MERIDAN_Trigger,
  MERIDAN_Value,
  MERIDAN_Collect,
  MERIDAN_PreInit,
  MERIDAN_GetInt,
  MERIDAN_Win_MechAdj,
  MERIDAN_IsExcelStarted,
  Display_Init,
  Display_DeInit,
  Display_ShowValues,
  Display_ShowDisplay,
  Create_SPCBitmap,
  Create_SPCStatistics,
  Create_SPCBitmapEx,
  Create_SPCStatisticsEx,
  Create_GaugeStudyStatistics,
  Create_GaugeStudyBitmap,
  Create_ChartStatistics,
  Create_ChartBitmap,
  Create_CapabilityStatistics,
  Create_CapabilityBitmap,
};

using MERIDAN_Setup_Function = int32_t(WINAPI*)(int16_t* reserved, int32_t language, const char* FileName,
                                                 int32_t parent, const char* passwort);
using MERIDAN_GetName_Function = int32_t(WINAPI*)(int32_t language, const char* FileName, int32_t devicenr,
                                                   int32_t typ, int32_t output, char* info);
using MERIDAN_Init_Function = int32_t(WINAPI*)(int16_t* reserved, int32_t language, const char* FileName,
                                                HWND parent, int32_t wh);
using MERIDAN_DeInit_Function = int32_t(WINAPI*)();
using MERIDAN_Trigger_Function = int32_t(WINAPI*)(int32_t devicenr, int32_t source, int32_t typ);
using MERIDAN_Value_Function = int32_t(WINAPI*)(int32_t devicenr, int32_t Address, double* Val1);
using MERIDAN_Collect_Function = int32_t(WINAPI*)(int32_t devicenr, int16_t* Address, double* Val1);
using MERIDAN_PreInit_Function = int32_t(WINAPI*)(int32_t InitTimes, int32_t UseValueEx, int32_t Reserve1,
                                                   int32_t Reserve2, int32_t Reserve3, int32_t Reserve4,
                                                   int32_t Reserve5);
using MERIDAN_GetInt_Function = int32_t(WINAPI*)(int32_t addr, int16_t* variable);
using MERIDAN_Win_MechAdj_Function = int32_t(WINAPI*)(int32_t gagenr, int32_t parent, const char* password);
using MERIDAN_IsExcelStarted_Function = int32_t(WINAPI*)(int32_t pumpFirst);
using Display_Init_Function = int32_t(WINAPI*)(HWND parent, const char* Headline, int16_t* MVFlags,
                                                int16_t* MVDevices, int16_t* MVAddress, const char* MVUnit,
                                                double* MVNomSize, double* MVUSL, double* MVLSL, int16_t* MVResolu);
using Display_DeInit_Function = void(WINAPI*)();
using Display_ShowValues_Function = void(WINAPI*)(double* MV, int16_t* MVError);
using Display_ShowDisplay_Function = int32_t(WINAPI*)(int32_t state);
using Create_SPCBitmap_Function = int32_t(WINAPI*)(HWND parent, const char* FileName, int32_t width, int32_t height,
                                                   double factor, const char* Headline, int32_t typ,
                                                   double* meaval, int32_t numofval, double NomSize, double USL,
                                                   double LSL, int32_t USLOnOff, int32_t LSLOnOff,
                                                   int32_t SampleSize, int32_t SPCNorm);
using Create_SPCStatistics_Function = int32_t(WINAPI*)(int32_t typ, double* meaval, int32_t numofval,
                                                       double NomSize, double USL, double LSL, int32_t USLOnOff,
                                                       int32_t LSLOnOff, int32_t SampleSize, int32_t SPCNorm,
                                                       double* results);
using Create_SPCBitmapEx_Function = int32_t(WINAPI*)(HWND parent, const char* FileName, int32_t width,
                                                     int32_t height, double factor, const char* Headline,
                                                     int32_t typ, double* meaval, int32_t numofval, double NomSize,
                                                     double USL, double LSL, int32_t USLOnOff, int32_t LSLOnOff,
                                                     int32_t SampleSize, int32_t SPCNorm, double* options,
                                                     int32_t optionCount);
using Create_SPCStatisticsEx_Function = int32_t(WINAPI*)(int32_t typ, double* meaval, int32_t numofval,
                                                         double NomSize, double USL, double LSL, int32_t USLOnOff,
                                                         int32_t LSLOnOff, int32_t SampleSize, int32_t SPCNorm,
                                                         double* options, int32_t optionCount, double* results,
                                                         int32_t capacity);
using Create_ChartStatistics_Function = int32_t(WINAPI*)(int32_t chart, double* values, double* sizes, int32_t count,
                                                         int32_t SampleSize, int32_t SPCNorm, double* options,
                                                         int32_t optionCount, double* results, int32_t capacity);
using Create_ChartBitmap_Function = int32_t(WINAPI*)(HWND parent, const char* FileName, int32_t width,
                                                     int32_t height, double factor, const char* Headline,
                                                     int32_t chart, double* values, double* sizes, int32_t count,
                                                     int32_t SampleSize, int32_t SPCNorm, double* options,
                                                     int32_t optionCount);
using Create_CapabilityStatistics_Function = int32_t(WINAPI*)(double* values, int32_t count, int32_t SampleSize,
                                                              int32_t SPCNorm, double NomSize, double USL, double LSL,
                                                              int32_t USLOnOff, int32_t LSLOnOff, double* options,
                                                              int32_t optionCount, double* results, int32_t capacity);
using Create_CapabilityBitmap_Function = int32_t(WINAPI*)(HWND parent, const char* FileName, int32_t width,
                                                          int32_t height, double factor, const char* Headline,
                                                          double* values, int32_t count, int32_t SampleSize,
                                                          int32_t SPCNorm, double NomSize, double USL, double LSL,
                                                          int32_t USLOnOff, int32_t LSLOnOff, double* options,
                                                          int32_t optionCount);

using Create_GaugeStudyStatistics_Function = int32_t(WINAPI*)(int32_t kind, double* readings, int32_t parts,
                                                              int32_t appraisers, int32_t trials, double reference,
                                                              double tolerance, double* options, int32_t optionCount,
                                                              double* results, int32_t capacity);
using Create_GaugeStudyBitmap_Function = int32_t(WINAPI*)(HWND parent, const char* FileName, int32_t width,
                                                          int32_t height, double factor, const char* Headline,
                                                          int32_t kind, double* readings, int32_t parts,
                                                          int32_t appraisers, int32_t trials, double reference,
                                                          double tolerance, double* options, int32_t optionCount);

// The address of one export, loading the library first if needed. On failure
// the automation error for the missing library or entry point is recorded for
// the caller (see Dispatch_RaiseError) and returned.
HRESULT Library_Bind(LibraryExport which, void (**address)(), REFIID iid);

template <typename Function>
HRESULT Library_Bind(LibraryExport which, Function* function, REFIID iid) {
  void (*address)() = nullptr;
  HRESULT hr = Library_Bind(which, &address, iid);
  *function = reinterpret_cast<Function>(address);
  return hr;
}

// Automation errors of a missing library or export (Basic's numbers 53, 48 and 453).
constexpr HRESULT kLibraryNotFound = static_cast<HRESULT>(0x800A0035);
constexpr HRESULT kLibraryNotLoadable = static_cast<HRESULT>(0x800A0030);
constexpr HRESULT kEntryPointNotFound = static_cast<HRESULT>(0x800A01C5);
