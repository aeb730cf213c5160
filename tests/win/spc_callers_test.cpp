// Two threads of one host asking for chart and capability pages and figures at the same time:
// each must get exactly the page and the figures it would get alone, byte for
// byte, as if the requests had been made one after the other. The same for
// gauge study pages and figures asked beside chart pages.
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "spc_page_support.h"

namespace {

using namespace spctest;

constexpr int kFigures = 49;  // element 0 and the 48 figures

struct Caller {
  std::vector<Request> requests;
  std::vector<std::string> pages;               // expected, made alone
  std::vector<std::vector<double>> figures;     // expected, made alone
  int wrongPages = 0, wrongFigures = 0;
};

std::vector<double> Figures(const Request& r) {
  std::vector<double> results(kFigures, -7.0);
  Create_SPCStatistics(r.typ, r.values.data(), r.Count(), r.nom, r.usl, r.lsl, r.uslOn, r.lslOn, r.sampleSize, r.norm,
                       results.data());
  return results;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Two different mixes: control charts at factor 1 and 2, a run chart, a medians chart.
Caller FirstCaller() {
  Caller c;
  Request means;
  means.width = 320, means.height = 240, means.typ = 10, means.norm = 2;
  Request medians = means;
  medians.typ = 14, medians.factor = 2, medians.values = Values(400, 25.0, 0.3), medians.nom = 25;
  medians.usl = 25.4, medians.lsl = 24.6;
  c.requests = {means, medians};
  return c;
}

Caller SecondCaller() {
  Caller c;
  Request run = RunChartOf(Values(260, 12.5, 0.02));
  run.width = 300, run.height = 200, run.nom = 12.5, run.usl = 12.52, run.lsl = 12.48, run.factor = 1.5;
  Request extremes;
  extremes.width = 280, extremes.height = 210, extremes.typ = 17, extremes.sampleSize = 8, extremes.norm = 1;
  extremes.values = Values(1000, 100.0, 0.05), extremes.nom = 100, extremes.usl = 100.1, extremes.lsl = 99.9;
  c.requests = {run, extremes};
  return c;
}

void MakeAlone(Caller& c, const std::wstring& file) {
  for (const Request& r : c.requests) {
    r.Write(file);
    c.pages.push_back(wintest::ReadFileBytes(file));
    c.figures.push_back(Figures(r));
  }
}

void MakeAtOnce(Caller& c, const std::wstring& file, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < c.requests.size(); ++i) {
      c.requests[i].Write(file);
      c.wrongPages += wintest::ReadFileBytes(file) != c.pages[i];
      c.wrongFigures += !SameBits(Figures(c.requests[i]), c.figures[i]);
    }
  }
}

TEST_F(SpcPage, TwoCallersAtOnceEachGetTheirOwnPagesAndFigures) {
  Caller first = FirstCaller(), second = SecondCaller();
  MakeAlone(first, File(L"first.bmp"));
  MakeAlone(second, File(L"second.bmp"));
  for (const std::string& page : first.pages) ASSERT_GT(page.size(), 54u);
  for (const std::string& page : second.pages) ASSERT_GT(page.size(), 54u);
  ASSERT_NE(first.figures[0], second.figures[0]);

  const int rounds = 12;
  std::thread other([&] { MakeAtOnce(second, File(L"second.bmp"), rounds); });
  MakeAtOnce(first, File(L"first.bmp"), rounds);
  other.join();
  EXPECT_EQ(first.wrongPages, 0) << "of " << rounds * 2;
  EXPECT_EQ(first.wrongFigures, 0) << "of " << rounds * 2;
  EXPECT_EQ(second.wrongPages, 0) << "of " << rounds * 2;
  EXPECT_EQ(second.wrongFigures, 0) << "of " << rounds * 2;
}

// Figures alone, many at a time: the cheap request that a sheet recalculating
// on several threads would make.
TEST_F(SpcPage, FourThreadsOfFiguresEachGetTheirOwn) {
  std::vector<Request> requests(4);
  for (int t = 0; t < 4; ++t) {
    requests[t].values = Values(20000 + 3000 * t, 10.0 + t, 0.1 * (t + 1));
    requests[t].typ = 10 + 3 * t;
    requests[t].sampleSize = 3 + t;
  }
  std::vector<std::vector<double>> alone;
  for (const Request& r : requests) alone.push_back(Figures(r));
  int wrong[4] = {};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 100; ++i) wrong[t] += !SameBits(Figures(requests[t]), alone[t]);
    });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t << " of 100";
}

// The further charts' pages and figures beside the SPC pages: each thread
// mixes both kinds of page (at different scale factors, which the request
// lock keeps apart) with chart figures, and gets what it would get alone.
struct ChartCaller {
  struct Chart {
    uint32_t chart;
    std::vector<double> values, sizes;
    int32_t sampleSize;
    double factor;
    std::vector<double> options;
  };
  Request spcPage;
  std::vector<Chart> charts;
  std::string spcAlone;
  std::vector<std::string> pagesAlone;
  std::vector<std::vector<double>> figuresAlone;
  int wrongPages = 0, wrongFigures = 0;
};

std::string ChartPageOf(const ChartCaller::Chart& c, const std::wstring& file) {
  const std::string name = Narrow(file);
  Create_ChartBitmap(nullptr, name.c_str(), 300, 220, c.factor, "Two callers", c.chart, c.values.data(),
                     c.sizes.empty() ? nullptr : c.sizes.data(), static_cast<int32_t>(c.values.size()) - 1,
                     c.sampleSize, 3, c.options.data(), static_cast<int32_t>(c.options.size()) - 1);
  return wintest::ReadFileBytes(file);
}

std::vector<double> ChartFiguresOf(const ChartCaller::Chart& c) {
  const int32_t count = static_cast<int32_t>(c.values.size()) - 1;
  std::vector<double> results(36 + 5 * count, -7.0);
  Create_ChartStatistics(c.chart, c.values.data(), c.sizes.empty() ? nullptr : c.sizes.data(), count, c.sampleSize,
                         3, c.options.data(), static_cast<int32_t>(c.options.size()) - 1, results.data(),
                         static_cast<int32_t>(results.size()) - 1);
  return results;
}

void MakeChartsAlone(ChartCaller& c, const std::wstring& file) {
  c.spcPage.Write(file);
  c.spcAlone = wintest::ReadFileBytes(file);
  for (const ChartCaller::Chart& chart : c.charts) {
    c.pagesAlone.push_back(ChartPageOf(chart, file));
    c.figuresAlone.push_back(ChartFiguresOf(chart));
  }
}

void MakeChartsAtOnce(ChartCaller& c, const std::wstring& file, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    c.spcPage.Write(file);
    c.wrongPages += wintest::ReadFileBytes(file) != c.spcAlone;
    for (size_t i = 0; i < c.charts.size(); ++i) {
      c.wrongPages += ChartPageOf(c.charts[i], file) != c.pagesAlone[i];
      c.wrongFigures += !SameBits(ChartFiguresOf(c.charts[i]), c.figuresAlone[i]);
    }
  }
}

TEST_F(SpcPage, TwoCallersOfChartPagesAndFiguresEachGetTheirOwn) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ChartCaller first, second;
  first.spcPage.width = 320, first.spcPage.height = 240, first.spcPage.factor = 1.5;
  first.charts = {{1, Values(80, 10.0, 0.1), {}, 1, 1.0, {nan, nan, nan, 255, 1}},
                  {3, Values(200, 10.0, 0.1), {}, 4, 2.0, {nan, 10.02, 0.05, 255, 1}}};
  std::vector<double> counts{nan}, sizes{nan};
  for (int i = 1; i <= 40; ++i) {
    sizes.push_back(50.0 + 25 * (i % 4));
    counts.push_back(std::floor(sizes.back() * (0.08 + 0.04 * std::sin(i))));
  }
  second.spcPage = RunChartOf(Values(150, 12.5, 0.02));
  second.spcPage.width = 300, second.spcPage.height = 200;
  second.charts = {{4, counts, sizes, 1, 1.25, {nan, nan, nan, 255, 1}},
                   {2, Values(120, 5.0, 0.2), {}, 3, 1.0, {nan, nan, nan, nan, nan, 0.1, 2.7}}};
  MakeChartsAlone(first, File(L"first.bmp"));
  MakeChartsAlone(second, File(L"second.bmp"));
  for (const ChartCaller* c : {&first, &second})
    for (const std::string& page : c->pagesAlone) ASSERT_GT(page.size(), 54u);

  const int rounds = 8;
  std::thread other([&] { MakeChartsAtOnce(second, File(L"second.bmp"), rounds); });
  MakeChartsAtOnce(first, File(L"first.bmp"), rounds);
  other.join();
  EXPECT_EQ(first.wrongPages, 0) << "of " << rounds * 3;
  EXPECT_EQ(first.wrongFigures, 0) << "of " << rounds * 2;
  EXPECT_EQ(second.wrongPages, 0) << "of " << rounds * 3;
  EXPECT_EQ(second.wrongFigures, 0) << "of " << rounds * 2;
}

// A capability page shares the SPC pages' scale and table of drawing objects:
// one thread making SPC pages while another makes capability pages (at
// another scale) and their figures, each gets exactly what it gets alone.
struct CapabilityCall {
  std::vector<double> values = Values(150, 0.02, 0.015);
  std::vector<double> options{std::numeric_limits<double>::quiet_NaN(), 0.0, 0.9, 2};
  int32_t Page(const std::wstring& file) const {
    std::string name = Narrow(file);
    return Create_CapabilityBitmap(nullptr, name.c_str(), 400, 300, 1.5, "Runout", values.data(),
                                   static_cast<int32_t>(values.size()) - 1, 1, 0, 0, 0.08, 0, 1, 0, options.data(), 3);
  }
  std::vector<double> Figures() const {
    std::vector<double> results(56, -7.0);
    Create_CapabilityStatistics(values.data(), static_cast<int32_t>(values.size()) - 1, 1, 0, 0, 0.08, 0, 1, 0,
                                options.data(), 3, results.data(), 55);
    return results;
  }
};

TEST_F(SpcPage, CapabilityPagesBesideSpcPagesEachGetTheirOwn) {
  Caller spc = FirstCaller();
  MakeAlone(spc, File(L"spc.bmp"));
  const CapabilityCall capability;
  ASSERT_EQ(capability.Page(File(L"capability.bmp")), 0);
  const std::string page = wintest::ReadFileBytes(File(L"capability.bmp"));
  const std::vector<double> figures = capability.Figures();
  ASSERT_EQ(page.size(), 54u + 600 * 450 * 4);

  const int rounds = 12;
  int wrongPages = 0, wrongFigures = 0;
  std::thread other([&] {
    for (int round = 0; round < rounds; ++round) {
      wrongPages += capability.Page(File(L"capability.bmp")) != 0 ||
                    wintest::ReadFileBytes(File(L"capability.bmp")) != page;
      wrongFigures += !SameBits(capability.Figures(), figures);
    }
  });
  MakeAtOnce(spc, File(L"spc.bmp"), rounds);
  other.join();
  EXPECT_EQ(wrongPages, 0) << "of " << rounds;
  EXPECT_EQ(wrongFigures, 0) << "of " << rounds;
  EXPECT_EQ(spc.wrongPages, 0) << "of " << rounds * 2;
  EXPECT_EQ(spc.wrongFigures, 0) << "of " << rounds * 2;
}

}  // namespace

// A crossed study of `parts` x 3 appraisers x 3 trials (element 0 never read).
std::vector<double> GaugeReadings(int parts, double centre) {
  std::vector<double> readings{std::numeric_limits<double>::quiet_NaN()};
  for (int a = 0; a < 3; ++a)
    for (int p = 0; p < parts; ++p)
      for (int t = 0; t < 3; ++t) readings.push_back(centre + 0.01 * p + 0.002 * a + 0.001 * ((a * 7 + p * 3 + t) % 5));
  return readings;
}

struct GaugeCaller {
  std::vector<double> readings;
  int parts;
  double factor;
  std::string page;
  std::vector<double> figures;
  int wrongPages = 0, wrongFigures = 0;

  void Make(const std::wstring& file) const {
    const std::string name(file.begin(), file.end());
    Create_GaugeStudyBitmap(nullptr, name.c_str(), 320, 240, factor, "gauge", 2, readings.data(), parts, 3, 3, 0, 0.5,
                            nullptr, 0);
  }
  std::vector<double> Figures() const {
    std::vector<double> results(82, -7.0);
    Create_GaugeStudyStatistics(2, readings.data(), parts, 3, 3, 0, 0.5, nullptr, 0, results.data(), 81);
    return results;
  }
};

TEST_F(SpcPage, GaugePagesBesideChartPagesEachGetTheirOwn) {
  GaugeCaller gauge{GaugeReadings(8, 30.0), 8, 1.5, "", {}};
  gauge.Make(File(L"gauge.bmp"));
  gauge.page = wintest::ReadFileBytes(File(L"gauge.bmp"));
  gauge.figures = gauge.Figures();
  ASSERT_GT(gauge.page.size(), 54u);
  Caller chart = FirstCaller();
  MakeAlone(chart, File(L"chart.bmp"));

  const int rounds = 10;
  std::thread other([&] { MakeAtOnce(chart, File(L"chart.bmp"), rounds); });
  for (int round = 0; round < rounds; ++round) {
    gauge.Make(File(L"gauge.bmp"));
    gauge.wrongPages += wintest::ReadFileBytes(File(L"gauge.bmp")) != gauge.page;
    gauge.wrongFigures += !SameBits(gauge.Figures(), gauge.figures);
  }
  other.join();
  EXPECT_EQ(gauge.wrongPages, 0) << "of " << rounds;
  EXPECT_EQ(gauge.wrongFigures, 0) << "of " << rounds;
  EXPECT_EQ(chart.wrongPages, 0) << "of " << rounds * 2;
  EXPECT_EQ(chart.wrongFigures, 0) << "of " << rounds * 2;
}

TEST_F(SpcPage, TwoGaugeCallersAtOnceEachGetTheirOwnPagesAndFigures) {
  GaugeCaller first{GaugeReadings(10, 25.0), 10, 1.0, "", {}}, second{GaugeReadings(6, 12.0), 6, 2.0, "", {}};
  for (GaugeCaller* c : {&first, &second}) {
    const std::wstring file = File(c == &first ? L"first_gauge.bmp" : L"second_gauge.bmp");
    c->Make(file);
    c->page = wintest::ReadFileBytes(file);
    c->figures = c->Figures();
    ASSERT_GT(c->page.size(), 54u);
  }
  const int rounds = 10;
  auto run = [&](GaugeCaller& c, const std::wstring& file) {
    for (int round = 0; round < rounds; ++round) {
      c.Make(file);
      c.wrongPages += wintest::ReadFileBytes(file) != c.page;
      c.wrongFigures += !SameBits(c.Figures(), c.figures);
    }
  };
  std::thread other([&] { run(second, File(L"second_gauge.bmp")); });
  run(first, File(L"first_gauge.bmp"));
  other.join();
  for (const GaugeCaller* c : {&first, &second}) {
    EXPECT_EQ(c->wrongPages, 0) << "of " << rounds;
    EXPECT_EQ(c->wrongFigures, 0) << "of " << rounds;
  }
}
