// MERIDAN_HELPER as its clients see it: registered in this prefix, started by
// the automation runtime, called through IDispatch (by name and by member
// identifier) and through the dual interface, with MERIDAN.dll and the
// stand-in kit behind it. The kit appends every call it receives to a trace
// file, so the tests see what reached it inside the helper's process.
// More cases: helper/xtimer_tests.cpp, helper/host_watch_tests.cpp, helper/stress_tests.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "helper/helper_client.h"
#include "win_test_support.h"

using namespace helpertest;

namespace {

constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);
constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x800A000D);
constexpr DISPID kFirstMember = 0x60030000;

// One helper serves every case of this suite: started by the first object
// request, it ends when the suite lets go of its objects.
class ThroughTheHelper : public testing::Test {
 public:
  static void SetUpTestSuite() {
    StopAllHelpers();
    ASSERT_TRUE(Register(HelperPath()));
    traceFile_ = new std::wstring(wintest::MakeTempDir(L"kit") + L"kit_trace.txt");
    SetInherited(L"TESSAN_SIM_TRACE", *traceFile_);
    HRESULT hr = CoCreateInstance(CLSID_DLLFcts, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&helper_));
    SetInherited(L"TESSAN_SIM_TRACE", L"");
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(helper_->QueryInterface(IID__DLLFcts, reinterpret_cast<void**>(&dual_)), S_OK);
    std::vector<DWORD> helpers = HelperProcesses();
    ASSERT_EQ(helpers.size(), 1u);
    helperProcess_ = helpers[0];
  }

  static void TearDownTestSuite() {
    if (dual_) dual_->Release();
    if (helper_) helper_->Release();
    dual_ = nullptr;
    helper_ = nullptr;
    EXPECT_TRUE(WaitUntilNoHelper(5000)) << "the helper did not end after its last object was released";
    if (traceFile_) wintest::RemoveTree(traceFile_->substr(0, traceFile_->find_last_of(L'\\')));
    delete traceFile_;
    traceFile_ = nullptr;
  }

 protected:
  static std::string LastKitCall() { return LastTraceLine(*traceFile_); }

  static short InitKit() {
    short reserved = 5;
    Bstr file(L"");
    Outcome init = Call(helper_, L"Init", {RefI2(&reserved), I2(0), Str(file), I4(0), I4(0)});
    return init.hr == S_OK ? init.Integer() : static_cast<short>(-999);
  }

  static IDispatch* helper_;
  static _DLLFcts* dual_;
  static DWORD helperProcess_;
  static std::wstring* traceFile_;
};

IDispatch* ThroughTheHelper::helper_;
_DLLFcts* ThroughTheHelper::dual_;
DWORD ThroughTheHelper::helperProcess_;
std::wstring* ThroughTheHelper::traceFile_;

const wchar_t* const kMethodsInInterfaceOrder[] = {
    L"Setup",     L"GetName",     L"Init",      L"DeInit",          L"Trigger",          L"Value",
    L"Collect",   L"PreInit",     L"GetInt",    L"Win_MechAdj",     L"CloseProg",        L"Vexo_Init",
    L"Vexo_DeInit", L"Vexo_ShowValues", L"Vexo_ShowDisplay", L"SPCBitmap", L"SPCStatistics", L"SPCBitmapEx",
    L"SPCStatisticsEx", L"GaugeStudyStatistics", L"GaugeStudyBitmap", L"ChartStatistics", L"ChartBitmap",
    L"CapabilityStatistics", L"CapabilityBitmap",
};

// The arrays of a readout with channels 1 and 2 in use, indexed from 0.
struct ReadoutArrays {
  SAFEARRAY *flags, *devices, *addresses, *nominal, *upper, *lower, *resolution, *values, *errors;
  std::wstring units;
  ReadoutArrays() {
    std::vector<double> used(21, 0.0);
    used[1] = used[2] = 1.0;
    flags = MakeArray(VT_I2, 0, used);
    devices = MakeArray(VT_I2, 0, std::vector<double>(21, 1.0));
    addresses = MakeArray(VT_I2, 0, std::vector<double>(21, 1.0));
    nominal = MakeArray(VT_R8, 0, std::vector<double>(21, 25.0));
    upper = MakeArray(VT_R8, 0, std::vector<double>(21, 0.05));
    lower = MakeArray(VT_R8, 0, std::vector<double>(21, -0.05));
    resolution = MakeArray(VT_I2, 0, std::vector<double>(21, 3.0));
    std::vector<double> measured(21, 0.0), failed(21, 0.0);
    measured[1] = 25.0124;
    measured[2] = 24.9871;
    failed[2] = 1;
    values = MakeArray(VT_R8, 0, measured);
    errors = MakeArray(VT_I2, 0, failed);
    for (int i = 0; i < 20; ++i) units += L"mm                  ";
  }
  ~ReadoutArrays() {
    for (SAFEARRAY* array : {flags, devices, addresses, nominal, upper, lower, resolution, values, errors})
      SafeArrayDestroy(array);
  }
};

// 50 values around 25 mm, element 0 first (never read).
std::vector<double> ChartValues() {
  std::vector<double> values{0.0};
  for (int i = 1; i <= 50; ++i) values.push_back(25.0 + 0.002 * ((i * 13) % 7) - 0.006);
  return values;
}

// The readout's value of channel n is the text of its control 70 + n.
std::wstring ReadoutOf(HWND readout, int channel) { return TextOf(GetDlgItem(readout, 70 + channel)); }

}  // namespace

TEST_F(ThroughTheHelper, RegistersBothClassesTheirProgIdsAndTheTypeLibrary) {
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"MERIDAN_HELPER.DLLFcts", &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_DLLFcts));
  ASSERT_EQ(CLSIDFromProgID(L"MERIDAN_HELPER.XTimer", &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_XTimer));
  // The classes in the helper's own view of the registry, the library under its platform.
  std::wstring server = L"\"" + HelperPath() + L"\"";
  EXPECT_EQ(ClassesValue(L"CLSID\\" + GuidText(CLSID_DLLFcts) + L"\\LocalServer32", HelperView()), server);
  EXPECT_EQ(ClassesValue(L"CLSID\\" + GuidText(CLSID_XTimer) + L"\\LocalServer32", HelperView()), server);
  std::wstring library = L"TypeLib\\" + GuidText(LIBID_MERIDAN_HELPER) + L"\\3.0\\";
  std::wstring platform = HelperIs32Bit() ? L"win32" : L"win64";
  EXPECT_EQ(ClassesValue(library + L"0\\" + platform, KEY_WOW64_64KEY), HelperPath());
  EXPECT_NE(ClassesValue(library + L"409\\" + platform, KEY_WOW64_64KEY), L"");
  // What a 64-bit client's marshaler looks up for the 32-bit helper: the library
  // under win64, and the interfaces in the 64-bit view.
  EXPECT_EQ(ClassesValue(library + L"0\\win64", KEY_WOW64_64KEY), HelperPath());
  for (REFIID iid : {IID__DLLFcts, IID__XTimer, DIID___XTimer})
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
      if (view == KEY_WOW64_32KEY && !HelperIs32Bit()) continue;
      EXPECT_EQ(ClassesValue(L"Interface\\" + GuidText(iid) + L"\\TypeLib", view), GuidText(LIBID_MERIDAN_HELPER))
          << (view == KEY_WOW64_32KEY ? "32-bit view" : "64-bit view");
    }

  ITypeLib* typeLib = nullptr;
  ASSERT_EQ(LoadRegTypeLib(LIBID_MERIDAN_HELPER, 3, 0, 0x409, &typeLib), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(typeLib->GetLibAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->wMajorVerNum, 3);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  EXPECT_EQ(attributes->lcid, 0x409u);
  typeLib->ReleaseTLibAttr(attributes);
  BSTR name = nullptr;
  ASSERT_EQ(typeLib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"MERIDAN_HELPER");
  SysFreeString(name);
  typeLib->Release();
}

TEST_F(ThroughTheHelper, MemberIdentifiersFollowTheInterfaceOrder) {
  DISPID expected = kFirstMember;
  for (const wchar_t* name : kMethodsInInterfaceOrder) EXPECT_EQ(IdOf(helper_, name), expected++) << name;
}

TEST_F(ThroughTheHelper, InitAndSetupHandBackZeroInReserved) {
  short reserved = 77;
  Bstr file(L"gauges.ini"), password(L"secret");
  Outcome init = Call(helper_, L"Init", {RefI2(&reserved), I2(2), Str(file), I4(0), I4(400)});
  ASSERT_EQ(init.hr, S_OK);
  EXPECT_EQ(init.Integer(), 0);
  EXPECT_EQ(reserved, 0);
  EXPECT_EQ(LastKitCall(), "Device_Init 2 0 400");

  reserved = -3;
  Outcome setup = Call(helper_, L"Setup", {RefI2(&reserved), I2(1), Str(file), I4(1234), Str(password)});
  ASSERT_EQ(setup.hr, S_OK);
  EXPECT_EQ(setup.Integer(), 0);
  EXPECT_EQ(reserved, 0);
  EXPECT_EQ(LastKitCall(), "Device_Setup 1 1234");
}

TEST_F(ThroughTheHelper, ValueHandsTheKitReadingBackThroughTheReference) {
  ASSERT_EQ(InitKit(), 0);
  double value = -1.0;
  Outcome read = Call(helper_, L"Value", {I2(1), I2(1), RefR8(&value)});
  ASSERT_EQ(read.hr, S_OK);
  EXPECT_EQ(read.Integer(), 0);
  EXPECT_NEAR(value, 25.0, 0.1);  // the caliper's first address reads 25 mm
  EXPECT_EQ(LastKitCall(), "Device_Value 1 1");

  value = -1.0;
  Outcome unknown = Call(helper_, L"Value", {I2(1), I2(99), RefR8(&value)});
  EXPECT_EQ(unknown.Integer(), -3);  // the kit's status for an unknown address, unchanged
  EXPECT_EQ(value, -1.0);
}

TEST_F(ThroughTheHelper, IntegersReachTheKitNarrowedToSixteenBits) {
  ASSERT_EQ(InitKit(), 0);
  Outcome trigger = Call(helper_, L"Trigger", {I2(-1), I2(2), I2(3)});
  EXPECT_EQ(trigger.Integer(), -2);  // device 65535 is unknown
  EXPECT_EQ(LastKitCall(), "Device_Trigger 65535 2 3");

  Outcome preInit = Call(helper_, L"PreInit", {I2(-1), I2(1), I2(2), I2(3), I2(4), I2(5), I2(-32768)});
  EXPECT_EQ(preInit.hr, S_OK);
  EXPECT_EQ(preInit.result.vt, VT_EMPTY);  // PreInit has no result
  EXPECT_EQ(LastKitCall(), "Device_PreInit 65535 1 2 3 4 5 32768");

  short count = -1;
  Outcome wide = Call(helper_, L"GetInt", {I4(70000), RefI2(&count)});
  EXPECT_EQ(wide.Integer(), -3);
  EXPECT_EQ(LastKitCall(), "Device_GetInt 70000");  // a Long arrives in full

  Outcome devices = Call(helper_, L"GetInt", {I4(0), RefI2(&count)});
  EXPECT_EQ(devices.Integer(), 0);
  EXPECT_EQ(count, 4);  // the stand-in kit simulates four devices

  Outcome adjust = Call(helper_, L"Win_MechAdj", {I2(-2), I4(-5), Str(Bstr(L"pw"))});
  EXPECT_EQ(adjust.Integer(), -2);
  EXPECT_EQ(LastKitCall(), "Device_Win_MechAdj 65534 4294967291");
}

TEST_F(ThroughTheHelper, CollectHandsBackAddressAndValue) {
  ASSERT_EQ(InitKit(), 0);
  ASSERT_EQ(Call(helper_, L"Trigger", {I2(2), I2(3), I2(0)}).Integer(), 0);
  short address = 0;
  double value = 0.0;
  Outcome collect = Call(helper_, L"Collect", {I2(2), RefI2(&address), RefR8(&value)});
  ASSERT_EQ(collect.hr, S_OK);
  EXPECT_EQ(collect.Integer(), 3);  // the stand-in returns the address it read
  EXPECT_EQ(address, 3);
  EXPECT_NEAR(value, 12.5, 0.05);
  Outcome nothing = Call(helper_, L"Collect", {I2(2), RefI2(&address), RefR8(&value)});
  EXPECT_EQ(nothing.Integer(), -4);
}

TEST_F(ThroughTheHelper, AStatusOfMinusOneComesBackAsMinusOne) {
  ASSERT_EQ(InitKit(), 0);
  EXPECT_EQ(Call(helper_, L"DeInit", {}).Integer(), 0);
  EXPECT_EQ(Call(helper_, L"DeInit", {}).Integer(), -1);  // not initialised any more
}

TEST_F(ThroughTheHelper, GetNameHandsBackTheWholeTextWithTheNameInFront) {
  Bstr info(std::wstring(40, L' '));
  Outcome name = Call(helper_, L"GetName", {I2(0), Str(Bstr(L"")), I2(1), I2(0), I2(0), RefStr(info)});
  ASSERT_EQ(name.hr, S_OK);
  EXPECT_EQ(name.Integer(), 0);
  std::wstring expected = L"TESSAN Caliper C150";
  expected += L'\0';
  expected += std::wstring(40 - expected.size(), L' ');
  EXPECT_EQ(info.Text(), expected);
  EXPECT_EQ(LastKitCall(), "Device_GetName 0 1 0 0");
}

TEST_F(ThroughTheHelper, GetNameCutsTheNameToTheLengthPassed) {
  Bstr shortText(L"12345");
  EXPECT_EQ(Call(helper_, L"GetName", {I2(0), Str(Bstr(L"")), I2(2), I2(0), I2(0), RefStr(shortText)}).Integer(), 0);
  EXPECT_EQ(shortText.Text(), L"TESSA");

  Bstr empty(L"");  // no room at all: the helper survives and the text stays empty
  EXPECT_EQ(Call(helper_, L"GetName", {I2(0), Str(Bstr(L"")), I2(3), I2(0), I2(0), RefStr(empty)}).Integer(), 0);
  EXPECT_EQ(empty.Text(), L"");
  short devices = 0;
  EXPECT_EQ(Call(helper_, L"GetInt", {I4(0), RefI2(&devices)}).hr, S_OK) << "helper gone after a short text";
}

TEST_F(ThroughTheHelper, EveryMethodCanBeCalledByItsMemberIdentifierAlone) {
  auto id = [](int position) { return kFirstMember + position; };
  Bstr empty(L""), info(std::wstring(30, L' '));
  short reserved = 3, address = 0, variable = 0;
  double value = 0.0;
  EXPECT_EQ(Call(helper_, id(0), {RefI2(&reserved), I2(1), Str(empty), I4(7), Str(empty)}).Integer(), 0);
  EXPECT_EQ(LastKitCall(), "Device_Setup 1 7");
  EXPECT_EQ(reserved, 0);
  EXPECT_EQ(Call(helper_, id(1), {I2(0), Str(empty), I2(2), I2(0), I2(0), RefStr(info)}).Integer(), 0);
  EXPECT_EQ(info.Text().substr(0, 22), std::wstring(L"TESSAN Micrometer M25") + L'\0');
  reserved = 3;
  EXPECT_EQ(Call(helper_, id(2), {RefI2(&reserved), I2(0), Str(empty), I4(0), I4(11)}).Integer(), 0);
  EXPECT_EQ(LastKitCall(), "Device_Init 0 0 11");
  EXPECT_EQ(reserved, 0);
  EXPECT_EQ(Call(helper_, id(4), {I2(1), I2(2), I2(0)}).Integer(), 0);
  EXPECT_EQ(Call(helper_, id(5), {I2(1), I2(1), RefR8(&value)}).Integer(), 0);
  EXPECT_NEAR(value, 25.0, 0.1);
  EXPECT_EQ(Call(helper_, id(6), {I2(1), RefI2(&address), RefR8(&value)}).Integer(), 2);
  EXPECT_EQ(address, 2);
  EXPECT_NEAR(value, 30.0, 0.1);
  EXPECT_EQ(Call(helper_, id(7), {I2(1), I2(2), I2(3), I2(4), I2(5), I2(6), I2(7)}).hr, S_OK);
  EXPECT_EQ(LastKitCall(), "Device_PreInit 1 2 3 4 5 6 7");
  EXPECT_EQ(Call(helper_, id(8), {I4(3), RefI2(&variable)}).Integer(), 0);
  EXPECT_EQ(variable, 8);  // the dial indicator has eight addresses
  EXPECT_EQ(Call(helper_, id(9), {I2(1), I4(0), Str(empty)}).Integer(), 0);
  EXPECT_EQ(LastKitCall(), "Device_Win_MechAdj 1 0");
  EXPECT_EQ(Call(helper_, id(3), {}).Integer(), 0);
  EXPECT_EQ(LastKitCall(), "Device_DeInit");
  EXPECT_EQ(Call(helper_, id(10), {}).hr, S_OK);

  ReadoutArrays readout;
  Bstr caption(L"Readout by member identifier"), units(readout.units);
  EXPECT_EQ(Call(helper_, id(11), {I4(0), Str(caption), RefArray(&readout.flags), RefArray(&readout.devices),
                                   RefArray(&readout.addresses), Str(units), RefArray(&readout.nominal),
                                   RefArray(&readout.upper), RefArray(&readout.lower), RefArray(&readout.resolution)})
                .Integer(),
            0);
  HWND window = WindowOf(helperProcess_, caption.Text());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Call(helper_, id(13), {RefArray(&readout.values), RefArray(&readout.errors)}).hr, S_OK);
  EXPECT_EQ(ReadoutOf(window, 1), L"25.012  ");
  EXPECT_EQ(Call(helper_, id(14), {I2(0)}).hr, S_OK);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(Call(helper_, id(12), {}).hr, S_OK);
  EXPECT_FALSE(IsWindow(window));

  std::wstring folder = wintest::MakeTempDir(L"chart");
  SAFEARRAY* meaval = MakeArray(VT_R8, 0, ChartValues());
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(49, 0.0));
  Bstr file(folder + L"by_id.bmp"), headline(L"By id");
  EXPECT_EQ(Call(helper_, id(15), {I4(0), Str(file), I4(400), I4(300), R8(1.0), Str(headline), I2(11),
                                   RefArray(&meaval), I4(50), R8(25.0), R8(25.02), R8(24.98), I2(1), I2(1), I4(5),
                                   I2(1)})
                .Integer(),
            0);
  EXPECT_EQ(wintest::ReadFileBytes(file.Text()).substr(0, 2), "BM");
  EXPECT_EQ(Call(helper_, id(16), {I2(11), RefArray(&meaval), I4(50), R8(25.0), R8(25.02), R8(24.98), I2(1), I2(1),
                                   I4(5), I2(1), RefArray(&results)})
                .Integer(),
            48);
  EXPECT_EQ(ArrayValues(results)[1], 50.0);
  SafeArrayDestroy(meaval);
  SafeArrayDestroy(results);
  wintest::RemoveTree(folder);
}

TEST_F(ThroughTheHelper, EveryMethodWorksThroughTheDualInterface) {
  BSTR empty = SysAllocString(L""), info = SysAllocString(L"                              ");
  short reserved = 9, status = -99, address = 0, variable = 0;
  double value = 0.0;
  ASSERT_EQ(dual_->Setup(&reserved, 2, empty, 5, empty, &status), S_OK);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(reserved, 0);
  EXPECT_EQ(LastKitCall(), "Device_Setup 2 5");
  ASSERT_EQ(dual_->GetName(0, empty, 4, 0, 0, &info, &status), S_OK);
  EXPECT_EQ(SysStringLen(info), 30u);
  EXPECT_STREQ(info, L"TESSAN Height Gauge H300");  // compared up to the zero the kit wrote
  reserved = 9;
  ASSERT_EQ(dual_->Init(&reserved, 0, empty, 0, 0, &status), S_OK);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(reserved, 0);
  ASSERT_EQ(dual_->Value(4, 2, &value, &status), S_OK);
  EXPECT_EQ(status, 0);
  EXPECT_NEAR(value, 100.0, 0.2);
  ASSERT_EQ(dual_->Trigger(-7, 0, 0, &status), S_OK);
  EXPECT_EQ(status, -2);
  EXPECT_EQ(LastKitCall(), "Device_Trigger 65529 0 0");
  ASSERT_EQ(dual_->Trigger(4, 1, 0, &status), S_OK);
  ASSERT_EQ(dual_->Collect(4, &address, &value, &status), S_OK);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(address, 1);
  ASSERT_EQ(dual_->PreInit(7, 6, 5, 4, 3, 2, -1), S_OK);
  EXPECT_EQ(LastKitCall(), "Device_PreInit 7 6 5 4 3 2 65535");
  ASSERT_EQ(dual_->GetInt(1, &variable, &status), S_OK);
  EXPECT_EQ(variable, 4);
  ASSERT_EQ(dual_->Win_MechAdj(4, 0, empty, &status), S_OK);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(dual_->DeInit(&status), S_OK);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(dual_->CloseProg(), S_OK);

  ReadoutArrays readout;
  BSTR caption = SysAllocString(L"Readout through the dual interface");
  BSTR units = SysAllocString(readout.units.c_str());
  ASSERT_EQ(dual_->Vexo_Init(0, caption, &readout.flags, &readout.devices, &readout.addresses, units,
                             &readout.nominal, &readout.upper, &readout.lower, &readout.resolution, &status),
            S_OK);
  EXPECT_EQ(status, 0);
  HWND window = WindowOf(helperProcess_, caption);
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(dual_->Vexo_ShowValues(&readout.values, &readout.errors), S_OK);
  EXPECT_EQ(ReadoutOf(window, 2), L"Err");
  ASSERT_EQ(dual_->Vexo_ShowDisplay(0), S_OK);
  EXPECT_FALSE(IsWindowVisible(window));
  ASSERT_EQ(dual_->Vexo_DeInit(), S_OK);
  EXPECT_FALSE(IsWindow(window));

  std::wstring folder = wintest::MakeTempDir(L"chart");
  SAFEARRAY* meaval = MakeArray(VT_R8, 0, ChartValues());
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(49, 0.0));
  BSTR file = SysAllocString((folder + L"dual.bmp").c_str());
  ASSERT_EQ(dual_->SPCBitmap(0, file, 400, 300, 1.0, empty, 11, &meaval, 50, 25.0, 25.02, 24.98, 1, 1, 5, 1, &status),
            S_OK);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(wintest::ReadFileBytes(folder + L"dual.bmp").substr(0, 2), "BM");
  ASSERT_EQ(dual_->SPCStatistics(11, &meaval, 50, 25.0, 25.02, 24.98, 1, 1, 5, 1, &results, &status), S_OK);
  EXPECT_EQ(status, 48);
  EXPECT_EQ(ArrayValues(results)[1], 50.0);
  for (BSTR text : {empty, info, caption, units, file}) SysFreeString(text);
  SafeArrayDestroy(meaval);
  SafeArrayDestroy(results);
  wintest::RemoveTree(folder);
}

TEST_F(ThroughTheHelper, ScriptHostVariantsByReferenceAreAccepted) {
  ASSERT_EQ(InitKit(), 0);
  VARIANT device = I4(1), address = I2(2), value;  // a script's variables: whatever type they hold
  VariantInit(&value);                             // a variable never assigned
  Outcome read = Call(helper_, L"Value", {RefVariant(&device), RefVariant(&address), RefVariant(&value)});
  ASSERT_EQ(read.hr, S_OK);
  EXPECT_EQ(read.Integer(), 0);
  ASSERT_EQ(value.vt, VT_R8);
  EXPECT_NEAR(value.dblVal, 30.0, 0.1);
  EXPECT_EQ(device.vt, VT_I4);  // by-value parameters leave the caller's variable alone

  VARIANT info;
  VariantInit(&info);
  info.vt = VT_BSTR;
  info.bstrVal = SysAllocString(L"                    ");
  Outcome name = Call(helper_, L"GetName", {I2(0), Str(Bstr(L"")), I2(3), I2(0), I2(0), RefVariant(&info)});
  ASSERT_EQ(name.hr, S_OK);
  ASSERT_EQ(info.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(info.bstrVal), 20u);
  EXPECT_STREQ(info.bstrVal, L"TESSAN Dial Indicato");
  VariantClear(&info);

  VARIANT words;
  VariantInit(&words);
  words.vt = VT_BSTR;
  words.bstrVal = SysAllocString(L"not a number");
  Outcome mismatch = Call(helper_, L"Value", {I2(1), I2(1), RefVariant(&words)});
  EXPECT_EQ(mismatch.hr, DISP_E_TYPEMISMATCH);
  EXPECT_STREQ(words.bstrVal, L"not a number");
  VariantClear(&words);
}

TEST_F(ThroughTheHelper, ErrorsThroughIDispatchCarryTheirDescription) {
  SAFEARRAY* values = MakeArray(VT_R8, 1, std::vector<double>(20, 1.0));
  SAFEARRAY* errors = MakeArray(VT_I2, 1, std::vector<double>(20, 0.0));
  Outcome fromOne = Call(helper_, L"Vexo_ShowValues", {RefArray(&values), RefArray(&errors)});
  EXPECT_EQ(fromOne.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(fromOne.Error(), kSubscriptOutOfRange);
  EXPECT_NE(fromOne.Description().find(L"MV"), std::wstring::npos) << fromOne.Description();
  EXPECT_NE(fromOne.Description().find(L"Subscript out of range"), std::wstring::npos);
  EXPECT_EQ(dual_->Vexo_ShowValues(&values, &errors), kSubscriptOutOfRange);
  SafeArrayDestroy(values);
  SafeArrayDestroy(errors);
}

TEST_F(ThroughTheHelper, ArraysThatDoNotHoldIndexZeroFailBeforeTheLibrary) {
  std::vector<double> twenty(21, 0.0);
  SAFEARRAY* good = MakeArray(VT_R8, 0, twenty);
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(49, -7.0));
  SAFEARRAY* fromOne = MakeArray(VT_R8, 1, twenty);
  SAFEARRAY* tooShort = MakeArray(VT_R8, 0, std::vector<double>(10, 0.0));
  SAFEARRAY* integers = MakeArray(VT_I4, 0, twenty);
  SAFEARRAY* none = nullptr;
  SAFEARRAYBOUND square[2] = {{21, 0}, {21, 0}};
  SAFEARRAY* twoDimensions = SafeArrayCreate(VT_R8, 2, square);
  const std::string before = LastKitCall();
  auto statistics = [&](SAFEARRAY** values, SAFEARRAY** figures) {
    return Call(helper_, L"SPCStatistics", {I2(1), RefArray(values), I4(20), R8(0), R8(1), R8(-1), I2(1), I2(1),
                                            I4(5), I2(1), RefArray(figures)});
  };
  EXPECT_EQ(statistics(&fromOne, &results).Error(), kSubscriptOutOfRange);
  EXPECT_EQ(statistics(&none, &results).Error(), kSubscriptOutOfRange);
  EXPECT_EQ(statistics(&twoDimensions, &results).Error(), kSubscriptOutOfRange);
  EXPECT_EQ(statistics(&tooShort, &results).Error(), kSubscriptOutOfRange);  // 20 values asked for, 9 there
  EXPECT_EQ(statistics(&good, &tooShort).Error(), kSubscriptOutOfRange);     // no room for 48 results
  EXPECT_EQ(ArrayValues(results), std::vector<double>(49, -7.0));
  EXPECT_EQ(LastKitCall(), before);
  // Through the dual interface an array of another element type is refused;
  // through IDispatch it is converted, as for a script host, when its values fit.
  short status = 0;
  EXPECT_EQ(dual_->SPCStatistics(1, &integers, 20, 0, 1, -1, 1, 1, 5, 1, &results, &status), kTypeMismatch);
  EXPECT_EQ(ArrayValues(results), std::vector<double>(49, -7.0));
  for (SAFEARRAY* array : {good, results, fromOne, tooShort, integers, twoDimensions}) SafeArrayDestroy(array);
}

TEST_F(ThroughTheHelper, SPCStatisticsGivesTheFiguresOfTheLibraryItself) {
  std::vector<double> values{-99.0};  // element 0 is never read
  for (int i = 1; i <= 25; ++i) values.push_back(10.0 + 0.01 * ((i * 7) % 11));
  SAFEARRAY* meaval = MakeArray(VT_R8, 0, values);
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(49, -7.0));
  Outcome figures = Call(helper_, kFirstMember + 16, {I2(11), RefArray(&meaval), I4(25), R8(10.05), R8(10.2),
                                                      R8(9.9), I2(1), I2(1), I4(5), I2(1), RefArray(&results)});
  ASSERT_EQ(figures.hr, S_OK);
  EXPECT_EQ(figures.Integer(), 48);
  std::vector<double> received = ArrayValues(results);
  EXPECT_EQ(received[0], -7.0);  // element 0 untouched

  using Statistics = int32_t(WINAPI*)(uint32_t, const double*, int32_t, double, double, double, uint32_t, uint32_t,
                                      int32_t, uint32_t, double*);
  auto local = reinterpret_cast<Statistics>(
      reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(L"MERIDAN.dll"), "Create_SPCStatistics")));
  std::vector<double> expected(49, -7.0);
  ASSERT_EQ(local(11, values.data(), 25, 10.05, 10.2, 9.9, 1, 1, 5, 1, expected.data()), 48);
  for (int i = 1; i <= 48; ++i)
    EXPECT_TRUE(received[i] == expected[i] || (std::isnan(received[i]) && std::isnan(expected[i]))) << "element " << i;
  EXPECT_EQ(received[1], 25.0);  // n
  double mean = 0.0;
  for (int i = 1; i <= 25; ++i) mean += values[i];
  EXPECT_NEAR(received[2], mean / 25.0, 1e-12);
  SafeArrayDestroy(meaval);
  SafeArrayDestroy(results);
}

TEST_F(ThroughTheHelper, SPCBitmapWritesTheSameChartFileAsTheLibraryItself) {
  std::wstring folder = wintest::MakeTempDir(L"chart");
  std::wstring file = folder + L"through_helper.bmp", local = folder + L"in_process.bmp";
  std::vector<double> values = ChartValues();
  SAFEARRAY* meaval = MakeArray(VT_R8, 0, values);
  Outcome chart = Call(helper_, L"SPCBitmap",
                       {I4(0), Str(Bstr(file)), I4(600), I4(400), R8(1.5), Str(Bstr(L"Helper chart")), I2(12),
                        RefArray(&meaval), I4(50), R8(25.0), R8(25.02), R8(24.98), I2(1), I2(1), I4(5), I2(1)});
  ASSERT_EQ(chart.hr, S_OK);
  EXPECT_EQ(chart.Integer(), 0);
  std::string bytes = wintest::ReadFileBytes(file);
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  int32_t width = 0, height = 0;
  std::memcpy(&width, bytes.data() + 18, 4);
  std::memcpy(&height, bytes.data() + 22, 4);
  EXPECT_EQ(width, 900);  // 600 x factor 1.5
  EXPECT_EQ(std::abs(height), 600);

  using Chart = int32_t(WINAPI*)(HWND, const char*, int32_t, int32_t, double, const char*, uint32_t, const double*,
                                 int32_t, double, double, double, uint32_t, uint32_t, int32_t, uint32_t);
  auto inProcess = reinterpret_cast<Chart>(
      reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(L"MERIDAN.dll"), "Create_SPCBitmap")));
  std::string localName(local.begin(), local.end());
  ASSERT_EQ(inProcess(nullptr, localName.c_str(), 600, 400, 1.5, "Helper chart", 12, values.data(), 50, 25.0, 25.02,
                      24.98, 1, 1, 5, 1),
            0);
  EXPECT_TRUE(wintest::ReadFileBytes(local) == bytes) << "the page drawn through the helper differs";
  SafeArrayDestroy(meaval);
  wintest::RemoveTree(folder);
}

TEST_F(ThroughTheHelper, VexoOpensAndUpdatesTheReadoutWindowInTheHelper) {
  ReadoutArrays readout;
  const std::wstring caption = L"Readout through the helper";
  Outcome init = Call(helper_, L"Vexo_Init",
                      {I4(0), Str(Bstr(caption)), RefArray(&readout.flags), RefArray(&readout.devices),
                       RefArray(&readout.addresses), Str(Bstr(readout.units)), RefArray(&readout.nominal),
                       RefArray(&readout.upper), RefArray(&readout.lower), RefArray(&readout.resolution)});
  ASSERT_EQ(init.hr, S_OK);
  EXPECT_EQ(init.Integer(), 0);
  HWND window = WindowOf(helperProcess_, caption);
  ASSERT_NE(window, nullptr) << "no readout window in the helper's process";
  EXPECT_TRUE(IsWindowVisible(window));
  // The window fills in its readouts by itself shortly after it opened; the helper's loop runs its timer.
  EXPECT_TRUE(PumpUntil([window] { return ReadoutOf(window, 1) == L"0.000  "; }, 3000)) << "readout never shown";

  EXPECT_EQ(Call(helper_, L"Vexo_ShowValues", {RefArray(&readout.values), RefArray(&readout.errors)}).hr, S_OK);
  EXPECT_EQ(ReadoutOf(window, 1), L"25.012  ");  // updated before the call returned
  EXPECT_EQ(ReadoutOf(window, 2), L"Err");
  EXPECT_EQ(Call(helper_, L"Vexo_ShowDisplay", {I2(0)}).hr, S_OK);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(Call(helper_, L"Vexo_ShowDisplay", {I2(1)}).hr, S_OK);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(Call(helper_, L"Vexo_DeInit", {}).hr, S_OK);
  EXPECT_FALSE(IsWindow(window));
}

TEST(HelperRegistration, UnregServerRemovesEverythingAndRegServerPutsItBack) {
  StopAllHelpers();
  ASSERT_TRUE(Register(HelperPath()));  // the only helper registered, so its removal leaves nothing
  const std::wstring helper = L"\"" + HelperPath() + L"\"";
  const std::vector<std::wstring> classes = {L"CLSID\\" + GuidText(CLSID_DLLFcts), L"CLSID\\" + GuidText(CLSID_XTimer)};
  // Program identifiers and type libraries are shared by both views; classes
  // and interfaces each view has of its own.
  const std::vector<std::wstring> shared = {L"MERIDAN_HELPER.DLLFcts", L"MERIDAN_HELPER.XTimer",
                                            L"TypeLib\\" + GuidText(LIBID_MERIDAN_HELPER)};
  const std::vector<std::wstring> interfaces = {L"Interface\\" + GuidText(IID__DLLFcts),
                                                L"Interface\\" + GuidText(IID__XTimer),
                                                L"Interface\\" + GuidText(DIID___XTimer)};
  auto name = [](const std::wstring& key, REGSAM view) {
    return std::string(key.begin(), key.end()) + (view == KEY_WOW64_32KEY ? " (32-bit view)" : " (64-bit view)");
  };

  // A helper of the other bitness that cannot run here (a 32-bit one left from a
  // run on a machine that could) could not remove itself: its classes, its
  // entries of the library and the interfaces stay, and only this helper's own go.
  const REGSAM otherView = HelperView() == KEY_WOW64_32KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
  const bool alone = !ClassesKeyExists(classes[0], otherView);
  const std::wstring library = L"TypeLib\\" + GuidText(LIBID_MERIDAN_HELPER) + L"\\3.0\\";
  const std::wstring platform = HelperIs32Bit() ? L"win32" : L"win64";

  ASSERT_EQ(Finish(Start(helper + L" /UnregServer", L""), 30000), 0);
  for (const std::wstring& key : classes)
    EXPECT_FALSE(ClassesKeyExists(key, HelperView())) << "left behind: " << name(key, HelperView());
  for (const std::wstring& key : {library + L"0\\" + platform, library + L"409\\" + platform})
    EXPECT_FALSE(ClassesKeyExists(key, KEY_WOW64_64KEY)) << "left behind: " << name(key, KEY_WOW64_64KEY);
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    if (!alone) break;
    for (const std::wstring& key : classes) EXPECT_FALSE(ClassesKeyExists(key, view)) << "left behind: " << name(key, view);
    for (const std::wstring& key : shared) EXPECT_FALSE(ClassesKeyExists(key, view)) << "left behind: " << name(key, view);
    for (const std::wstring& key : interfaces)
      EXPECT_FALSE(ClassesKeyExists(key, view)) << "left behind: " << name(key, view);
  }
  CLSID clsid{};
  EXPECT_NE(CLSIDFromProgID(L"MERIDAN_HELPER.DLLFcts", &clsid), S_OK);  // program identifiers are shared: gone
  EXPECT_EQ(Finish(Start(helper + L" -unregserver", L""), 30000), 0) << "a second removal is no error";

  ASSERT_EQ(Finish(Start(helper + L" -REGSERVER", L""), 30000), 0);
  for (const std::wstring& key : classes) EXPECT_TRUE(ClassesKeyExists(key, HelperView())) << "missing: " << name(key, HelperView());
  for (const std::wstring& key : shared)
    EXPECT_TRUE(ClassesKeyExists(key, KEY_WOW64_64KEY)) << "missing: " << name(key, KEY_WOW64_64KEY);
  // A 32-bit helper's interfaces are found from both views (its 64-bit clients).
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    if (view == KEY_WOW64_32KEY && !HelperIs32Bit()) continue;
    for (const std::wstring& key : interfaces) EXPECT_TRUE(ClassesKeyExists(key, view)) << "missing: " << name(key, view);
  }
  IDispatch* object = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_DLLFcts, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&object)),
            S_OK);
  object->Release();
  EXPECT_TRUE(WaitUntilNoHelper(5000));
}
