// Two threads of one host asking for chart pages and figures at the same time:
// each must get exactly the page and the figures it would get alone, byte for
// byte, as if the requests had been made one after the other. The same for
// gauge study pages and figures asked beside chart pages.
#include <cstring>
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

}  // namespace
