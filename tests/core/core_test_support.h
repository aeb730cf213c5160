// Shared by the core tests: the files beside them, and the tolerance most chart
// requests here start from.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "spc/core/spc_request.h"
#include "spc/core/spc_table.h"

namespace coretest {

// The whole file as bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::string ReadTestFile(const char* name) { return ReadFile(std::string(MERIDAN_TEST_DATA) + "/" + name); }

// The constants the expected figures of these tests were worked out with.
inline void LoadTestConstants() {
  static const std::string table = ReadTestFile("spc_constants.tab");
  ASSERT_FALSE(table.empty()) << "tests/data/spc_constants.tab is missing";
  ASSERT_TRUE(SPC_ParseTable(table.data(), table.size()));
}

// Nominal size 10 with both limits in force, 10.5 and 9.5; no values, kind or subgroups yet.
inline SpcRequest ToleranceRequest() {
  SpcRequest request{};
  request.NomSize = 10.0;
  request.USL = 10.5;
  request.LSL = 9.5;
  request.USLOnOff = 1;
  request.LSLOnOff = 1;
  return request;
}

// A request over a caller's array (element 0 first) of kind `typ` in subgroups of `sampleSize`.
inline SpcRequest RequestOf(const std::vector<double>& values, int16_t typ, int32_t sampleSize, int16_t norm = 1) {
  SpcRequest request = ToleranceRequest();
  request.typ = typ;
  request.meaval = values.data();
  request.numofval = static_cast<int32_t>(values.size()) - 1;
  request.SampleSize = sampleSize;
  request.SPCNorm = norm;
  return request;
}

// Subgroups of five (element 0 first, not a number): value i of subgroup j is
// mean(j) + (-0.1, -0.05, 0, 0.05, 0.1)[i], so every range is 0.2.
inline std::vector<double> SubgroupsWithMeans(const std::vector<double>& means) {
  std::vector<double> values{std::numeric_limits<double>::quiet_NaN()};
  for (double mean : means)
    for (double d : {-0.1, -0.05, 0.0, 0.05, 0.1}) values.push_back(mean + d);
  return values;
}

// Tests of chart requests, with the constants the expected figures were worked out with.
class ChartRequestTest : public ::testing::Test {
 protected:
  void SetUp() override { LoadTestConstants(); }
};

}  // namespace coretest
