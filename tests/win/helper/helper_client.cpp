#include "helper/helper_client.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "win_test_support.h"

namespace helpertest {

namespace {

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// The whole test program is one single-threaded apartment: it creates the
// helper's objects and receives their events.
class ApartmentEnvironment : public testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override {
    StopAllHelpers();
    CoUninitialize();
  }
};

[[maybe_unused]] testing::Environment* const apartment = testing::AddGlobalTestEnvironment(new ApartmentEnvironment);

BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopWindowsOf(DWORD processId) {
  std::vector<HWND> all, mine;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) mine.push_back(window);
  }
  return mine;
}

}  // namespace

std::wstring HelperDir() {
  wchar_t dir[MAX_PATH];
  DWORD length = GetEnvironmentVariableW(L"MERIDAN_HELPER_DIR", dir, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return wintest::BinDir();
  std::wstring chosen(dir, length);
  return chosen.back() == L'\\' ? chosen : chosen + L'\\';
}

std::wstring HelperPath() { return HelperDir() + L"MERIDAN_HELPER.exe"; }

std::vector<DWORD> HelperProcesses() {
  std::vector<DWORD> found;
  DWORD ids[1024], bytes = 0;
  if (!EnumProcesses(ids, sizeof ids, &bytes)) return found;
  for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
    if (!process) continue;
    wchar_t path[MAX_PATH] = L"";
    DWORD length = GetModuleFileNameExW(process, nullptr, path, MAX_PATH);
    CloseHandle(process);
    if (length && lstrcmpiW(FileNameOf(path).c_str(), L"MERIDAN_HELPER.exe") == 0) found.push_back(ids[i]);
  }
  return found;
}

bool WaitUntilNoHelper(DWORD timeoutMs) {
  return PumpUntil([] { return HelperProcesses().empty(); }, timeoutMs);
}

namespace {

void PostQuitToThreadsOf(DWORD processId) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 thread{};
  thread.dwSize = sizeof thread;
  for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
    if (thread.th32OwnerProcessID == processId) PostThreadMessageW(thread.th32ThreadID, WM_QUIT, 0, 0);
  CloseHandle(snapshot);
}

// Ends a process politely (WM_QUIT), or else by force.
void EndProcess(HANDLE process) {
  PostQuitToThreadsOf(GetProcessId(process));
  if (!PumpUntil([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 5000)) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
  }
}

}  // namespace

void StopHelper(DWORD processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  if (!process) return;
  EndProcess(process);
  CloseHandle(process);
}

void StopAllHelpers() {
  for (DWORD id : HelperProcesses()) StopHelper(id);
}

HANDLE Start(const std::wstring& commandLine, const std::wstring& workingDir, const std::wstring& outputFile) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  HANDLE output = INVALID_HANDLE_VALUE;
  if (!outputFile.empty()) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    output = CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, output != INVALID_HANDLE_VALUE, 0, nullptr,
                                workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &process);
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  if (!started) return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

long Finish(HANDLE process, DWORD timeoutMs) {
  if (!process) return -1;
  long result = -1;
  if (PumpUntil([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, timeoutMs)) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    result = static_cast<long>(code);
  } else {
    EndProcess(process);
  }
  CloseHandle(process);
  return result;
}

bool HasEnded(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

bool HelperIs32Bit() {
  DWORD kind = 0;
  return GetBinaryTypeW(HelperPath().c_str(), &kind) && kind == SCS_32BIT_BINARY;
}

REGSAM HelperView() { return HelperIs32Bit() ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

std::wstring ClassesValue(const std::wstring& key, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE | view, &handle) != ERROR_SUCCESS) return L"";
  wchar_t value[MAX_PATH] = L"";
  DWORD size = sizeof value - sizeof(wchar_t);
  LONG status = RegQueryValueExW(handle, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS ? value : L"";
}

bool ClassesKeyExists(const std::wstring& key, REGSAM view) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

bool Register(const std::wstring& path) {
  // Both trees' tests share one prefix: a helper of the other bitness, registered
  // in the other view, would be the one that clients of that bitness start.
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    std::wstring other = ClassesValue(L"CLSID\\" + GuidText(CLSID_DLLFcts) + L"\\LocalServer32", view);
    if (!other.empty() && lstrcmpiW(other.c_str(), (L"\"" + path + L"\"").c_str()) != 0)
      Finish(Start(other + L" /UnregServer", L""), 30000);
  }
  return Finish(Start(L"\"" + path + L"\" /RegServer", L""), 30000) == 0;
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, std::min<DWORD>(timeoutMs - elapsed, 20), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

FakeHosts::~FakeHosts() { StopAll(); }

void FakeHosts::Start() {
  std::wstring folder = wintest::MakeTempDir(L"host");
  std::wstring path = folder + L"EXCEL.exe";
  ASSERT_TRUE(CopyFileW((wintest::BinDir() + L"sleeper.exe").c_str(), path.c_str(), FALSE));
  HANDLE process = helpertest::Start(L"\"" + path + L"\" 120000", folder);
  ASSERT_NE(process, nullptr);
  processes_.push_back(process);
  folders_.push_back(folder);
}

void FakeHosts::StopOne() {
  if (processes_.empty()) return;
  TerminateProcess(processes_.back(), 0);
  WaitForSingleObject(processes_.back(), 5000);
  CloseHandle(processes_.back());
  processes_.pop_back();
  wintest::RemoveTree(folders_.back());
  folders_.pop_back();
}

void FakeHosts::StopAll() {
  while (!processes_.empty()) StopOne();
}

HWND StatusWindowOf(DWORD processId) {
  for (HWND window : TopWindowsOf(processId)) {
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (lstrcmpW(className, L"MERIDAN_Form") == 0) return window;
  }
  return nullptr;
}

HWND WindowOf(DWORD processId, const std::wstring& caption) {
  for (HWND window : TopWindowsOf(processId))
    if (TextOf(window) == caption) return window;
  return nullptr;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = L"";
  int length = GetWindowTextW(window, text, 512);
  return std::wstring(text, length > 0 ? length : 0);
}

VARIANT I2(short value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I2;
  v.iVal = value;
  return v;
}

VARIANT I4(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT R8(double value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = value;
  return v;
}

VARIANT Str(const Bstr& value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = value.Get();
  return v;
}

VARIANT RefI2(short* value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_I2;
  v.piVal = value;
  return v;
}

VARIANT RefR8(double* value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_R8;
  v.pdblVal = value;
  return v;
}

VARIANT RefStr(Bstr& value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_BSTR;
  v.pbstrVal = value.Address();
  return v;
}

VARIANT RefVariant(VARIANT* value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_VARIANT;
  v.pvarVal = value;
  return v;
}

VARIANT RefArray(SAFEARRAY** array) {
  VARIANT v;
  VariantInit(&v);
  VARTYPE element = VT_R8;
  if (*array) SafeArrayGetVartype(*array, &element);
  v.vt = VT_BYREF | VT_ARRAY | element;
  v.pparray = array;
  return v;
}

Outcome::Outcome() {
  VariantInit(&result);
  exception = EXCEPINFO{};
}

Outcome::~Outcome() {
  VariantClear(&result);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

Outcome::Outcome(Outcome&& other) noexcept : hr(other.hr), result(other.result), exception(other.exception) {
  VariantInit(&other.result);
  other.exception = EXCEPINFO{};
}

HRESULT Outcome::Error() const {
  if (hr == DISP_E_EXCEPTION) return exception.scode ? exception.scode : static_cast<HRESULT>(exception.wCode);
  return hr;
}

std::wstring Outcome::Description() const {
  return exception.bstrDescription ? std::wstring(exception.bstrDescription) : std::wstring();
}

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

Outcome Call(IDispatch* object, DISPID member, std::vector<VARIANT> arguments, WORD flags) {
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  Outcome outcome;
  UINT argumentError = 0;
  outcome.hr = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                              (flags & DISPATCH_PROPERTYPUT) ? nullptr : &outcome.result, &outcome.exception,
                              &argumentError);
  return outcome;
}

Outcome Call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments, WORD flags) {
  return Call(object, IdOf(object, name), std::move(arguments), flags);
}

SAFEARRAY* MakeArray(VARTYPE type, LONG lower, const std::vector<double>& values) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(values.size()), lower};
  SAFEARRAY* array = SafeArrayCreate(type, 1, &bound);
  for (size_t i = 0; i < values.size(); ++i) {
    LONG index = lower + static_cast<LONG>(i);
    VARIANT value = R8(values[i]);
    VARIANT converted;
    VariantInit(&converted);
    VariantChangeType(&converted, &value, 0, type);
    // A text is handed over as the string itself, any other element by the address of its value.
    void* element = type == VT_VARIANT ? static_cast<void*>(&value)
                    : type == VT_BSTR  ? static_cast<void*>(converted.bstrVal)
                                       : static_cast<void*>(&converted.bVal);
    SafeArrayPutElement(array, &index, element);
    VariantClear(&converted);
  }
  return array;
}

std::vector<double> ArrayValues(SAFEARRAY* array) {
  std::vector<double> values;
  LONG lower = 0, upper = -1;
  VARTYPE type = VT_EMPTY;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  SafeArrayGetVartype(array, &type);
  for (LONG i = lower; i <= upper; ++i) {
    VARIANT element;
    VariantInit(&element);
    if (type == VT_VARIANT) {
      SafeArrayGetElement(array, &i, &element);
    } else {
      SafeArrayGetElement(array, &i, &element.bVal);
      element.vt = type;
    }
    VARIANT asDouble;
    VariantInit(&asDouble);
    VariantChangeType(&asDouble, &element, 0, VT_R8);
    values.push_back(asDouble.dblVal);
    VariantClear(&element);
  }
  return values;
}

std::vector<std::string> TraceLines(const std::wstring& path) {
  std::vector<std::string> lines;
  std::ifstream in(path.c_str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string LastTraceLine(const std::wstring& path) {
  std::vector<std::string> lines = TraceLines(path);
  return lines.empty() ? std::string() : lines.back();
}

void SetInherited(const wchar_t* name, const std::wstring& value) {
  SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

IDispatch* HelperObjectSuite::helper_;
_DLLFcts* HelperObjectSuite::dual_;

void HelperObjectSuite::SetUpTestSuite() {
  StopAllHelpers();
  ASSERT_TRUE(Register(HelperPath()));
  ASSERT_EQ(CoCreateInstance(CLSID_DLLFcts, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&helper_)),
            S_OK);
  ASSERT_EQ(helper_->QueryInterface(IID__DLLFcts, reinterpret_cast<void**>(&dual_)), S_OK);
}

void HelperObjectSuite::TearDownTestSuite() {
  if (dual_) dual_->Release();
  if (helper_) helper_->Release();
  dual_ = nullptr;
  helper_ = nullptr;
  EXPECT_TRUE(WaitUntilNoHelper(5000));
}

}  // namespace helpertest
