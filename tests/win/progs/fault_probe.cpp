// Writes to a page no one may touch and ends with the code of the exception
// that reached it, as the process's last chance: what an access violation in
// this process's code looks like to the system (0xC0000005).
#include <windows.h>

namespace {

LONG WINAPI EndWithTheCode(EXCEPTION_POINTERS* exception) {
  ExitProcess(exception->ExceptionRecord->ExceptionCode);
}

}  // namespace

int main() {
  SetUnhandledExceptionFilter(EndWithTheCode);
  auto* page = static_cast<volatile int*>(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS));
  if (!page) return 1;
  *page = 1;
  return 2;
}
