// The helper's life: its status window and host watch against fake
// spreadsheet hosts (copies of the sleeper named EXCEL.exe), a helper whose
// library is missing or is a stand-in that misbehaves, and a VBScript client.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helper/helper_client.h"
#include "win_test_support.h"

using namespace helpertest;

namespace {

DWORD OnlyHelper() {
  std::vector<DWORD> helpers = HelperProcesses();
  return helpers.size() == 1 ? helpers[0] : 0;
}

// Started by default in the build folder, whose TESSAN_SPC.TAB the library reads when it loads.
HANDLE StartByHand(const std::wstring& path, const std::wstring& switches, const std::wstring& outputFolder,
                   const std::wstring& workingDir = HelperDir()) {
  return Start(L"\"" + path + L"\"" + switches, workingDir, outputFolder + L"helper_output.txt");
}

class HostWatch : public testing::Test {
 public:
  static void SetUpTestSuite() {
    StopAllHelpers();
    ASSERT_TRUE(Register(HelperPath()));
  }

 protected:
  void SetUp() override { folder_ = wintest::MakeTempDir(L"watch"); }
  void TearDown() override {
    hosts_.StopAll();
    EXPECT_TRUE(WaitUntilNoHelper(5000));
    StopAllHelpers();
    wintest::RemoveTree(folder_);
  }

  IDispatch* NewObject() {
    IDispatch* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_DLLFcts, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
  }

  FakeHosts hosts_;
  std::wstring folder_;
};

bool IsRunning(DWORD processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (!process) return false;
  bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

}  // namespace

TEST_F(HostWatch, StartedByHandWithoutAHostItClosesAtTheFirstTickAndEnds) {
  DWORD start = GetTickCount();
  HANDLE helper = StartByHand(HelperPath(), L"", folder_);
  ASSERT_NE(helper, nullptr);
  EXPECT_EQ(Finish(helper, 8000), 0);
  EXPECT_GE(GetTickCount() - start, 250u) << "ended before its first 300 ms tick";
}

TEST_F(HostWatch, ItKeepsItsWindowWhileSomeHostRuns) {
  hosts_.Start();
  hosts_.Start();
  HANDLE helper = StartByHand(HelperPath(), L"", folder_);
  ASSERT_NE(helper, nullptr);
  DWORD id = GetProcessId(helper);
  ASSERT_TRUE(PumpUntil(
      [id] {
        HWND form = StatusWindowOf(id);
        return form && IsWindowVisible(form);
      },
      5000));
  HWND form = StatusWindowOf(id);
  EXPECT_EQ(TextOf(GetDlgItem(form, 1)), L"MERIDAN_HELPER is running ...");
  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, 304);  // 4560 x 480 twips at 96 dpi
  EXPECT_EQ(client.bottom, 32);
  LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_TRUE(style & WS_BORDER);
  EXPECT_EQ(style & WS_CAPTION, static_cast<LONG>(WS_BORDER)) << "no title bar";

  PumpFor(700);
  hosts_.StopOne();  // one of two hosts quits: the helper stays
  PumpFor(900);
  EXPECT_FALSE(HasEnded(helper));
  EXPECT_NE(StatusWindowOf(id), nullptr);
  hosts_.StopAll();
  EXPECT_EQ(Finish(helper, 5000), 0);
}

TEST_F(HostWatch, CloseProgClosesTheWindowAndTheHelperEndsOnceItsClientLetsGo) {
  hosts_.Start();
  IDispatch* object = NewObject();
  ASSERT_NE(object, nullptr);
  DWORD id = OnlyHelper();
  ASSERT_NE(id, 0u);
  ASSERT_TRUE(PumpUntil([id] { return StatusWindowOf(id) != nullptr; }, 5000));
  DWORD start = GetTickCount();
  Outcome close = Call(object, L"CloseProg", {});
  EXPECT_EQ(close.hr, S_OK);
  EXPECT_EQ(close.result.vt, VT_EMPTY);
  EXPECT_LT(GetTickCount() - start, 300u) << "CloseProg should return at once";
  EXPECT_TRUE(PumpUntil([id] { return StatusWindowOf(id) == nullptr; }, 2000)) << "the window stayed open";
  short devices = 0;
  EXPECT_EQ(Call(object, L"GetInt", {I4(0), RefI2(&devices)}).Integer(), 0) << "the object stopped working";
  EXPECT_EQ(devices, 4);
  PumpFor(400);
  EXPECT_TRUE(IsRunning(id)) << "ended while its client still held an object";
  object->Release();
  EXPECT_TRUE(WaitUntilNoHelper(5000));
}

TEST_F(HostWatch, StartedForAClientWithoutAnyHostItServesThatClient) {
  IDispatch* object = NewObject();
  ASSERT_NE(object, nullptr);
  DWORD id = OnlyHelper();
  ASSERT_NE(id, 0u);
  PumpFor(800);  // well past the first tick, which found no host
  EXPECT_EQ(StatusWindowOf(id), nullptr);
  short devices = 0;
  EXPECT_EQ(Call(object, L"GetInt", {I4(0), RefI2(&devices)}).Integer(), 0);
  EXPECT_TRUE(IsRunning(id));
  object->Release();
  EXPECT_TRUE(WaitUntilNoHelper(5000));
}

TEST_F(HostWatch, StartedForAClientWhileAHostRunsItStaysAfterTheClientLetsGo) {
  hosts_.Start();
  IDispatch* object = NewObject();
  ASSERT_NE(object, nullptr);
  DWORD id = OnlyHelper();
  ASSERT_NE(id, 0u);
  object->Release();
  PumpFor(1000);
  EXPECT_TRUE(IsRunning(id));
  EXPECT_NE(StatusWindowOf(id), nullptr);
  hosts_.StopAll();
  EXPECT_TRUE(WaitUntilNoHelper(5000));
}

TEST_F(HostWatch, ARequestRightAfterTheLastReleaseIsServedWhileTheHelperEnds) {
  IDispatch* object = NewObject();
  ASSERT_NE(object, nullptr);
  PumpFor(800);  // the window is closed: the last release ends this helper
  for (int round = 0; round < 4; ++round) {
    object->Release();
    object = NewObject();  // reaches the helper that is ending, or a new one
    ASSERT_NE(object, nullptr) << "round " << round;
    short devices = 0;
    EXPECT_EQ(Call(object, L"GetInt", {I4(0), RefI2(&devices)}).Integer(), 0) << "round " << round;
  }
  object->Release();
  EXPECT_TRUE(WaitUntilNoHelper(5000));
}

TEST_F(HostWatch, AnObjectRequestThatNeverComesEndsTheHelperAfterAFewSeconds) {
  DWORD start = GetTickCount();
  HANDLE helper = StartByHand(HelperPath(), L" -Embedding", folder_);
  ASSERT_NE(helper, nullptr);
  PumpFor(2000);
  EXPECT_FALSE(HasEnded(helper)) << "did not wait for the request it was started for";
  EXPECT_EQ(Finish(helper, 12000), 0);
  DWORD lived = GetTickCount() - start;
  EXPECT_GE(lived, 4500u);
  EXPECT_LE(lived, 9000u);
}

TEST_F(HostWatch, ALibraryThatCannotBeLoadedClosesTheWindowEvenWhileAHostRuns) {
  hosts_.Start();
  std::wstring copy = folder_ + L"MERIDAN_HELPER.exe";
  ASSERT_TRUE(CopyFileW(HelperPath().c_str(), copy.c_str(), FALSE));
  HANDLE helper = StartByHand(copy, L"", folder_, folder_);  // no MERIDAN.DLL beside it or in its folder
  ASSERT_NE(helper, nullptr);
  EXPECT_EQ(Finish(helper, 5000), 0);
}

// ---- A helper in a folder of its own: first without MERIDAN.DLL, then with
// a stand-in library that overwrites texts and returns chosen statuses ----

namespace {

class HelperBesideAStandInLibrary : public testing::Test {
 public:
  static void SetUpTestSuite() {
    StopAllHelpers();
    folder_ = new std::wstring(wintest::MakeTempDir(L"standin"));
    ASSERT_TRUE(CopyFileW(HelperPath().c_str(), (*folder_ + L"MERIDAN_HELPER.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((HelperDir() + L"TESSAN_SPC.TAB").c_str(), (*folder_ + L"TESSAN_SPC.TAB").c_str(), FALSE));
    ASSERT_TRUE(Register(*folder_ + L"MERIDAN_HELPER.exe"));
    // Started from here, the helper finds no MERIDAN.DLL: not beside it, not in its current folder.
    SetCurrentDirectoryW(folder_->c_str());
    SetInherited(L"FAKE_MERIDAN_TRACE", Trace());
    HRESULT hr = CoCreateInstance(CLSID_DLLFcts, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&helper_));
    SetInherited(L"FAKE_MERIDAN_TRACE", L"");
    SetCurrentDirectoryW(wintest::BinDir().c_str());
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(helper_->QueryInterface(IID__DLLFcts, reinterpret_cast<void**>(&dual_)), S_OK);
  }

  static void TearDownTestSuite() {
    if (dual_) dual_->Release();
    if (helper_) helper_->Release();
    dual_ = nullptr;
    helper_ = nullptr;
    EXPECT_TRUE(WaitUntilNoHelper(5000));
    StopAllHelpers();
    EXPECT_TRUE(Register(HelperPath())) << "could not register the helper of the build folder again";
    wintest::RemoveTree(*folder_);
    delete folder_;
  }

 protected:
  static std::wstring Trace() { return *folder_ + L"library_trace.txt"; }
  static void PutLibraryInPlace() {
    CopyFileW((HelperDir() + L"fake_meridan\\MERIDAN.dll").c_str(), (*folder_ + L"MERIDAN.dll").c_str(), TRUE);
  }

  static std::wstring* folder_;
  static IDispatch* helper_;
  static _DLLFcts* dual_;
};

std::wstring* HelperBesideAStandInLibrary::folder_;
IDispatch* HelperBesideAStandInLibrary::helper_;
_DLLFcts* HelperBesideAStandInLibrary::dual_;

VARIANT Text(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text);
  return v;
}

}  // namespace

TEST_F(HelperBesideAStandInLibrary, AMissingLibraryFailsOnlyThatCallAndALaterCallTriesAgain) {
  ASSERT_FALSE(wintest::FileExists(*folder_ + L"MERIDAN.dll"));
  double value = 0.0;
  Outcome missing = Call(helper_, L"Value", {I2(1), I2(1), RefR8(&value)});
  EXPECT_EQ(missing.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(missing.Error(), static_cast<HRESULT>(0x800A0035));
  EXPECT_EQ(missing.Description(), L"File not found: MERIDAN.DLL");
  short status = 0;
  EXPECT_EQ(dual_->Value(1, 1, &value, &status), static_cast<HRESULT>(0x800A0035));
  EXPECT_EQ(Call(helper_, L"CloseProg", {}).hr, S_OK);  // needs no library

  // Arrays are checked before the library is even looked for.
  SAFEARRAY* fromOne = MakeArray(VT_R8, 1, std::vector<double>(20, 0.0));
  SAFEARRAY* errors = MakeArray(VT_I2, 0, std::vector<double>(21, 0.0));
  EXPECT_EQ(Call(helper_, L"Vexo_ShowValues", {RefArray(&fromOne), RefArray(&errors)}).Error(),
            static_cast<HRESULT>(0x800A0009));
  SafeArrayDestroy(fromOne);
  SafeArrayDestroy(errors);

  PutLibraryInPlace();
  Outcome found = Call(helper_, L"Value", {I2(1), I2(1), RefR8(&value)});
  ASSERT_EQ(found.hr, S_OK);
  EXPECT_EQ(value, 1.25);
  EXPECT_EQ(LastTraceLine(Trace()), "MERIDAN_Value 1 1");
}

TEST_F(HelperBesideAStandInLibrary, AMissingExportFailsOnlyThatCall) {
  PutLibraryInPlace();
  SAFEARRAY* values = MakeArray(VT_R8, 0, std::vector<double>(6, 1.0));
  Outcome chart = Call(helper_, L"SPCBitmap",
                       {I4(0), Str(Bstr(L"c.bmp")), I4(100), I4(100), R8(1), Str(Bstr(L"")), I2(1),
                        RefArray(&values), I4(5), R8(1), R8(2), R8(0), I2(1), I2(1), I4(1), I2(0)});
  EXPECT_EQ(chart.Error(), static_cast<HRESULT>(0x800A01C5));
  EXPECT_EQ(chart.Description(), L"Can't find DLL entry point Create_SPCBitmap in MERIDAN.DLL");
  double value = 0.0;
  EXPECT_EQ(Call(helper_, L"Value", {I2(1), I2(1), RefR8(&value)}).hr, S_OK);
  SafeArrayDestroy(values);
}

TEST_F(HelperBesideAStandInLibrary, TextsTheLibraryOverwritesNeverReachTheCaller) {
  PutLibraryInPlace();
  // As a script host passes its variables: by reference.
  VARIANT file = Text(L"C:\\gauges.ini"), password = Text(L"secret"), reserved = I2(4);
  Outcome setup = Call(helper_, L"Setup", {RefVariant(&reserved), I2(1), RefVariant(&file), I4(0), RefVariant(&password)});
  ASSERT_EQ(setup.hr, S_OK);
  EXPECT_EQ(LastTraceLine(Trace()), "MERIDAN_Setup 1 [C:\\gauges.ini] 0 [secret]");
  EXPECT_STREQ(file.bstrVal, L"C:\\gauges.ini");
  EXPECT_STREQ(password.bstrVal, L"secret");
  EXPECT_EQ(reserved.vt, VT_I2);
  EXPECT_EQ(reserved.iVal, 0);

  BSTR plain = SysAllocString(L"Pr\u00fcfplatz 1");  // one byte per character in code page 1252
  short status = -1;
  ASSERT_EQ(dual_->Win_MechAdj(3, 0, plain, &status), S_OK);
  EXPECT_EQ(LastTraceLine(Trace()), "MERIDAN_Win_MechAdj 3 0 [Pr\xfc" "fplatz 1]");
  EXPECT_STREQ(plain, L"Pr\u00fcfplatz 1");
  SysFreeString(plain);

  VARIANT info = Text(L"..............");
  Outcome name = Call(helper_, L"GetName", {I2(0), RefVariant(&file), I2(1), I2(0), I2(0), RefVariant(&info)});
  ASSERT_EQ(name.hr, S_OK);
  EXPECT_STREQ(file.bstrVal, L"C:\\gauges.ini");
  std::wstring expected(L"FAKE NAME\0....", 14);
  EXPECT_EQ(std::wstring(info.bstrVal, SysStringLen(info.bstrVal)), expected);
  for (VARIANT* v : {&file, &password, &info}) VariantClear(v);
}

TEST_F(HelperBesideAStandInLibrary, TheResultIsTheLowHalfOfTheLibraryStatus) {
  PutLibraryInPlace();
  EXPECT_EQ(Call(helper_, L"Trigger", {I2(0), I2(1), I2(0)}).Integer(), 0);    // 0x00010000
  EXPECT_EQ(Call(helper_, L"Trigger", {I2(-1), I2(1), I2(0)}).Integer(), -1);  // 0x0001FFFF
  EXPECT_EQ(Call(helper_, L"Trigger", {I2(5), I2(-1), I2(0)}).Integer(), 5);   // 0xFFFF0005
  short address = 0;
  double value = 0.0;
  EXPECT_EQ(Call(helper_, L"Collect", {I2(1), RefI2(&address), RefR8(&value)}).Integer(), 7);
  EXPECT_EQ(address, 7);
  EXPECT_EQ(value, 2.5);
}

TEST_F(HelperBesideAStandInLibrary, ArraysArePassedFromElementZeroAndOnlyWhenTheyFit) {
  PutLibraryInPlace();
  std::vector<double> measured(21, 0.0), errors(21, 0.0);
  measured[0] = 99.0;
  measured[1] = 1.5;
  measured[20] = 20.5;
  errors[1] = 3;
  errors[20] = -4;
  SAFEARRAY* mv = MakeArray(VT_R8, 0, measured);
  SAFEARRAY* mvError = MakeArray(VT_I2, 0, errors);
  ASSERT_EQ(Call(helper_, L"Vexo_ShowValues", {RefArray(&mv), RefArray(&mvError)}).hr, S_OK);
  EXPECT_EQ(LastTraceLine(Trace()), "Display_ShowValues 1.5 20.5 3 -4");
  // Texts of numbers are read as their numbers ("1.5", "20.5"), as a macro's own conversion would.
  SAFEARRAY* texts = MakeArray(VT_BSTR, 0, measured);
  wintest::WriteFileBytes(Trace(), "");
  ASSERT_EQ(Call(helper_, L"Vexo_ShowValues", {RefArray(&texts), RefArray(&mvError)}).hr, S_OK);
  EXPECT_EQ(LastTraceLine(Trace()), "Display_ShowValues 1.5 20.5 3 -4");
  SafeArrayDestroy(texts);

  // From -5 to 20 holds index 0 too; from 1, or ending before 20, does not do.
  SAFEARRAY* wider = MakeArray(VT_R8, -5, std::vector<double>(26, 6.0));
  ASSERT_EQ(Call(helper_, L"Vexo_ShowValues", {RefArray(&wider), RefArray(&mvError)}).hr, S_OK);
  EXPECT_EQ(LastTraceLine(Trace()), "Display_ShowValues 6 6 3 -4");
  size_t calls = TraceLines(Trace()).size();
  SAFEARRAY* fromOne = MakeArray(VT_R8, 1, std::vector<double>(20, 0.0));
  SAFEARRAY* short19 = MakeArray(VT_I2, 0, std::vector<double>(20, 0.0));
  EXPECT_EQ(Call(helper_, L"Vexo_ShowValues", {RefArray(&fromOne), RefArray(&mvError)}).Error(),
            static_cast<HRESULT>(0x800A0009));
  EXPECT_EQ(Call(helper_, L"Vexo_ShowValues", {RefArray(&mv), RefArray(&short19)}).Error(),
            static_cast<HRESULT>(0x800A0009));
  EXPECT_EQ(TraceLines(Trace()).size(), calls) << "the library was called with an array that does not fit";
  for (SAFEARRAY* array : {mv, mvError, wider, fromOne, short19}) SafeArrayDestroy(array);
}

TEST_F(HelperBesideAStandInLibrary, ShortUnitTextsAreFilledUpWithZerosForTheReadout) {
  PutLibraryInPlace();
  std::vector<double> channels(21, 2.0);
  SAFEARRAY* shorts[4];
  for (SAFEARRAY*& array : shorts) array = MakeArray(VT_I2, 0, channels);
  SAFEARRAY* doubles[3];
  for (SAFEARRAY*& array : doubles) array = MakeArray(VT_R8, 0, channels);
  VARIANT headline = Text(L"Line 3");
  Outcome init = Call(helper_, L"Vexo_Init", {I4(0), RefVariant(&headline), RefArray(&shorts[0]), RefArray(&shorts[1]),
                                              RefArray(&shorts[2]), Str(Bstr(L"mm")), RefArray(&doubles[0]),
                                              RefArray(&doubles[1]), RefArray(&doubles[2]), RefArray(&shorts[3])});
  ASSERT_EQ(init.hr, S_OK);
  EXPECT_EQ(init.Integer(), 0);  // the stand-in returned 0x10000
  EXPECT_EQ(LastTraceLine(Trace()), "Display_Init [Line 3] [mm] zeros=398 2 2 2 2 2 2 2 2 2");
  EXPECT_STREQ(headline.bstrVal, L"Line 3");
  VariantClear(&headline);
  for (SAFEARRAY* array : shorts) SafeArrayDestroy(array);
  for (SAFEARRAY* array : doubles) SafeArrayDestroy(array);
}

TEST_F(HelperBesideAStandInLibrary, StatisticsComeBackIntoTheCallersArrayEvenAScriptsArrayOfVariants) {
  PutLibraryInPlace();
  SAFEARRAY* values = MakeArray(VT_R8, 0, {0, 4, 5, 6});
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(49, -7.0));
  Outcome typed = Call(helper_, L"SPCStatistics", {I2(2), RefArray(&values), I4(3), R8(5), R8(7), R8(3), I2(1),
                                                   I2(1), I4(1), I2(0), RefArray(&results)});
  ASSERT_EQ(typed.hr, S_OK);
  EXPECT_EQ(typed.Integer(), 48);
  EXPECT_EQ(LastTraceLine(Trace()), "Create_SPCStatistics 2 3 4 6");
  std::vector<double> expected{-7.0};
  for (int i = 1; i <= 48; ++i) expected.push_back(i + 0.5);
  EXPECT_EQ(ArrayValues(results), expected);

  // A script's arrays hold variants; its variables arrive by reference.
  VARIANT scriptValues, scriptResults;
  VariantInit(&scriptValues);
  VariantInit(&scriptResults);
  scriptValues.vt = scriptResults.vt = VT_ARRAY | VT_VARIANT;
  scriptValues.parray = MakeArray(VT_VARIANT, 0, {0, 4, 5, 6});
  scriptResults.parray = MakeArray(VT_VARIANT, 0, std::vector<double>(49, -7.0));
  Outcome script = Call(helper_, L"SPCStatistics", {I2(2), RefVariant(&scriptValues), I4(3), R8(5), R8(7), R8(3),
                                                    I2(1), I2(1), I4(1), I2(0), RefVariant(&scriptResults)});
  ASSERT_EQ(script.hr, S_OK);
  EXPECT_EQ(ArrayValues(scriptResults.parray), expected);
  EXPECT_EQ(LastTraceLine(Trace()), "Create_SPCStatistics 2 3 4 6");
  VariantClear(&scriptValues);
  VariantClear(&scriptResults);
  SafeArrayDestroy(values);
  SafeArrayDestroy(results);
}

// ---- A VBScript client run by Wine's cscript ----

TEST(VBScriptClient, CreatesTheObjectReadsAValueAndANameAndClosesTheHelper) {
  StopAllHelpers();
  ASSERT_TRUE(Register(HelperPath()));
  std::wstring folder = wintest::MakeTempDir(L"vbs");
  const char script[] = R"(Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
  If Not ok Then
    failures = failures + 1
    WScript.Echo "FAILED: " & what
  End If
End Sub
On Error Resume Next
Dim helper : Set helper = CreateObject("MERIDAN_HELPER.DLLFcts")
If Err.Number <> 0 Then
  WScript.Echo "CreateObject failed: " & Err.Description
  WScript.Quit 100
End If
Dim reserved, status, reading, info, name, nothing
reserved = 12
status = helper.Init(reserved, 0, "", 0, 0)
Check Err.Number = 0, "Init raised " & Err.Description
Check status = 0, "Init status " & status
Check reserved = 0, "reserved came back as " & reserved
Err.Clear
status = helper.Value(1, 1, reading)
Check Err.Number = 0, "Value raised " & Err.Description
Check status = 0, "Value status " & status
Check TypeName(reading) = "Double", "Val1 came back as " & TypeName(reading)
Check Abs(reading - 25) < 0.1, "Val1 = " & reading
Err.Clear
info = Space(40)
status = helper.GetName(0, "", 1, 0, 0, info)
Check Err.Number = 0, "GetName raised " & Err.Description
Check Len(info) = 40, "info has " & Len(info) & " characters"
name = Left(info, InStr(info, Chr(0)) - 1)
Check name = "TESSAN Caliper C150", "name = " & name
Err.Clear
helper.Vexo_ShowValues nothing, nothing
Check Err.Number = 9, "an unassigned array gave error " & Err.Number
Err.Clear
helper.CloseProg
Check Err.Number = 0, "CloseProg raised " & Err.Description
Set helper = Nothing
WScript.Quit failures
)";
  ASSERT_TRUE(wintest::WriteFileBytes(folder + L"client.vbs", script));
  std::wstring output = folder + L"cscript_output.txt";
  // Run from the build folder, whose TESSAN_SPC.TAB the library reads when the helper loads it.
  long exitCode = Finish(Start(L"cscript.exe //nologo \"" + folder + L"client.vbs\"", wintest::BinDir(), output), 60000);
  EXPECT_EQ(exitCode, 0) << wintest::ReadFileBytes(output);
  EXPECT_TRUE(WaitUntilNoHelper(5000)) << "the helper outlived its script client";
  wintest::RemoveTree(folder);
}
