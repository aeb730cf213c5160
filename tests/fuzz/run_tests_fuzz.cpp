// The run tests and given (historical) limits of a chart request decoded from
// the fuzzer's bytes: chart kind, subgroup size, method, specification limits and values
// of every class, an options array (given centre and σ̂ that may be NaN, ±∞, 0
// or negative, a test mask of any number, marking) with any element count, and
// a capacity for the figures.
//
// Properties: options or given limits outside the contract are refused and
// nothing is written; the figures are never written past the capacity, and
// their test figures are those of the subgroup flags (counts per bit, first
// flagged subgroup, 0 for none); flags follow a plain running-count reading
// of the eight tests written here; a point that is not a number is never
// flagged; test 1 flags exactly the points strictly beyond the limits; without
// given values the 48 figures are those of the plain request bit for bit;
// giving back the data's own centre and σ̂ reproduces the limits exactly;
// given values change only the limits, never the data's figures or series;
// the legend texts end inside the buffers they are made in.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "run_test_counts.h"
#include "spc/core/run_test_marks.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_request_options.h"
#include "spc/core/spc_run_test_figures.h"
#include "spc/core/spc_run_tests.h"
#include "spc/core/spc_statistics_results.h"
#include "spc/core/spc_table.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kFixedFigures = kFigureSubgroupFlags - 1;  // 69
constexpr double kUnwritten = -7.25e-301;                // in every element the library must not write

struct Decoded {
  SpcRequest request{};
  std::vector<double> values;   // element 0 unused
  std::vector<double> options;  // element 0 never read; null array when empty and the count says so
  int32_t optionCount = 0;
  bool optionArray = true;
  bool ownLimitsBack = false;   // give back the data's own centre and σ̂
  int32_t capacity = 0;
};

// A given centre or σ̂: often one of the awkward values, else any double.
double GivenValue(fuzz::Input& input) {
  const uint8_t kind = input.U8();
  switch (kind % 8) {
    case 0: return kNaN;
    case 1: return (kind & 8) ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    case 2: return (kind & 8) ? -0.0 : 0.0;
    case 3: return -std::fabs(input.Double());
    default: return input.Double();
  }
}

double MaskValue(fuzz::Input& input) {
  const uint8_t kind = input.U8();
  if (kind < 200) return input.U8();
  if (kind < 220) return kNaN;
  return input.Double();  // fractions, negatives, 256 and up: refused
}

Decoded Decode(fuzz::Input& input) {
  Decoded d;
  SpcRequest& r = d.request;
  const uint8_t flags = input.U8();
  r.typ = (flags & 1) ? input.I16() : static_cast<int16_t>(input.U8() % 40);
  const uint8_t size = input.U8();
  r.SampleSize = size < 240 ? 1 + size % 25 : input.I32();
  r.SPCNorm = (flags & 2) ? input.I16() : static_cast<int16_t>(input.U8() % 4);
  r.USLOnOff = static_cast<int8_t>(input.U8());
  r.LSLOnOff = static_cast<int8_t>(input.U8());
  r.NomSize = input.Double();
  r.USL = input.Double();
  r.LSL = input.Double();
  const uint8_t count = input.U8();
  r.numofval = count < 200 ? count : (count < 250 ? input.U16() % 4096 : input.I32());

  const uint8_t optionKind = input.U8();
  d.optionCount = optionKind < 230 ? optionKind % 7 : input.I32();
  d.optionArray = (optionKind & 0x80) == 0 || optionKind >= 230;
  d.ownLimitsBack = (optionKind & 0x40) != 0;
  // The library reads no element past the known ones, so seven elements serve any count.
  const int32_t elements = std::clamp(d.optionCount, 0, 6);
  d.options.assign(7, kNaN);
  if (elements >= kOptionGivenCentre) d.options[kOptionGivenCentre] = GivenValue(input);
  if (elements >= kOptionGivenSigma) d.options[kOptionGivenSigma] = GivenValue(input);
  if (elements >= kOptionRunTests) d.options[kOptionRunTests] = MaskValue(input);
  if (elements >= kOptionMarkFlagged) d.options[kOptionMarkFlagged] = input.Double();
  for (int32_t e = kOptionMarkFlagged + 1; e <= elements; ++e) d.options[e] = input.Double();  // unknown: ignored

  const uint8_t capacityKind = input.U8();
  if (capacityKind < 64) d.capacity = capacityKind;                 // inside the 69 fixed figures
  else if (capacityKind < 128) d.capacity = kFixedFigures + capacityKind % 64;
  else if (capacityKind < 250) d.capacity = input.U16() % 8192;
  else d.capacity = -static_cast<int32_t>(input.U8());

  // The values: a pattern from the rest of the bytes, repeated up to the count;
  // runs of equal values come from a pattern of one.
  std::vector<double> pattern;
  while (input.Left() > 0 && pattern.size() < 4096) {
    pattern.push_back(input.Double());
    if (flags & 4) break;
  }
  if (pattern.empty()) pattern.push_back(10.0);
  const int32_t values = (r.numofval >= 0 && r.numofval <= 65535) ? r.numofval : 0;
  d.values.assign(static_cast<size_t>(values) + 1, kNaN);
  for (int32_t i = 1; i <= values; ++i) d.values[i] = pattern[(i - 1) % pattern.size()];
  r.meaval = d.values.data();
  return d;
}

struct SeriesCopy {
  std::vector<double> location, largest, dispersion;
};

SeriesCopy CopySeries(int32_t k) {
  const size_t n = static_cast<size_t>(std::max(k, 0)) + 1;
  const double* location = SPC_LocationSeries();
  const double* dispersion = SPC_DispersionSeries();
  return {{location, location + n}, {location + kSeriesStride, location + kSeriesStride + n},
          {dispersion, dispersion + n}};
}

bool SameBits(const void* a, const void* b, size_t bytes) { return std::memcmp(a, b, bytes) == 0; }

// NaN values make vectors compare unequal to themselves: compare the bits.
bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && SameBits(a.data(), b.data(), a.size() * sizeof(double));
}

bool SameLimits(const ControlLimits& a, const ControlLimits& b) {
  const double first[] = {a.upperControl, a.upperWarning, a.lowerWarning, a.lowerControl, a.dispersionUpper,
                          a.dispersionUpperWarning, a.dispersionCentre, a.dispersionLowerWarning, a.dispersionLower};
  const double second[] = {b.upperControl, b.upperWarning, b.lowerWarning, b.lowerControl, b.dispersionUpper,
                           b.dispersionUpperWarning, b.dispersionCentre, b.dispersionLowerWarning, b.dispersionLower};
  return SameBits(first, second, sizeof first) && a.limitsPresent == b.limitsPresent &&
         a.warningPresent == b.warningPresent && a.seriesCount == b.seriesCount;
}

// Figures 18 to 21 and 25 to 29 are limits; the other 39 of the 48 are the data's own.
bool IsLimitFigure(int i) { return (i >= 18 && i <= 21) || (i >= 25 && i <= 29); }

void CheckFlags(const SpcResult& result, const SpcRunTests& tests, uint8_t asked) {
  const int32_t k = result.stats.k;
  FUZZ_CHECK(tests.flags.size() == static_cast<size_t>(std::max(k, 0)) + 1 && tests.flags[0] == 0, "flags for %d",
             k);
  FUZZ_CHECK(tests.applied == (asked & result.runTestsAllowed), "applied %#x", tests.applied);
  const RunTestSeries location = SPC_LocationTestSeries(result);
  const RunTestSeries dispersion = SPC_DispersionTestSeries(result);
  FUZZ_CHECK(tests.applied == 0 || (location.count == k && SameBits(&location.centre, &result.limitsCentre, sizeof(double))),
             "tested %d points around %g", location.count, location.centre);
  // A chart kind without a dispersion chart tests no dispersion points: no flags expected there.
  std::vector<uint16_t> expected = fuzz::RunningCountFlags(location, tests.applied);
  std::vector<uint16_t> expectedDispersion = fuzz::RunningCountFlags(dispersion, tests.dispersionTested ? 1 : 0);
  expected.resize(tests.flags.size(), 0);
  expectedDispersion.resize(tests.flags.size(), 0);
  for (int32_t j = 1; j <= k; ++j) {
    const uint16_t f = tests.flags[j];
    FUZZ_CHECK((f & ~(kAllRunTests | kDispersionBeyondFlag)) == 0 && (f & ~tests.applied & kAllRunTests) == 0,
               "subgroup %d flags %#x with tests %#x", j, f, tests.applied);
    if (tests.applied == 0) continue;
    const double low = location.low[j], high = location.high[j];
    if (std::isnan(low) || std::isnan(high)) FUZZ_CHECK((f & kAllRunTests) == 0, "NaN point %d flagged %#x", j, f);
    if (tests.applied & 1) {
      const bool beyond = !std::isnan(low) && !std::isnan(high) &&
                          (high > location.upperLimit || low < location.lowerLimit);
      FUZZ_CHECK(bool(f & 1) == beyond, "point %d (%a, %a) against %a .. %a flagged %d", j, low, high,
                 location.lowerLimit, location.upperLimit, f & 1);
    }
    FUZZ_CHECK((f & kAllRunTests) == expected[j], "subgroup %d flags %#x, the running counts give %#x (C %a, zone %a)",
               j, f & kAllRunTests, expected[j], location.centre, location.zone);
    FUZZ_CHECK(bool(f & kDispersionBeyondFlag) == (expectedDispersion[j] != 0), "dispersion %d (%a) flag", j,
               dispersion.low[j]);
  }
  for (int t = 0; t < kRunTestCount; ++t) {
    int32_t count = 0, first = 0;
    for (int32_t j = 1; j <= k; ++j)
      if (tests.flags[j] >> t & 1) {
        ++count;
        if (!first) first = j;
      }
    FUZZ_CHECK(tests.counts[t] == count && tests.firstFlagged[t] == first, "test %d: %d from %d, flags say %d from %d",
               t + 1, tests.counts[t], tests.firstFlagged[t], count, first);
  }
  int32_t dispersionCount = 0;
  for (int32_t j = 1; j <= k; ++j) dispersionCount += (tests.flags[j] & kDispersionBeyondFlag) != 0;
  FUZZ_CHECK(tests.dispersionCount == dispersionCount, "dispersion count %d of %d", tests.dispersionCount,
             dispersionCount);
}

void CheckFigures(const SpcResult& result, const SpcRunTests& tests, int32_t capacity) {
  const int32_t k = result.stats.k;
  const size_t slots = static_cast<size_t>(std::max(capacity, 0)) + 9;  // eight beyond the capacity
  std::vector<double> figures(slots, kUnwritten);
  const int32_t written = SPC_WriteRunTestFigures(result, tests, figures.data(), capacity);
  const int32_t expected = capacity < 1 ? 0 : static_cast<int32_t>(std::min<int64_t>(capacity, kFixedFigures + k));
  FUZZ_CHECK(written == expected, "wrote %d with capacity %d for %d subgroups", written, capacity, k);
  FUZZ_CHECK(SameBits(&figures[0], &kUnwritten, sizeof(double)), "element 0 written");
  for (size_t i = static_cast<size_t>(written) + 1; i < slots; ++i)
    FUZZ_CHECK(SameBits(&figures[i], &kUnwritten, sizeof(double)), "element %zu written past %d (capacity %d)", i,
               written, capacity);
  double plain[kStatisticsResultCount + 1];
  SPC_WriteStatisticsResults(result, plain);
  std::vector<double> whole(static_cast<size_t>(kFixedFigures + k) + 1, 0.0);
  for (int i = 1; i <= kStatisticsResultCount; ++i) whole[i] = plain[i];
  whole[kFigureLimitsCentre] = result.limitsCentre;
  whole[kFigureLimitsSigma] = result.limitsSigma;
  whole[kFigureCentreGiven] = result.centreGiven;
  whole[kFigureSigmaGiven] = result.sigmaGiven;
  for (int t = 0; t < kRunTestCount; ++t) {
    whole[kFigureTestCounts + t] = tests.counts[t];
    whole[kFigureFirstFlagged + t] = tests.firstFlagged[t];
  }
  whole[kFigureDispersionCount] = tests.dispersionCount;
  for (int32_t j = 1; j <= k; ++j) whole[kFixedFigures + j] = tests.flags[j];
  for (int32_t i = 1; i <= written; ++i)
    FUZZ_CHECK(SameBits(&figures[i], &whole[i], sizeof(double)), "element %d is %a, expected %a", i, figures[i],
               whole[i]);
}

// Each legend is made of figures formatted in 48-character buffers (ASan sees
// any write past them) and ends up no longer than its parts allow.
void CheckLegends(const SpcResult& result, const SpcRunTests& tests, bool markFlagged) {
  for (LegendForm form : {LegendForm::Full, LegendForm::Short}) {
    const std::string legend = RunTest_Legend(result, tests, markFlagged, form);
    FUZZ_CHECK(std::strlen(legend.c_str()) == legend.size(), "a NUL inside the legend");
    FUZZ_CHECK(legend.size() <= 2 * 48 + 40 + kRunTestCount * 44 + 48, "legend of %zu characters", legend.size());
    const bool given = result.centreGiven || result.sigmaGiven;
    FUZZ_CHECK(legend.empty() == (!given && !markFlagged), "legend \"%s\"", legend.c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::LoadShippedTable();
  fuzz::Input input(data, size);
  Decoded d = Decode(input);
  const SpcRequest& r = d.request;

  SpcOptions options;
  const double* optionArray = d.optionArray ? d.options.data() : nullptr;
  const bool read = SPC_ReadOptions(optionArray, d.optionCount, &options);
  const double mask = d.optionCount >= kOptionRunTests ? d.options[kOptionRunTests] : kNaN;
  const bool maskSound = std::isnan(mask) || (mask >= 0 && mask <= 255 && mask == std::floor(mask));
  FUZZ_CHECK(read == (d.optionCount >= 0 && (d.optionCount == 0 || optionArray) && maskSound),
             "options (%d, array %d, mask %a) read %d", d.optionCount, d.optionArray, mask, read);
  if (!read) return 0;

  // The plain request first: its figures and series are what the given limits must leave alone.
  SpcResult plain;
  if (!SPC_ComputeRequest(r, plain)) return 0;
  const SeriesCopy plainSeries = CopySeries(plain.stats.k);
  if (d.ownLimitsBack) options.given = {plain.stats.grandMean, plain.stats.sigmaWithin};

  const SpcGivenLimits given = options.given;
  const bool centreGiven = !std::isnan(given.centre), sigmaGiven = !std::isnan(given.sigma);
  const bool sound = (!centreGiven || std::isfinite(given.centre)) &&
                     (!sigmaGiven || (std::isfinite(given.sigma) && given.sigma > 0));
  SpcResult result;
  std::memset(static_cast<void*>(&result), 0xA5, sizeof result);
  SpcResult untouched;
  std::memcpy(static_cast<void*>(&untouched), &result, sizeof result);
  const bool computed = SPC_ComputeRequest(r, result, &given);
  FUZZ_CHECK(computed == sound, "given centre %a, sigma %a: computed %d", given.centre, given.sigma, computed);
  if (!computed) {
    FUZZ_CHECK(SameBits(&result, &untouched, sizeof result), "a refused request wrote its result");
    const SeriesCopy after = CopySeries(plain.stats.k);
    FUZZ_CHECK(SameValues(after.location, plainSeries.location) && SameValues(after.largest, plainSeries.largest) &&
                   SameValues(after.dispersion, plainSeries.dispersion),
               "a refused request wrote the series");
    return 0;
  }

  FUZZ_CHECK(result.centreGiven == centreGiven && result.sigmaGiven == sigmaGiven, "given flags");
  FUZZ_CHECK(SameBits(&result.limitsCentre, centreGiven ? &given.centre : &plain.stats.grandMean, sizeof(double)) &&
                 SameBits(&result.limitsSigma, sigmaGiven ? &given.sigma : &plain.stats.sigmaWithin, sizeof(double)),
             "limits made from %a / %a", result.limitsCentre, result.limitsSigma);
  double plainFigures[kStatisticsResultCount + 1], figures[kStatisticsResultCount + 1];
  SPC_WriteStatisticsResults(plain, plainFigures);
  SPC_WriteStatisticsResults(result, figures);
  for (int i = 1; i <= kStatisticsResultCount; ++i)
    if (!IsLimitFigure(i) || (!centreGiven && !sigmaGiven))
      FUZZ_CHECK(SameBits(&figures[i], &plainFigures[i], sizeof(double)), "figure %d is %a, plain %a", i, figures[i],
                 plainFigures[i]);
  if (d.ownLimitsBack) FUZZ_CHECK(SameLimits(result.limits, plain.limits), "own centre and sigma changed the limits");
  const SeriesCopy series = CopySeries(result.stats.k);
  if (result.seriesWritten)
    FUZZ_CHECK(SameValues(series.location, plainSeries.location) && SameValues(series.largest, plainSeries.largest) &&
                   (!result.dispersionWritten || SameValues(series.dispersion, plainSeries.dispersion)),
               "given limits changed the series");

  SpcRunTests tests;
  SPC_RunTestsOfRequest(result, options.runTests, &tests);
  CheckFlags(result, tests, options.runTests);
  CheckFigures(result, tests, d.capacity);
  CheckLegends(result, tests, options.markFlagged);
  return 0;
}
