#include "spc/core/run_test_marks.h"

#include "core/num_format.h"
#include "spc/core/plot_geometry.h"

namespace {

// Short names, test t at t - 1.
const char* const kTestNames[kRunTestCount] = {
    "beyond limits",
    "nine on one side",
    "six rising or falling",
    "fourteen alternating",
    "two of three beyond 2 sigma",
    "four of five beyond 1 sigma",
    "fifteen within 1 sigma",
    "eight beyond 1 sigma",
};

double MarkerSize(double scale) {
  const double size = scale / 1.5;
  return size < 1.0 ? 1.0 : size;
}

// With the four decimals of the statistics panel.
std::string Figure(double value) {
  char text[48];
  Num_FormatFixed(text, static_cast<float>(value), 4);
  return text;
}

void Add(std::string& line, const std::string& part, const char* separator) {
  if (!line.empty()) line += separator;
  line += part;
}

}  // namespace

int32_t RunTest_RingRadius(double scale) { return Px_Trunc(6.0 * MarkerSize(scale)); }

int RunTest_RingPenWidth(double scale) { return Px_Trunc(2.0 * MarkerSize(scale)); }

std::string RunTest_Legend(const SpcResult& result, const SpcRunTests& tests, bool markFlagged, LegendForm form) {
  const bool full = form == LegendForm::Full;
  std::string legend;
  if (result.centreGiven || result.sigmaGiven) {
    std::string given;
    if (full) {
      if (result.centreGiven) Add(given, "centre " + Figure(result.limitsCentre), ", ");
      if (result.sigmaGiven) Add(given, "sigma " + Figure(result.limitsSigma), ", ");
      legend = "Historical limits: " + given;
    } else {
      legend = "Historical limits " + (result.centreGiven ? Figure(result.limitsCentre) : std::string("-")) + " / " +
               (result.sigmaGiven ? Figure(result.limitsSigma) : std::string("-"));
    }
  }
  if (!markFlagged) return legend;
  std::string fired;
  for (int t = 0; t < kRunTestCount; ++t)
    if (tests.counts[t])
      Add(fired, std::to_string(t + 1) + (full ? std::string(" ") + kTestNames[t] : "") + " (" +
                     std::to_string(tests.counts[t]) + ")",
          ", ");
  if (tests.dispersionCount)
    Add(fired, std::string(full ? "dispersion beyond limits" : "dispersion") + " (" +
                   std::to_string(tests.dispersionCount) + ")",
        ", ");
  if (!tests.applied && !tests.dispersionTested) fired = "none apply to this chart";
  if (fired.empty()) fired = "no point flagged";
  Add(legend, (full ? "Run tests: " : "Run tests (points): ") + fired, "   ");
  return legend;
}

const char* RunTest_Name(int t) { return t >= 1 && t <= kRunTestCount ? kTestNames[t - 1] : ""; }
