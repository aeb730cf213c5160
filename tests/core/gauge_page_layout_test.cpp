// The gauge page's layout: every chart and panel in its place on the page,
// the contents where the figures say (flagged ranges ringed, one marker per
// reading, the appraisers' colours and legend), the verdict, and the number
// texts of the panels.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "gauge/core/gauge_page_layout.h"
#include "gauge/core/gauge_page_parts.h"
#include "spc/core/run_test_marks.h"
#include "gauge_test_support.h"

namespace {

using namespace gaugetest;

class GaugePage : public ::testing::Test {
 protected:
  void SetUp() override { LoadShippedConstants(); }
  void TearDown() override { SPC_SetScale(1.0); }

  // The layout of a study's page, as the page export makes it.
  GaugePageLayout Layout(const Study& study, int32_t width = 800, int32_t height = 600, double factor = 1.0) {
    GaugeResult result;
    EXPECT_TRUE(Gauge_ComputeStudy(study.Request(), &result));
    SPC_SetScale(factor);
    GaugePageLayout layout;
    Gauge_LayoutPage(study.Request(), result, width, height, factor, &layout);
    return layout;
  }
};

bool Inside(const PageRect& inner, const PageRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

PageRect PlotOf(const GaugeChart& chart) {
  return {chart.left, chart.top, chart.left + chart.width, chart.top + chart.height};
}

bool Overlap(const PageRect& a, const PageRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The AIAG study with one reading of appraiser B on part 6 made far too large.
Study AiagWithMisreading() {
  Study s = AiagStudy();
  s.readings[1 + (1 * 10 + 5) * 3 + 1] += 1.2;
  return s;
}

TEST_F(GaugePage, CrossedStudyHasSixChartsTwoPanelsAndTheVerdictBandInsideThePlotRegion) {
  for (const auto& size : {std::pair{800, 600}, std::pair{1600, 1200}}) {
    const double factor = size.first / 800.0;
    const GaugePageLayout layout = Layout(AiagStudy(), 800, 600, factor);
    ASSERT_EQ(layout.charts.size(), 6u);
    ASSERT_EQ(layout.panels.size(), 2u);
    const PageRect region = layout.page.plotRegion;
    std::vector<PageRect> parts{layout.verdictBand, layout.panels[0].box, layout.panels[1].box, layout.page.titleBand};
    for (const GaugeChart& chart : layout.charts) {
      EXPECT_GT(chart.width, 50) << "every chart has room at " << size.first;
      EXPECT_GT(chart.height, 50);
      EXPECT_TRUE(chart.valueAxis.drawn);
      parts.push_back(PlotOf(chart));
    }
    for (size_t i = 0; i < parts.size(); ++i) {
      EXPECT_TRUE(i == 3 || Inside(parts[i], region)) << "part " << i << " inside the plot region";
      for (size_t j = i + 1; j < parts.size(); ++j) EXPECT_FALSE(Overlap(parts[i], parts[j])) << i << " and " << j;
    }
  }
}

TEST_F(GaugePage, AiagStudyIsConditionallyAcceptableByItsGrrAndNdc) {
  const GaugePageLayout layout = Layout(AiagStudy());
  EXPECT_EQ(layout.verdict, GaugeVerdict::Marginal);
  EXPECT_EQ(layout.verdictText, "conditionally acceptable: %GRR 27.86 % of TV, ndc 4 (5 or more wanted)");
}

TEST_F(GaugePage, RangeChartRingsExactlyTheRangesTheFiguresCountAboveTheLimit) {
  // The published sheet has one: appraiser B's readings of part 4 (0.01, 1.03, 0.20) span 1.02 > 0.880.
  const Study published = AiagStudy();
  ASSERT_EQ(published.Figures()[75], 1.0);
  GaugePageLayout layout = Layout(published);
  ASSERT_EQ(layout.charts[1].rings.size(), 1u);
  const GaugeChart* ranges = &layout.charts[1];
  PlotBox box = Plot_InnerBox(ranges->left, ranges->top, ranges->width, ranges->height);
  EXPECT_EQ(ranges->rings[0].x, Gauge_CategoryX(box, 14, 30)) << "B, part 4: position 14 of 30";
  EXPECT_EQ(ranges->rings[0].colour, kFlaggedColour);

  const Study misread = AiagWithMisreading();
  ASSERT_EQ(misread.Figures()[75], 2.0);
  layout = Layout(misread);
  ranges = &layout.charts[1];
  ASSERT_EQ(ranges->rings.size(), 2u);
  box = Plot_InnerBox(ranges->left, ranges->top, ranges->width, ranges->height);
  EXPECT_EQ(ranges->rings[1].x, Gauge_CategoryX(box, 16, 30)) << "B, part 6: position 16 of 30";
}

TEST_F(GaugePage, ReadingsByPartShowEveryReadingInItsAppraisersColour) {
  const GaugePageLayout layout = Layout(AiagStudy());
  const GaugeChart& byPart = layout.charts[3];
  ASSERT_EQ(byPart.markers.size(), 90u);
  std::multiset<Colour> colours;
  for (const GaugeMarker& m : byPart.markers) colours.insert(m.colour);
  for (int a = 1; a <= 3; ++a) EXPECT_EQ(colours.count(Gauge_AppraiserColour(a)), 30u) << "appraiser " << a;
  // The interaction: one line of 9 segments per appraiser, in its colour.
  std::multiset<Colour> lines;
  for (const GaugeLine& l : layout.charts[5].lines) lines.insert(l.colour);
  for (int a = 1; a <= 3; ++a) EXPECT_EQ(lines.count(Gauge_AppraiserColour(a)), 9u);
}

TEST_F(GaugePage, LegendNamesTheAppraisersInTheirColoursAndStopsWhereTheTitleBandEnds) {
  GaugePageLayout layout = Layout(AiagStudy());
  ASSERT_EQ(layout.legend.size(), 3u);
  ASSERT_EQ(layout.legendSwatches.size(), 3u);
  for (int a = 1; a <= 3; ++a) {
    EXPECT_EQ(layout.legend[a - 1].text, Gauge_AppraiserName(a));
    EXPECT_EQ(layout.legendSwatches[a - 1].colour, Gauge_AppraiserColour(a));
    EXPECT_TRUE(Inside({layout.legendSwatches[a - 1].left, layout.legendSwatches[a - 1].top,
                        layout.legendSwatches[a - 1].right, layout.legendSwatches[a - 1].bottom},
                       layout.page.titleBand));
  }
  EXPECT_LT(layout.page.titleText.right, layout.legendSwatches[0].left) << "the title ends before the legend";

  Study many;  // 40 appraisers, 2 parts, 2 trials
  many.parts = 2, many.appraisers = 40, many.trials = 2;
  for (int i = 0; i < 160; ++i) many.readings.push_back(i % 7 * 0.5 + i % 3);
  layout = Layout(many);
  ASSERT_FALSE(layout.legend.empty());
  EXPECT_EQ(layout.legend.back().text, "...");
  EXPECT_LT(layout.legendSwatches.size(), 40u);
  EXPECT_EQ(Gauge_AppraiserName(27), "27");
  EXPECT_EQ(Gauge_AppraiserColour(9), Gauge_AppraiserColour(1)) << "the colours come round again after 8";
}

TEST_F(GaugePage, TypeOnePageHasRunChartHistogramPanelAndVerdict) {
  Study s;
  s.kind = kGaugeType1;
  s.parts = s.appraisers = 1;
  s.reference = 10.0;
  s.tolerance = 0.1;
  for (int i = 0; i < 12; ++i) s.readings.insert(s.readings.end(), {10.005, 9.999});
  s.readings.push_back(10.002);
  s.trials = 25;
  GaugePageLayout layout = Layout(s);
  ASSERT_EQ(layout.charts.size(), 2u);
  ASSERT_EQ(layout.panels.size(), 1u);
  EXPECT_EQ(layout.charts[0].markers.size(), 25u);
  EXPECT_TRUE(layout.charts[0].sampleAxis.drawn);
  EXPECT_EQ(layout.charts[0].valueAxis.scale.max, layout.charts[1].valueAxis.scale.max) << "one value axis for both";
  int32_t counted = 0;
  EXPECT_EQ(layout.charts[1].bars.size(), 3u) << "10.005, 10.002 and 9.999 fall in three of five classes";
  for (const GaugeBox& bar : layout.charts[1].bars) counted += bar.right > bar.left;
  EXPECT_EQ(counted, 3);
  // Cg = 0.02 / 0.018 = 1.11, Cgk = 0.008 / 0.009 = 0.89.
  EXPECT_EQ(layout.verdict, GaugeVerdict::Bad);
  EXPECT_EQ(layout.verdictText, "not capable: Cg 1.11, Cgk 0.89 (both 1.33 or more wanted)");
  s.tolerance = 0.2;  // Cg 2.22, Cgk (0.02 - 0.002) / 0.009 = 2.00
  layout = Layout(s);
  EXPECT_EQ(layout.verdict, GaugeVerdict::Good);
  EXPECT_EQ(layout.verdictText, "capable: Cg 2.22, Cgk 2.00 (both 1.33 or more wanted)");
}

TEST_F(GaugePage, PanelsCarryTheAnovaTableAndTheComponents) {
  const GaugePageLayout layout = Layout(AiagStudy());
  auto find = [](const GaugePanel& panel, const std::string& label) {
    for (size_t i = 0; i < panel.rows.size(); ++i)
      if (panel.rows[i].label == label) return i;
    return panel.rows.size();
  };
  const GaugePanel& anova = layout.panels[0];
  const size_t part = find(anova, "Part");
  ASSERT_LT(part + 4, anova.rows.size());
  EXPECT_EQ(anova.rows[part].value, "9");
  EXPECT_EQ(anova.rows[part + 1].value, "88.3619");
  EXPECT_EQ(anova.rows[part + 3].value, "492.29");
  const GaugePanel& components = layout.panels[1];
  const size_t grr = find(components, "Total GRR");
  ASSERT_LT(grr + 3, components.rows.size());
  EXPECT_EQ(components.rows[grr + 3].value, "27.86") << "%SV of GRR";
  EXPECT_EQ(components.rows[find(components, "ndc")].value, "4");
}

TEST_F(GaugePage, TinyAndHugePagesKeepEveryPartOnThePage) {
  for (const auto& size : {std::pair{30, 20}, std::pair{120, 90}, std::pair{8000, 6000}}) {
    const GaugePageLayout layout = Layout(AiagWithMisreading(), size.first, size.second, 1.0);
    const PageRect page{0, 0, layout.page.pageWidth, layout.page.pageHeight};
    for (const GaugeChart& chart : layout.charts) {
      if (chart.width > 0) {
        EXPECT_TRUE(Inside(PlotOf(chart), page)) << size.first;
      }
    }
  }
}

TEST_F(GaugePage, NumberTextsRoundHalfAwayAndShowNoNegativeZero) {
  EXPECT_EQ(Gauge_FixedText(2.5, 0), "3");
  EXPECT_EQ(Gauge_FixedText(-0.00001, 4), "0.0000");
  EXPECT_EQ(Gauge_FixedText(0.97405, 3), "0.974");
  EXPECT_EQ(Gauge_FigureText(88.36193), "88.3619");
  EXPECT_EQ(Gauge_FigureText(0.0399733), "0.039973");
  EXPECT_EQ(Gauge_FigureText(1234567.8), "1234568");
  EXPECT_EQ(Gauge_FigureText(std::numeric_limits<double>::infinity()), "inf");
}

}  // namespace
