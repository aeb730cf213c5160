// The words and figures of the chart page: the rows of its figures panel and
// the legend line in its title band. Platform-free; the page widens them into
// the text panel's records.
#pragma once
#include <string>
#include <vector>

#include "spc/core/chart_statistics.h"
#include "spc/core/run_test_marks.h"
#include "spc/core/stat_panel_rows.h"

// The panel's rows, rows[1] ..; rows[0] stays empty (it is not shown). Charts
// of variables: points (and the subgroup size), centre and σ in use (the
// data's own beside given ones), the limits, the second chart's figures,
// λ and L or k and h. Attribute charts: samples, total inspected, total
// nonconforming or defects, p̄, c̄ or ū, the limits (at the mean size where the
// sizes vary). Then the points flagged and the first signal. Figures with the
// SPC panel's four decimals.
std::vector<StatRow> Chart_PanelRows(const ChartResult& result);

// The legend line: the given centre and σ when the limits were made from them,
// and, when the page marks flagged points, the tests that fired with their
// counts (the individuals and attribute charts), or the signals (EWMA: beyond
// the limits; CUSUM: of the upper and the lower sum), for example
// "Historical limits: centre 10.0000, sigma 1.0000   Signals: upper sum (4), lower sum (0)",
// in its short form
// "Historical limits 10.0000 / 1.0000   Signals: upper 4, lower 0".
// Empty when there is nothing to say.
std::string Chart_Legend(const ChartResult& result, bool markFlagged, LegendForm form);
