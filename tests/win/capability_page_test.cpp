// Create_CapabilityBitmap through the real library: the page read back by its
// pixels (every part at the place the core lays it out, the curves in their
// colours, the verdict), the documented codes of refused requests with no file
// left, and no drawing object or handle kept after many pages.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "meridan_api.h"
#include "spc/core/capability_page_layout.h"
#include "spc_page_support.h"

namespace {

using namespace spctest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

COLORREF Win(Colour c) { return RGB(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A runout of 60 parts, Weibull with shape 1.5 and scale 0.012 from fixed uniform numbers.
std::vector<double> Runout() {
  std::vector<double> values{kNaN};
  for (int i = 1; i <= 60; ++i) values.push_back(0.012 * std::pow(-std::log((i - 0.5) / 60), 1 / 1.5));
  return values;
}

struct Study {
  const char* title = "Shaft 10 mm - capability";
  std::vector<double> values = Values(125, 10.0, 0.1);
  int32_t sampleSize = 5;
  uint32_t norm = 3;
  double nom = 10, usl = 10.5, lsl = 9.5;
  uint32_t uslOn = 1, lslOn = 1;
  std::vector<double> options{kNaN};
  int32_t width = 800, height = 600;
  double factor = 1;

  int32_t Count() const { return static_cast<int32_t>(values.size()) - 1; }
  int32_t Write(const std::wstring& path) const {
    std::string name = Narrow(path);
    return Create_CapabilityBitmap(nullptr, name.c_str(), width, height, factor, title, values.data(), Count(),
                                   sampleSize, norm, nom, usl, lsl, uslOn, lslOn, options.data(),
                                   static_cast<int32_t>(options.size()) - 1);
  }
  // The page as the core lays it out for this study.
  CapabilityPageLayout Layout() const {
    CapabilityRequest request;
    EXPECT_TRUE(Capability_ReadRequest(values.data(), Count(), sampleSize, norm, nom, usl, lsl, uslOn, lslOn,
                                       options.data(), static_cast<int32_t>(options.size()) - 1, &request));
    CapabilityFigures figures;
    Capability_Compute(request, &figures);
    SPC_SetScale(factor);
    CapabilityPageLayout layout;
    EXPECT_TRUE(CapabilityPage_Layout(request, figures, width, height, factor, &layout));
    SPC_SetScale(1.0);
    return layout;
  }
};

Study RunoutWithWeibullFit() {
  Study study;
  study.title = "Runout 0.05 mm";
  study.values = Runout();
  study.sampleSize = 1;
  study.norm = 0;
  study.nom = 0, study.usl = 0.05, study.lsl = 0;
  study.lslOn = 0;
  study.options = {kNaN, 0.0, kNaN, 2};
  return study;
}

class CapabilityPage : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string table = wintest::ReadFileBytes(wintest::BinDir() + L"TESSAN_SPC.TAB");
    SPC_ParseTable(table.data(), table.size());
  }
  void SetUp() override { dir = wintest::MakeTempDir(L"cappage"); }
  void TearDown() override { wintest::RemoveTree(dir); }
  std::wstring File(const wchar_t* name = L"page.bmp") const { return dir + name; }
  PageFile Written(const Study& study) {
    EXPECT_EQ(study.Write(File()), 0);
    return PageFile(File());
  }
  std::wstring dir;
};

int CountIn(const PageFile& page, COLORREF colour, const PageRect& r) {
  return page.Count(colour, r.left, r.top, r.right, r.bottom);
}

PageRect PlotRect(const CapabilityPlot& plot) {
  return {plot.left, plot.top, plot.left + plot.width, plot.top + plot.height};
}

TEST_F(CapabilityPage, WrittenAsA32BitPageOfTheAskedSize) {
  PageFile page = Written(Study());
  ASSERT_TRUE(page.Valid());
  ExpectHeadersOf32BitFile(page.bytes, 800, 600, 800 * 600 * 4);
  Study doubled;
  doubled.factor = 2;
  PageFile large = Written(doubled);
  EXPECT_EQ(large.width, 1600);
  EXPECT_EQ(large.height, 1200);
}

TEST_F(CapabilityPage, EveryPartStandsWhereTheCoreLaysItOut) {
  const Study study;
  const CapabilityPageLayout layout = study.Layout();
  PageFile page = Written(study);
  ASSERT_TRUE(page.Valid());
  // Title band in the page colour with red text; both plots on the plot background; the panel on its own.
  EXPECT_GT(CountIn(page, kRed, layout.page.titleText), 50);
  EXPECT_GT(CountIn(page, kPlotBack, PlotRect(layout.histogram)), layout.histogram.width * 5);
  EXPECT_GT(CountIn(page, kPlotBack, PlotRect(layout.probability)), layout.probability.width * 5);
  EXPECT_GT(CountIn(page, kPlotBack, layout.panel), (layout.panel.right - layout.panel.left) * 20);
  EXPECT_GT(CountIn(page, kBlack, layout.panel), 500);  // the rows' text
  // Every bar is grey inside.
  for (const HistogramBar& bar : layout.bars) {
    if (bar.bottom - bar.top > 4 && bar.right - bar.left > 4) {
      EXPECT_EQ(page.At((bar.left + bar.right) / 2, bar.bottom - 3), kGrey);
    }
  }
  // The limit lines red from top to bottom of the plot, at their columns.
  ASSERT_EQ(layout.limitLines.size(), 2u);
  for (const Segment& line : layout.limitLines)
    EXPECT_EQ(page.At(line.x0, (line.y0 + line.y1) / 2), kRed) << "at column " << line.x0;
  // The probability points as black crosses.
  EXPECT_GT(CountIn(page, kBlack, PlotRect(layout.probability)), static_cast<int>(layout.points.size()));
  for (const PlotPoint& p : layout.points) EXPECT_EQ(page.At(p.x, p.y), kBlack);
}

TEST_F(CapabilityPage, TheCurvesInTheirColoursAndTheFittedOneOnlyWithAFit) {
  const Study normal;
  PageFile page = Written(normal);
  const CapabilityPageLayout layout = normal.Layout();
  const PageRect histogram = PlotRect(layout.histogram);
  EXPECT_GT(CountIn(page, Win(kOverallCurveColour), histogram), 100);
  EXPECT_GT(CountIn(page, Win(kWithinCurveColour), histogram), 100);
  EXPECT_EQ(CountIn(page, Win(kFittedCurveColour), histogram), 0);
  // The normal line of the probability plot in the overall curve's colour.
  EXPECT_GT(CountIn(page, Win(kOverallCurveColour), PlotRect(layout.probability)), 100);

  const Study runout = RunoutWithWeibullFit();
  PageFile fitted = Written(runout);
  const CapabilityPageLayout fittedLayout = runout.Layout();
  EXPECT_GT(CountIn(fitted, Win(kFittedCurveColour), PlotRect(fittedLayout.histogram)), 100);
  EXPECT_GT(CountIn(fitted, Win(kFittedCurveColour), PlotRect(fittedLayout.probability)), 100);
  ASSERT_EQ(fittedLayout.limitLines.size(), 1u);  // USL only
}

TEST_F(CapabilityPage, TheVerdictIsGreenForACapableProcessAndRedOtherwise) {
  Study capable;  // values within ±0.1 of 10, limits ±0.5
  const CapabilityPageLayout layout = capable.Layout();
  ASSERT_TRUE(layout.capable);
  PageFile page = Written(capable);
  const PageRect& v = layout.verdict;
  const int area = (v.right - v.left) * (v.bottom - v.top);
  EXPECT_GT(CountIn(page, Win(kCapableColour), v), area / 2);
  EXPECT_GT(CountIn(page, kWhite, v), 50);  // its text
  Study not_capable;
  not_capable.usl = 10.12, not_capable.lsl = 9.88;
  ASSERT_FALSE(not_capable.Layout().capable);
  PageFile red = Written(not_capable);
  EXPECT_GT(CountIn(red, Win(kNotCapableColour), v), area / 2);
  EXPECT_EQ(CountIn(red, Win(kCapableColour), v), 0);
}

TEST_F(CapabilityPage, RefusedRequestsReturnTheirCodeAndLeaveNoFile) {
  struct Case {
    const char* what;
    Study study;
    int32_t code;
  };
  std::vector<Case> cases;
  auto add = [&](const char* what, int32_t code, auto change) {
    Study s;
    change(s);
    cases.push_back({what, s, code});
  };
  add("no limit in force", 1, [](Study& s) { s.uslOn = s.lslOn = 0; });
  add("subgroups of 0", 1, [](Study& s) { s.sampleSize = 0; });
  add("LSL above USL", 1, [](Study& s) { s.lsl = 11; });
  add("level 1", 1, [](Study& s) { s.options = {kNaN, kNaN, 1.0}; });
  add("distribution 5", 1, [](Study& s) { s.options = {kNaN, kNaN, kNaN, 5}; });
  add("no values", 1, [](Study& s) { s.values = {kNaN}; });
  add("width 0", 2, [](Study& s) { s.width = 0; });
  add("factor not a number", 2, [](Study& s) { s.factor = kNaN; });
  add("300 x 200 pixels", 2, [](Study& s) { s.width = 300, s.height = 200; });
  add("one value that is a number", 3, [](Study& s) { s.values = {kNaN, 10.0, kNaN, kNaN}; });
  for (const Case& c : cases) {
    EXPECT_EQ(c.study.Write(File()), c.code) << c.what;
    EXPECT_EQ(GetFileAttributesW(File().c_str()), INVALID_FILE_ATTRIBUTES) << c.what;
  }
  const Study study;
  EXPECT_EQ(Create_CapabilityBitmap(nullptr, nullptr, 800, 600, 1, "t", study.values.data(), study.Count(), 5, 3, 10,
                                    10.5, 9.5, 1, 1, nullptr, 0),
            4);
  EXPECT_EQ(Create_CapabilityBitmap(nullptr, "", 800, 600, 1, "t", study.values.data(), study.Count(), 5, 3, 10,
                                    10.5, 9.5, 1, 1, nullptr, 0),
            4);
  std::string folder = Narrow(dir + L"no such folder\\page.bmp");
  EXPECT_EQ(Create_CapabilityBitmap(nullptr, folder.c_str(), 800, 600, 1, "t", study.values.data(), study.Count(), 5,
                                    3, 10, 10.5, 9.5, 1, 1, nullptr, 0),
            4);
}

TEST_F(CapabilityPage, AReadOnlyPageStaysAsItWas) {
  const Study study;
  ASSERT_EQ(study.Write(File()), 0);
  std::string before = wintest::ReadFileBytes(File());
  ASSERT_TRUE(SetFileAttributesW(File().c_str(), FILE_ATTRIBUTE_READONLY));
  Study other = RunoutWithWeibullFit();
  EXPECT_EQ(other.Write(File()), 4);
  EXPECT_EQ(wintest::ReadFileBytes(File()), before);
  SetFileAttributesW(File().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CapabilityPage, NoDrawingObjectOrHeapKeptAfterManyPages) {
  const Study normal;
  const Study runout = RunoutWithWeibullFit();
  ASSERT_EQ(normal.Write(File()), 0);  // the first page loads what stays loaded
  ASSERT_EQ(runout.Write(File()), 0);
  const size_t objects = GdiObjects();
  size_t blocks = 0, bytes = 0;
  HeapUse(&blocks, &bytes);
  for (int i = 0; i < 60; ++i) {
    ASSERT_EQ((i % 2 ? runout : normal).Write(File()), 0);
    Study refused;
    refused.uslOn = refused.lslOn = 0;
    ASSERT_EQ(refused.Write(File()), 1);
  }
  EXPECT_EQ(GdiObjects(), objects);
  size_t blocksAfter = 0, bytesAfter = 0;
  HeapUse(&blocksAfter, &bytesAfter);
  EXPECT_LE(blocksAfter, blocks + 8);
}

TEST_F(CapabilityPage, TheSameStudyGivesTheSamePageEveryTime) {
  const Study runout = RunoutWithWeibullFit();
  PageFile first = Written(runout);
  PageFile second = Written(runout);
  EXPECT_EQ(first.bytes, second.bytes);
}

}  // namespace
