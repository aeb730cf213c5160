// The gauge study's page, laid out from a computed study: where each chart,
// its value axis, its captions and category labels, the text panels and the
// verdict band go, and every line, bar, marker and ring the charts show, in
// page pixels. Platform-free: the page's GDI code (gauge/gdi) only walks this.
//
// The frame, the title band and the fonts are the SPC page's (SPC_LayoutPage
// of a request without values lays out exactly these), so both kinds of page
// look alike and scale alike.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gauge/core/gauge_study.h"
#include "spc/core/draw_math.h"
#include "spc/core/page_layout.h"
#include "spc/core/plot_geometry.h"

// The appraisers' colours, in turn (appraiser a has kAppraiserColours[(a - 1) % 8]).
// None is red (the limits), the flagged ranges' orange or a colour of the page.
constexpr int kAppraiserColourCount = 8;
constexpr Colour kAppraiserColours[kAppraiserColourCount] = {
    Rgb(0, 70, 200),  Rgb(0, 150, 0),   Rgb(190, 0, 190), Rgb(0, 160, 170),
    Rgb(140, 80, 20), Rgb(100, 0, 200), Rgb(150, 150, 0), Rgb(110, 110, 110)};
Colour Gauge_AppraiserColour(int32_t appraiser);
// "A" .. "Z" for appraisers 1 .. 26, then the number.
std::string Gauge_AppraiserName(int32_t appraiser);

// The components chart's three bars of each group.
constexpr Colour kContributionColour = Rgb(60, 100, 170);
constexpr Colour kStudyVariationColour = Rgb(120, 170, 225);
constexpr Colour kToleranceColour = Rgb(190, 215, 240);
// Lines of the charts.
constexpr Colour kLimitColour = Rgb(255, 0, 0);
constexpr Colour kCentreColour = Rgb(0, 0, 0);
constexpr Colour kMeanLineColour = Rgb(0, 150, 0);
constexpr Colour kSeparatorColour = Rgb(160, 160, 160);
constexpr Colour kHistogramColour = Rgb(200, 200, 200);
// The verdict band's background, by verdict.
constexpr Colour kVerdictGoodColour = Rgb(0, 150, 0);
constexpr Colour kVerdictMarginalColour = Rgb(230, 170, 0);
constexpr Colour kVerdictBadColour = Rgb(210, 0, 0);

enum class GaugeVerdict { Good, Marginal, Bad };

struct GaugeLine {
  Segment segment;
  Colour colour;
  int32_t width;  // pixels
  bool dashed;
};

struct GaugeBox {
  int32_t left, top, right, bottom;  // as given to Rectangle
  Colour colour;
};

struct GaugeMarker {
  int32_t x, y;
  Colour colour;
};

// A text in a box, in the page's small font.
struct GaugeLabel {
  std::string text;
  PageRect box;
  Colour colour;
  uint32_t format;  // DrawText format bits
};

// Text formats of the labels (DrawText: single line, vertically centred; left, centred or right).
constexpr uint32_t kGaugeTextLeft = 0x24;
constexpr uint32_t kGaugeTextCentre = 0x25;
constexpr uint32_t kGaugeTextRight = 0x26;

struct GaugeChart {
  int32_t left = 0, top = 0, width = 0, height = 0;  // the plot with its sunken frame
  TickStrip valueAxis, sampleAxis;                   // sampleAxis: the type 1 run chart's reading numbers
  std::vector<GaugeLabel> labels;                    // caption, category labels, the bar legend
  std::vector<GaugeBox> bars;                        // bars and legend swatches
  std::vector<GaugeLine> lines;                      // limits, centre lines, series, separators
  std::vector<GaugeMarker> markers;
  std::vector<GaugeMarker> rings;                    // flagged ranges
};

// One row of a text panel (the SPC text panel: a label and a right-aligned value, in column 0 .. 9).
struct GaugePanelRow {
  std::string label, value;
  int16_t column;
  Colour colour;
};

// Characters between a panel row's label and value, and between the panels' columns.
constexpr int32_t kGaugePanelGap = 1;

struct GaugePanel {
  PageRect box{};
  std::vector<GaugePanelRow> rows;
};

struct GaugePageLayout {
  PageLayout page;  // frame, title band, fonts and tick lengths (content false)
  int32_t markerHalf = 1;     // half the side of a reading's square marker
  int32_t ringRadius = 4, ringPenWidth = 1;
  std::vector<GaugeChart> charts;
  std::vector<GaugePanel> panels;
  std::vector<GaugeLabel> legend;       // the appraisers' names in the title band
  std::vector<GaugeBox> legendSwatches;
  PageRect verdictBand{};
  GaugeVerdict verdict = GaugeVerdict::Bad;
  std::string verdictText;
};

// Lays out the page of a computed study. The page scale must already hold
// `factor` (the axis scaling reads it); call only with a size SPC_PageSize accepts.
void Gauge_LayoutPage(const GaugeRequest& request, const GaugeResult& result, int32_t width, int32_t height,
                      double factor, GaugePageLayout* layout);

// The verdicts: type 1 capable when Cg and Cgk are both at least 1.33; types
// 2 and 3 by %GRR of TV (under 10 acceptable, 10 to 30 conditionally
// acceptable, above 30 not acceptable), an ndc under 5 making an acceptable
// gauge conditionally acceptable at best.
GaugeVerdict Gauge_Verdict(const GaugeResult& result);
std::string Gauge_VerdictText(const GaugeResult& result);

// Number texts of the panels (a point as decimal separator whatever the locale).
std::string Gauge_FixedText(double value, int decimals);
// Six significant digits in fixed notation (at most 6 decimals).
std::string Gauge_FigureText(double value);
