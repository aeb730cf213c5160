// Demo client of the chart export, as a macro would use it: read series of
// values from simulated gauges through MERIDAN.dll and write an SPC page for
// each into the folder given on the command line (default: the current one).
#include <cstdio>
#include <string>
#include <vector>

#include "meridan_api.h"

namespace {

struct Page {
  const char* file;
  const char* title;
  uint32_t device, address;
  int count;
  uint32_t typ;
  int32_t sampleSize;
  uint32_t spcNorm;
  double nominal, upper, lower;
};

// Readings of one gauge, from element 1 on (element 0 is never read by the library).
std::vector<double> Read(uint32_t device, uint32_t address, int count) {
  std::vector<double> values(1, 0.0);
  for (int i = 0; i < count; ++i) {
    double value = 0;
    int32_t status = MERIDAN_Value(device, address, &value);
    if (status < 0) {
      std::printf("  MERIDAN_Value(%u, %u) answered status %d\n", device, address, static_cast<int16_t>(status));
      break;
    }
    values.push_back(value);
  }
  return values;
}

// A tool wears: the first 50 readings qualify the process (centre and
// within-subgroup sigma, figures 14 and 15), the next 100 drift up by 0.0001
// per part and are charted against the qualified limits with the run tests marked.
void ChartAgainstQualifiedLimits(const std::string& folder) {
  const double nominal = 30.0, upper = 30.05, lower = 29.95;
  std::vector<double> qualification = Read(1, 2, 50);
  double figures[49] = {};
  Create_SPCStatistics(10, qualification.data(), static_cast<int32_t>(qualification.size()) - 1, nominal, upper,
                       lower, 1, 1, 5, 3, figures);
  std::vector<double> production = Read(1, 2, 100);
  for (size_t i = 1; i < production.size(); ++i) production[i] += 0.0001 * static_cast<double>(i);
  const int32_t count = static_cast<int32_t>(production.size()) - 1;
  const double options[] = {0.0, figures[14], figures[15], 255, 1};  // element 0 is never read
  std::string path = folder + "spc_run_tests.bmp";
  Create_SPCBitmapEx(nullptr, path.c_str(), 800, 600, 1.0, "Bore 30 mm, worn tool (n = 5)",
                     10, production.data(), count, nominal, upper, lower, 1, 1, 5, 3, options, 4);
  std::vector<double> tests(69 + count / 5 + 1, 0.0);
  Create_SPCStatisticsEx(10, production.data(), count, nominal, upper, lower, 1, 1, 5, 3, options, 4, tests.data(),
                         static_cast<int32_t>(tests.size()) - 1);
  std::printf("%-24s typ 10, %3d values of gauge 1.2 against the limits of 50 earlier ones (centre %.4f, sigma "
              "%.4f):\n  flagged by tests 1-8:",
              "spc_run_tests.bmp", count, figures[14], figures[15]);
  for (int t = 0; t < 8; ++t) std::printf(" %g", tests[53 + t]);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = argc > 1 ? std::string(argv[1]) + "\\" : "";
  const Page pages[] = {
      {"spc_means_stddev.bmp", "Shaft diameter 25 mm - means and standard deviations (n = 5)", 1, 1, 125, 10, 5, 3,
       25.0, 25.03, 24.97},
      {"spc_medians_range.bmp", "Bore 12.5 mm - medians and ranges (n = 5)", 2, 1, 100, 14, 5, 1, 12.5, 12.506,
       12.494},
      {"spc_acceptance.bmp", "Height 100 mm - acceptance chart of means (n = 4)", 4, 1, 120, 20, 4, 2, 100.0, 100.1,
       99.9},
      {"spc_run_chart.bmp", "Flatness 0 mm - run chart of single values", 3, 1, 60, 1, 1, 0, 0.0, 0.012, -0.012},
  };
  int16_t reserved = 0;
  int32_t status = MERIDAN_Init(&reserved, 1, "", nullptr, 0);
  if (status < 0) {
    std::printf("MERIDAN_Init answered status %d\n", static_cast<int16_t>(status));
    return 1;
  }
  for (const Page& page : pages) {
    std::vector<double> values = Read(page.device, page.address, page.count);
    int32_t count = static_cast<int32_t>(values.size()) - 1;
    std::string path = folder + page.file;
    Create_SPCBitmap(nullptr, path.c_str(), 800, 600, 1.0, page.title, page.typ, values.data(), count, page.nominal,
                     page.upper, page.lower, 1, 1, page.sampleSize, page.spcNorm);
    double figures[49] = {};
    Create_SPCStatistics(page.typ, values.data(), count, page.nominal, page.upper, page.lower, 1, 1, page.sampleSize,
                         page.spcNorm, figures);
    std::printf("%-24s typ %2u, %3d values of gauge %u.%u: mean %.4f, s %.4f, Cpk %.2f\n", page.file, page.typ,
                count, page.device, page.address, figures[2], figures[3], figures[17]);
  }
  ChartAgainstQualifiedLimits(folder);
  MERIDAN_DeInit();
  return 0;
}
