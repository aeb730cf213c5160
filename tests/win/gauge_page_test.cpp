// Create_GaugeStudyBitmap through MERIDAN.dll, read back from the file it
// writes: every chart and panel present where the core's layout of the same
// study puts them, the appraisers' colours, the flagged ranges ringed, the
// verdict band in the verdict's colour, the same at twice the size; refused
// requests returning their code and leaving no file; and no drawing object
// left behind over many pages.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gauge/core/gauge_page_layout.h"
#include "gauge/core/gauge_study.h"
#include "spc/core/run_test_marks.h"
#include "spc_page_support.h"

namespace {

using spctest::PageFile;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The AIAG crossed study (appraiser, part, trial order; element 0 not read).
const std::vector<double> kAiag = {
    kNaN,  0.29,  0.41,  0.64,  -0.56, -0.68, -0.58, 1.34,  1.17,  1.27,  0.47,  0.5,   0.64,  -0.8,  -0.92, -0.84,
    0.02,  -0.11, -0.21, 0.59,  0.75,  0.66,  -0.31, -0.2,  -0.17, 2.26,  1.99,  2.01,  -1.36, -1.25, -1.31,
    0.08,  0.25,  0.07,  -0.47, -1.22, -0.68, 1.19,  0.94,  1.34,  0.01,  1.03,  0.2,   -0.56, -1.2,  -1.28,
    -0.2,  0.22,  0.06,  0.47,  0.55,  0.83,  -0.63, 0.08,  -0.34, 1.8,   2.12,  2.19,  -1.68, -1.62, -1.5,
    0.04,  -0.11, -0.15, -1.38, -1.13, -0.96, 0.88,  1.09,  0.67,  0.14,  0.2,   0.11,  -1.46, -1.07, -1.45,
    -0.29, -0.67, -0.49, 0.02,  0.01,  0.21,  -0.46, -0.56, -0.49, 1.77,  1.45,  1.87,  -1.49, -1.77, -2.16};

struct Study {
  uint32_t kind = 2;
  std::vector<double> readings = kAiag;
  int32_t parts = 10, appraisers = 3, trials = 3;
  double reference = 0, tolerance = 4.0;
  std::vector<double> options{kNaN};
  GaugeRequest Request() const {
    return {static_cast<int32_t>(kind), readings.data(), parts, appraisers, trials, reference, tolerance,
            options.data(), static_cast<int32_t>(options.size()) - 1};
  }
};

// The AIAG study with its one range above the limit (appraiser B, part 4) brought back inside.
Study AiagWithoutFlaggedRange() {
  Study s;
  s.readings[1 + (1 * 10 + 3) * 3 + 1] = 0.4;  // B, part 4: 0.01, 0.40, 0.20
  return s;
}

// Type 1: 30 readings of a reference part of 25; tolerance 0.02 makes it capable, 0.004 not.
Study TypeOne(double tolerance) {
  Study s;
  s.kind = 1;
  s.readings = {kNaN};
  for (int i = 0; i < 30; ++i) s.readings.push_back(25.0004 + 0.0001 * ((i * 7) % 11 - 5));
  s.parts = s.appraisers = 1;
  s.trials = 30;
  s.reference = 25.0;
  s.tolerance = tolerance;
  return s;
}

class GaugePage : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = wintest::MakeTempDir(L"gaugepage");
    std::string table = wintest::ReadFileBytes(wintest::BinDir() + L"TESSAN_SPC.TAB");
    ASSERT_TRUE(SPC_ParseTable(table.data(), table.size()));
  }
  void TearDown() override {
    SPC_SetScale(1.0);
    wintest::RemoveTree(dir);
  }

  std::wstring Path(const wchar_t* name) const { return dir + L"\\" + name; }

  int32_t Write(const Study& s, const std::wstring& path, int32_t width = 800, int32_t height = 600,
                double factor = 1.0) {
    const std::string narrow = spctest::Narrow(path);
    return Create_GaugeStudyBitmap(nullptr, narrow.c_str(), width, height, factor, "Gauge study", s.kind,
                                   s.readings.data(), s.parts, s.appraisers, s.trials, s.reference, s.tolerance,
                                   s.options.data(), static_cast<int32_t>(s.options.size()) - 1);
  }

  // The layout the library made of the same page.
  GaugePageLayout Layout(const Study& s, int32_t width = 800, int32_t height = 600, double factor = 1.0) {
    GaugeResult result;
    EXPECT_TRUE(Gauge_ComputeStudy(s.Request(), &result));
    SPC_SetScale(factor);
    GaugePageLayout layout;
    Gauge_LayoutPage(s.Request(), result, width, height, factor, &layout);
    SPC_SetScale(1.0);
    return layout;
  }

  std::wstring dir;
};

int CountIn(const PageFile& page, COLORREF colour, const GaugeChart& chart) {
  return page.Count(colour, chart.left, chart.top, chart.left + chart.width, chart.top + chart.height);
}

TEST_F(GaugePage, CrossedStudyPageShowsEveryChartPanelAndTheVerdictAtBothSizes) {
  const Study study;
  for (const auto& size : {std::pair{800, 1.0}, std::pair{1600, 2.0}}) {
    const std::wstring path = Path(size.first == 800 ? L"aiag.bmp" : L"aiag_large.bmp");
    ASSERT_EQ(Write(study, path, 800, 600, size.second), kGaugePageWritten);
    const PageFile page(path);
    ASSERT_TRUE(page.Valid());
    EXPECT_EQ(page.width, size.first);
    const GaugePageLayout layout = Layout(study, 800, 600, size.second);
    ASSERT_EQ(layout.charts.size(), 6u);
    for (size_t i = 0; i < layout.charts.size(); ++i) {
      const GaugeChart& chart = layout.charts[i];
      // Each plot's background fills most of its inside.
      EXPECT_GT(CountIn(page, spctest::kPlotBack, chart), chart.width * chart.height / 3) << "chart " << i;
    }
    for (const GaugePanel& panel : layout.panels)
      EXPECT_EQ(page.At((panel.box.left + panel.box.right) / 2, panel.box.bottom - 6), RGB(255, 255, 242))
          << "a text panel's background";
    const PageRect& band = layout.verdictBand;
    EXPECT_EQ(page.At(band.left + 3, (band.top + band.bottom) / 2), kVerdictMarginalColour)
        << "the published study's gauge is conditionally acceptable";
  }
}

TEST_F(GaugePage, AppraisersDrawInTheirOwnColoursWithTheirLegend) {
  const Study study;
  ASSERT_EQ(Write(study, Path(L"colours.bmp")), kGaugePageWritten);
  const PageFile page(Path(L"colours.bmp"));
  const GaugePageLayout layout = Layout(study);
  for (int a = 1; a <= 3; ++a) {
    const COLORREF colour = Gauge_AppraiserColour(a);
    for (size_t chart : {1u, 2u, 3u, 4u, 5u})
      EXPECT_GT(CountIn(page, colour, layout.charts[chart]), 10) << "appraiser " << a << " in chart " << chart;
    EXPECT_EQ(CountIn(page, colour, layout.charts[0]), 0) << "the components chart has no appraisers";
    const GaugeBox& swatch = layout.legendSwatches[a - 1];
    EXPECT_EQ(page.At((swatch.left + swatch.right) / 2, (swatch.top + swatch.bottom) / 2), colour);
  }
  for (COLORREF bar : {kContributionColour, kStudyVariationColour, kToleranceColour})
    EXPECT_GT(CountIn(page, bar, layout.charts[0]), 30) << "the components' bars";
}

TEST_F(GaugePage, FlaggedRangeIsRingedAndOnlyThen) {
  ASSERT_EQ(Write(Study{}, Path(L"flagged.bmp")), kGaugePageWritten);
  ASSERT_EQ(Write(AiagWithoutFlaggedRange(), Path(L"clean.bmp")), kGaugePageWritten);
  const PageFile flagged(Path(L"flagged.bmp")), clean(Path(L"clean.bmp"));
  const GaugePageLayout layout = Layout(Study{});
  ASSERT_EQ(layout.charts[1].rings.size(), 1u);
  const GaugeMarker ring = layout.charts[1].rings[0];
  const int r = layout.ringRadius;
  EXPECT_GT(flagged.Count(kFlaggedColour, ring.x - r - 1, ring.y - r - 1, ring.x + r + 2, ring.y + r + 2), 8)
      << "the ring around B's range of part 4";
  EXPECT_EQ(clean.Count(kFlaggedColour, 0, 0, clean.width, clean.height), 0) << "no ring without a flagged range";
}

TEST_F(GaugePage, TypeOnePageShowsReadingsHistogramPanelAndVerdict) {
  for (const auto& [tolerance, verdict] :
       {std::pair{0.02, kVerdictGoodColour}, std::pair{0.004, kVerdictBadColour}}) {
    const Study study = TypeOne(tolerance);
    ASSERT_EQ(Write(study, Path(L"type1.bmp")), kGaugePageWritten);
    const PageFile page(Path(L"type1.bmp"));
    const GaugePageLayout layout = Layout(study);
    ASSERT_EQ(layout.charts.size(), 2u);
    EXPECT_GT(CountIn(page, Gauge_AppraiserColour(1), layout.charts[0]), 30) << "the readings";
    EXPECT_GT(CountIn(page, kHistogramColour, layout.charts[1]), 100) << "the histogram's bars";
    EXPECT_GT(CountIn(page, kLimitColour, layout.charts[0]), 100) << "reference -/+ K/200 T";
    const PageRect& band = layout.verdictBand;
    EXPECT_EQ(page.At(band.left + 3, (band.top + band.bottom) / 2), verdict) << tolerance;
    const PageRect& panel = layout.panels[0].box;
    EXPECT_EQ(page.At((panel.left + panel.right) / 2, panel.bottom - 6), RGB(255, 255, 242));
  }
}

TEST_F(GaugePage, RefusedRequestsReturnTheirCodeAndWriteNoFile) {
  struct Case {
    const char* why;
    Study study;
    int32_t width, height;
    double factor;
    int32_t code;
  };
  std::vector<Case> cases;
  auto add = [&](const char* why, Study s, int32_t code, int32_t width = 800, int32_t height = 600,
                 double factor = 1.0) { cases.push_back({why, s, width, height, factor, code}); };
  Study s;
  s.kind = 0;
  add("kind 0", s, kGaugePageStudyRefused);
  s.kind = 4;
  add("kind 4", s, kGaugePageStudyRefused);
  s = Study{};
  s.readings[7] = kNaN;
  add("a reading not a number", s, kGaugePageStudyRefused);
  s = Study{};
  s.parts = 1;
  add("one part", s, kGaugePageStudyRefused);
  s = Study{};
  s.options = {kNaN, -1.0};
  add("a multiplier below 0", s, kGaugePageStudyRefused);
  add("a tolerance of 0 in type 1", TypeOne(0.0), kGaugePageStudyRefused);
  add("width 0", Study{}, kGaugePageSizeRefused, 0);
  add("height below 0", Study{}, kGaugePageSizeRefused, 800, -5);
  add("factor not a number", Study{}, kGaugePageSizeRefused, 800, 600, kNaN);
  add("a page side past 32767", Study{}, kGaugePageSizeRefused, 800, 600, 50.0);
  for (const Case& c : cases) {
    const std::wstring path = Path(L"refused.bmp");
    EXPECT_EQ(Write(c.study, path, c.width, c.height, c.factor), c.code) << c.why;
    EXPECT_FALSE(wintest::FileExists(path)) << c.why;
  }
  const Study good;
  EXPECT_EQ(Create_GaugeStudyBitmap(nullptr, nullptr, 800, 600, 1.0, "t", 2, good.readings.data(), 10, 3, 3, 0, 4,
                                    nullptr, 0),
            kGaugePageNoFileName);
  EXPECT_EQ(Create_GaugeStudyBitmap(nullptr, "", 800, 600, 1.0, "t", 2, good.readings.data(), 10, 3, 3, 0, 4, nullptr,
                                    0),
            kGaugePageNoFileName);
  const std::wstring missingFolder = Path(L"no such folder\\page.bmp");
  EXPECT_EQ(Write(good, missingFolder), kGaugePageNotWritten);
  EXPECT_FALSE(wintest::FileExists(missingFolder));
  // A folder of the file's name, and a page another program holds open without sharing, stay as they were.
  const std::wstring folder = Path(L"a folder.bmp");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  EXPECT_EQ(Write(good, folder), kGaugePageNotWritten);
  const std::wstring held = Path(L"held.bmp");
  ASSERT_TRUE(wintest::WriteFileBytes(held, "held"));
  HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Write(good, held), kGaugePageNotWritten);
  CloseHandle(holder);
  EXPECT_EQ(wintest::ReadFileBytes(held), "held");
  EXPECT_EQ(Write(good, held), kGaugePageWritten) << "once the other program let go";
  // A page its owner made read-only stays as it was.
  const std::wstring readOnly = Path(L"kept.bmp");
  ASSERT_TRUE(wintest::WriteFileBytes(readOnly, "kept"));
  SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Write(good, readOnly), kGaugePageNotWritten);
  EXPECT_EQ(wintest::ReadFileBytes(readOnly), "kept");
  SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(GaugePage, KindIsReadFromTheLowHalfOfItsSlot) {
  Study study;
  study.kind = 0x10002;
  EXPECT_EQ(Write(study, Path(L"slot.bmp")), kGaugePageWritten);
  EXPECT_TRUE(PageFile(Path(L"slot.bmp")).Valid());
}

TEST_F(GaugePage, NoDrawingObjectLeftBehindOverManyPages) {
  const Study crossed;
  const Study type1 = TypeOne(0.02);
  Write(crossed, Path(L"warm.bmp"));  // fonts and the like that the system keeps after a first use
  const size_t before = wintest::GdiObjects();
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(Write(i % 2 ? crossed : type1, Path(L"many.bmp"), 800, 600, 1.0 + (i % 3) * 0.5), kGaugePageWritten);
    Study refused;
    refused.kind = 9;
    Write(refused, Path(L"refused.bmp"));
  }
  EXPECT_EQ(wintest::GdiObjects(), before);
}

}  // namespace
