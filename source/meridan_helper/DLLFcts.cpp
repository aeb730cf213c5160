#include "DLLFcts.h"

#include <new>

#include "Declarations.h"
#include "DispatchSupport.h"
#include "HelperServer.h"
#include "HelperArguments.h"
#include "MainFunctions.h"

namespace {

// The readout window reads elements 1 to 20 of every array and 20 unit texts
// of 20 characters; the statistics export writes results 1 to 48.
constexpr LONG kDisplayChannels = 20;
constexpr size_t kDisplayUnitText = 400;
constexpr LONG kStatisticsResults = 48;

// Room for the kit's answer in GetName's text, whatever length the caller
// passed: a short text must not let the kit write past the helper's buffer.
constexpr size_t kNameRoom = 1024;

// Integer results are the low 16 bits of the library's 32-bit status; a Long result is all of it.
short Low16(int32_t status) { return static_cast<short>(static_cast<uint16_t>(status & 0xFFFF)); }
short ResultOf(int32_t status, short*) { return Low16(status); }
LONG ResultOf(int32_t status, LONG*) { return status; }

HWND WindowArgument(LONG handle) { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)); }

template <typename Result>
HRESULT CheckResultPointer(Result* result) {
  if (!result) return Dispatch_RaiseError(E_POINTER, L"No place for the result.", nullptr, IID__DLLFcts);
  *result = 0;
  return S_OK;
}

// The last step of a method with a result: when `hr`, the outcome of the
// steps before (result place checked, texts converted), is a success, binds
// the export and calls it; the result is the low half of its status.
template <typename Function, typename Result, typename... Arguments>
HRESULT CallForStatus(HRESULT hr, LibraryExport which, Result* result, Arguments... arguments) {
  Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(which, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = ResultOf(function(arguments...), result);
  return S_OK;
}

}  // namespace

HRESULT DLLFcts_Create(REFIID iid, void** object) {
  DLLFcts* created = new (std::nothrow) DLLFcts();
  if (!created) return E_OUTOFMEMORY;
  created->AddRef();
  HRESULT hr = created->QueryInterface(iid, object);
  created->Release();
  return hr;
}

DLLFcts::DLLFcts() : DualDispatch(IID__DLLFcts) {}

HRESULT STDMETHODCALLTYPE DLLFcts::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__DLLFcts) {
    *object = static_cast<_DLLFcts*>(this);
  } else if (iid == IID_ISupportErrorInfo) {
    *object = static_cast<ISupportErrorInfo*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE DLLFcts::AddRef() {
  LONG count = InterlockedIncrement(&references_);
  if (count == 1) Server_Claim();
  return count;
}

ULONG STDMETHODCALLTYPE DLLFcts::Release() {
  LONG count = InterlockedDecrement(&references_);
  if (count == 0) {
    delete this;
    Server_Unclaim();
  }
  return count;
}

HRESULT STDMETHODCALLTYPE DLLFcts::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID__DLLFcts ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE DLLFcts::Setup(short* reserved, short language, BSTR FileName, LONG parent,
                                         BSTR passwort, short* result) {
  HRESULT hr = CheckResultPointer(result);
  AnsiText fileName, password;
  if (SUCCEEDED(hr)) hr = fileName.Make(FileName);
  if (SUCCEEDED(hr)) hr = password.Make(passwort);
  return CallForStatus<MERIDAN_Setup_Function>(hr, LibraryExport::MERIDAN_Setup, result, reserved, language,
                                                fileName.Data(), parent, password.Data());
}

HRESULT STDMETHODCALLTYPE DLLFcts::GetName(short language, BSTR FileName, short devicenr, short typ, short output,
                                           BSTR* info, short* result) {
  HRESULT hr = CheckResultPointer(result);
  if (SUCCEEDED(hr) && !info) hr = Dispatch_RaiseError(E_POINTER, L"No text for the name.", nullptr, IID__DLLFcts);
  AnsiText fileName, name;
  if (SUCCEEDED(hr)) hr = fileName.Make(FileName);
  if (SUCCEEDED(hr)) hr = name.Make(*info, 0, kNameRoom);
  MERIDAN_GetName_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::MERIDAN_GetName, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(language, fileName.Data(), devicenr, typ, output, name.Data()));
  return name.CopyBackFullLength(info);
}

HRESULT STDMETHODCALLTYPE DLLFcts::Init(short* reserved, short language, BSTR FileName, LONG parent, LONG wh,
                                        short* result) {
  HRESULT hr = CheckResultPointer(result);
  AnsiText fileName;
  if (SUCCEEDED(hr)) hr = fileName.Make(FileName);
  return CallForStatus<MERIDAN_Init_Function>(hr, LibraryExport::MERIDAN_Init, result, reserved, language,
                                               fileName.Data(), WindowArgument(parent), wh);
}

HRESULT STDMETHODCALLTYPE DLLFcts::DeInit(short* result) {
  return CallForStatus<MERIDAN_DeInit_Function>(CheckResultPointer(result), LibraryExport::MERIDAN_DeInit, result);
}

HRESULT STDMETHODCALLTYPE DLLFcts::Trigger(short devicenr, short source, short typ, short* result) {
  return CallForStatus<MERIDAN_Trigger_Function>(CheckResultPointer(result), LibraryExport::MERIDAN_Trigger, result,
                                                  devicenr, source, typ);
}

HRESULT STDMETHODCALLTYPE DLLFcts::Value(short devicenr, short Address, double* Val1, short* result) {
  return CallForStatus<MERIDAN_Value_Function>(CheckResultPointer(result), LibraryExport::MERIDAN_Value, result,
                                                devicenr, Address, Val1);
}

HRESULT STDMETHODCALLTYPE DLLFcts::Collect(short devicenr, short* Address, double* Val1, short* result) {
  return CallForStatus<MERIDAN_Collect_Function>(CheckResultPointer(result), LibraryExport::MERIDAN_Collect, result,
                                                  devicenr, Address, Val1);
}

HRESULT STDMETHODCALLTYPE DLLFcts::PreInit(short InitTimes, short UseValueEx, short Reserve1, short Reserve2,
                                           short Reserve3, short Reserve4, short Reserve5) {
  MERIDAN_PreInit_Function function = nullptr;
  HRESULT hr = Library_Bind(LibraryExport::MERIDAN_PreInit, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  function(InitTimes, UseValueEx, Reserve1, Reserve2, Reserve3, Reserve4, Reserve5);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::GetInt(LONG addr, short* variable, short* result) {
  return CallForStatus<MERIDAN_GetInt_Function>(CheckResultPointer(result), LibraryExport::MERIDAN_GetInt, result,
                                                 addr, variable);
}

HRESULT STDMETHODCALLTYPE DLLFcts::Win_MechAdj(short gagenr, LONG parent, BSTR password, short* result) {
  HRESULT hr = CheckResultPointer(result);
  AnsiText passwordText;
  if (SUCCEEDED(hr)) hr = passwordText.Make(password);
  return CallForStatus<MERIDAN_Win_MechAdj_Function>(hr, LibraryExport::MERIDAN_Win_MechAdj, result, gagenr, parent,
                                                      passwordText.Data());
}

HRESULT STDMETHODCALLTYPE DLLFcts::CloseProg() {
  closeRequested = 1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::Vexo_Init(LONG parent, BSTR Headline, SAFEARRAY** MVFlags, SAFEARRAY** MVDevices,
                                             SAFEARRAY** MVAddress, BSTR MVUnit, SAFEARRAY** MVNomSize,
                                             SAFEARRAY** MVUSL, SAFEARRAY** MVLSL, SAFEARRAY** MVResolu,
                                             short* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument flags, devices, addresses, nominal, upper, lower, resolution;
  if (SUCCEEDED(hr)) hr = flags.Check(MVFlags, VT_I2, kDisplayChannels, L"MVFlags", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = devices.Check(MVDevices, VT_I2, kDisplayChannels, L"MVDevices", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = addresses.Check(MVAddress, VT_I2, kDisplayChannels, L"MVAddress", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = nominal.Check(MVNomSize, VT_R8, kDisplayChannels, L"MVNomSize", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = upper.Check(MVUSL, VT_R8, kDisplayChannels, L"MVUSL", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = lower.Check(MVLSL, VT_R8, kDisplayChannels, L"MVLSL", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = resolution.Check(MVResolu, VT_I2, kDisplayChannels, L"MVResolu", IID__DLLFcts);
  AnsiText headline, units;
  if (SUCCEEDED(hr)) hr = headline.Make(Headline);
  if (SUCCEEDED(hr)) hr = units.Make(MVUnit, kDisplayUnitText);
  return CallForStatus<Display_Init_Function>(hr, LibraryExport::Display_Init, result, WindowArgument(parent),
                                              headline.Data(), flags.Element0<int16_t>(),
                                              devices.Element0<int16_t>(), addresses.Element0<int16_t>(),
                                              units.Data(), nominal.Element0<double>(), upper.Element0<double>(),
                                              lower.Element0<double>(), resolution.Element0<int16_t>());
}

HRESULT STDMETHODCALLTYPE DLLFcts::Vexo_DeInit() {
  Display_DeInit_Function function = nullptr;
  HRESULT hr = Library_Bind(LibraryExport::Display_DeInit, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  function();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::Vexo_ShowValues(SAFEARRAY** MV, SAFEARRAY** MVError) {
  ArrayArgument values, errors;
  HRESULT hr = values.Check(MV, VT_R8, kDisplayChannels, L"MV", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = errors.Check(MVError, VT_I2, kDisplayChannels, L"MVError", IID__DLLFcts);
  Display_ShowValues_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::Display_ShowValues, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  function(values.Element0<double>(), errors.Element0<int16_t>());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::Vexo_ShowDisplay(short state) {
  Display_ShowDisplay_Function function = nullptr;
  HRESULT hr = Library_Bind(LibraryExport::Display_ShowDisplay, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  function(state);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::SPCBitmap(LONG parent, BSTR FileName, LONG width, LONG height, double factor,
                                             BSTR Headline, short typ, SAFEARRAY** meaval, LONG numofval,
                                             double NomSize, double USL, double LSL, short USLOnOff, short LSLOnOff,
                                             LONG SampleSize, short SPCNorm, short* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument values;
  if (SUCCEEDED(hr)) hr = values.Check(meaval, VT_R8, numofval, L"meaval", IID__DLLFcts);
  AnsiText fileName, headline;
  if (SUCCEEDED(hr)) hr = fileName.Make(FileName);
  if (SUCCEEDED(hr)) hr = headline.Make(Headline);
  return CallForStatus<Create_SPCBitmap_Function>(hr, LibraryExport::Create_SPCBitmap, result,
                                                  WindowArgument(parent), fileName.Data(), width, height, factor,
                                                  headline.Data(), typ, values.Element0<double>(), numofval, NomSize,
                                                  USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm);
}

HRESULT STDMETHODCALLTYPE DLLFcts::SPCStatistics(short typ, SAFEARRAY** meaval, LONG numofval, double NomSize,
                                                 double USL, double LSL, short USLOnOff, short LSLOnOff,
                                                 LONG SampleSize, short SPCNorm, SAFEARRAY** results,
                                                 short* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument values, figures;
  if (SUCCEEDED(hr)) hr = values.Check(meaval, VT_R8, numofval, L"meaval", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = figures.Check(results, VT_R8, kStatisticsResults, L"results", IID__DLLFcts);
  return CallForStatus<Create_SPCStatistics_Function>(hr, LibraryExport::Create_SPCStatistics, result, typ,
                                                      values.Element0<double>(), numofval, NomSize, USL, LSL,
                                                      USLOnOff, LSLOnOff, SampleSize, SPCNorm,
                                                      figures.Element0<double>());
}

HRESULT STDMETHODCALLTYPE DLLFcts::SPCBitmapEx(LONG parent, BSTR FileName, LONG width, LONG height, double factor,
                                               BSTR Headline, short typ, SAFEARRAY** meaval, LONG numofval,
                                               double NomSize, double USL, double LSL, short USLOnOff,
                                               short LSLOnOff, LONG SampleSize, short SPCNorm, SAFEARRAY** options,
                                               LONG optionCount, short* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument values, settings;
  if (SUCCEEDED(hr)) hr = values.Check(meaval, VT_R8, numofval, L"meaval", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = settings.Check(options, VT_R8, optionCount, L"options", IID__DLLFcts);
  AnsiText fileName, headline;
  if (SUCCEEDED(hr)) hr = fileName.Make(FileName);
  if (SUCCEEDED(hr)) hr = headline.Make(Headline);
  return CallForStatus<Create_SPCBitmapEx_Function>(hr, LibraryExport::Create_SPCBitmapEx, result,
                                                    WindowArgument(parent), fileName.Data(), width, height, factor,
                                                    headline.Data(), typ, values.Element0<double>(), numofval,
                                                    NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm,
                                                    settings.Element0<double>(), optionCount);
}

// A Long result: the number of figures written can pass 32767.
HRESULT STDMETHODCALLTYPE DLLFcts::SPCStatisticsEx(short typ, SAFEARRAY** meaval, LONG numofval, double NomSize,
                                                   double USL, double LSL, short USLOnOff, short LSLOnOff,
                                                   LONG SampleSize, short SPCNorm, SAFEARRAY** options,
                                                   LONG optionCount, SAFEARRAY** results, LONG capacity,
                                                   LONG* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument values, settings, figures;
  if (SUCCEEDED(hr)) hr = values.Check(meaval, VT_R8, numofval, L"meaval", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = settings.Check(options, VT_R8, optionCount, L"options", IID__DLLFcts);
  // The array must hold every element up to the capacity the library is told of.
  if (SUCCEEDED(hr)) hr = figures.Check(results, VT_R8, capacity, L"results", IID__DLLFcts);
  return CallForStatus<Create_SPCStatisticsEx_Function>(
      hr, LibraryExport::Create_SPCStatisticsEx, result, typ, values.Element0<double>(), numofval, NomSize, USL, LSL,
      USLOnOff, LSLOnOff, SampleSize, SPCNorm, settings.Element0<double>(), optionCount, figures.Element0<double>(),
      capacity);
}

namespace {

// The sample sizes of a chart request: an array never allocated stands for
// none (the charts that read no sizes); one that is given must hold every
// element up to the count, whichever chart it is for.
HRESULT CheckSizes(SAFEARRAY** sizes, LONG count, ArrayArgument* checked, double** element0) {
  *element0 = nullptr;
  if (!sizes || !*sizes) return S_OK;
  HRESULT hr = checked->Check(sizes, VT_R8, count, L"sizes", IID__DLLFcts);
  if (SUCCEEDED(hr)) *element0 = checked->Element0<double>();
  return hr;
}

// The highest element of the readings a gauge study reads: parts x appraisers x trials, or none when
// a size is below 1 or the study has more readings than any the library takes (it refuses those unread).
LONG GaugeReadingsRead(LONG parts, LONG appraisers, LONG trials) {
  if (parts < 1 || appraisers < 1 || trials < 1) return 0;
  const long long readings = static_cast<long long>(parts) * appraisers * trials;
  return readings <= 65535 ? static_cast<LONG>(readings) : 0;
}

}  // namespace

// A Long result: the number of figures written can pass 32767.
HRESULT STDMETHODCALLTYPE DLLFcts::GaugeStudyStatistics(short kind, SAFEARRAY** readings, LONG parts,
                                                        LONG appraisers, LONG trials, double reference,
                                                        double tolerance, SAFEARRAY** options, LONG optionCount,
                                                        SAFEARRAY** results, LONG capacity, LONG* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument values, settings, figures;
  if (SUCCEEDED(hr))
    hr = values.Check(readings, VT_R8, GaugeReadingsRead(parts, appraisers, trials), L"readings", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = settings.Check(options, VT_R8, optionCount, L"options", IID__DLLFcts);
  // The array must hold every element up to the capacity the library is told of.
  if (SUCCEEDED(hr)) hr = figures.Check(results, VT_R8, capacity, L"results", IID__DLLFcts);
  return CallForStatus<Create_GaugeStudyStatistics_Function>(
      hr, LibraryExport::Create_GaugeStudyStatistics, result, kind, values.Element0<double>(), parts, appraisers,
      trials, reference, tolerance, settings.Element0<double>(), optionCount, figures.Element0<double>(), capacity);
}

HRESULT STDMETHODCALLTYPE DLLFcts::GaugeStudyBitmap(LONG parent, BSTR FileName, LONG width, LONG height,
                                                    double factor, BSTR Headline, short kind, SAFEARRAY** readings,
                                                    LONG parts, LONG appraisers, LONG trials, double reference,
                                                    double tolerance, SAFEARRAY** options, LONG optionCount,
                                                    short* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument values, settings;
  if (SUCCEEDED(hr))
    hr = values.Check(readings, VT_R8, GaugeReadingsRead(parts, appraisers, trials), L"readings", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = settings.Check(options, VT_R8, optionCount, L"options", IID__DLLFcts);
  AnsiText fileName, headline;
  if (SUCCEEDED(hr)) hr = fileName.Make(FileName);
  if (SUCCEEDED(hr)) hr = headline.Make(Headline);
  return CallForStatus<Create_GaugeStudyBitmap_Function>(
      hr, LibraryExport::Create_GaugeStudyBitmap, result, WindowArgument(parent), fileName.Data(), width, height,
      factor, headline.Data(), kind, values.Element0<double>(), parts, appraisers, trials, reference, tolerance,
      settings.Element0<double>(), optionCount);
}

HRESULT STDMETHODCALLTYPE DLLFcts::ChartStatistics(short chart, SAFEARRAY** values, SAFEARRAY** sizes, LONG count,
                                                   LONG SampleSize, short SPCNorm, SAFEARRAY** options,
                                                   LONG optionCount, SAFEARRAY** results, LONG capacity,
                                                   LONG* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument readings, samples, settings, figures;
  double* sizesElement0 = nullptr;
  if (SUCCEEDED(hr)) hr = readings.Check(values, VT_R8, count, L"values", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = CheckSizes(sizes, count, &samples, &sizesElement0);
  if (SUCCEEDED(hr)) hr = settings.Check(options, VT_R8, optionCount, L"options", IID__DLLFcts);
  // The array must hold every element up to the capacity the library is told of.
  if (SUCCEEDED(hr)) hr = figures.Check(results, VT_R8, capacity, L"results", IID__DLLFcts);
  return CallForStatus<Create_ChartStatistics_Function>(hr, LibraryExport::Create_ChartStatistics, result, chart,
                                                        readings.Element0<double>(), sizesElement0, count,
                                                        SampleSize, SPCNorm, settings.Element0<double>(), optionCount,
                                                        figures.Element0<double>(), capacity);
}

HRESULT STDMETHODCALLTYPE DLLFcts::ChartBitmap(LONG parent, BSTR FileName, LONG width, LONG height, double factor,
                                               BSTR Headline, short chart, SAFEARRAY** values, SAFEARRAY** sizes,
                                               LONG count, LONG SampleSize, short SPCNorm, SAFEARRAY** options,
                                               LONG optionCount, short* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument readings, samples, settings;
  double* sizesElement0 = nullptr;
  if (SUCCEEDED(hr)) hr = readings.Check(values, VT_R8, count, L"values", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = CheckSizes(sizes, count, &samples, &sizesElement0);
  if (SUCCEEDED(hr)) hr = settings.Check(options, VT_R8, optionCount, L"options", IID__DLLFcts);
  AnsiText fileName, headline;
  if (SUCCEEDED(hr)) hr = fileName.Make(FileName);
  if (SUCCEEDED(hr)) hr = headline.Make(Headline);
  return CallForStatus<Create_ChartBitmap_Function>(hr, LibraryExport::Create_ChartBitmap, result,
                                                    WindowArgument(parent), fileName.Data(), width, height, factor,
                                                    headline.Data(), chart, readings.Element0<double>(),
                                                    sizesElement0, count, SampleSize, SPCNorm,
                                                    settings.Element0<double>(), optionCount);
}

HRESULT STDMETHODCALLTYPE DLLFcts::CapabilityStatistics(SAFEARRAY** values, LONG count, LONG SampleSize,
                                                        short SPCNorm, double NomSize, double USL, double LSL,
                                                        short USLOnOff, short LSLOnOff, SAFEARRAY** options,
                                                        LONG optionCount, SAFEARRAY** results, LONG capacity,
                                                        LONG* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument readings, settings, figures;
  if (SUCCEEDED(hr)) hr = readings.Check(values, VT_R8, count, L"values", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = settings.Check(options, VT_R8, optionCount, L"options", IID__DLLFcts);
  // The array must hold every element up to the capacity the library is told of.
  if (SUCCEEDED(hr)) hr = figures.Check(results, VT_R8, capacity, L"results", IID__DLLFcts);
  return CallForStatus<Create_CapabilityStatistics_Function>(
      hr, LibraryExport::Create_CapabilityStatistics, result, readings.Element0<double>(), count, SampleSize, SPCNorm,
      NomSize, USL, LSL, USLOnOff, LSLOnOff, settings.Element0<double>(), optionCount, figures.Element0<double>(),
      capacity);
}

HRESULT STDMETHODCALLTYPE DLLFcts::CapabilityBitmap(LONG parent, BSTR FileName, LONG width, LONG height,
                                                    double factor, BSTR Headline, SAFEARRAY** values, LONG count,
                                                    LONG SampleSize, short SPCNorm, double NomSize, double USL,
                                                    double LSL, short USLOnOff, short LSLOnOff, SAFEARRAY** options,
                                                    LONG optionCount, short* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument readings, settings;
  if (SUCCEEDED(hr)) hr = readings.Check(values, VT_R8, count, L"values", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = settings.Check(options, VT_R8, optionCount, L"options", IID__DLLFcts);
  AnsiText fileName, headline;
  if (SUCCEEDED(hr)) hr = fileName.Make(FileName);
  if (SUCCEEDED(hr)) hr = headline.Make(Headline);
  return CallForStatus<Create_CapabilityBitmap_Function>(
      hr, LibraryExport::Create_CapabilityBitmap, result, WindowArgument(parent), fileName.Data(), width, height,
      factor, headline.Data(), readings.Element0<double>(), count, SampleSize, SPCNorm, NomSize, USL, LSL, USLOnOff,
      LSLOnOff, settings.Element0<double>(), optionCount);
}
