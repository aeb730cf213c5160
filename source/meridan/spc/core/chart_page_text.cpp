#include "spc/core/chart_page_text.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/num_format.h"

namespace {

std::string Figure(double value) {
  char text[48];
  Num_FormatFixed(text, StatPanel_Narrow(value), 4);
  return text;
}

// Totals of counts and of whole items without decimals; sizes in units with them.
std::string Total(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e9) return std::to_string(static_cast<int64_t>(value));
  return Figure(value);
}

void AddRow(std::vector<StatRow>& rows, const char* label, const std::string& value) {
  StatRow row{};
  std::strncpy(row.label, label, kStatFieldSize - 1);
  std::strncpy(row.value, value.c_str(), kStatFieldSize - 1);
  rows.push_back(row);
}

void Add(std::string& line, const std::string& part, const char* separator) {
  if (!line.empty()) line += separator;
  line += part;
}

std::string Count(int32_t n) { return std::to_string(n); }

// The names of the centre in use, of a given one and of the data's own, by chart number - 1.
struct CentreNames {
  const char *centre, *given, *own;
};
constexpr CentreNames kCentreNames[kChartKindCount] = {
    {"Centre", "Target", "Own centre"},     {"Centre", "Target", "Own centre"},
    {"Centre", "Target", "Own centre"},     {"p-bar", "Given p-bar", "Own p-bar"},
    {"p-bar", "Given p-bar", "Own p-bar"},  {"c-bar", "Given c-bar", "Own c-bar"},
    {"u-bar", "Given u-bar", "Own u-bar"},
};
const CentreNames& NamesOf(ChartKind kind) { return kCentreNames[static_cast<uint32_t>(kind) - 1]; }

void VariablesRows(const ChartResult& r, std::vector<StatRow>& rows) {
  AddRow(rows, "Points", Count(r.points));
  if (r.kind != ChartKind::Individuals) AddRow(rows, "m", Count(r.subgroupSize));
  AddRow(rows, r.centreGiven ? NamesOf(r.kind).given : NamesOf(r.kind).centre, Figure(r.centre));
  if (r.centreGiven) AddRow(rows, NamesOf(r.kind).own, Figure(r.ownCentre));
  AddRow(rows, r.sigmaGiven ? "Given sigma" : "Sigma", Figure(r.sigma));
  if (r.sigmaGiven) AddRow(rows, "Own sigma", Figure(r.ownSigma));
  switch (r.kind) {
    case ChartKind::Individuals:
      AddRow(rows, "UCL", Figure(r.upperLimit));
      AddRow(rows, "LCL", Figure(r.lowerLimit));
      AddRow(rows, "MR-bar", Figure(r.secondCentre));
      AddRow(rows, "MR UCL", Figure(r.secondUpper));
      break;
    case ChartKind::Ewma:
      AddRow(rows, "lambda", Figure(r.lambda));
      AddRow(rows, "L", Figure(r.L));
      AddRow(rows, "UCL (asym.)", Figure(r.upperLimit));
      AddRow(rows, "LCL (asym.)", Figure(r.lowerLimit));
      break;
    default:
      AddRow(rows, "k", Figure(r.k));
      AddRow(rows, "h", Figure(r.h));
      break;
  }
}

void AttributeRows(const ChartResult& r, std::vector<StatRow>& rows) {
  const bool defects = r.kind == ChartKind::C || r.kind == ChartKind::U;
  AddRow(rows, "Samples", Count(r.points));
  AddRow(rows, defects ? "Units" : "Inspected", Total(r.totalInspected));
  AddRow(rows, defects ? "Defects" : "Nonconform.", Total(r.totalCounted));
  AddRow(rows, r.centreGiven ? NamesOf(r.kind).given : NamesOf(r.kind).centre, Figure(r.centre));
  if (r.centreGiven) AddRow(rows, NamesOf(r.kind).own, Figure(r.ownCentre));
  if (r.kind == ChartKind::Np) AddRow(rows, "n p-bar", Figure(r.centreLine));
  const bool atMean = !r.equalSizes;
  if (atMean) AddRow(rows, "Mean size", Figure(r.meanSize));
  AddRow(rows, atMean ? "UCL mean n" : "UCL", Figure(r.upperLimit));
  AddRow(rows, atMean ? "LCL mean n" : "LCL", Figure(r.lowerLimit));
}

int32_t FlaggedPoints(const ChartResult& r) {
  int32_t n = 0;
  for (int32_t i = 1; i <= r.points; ++i) n += r.flags[i] != 0;
  return n;
}

}  // namespace

std::vector<StatRow> Chart_PanelRows(const ChartResult& result) {
  std::vector<StatRow> rows(1);
  const bool attribute = result.kind >= ChartKind::P;
  if (attribute)
    AttributeRows(result, rows);
  else
    VariablesRows(result, rows);
  const bool signals = result.kind == ChartKind::Ewma || result.kind == ChartKind::Cusum;
  if (result.kind == ChartKind::Cusum) {
    AddRow(rows, "Up signals", Count(result.testCounts[0]));
    AddRow(rows, "Low signals", Count(result.secondCount));
  } else {
    AddRow(rows, signals ? "Signals" : "Flagged", Count(FlaggedPoints(result)));
  }
  AddRow(rows, "1st signal", result.firstSignal ? Count(result.firstSignal) : std::string("---"));
  return rows;
}

std::string Chart_Legend(const ChartResult& r, bool markFlagged, LegendForm form) {
  const bool full = form == LegendForm::Full;
  std::string legend;
  if (r.centreGiven || r.sigmaGiven) {
    if (full) {
      std::string given;
      if (r.centreGiven) Add(given, "centre " + Figure(r.centre), ", ");
      if (r.sigmaGiven) Add(given, "sigma " + Figure(r.sigma), ", ");
      legend = "Historical limits: " + given;
    } else {
      legend = "Historical limits " + (r.centreGiven ? Figure(r.centre) : std::string("-")) + " / " +
               (r.sigmaGiven ? Figure(r.sigma) : std::string("-"));
    }
  }
  if (!markFlagged) return legend;
  std::string fired;
  if (r.kind == ChartKind::Cusum) {
    fired = full ? "Signals: upper sum (" + Count(r.testCounts[0]) + "), lower sum (" + Count(r.secondCount) + ")"
                 : "Signals: upper " + Count(r.testCounts[0]) + ", lower " + Count(r.secondCount);
  } else if (r.kind == ChartKind::Ewma) {
    fired = (full ? "Signals: beyond limits (" : "Signals: ") + Count(r.testCounts[0]) + (full ? ")" : "");
  } else {
    for (int t = 1; t <= kRunTestCount; ++t)
      if (r.testCounts[t - 1])
        Add(fired, Count(t) + (full ? std::string(" ") + RunTest_Name(t) : "") + " (" + Count(r.testCounts[t - 1]) + ")",
            ", ");
    if (r.secondCount)
      Add(fired, std::string(full ? "moving range beyond limit" : "MR") + " (" + Count(r.secondCount) + ")", ", ");
    if (!r.testsApplied) fired = "none asked for";
    if (fired.empty()) fired = "no point flagged";
    fired = (full ? "Run tests: " : "Run tests (points): ") + fired;
  }
  Add(legend, fired, "   ");
  return legend;
}
