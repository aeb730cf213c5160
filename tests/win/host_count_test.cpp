// MERIDAN_IsExcelStarted through the real MERIDAN.dll: the running host
// processes it counts, and the pending messages it dispatches first.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "meridan_api.h"
#include "win_test_support.h"

namespace {

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
