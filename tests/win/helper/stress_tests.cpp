// The helper under stress: many create/release cycles from C++ and from a
// script host, two client processes calling at once, thousands of calls with
// bad arrays and wrong variant types, a request while the helper is ending,
// and a client that ends without releasing its object.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
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

// Committed memory of another process that it shares with none.
size_t PrivateBytesOf(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return 0;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  CloseHandle(process);
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

IDispatch* NewObject(REFCLSID type, HRESULT* hr = nullptr) {
  IDispatch* object = nullptr;
  HRESULT result = CoCreateInstance(type, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                    reinterpret_cast<void**>(&object));
  if (hr) *hr = result;
  return SUCCEEDED(result) ? object : nullptr;
}

// The kit's device count through a DLLFcts object: 4, or -1 when the call failed.
short DeviceCount(IDispatch* helper) {
  short devices = -1;
  Outcome outcome = Call(helper, L"GetInt", {I4(0), RefI2(&devices)});
  return outcome.hr == S_OK && outcome.Integer() == 0 ? devices : static_cast<short>(-1);
}

class HelperStress : public testing::Test {
 public:
  static void SetUpTestSuite() {
    StopAllHelpers();
    ASSERT_TRUE(Register(HelperPath()));
  }

 protected:
  void SetUp() override { folder_ = wintest::MakeTempDir(L"stress"); }
  void TearDown() override {
    EXPECT_TRUE(WaitUntilNoHelper(8000));
    StopAllHelpers();
    wintest::RemoveTree(folder_);
  }
  std::wstring folder_;
};

}  // namespace

TEST_F(HelperStress, AHundredCreateReleaseCyclesOfEachClassFromCpp) {
  int failed = 0;
  for (int cycle = 0; cycle < 100; ++cycle) {
    IDispatch* helper = NewObject(CLSID_DLLFcts);
    failed += !helper || DeviceCount(helper) != 4;
    if (helper) helper->Release();
    IDispatch* timer = NewObject(CLSID_XTimer);
    LONG interval = -1;
    if (timer) {
      Call(timer, L"Interval", {I4(250 + cycle)}, DISPATCH_PROPERTYPUT);
      Outcome read = Call(timer, L"Interval", {}, DISPATCH_PROPERTYGET);
      interval = read.result.vt == VT_I4 ? read.result.lVal : -1;
      timer->Release();
    }
    failed += interval != 250 + cycle;
  }
  EXPECT_EQ(failed, 0) << "of 200 cycles";
}

TEST_F(HelperStress, AHundredCreateReleaseCyclesOfEachClassFromAScriptHost) {
  const char script[] = R"(Option Explicit
Dim failures : failures = 0
Dim i, helper, timer, devices, status
On Error Resume Next
For i = 1 To 100
  Set helper = CreateObject("MERIDAN_HELPER.DLLFcts")
  If Err.Number <> 0 Then failures = failures + 1 : WScript.Echo "DLLFcts " & i & ": " & Err.Description : Err.Clear
  devices = 0
  status = helper.GetInt(0, devices)
  If Err.Number <> 0 Or status <> 0 Or devices <> 4 Then failures = failures + 1 : Err.Clear
  Set helper = Nothing
  Set timer = CreateObject("MERIDAN_HELPER.XTimer")
  If Err.Number <> 0 Then failures = failures + 1 : WScript.Echo "XTimer " & i & ": " & Err.Description : Err.Clear
  timer.Interval = 300 + i
  If Err.Number <> 0 Or timer.Interval <> 300 + i Then failures = failures + 1 : Err.Clear
  Set timer = Nothing
Next
WScript.Echo "cycles: 200, failures: " & failures
WScript.Quit failures
)";
  ASSERT_TRUE(wintest::WriteFileBytes(folder_ + L"cycles.vbs", script));
  std::wstring output = folder_ + L"cscript_output.txt";
  long exitCode =
      Finish(Start(L"cscript.exe //nologo \"" + folder_ + L"cycles.vbs\"", wintest::BinDir(), output), 180000);
  EXPECT_EQ(exitCode, 0) << wintest::ReadFileBytes(output);
}

TEST_F(HelperStress, TwoClientProcessesCallingAtOnceEachGetTheirOwnAnswers) {
  // Devices 3 and 4 differ in name and address count; each client's values have a mean of their own.
  std::wstring caller = L"\"" + wintest::BinDir() + L"helper_caller.exe\"";
  HANDLE first = Start(caller + L" 3 300", wintest::BinDir(), folder_ + L"first.txt");
  HANDLE second = Start(caller + L" 4 300", wintest::BinDir(), folder_ + L"second.txt");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Finish(first, 180000), 0) << wintest::ReadFileBytes(folder_ + L"first.txt");
  EXPECT_EQ(Finish(second, 180000), 0) << wintest::ReadFileBytes(folder_ + L"second.txt");
}

// After the last release the helper waits half a second for a new request,
// withdraws its classes, serves for a while longer whoever was handed them
// just before, and ends. A request at any moment of that gets a working object
// on its first attempt, from the ending helper or from a new one. The requests
// close to the withdrawal are the ones that once failed (E_FAIL): the runtime
// had handed the client the helper's classes, and they were gone when its
// request for the object arrived.
TEST_F(HelperStress, AClientCreatingWhileTheHelperEndsGetsAWorkingObject) {
  const DWORD delays[] = {0, 450, 480, 490, 494, 496, 497, 498, 499, 500, 501, 502, 504, 510, 700, 1000, 1490, 1510};
  int failed = 0;
  IDispatch* helper = NewObject(CLSID_DLLFcts);
  ASSERT_NE(helper, nullptr);
  PumpFor(800);  // the status window is closed (no host runs): the last release ends this helper
  for (DWORD delay : delays) {
    helper->Release();
    PumpFor(delay);
    HRESULT hr = E_FAIL;
    helper = NewObject(CLSID_DLLFcts, &hr);
    if (helper && DeviceCount(helper) == 4) continue;
    ++failed;
    ADD_FAILURE() << "a request " << delay << " ms after the last release failed: 0x" << std::hex << hr;
    if (helper) helper->Release();
    helper = NewObject(CLSID_DLLFcts);
    ASSERT_NE(helper, nullptr);
  }
  helper->Release();
  std::printf("requests while the helper ends: %zu, failed: %d\n", sizeof delays / sizeof delays[0], failed);
}

// Under Wine nothing releases the objects of a client that has ended: the
// helper keeps them and goes on running, serving new clients as before, until
// it is told to end.
TEST_F(HelperStress, AClientThatEndsWithoutReleasingLeavesTheHelperRunningAndServing) {
  std::wstring caller = L"\"" + wintest::BinDir() + L"helper_caller.exe\"";
  EXPECT_EQ(Finish(Start(caller + L" 1 1 leave", wintest::BinDir(), folder_ + L"leave.txt"), 30000), 0)
      << wintest::ReadFileBytes(folder_ + L"leave.txt");
  PumpFor(3000);
  DWORD helperProcess = OnlyHelper();
  ASSERT_NE(helperProcess, 0u) << "the helper ended with its client";
  IDispatch* helper = NewObject(CLSID_DLLFcts);
  ASSERT_NE(helper, nullptr);
  EXPECT_EQ(DeviceCount(helper), 4);
  EXPECT_EQ(OnlyHelper(), helperProcess);
  Call(helper, L"CloseProg", {});
  helper->Release();
  PumpFor(3000);
  EXPECT_EQ(OnlyHelper(), helperProcess) << "the helper ended although an object was never released";
  StopHelper(helperProcess);
}

// ---- bad arrays and wrong variant types, against a stand-in library that records every call

namespace {

class HelperBadCalls : public testing::Test {
 public:
  static void SetUpTestSuite() {
    StopAllHelpers();
    folder_ = new std::wstring(wintest::MakeTempDir(L"badcalls"));
    ASSERT_TRUE(CopyFileW(HelperPath().c_str(), (*folder_ + L"MERIDAN_HELPER.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((wintest::BinDir() + L"fake_meridan\\MERIDAN.dll").c_str(),
                          (*folder_ + L"MERIDAN.dll").c_str(), FALSE));
    ASSERT_TRUE(Register(*folder_ + L"MERIDAN_HELPER.exe"));
    SetInherited(L"FAKE_MERIDAN_TRACE", Trace());
    helper_ = NewObject(CLSID_DLLFcts);
    SetInherited(L"FAKE_MERIDAN_TRACE", L"");
    ASSERT_NE(helper_, nullptr);
  }
  static void TearDownTestSuite() {
    if (helper_) helper_->Release();
    helper_ = nullptr;
    EXPECT_TRUE(WaitUntilNoHelper(8000));
    StopAllHelpers();
    EXPECT_TRUE(Register(HelperPath())) << "could not register the helper of the build folder again";
    wintest::RemoveTree(*folder_);
    delete folder_;
  }

 protected:
  static std::wstring Trace() { return *folder_ + L"library_trace.txt"; }
  static std::wstring* folder_;
  static IDispatch* helper_;
};

std::wstring* HelperBadCalls::folder_;
IDispatch* HelperBadCalls::helper_;

VARIANT Text(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text);
  return v;
}

// Texts that are no numbers; texts of numbers would be read as their numbers.
SAFEARRAY* OfWords(ULONG count) {
  SAFEARRAYBOUND bound{count, 0};
  SAFEARRAY* array = SafeArrayCreate(VT_BSTR, 1, &bound);
  Bstr word(L"not a number");
  for (LONG i = 0; i < static_cast<LONG>(count); ++i) SafeArrayPutElement(array, &i, word.Get());
  return array;
}

SAFEARRAY* TwoDimensional() {
  SAFEARRAYBOUND bounds[2] = {{21, 0}, {2, 0}};
  return SafeArrayCreate(VT_R8, 2, bounds);
}

// The bad arrays of one kind, each standing where an array of doubles is expected.
struct BadArrays {
  SAFEARRAY* fromOne = MakeArray(VT_R8, 1, std::vector<double>(60, 1.0));   // no index 0
  SAFEARRAY* tooShort = MakeArray(VT_R8, 0, std::vector<double>(10, 1.0));  // fewer elements than read
  SAFEARRAY* ofText = OfWords(60);                                            // texts that are no numbers
  SAFEARRAY* twoDimensions = TwoDimensional();
  SAFEARRAY* empty = nullptr;
  ~BadArrays() {
    for (SAFEARRAY* array : {fromOne, tooShort, ofText, twoDimensions})
      if (array) SafeArrayDestroy(array);
  }
  SAFEARRAY** Pick(int i) {
    SAFEARRAY** all[] = {&fromOne, &tooShort, &ofText, &twoDimensions, &empty};
    return all[i % 5];
  }
};

}  // namespace

TEST_F(HelperBadCalls, TenThousandBadCallsAreAutomationErrorsAndNoneReachesTheLibrary) {
  DWORD helperProcess = OnlyHelper();
  ASSERT_NE(helperProcess, 0u);
  // Warm: one good call of each kind that is attacked below, so the library is loaded and its exports bound.
  SAFEARRAY* good = MakeArray(VT_R8, 0, std::vector<double>(49, 1.0));
  SAFEARRAY* goodShorts = MakeArray(VT_I2, 0, std::vector<double>(21, 0.0));
  ASSERT_EQ(Call(helper_, L"SPCStatistics", {I2(11), RefArray(&good), I4(20), R8(1), R8(2), R8(0), I2(1), I2(1),
                                             I4(5), I2(3), RefArray(&good)}).hr, S_OK);
  ASSERT_EQ(Call(helper_, L"Vexo_ShowValues", {RefArray(&good), RefArray(&goodShorts)}).hr, S_OK);
  wintest::WriteFileBytes(Trace(), "");
  BadArrays bad;
  size_t startBytes = PrivateBytesOf(helperProcess);
  std::printf("helper private bytes at the start: %zu KB\n", startBytes / 1024);
  int calls = 0, succeeded = 0;
  size_t largestRise = 0;
  short variable = 0;
  auto badCall = [&](int i) -> Outcome {
    Bstr name(L"");
    switch (i % 8) {
      case 0:  // readout values
        return Call(helper_, L"Vexo_ShowValues", {RefArray(bad.Pick(i / 8)), RefArray(&goodShorts)});
      case 1:  // statistics values
        return Call(helper_, L"SPCStatistics", {I2(11), RefArray(bad.Pick(i / 8)), I4(50), R8(1), R8(2), R8(0), I2(1),
                                                I2(1), I4(5), I2(3), RefArray(&good)});
      case 2:  // statistics results
        return Call(helper_, L"SPCStatistics", {I2(11), RefArray(&good), I4(20), R8(1), R8(2), R8(0), I2(1), I2(1),
                                                I4(5), I2(3), RefArray(bad.Pick(i / 8))});
      case 3:  // page values
        return Call(helper_, L"SPCBitmap", {I4(0), Str(name), I4(200), I4(150), R8(1), Str(name), I2(11),
                                            RefArray(bad.Pick(i / 8)), I4(50), R8(1), R8(2), R8(0), I2(1), I2(1),
                                            I4(5), I2(3)});
      case 4: {  // a text where a Long belongs
        VARIANT text = Text(L"not a number");
        Outcome outcome = Call(helper_, L"GetInt", {text, RefI2(&variable)});
        VariantClear(&text);
        return outcome;
      }
      case 5: {  // a text where a ByRef Double belongs
        VARIANT text = Text(L"x");
        Outcome outcome = Call(helper_, L"Value", {I2(1), I2(1), text});
        VariantClear(&text);
        return outcome;
      }
      case 6: {  // an array where a number belongs
        VARIANT array;
        VariantInit(&array);
        array.vt = VT_ARRAY | VT_R8;
        array.parray = good;
        return Call(helper_, L"Trigger", {array, I2(0), I2(0)});
      }
      default:  // too few arguments
        return Call(helper_, L"Vexo_Init", {I4(0), Str(name)});
    }
  };
  for (int i = 0; i < 10000; ++i) {
    Outcome outcome = badCall(i);
    ++calls;
    succeeded += SUCCEEDED(outcome.hr);
    if (SUCCEEDED(outcome.hr)) std::printf("call %d (kind %d) succeeded\n", i, i % 8);
    if ((i + 1) % 1000 == 0) {
      size_t now = PrivateBytesOf(helperProcess);
      // Measured from the first thousand calls on: by then the automation
      // runtime has made what it keeps, and so, where 32-bit programs run under
      // QEMU, has the emulator, whose code cache counts as the process's memory
      // and grows in steps of about 1 MB while new paths are first taken.
      if (i + 1 == 1000) startBytes = now;
      if (now > startBytes && now - startBytes > largestRise) largestRise = now - startBytes;
      std::printf("after %5d bad calls: helper private bytes %zu KB\n", i + 1, now / 1024);
    }
  }
  std::fflush(stdout);
  EXPECT_EQ(calls, 10000);
  EXPECT_EQ(succeeded, 0);
  EXPECT_TRUE(TraceLines(Trace()).empty()) << LastTraceLine(Trace());
  EXPECT_LT(largestRise, size_t{2} * 1024 * 1024) << "the helper's memory grew";
  SafeArrayDestroy(good);
  SafeArrayDestroy(goodShorts);
}
