// The texts of the gauge page: number texts, the verdict, the appraisers'
// names and the rows of the text panels.
#include <algorithm>
#include <cmath>

#include "core/num_format.h"
#include "gauge/core/gauge_compute.h"
#include "gauge/core/gauge_page_layout.h"
#include "gauge/core/gauge_page_parts.h"

namespace {

constexpr double kPowersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};

// Characters before the decimal point of |value| (1 for values below 1), or
// minus the zeros after the point before the first digit.
int Magnitude(double value) {
  double m = std::fabs(value);
  int digits = 1;
  if (!(m > 0) || !std::isfinite(m)) return digits;
  for (; m >= 10 && digits < 400; m /= 10) ++digits;
  for (; m < 1 && digits > -400; m *= 10) --digits;
  return digits;
}

std::string Integer(double value) { return Gauge_FixedText(value, 0); }

}  // namespace

std::string Gauge_FixedText(double value, int decimals) {
  decimals = std::clamp(decimals, 0, 6);
  double rounded = value;
  const double scaled = value * kPowersOfTen[decimals];
  if (std::isfinite(scaled) && std::fabs(scaled) < 9e15) rounded = std::round(scaled) / kPowersOfTen[decimals];
  char text[kFixedTextSize];
  const size_t length = Fmt_Fixed6(rounded, text, sizeof text);
  Num_CutDecimals(text, length, decimals == 0 ? 0 : decimals);
  std::string result = text;
  if (result == "-0" || result.find_first_not_of("-0.") == std::string::npos) {
    if (!result.empty() && result[0] == '-') result.erase(0, 1);  // no "-0.000"
  }
  return result;
}

std::string Gauge_FigureText(double value) {
  const int magnitude = Magnitude(value);
  return Gauge_FixedText(value, std::clamp(6 - magnitude, 0, 6));
}

std::string Gauge_AppraiserName(int32_t appraiser) {
  if (appraiser >= 1 && appraiser <= 26) return std::string(1, static_cast<char>('A' + appraiser - 1));
  return std::to_string(appraiser);
}

Colour Gauge_AppraiserColour(int32_t appraiser) {
  const int32_t index = appraiser >= 1 ? (appraiser - 1) % kAppraiserColourCount : 0;
  return kAppraiserColours[index];
}

GaugeVerdict Gauge_Verdict(const GaugeResult& result) {
  if (result.kind == kGaugeType1)
    return result.type1.Cg >= 1.33 && result.type1.Cgk >= 1.33 ? GaugeVerdict::Good : GaugeVerdict::Bad;
  const double grr = result.components.studyVariationPercent[2];
  GaugeVerdict verdict = grr < 10 ? GaugeVerdict::Good : grr <= 30 ? GaugeVerdict::Marginal : GaugeVerdict::Bad;
  if (verdict == GaugeVerdict::Good && result.components.ndc < 5) verdict = GaugeVerdict::Marginal;
  return verdict;
}

std::string Gauge_VerdictText(const GaugeResult& result) {
  const GaugeVerdict verdict = Gauge_Verdict(result);
  if (result.kind == kGaugeType1) {
    const GaugeType1& g = result.type1;
    return std::string(verdict == GaugeVerdict::Good ? "capable" : "not capable") + ": Cg " +
           Gauge_FixedText(g.Cg, 2) + ", Cgk " + Gauge_FixedText(g.Cgk, 2) + " (both 1.33 or more wanted)";
  }
  const GaugeComponents& c = result.components;
  const char* word = verdict == GaugeVerdict::Good       ? "acceptable"
                     : verdict == GaugeVerdict::Marginal ? "conditionally acceptable"
                                                         : "not acceptable";
  std::string text = std::string(word) + ": %GRR " + Gauge_FixedText(c.studyVariationPercent[2], 2) +
                     " % of TV, ndc " + (std::isfinite(c.ndc) ? Integer(c.ndc) : std::string("unlimited"));
  if (c.ndc < 5) text += " (5 or more wanted)";
  return text;
}

std::vector<GaugePanelRow> Gauge_Type1PanelRows(const GaugeResult& result) {
  const GaugeType1& g = result.type1;
  const Colour black = kBlackColour;
  return {{"n", Integer(g.n), 0, black},
          {"Mean", Gauge_FigureText(g.mean), 0, black},
          {"s", Gauge_FigureText(g.s), 0, black},
          {"Reference", Gauge_FigureText(result.reference), 0, black},
          {"Tolerance", Gauge_FigureText(result.tolerance), 0, black},
          {"Bias", Gauge_FigureText(g.bias), 0, black},
          {"t", Gauge_FixedText(g.t, 3), 0, black},
          {"p", Gauge_FixedText(g.pValue, 4), 0, black},
          {"Cg", Gauge_FixedText(g.Cg, 2), 0, black},
          {"Cgk", Gauge_FixedText(g.Cgk, 2), 0, black},
          {"%Var(EV)", Gauge_FixedText(g.percentRepeatability, 1), 0, black},
          {"%Var(EV+bias)", Gauge_FixedText(g.percentRepeatabilityBias, 1), 0, black},
          {"K / L", Gauge_FixedText(result.options.K, 1) + " / " + Gauge_FixedText(result.options.L, 1), 0,
           black}};
}

namespace {

// One line of a table: a label in column 0 and values in columns 0 .. count - 1.
void TableLine(std::vector<GaugePanelRow>* rows, const std::string& label, std::initializer_list<std::string> values) {
  int16_t column = 0;
  for (const std::string& value : values) {
    rows->push_back({column == 0 ? label : std::string(), value, column, kBlackColour});
    ++column;
  }
}

}  // namespace

std::vector<GaugePanelRow> Gauge_AnovaPanelRows(const GaugeResult& result) {
  const GaugeAnova& a = result.anova;
  std::vector<GaugePanelRow> rows;
  TableLine(&rows, "Source", {"DF", "SS", "MS", "F", "p"});
  const bool crossed = result.kind == kGaugeCrossed;
  struct Line {
    const char* name;
    int row;
  };
  const Line crossedLines[] = {{"Part", kRowPart}, {"Appraiser", kRowAppraiser}, {"Part x appr.", kRowInteraction}};
  for (const Line& line : crossedLines) {
    if (!crossed && line.row != kRowPart) continue;
    TableLine(&rows, line.name,
              {Integer(a.df[line.row]), Gauge_FigureText(a.ss[line.row]), Gauge_FigureText(a.ms[line.row]),
               Gauge_FixedText(a.F[line.row], 2), Gauge_FixedText(a.p[line.row], 4)});
  }
  TableLine(&rows, "Repeat.",
            {Integer(a.df[kRowRepeatability]), Gauge_FigureText(a.ss[kRowRepeatability]),
             Gauge_FigureText(a.ms[kRowRepeatability]), "", ""});
  TableLine(&rows, "Total", {Integer(a.df[kRowTotal]), Gauge_FigureText(a.ss[kRowTotal]), "", "", ""});
  if (crossed)
    TableLine(&rows, "Interaction",
              {"", "", a.interactionRemoved ? "(pooled)" : "(kept)", "alpha",
               Gauge_FixedText(result.options.alpha, 4)});
  return rows;
}

std::vector<GaugePanelRow> Gauge_ComponentsPanelRows(const GaugeResult& result) {
  const GaugeComponents& c = result.components;
  const double T = Gauge_UsableTolerance(result.tolerance);
  std::vector<GaugePanelRow> rows;
  if (T > 0)
    TableLine(&rows, "Source", {"Variance", "%Contr", "SD", "%SV", "%Tol."});
  else
    TableLine(&rows, "Source", {"Variance", "%Contr", "SD", "%SV"});
  struct Line {
    const char* name;
    double variance;
  };
  const Line lines[] = {{"Total GRR", c.grr},         {"Repeat.", c.repeatability},
                        {"Reprod.", c.reproducibility}, {"  Appraiser", c.appraiser},
                        {"  Interact.", c.interaction}, {"Part", c.part}, {"Total", c.total}};
  for (const Line& line : lines) {
    if (result.kind != kGaugeCrossed && line.name[0] == ' ') continue;  // no appraisers to tell apart
    const double sd = std::sqrt(line.variance);
    std::string contribution = Gauge_FixedText(100.0 * (line.variance / c.total), 2);
    std::string percentSV = Gauge_FixedText(100.0 * (sd / c.TV), 2);
    if (T > 0)
      TableLine(&rows, line.name,
                {Gauge_FigureText(line.variance), contribution, Gauge_FigureText(sd), percentSV,
                 Gauge_FixedText(100.0 * (result.options.multiplier * sd) / T, 2)});
    else
      TableLine(&rows, line.name, {Gauge_FigureText(line.variance), contribution, Gauge_FigureText(sd), percentSV});
  }
  const GaugeAverageRange& ar = result.averageRange;
  TableLine(&rows, "ndc", {std::isfinite(c.ndc) ? Integer(c.ndc) : std::string("-"), "", "", "", ""});
  if (ar.applies)
    TableLine(&rows, "Avg/range", {"", "", "%GRR", Gauge_FixedText(ar.percentOfTV[2], 2), "ndc " + Integer(ar.ndc)});
  if (T <= 0)
    for (GaugePanelRow& row : rows)
      if (row.column == 4 && row.value.empty()) row.column = -1;  // no fifth column without a tolerance
  rows.erase(std::remove_if(rows.begin(), rows.end(), [](const GaugePanelRow& r) { return r.column < 0; }),
             rows.end());
  return rows;
}
