// Pages per second of Create_SPCBitmap for 125, 10 000 and 65 535 values at
// factor 1 and 2 (800 x 600 and 1600 x 1200 pixels), beside the cost of only
// writing a bitmap file of the same size from memory that is ready (the floor
// no page can beat), measured in the same run. The ratio says how many times
// that floor a whole page costs. Beside today's page, the same page from
// MERIDAN_REFERENCE.dll, the library built with the page code as it was
// (fresh memory for every page, each joining line alone, the earlier loops of
// the request; see bench/CMakeLists.txt), after checking that both write the
// same file byte for byte. The last line gives the seconds of the
// 65 535-value x-bar/R page at 1600 x 1200, which bench/run.sh sets beside
// R's base graphics drawing the same kind of page (bench/spc_page_r.R).
//   ./run bench spc_page
#include <windows.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_timing.h"
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
  return bench::BestSecondsPerRepetition(3, std::chrono::milliseconds(300), [&](long) { work(); });
}

// What writing the file alone costs: the bytes of a 32-bit page, ready in memory.
void WriteFileOnly(const std::string& path, const std::vector<char>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

using PageExport = decltype(&Create_SPCBitmap);

std::string FileBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "meridan_spc_page_bench.bmp";
  const std::string earlierPath = std::string(temp) + "meridan_spc_page_bench_earlier.bmp";
  HMODULE reference = LoadLibraryA("MERIDAN_REFERENCE.dll");
  auto earlierPage = reference ? reinterpret_cast<PageExport>(reinterpret_cast<void*>(GetProcAddress(reference, "Create_SPCBitmap"))) : nullptr;
  if (!earlierPage) {
    std::printf("MERIDAN_REFERENCE.dll is missing: build the win64 tree\n");
    return 1;
  }
  std::printf("SPC pages per second (best of 3) against writing a file of the page's size from memory\n"
              "(the floor); the ratio is the page's time over the floor's. Each kind: the page as it was\n"
              "made before (MERIDAN_REFERENCE.dll), then today's, the same file byte for byte.\n\n");
  std::printf("%7s %6s %12s", "values", "factor", "floor");
  for (const Kind& kind : kKinds) std::printf(" %42s", kind.name);
  std::printf("\n");
  double largestPage = 0;
  for (int count : {125, 10000, 65535}) {
    const std::vector<double> values = Values(count);
    for (double factor : {1.0, 2.0}) {
      const int width = static_cast<int>(800 * factor), height = static_cast<int>(600 * factor);
      const std::vector<char> bytes(54 + size_t(width) * height * 4, '\x40');
      double floor = SecondsPerCall([&] { WriteFileOnly(path, bytes); });
      std::printf("%7d %6.0f %8.0f / s", count, factor, 1 / floor);
      for (const Kind& kind : kKinds) {
        auto write = [&](PageExport make, const std::string& file) {
          make(nullptr, file.c_str(), 800, 600, factor, "Benchmark page", kind.typ, values.data(), count, 10.0,
               10.08, 9.92, 1, 1, kind.sampleSize, 3);
        };
        write(earlierPage, earlierPath);
        write(Create_SPCBitmap, path);
        if (FileBytes(earlierPath) != FileBytes(path)) {
          std::printf("\nthe earlier and today's %s pages differ\n", kind.name);
          return 1;
        }
        double earlier = SecondsPerCall([&] { write(earlierPage, earlierPath); });
        double page = SecondsPerCall([&] { write(Create_SPCBitmap, path); });
        std::printf(" %7.1f / s (%5.1f x) -> %7.1f / s (%5.1f x)", 1 / earlier, earlier / floor, 1 / page,
                    page / floor);
        if (count == 65535 && factor == 2.0 && kind.typ == 11) largestPage = page;
      }
      std::printf("\n");
    }
  }
  DeleteFileA(path.c_str());
  DeleteFileA(earlierPath.c_str());
  std::printf("\nx-bar/R page of 65535 values at 1600 x 1200: %.4f s\n", largestPage);
  return 0;
}
