// Layout of the capability page: which requests get a page, where the limits,
// target, bars and curves stand against values mapped by hand, the
// probability plot's points and reference line, the panel's texts and the verdict.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core_test_support.h"
#include "spc/core/capability_page_layout.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 25 diameters (mm) in subgroups of 5; tolerance 10 ± 0.15.
const std::vector<double> kDiameters = {10.021, 9.987, 10.034, 10.002, 9.968, 10.045, 10.011, 9.992, 10.027, 9.979,
                                        9.958, 10.016, 10.038, 10.004, 9.981, 10.029, 9.995, 10.052, 10.013, 9.974,
                                        10.008, 9.989, 10.041, 10.019, 9.963};
// A runout of 30 parts (mm), bounded at 0 and skewed; USL 0.05 only.
const std::vector<double> kRunout = {0.0121, 0.0087, 0.0234, 0.0156, 0.0098, 0.0312, 0.0143, 0.0076, 0.0189, 0.0110,
                                     0.0267, 0.0132, 0.0095, 0.0178, 0.0411, 0.0124, 0.0083, 0.0147, 0.0201, 0.0116,
                                     0.0069, 0.0158, 0.0223, 0.0105, 0.0139, 0.0291, 0.0092, 0.0167, 0.0128, 0.0184};

class CapabilityPageLayoutTest : public testing::Test {
 protected:
  std::vector<double> values{kNaN};
  std::vector<double> options{kNaN};
  CapabilityRequest request{};
  CapabilityFigures figures{};
  CapabilityPageLayout layout;

  static void SetUpTestSuite() { coretest::LoadTestConstants(); }
  void TearDown() override { SPC_SetScale(1.0); }

  void Diameters(double usl = 10.15, double lsl = 9.85, bool lowerOn = true) {
    values.assign(1, kNaN);
    values.insert(values.end(), kDiameters.begin(), kDiameters.end());
    Read(5, 1, 10.0, usl, lsl, 1, lowerOn ? 1 : 0);
  }
  void Runout(double distribution) {
    values.assign(1, kNaN);
    values.insert(values.end(), kRunout.begin(), kRunout.end());
    options = {kNaN, 0.0, kNaN, distribution};
    Read(1, 0, 0.0, 0.05, 0.0, 1, 0);
  }
  void Read(int32_t sampleSize, uint32_t norm, double nom, double usl, double lsl, uint32_t uslOn, uint32_t lslOn) {
    ASSERT_TRUE(Capability_ReadRequest(values.data(), static_cast<int32_t>(values.size()) - 1, sampleSize, norm, nom,
                                       usl, lsl, uslOn, lslOn, options.data(),
                                       static_cast<int32_t>(options.size()) - 1, &request));
    Capability_Compute(request, &figures);
  }
  bool Lay(int32_t width = 800, int32_t height = 600, double factor = 1) {
    SPC_SetScale(factor);
    return CapabilityPage_Layout(request, figures, width, height, factor, &layout);
  }
  PlotBox HistogramBox() const {
    return Plot_InnerBox(layout.histogram.left, layout.histogram.top, layout.histogram.width, layout.histogram.height);
  }
  int32_t HistogramX(double value) const {
    const AxisScale& s = layout.histogramValueAxis.scale;
    return Plot_ValueX(HistogramBox(), value, s.min, s.max);
  }
  const CapabilityPanelRow* Row(const std::string& label) const {
    for (const CapabilityPanelRow& row : layout.rows)
      if (row.label == label) return &row;
    return nullptr;
  }
};

TEST_F(CapabilityPageLayoutTest, PagesBelow320By240PixelsOrWithoutASizeAreRefused) {
  Diameters();
  EXPECT_TRUE(Lay(320, 240));
  EXPECT_FALSE(Lay(319, 600));
  EXPECT_FALSE(Lay(800, 239));
  EXPECT_FALSE(Lay(200, 150, 1.5));  // 300 x 225 pixels
  EXPECT_TRUE(Lay(200, 150, 2));
  EXPECT_FALSE(Lay(800, 600, kNaN));
  EXPECT_FALSE(Lay(40000, 600));
}

TEST_F(CapabilityPageLayoutTest, AStudyOfFewerThanTwoValuesHasNoPage) {
  values = {kNaN, 10.0, kNaN};
  Read(1, 0, 10.0, 10.15, 9.85, 1, 1);
  EXPECT_FALSE(Lay());
}

TEST_F(CapabilityPageLayoutTest, FrameAndTitleAreThoseOfTheSpcPage) {
  Diameters();
  ASSERT_TRUE(Lay());
  PageLayout spc;
  const PageRect rest = SPC_LayoutFrame(800, 600, 1, &spc);
  EXPECT_EQ(layout.page.titleBand.bottom, spc.titleBand.bottom);
  EXPECT_EQ(layout.page.fontBHeight, spc.fontBHeight);
  EXPECT_EQ(layout.panel.right, rest.right);
  EXPECT_EQ(layout.verdict.bottom, rest.bottom);
  EXPECT_GE(layout.histogram.caption.top, rest.top);
  EXPECT_LT(layout.histogram.left + layout.histogram.width, layout.panel.left);
  EXPECT_LT(layout.histogram.top + layout.histogram.height, layout.probability.caption.top);
  EXPECT_LE(layout.probability.top + layout.probability.height, rest.bottom);
}

TEST_F(CapabilityPageLayoutTest, LimitAndTargetLinesStandWhereTheirValuesMap) {
  Diameters();
  ASSERT_TRUE(Lay());
  ASSERT_EQ(layout.limitLines.size(), 2u);
  EXPECT_EQ(layout.limitLines[0].x0, HistogramX(9.85));
  EXPECT_EQ(layout.limitLines[1].x0, HistogramX(10.15));
  ASSERT_EQ(layout.targetLine.size(), 1u);
  EXPECT_EQ(layout.targetLine[0].x0, HistogramX(10.0));
  // Both limits lie on the value axis, the values between them.
  const AxisScale& s = layout.histogramValueAxis.scale;
  EXPECT_LE(s.min, 9.85);
  EXPECT_GE(s.max, 10.15);
  for (const HistogramBar& bar : layout.bars) {
    EXPECT_GT(bar.left, layout.limitLines[0].x0);
    EXPECT_LT(bar.right, layout.limitLines[1].x0);
  }
}

TEST_F(CapabilityPageLayoutTest, FiveClassesOfTheTwentyFiveDiametersCountedByHand) {
  Diameters();
  ASSERT_TRUE(Lay());
  // √25 = 5 classes of (10.052 - 9.958) / 5 = 0.0188 from 9.958: 9.958 .. 9.9768 holds 9.958, 9.963, 9.968,
  // 9.974; then 9.979 .. 9.995 (6); 10.002 .. 10.013 (5); 10.016 .. 10.029 (5); 10.034 .. 10.052 (5).
  const int expected[] = {4, 6, 5, 5, 5};
  ASSERT_EQ(layout.bars.size(), 5u);
  const PlotBox box = HistogramBox();
  const AxisScale& counts = layout.frequencyAxis.scale;
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(layout.bars[c].top, Plot_ValueY(box, expected[c], 0, counts.max)) << "class " << c + 1;
    EXPECT_EQ(layout.bars[c].left, HistogramX(9.958 + 0.0188 * c)) << "class " << c + 1;
    EXPECT_EQ(layout.bars[c].bottom, box.bottom + 1);
  }
}

TEST_F(CapabilityPageLayoutTest, OverallCurvePeaksAtTheMeanWithTheExpectedCountOfAClass) {
  Diameters();
  ASSERT_TRUE(Lay());
  ASSERT_EQ(layout.curves.size(), 2u);  // no fit asked for
  const std::vector<Segment>& curve = layout.curves[0].segments;
  ASSERT_FALSE(curve.empty());
  auto peak = std::min_element(curve.begin(), curve.end(), [](const Segment& a, const Segment& b) { return a.y0 < b.y0; });
  EXPECT_NEAR(peak->x0, HistogramX(figures.mean), 3);
  // n · (Φ(w / 2s) - Φ(-w / 2s)) with w = 0.0188: 25 · 0.2927... for s = 0.02532...
  const double w = 0.0188, half = w / 2 / figures.stdDev;
  const double height = 25 * std::erf(half / std::sqrt(2.0));
  EXPECT_NEAR(peak->y0, Plot_ValueY(HistogramBox(), height, 0, layout.frequencyAxis.scale.max), 1);
  // Every curve stays inside the plot.
  const PlotBox box = HistogramBox();
  for (const CapabilityCurve& c : layout.curves)
    for (const Segment& s : c.segments) {
      EXPECT_TRUE(s.y0 >= box.top && s.y0 <= box.bottom && s.x0 >= box.left && s.x1 <= box.right);
    }
}

TEST_F(CapabilityPageLayoutTest, WithTheWeibullFitAThirdCurveAndTheFitDecidesTheVerdict) {
  Runout(2);
  ASSERT_TRUE(Lay());
  ASSERT_EQ(figures.fit.status, kFitWeibull);
  ASSERT_EQ(layout.curves.size(), 3u);
  EXPECT_EQ(layout.curves[2].label, "Weibull fit");
  EXPECT_FALSE(layout.curves[2].segments.empty());
  EXPECT_EQ(layout.capable, figures.percentilePpk >= 1.33);
  EXPECT_NE(layout.verdictText.find("(Weibull)"), std::string::npos) << layout.verdictText;
  ASSERT_NE(Row("Weibull fit"), nullptr);
  EXPECT_EQ(Row("Weibull fit")->values[0], "shape");
  EXPECT_TRUE(Row("Weibull fit")->heading);
  EXPECT_FALSE(Row("parameters")->heading);
  EXPECT_EQ(layout.limitLines.size(), 1u);  // USL only
}

TEST_F(CapabilityPageLayoutTest, ProbabilityPointsRiseWithTheValuesAndTheNormalLineCrossesFiftyPercentAtTheMean) {
  Diameters();
  ASSERT_TRUE(Lay());
  ASSERT_EQ(layout.points.size(), kDiameters.size());
  for (size_t i = 1; i < layout.points.size(); ++i) {
    EXPECT_GE(layout.points[i].x, layout.points[i - 1].x);
    EXPECT_LT(layout.points[i].y, layout.points[i - 1].y);  // up the page
  }
  const ProbabilityLabel* fifty = nullptr;
  for (const ProbabilityLabel& label : layout.probabilityLabels)
    if (label.text == "50") fifty = &label;
  ASSERT_NE(fifty, nullptr);
  const AxisScale& s = layout.probabilityValueAxis.scale;
  const int32_t meanX = Plot_ValueX(Plot_InnerBox(layout.probability.left, layout.probability.top,
                                                  layout.probability.width, layout.probability.height),
                                    figures.mean, s.min, s.max);
  bool crossed = false;
  for (const Segment& seg : layout.referenceLine)
    if (std::min(seg.y0, seg.y1) <= fifty->tick.y0 && std::max(seg.y0, seg.y1) >= fifty->tick.y0) {
      EXPECT_NEAR((seg.x0 + seg.x1) / 2.0, meanX, 3);
      crossed = true;
    }
  EXPECT_TRUE(crossed);
  EXPECT_NE(layout.probabilityCaption.find("Normal probability plot"), std::string::npos);
}

TEST_F(CapabilityPageLayoutTest, PanelShowsTheFiguresRoundedAndDashesForThoseThatDoNotExist) {
  Diameters(10.15, 9.85, false);  // USL only
  ASSERT_TRUE(Lay());
  const CapabilityPanelRow* ppk = Row("Ppk");
  ASSERT_NE(ppk, nullptr);
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", figures.Ppk);
  EXPECT_EQ(ppk->values[0], text);
  std::snprintf(text, sizeof text, "%.3f", figures.PpkInterval.lower);
  EXPECT_EQ(ppk->values[1], text);
  EXPECT_EQ(Row("Cp")->values[0], "---");
  EXPECT_EQ(Row("Cpm")->values[2], "---");
  EXPECT_EQ(Row("LSL, USL")->values[0], "---");
  EXPECT_EQ(Row("index")->values[1], "95% low");
  EXPECT_EQ(Row("n (left out)")->values[0], "25");
}

TEST_F(CapabilityPageLayoutTest, AFitThatCannotBeMadeSaysWhyInThePanel) {
  values = {kNaN, 0.01, 0.0, 0.02, 0.015, 0.012, 0.03, 0.011, 0.017, 0.022, 0.013};
  options = {kNaN, kNaN, kNaN, 1};
  Read(1, 0, 0.0, 0.05, 0.0, 1, 0);
  ASSERT_TRUE(Lay());
  ASSERT_NE(Row("fit"), nullptr);
  EXPECT_EQ(Row("fit")->values[1], "value<=0");
  EXPECT_EQ(layout.curves.size(), 2u);
}

TEST_F(CapabilityPageLayoutTest, CapableProcessGetsTheCapableVerdict) {
  Diameters(10.3, 9.7);  // Ppk about 3.9
  ASSERT_TRUE(Lay());
  EXPECT_TRUE(layout.capable);
  EXPECT_EQ(layout.verdictText.rfind("CAPABLE: Ppk", 0), 0u) << layout.verdictText;
  Diameters();
  ASSERT_TRUE(Lay());
  EXPECT_EQ(layout.capable, figures.Ppk >= 1.33);
}

TEST_F(CapabilityPageLayoutTest, ASmallPageKeepsThePanelsFirstRows) {
  Runout(2);
  ASSERT_TRUE(Lay(800, 600));
  const size_t all = layout.rows.size();
  ASSERT_TRUE(Lay(320, 240));
  // (panel height - 2 x 3) / 15 rows of 15 pixels fit; the study and its indices come first.
  const int32_t fit = (layout.panel.bottom - layout.panel.top - 6) / 15;
  EXPECT_EQ(static_cast<int32_t>(layout.rows.size()), fit);
  ASSERT_LT(layout.rows.size(), all);
  EXPECT_EQ(layout.rows[0].label, "n (left out)");
}

TEST_F(CapabilityPageLayoutTest, FactorTwoDoublesThePageAndItsParts) {
  Diameters();
  ASSERT_TRUE(Lay(800, 600, 1));
  const CapabilityPageLayout small = layout;
  ASSERT_TRUE(Lay(800, 600, 2));
  EXPECT_EQ(layout.page.pageWidth, 1600);
  EXPECT_NEAR(layout.panel.left, 2 * small.panel.left, 4);
  EXPECT_NEAR(layout.histogram.width, 2 * small.histogram.width, 30);
  EXPECT_EQ(layout.rows.size(), small.rows.size());
}

}  // namespace
