// A chart request decoded from the fuzzer's bytes (chart kind, subgroup size,
// method, limits in force or not, limit values and measured values of every
// class, 0 to 65 535 values, with the constants table loaded or empty), then
// the page layout for a size and factor from the same bytes.
//
// Properties: a request outside the contract is refused without reading the
// values; the counts above and below the limits are those of the values; the
// class counts add up to the values inside the class range, and with finite
// figures every value is counted; subgroup figures follow the size given; sane
// finite inputs give finite statistics, limits and series; every subgroup's
// location value lies within its values; the page is the size times the
// factor; every rectangle of the layout lies inside the page; no panel text
// exceeds its field.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "spc/core/page_layout.h"
#include "spc/core/spc_statistics_results.h"
#include "spc/core/stat_panel_rows.h"
#include "spc/core/spc_table.h"

namespace {

bool ReadShippedTable(std::string& text) {
  FILE* file = std::fopen(MERIDAN_DATA_DIR "/TESSAN_SPC.TAB", "rb");
  if (!file) return false;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
  std::fclose(file);
  return !text.empty();
}

// The shipped table, or the empty one a library gets when the file is missing.
void UseTable(bool shipped) {
  static std::string table;
  static int loaded = -1;
  if (loaded == int(shipped)) return;
  if (table.empty() && !ReadShippedTable(table)) {
    std::fprintf(stderr, "cannot read " MERIDAN_DATA_DIR "/TESSAN_SPC.TAB\n");
    std::abort();
  }
  if (shipped) SPC_ParseTable(table.data(), table.size());
  else SPC_ParseTable("", 0);
  loaded = int(shipped);
}

// Magnitudes whose squares and sums stay far inside double's range, and whose
// quotients by small spreads stay finite: a shop floor's numbers and then some.
bool Sane(double x) { return x == 0 || (std::fabs(x) >= 1e-100 && std::fabs(x) <= 1e100); }

struct Decoded {
  SpcRequest request{};
  std::vector<double> values;  // element 0 unused; exactly as long as the request allows
  bool shippedTable = true;
  int32_t width = 800, height = 600;
  double factor = 1.0;
};

int32_t SampleSizeFrom(fuzz::Input& input) {
  uint8_t kind = input.U8();
  if (kind < 200) return 1 + kind % 25;
  if (kind < 240) return input.U16();
  return input.I32();
}

int32_t CountFrom(fuzz::Input& input) {
  uint8_t kind = input.U8();
  if (kind < 128) return kind % 64;
  if (kind < 192) return input.U16() % 1024;
  if (kind < 250) return input.U16();
  return input.I32();
}

Decoded Decode(fuzz::Input& input) {
  Decoded d;
  SpcRequest& r = d.request;
  uint8_t flags = input.U8();
  d.shippedTable = (flags & 7) != 0;
  r.typ = (flags & 8) ? input.I16() : static_cast<int16_t>(input.U8() % 40);
  r.SampleSize = SampleSizeFrom(input);
  r.SPCNorm = (flags & 16) ? input.I16() : static_cast<int16_t>(input.U8() % 4);
  r.USLOnOff = static_cast<int8_t>(input.U8());
  r.LSLOnOff = static_cast<int8_t>(input.U8());
  r.NomSize = input.Double();
  r.USL = input.Double();
  r.LSL = (flags & 32) ? r.USL : input.Double();  // equal limits
  r.numofval = CountFrom(input);

  uint8_t page = input.U8();
  if (page & 1) {
    d.width = input.I32();
    d.height = input.I32();
  } else if (page & 2) {
    d.width = 1 + input.U16() % 2000;
    d.height = 1 + input.U16() % 2000;
  }
  if (page & 4) d.factor = input.Double();
  else if (page & 8) d.factor = 0.25 + input.U8() / 64.0;

  // The values: a pattern from the rest of the bytes, repeated up to the count.
  std::vector<double> pattern;
  const bool allEqual = flags & 64;
  while (input.Left() > 0 && pattern.size() < 4096) {
    pattern.push_back(input.Double());
    if (allEqual) break;
  }
  if (pattern.empty()) pattern.push_back(10.0);
  const bool passArray = !(flags & 128) || r.numofval != 0;
  if (passArray) {
    int32_t count = (r.numofval >= 0 && r.numofval <= 65535) ? r.numofval : 0;
    d.values.assign(static_cast<size_t>(count) + 1, 0.0);
    d.values[0] = std::numeric_limits<double>::quiet_NaN();  // never read
    for (int32_t i = 1; i <= count; ++i) d.values[i] = pattern[(i - 1) % pattern.size()];
  }
  r.meaval = passArray ? d.values.data() : nullptr;
  return d;
}

void CheckStatistics(const SpcRequest& r, const SpcResult& result, bool shippedTable) {
  const SpcStatistics& s = result.stats;
  const int32_t n = r.numofval;
  const double* x = r.meaval;
  FUZZ_CHECK(s.n == n, "n %d for %d values", s.n, n);
  int32_t above = 0, below = 0;
  bool sane = Sane(r.USL) && Sane(r.LSL) && Sane(r.NomSize);
  double largestMagnitude = std::max({std::fabs(r.USL), std::fabs(r.LSL), std::fabs(r.NomSize)});
  for (int32_t i = 1; i <= n; ++i) {
    if (r.USLOnOff > 0 && x[i] > r.USL) ++above;
    if (r.LSLOnOff > 0 && x[i] < r.LSL) ++below;
    sane = sane && Sane(x[i]);
    largestMagnitude = std::max(largestMagnitude, std::fabs(x[i]));
  }
  FUZZ_CHECK(s.countAbove == above && s.countBelow == below, "counted %d above, %d below; the values have %d, %d",
             s.countAbove, s.countBelow, above, below);
  FUZZ_CHECK(result.xPositions >= 10, "x positions %g", result.xPositions);
  FUZZ_CHECK(s.k == n / r.SampleSize && s.m == std::min(r.SampleSize, 20), "k %d m %d", s.k, s.m);

  // Histogram classes.
  const HistogramClasses& c = result.classes;
  FUZZ_CHECK(c.counts[0] == 0 && c.counts[kHistogramClasses + 1] == 0, "counts outside classes 1..15");
  int64_t counted = 0;
  int32_t tallest = 0;
  for (int i = 1; i <= kHistogramClasses; ++i) {
    FUZZ_CHECK(c.counts[i] >= 0, "class %d count %d", i, c.counts[i]);
    counted += c.counts[i];
    tallest = std::max(tallest, c.counts[i]);
  }
  int64_t inside = 0;
  for (int32_t i = 1; i <= n; ++i)
    if (c.bounds[0] <= x[i] && x[i] < c.bounds[kHistogramClasses]) ++inside;
  FUZZ_CHECK(counted == inside, "classes count %lld values, %lld lie inside the class range", (long long)counted,
             (long long)inside);
  FUZZ_CHECK(c.peak == (tallest < 10 ? 10 : tallest + 1), "peak %d for a tallest class of %d", c.peak, tallest);
  if (!sane) return;
  FUZZ_CHECK(counted == n, "of %d values only %lld are in a class (range %a .. %a)", n, (long long)counted, c.lo,
             c.hi);

  // Figures of sane finite inputs are finite.
  const double scale = std::max(largestMagnitude, 1e-300);
  FUZZ_CHECK(fuzz::Finite(s.mean) && fuzz::Finite(s.stdDev) && fuzz::Finite(s.range) && s.stdDev >= 0,
             "mean %g s %g range %g", s.mean, s.stdDev, s.range);
  for (double figure : {s.Cm, s.Cmk, s.percentOutside, s.sum, s.sumSquares})
    FUZZ_CHECK(fuzz::Finite(figure), "a figure is %g", figure);
  // A plain sum of n values is off by up to about n units in the last place.
  const double sumError = 4.0 * n * std::numeric_limits<double>::epsilon() * scale;
  if (n >= 1)
    FUZZ_CHECK(s.mean >= s.smallest - sumError && s.mean <= s.largest + sumError,
               "mean %a outside %a .. %a", s.mean, s.smallest, s.largest);
  if (!shippedTable || s.m < 2 || s.k < 1 || r.SPCNorm < 0 || r.SPCNorm > 3) return;
  FUZZ_CHECK(fuzz::Finite(s.grandMean) && fuzz::Finite(s.sigmaWithin) && s.sigmaWithin >= 0, "Z %g sigma %g",
             s.grandMean, s.sigmaWithin);
  const ControlLimits& l = result.limits;
  for (double limit : {s.Cp, s.Cpk, l.upperControl, l.upperWarning, l.lowerWarning, l.lowerControl, l.dispersionUpper,
                       l.dispersionUpperWarning, l.dispersionCentre, l.dispersionLowerWarning, l.dispersionLower})
    FUZZ_CHECK(fuzz::Finite(limit), "a limit is %g", limit);
  FUZZ_CHECK(l.upperControl >= l.lowerControl && l.dispersionUpper >= l.dispersionLower,
             "upper control %g below lower %g, or dispersion %g below %g", l.upperControl, l.lowerControl,
             l.dispersionUpper, l.dispersionLower);
}

// Each subgroup's plotted value lies within its values; the extremes are its own.
void CheckSeries(const SpcRequest& r, const SpcResult& result) {
  if (!result.seriesWritten) return;
  const SpcStatistics& s = result.stats;
  const double* location = SPC_LocationSeries();
  const double* dispersion = SPC_DispersionSeries();
  const int units = ((r.typ % 10) + 10) % 10;
  for (int32_t j = 1; j <= s.k; ++j) {
    const double* v = r.meaval + s.m * (j - 1);
    double smallest = v[1], largest = v[1];
    bool sane = true;
    for (int32_t i = 1; i <= s.m; ++i) {
      smallest = std::min(smallest, v[i]);
      largest = std::max(largest, v[i]);
      sane = sane && Sane(v[i]);
    }
    if (!sane) continue;
    const double scale = std::max(std::fabs(smallest), std::fabs(largest));
    if (units >= 6) {
      FUZZ_CHECK(location[j] == smallest && location[j + kSeriesStride] == largest, "subgroup %d extremes", j);
    } else {
      FUZZ_CHECK(location[j] >= smallest - 1e-12 * scale && location[j] <= largest + 1e-12 * scale,
                 "subgroup %d value %a outside %a .. %a", j, location[j], smallest, largest);
    }
    if (units % 3 == 1) FUZZ_CHECK(dispersion[j] == largest - smallest, "subgroup %d range %a", j, dispersion[j]);
    // A standard deviation never exceeds the range; the sum-of-squares formula
    // leaves up to about sqrt(m x eps) of the values' size even for equal values.
    if (units % 3 == 0)
      FUZZ_CHECK(fuzz::Finite(dispersion[j]) && dispersion[j] >= 0 &&
                     dispersion[j] <= (largest - smallest) * (1 + 1e-9) + 1e-7 * scale,
                 "subgroup %d deviation %a for a range of %a", j, dispersion[j], largest - smallest);
  }
}

bool Drawn(int32_t left, int32_t top, int32_t right, int32_t bottom) { return right > left && bottom > top; }

void CheckInside(const char* what, const PageLayout& page, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!Drawn(left, top, right, bottom)) return;  // an empty rectangle draws nothing
  FUZZ_CHECK(left >= 0 && top >= 0 && right <= page.pageWidth && bottom <= page.pageHeight,
             "%s (%d, %d)-(%d, %d) is not inside the page of %d x %d", what, left, top, right, bottom, page.pageWidth,
             page.pageHeight);
}

void CheckStrip(const char* what, const PageLayout& page, const TickStrip& strip) {
  if (strip.drawn && strip.scale.steps >= 1)
    CheckInside(what, page, strip.left, strip.top, strip.left + strip.width, strip.top + strip.height);
}

void CheckChart(const char* what, const PageLayout& page, const ChartArea& chart) {
  CheckInside(what, page, chart.left, chart.top, chart.left + chart.width, chart.top + chart.height);
  FUZZ_CHECK(chart.count >= 0 && chart.count <= chart.lastSample, "%s plots %d of %d samples", what, chart.count,
             chart.lastSample);
}

void CheckLayout(const Decoded& d, const SpcResult& result) {
  int32_t pageWidth = -1, pageHeight = -1;
  const bool made = SPC_PageSize(d.width, d.height, d.factor, &pageWidth, &pageHeight);
  const double w = std::trunc(d.width * d.factor), h = std::trunc(d.height * d.factor);
  const bool expected = d.width > 0 && d.height > 0 && d.factor > 0 && fuzz::Finite(d.factor) && w >= 1 && h >= 1 &&
                        w <= kMaxPageSide && h <= kMaxPageSide;
  FUZZ_CHECK(made == expected, "page %d x %d at %g made %d", d.width, d.height, d.factor, made);
  if (!made) return;
  FUZZ_CHECK(pageWidth == w && pageHeight == h, "page %d x %d for %g x %g", pageWidth, pageHeight, w, h);

  SPC_SetScale(d.factor);
  PageLayout page;
  SPC_LayoutPage(d.request, result, d.width, d.height, d.factor, &page);
  SPC_SetScale(1.0);
  FUZZ_CHECK(page.pageWidth == pageWidth && page.pageHeight == pageHeight, "layout page size");
  CheckInside("frame", page, page.frame.left, page.frame.top, page.frame.right, page.frame.bottom);
  CheckInside("plot region", page, page.plotRegion.left, page.plotRegion.top, page.plotRegion.right,
              page.plotRegion.bottom);
  CheckInside("title band", page, page.titleBand.left, page.titleBand.top, page.titleBand.right, page.titleBand.bottom);
  CheckInside("title text", page, page.titleText.left, page.titleText.top, page.titleText.right, page.titleText.bottom);
  if (!page.content) return;
  CheckInside("panel", page, page.panel.left, page.panel.top, page.panel.right, page.panel.bottom);
  CheckStrip("location axis", page, page.locationAxis);
  CheckStrip("sample axis", page, page.sampleAxis);
  CheckStrip("dispersion axis", page, page.dispersionAxis);
  CheckStrip("frequency axis", page, page.frequencyAxis);
  CheckStrip("histogram value axis", page, page.histogramValueAxis);
  CheckChart("location chart", page, page.location);
  if (page.dispersionShown) CheckChart("dispersion chart", page, page.dispersion);
  const HistogramArea& histogram = page.histogram;
  CheckInside("histogram", page, histogram.left, histogram.top, histogram.left + histogram.width,
              histogram.top + histogram.height);
}

void CheckPanelTexts(const SpcRequest& r, const SpcResult& result) {
  StatRow rows[kStatRows + 1];
  StatPanel_ComposeRows(r, result.stats, rows);
  for (int i = 1; i <= kStatRows; ++i) {
    FUZZ_CHECK(std::memchr(rows[i].label, 0, kStatFieldSize) && std::memchr(rows[i].value, 0, kStatFieldSize),
               "row %d not terminated in its field", i);
    FUZZ_CHECK(rows[i].value[0] != 0, "row %d (%s) has no value text", i, rows[i].label);
  }
  double figures[kStatisticsResultCount + 1];
  figures[0] = 12345;
  SPC_WriteStatisticsResults(result, figures);
  FUZZ_CHECK(figures[0] == 12345 && figures[1] == result.stats.n, "statistics results");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input(data, size);
  Decoded d = Decode(input);
  UseTable(d.shippedTable);
  const SpcRequest& r = d.request;
  SpcResult result;
  const bool handled = SPC_ComputeRequest(r, result);
  const bool inContract = r.SampleSize > 0 && r.numofval >= 0 && r.numofval <= 65535 && (r.numofval == 0 || r.meaval);
  FUZZ_CHECK(handled == inContract, "request with SampleSize %d, %d values, array %p handled %d", r.SampleSize,
             r.numofval, static_cast<const void*>(r.meaval), handled);
  if (!handled) return 0;
  CheckStatistics(r, result, d.shippedTable);
  CheckSeries(r, result);
  CheckPanelTexts(r, result);
  CheckLayout(d, result);
  return 0;
}
