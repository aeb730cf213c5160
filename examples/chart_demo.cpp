// Demo client of the further control charts, as a macro would use them: one
// page of each chart kind from simulated shop-floor data, written into the
// folder given on the command line (default: the current one), with the first
// signal of each chart from Create_ChartStatistics.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "meridan_api.h"

namespace {

constexpr double kNaN = NAN;

// Readings of a process, from element 1 on (element 0 is never read by the library).
struct Series {
  std::vector<double> values{kNaN}, sizes{kNaN};
  int32_t Count() const { return static_cast<int32_t>(values.size()) - 1; }
  const double* Sizes() const { return sizes.size() > 1 ? sizes.data() : nullptr; }
};

struct Page {
  const char* file;
  const char* title;
  uint32_t chart;
  const Series* data;
  int32_t sampleSize;
  std::vector<double> options;  // element 0 is never read
};

// The figures of the chart: 2 points, 3 centre, 9 and 10 the limits, 35 the first signal.
std::vector<double> Figures(const Page& p) {
  std::vector<double> figures(36 + 5 * p.data->Count(), 0.0);
  Create_ChartStatistics(p.chart, p.data->values.data(), p.data->Sizes(), p.data->Count(), p.sampleSize, 3,
                         p.options.data(), static_cast<int32_t>(p.options.size()) - 1, figures.data(),
                         static_cast<int32_t>(figures.size()) - 1);
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? std::string(argv[1]) + "\\" : "";
  const int32_t width = argc > 2 ? std::atoi(argv[2]) : 800;  // the pages' width in pixels; height 3/4 of it
  std::mt19937 random(20261209);
  std::normal_distribution<double> noise(0.0, 1.0);

  // A shaft turned on a warming machine: the diameter (target 25.000 mm, σ 0.004 mm from
  // earlier runs) is steady for 30 parts, then grows by 0.03 σ per part.
  const double target = 25.0, sigma = 0.004;
  Series shafts;
  for (int i = 1; i <= 100; ++i)
    shafts.values.push_back(target + sigma * (noise(random) + (i > 30 ? 0.03 * (i - 30) : 0)));
  // The same machine's single readings of a bore, in control.
  Series bores;
  for (int i = 1; i <= 50; ++i) bores.values.push_back(12.5 + 0.002 * noise(random));

  // Go/no-go checks of lots of varying size, and of lots of 100; defects on 25 panels,
  // and on rolls of varying length.
  std::binomial_distribution<int> none(1, 0.5);
  Series lots, equalLots, panels, rolls;
  for (int i = 1; i <= 30; ++i) {
    const int size = 80 + 20 * static_cast<int>(random() % 7);
    const double p = i == 22 ? 0.16 : 0.05;
    lots.sizes.push_back(size);
    lots.values.push_back(std::binomial_distribution<int>(size, p)(random));
    equalLots.sizes.push_back(100);
    equalLots.values.push_back(std::binomial_distribution<int>(100, i == 12 ? 0.15 : 0.05)(random));
  }
  for (int i = 1; i <= 25; ++i) panels.values.push_back(std::poisson_distribution<int>(i == 18 ? 14.0 : 5.0)(random));
  for (int i = 1; i <= 25; ++i) {
    const double length = 0.5 + 0.25 * static_cast<double>(random() % 5);
    rolls.sizes.push_back(length);
    rolls.values.push_back(std::poisson_distribution<int>(2.0 * length)(random));
  }

  const std::vector<double> historical = {kNaN, target, sigma, 255, 1};
  const Page pages[] = {
      {"chart_individuals.bmp", "Bore 12.5 mm - single readings, individuals and moving ranges", 1, &bores, 1,
       {kNaN, kNaN, kNaN, 255, 1}},
      {"chart_shewhart.bmp", "Shaft 25 mm on a warming machine - individuals chart", 1, &shafts, 1, historical},
      {"chart_ewma.bmp", "Shaft 25 mm on a warming machine - EWMA (lambda 0.2, L 3)", 2, &shafts, 1, historical},
      {"chart_cusum.bmp", "Shaft 25 mm on a warming machine - CUSUM (k 0.5, h 5)", 3, &shafts, 1, historical},
      {"chart_p.bmp", "Go/no-go check - p chart, lots of varying size", 4, &lots, 1, {kNaN, kNaN, kNaN, 255, 1}},
      {"chart_np.bmp", "Go/no-go check - np chart, lots of 100", 5, &equalLots, 1, {kNaN, kNaN, kNaN, 255, 1}},
      {"chart_c.bmp", "Visual check - c chart, defects per panel", 6, &panels, 1, {kNaN, kNaN, kNaN, 255, 1}},
      {"chart_u.bmp", "Visual check - u chart, defects per metre of roll", 7, &rolls, 1, {kNaN, kNaN, kNaN, 255, 1}},
  };
  double firstBeyond[4] = {};  // by chart: the first point beyond a limit (test 1, or the upper sum's signal)
  for (const Page& p : pages) {
    const std::string path = folder + p.file;
    const int32_t code = Create_ChartBitmap(nullptr, path.c_str(), width, width * 3 / 4, 1.0, p.title, p.chart,
                                           p.data->values.data(), p.data->Sizes(), p.data->Count(), p.sampleSize, 3,
                                           p.options.data(), static_cast<int32_t>(p.options.size()) - 1);
    const std::vector<double> f = Figures(p);
    std::printf("%-22s chart %u, %3.0f points: centre %.4f, limits %.4f / %.4f, first point flagged: %s\n", p.file,
                p.chart, f[2], f[3], f[10], f[9], f[35] ? std::to_string(static_cast<int>(f[35])).c_str() : "none");
    if (p.data == &shafts) firstBeyond[p.chart] = f[27];
    if (code != MERIDAN_CHART_PAGE_DRAWN) std::printf("  Create_ChartBitmap answered %d\n", code);
  }
  auto when = [](double point) { return point ? "at part " + std::to_string(static_cast<int>(point)) : std::string("not at all"); };
  std::printf("The shaft drifts from part 31 on: the CUSUM signals %s, the EWMA %s, the individuals chart's limits see "
              "it %s.\n",
              when(firstBeyond[3]).c_str(), when(firstBeyond[2]).c_str(), when(firstBeyond[1]).c_str());
  return 0;
}
