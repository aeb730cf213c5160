// The automation class DLLFcts: every library function a macro needs, as a
// method of the dual interface _DLLFcts. Objects hold no state of their own;
// all of them share the one library loaded in the helper's process.
#pragma once
#include <windows.h>

#include "DualDispatch.h"
#include "MERIDAN_HELPER_h.h"

class DLLFcts final : public DualDispatch<_DLLFcts>, public ISupportErrorInfo {
 public:
  DLLFcts();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  // _DLLFcts
  HRESULT STDMETHODCALLTYPE Setup(short* reserved, short language, BSTR FileName, LONG parent, BSTR passwort,
                                  short* result) override;
  HRESULT STDMETHODCALLTYPE GetName(short language, BSTR FileName, short devicenr, short typ, short output,
                                    BSTR* info, short* result) override;
  HRESULT STDMETHODCALLTYPE Init(short* reserved, short language, BSTR FileName, LONG parent, LONG wh,
                                 short* result) override;
  HRESULT STDMETHODCALLTYPE DeInit(short* result) override;
  HRESULT STDMETHODCALLTYPE Trigger(short devicenr, short source, short typ, short* result) override;
  HRESULT STDMETHODCALLTYPE Value(short devicenr, short Address, double* Val1, short* result) override;
  HRESULT STDMETHODCALLTYPE Collect(short devicenr, short* Address, double* Val1, short* result) override;
  HRESULT STDMETHODCALLTYPE PreInit(short InitTimes, short UseValueEx, short Reserve1, short Reserve2,
                                    short Reserve3, short Reserve4, short Reserve5) override;
  HRESULT STDMETHODCALLTYPE GetInt(LONG addr, short* variable, short* result) override;
  HRESULT STDMETHODCALLTYPE Win_MechAdj(short gagenr, LONG parent, BSTR password, short* result) override;
  HRESULT STDMETHODCALLTYPE CloseProg() override;
  HRESULT STDMETHODCALLTYPE Vexo_Init(LONG parent, BSTR Headline, SAFEARRAY** MVFlags, SAFEARRAY** MVDevices,
                                      SAFEARRAY** MVAddress, BSTR MVUnit, SAFEARRAY** MVNomSize, SAFEARRAY** MVUSL,
                                      SAFEARRAY** MVLSL, SAFEARRAY** MVResolu, short* result) override;
  HRESULT STDMETHODCALLTYPE Vexo_DeInit() override;
  HRESULT STDMETHODCALLTYPE Vexo_ShowValues(SAFEARRAY** MV, SAFEARRAY** MVError) override;
  HRESULT STDMETHODCALLTYPE Vexo_ShowDisplay(short state) override;
  HRESULT STDMETHODCALLTYPE SPCBitmap(LONG parent, BSTR FileName, LONG width, LONG height, double factor,
                                      BSTR Headline, short typ, SAFEARRAY** meaval, LONG numofval, double NomSize,
                                      double USL, double LSL, short USLOnOff, short LSLOnOff, LONG SampleSize,
                                      short SPCNorm, short* result) override;
  HRESULT STDMETHODCALLTYPE SPCStatistics(short typ, SAFEARRAY** meaval, LONG numofval, double NomSize, double USL,
                                          double LSL, short USLOnOff, short LSLOnOff, LONG SampleSize,
                                          short SPCNorm, SAFEARRAY** results, short* result) override;
  HRESULT STDMETHODCALLTYPE SPCBitmapEx(LONG parent, BSTR FileName, LONG width, LONG height, double factor,
                                        BSTR Headline, short typ, SAFEARRAY** meaval, LONG numofval, double NomSize,
                                        double USL, double LSL, short USLOnOff, short LSLOnOff, LONG SampleSize,
                                        short SPCNorm, SAFEARRAY** options, LONG optionCount,
                                        short* result) override;
  HRESULT STDMETHODCALLTYPE SPCStatisticsEx(short typ, SAFEARRAY** meaval, LONG numofval, double NomSize,
                                            double USL, double LSL, short USLOnOff, short LSLOnOff, LONG SampleSize,
                                            short SPCNorm, SAFEARRAY** options, LONG optionCount,
                                            SAFEARRAY** results, LONG capacity, LONG* result) override;
  HRESULT STDMETHODCALLTYPE GaugeStudyStatistics(short kind, SAFEARRAY** readings, LONG parts, LONG appraisers,
                                                 LONG trials, double reference, double tolerance,
                                                 SAFEARRAY** options, LONG optionCount, SAFEARRAY** results,
                                                 LONG capacity, LONG* result) override;
  HRESULT STDMETHODCALLTYPE GaugeStudyBitmap(LONG parent, BSTR FileName, LONG width, LONG height, double factor,
                                             BSTR Headline, short kind, SAFEARRAY** readings, LONG parts,
                                             LONG appraisers, LONG trials, double reference, double tolerance,
                                             SAFEARRAY** options, LONG optionCount, short* result) override;
  HRESULT STDMETHODCALLTYPE ChartStatistics(short chart, SAFEARRAY** values, SAFEARRAY** sizes, LONG count,
                                            LONG SampleSize, short SPCNorm, SAFEARRAY** options, LONG optionCount,
                                            SAFEARRAY** results, LONG capacity, LONG* result) override;
  HRESULT STDMETHODCALLTYPE ChartBitmap(LONG parent, BSTR FileName, LONG width, LONG height, double factor,
                                        BSTR Headline, short chart, SAFEARRAY** values, SAFEARRAY** sizes,
                                        LONG count, LONG SampleSize, short SPCNorm, SAFEARRAY** options,
                                        LONG optionCount, short* result) override;
  HRESULT STDMETHODCALLTYPE CapabilityStatistics(SAFEARRAY** values, LONG count, LONG SampleSize, short SPCNorm,
                                                 double NomSize, double USL, double LSL, short USLOnOff,
                                                 short LSLOnOff, SAFEARRAY** options, LONG optionCount,
                                                 SAFEARRAY** results, LONG capacity, LONG* result) override;
  HRESULT STDMETHODCALLTYPE CapabilityBitmap(LONG parent, BSTR FileName, LONG width, LONG height, double factor,
                                             BSTR Headline, SAFEARRAY** values, LONG count, LONG SampleSize,
                                             short SPCNorm, double NomSize, double USL, double LSL, short USLOnOff,
                                             short LSLOnOff, SAFEARRAY** options, LONG optionCount,
                                             short* result) override;

 private:
  LONG references_ = 0;
};
