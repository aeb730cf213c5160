// Cost of the chart request computations per value, for 125, 10 000 and
// 65 535 values, against a plain pass that sums the same values (measured in
// the same run). The cost per value should stay about the same as the count
// grows: the computations are linear in the number of values. Beside each,
// the request's earlier loops (spc_request_reference.cpp) on the same values,
// after checking that both give the same figures bit for bit.
//   ./run bench spc_compute
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_timing.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_table.h"

// The request with its earlier loops (spc_request_reference.cpp).
bool SPC_ComputeRequestReference(const SpcRequest& request, SpcResult& result, const SpcGivenLimits* given);
double* SPC_LocationSeriesReference();
double* SPC_DispersionSeriesReference();

namespace {

// Constants for the subgroup sizes measured (3, 5, 20) and the quantiles read.
const char kTable[] =
    "3 \"1.160\"\r\n5 \"1.198\"\r\n20 \"1.212\"\r\n"
    "103 \"0.8862\"\r\n105 \"0.9400\"\r\n120 \"0.9869\"\r\n"
    "253 \"1.693\"\r\n255 \"2.326\"\r\n270 \"3.735\"\r\n"
    "333 \"0\"\r\n335 \"0\"\r\n350 \"0.504\"\r\n363 \"2.276\"\r\n365 \"1.964\"\r\n380 \"1.470\"\r\n"
    "393 \"0\"\r\n395 \"0\"\r\n410 \"1.549\"\r\n423 \"4.358\"\r\n425 \"4.918\"\r\n440 \"5.921\"\r\n"
    "683 \"0.4761\"\r\n684 \"0.4789\"\r\n900 \"1.2816\"\r\n950 \"1.6449\"\r\n975 \"1.9600\"\r\n";

struct Kind {
  const char* name;
  int16_t typ;
  int32_t sampleSize;
  int16_t norm;
};

const Kind kKinds[] = {
    {"x-bar/R m=5", 11, 5, 1},
    {"median/s m=20", 13, 20, 2},
    {"single acceptance m=3", 27, 3, 3},
};

volatile double sink;

// A pool much larger than any request: each repetition reads another window of
// it, so that small requests cannot be learned by the branch predictor.
constexpr int kPoolSize = 1 << 18;

std::vector<double> MakePool() {
  std::vector<double> values(kPoolSize);
  unsigned state = 12345;
  for (double& value : values) {
    state = state * 1103515245u + 12345u;
    value = 10.0 + (static_cast<int>((state >> 8) % 2001) - 1000) * 0.0001;
  }
  return values;
}

// Element 0 of the window of the repetition-th request of `count` values.
const double* Window(const std::vector<double>& pool, int count, long repetition) {
  long offset = (repetition * 7919L) % (kPoolSize - count - 1);
  return pool.data() + offset;
}

// Best time per value over five runs, each repeated until it lasts at least 30 ms.
template <typename Work>
double NanosecondsPerValue(int count, Work work) {  // work(repetition)
  return bench::BestSecondsPerRepetition(5, std::chrono::milliseconds(30), work) * 1e9 / count;
}

bool SameBits(const void* a, const void* b, size_t size) { return std::memcmp(a, b, size) == 0; }

// Both ways give the same figures, bit for bit: the statistics, limits, classes and series.
bool SameFigures(const SpcRequest& request) {
  SpcResult today, earlier;
  SPC_ComputeRequest(request, today);
  SPC_ComputeRequestReference(request, earlier, nullptr);
  const SpcStatistics &a = today.stats, &b = earlier.stats;
  const double figures[][2] = {{a.largest, b.largest}, {a.smallest, b.smallest}, {a.sum, b.sum},
                               {a.sumSquares, b.sumSquares}, {a.mean, b.mean}, {a.stdDev, b.stdDev},
                               {a.Cm, b.Cm}, {a.Cmk, b.Cmk}, {a.grandMean, b.grandMean},
                               {a.sigmaWithin, b.sigmaWithin}, {a.Cp, b.Cp}, {a.Cpk, b.Cpk},
                               {today.limits.upperControl, earlier.limits.upperControl},
                               {today.limits.lowerControl, earlier.limits.lowerControl}};
  for (const auto& pair : figures)
    if (!SameBits(&pair[0], &pair[1], sizeof(double))) return false;
  const size_t k = static_cast<size_t>(a.k) + 1;
  return a.countAbove == b.countAbove && a.countBelow == b.countBelow &&
         SameBits(today.classes.counts, earlier.classes.counts, sizeof today.classes.counts) &&
         SameBits(SPC_LocationSeries(), SPC_LocationSeriesReference(), k * sizeof(double)) &&
         SameBits(SPC_DispersionSeries(), SPC_DispersionSeriesReference(), k * sizeof(double));
}

}  // namespace

int main() {
  SPC_ParseTable(kTable, std::strlen(kTable));
  const int counts[] = {125, 10000, 65535};
  std::printf("Chart request computations: nanoseconds per value (best of 5), and the ratio to a plain\n"
              "sum of the same values measured in this run. Linear growth keeps both steady down a column.\n"
              "Each kind: the earlier loops, then today's (the same figures, bit for bit).\n\n");
  std::printf("%8s %12s", "values", "sum");
  for (const Kind& kind : kKinds) std::printf(" %42s", kind.name);
  std::printf("\n");
  const std::vector<double> pool = MakePool();
  for (int count : counts) {
    double baseline = NanosecondsPerValue(count, [&](long repetition) {
      const double* values = Window(pool, count, repetition);
      double sum = 0.0;
      for (int i = 1; i <= count; ++i) sum += values[i];
      sink = sum;
    });
    std::printf("%8d %9.2f ns", count, baseline);
    for (const Kind& kind : kKinds) {
      SpcRequest request{kind.typ, nullptr, count, 10.0, 10.08, 9.92, 1, 1, kind.sampleSize, kind.norm};
      SpcResult result;
      request.meaval = Window(pool, count, 0);
      if (!SameFigures(request)) {
        std::printf("\nthe earlier and today's loops differ for %s, %d values\n", kind.name, count);
        return 1;
      }
      double earlier = NanosecondsPerValue(count, [&](long repetition) {
        request.meaval = Window(pool, count, repetition);
        SPC_ComputeRequestReference(request, result, nullptr);
        sink = result.stats.Cpk;
      });
      double ns = NanosecondsPerValue(count, [&](long repetition) {
        request.meaval = Window(pool, count, repetition);
        SPC_ComputeRequest(request, result);
        sink = result.stats.Cpk;
      });
      std::printf(" %8.2f (%5.1f x) -> %6.2f ns (%5.1f x)", earlier, earlier / baseline, ns, ns / baseline);
    }
    std::printf("\n");
  }
  return 0;
}
