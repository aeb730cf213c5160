// A helper installed in a folder of its own and started by the automation
// runtime for a client working in another folder: its library finds the
// constants table it was installed with, beside it, and shows no message box
// that nobody would see (the client would wait for its call for ever).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "helper/helper_client.h"
#include "win_test_support.h"

using namespace helpertest;

namespace {

// A message box (a dialog-class window) of that process, or null; the
// helper's status window has a class of its own.
struct BoxSearch {
  DWORD process;
  HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM search) {
  BoxSearch& found = *reinterpret_cast<BoxSearch*>(search);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64] = L"";
  GetClassNameW(window, className, 64);
  if (owner != found.process || lstrcmpW(className, L"#32770") != 0) return TRUE;
  found.box = window;
  return FALSE;
}

// Watches the helper while a call runs; a message box it can reach is noted
// and confirmed. (A box shown while the library attaches may not be reached
// under Wine: then the call waits until the test's time limit, a failure too.)
class MessageBoxWatch {
 public:
  explicit MessageBoxWatch(DWORD helperProcess)
      : thread_([this, helperProcess] {
          while (!done_) {
            BoxSearch search{helperProcess, nullptr};
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
            if (search.box) {
              seen_ = true;
              PostMessageW(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            }
            Sleep(100);
          }
        }) {}
  ~MessageBoxWatch() { Stop(); }
  bool Stop() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  std::atomic<bool> done_{false}, seen_{false};
  std::thread thread_;
};

using StatisticsExport = int32_t(WINAPI*)(uint32_t, const double*, int32_t, double, double, double, uint32_t, uint32_t,
                                          int32_t, uint32_t, double*);

}  // namespace

TEST(TableBesideTheLibrary, HelperStartedForAClientElsewhereUsesItWithoutAMessage) {
  StopAllHelpers();
  wchar_t system[MAX_PATH];
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_FALSE(wintest::FileExists(std::wstring(system, length) + L"\\TESSAN_SPC.TAB"));
  const std::wstring install = wintest::MakeTempDir(L"install"), client = wintest::MakeTempDir(L"client");
  for (const wchar_t* file : {L"MERIDAN_HELPER.exe", L"MERIDAN.dll", L"tessan_ddk.dll", L"TESSAN_SPC.TAB"})
    ASSERT_TRUE(CopyFileW((wintest::BinDir() + file).c_str(), (install + file).c_str(), FALSE));
  ASSERT_TRUE(Register(install + L"MERIDAN_HELPER.exe"));

  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(client.c_str()));
  IDispatch* helper = nullptr;
  HRESULT created = CoCreateInstance(CLSID_DLLFcts, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                     reinterpret_cast<void**>(&helper));
  SetCurrentDirectoryW(previous);
  ASSERT_EQ(created, S_OK);
  std::vector<DWORD> helpers = HelperProcesses();
  ASSERT_EQ(helpers.size(), 1u);

  // Two subgroups of 1 .. 5: sigma from the mean range is 4 / d2(5), a table row.
  std::vector<double> values{0, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5};
  SAFEARRAY* meaval = MakeArray(VT_R8, 0, values);
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(49, 0.0));
  MessageBoxWatch watch(helpers[0]);
  Outcome figures = Call(helper, L"SPCStatistics", {I2(11), RefArray(&meaval), I4(10), R8(3.0), R8(10.0), R8(-10.0),
                                                    I2(1), I2(1), I4(5), I2(1), RefArray(&results)});
  EXPECT_FALSE(watch.Stop()) << "the library in the helper showed a message box";
  ASSERT_EQ(figures.hr, S_OK);
  EXPECT_EQ(figures.Integer(), 48);
  std::vector<double> received = ArrayValues(results);

  auto local = reinterpret_cast<StatisticsExport>(
      reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(L"MERIDAN.dll"), "Create_SPCStatistics")));
  std::vector<double> expected(49, 0.0);
  ASSERT_EQ(local(11, values.data(), 10, 3.0, 10.0, -10.0, 1, 1, 5, 1, expected.data()), 48);
  EXPECT_NEAR(received[15], 4.0 / 2.326, 0.0005) << "sigma from d2(5) = 2.326 of the installed table";
  for (int i = 1; i <= 48; ++i)
    EXPECT_TRUE(received[i] == expected[i] || (std::isnan(received[i]) && std::isnan(expected[i]))) << "element " << i;

  SafeArrayDestroy(meaval);
  SafeArrayDestroy(results);
  Call(helper, L"CloseProg", {});
  helper->Release();
  EXPECT_TRUE(WaitUntilNoHelper(10000));
  EXPECT_TRUE(Register(HelperPath())) << "the build's helper registered again for the other tests";
  wintest::RemoveTree(install);
  wintest::RemoveTree(client);
}
