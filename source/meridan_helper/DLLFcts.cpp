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

// Integer results are the low 16 bits of the library's 32-bit status.
short Low16(int32_t status) { return static_cast<short>(static_cast<uint16_t>(status & 0xFFFF)); }

HWND WindowArgument(LONG handle) { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)); }

HRESULT CheckResultPointer(short* result) {
  if (!result) return Dispatch_RaiseError(E_POINTER, L"No place for the result.", nullptr, IID__DLLFcts);
  *result = 0;
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

DLLFcts::DLLFcts() { Dispatch_GetTypeInfo(IID__DLLFcts, &typeInfo_); }

DLLFcts::~DLLFcts() {
  if (typeInfo_) typeInfo_->Release();
}

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

HRESULT STDMETHODCALLTYPE DLLFcts::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = typeInfo_ ? 1 : 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) {
  if (!typeInfo) return E_POINTER;
  *typeInfo = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (!typeInfo_) return TYPE_E_ELEMENTNOTFOUND;
  typeInfo_->AddRef();
  *typeInfo = typeInfo_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!typeInfo_) return E_UNEXPECTED;
  return DispGetIDsOfNames(typeInfo_, names, count, ids);
}

HRESULT STDMETHODCALLTYPE DLLFcts::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                          VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!typeInfo_) return E_UNEXPECTED;
  return Dispatch_Invoke(typeInfo_, static_cast<_DLLFcts*>(this), member, flags, params, result, exception,
                         argumentError);
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
  MERIDAN_Setup_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::MERIDAN_Setup, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(reserved, language, fileName.Data(), parent, password.Data()));
  return S_OK;
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
  MERIDAN_Init_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::MERIDAN_Init, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(reserved, language, fileName.Data(), WindowArgument(parent), wh));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::DeInit(short* result) {
  HRESULT hr = CheckResultPointer(result);
  MERIDAN_DeInit_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::MERIDAN_DeInit, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::Trigger(short devicenr, short source, short typ, short* result) {
  HRESULT hr = CheckResultPointer(result);
  MERIDAN_Trigger_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::MERIDAN_Trigger, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(devicenr, source, typ));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::Value(short devicenr, short Address, double* Val1, short* result) {
  HRESULT hr = CheckResultPointer(result);
  MERIDAN_Value_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::MERIDAN_Value, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(devicenr, Address, Val1));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::Collect(short devicenr, short* Address, double* Val1, short* result) {
  HRESULT hr = CheckResultPointer(result);
  MERIDAN_Collect_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::MERIDAN_Collect, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(devicenr, Address, Val1));
  return S_OK;
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
  HRESULT hr = CheckResultPointer(result);
  MERIDAN_GetInt_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::MERIDAN_GetInt, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(addr, variable));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::Win_MechAdj(short gagenr, LONG parent, BSTR password, short* result) {
  HRESULT hr = CheckResultPointer(result);
  AnsiText passwordText;
  if (SUCCEEDED(hr)) hr = passwordText.Make(password);
  MERIDAN_Win_MechAdj_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::MERIDAN_Win_MechAdj, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(gagenr, parent, passwordText.Data()));
  return S_OK;
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
  Display_Init_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::Display_Init, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(WindowArgument(parent), headline.Data(), flags.Element0<int16_t>(),
                           devices.Element0<int16_t>(), addresses.Element0<int16_t>(), units.Data(),
                           nominal.Element0<double>(), upper.Element0<double>(), lower.Element0<double>(),
                           resolution.Element0<int16_t>()));
  return S_OK;
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
  Create_SPCBitmap_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::Create_SPCBitmap, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(WindowArgument(parent), fileName.Data(), width, height, factor, headline.Data(), typ,
                           values.Element0<double>(), numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize,
                           SPCNorm));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::SPCStatistics(short typ, SAFEARRAY** meaval, LONG numofval, double NomSize,
                                                 double USL, double LSL, short USLOnOff, short LSLOnOff,
                                                 LONG SampleSize, short SPCNorm, SAFEARRAY** results,
                                                 short* result) {
  HRESULT hr = CheckResultPointer(result);
  ArrayArgument values, figures;
  if (SUCCEEDED(hr)) hr = values.Check(meaval, VT_R8, numofval, L"meaval", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = figures.Check(results, VT_R8, kStatisticsResults, L"results", IID__DLLFcts);
  Create_SPCStatistics_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::Create_SPCStatistics, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(typ, values.Element0<double>(), numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff,
                           SampleSize, SPCNorm, figures.Element0<double>()));
  return S_OK;
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
  Create_SPCBitmapEx_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::Create_SPCBitmapEx, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = Low16(function(WindowArgument(parent), fileName.Data(), width, height, factor, headline.Data(), typ,
                           values.Element0<double>(), numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize,
                           SPCNorm, settings.Element0<double>(), optionCount));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DLLFcts::SPCStatisticsEx(short typ, SAFEARRAY** meaval, LONG numofval, double NomSize,
                                                   double USL, double LSL, short USLOnOff, short LSLOnOff,
                                                   LONG SampleSize, short SPCNorm, SAFEARRAY** options,
                                                   LONG optionCount, SAFEARRAY** results, LONG capacity,
                                                   LONG* result) {
  if (!result) return Dispatch_RaiseError(E_POINTER, L"No place for the result.", nullptr, IID__DLLFcts);
  *result = 0;
  ArrayArgument values, settings, figures;
  HRESULT hr = values.Check(meaval, VT_R8, numofval, L"meaval", IID__DLLFcts);
  if (SUCCEEDED(hr)) hr = settings.Check(options, VT_R8, optionCount, L"options", IID__DLLFcts);
  // The array must hold every element up to the capacity the library is told of.
  if (SUCCEEDED(hr)) hr = figures.Check(results, VT_R8, capacity, L"results", IID__DLLFcts);
  Create_SPCStatisticsEx_Function function = nullptr;
  if (SUCCEEDED(hr)) hr = Library_Bind(LibraryExport::Create_SPCStatisticsEx, &function, IID__DLLFcts);
  if (FAILED(hr)) return hr;
  *result = function(typ, values.Element0<double>(), numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize,
                     SPCNorm, settings.Element0<double>(), optionCount, figures.Element0<double>(), capacity);
  return S_OK;
}
