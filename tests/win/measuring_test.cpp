// The measuring exports through the real MERIDAN.dll, with the stand-in kit
// behind it reporting exactly what arrived.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "meridan_api.h"
#include "tessan_ddk.h"
#include "win_test_support.h"

namespace {

std::string LastKitCall() {
  char text[256];
  Sim_GetLastCall(text, sizeof text);
  return text;
}

class Measuring : public testing::Test {
 protected:
  void SetUp() override {
    int16_t reserved = 1;
    ASSERT_EQ(MERIDAN_Init(&reserved, 1, "", nullptr, 0), 0);
  }
  void TearDown() override { MERIDAN_DeInit(); }
};

TEST_F(Measuring, SixteenBitArgumentsReachTheKitZeroExtended) {
  MERIDAN_Trigger(static_cast<uint32_t>(-1), 65538, 7);
  EXPECT_EQ(LastKitCall(), "Device_Trigger 65535 2 7");
  double value = 0;
  MERIDAN_Value(0x00010001, 0xFFFF0003, &value);
  EXPECT_EQ(LastKitCall(), "Device_Value 1 3");
  MERIDAN_PreInit(1, 2, 3, 4, 0x7FFF0005, static_cast<uint32_t>(-1), 65536);
  EXPECT_EQ(LastKitCall(), "Device_PreInit 1 2 3 4 5 65535 0");
  char name[64] = "";
  MERIDAN_GetName(65537, "", 65538, 0x10003, static_cast<uint32_t>(-2), name);
  EXPECT_EQ(LastKitCall(), "Device_GetName 1 2 3 65534");
  int16_t address = 0;
  MERIDAN_Collect(0x20004, &address, &value);
  EXPECT_EQ(LastKitCall(), "Device_Collect 4");
  MERIDAN_Win_MechAdj(0x10002, -5, "");
  EXPECT_EQ(LastKitCall(), "Device_Win_MechAdj 2 4294967291");
}

TEST_F(Measuring, ThirtyTwoBitArgumentsReachTheKitInFull) {
  int16_t variable = 0;
  MERIDAN_GetInt(0x12345678, &variable);
  EXPECT_EQ(LastKitCall(), "Device_GetInt 305419896");
  int16_t reserved = 5;
  MERIDAN_Setup(&reserved, 0x10001, "", -1, "");
  EXPECT_EQ(LastKitCall(), "Device_Setup 1 4294967295");
  MERIDAN_Init(&reserved, 2, "", reinterpret_cast<HWND>(0x1234), 70000);
  EXPECT_EQ(LastKitCall(), "Device_Init 2 4660 70000");
}

TEST_F(Measuring, ReservedIsZeroEvenWhenTheKitFails) {
  int16_t reserved = 99;
  EXPECT_EQ(MERIDAN_Setup(&reserved, 9, "", 0, ""), -5);  // language 9 is unknown to the kit
  EXPECT_EQ(reserved, 0);
  reserved = -1;
  EXPECT_EQ(MERIDAN_Init(&reserved, 9, "", nullptr, 0), -5);
  EXPECT_EQ(reserved, 0);
  reserved = 7;
  EXPECT_EQ(MERIDAN_Setup(&reserved, 0, "", 0, ""), 0);
  EXPECT_EQ(reserved, 0);
}

TEST_F(Measuring, NullReservedDoesNotCrash) {
  EXPECT_EQ(MERIDAN_Setup(nullptr, 0, "", 0, ""), 0);
  EXPECT_EQ(MERIDAN_Init(nullptr, 0, "", nullptr, 0), 0);
}

TEST_F(Measuring, ValuesAndStatusesComeBackUnchanged) {
  double first = 0, second = 0;
  ASSERT_EQ(MERIDAN_Value(1, 1, &first), 0);
  ASSERT_EQ(MERIDAN_Value(1, 1, &second), 0);
  EXPECT_NEAR(first, 25.0, 0.1);  // simulated caliper at address 1: 25 mm, sigma 0.01
  EXPECT_NE(first, second);
  // The kit's readings are reproducible: a new Init restarts every address.
  int16_t reserved;
  MERIDAN_Init(&reserved, 1, "", nullptr, 0);
  double again = 0;
  MERIDAN_Value(1, 1, &again);
  EXPECT_EQ(again, first);

  double untouched = -7.5;
  EXPECT_EQ(MERIDAN_Value(99, 1, &untouched), -2);
  EXPECT_EQ(MERIDAN_Value(1, 99, &untouched), -3);
  EXPECT_EQ(untouched, -7.5);
  int16_t address = 0;
  EXPECT_EQ(MERIDAN_Collect(2, &address, &untouched), -4);  // nothing triggered
  EXPECT_EQ(MERIDAN_Trigger(2, 3, 0), 0);
  double collected = 0;
  EXPECT_EQ(MERIDAN_Collect(2, &address, &collected), 3);  // the kit answers with the address read
  EXPECT_EQ(address, 3);
  EXPECT_NEAR(collected, 12.5, 0.05);
  char name[64] = "";
  EXPECT_EQ(MERIDAN_GetName(1, "", 2, 0, 0, name), 0);
  EXPECT_STREQ(name, "TESSAN Micrometer M25");
  int16_t devices = 0;
  EXPECT_EQ(MERIDAN_GetInt(0, &devices), 0);
  EXPECT_EQ(devices, 4);
  EXPECT_EQ(MERIDAN_DeInit(), 0);
  EXPECT_EQ(MERIDAN_DeInit(), -1);  // out of order: the kit's status, handed back as it is
  EXPECT_EQ(MERIDAN_Value(1, 1, &untouched), -1);
}

// ---- the host presence count ----

class HostCount : public testing::Test {
 protected:
  void TearDown() override {
    for (PROCESS_INFORMATION& process : processes_) {
      TerminateProcess(process.hProcess, 0);
      WaitForSingleObject(process.hProcess, 5000);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
    for (const std::wstring& dir : dirs_) wintest::RemoveTree(dir);
  }

  // Starts the sleeper program copied under `name` into a folder of its own.
  void StartAs(const wchar_t* name) {
    std::wstring dir = wintest::MakeTempDir(L"host");
    dirs_.push_back(dir);
    std::wstring path = dir + name;
    ASSERT_TRUE(CopyFileW((wintest::BinDir() + L"sleeper.exe").c_str(), path.c_str(), FALSE));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + path + L"\" 60000";
    ASSERT_TRUE(CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    processes_.push_back(process);
    ASSERT_TRUE(WaitUntilListed(process)) << "the started process never showed up in the process list";
  }

  // A console program is not waited for by WaitForInputIdle: wait until the
  // process list shows it with its path, as the count will see it.
  static bool WaitUntilListed(const PROCESS_INFORMATION& process) {
    for (int attempt = 0; attempt < 500; ++attempt) {
      DWORD ids[1024], bytes = 0;
      EnumProcesses(ids, sizeof ids, &bytes);
      wchar_t path[MAX_PATH];
      for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i)
        if (ids[i] == process.dwProcessId && GetModuleFileNameExW(process.hProcess, nullptr, path, MAX_PATH) > 0)
          return true;
      Sleep(10);
    }
    return false;
  }

  std::vector<PROCESS_INFORMATION> processes_;
  std::vector<std::wstring> dirs_;
};

TEST_F(HostCount, NoHostRunningCountsZero) { EXPECT_EQ(MERIDAN_IsExcelStarted(0), 0); }

TEST_F(HostCount, CountsEveryRunningHostWhateverTheCaseOfItsName) {
  StartAs(L"EXCEL.exe");
  EXPECT_EQ(MERIDAN_IsExcelStarted(0), 1);
  StartAs(L"EXCEL.exe");
  EXPECT_EQ(MERIDAN_IsExcelStarted(0), 2);
  StartAs(L"excel.exe");
  StartAs(L"EXCEL.EXE");
  EXPECT_EQ(MERIDAN_IsExcelStarted(0), 4);
}

TEST_F(HostCount, SimilarNamesDoNotCount) {
  StartAs(L"XEXCEL.exe");
  StartAs(L"EXCEL.exe.bak");
  StartAs(L"EXCEL2.exe");
  EXPECT_EQ(MERIDAN_IsExcelStarted(0), 0);
}

TEST_F(HostCount, UpperHalfOfTheResultIsZero) {
  StartAs(L"EXCEL.exe");
  EXPECT_EQ(MERIDAN_IsExcelStarted(0), 1);  // all 32 bits compared
  TerminateProcess(processes_.back().hProcess, 0);
  WaitForSingleObject(processes_.back().hProcess, 5000);
  EXPECT_EQ(MERIDAN_IsExcelStarted(0), 0);
}

// ---- pumpFirst ----

int dispatched;

LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 7) {
    ++dispatched;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class PumpFirst : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MeridanPumpProbe";
    RegisterClassW(&windowClass);
    window_ = CreateWindowW(L"MeridanPumpProbe", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    dispatched = 0;
  }
  void TearDown() override {
    DestroyWindow(window_);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // Milliseconds one count takes with `pumpFirst`, one message waiting.
  double TimedCount(uint32_t pumpFirst) {
    PostMessageW(window_, WM_USER + 7, 0, 0);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    MERIDAN_IsExcelStarted(pumpFirst);
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  }

  bool MessageStillWaiting() {
    MSG message;
    return PeekMessageW(&message, window_, WM_USER + 7, WM_USER + 7, PM_REMOVE) != 0;
  }

  HWND window_ = nullptr;
};

TEST_F(PumpFirst, PositiveDispatchesPendingMessagesThenWaits100Ms) {
  double elapsed = TimedCount(1);
  EXPECT_EQ(dispatched, 1);
  EXPECT_FALSE(MessageStillWaiting());
  EXPECT_GE(elapsed, 95.0);
}

TEST_F(PumpFirst, ZeroNegativeAndHighHalfOnlyNeitherPumpNorWait) {
  for (uint32_t pumpFirst : {0u, 0xFFFFFFFFu, 65536u, 0x8000u}) {
    double elapsed = TimedCount(pumpFirst);
    EXPECT_EQ(dispatched, 0) << pumpFirst;
    EXPECT_TRUE(MessageStillWaiting()) << pumpFirst;
    EXPECT_LT(elapsed, 95.0) << pumpFirst;
  }
}

}  // namespace
