// What the gauge studies' core tests share: the shipped constants table, a
// study's request and figures, and the AIAG manual's crossed study.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core_test_support.h"
#include "gauge/core/gauge_results.h"
#include "gauge/core/gauge_study.h"
#include "spc/core/spc_table.h"

namespace gaugetest {

using coretest::ReadFile;
using coretest::ReadTestFile;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kUntouched = -7.25;

inline void LoadShippedConstants() {
  static const std::string table = ReadFile(std::string(MERIDAN_DATA_DIR) + "/TESSAN_SPC.TAB");
  ASSERT_FALSE(table.empty()) << "data/TESSAN_SPC.TAB is missing";
  ASSERT_TRUE(SPC_ParseTable(table.data(), table.size()));
}

// A study's readings in the library's order (element 0 never read) and its figures.
struct Study {
  int32_t kind = kGaugeCrossed, parts = 0, appraisers = 0, trials = 0;
  double reference = 0, tolerance = 0;
  std::vector<double> readings{kNaN};
  std::vector<double> options{kNaN};

  GaugeRequest Request() const {
    return {kind, readings.data(), parts, appraisers, trials, reference, tolerance, options.data(),
            static_cast<int32_t>(options.size()) - 1};
  }
  // The figures written with room for all of them, elements 0 .. count.
  std::vector<double> Figures(int32_t* written = nullptr) const {
    std::vector<double> figures(kGaugeStudyFixedFigures + 2 * appraisers + 2, kUntouched);
    const int32_t count = Gauge_StudyFigures(Request(), figures.data(), static_cast<int32_t>(figures.size()) - 1);
    if (written) *written = count;
    return figures;
  }
};

// The AIAG data sheet: 10 parts, appraisers A, B, C, 3 trials, readings as deviations from nominal.
inline Study AiagStudy() {
  std::istringstream sheet(ReadTestFile("gauge_rr_aiag.csv"));
  std::map<std::tuple<int, int, int>, double> byCell;
  std::string line;
  while (std::getline(sheet, line)) {
    if (line.empty() || line[0] == '#' || line[0] == 'p') continue;
    int part, trial;
    char appraiser;
    double reading;
    if (std::sscanf(line.c_str(), "%d,%c,%d,%lf", &part, &appraiser, &trial, &reading) == 4)
      byCell[{appraiser - 'A' + 1, part, trial}] = reading;
  }
  Study s;
  s.parts = 10;
  s.appraisers = 3;
  s.trials = 3;
  for (const auto& [cell, reading] : byCell) s.readings.push_back(reading);  // appraiser, part, trial order
  return s;
}

}  // namespace gaugetest
