// The text panel's character grid: where each label and value stands and what
// is cut when the panel is too small.
#include <gtest/gtest.h>

#include <cstdint>

#include "spc/core/panel_grid.h"

namespace {

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

}  // namespace
