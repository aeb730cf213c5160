// The control chart plot: one chart area of the SPC page.
#include "spc/core/draw_math.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/core/plot_geometry.h"
#include "spc/gdi/spc_drawing.h"

namespace {

// Slots 0 to 4 hold the pens Plot_FillAndFrame makes.
enum Slot {
  kLimit1Pen = 5,
  kMarker1Pen = 6,
  kLinePen = 7,
  kPointPen = 8,
  kLimit2Pen = 9,
  kMarker2Pen = 10,
  kLimit3Pen = 11,
  kMarker3Pen = 12,
  kHighlightPen = 13,
  kBackBrush = 15,
  kPointBrush = 16,
  kColour1Brush = 17,
  kColour2Brush = 18,
  kColour3Brush = 19,
  kHighlightBrush = 20,
};
static_assert(kHighlightBrush + 1 == kControlChartSlots && kHighlightBrush == kControlChartSlotsWithoutHighlight,
              "only the highlight brush lies beyond the slots a chart without a highlight bar fills");

void Line(HDC dc, const Segment& segment) {
  MoveToEx(dc, segment.x0, segment.y0, nullptr);
  LineTo(dc, segment.x1, segment.y1);
}

// The joining lines of a series, handed to GDI in few calls with the pixels
// they had drawn one by one. One pixel wide: a vertical line sets the pixels
// from its start up to its end, leaving out the end, so the vertical lines in
// one column whose pixels touch or overlap make one line over the whole span
// (with thousands of values, many points share a column, and GDI's time goes
// with the pixels it sets); lines that meet end to start make one polyline
// (each of its lines leaves out its last pixel, as alone). Wider: the round
// ends of each line fall where a polyline puts its round joins, and inside a
// column's span where its vertical lines go on from one another, so those
// make one line over the span; under Wine a wide polyline costs more per point
// the longer it grows, so the others go in short runs. The lines share one pen and overwrite what lies below, so their
// order does not matter.
class SeriesLines {
 public:
  SeriesLines(HDC dc, int penWidth) : dc_(dc), wide_(penWidth > 1) {}
  ~SeriesLines() {
    EndColumn();
    EndRun();
    if (!counts_.empty()) PolyPolyline(dc_, points_.data(), counts_.data(), static_cast<DWORD>(counts_.size()));
  }
  void Add(const Segment& segment) {
#ifdef MERIDAN_SPC_REFERENCE_PAGES
    return Line(dc_, segment);
#endif
    if (segment.x0 == segment.x1 && segment.y0 != segment.y1)
      return wide_ ? AddWideVertical(segment) : AddVertical(segment);
    const bool joined = runLength_ > 0 && points_.back().x == segment.x0 && points_.back().y == segment.y0;
    if (!joined || (wide_ && runLength_ == kWideRun)) EndRun();
    if (runLength_ == 0) Append({segment.x0, segment.y0});
    Append({segment.x1, segment.y1});
  }

 private:
  static constexpr size_t kWideRun = 32;

  void AddVertical(const Segment& segment) {
    if (segment.y0 == segment.y1) return;  // no length: no pixel
    const int32_t low = segment.y0 < segment.y1 ? segment.y0 : segment.y1 + 1;
    const int32_t high = segment.y0 < segment.y1 ? segment.y1 - 1 : segment.y0;
    if (columnOpen_ && segment.x0 == columnX_ && low <= columnHigh_ + 1 && high >= columnLow_ - 1) {
      if (low < columnLow_) columnLow_ = low;
      if (high > columnHigh_) columnHigh_ = high;
      return;
    }
    EndColumn();
    columnOpen_ = true;
    columnX_ = segment.x0;
    columnLow_ = low;
    columnHigh_ = high;
  }
  // Wide: vertical lines of a column that go on from one another, their
  // round ends inside the span they cover together.
  void AddWideVertical(const Segment& segment) {
    if (!(columnOpen_ && segment.x0 == columnX_ && segment.y0 == columnEnd_)) {
      EndColumn();
      columnOpen_ = true;
      columnX_ = segment.x0;
      columnLow_ = columnHigh_ = segment.y0;
    }
    if (segment.y1 < columnLow_) columnLow_ = segment.y1;
    if (segment.y1 > columnHigh_) columnHigh_ = segment.y1;
    columnEnd_ = segment.y1;
  }
  void EndColumn() {
    if (!columnOpen_) return;
    columnOpen_ = false;
    EndRun();
    Append({columnX_, columnLow_});
    Append({columnX_, wide_ ? columnHigh_ : columnHigh_ + 1});
    EndRun();
  }
  void Append(POINT point) {
    points_.push_back(point);
    ++runLength_;
  }
  // A run of one line or more goes to the batch (thin) or to GDI (wide).
  void EndRun() {
    if (runLength_ >= 2) {
      if (wide_) {
        Polyline(dc_, points_.data() + points_.size() - runLength_, static_cast<int>(runLength_));
        points_.clear();
      } else {
        counts_.push_back(static_cast<DWORD>(runLength_));
      }
    } else if (runLength_ == 1) {
      points_.pop_back();
    }
    runLength_ = 0;
  }

  HDC dc_;
  bool wide_;
  std::vector<POINT> points_;
  std::vector<DWORD> counts_;
  size_t runLength_ = 0;
  bool columnOpen_ = false;
  int32_t columnX_ = 0, columnLow_ = 0, columnHigh_ = 0, columnEnd_ = 0;
};

void Marker(HDC dc, int32_t x, int32_t y, const MarkerReach& reach, bool cross) {
  if (cross) {
    Line(dc, {x - reach.near3, y - reach.near3, x + reach.far4, y + reach.far4});
    Line(dc, {x - reach.near3, y + reach.far4, x + reach.far4, y - reach.near3});
  } else {
    Ellipse(dc, x - reach.dot2, y - reach.dot2, x + reach.dot2, y + reach.dot2);
  }
}

}  // namespace

void Plot_ControlChart(HDC dc, HGDIOBJ* handles, int32_t left, int32_t top, int32_t width, int32_t height,
                       int32_t firstSample, int32_t lastSample, double yMin, double yMax, const double* values,
                       int32_t count, int32_t series, double upper1, double lower1, double upper2, double lower2,
                       double upper3, double lower3, int16_t lineMask, double centre, int16_t gridOn,
                       double xGridStep, int16_t xGridCount, double yGridStep, int16_t yGridCount, HPEN framePenA,
                       HPEN framePenB, COLORREF backColour, COLORREF frameColour, COLORREF lineColour,
                       COLORREF pointColour, COLORREF colour1, COLORREF colour2, COLORREF colour3,
                       int16_t crossMarkers, int32_t highlightSample, COLORREF highlightColour) {
  const double scale = SPC_GetScale();
  const int w = ControlChart_PenWidth(scale);
  HPEN limitPens[3];
  HPEN markerPens[4];
  limitPens[0] = MakePen(handles, kLimit1Pen, PS_SOLID, w + 1, colour1);
  markerPens[1] = MakePen(handles, kMarker1Pen, PS_SOLID, w, colour1);
  HPEN linePen = MakePen(handles, kLinePen, PS_SOLID, w, lineColour);
  markerPens[0] = MakePen(handles, kPointPen, PS_SOLID, w, pointColour);
  limitPens[1] = MakePen(handles, kLimit2Pen, PS_SOLID, w + 1, colour2);
  markerPens[2] = MakePen(handles, kMarker2Pen, PS_SOLID, w, colour2);
  limitPens[2] = MakePen(handles, kLimit3Pen, PS_DASH, 1, colour3);
  markerPens[3] = MakePen(handles, kMarker3Pen, PS_SOLID, w, colour3);
  HBRUSH markerBrushes[4];
  markerBrushes[0] = MakeBrush(handles, kPointBrush, pointColour);
  markerBrushes[1] = MakeBrush(handles, kColour1Brush, colour1);
  markerBrushes[2] = MakeBrush(handles, kColour2Brush, colour2);
  markerBrushes[3] = MakeBrush(handles, kColour3Brush, colour3);
  const PlotLinePens pens = Plot_FillAndFrame(dc, handles, kBackBrush, left, top, width, height, framePenA, framePenB,
                                              backColour, frameColour);
  const PlotBox box = Plot_InnerBox(left, top, width, height);
  // Nothing that needs a value's height can be placed on a range without width.
  const bool valuesPlace = Plot_RangeUsable(yMin, yMax);

  SelectObject(dc, pens.grid);
  if (gridOn == 1 && valuesPlace)
    for (double v : Plot_GridValues(yMin, yMax, yGridStep, yGridCount)) {
      int32_t y = Plot_ValueY(box, v, yMin, yMax);
      Line(dc, {box.left, y, box.right, y});
    }
  if (lastSample == 0) firstSample = 0;
  if (gridOn == 1)
    for (double z : Plot_GridValues(firstSample, lastSample, xGridStep, xGridCount)) {
      int32_t x;
      if (ControlChart_GridX(box, z, firstSample, lastSample, &x)) Line(dc, {x, box.top, x, box.bottom});
    }

  const bool samplesPlace = ControlChart_SamplesUsable(firstSample, lastSample);
  if (highlightSample > 0 && samplesPlace) {
    HPEN pen = MakePen(handles, kHighlightPen, PS_SOLID, 1, highlightColour);
    HBRUSH brush = MakeBrush(handles, kHighlightBrush, highlightColour);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    int32_t x = ControlChart_SampleX(box, highlightSample, firstSample, lastSample);
    Rectangle(dc, x - 5, box.top, x + 5, box.bottom);
  }

  const double upper[3] = {upper1, upper2, upper3};
  const double lower[3] = {lower1, lower2, lower3};
  if (valuesPlace) {
    for (int pair = 0; pair < 3; ++pair) {
      if (!(lineMask & (1 << pair))) continue;
      SelectObject(dc, limitPens[pair]);
      for (double limit : {upper[pair], lower[pair]})
        if (yMin <= limit && limit <= yMax) {
          int32_t y = Plot_ValueY(box, limit, yMin, yMax);
          Line(dc, {box.left, y, box.right, y});
        }
    }
    if (yMin <= centre && centre <= yMax) {
      SelectObject(dc, pens.centre);
      int32_t y = Plot_ValueY(box, centre, yMin, yMax);
      Line(dc, {box.left, y, box.right, y});
      Line(dc, {box.left, y - 1, box.right, y - 1});  // two pixels thick
    }
  }

  if (!values || !valuesPlace || !samplesPlace) return;
  if (count > kSeriesStride - 1) count = kSeriesStride - 1;  // a series holds no more
  const MarkerReach reach = ControlChart_MarkerReach(scale);
  for (int32_t s = 1; s <= series; ++s) {
    const double* point = values + int64_t{s - 1} * kSeriesStride;
    SelectObject(dc, linePen);
    {
      SeriesLines line(dc, w);
      for (int32_t i = 2; i <= count; ++i) {
        Segment segment;
        if (ControlChart_JoinSegment(box, yMin, yMax, ControlChart_SampleX(box, i - 1, firstSample, lastSample),
                                     point[i - 1], ControlChart_SampleX(box, i, firstSample, lastSample), point[i],
                                     &segment))
          line.Add(segment);
      }
    }
    if (count >= kMarkerPointLimit) continue;  // too many points for markers to tell apart
    int selectedZone = -1;  // markers of one zone in a row share their pen and brush
    for (int32_t i = 1; i <= count; ++i) {
      double v = point[i];
      if (!(yMin <= v && v <= yMax)) continue;
      int zone = ControlChart_Zone(v, upper, lower, lineMask);
      if (zone != selectedZone) {
        SelectObject(dc, markerBrushes[zone]);
        SelectObject(dc, markerPens[zone]);
        selectedZone = zone;
      }
      Marker(dc, ControlChart_SampleX(box, i, firstSample, lastSample), Plot_ValueY(box, v, yMin, yMax), reach,
             crossMarkers != 0);
    }
  }
}
