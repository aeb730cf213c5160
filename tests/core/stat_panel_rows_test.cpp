// The statistics panel's rows: the sixteen figures of a request in their
// formats.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core_test_support.h"
#include "spc/core/stat_panel_rows.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- statistics panel rows

class StatRows : public testing::Test {
 protected:
  SpcRequest request = coretest::ToleranceRequest();
  SpcStatistics stats{};
  StatRow rows[kStatRows + 1];
  std::string Value(int row) {
    StatPanel_ComposeRows(request, stats, rows);
    return rows[row].value;
  }
};

TEST_F(StatRows, LabelsStandInPanelOrder) {
  StatPanel_ComposeRows(request, stats, rows);
  const char* labels[] = {"", "USL", "Nom", "LSL", "N", "+NG", "-NG", "P", "Xq", "Max",
                          "Min", "R", "S", "Cm", "Cmk", "Cp", "Cpk"};
  for (int r = 0; r <= kStatRows; ++r) EXPECT_STREQ(rows[r].label, labels[r]) << "row " << r;
  EXPECT_STREQ(rows[0].value, "");
}

TEST_F(StatRows, SingleValueShowsLocationButNoSpread) {
  stats.n = 1;
  stats.mean = stats.largest = stats.smallest = 10.25;
  StatPanel_ComposeRows(request, stats, rows);
  EXPECT_STREQ(rows[4].value, "1");
  EXPECT_STREQ(rows[7].value, "0.0000");
  EXPECT_STREQ(rows[8].value, "10.2500");
  EXPECT_STREQ(rows[11].value, "0.0000");
  for (int r = 12; r <= 16; ++r) EXPECT_STREQ(rows[r].value, "---") << "row " << r;
}

TEST_F(StatRows, LimitsOffShowDashesButNominalSizeStays) {
  request.USLOnOff = 0;
  request.LSLOnOff = -1;
  stats.n = 5;
  StatPanel_ComposeRows(request, stats, rows);
  EXPECT_STREQ(rows[1].value, "---");
  EXPECT_STREQ(rows[2].value, "10.0000");
  EXPECT_STREQ(rows[3].value, "---");
  EXPECT_STREQ(rows[5].value, "0");
  EXPECT_STREQ(rows[13].value, "0.00");
  EXPECT_STREQ(rows[16].value, "0.00");
}

TEST_F(StatRows, FiguresAreShownAtSinglePrecision) {
  stats.n = 2;
  stats.mean = 12345.678901;  // single precision 12345.6787109375
  EXPECT_EQ(Value(8), "12345.6787");
  stats.Cm = 1.005;  // single precision 1.00499999523, plus 0.005 prints as 1.010000
  EXPECT_EQ(Value(13), "1.01");
  stats.Cpk = -0.456;
  EXPECT_EQ(Value(16), "-0.46");
}

TEST_F(StatRows, CountsAndPercentage) {
  stats.n = 3;
  stats.countAbove = 1;
  stats.percentOutside = 100.0 / 3;
  EXPECT_EQ(Value(5), "1");
  EXPECT_EQ(Value(7), "33.3333");
}

TEST_F(StatRows, FiguresBeyondSinglePrecisionShowAsInfinite) {
  stats.n = 2;
  stats.stdDev = 1e300;
  stats.Cm = kNaN;
  EXPECT_EQ(Value(12), "inf");
  EXPECT_EQ(Value(13), "nan");
  EXPECT_TRUE(std::isinf(StatPanel_Narrow(-1e39)));
}

}  // namespace
