// Pages per second of Create_SPCBitmap for 125, 10 000 and 65 535 values at
// factor 1 and 2 (800 x 600 and 1600 x 1200 pixels), beside the cost of only
// writing a bitmap file of the same size from memory that is ready (the floor
// no page can beat), measured in the same run. The ratio says how many times
// that floor a whole page costs.
//   ./run bench spc_page
#include <windows.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "meridan_api.h"

namespace {

struct Kind {
  const char* name;
  uint32_t typ;
  int32_t sampleSize;
};

// A control chart of subgroup means and ranges, and the run chart of every value (the most lines).
const Kind kKinds[] = {{"x-bar/R n=5", 11, 5}, {"run chart", 1, 1}};

std::vector<double> Values(int count) {
  std::vector<double> values(1, 0.0);
  unsigned state = 12345;
  for (int i = 0; i < count; ++i) {
    state = state * 1103515245u + 12345u;
    values.push_back(10.0 + (static_cast<int>((state >> 8) % 2001) - 1000) * 0.0001);
  }
  return values;
}

// Best seconds per call over three runs, each repeated until it lasts at least 300 ms.
template <typename Work>
double SecondsPerCall(Work work) {
  using Clock = std::chrono::steady_clock;
  double best = 1e300;
  for (int run = 0; run < 3; ++run) {
    long calls = 0;
    Clock::time_point start = Clock::now(), now;
    do {
      work();
      ++calls;
      now = Clock::now();
    } while (now - start < std::chrono::milliseconds(300));
    best = std::min(best, std::chrono::duration<double>(now - start).count() / calls);
  }
  return best;
}

// What writing the file alone costs: the bytes of a 32-bit page, ready in memory.
void WriteFileOnly(const std::string& path, const std::vector<char>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "meridan_spc_page_bench.bmp";
  std::printf("SPC pages per second (best of 3) against writing a file of the page's size from memory\n"
              "(the floor); the ratio is the page's time over the floor's.\n\n");
  std::printf("%7s %6s %12s", "values", "factor", "floor");
  for (const Kind& kind : kKinds) std::printf(" %28s", kind.name);
  std::printf("\n");
  for (int count : {125, 10000, 65535}) {
    const std::vector<double> values = Values(count);
    for (double factor : {1.0, 2.0}) {
      const int width = static_cast<int>(800 * factor), height = static_cast<int>(600 * factor);
      const std::vector<char> bytes(54 + size_t(width) * height * 4, '\x40');
      double floor = SecondsPerCall([&] { WriteFileOnly(path, bytes); });
      std::printf("%7d %6.0f %8.0f / s", count, factor, 1 / floor);
      for (const Kind& kind : kKinds) {
        double page = SecondsPerCall([&] {
          Create_SPCBitmap(nullptr, path.c_str(), 800, 600, factor, "Benchmark page", kind.typ, values.data(), count,
                           10.0, 10.08, 9.92, 1, 1, kind.sampleSize, 3);
        });
        std::printf(" %10.1f / s (%6.1f x floor)", 1 / page, page / floor);
      }
      std::printf("\n");
    }
  }
  DeleteFileA(path.c_str());
  return 0;
}
