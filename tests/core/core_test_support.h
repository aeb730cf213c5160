// Shared by the core tests: the files beside them, and the tolerance most chart
// requests here start from.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

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

}  // namespace coretest
