#include "MainFunctions.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "HelperServer.h"
#include "MERIDAN_Form.h"
#include "Registration.h"

int16_t closeRequested;

namespace {

enum class StartKind { ByHand, ForObjectRequest, Register, Unregister };

constexpr int kExitAccessDenied = 5;

StartKind ReadCommandLine() {
  StartKind kind = StartKind::ByHand;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return kind;
  for (int i = 1; i < count; ++i) {
    const wchar_t* word = arguments[i];
    if (*word == L'/' || *word == L'-') ++word;
    if (lstrcmpiW(word, L"RegServer") == 0) kind = StartKind::Register;
    else if (lstrcmpiW(word, L"UnregServer") == 0) kind = StartKind::Unregister;
    else if (lstrcmpiW(word, L"Embedding") == 0 && kind == StartKind::ByHand) kind = StartKind::ForObjectRequest;
  }
  LocalFree(arguments);
  return kind;
}

// Registration runs without a window: its outcome is the exit code, and a
// failure is described on the standard error output when there is one.
void ReportFailure(const wchar_t* what, HRESULT hr) {
  HANDLE output = GetStdHandle(STD_ERROR_HANDLE);
  if (!output || output == INVALID_HANDLE_VALUE) return;
  wchar_t* system = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&system), 0, nullptr);
  wchar_t code[16];
  wsprintfW(code, L"0x%08X", static_cast<unsigned>(hr));
  std::wstring text = std::wstring(L"MERIDAN_HELPER: ") + what + L" failed (" + code + L")" +
                      (system ? std::wstring(L": ") + system : std::wstring(L"\r\n"));
  if (system) LocalFree(system);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
  DWORD written = 0;
  WriteFile(output, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

// Dispatches the thread's messages until `done` says so or `timeoutMs` has
// passed (INFINITE: no limit). Returns false when the thread was told to quit.
template <typename Done>
bool DispatchUntil(Done done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return false;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    DWORD elapsed = GetTickCount() - start;
    if (timeoutMs != INFINITE && elapsed >= timeoutMs) return true;
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs == INFINITE ? INFINITE : timeoutMs - elapsed, QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

// After the status window: serve the clients until none holds an object. A
// helper started for an object request also waits for that request, which
// may arrive after the first host-watch tick has already closed the window.
// Returns false when the thread was told to quit.
bool ServeUntilReleased(bool awaitRequest, DWORD started) {
  auto waitLeft = [&]() -> DWORD {
    DWORD elapsed = GetTickCount() - started;
    return awaitRequest && !Server_RequestServed() && elapsed < kActivationWaitMs ? kActivationWaitMs - elapsed : 0;
  };
  auto released = [&] { return Server_Claims() <= 0 && waitLeft() == 0; };
  for (DWORD left = waitLeft(); left > 0; left = waitLeft()) {
    if (!DispatchUntil(released, left)) return false;
    if (released()) return true;
  }
  return DispatchUntil(released, INFINITE);
}

// Dispatches for up to `timeoutMs` and tells whether a client has claimed
// the server in that time (false as well when the thread was told to quit).
bool AwaitNewClaim(DWORD timeoutMs) {
  return DispatchUntil([] { return Server_Claims() > 0; }, timeoutMs) && Server_Claims() > 0;
}

}  // namespace

void Main() {
  closeRequested = 0;
  MERIDAN_Form_ShowModal();
}

int Helper_Run() {
  DWORD started = GetTickCount();
  StartKind kind = ReadCommandLine();
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(hr)) {
    ReportFailure(L"Starting the automation runtime", hr);
    return 1;
  }
  int exitCode = 0;
  if (kind == StartKind::Register || kind == StartKind::Unregister) {
    hr = kind == StartKind::Register ? Registration_Register() : Registration_Unregister();
    if (FAILED(hr)) {
      ReportFailure(kind == StartKind::Register ? L"/RegServer" : L"/UnregServer", hr);
      // install.cmd tells a registration refused for lack of rights (exit code 5,
      // as the system's "access denied") from other failures (1) and from a
      // helper that could not start at all (any other code).
      bool refused = hr == E_ACCESSDENIED || hr == TYPE_E_REGISTRYACCESS;
      exitCode = refused ? kExitAccessDenied : 1;
    }
  } else {
    hr = Server_RegisterClassObjects();
    if (FAILED(hr)) {
      ReportFailure(L"Offering the automation classes", hr);
      exitCode = 1;
    } else {
      Main();
      // About to end, the helper stays a moment: a client that lets go and
      // at once asks for a new object (a macro's loop) is served here rather
      // than reaching a helper on its way out. Then the classes are withdrawn,
      // so that a client arriving from now on starts a new helper, and the
      // helper still serves whoever was handed them just before.
      bool serving = ServeUntilReleased(kind == StartKind::ForObjectRequest, started);
      while (serving) {
        if (AwaitNewClaim(kLateClientWaitMs)) {
          serving = ServeUntilReleased(false, started);
          continue;
        }
        Server_WithdrawClassObjects();
        serving = DispatchUntil(Server_ClassObjectsOffered, kWithdrawnDrainMs) && Server_ClassObjectsOffered();
      }
      Server_RevokeClassObjects();
    }
  }
  CoUninitialize();
  return exitCode;
}
