// Computes the figures of a fixed matrix of gauge studies through
// Create_GaugeStudyStatistics and prints every element's bits, one line per
// element ("study element hex-float"). Two builds of the library that print
// the same lines give the same figures bit for bit; where they differ, the
// line says which figure. Given a folder, it also writes the pages of a few
// of the studies (Create_GaugeStudyBitmap) there and prints a hash of each
// file. Usage: gauge_matrix [folder]
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "meridan_api.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The AIAG crossed study's data sheet (appraiser, part, trial order): 10 parts, 3 appraisers, 3 trials.
const double kAiag[] = {
    0.29, 0.41, 0.64, -0.56, -0.68, -0.58, 1.34, 1.17, 1.27, 0.47, 0.5, 0.64, -0.8, -0.92, -0.84,
    0.02, -0.11, -0.21, 0.59, 0.75, 0.66, -0.31, -0.2, -0.17, 2.26, 1.99, 2.01, -1.36, -1.25, -1.31,
    0.08, 0.25, 0.07, -0.47, -1.22, -0.68, 1.19, 0.94, 1.34, 0.01, 1.03, 0.2, -0.56, -1.2, -1.28,
    -0.2, 0.22, 0.06, 0.47, 0.55, 0.83, -0.63, 0.08, -0.34, 1.8, 2.12, 2.19, -1.68, -1.62, -1.5,
    0.04, -0.11, -0.15, -1.38, -1.13, -0.96, 0.88, 1.09, 0.67, 0.14, 0.2, 0.11, -1.46, -1.07, -1.45,
    -0.29, -0.67, -0.49, 0.02, 0.01, 0.21, -0.46, -0.56, -0.49, 1.77, 1.45, 1.87, -1.49, -1.77, -2.16};

// Readings made with integer arithmetic only, so every build sees the same doubles: a gauge at
// 0.0001 resolution around `centre`, with part, appraiser and interaction effects and a noise of
// twelve uniform numbers (nearly normal).
std::vector<double> Study(int parts, int appraisers, int trials, uint32_t seed, bool interaction) {
  uint32_t state = seed * 2654435761u + 12345u;
  auto next = [&state](int spread) {
    int64_t sum = 0;
    for (int j = 0; j < 12; ++j) {
      state = state * 1664525u + 1013904223u;
      sum += state >> 16;
    }
    return static_cast<int64_t>((sum - 12 * 32768) * spread / 65536 / 3);
  };
  std::vector<int64_t> part(parts), appraiser(appraisers);
  for (int64_t& p : part) p = next(800);
  for (int64_t& a : appraiser) a = next(120);
  std::vector<double> readings{kNaN};
  for (int a = 0; a < appraisers; ++a)
    for (int p = 0; p < parts; ++p) {
      const int64_t cell = part[p] + appraiser[a] + (interaction ? next(150) : 0);
      for (int t = 0; t < trials; ++t) readings.push_back(25.0 + static_cast<double>(cell + next(90)) / 10000.0);
    }
  return readings;
}

uint64_t Fnv1a(const std::string& bytes) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

std::string folder;  // where the pages go; none: no pages

void Page(const char* name, uint32_t kind, const std::vector<double>& readings, int parts, int appraisers, int trials,
          double reference, double tolerance, const std::vector<double>& options) {
  if (folder.empty()) return;
  for (const int width : {800, 1600}) {
    const std::string path = folder + "\\" + name + "_" + std::to_string(width) + ".bmp";
    const int32_t code = Create_GaugeStudyBitmap(nullptr, path.c_str(), 800, 600, width / 800.0, name, kind,
                                                 readings.data(), parts, appraisers, trials, reference, tolerance,
                                                 options.data(), static_cast<int32_t>(options.size()) - 1);
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::printf("page %s %d result %d bytes %zu hash %016llx\n", name, width, code, bytes.size(),
                static_cast<unsigned long long>(Fnv1a(bytes)));
  }
}

void Print(const char* name, uint32_t kind, const std::vector<double>& readings, int parts, int appraisers,
           int trials, double reference, double tolerance, std::vector<double> options) {
  std::vector<double> results(200, 0.0);
  const int32_t written =
      Create_GaugeStudyStatistics(kind, readings.data(), parts, appraisers, trials, reference, tolerance,
                                  options.data(), static_cast<int32_t>(options.size()) - 1, results.data(), 199);
  std::printf("%s count %d\n", name, written);
  for (int32_t i = 1; i <= written; ++i) std::printf("%s %d %a\n", name, i, results[i]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) folder = argv[1];
  std::vector<double> aiag{kNaN};
  aiag.insert(aiag.end(), std::begin(kAiag), std::end(kAiag));
  Print("aiag", 2, aiag, 10, 3, 3, 0, 0, {kNaN});
  Print("aiag_alpha1_tolerance", 2, aiag, 10, 3, 3, 0, 4.0, {kNaN, 5.15, 1.0});
  Page("aiag", 2, aiag, 10, 3, 3, 0, 4.0, {kNaN});
  char name[64];
  for (int i = 0; i < 48; ++i) {
    const int parts = 2 + i % 14, appraisers = 2 + i % 3, trials = 2 + (i / 3) % 4;
    std::snprintf(name, sizeof name, "crossed%d", i);
    Print(name, 2, Study(parts, appraisers, trials, 100 + i, i % 2 == 1), parts, appraisers, trials, 0, 0.5,
          {kNaN, kNaN, i % 4 >= 2 ? 1.0 : kNaN});
    if (i % 12 == 5)
      Page(name, 2, Study(parts, appraisers, trials, 100 + i, i % 2 == 1), parts, appraisers, trials, 0, 0.5, {kNaN});
  }
  for (int i = 0; i < 16; ++i) {
    const int parts = 2 + i, trials = 2 + i % 4;
    std::snprintf(name, sizeof name, "one_way%d", i);
    Print(name, 3, Study(parts, 1, trials, 300 + i, false), parts, 1, trials, 0, 0.5, {kNaN});
    if (i == 6) Page(name, 3, Study(parts, 1, trials, 300 + i, false), parts, 1, trials, 0, 0.5, {kNaN});
  }
  const double confidences[] = {0.95, 0.99, 0.9, 0.5, 0.999};
  for (int i = 0; i < 40; ++i) {
    const int count = 3 + i * 3;
    std::vector<double> readings = Study(1, 1, count, 500 + i, false);
    for (size_t r = 1; r < readings.size(); ++r) readings[r] += 0.0001 * (i % 7);  // a bias now and then
    std::snprintf(name, sizeof name, "type1_%d", i);
    Print(name, 1, readings, 1, 1, count, 25.0 + (i % 5 - 2) * 0.0004, 0.02,
          {kNaN, kNaN, kNaN, i % 2 ? 15.0 : 20.0, i % 2 ? 4.0 : 6.0, confidences[i % 5]});
    if (i % 13 == 3) Page(name, 1, readings, 1, 1, count, 25.0 + (i % 5 - 2) * 0.0004, 0.02, {kNaN});
  }
  // Few readings (2 to 13): Student's t with 1 to 12 degrees of freedom, where the quantile and the tail
  // have closed forms of their own; biases from none to many standard errors, confidence levels all over.
  for (int i = 0; i < 600; ++i) {
    const int count = 2 + i % 12;
    std::vector<double> readings = Study(1, 1, count, 900 + i, false);
    std::snprintf(name, sizeof name, "type1_few_%d", i);
    const double confidence = 0.5 + 0.4999 * ((i * 7919) % 1000) / 1000.0;
    Print(name, 1, readings, 1, 1, count, 25.0 + ((i * 31) % 41 - 20) * 0.00007, 0.02,
          {kNaN, kNaN, kNaN, kNaN, kNaN, confidence});
  }
  // Two parts by two appraisers: F with 1 and 1 degrees of freedom for part and appraiser.
  for (int i = 0; i < 100; ++i) {
    std::snprintf(name, sizeof name, "two_by_two_%d", i);
    Print(name, 2, Study(2, 2, 2 + i % 3, 1300 + i, i % 2 == 1), 2, 2, 2 + i % 3, 0, 0.5, {kNaN, kNaN, 1.0});
  }
  return 0;
}
