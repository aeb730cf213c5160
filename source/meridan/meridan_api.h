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
// The figures of one of the further control charts (1 individuals and moving
// range, 2 EWMA, 3 CUSUM, 4 p, 5 np, 6 c, 7 u). `values` (readings, or the
// counts of the attribute charts) and `sizes` (sample sizes of p, np and u;
// may be null for the others) point at element 0, which is never read;
// elements 1 to `count` are. `SampleSize` readings make one EWMA or CUSUM
// point (1 for the individuals chart), `SPCNorm` says how σ is estimated from
// such subgroups. `options` elements 1 .. `optionCount` (not a number: the
// default): 1 given centre, 2 given σ, 3 run tests mask, 4 mark flagged
// points, 5 λ, 6 L, 7 k, 8 h, 9 head start, 10 EWMA limits (0 exact, 1
// asymptotic). Writes 35 figures, then the plotted statistic, the second
// statistic, the upper and lower limit and the flags of each of the k points
// (35 + 5k elements), as many as `capacity` (the highest element `results`
// holds) allows. Returns the count written, or 0 for a refused request with
// nothing written.
int32_t WINAPI Create_ChartStatistics(uint32_t chart, const double* values, const double* sizes, int32_t count,
                                      int32_t SampleSize, uint32_t SPCNorm, const double* options,
                                      int32_t optionCount, double* results, int32_t capacity);

// The page of one of the further control charts (the request as for
// Create_ChartStatistics) written as a bitmap file of (width x factor) by
// (height x factor) pixels in the style of the SPC page: the chart with its
// limits (stepped where they vary, the EWMA's widening ones, the CUSUM's two
// sums with +h and -h), the moving range chart and the histogram beside the
// individuals chart, the figures panel, and with option 4 the flagged points
// ringed and the tests or signals named in the title band. parent's display
// context is the reference for the pixel format (0: the screen). Returns one
// of the codes below; only with MERIDAN_CHART_PAGE_DRAWN is a file written.
enum : int32_t {
  MERIDAN_CHART_PAGE_DRAWN = 0,        // the page was drawn and handed to the file
  MERIDAN_CHART_REQUEST_REFUSED = 1,   // a request Create_ChartStatistics refuses
  MERIDAN_CHART_PAGE_SIZE_REFUSED = 2, // width, height or factor not positive, or a side above 32 767 pixels
  MERIDAN_CHART_NO_FILE_NAME = 3,      // FileName missing or empty
  MERIDAN_CHART_PAGE_NOT_MADE = 4,     // the memory or the drawing objects for the page could not be had
};
int32_t WINAPI Create_ChartBitmap(HWND parent, const char* FileName, int32_t width, int32_t height, double factor,
                                  const char* Headline, uint32_t chart, const double* values, const double* sizes,
                                  int32_t count, int32_t SampleSize, uint32_t SPCNorm, const double* options,
                                  int32_t optionCount);

// The capability study of values 1 .. count (element 0 never read; values that
// are not finite numbers are left out and counted): subgroups of SampleSize
// for σ̂ by SPCNorm (with 1, the mean moving range / d2(2)), the limits in
// force as in Create_SPCStatistics. Options (element 0 never read, not a
// number = the default): 1 target (NomSize), 2 confidence level (0.95,
// 0.5 < level < 1), 3 distribution (0 normal only, 1 lognormal, 2 Weibull,
// 3 Box-Cox, 4 the best of 1 to 3), 4 a given Box-Cox λ (-5 .. 5; not a
// number: estimated). Writes the 55 figures (core/capability_results.h) at
// results[1 ..], never past `capacity`, and returns how many; 0 and nothing
// written for a request outside the contract (count not 1 .. 65535, SampleSize
// below 1, SPCNorm outside 0 .. 3, no limit in force, a limit in force not a
// finite number, LSL not below USL, an option out of range, capacity below 1).
int32_t WINAPI Create_CapabilityStatistics(const double* values, int32_t count, int32_t SampleSize,
                                           uint32_t SPCNorm, double NomSize, double USL, double LSL,
                                           uint32_t USLOnOff, uint32_t LSLOnOff, const double* options,
                                           int32_t optionCount, double* results, int32_t capacity);

// The capability page of the same study as a bitmap file (page size, factor,
// headline and file as for Create_SPCBitmap): the histogram with the normal
// curves of the overall s and the within σ̂ (and the fitted distribution's),
// the limits and the target; the probability plot with the Anderson–Darling
// figures; the indices with their confidence intervals, the ppm and the
// verdict. Returns 0 when the page was written; no file is written otherwise:
// 1 a request Create_CapabilityStatistics refuses, 2 a page size that cannot
// be made or one smaller than 320 x 240 pixels, 3 fewer than two values that
// are numbers, 4 no file name or a file that could not be written whole.
int32_t WINAPI Create_CapabilityBitmap(HWND parent, const char* FileName, int32_t width, int32_t height,
                                       double factor, const char* Headline, const double* values, int32_t count,
                                       int32_t SampleSize, uint32_t SPCNorm, double NomSize, double USL, double LSL,
                                       uint32_t USLOnOff, uint32_t LSLOnOff, const double* options,
                                       int32_t optionCount);

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
