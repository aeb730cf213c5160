// What the helper's tests share: the helper's processes, automation calls
// through IDispatch, fake spreadsheet hosts, waiting with a message loop.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "MERIDAN_HELPER_h.h"

namespace helpertest {

// The folder of the helper under test, with its MERIDAN.dll, kit and stand-in
// library: this program's own (build/<tree>/bin), or the one named by
// MERIDAN_HELPER_DIR (a 64-bit client testing the 32-bit helper). Windows paths.
std::wstring HelperDir();
std::wstring HelperPath();

// Processes of this prefix whose executable is named MERIDAN_HELPER.exe.
std::vector<DWORD> HelperProcesses();
// Waits (dispatching messages) until no helper process is left.
bool WaitUntilNoHelper(DWORD timeoutMs);
// Asks a helper to end (WM_QUIT to its threads) and waits; terminates it as a
// last resort. A terminated helper would leave its class objects registered
// with Wine's service for good, so the polite way comes first.
void StopHelper(DWORD processId);
void StopAllHelpers();

// Runs `commandLine` with its standard output and error going to `outputFile`
// (when given); returns the process handle or null.
HANDLE Start(const std::wstring& commandLine, const std::wstring& workingDir, const std::wstring& outputFile = L"");
// Waits for a process started by Start, dispatching messages; -1 on time-out (then it is terminated).
long Finish(HANDLE process, DWORD timeoutMs);
bool HasEnded(HANDLE process);

// Registers the helper at `path` (/RegServer) as the only one of the prefix
// (any other registered helper, of either bitness, is asked to remove itself
// first; one that cannot run here stays); true when it exits with 0.
bool Register(const std::wstring& path);

// The helper under test is a 32-bit program: it registers its classes in the
// 32-bit view of the registry (KEY_WOW64_32KEY), a 64-bit one in the 64-bit view.
bool HelperIs32Bit();
REGSAM HelperView();
// The default value of HKCR\<key> in that view ("" when there is none), and whether the key exists.
std::wstring ClassesValue(const std::wstring& key, REGSAM view);
bool ClassesKeyExists(const std::wstring& key, REGSAM view);
std::wstring GuidText(REFGUID guid);

// Dispatches the thread's messages for `ms` milliseconds, or until `done`.
void PumpFor(DWORD ms);
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Programs named EXCEL.exe (copies of the sleeper), each in a folder of its own.
class FakeHosts {
 public:
  ~FakeHosts();
  void Start();
  void StopOne();
  void StopAll();
  size_t Count() const { return processes_.size(); }

 private:
  std::vector<HANDLE> processes_;
  std::vector<std::wstring> folders_;
};

// The helper's status window of that process, or null.
HWND StatusWindowOf(DWORD processId);
// A top-level window of that process with this caption, or null.
HWND WindowOf(DWORD processId, const std::wstring& caption);
std::wstring TextOf(HWND window);

// An automation string owned by the test.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* Address() { return &value_; }
  BSTR Get() const { return value_; }
  std::wstring Text() const { return std::wstring(value_, SysStringLen(value_)); }

 private:
  BSTR value_;
};

// Arguments for Call, in the method's parameter order.
VARIANT I2(short value);
VARIANT I4(LONG value);
VARIANT R8(double value);
VARIANT Str(const Bstr& value);
VARIANT RefI2(short* value);
VARIANT RefR8(double* value);
VARIANT RefStr(Bstr& value);
VARIANT RefVariant(VARIANT* value);
VARIANT RefArray(SAFEARRAY** array);  // element type read from the array

// The outcome of one IDispatch call.
struct Outcome {
  HRESULT hr = E_FAIL;
  VARIANT result;
  EXCEPINFO exception;
  Outcome();
  ~Outcome();
  Outcome(const Outcome&) = delete;
  Outcome& operator=(const Outcome&) = delete;
  Outcome(Outcome&& other) noexcept;
  // The error a macro would see: the exception's code, else the call's result.
  HRESULT Error() const;
  std::wstring Description() const;
  short Integer() const { return result.vt == VT_I2 ? result.iVal : static_cast<short>(-32768); }
};

DISPID IdOf(IDispatch* object, const wchar_t* name);
Outcome Call(IDispatch* object, DISPID member, std::vector<VARIANT> arguments, WORD flags = DISPATCH_METHOD);
Outcome Call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments, WORD flags = DISPATCH_METHOD);

// A one-dimensional array from index `lower`, one element per value.
SAFEARRAY* MakeArray(VARTYPE type, LONG lower, const std::vector<double>& values);
std::vector<double> ArrayValues(SAFEARRAY* array);  // every element, as doubles

// Lines appended to a trace file since it was last emptied.
std::vector<std::string> TraceLines(const std::wstring& path);
std::string LastTraceLine(const std::wstring& path);

// Sets an environment variable that helpers started from now on inherit.
void SetInherited(const wchar_t* name, const std::wstring& value);

// A suite whose tests share one DLLFcts object of a helper started for it
// (after every other helper has been stopped and the helper registered), by
// IDispatch and by the dual interface; the helper must end once it is let go.
class HelperObjectSuite : public testing::Test {
 public:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

 protected:
  static IDispatch* helper_;
  static _DLLFcts* dual_;
};

// Equal figures: the same number, or both not a number.
inline bool SameFigure(double a, double b) { return a == b || (a != a && b != b); }

}  // namespace helpertest
