// Cost of one MERIDAN_IsExcelStarted(0), the call the helper makes every
// 300 ms, beside its floor: listing the process identifiers alone.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "../source/meridan/meridan_api.h"

namespace {

double Seconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Call>
double MicrosecondsPerCall(int calls, Call call) {
  call();  // warm up
  double start = Seconds();
  for (int i = 0; i < calls; ++i) call();
  return (Seconds() - start) * 1e6 / calls;
}

}  // namespace

int main() {
  const int calls = 200;
  DWORD ids[1024], bytes = 0;
  double listing = MicrosecondsPerCall(calls, [&] { EnumProcesses(ids, sizeof ids, &bytes); });
  double count = MicrosecondsPerCall(calls, [] { MERIDAN_IsExcelStarted(0); });
  std::printf("processes listed:            %lu\n", static_cast<unsigned long>(bytes / sizeof(DWORD)));
  std::printf("EnumProcesses alone:         %10.1f us per call\n", listing);
  std::printf("MERIDAN_IsExcelStarted(0):   %10.1f us per call (%.1f x the listing)\n", count, count / listing);
  std::printf("share of the 300 ms watch:   %10.3f %%\n", count / 3000.0);
  return 0;
}
