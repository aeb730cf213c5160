// The library's exports as a C or C++ client declares them (MERIDAN.dll,
// stdcall, plain names). 16-bit arguments travel in 32-bit slots of which
// only the low half counts; statuses are read as signed 16-bit codes.
#pragma once
#include <windows.h>

#include <cstdint>

extern "C" {
int32_t WINAPI MERIDAN_Setup(int16_t* reserved, uint32_t language, const char* FileName, int32_t parent,
                             const char* passwort);
int32_t WINAPI MERIDAN_GetName(uint32_t language, const char* FileName, uint32_t devicenr, uint32_t typ,
                               uint32_t output, char* info);
int32_t WINAPI MERIDAN_Init(int16_t* reserved, uint32_t language, const char* FileName, HWND parent, int32_t wh);
int32_t WINAPI MERIDAN_DeInit(void);
int32_t WINAPI MERIDAN_Trigger(uint32_t devicenr, uint32_t source, uint32_t typ);
int32_t WINAPI MERIDAN_Value(uint32_t devicenr, uint32_t Address, double* Val1);
int32_t WINAPI MERIDAN_Collect(uint32_t devicenr, int16_t* Address, double* Val1);
int32_t WINAPI MERIDAN_Win_MechAdj(uint32_t gagenr, int32_t parent, const char* password);
int32_t WINAPI MERIDAN_PreInit(uint32_t InitTimes, uint32_t UseValueEx, uint32_t Reserve1, uint32_t Reserve2,
                               uint32_t Reserve3, uint32_t Reserve4, uint32_t Reserve5);
int32_t WINAPI MERIDAN_GetInt(int32_t addr, int16_t* variable);
// Number of running spreadsheet-host processes (EXCEL.exe); with pumpFirst > 0
// the caller's pending messages are dispatched first, then 100 ms pass.
int32_t WINAPI MERIDAN_IsExcelStarted(uint32_t pumpFirst);
// An SPC chart page of the values meaval[1 .. numofval] written as a bitmap file
// of (width x factor) by (height x factor) pixels; parent's display context is
// the reference for the pixel format (0: the screen). Returns 0. No file is
// written without values, for a page size that cannot be made, or for a
// request outside the contract of Create_SPCStatistics.
int32_t WINAPI Create_SPCBitmap(HWND parent, const char* FileName, int32_t width, int32_t height, double factor,
                                const char* Headline, uint32_t typ, const double* meaval, int32_t numofval,
                                double NomSize, double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                                int32_t SampleSize, uint32_t SPCNorm);
// The figures of an SPC chart request, without drawing: elements 1 .. 48 of
// `results` (element 0 untouched); 48, or 0 for a rejected request (SampleSize
// 0 or below, numofval outside 0 .. 65535, values or results missing), which
// leaves `results` untouched. `meaval` is element 0 of the values.
int32_t WINAPI Create_SPCStatistics(uint32_t typ, const double* meaval, int32_t numofval, double NomSize, double USL,
                                    double LSL, uint32_t USLOnOff, uint32_t LSLOnOff, int32_t SampleSize,
                                    uint32_t SPCNorm, double* results);

// The extended chart exports take today's arguments, then options: element
// 1 the centre and 2 the within-subgroup standard deviation the control limits
// are made from (not a number: from the data, as today; a standard deviation of
// 0 or below is refused), 3 the run tests to apply (bit 0 = test 1 ... bit 7 =
// test 8; not a number: all), 4 whether the page marks the flagged points
// (0 or not a number: no). `optionCount` elements from element 1 are read; an
// option not given keeps its default, and with every option at its default the
// page and the figures are those of Create_SPCBitmap and Create_SPCStatistics.
//
// The page of Create_SPCBitmap, with flagged points marked and a legend line
// naming the tests that fired and whether given limits are charted. Returns 0.
int32_t WINAPI Create_SPCBitmapEx(HWND parent, const char* FileName, int32_t width, int32_t height, double factor,
                                  const char* Headline, uint32_t typ, const double* meaval, int32_t numofval,
                                  double NomSize, double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                                  int32_t SampleSize, uint32_t SPCNorm, const double* options, int32_t optionCount);
// Elements 1 .. 48 as Create_SPCStatistics, then 49 and 50 the centre and
// standard deviation the limits were made from, 51 and 52 whether each was
// given (1) or the data's (0), 53 .. 60 the points flagged by tests 1 .. 8, 61
// the dispersion values beyond a dispersion limit, 62 .. 69 the first subgroup
// each test flagged (0: none), and from 70 one element per subgroup: the tests
// it breaks (bits 0 .. 7), 256 added when its dispersion value is beyond a
// limit. `capacity` is the highest element `results` holds; nothing beyond it
// is written. Returns the number of elements written, or 0 for a rejected
// request (as Create_SPCStatistics, or bad options, or a capacity below 1).
int32_t WINAPI Create_SPCStatisticsEx(uint32_t typ, const double* meaval, int32_t numofval, double NomSize,
                                      double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                                      int32_t SampleSize, uint32_t SPCNorm, const double* options,
                                      int32_t optionCount, double* results, int32_t capacity);

// The figures of a gauge study (kind 1: type 1, one reference part; 2: crossed
// gauge R&R of `parts` x `appraisers` x `trials`; 3: as 2 with one appraiser).
// The reading of appraiser a, part p and trial t is readings[1 + ((a - 1)
// parts + (p - 1)) trials + (t - 1)]; type 1 has parts = appraisers = 1 and its
// `trials` readings (one not a number is left out). `tolerance` is USL - LSL
// (types 2 and 3: 0 or below for none); `reference` the reference part's
// value (type 1). Options (element 0 never read; not a number or not given:
// the default): 1 study variation multiplier (6), 2 alpha for removing the
// interaction (0.05), 3 K percent (20), 4 L (6), 5 confidence level (0.95).
// Writes elements 1 .. 20 (type 1) or 1 .. 75 + 2 appraisers (types 2 and 3)
// of `results`, never past `capacity`, and returns the number written; 0 for a
// refused request, with nothing written. `kind` is a 16-bit argument.
int32_t WINAPI Create_GaugeStudyStatistics(uint32_t kind, const double* readings, int32_t parts, int32_t appraisers,
                                           int32_t trials, double reference, double tolerance, const double* options,
                                           int32_t optionCount, double* results, int32_t capacity);

// The page of a gauge study (the study's arguments as Create_GaugeStudyStatistics),
// written as a bitmap file of width x height pixels times `factor` (as
// Create_SPCBitmap's page) under the title `Headline`. Type 1: the readings in
// order with the reference, reference -/+ K/200 T and the mean, their
// histogram, the figures and the verdict; types 2 and 3: components of
// variation, range and means charts by appraiser, readings by part and by
// appraiser, the interaction, the ANOVA table, the variance components and the
// verdict. Returns kGaugePageWritten (0) or, with no file written, the reason.
enum GaugePageResult {
  kGaugePageWritten = 0,
  kGaugePageStudyRefused = 1,  // a request Create_GaugeStudyStatistics refuses
  kGaugePageSizeRefused = 2,   // width, height or factor give no page (as Create_SPCBitmap's)
  kGaugePageNoFileName = 3,    // FileName null or empty
  kGaugePageNotMade = 4,       // no drawing context or bitmap could be had
  kGaugePageNotWritten = 5,    // not written: read-only, a folder, held open elsewhere, no such folder, disk full
};
int32_t WINAPI Create_GaugeStudyBitmap(HWND parent, const char* FileName, int32_t width, int32_t height, double factor,
                                       const char* Headline, uint32_t kind, const double* readings, int32_t parts,
                                       int32_t appraisers, int32_t trials, double reference, double tolerance,
                                       const double* options, int32_t optionCount);

// The readout window (up to 20 channels). Arrays point at element 0 of the
// caller's array, which is never read; elements 1 to 20 are. MVUnit holds the
// 20 units side by side, 20 characters each. All calls come from the thread
// that called Display_Init, and that thread dispatches messages.
int32_t WINAPI Display_Init(HWND parent, const char* Headline, const int16_t* MVFlags, const int16_t* MVDevices,
                            const int16_t* MVAddress, const char* MVUnit, const double* MVNomSize,
                            const double* MVUSL, const double* MVLSL, const int16_t* MVResolu);
void WINAPI Display_DeInit(void);
void WINAPI Display_ShowValues(const double* MV, const int16_t* MVError);
// Low 16 bits of state: 0 hides the window, anything else shows it.
int32_t WINAPI Display_ShowDisplay(uint32_t state);
}
