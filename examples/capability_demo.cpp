// Demo client of the capability study, as a macro would use it: a shaft
// diameter read from a simulated gauge (normal by nature, two limits) and a
// runout, bounded at 0 and skewed, with an upper limit only and the Weibull
// fit. Writes a capability page for each into the folder given on the command
// line (default: the current one) and prints the main figures. Optional
// further arguments: the page's width, height and factor (800 600 1).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "meridan_api.h"

namespace {

int32_t pageWidth = 800, pageHeight = 600;
double pageFactor = 1.0;

std::vector<double> ReadGauge(uint32_t device, uint32_t address, int count) {
  std::vector<double> values(1, 0.0);  // element 0 is never read by the library
  for (int i = 0; i < count; ++i) {
    double value = 0;
    if (MERIDAN_Value(device, address, &value) < 0) break;
    values.push_back(value);
  }
  return values;
}

// A runout of 100 parts: Weibull with shape 1.6 and scale 0.012 mm, from a
// fixed sequence of uniform numbers (the same pages on every run).
std::vector<double> Runout() {
  std::vector<double> values(1, 0.0);
  uint32_t state = 20261209;
  for (int i = 0; i < 100; ++i) {
    state = state * 1664525u + 1013904223u;
    double u = (state >> 8) / 16777216.0 + 0.5 / 16777216.0;
    values.push_back(0.012 * std::pow(-std::log(u), 1 / 1.6));
  }
  return values;
}

struct Study {
  const char* file;
  const char* title;
  std::vector<double> values;
  int32_t sampleSize;
  uint32_t spcNorm;
  double nominal, upper, lower;
  uint32_t upperOn, lowerOn;
  double distribution;
};

void Run(const std::string& folder, const Study& study) {
  const int32_t count = static_cast<int32_t>(study.values.size()) - 1;
  const double options[] = {0.0, NAN, 0.95, study.distribution};  // element 0 is never read
  std::string path = folder + study.file;
  int32_t code = Create_CapabilityBitmap(nullptr, path.c_str(), pageWidth, pageHeight, pageFactor, study.title, study.values.data(),
                                         count, study.sampleSize, study.spcNorm, study.nominal, study.upper,
                                         study.lower, study.upperOn, study.lowerOn, options, 3);
  double f[56] = {};
  Create_CapabilityStatistics(study.values.data(), count, study.sampleSize, study.spcNorm, study.nominal, study.upper,
                              study.lower, study.upperOn, study.lowerOn, options, 3, f, 55);
  std::printf("%-26s page %d, n %g: Ppk %.3f [%.3f, %.3f], Cpk %.3f, A2 %.3f p %.4f", study.file, code, f[1], f[11],
              f[19], f[20], f[15], f[38], f[40]);
  if (f[41] > 0) std::printf("; fit %g (%.4g, %.4g): percentile Ppk %.3f, %.1f ppm", f[41], f[42], f[43], f[48], f[51]);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = argc > 1 ? std::string(argv[1]) + "\\" : "";
  if (argc > 4) pageWidth = std::atoi(argv[2]), pageHeight = std::atoi(argv[3]), pageFactor = std::atof(argv[4]);
  int16_t reserved = 0;
  int32_t status = MERIDAN_Init(&reserved, 1, "", nullptr, 0);
  if (status < 0) {
    std::printf("MERIDAN_Init answered status %d\n", static_cast<int16_t>(status));
    return 1;
  }
  Run(folder, {"capability_normal.bmp", "Shaft diameter 25 mm - capability (n = 5, pooled)", ReadGauge(1, 1, 125), 5,
               3, 25.0, 25.03, 24.97, 1, 1, 0});
  Run(folder, {"capability_runout_weibull.bmp", "Runout 0.04 mm - capability with the Weibull fit", Runout(), 1, 0,
               0.0, 0.04, 0.0, 1, 0, 2});
  MERIDAN_DeInit();
  return 0;
}
