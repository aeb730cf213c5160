// A stand-in process for tests that count running programs by name: copied
// under names such as EXCEL.exe, it waits for the number of milliseconds
// given on its command line (default 30 s) and exits.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  Sleep(argc > 1 ? static_cast<DWORD>(std::atol(argv[1])) : 30000);
  return 0;
}
