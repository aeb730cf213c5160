// Demo client of the gauge study exports, as a macro would use them: readings
// taken from the stand-in kit's simulated gauges make a type 1 study (one
// reference part measured 50 times) and a crossed gauge R&R study (10 parts,
// 3 appraisers, 3 trials); each is written as a page into the folder given on
// the command line (default: the current one) and its main figures printed.
#include <cstdio>
#include <string>
#include <vector>

#include "meridan_api.h"

namespace {

double Read(uint32_t device, uint32_t address) {
  double value = 0;
  MERIDAN_Value(device, address, &value);
  return value;
}

void Type1(const std::string& folder) {
  const double reference = 25.002, tolerance = 0.6;
  std::vector<double> readings(1, 0.0);  // element 0 is never read
  for (int i = 0; i < 50; ++i) readings.push_back(Read(1, 1));
  const int32_t count = static_cast<int32_t>(readings.size()) - 1;
  const std::string path = folder + "gauge_type1.bmp";
  const int32_t code = Create_GaugeStudyBitmap(nullptr, path.c_str(), 800, 600, 1.0,
                                               "Micrometer 25 mm - type 1 study on a reference part", 1,
                                               readings.data(), 1, 1, count, reference, tolerance, nullptr, 0);
  double f[21] = {};
  Create_GaugeStudyStatistics(1, readings.data(), 1, 1, count, reference, tolerance, nullptr, 0, f, 20);
  std::printf("%-20s page %d: n %g, mean %.5f, s %.5f, bias %.5f (p %.3f), Cg %.2f, Cgk %.2f\n", "gauge_type1.bmp",
              code, f[2], f[3], f[4], f[9], f[12], f[15], f[16]);
}

// Each appraiser reads every part three times; the gauge's own scatter comes
// from the kit's gauge 1.2, the parts differ by their sizes, and appraiser B
// reads a little high, C a little low. One misreading of B's is left in.
void CrossedStudy(const std::string& folder) {
  const int parts = 10, appraisers = 3, trials = 3;
  const double sizes[parts] = {30.021, 29.968, 30.044, 29.992, 30.006, 29.951, 30.031, 29.984, 30.013, 29.975};
  const double appraiserBias[appraisers] = {0.0, 0.006, -0.004};
  std::vector<double> readings(1, 0.0);
  for (int a = 0; a < appraisers; ++a)
    for (int p = 0; p < parts; ++p)
      for (int t = 0; t < trials; ++t) readings.push_back(sizes[p] + appraiserBias[a] + (Read(1, 2) - 30.0) * 0.5);
  readings[1 + (1 * parts + 6) * trials + 1] += 0.04;  // B, part 7, trial 2: a misreading
  const std::string path = folder + "gauge_rr.bmp";
  const double tolerance = 0.3;
  const int32_t code = Create_GaugeStudyBitmap(nullptr, path.c_str(), 800, 600, 1.0,
                                               "Bore gauge 30 mm - gauge R&R (10 parts, 3 appraisers, 3 trials)", 2,
                                               readings.data(), parts, appraisers, trials, 0.0, tolerance, nullptr, 0);
  double f[82] = {};
  Create_GaugeStudyStatistics(2, readings.data(), parts, appraisers, trials, 0.0, tolerance, nullptr, 0, f, 81);
  std::printf("%-20s page %d: %%GRR %.2f of TV, %.2f of the tolerance, ndc %g, ranges above D4 R: %g\n",
              "gauge_rr.bmp", code, f[46], f[55], f[57], f[75]);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? std::string(argv[1]) + "\\" : "";
  int16_t reserved = 0;
  const int32_t status = MERIDAN_Init(&reserved, 1, "", nullptr, 0);
  if (status < 0) {
    std::printf("MERIDAN_Init answered status %d\n", static_cast<int16_t>(status));
    return 1;
  }
  Type1(folder);
  CrossedStudy(folder);
  MERIDAN_DeInit();
  return 0;
}
