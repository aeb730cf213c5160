// The text panel's character grid and the statistics panel's rows: where
// each label and value stands, what is cut when the panel is too small, and
// the sixteen figures in their formats.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core_test_support.h"
#include "spc/core/panel_grid.h"
#include "spc/core/stat_panel_rows.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- text panel grid

struct PanelRows {
  int32_t labels[20] = {};
  int32_t values[20] = {};
  int16_t columns[20] = {};
  int32_t count = 0;
  void Add(int16_t column, int32_t label, int32_t value) {
    ++count;
    columns[count] = column;
    labels[count] = label;
    values[count] = value;
  }
  PanelPlan Plan(int32_t width, int32_t height, int32_t innerGap = 2, int32_t columnGap = 0) {
    PanelPlan plan;
    Panel_PlanText(width, height, count, labels, values, columns, innerGap, columnGap, 15, 7, &plan);
    return plan;
  }
};

TEST(PanelGrid, ColumnsAddTheirWidthsAndGaps) {
  PanelRows rows;
  rows.Add(0, 4, 8);
  rows.Add(1, 6, 5);
  PanelPlan plan = rows.Plan(300, 100);
  EXPECT_EQ(plan.textWidth, 27);  // 4 + 2 + 8 + 6 + 2 + 5
  // margin 3 + 15 div 2 = 10; the second column's label starts at character 14
  ASSERT_EQ(plan.cells.size(), 4u);
  EXPECT_EQ(plan.cells[0].left, 10);
  EXPECT_EQ(plan.cells[2].row, 2);
  EXPECT_EQ(plan.cells[2].left, 10 + 14 * 7);
  EXPECT_EQ(plan.cells[0].top, 3);
  EXPECT_EQ(plan.cells[0].bottom, 18);
}

TEST(PanelGrid, KeepsTheLastRowsWhenNotAllFit) {
  PanelRows rows;
  for (int i = 0; i < 12; ++i) rows.Add(0, 3, 3);
  PanelPlan plan = rows.Plan(200, 6 + 150);  // room for 10 rows
  EXPECT_EQ(plan.rowsShown, 10);
  ASSERT_EQ(plan.cells.size(), 20u);
  EXPECT_EQ(plan.cells.front().row, 3);
  EXPECT_EQ(plan.cells.back().row, 12);
  EXPECT_EQ(plan.cells.back().bottom, 3 + 150);
}

TEST(PanelGrid, ValuesAreFlushRightAndLabelsFlushLeft) {
  PanelRows rows;
  rows.Add(0, 3, 8);
  rows.Add(0, 5, 3);
  PanelPlan plan = rows.Plan(300, 100);
  const PanelCell& label = plan.cells[2];
  const PanelCell& value = plan.cells[3];
  EXPECT_EQ(label.left, 10);
  EXPECT_EQ(label.right, 10 + 5 * 7);
  EXPECT_EQ(label.format, kPanelLabelFormat);
  // column: labels 5 wide, gap 2, values 8 wide; the value ends at character 15
  EXPECT_EQ(value.right, 10 + 15 * 7);
  EXPECT_EQ(value.left, 10 + 12 * 7);
  EXPECT_EQ(value.format, kPanelValueFormat);
}

TEST(PanelGrid, NarrowPanelCutsValuesKeepingTheirLeadingCharacters) {
  PanelRows rows;
  rows.Add(0, 4, 8);
  rows.Add(0, 4, 3);
  PanelPlan plan = rows.Plan(6 + 70, 100);  // 10 characters visible of 14
  EXPECT_EQ(plan.visibleChars, 10);
  const PanelCell& cut = plan.cells[1];
  EXPECT_EQ(cut.length, 4);  // characters 6 .. 9 of a value standing at 6 .. 13
  EXPECT_FALSE(cut.blank);
  EXPECT_EQ(cut.right, 76 - 3);
  EXPECT_EQ(cut.left, 73 - 28);
  const PanelCell& gone = plan.cells[3];  // a 3-character value at 11 .. 13
  EXPECT_TRUE(gone.blank);
  EXPECT_EQ(gone.left, 73 - 7);
}

TEST(PanelGrid, RowsInAColumnOutsideTheGridAreIgnored) {
  PanelRows rows;
  rows.Add(0, 4, 4);
  rows.Add(12, 30, 30);
  rows.Add(-1, 30, 30);
  PanelPlan plan = rows.Plan(300, 100);
  EXPECT_EQ(plan.textWidth, 10);
  EXPECT_EQ(plan.mostRows, 1);
  EXPECT_EQ(plan.cells.size(), 2u);
}

TEST(PanelGrid, NoGridNoText) {
  PanelRows rows;
  rows.Add(0, 4, 4);
  PanelPlan plan;
  Panel_PlanText(300, 100, rows.count, rows.labels, rows.values, rows.columns, 2, 0, 0, 7, &plan);
  EXPECT_TRUE(plan.cells.empty());
  EXPECT_TRUE(rows.Plan(5, 5).cells.empty());  // smaller than its frame
}

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
