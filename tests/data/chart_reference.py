#!/usr/bin/env python3
"""Independent figures for the further control charts.

Writes chart_reference.txt beside itself: random requests of every chart kind
(individuals and moving range, EWMA, CUSUM, p, np, c, u) with subgroup sizes,
estimation methods, options and given (historical) limits, and for each every
figure and every per-point element the chart export writes: the plotted
statistic, the second statistic, the limits per point and the flags of the run
tests.

The charts are written here from their textbook formulas with Python's own
arithmetic (statistics.fmean), the within sigma of subgroups and the constants
come from spc_reference.py (the independent figures of the SPC request, with
the constants table the core tests load), and the run tests are those of
run_tests_reference.py, which count runs forward point by point.

Run it again after changing a case: /usr/bin/python3 tests/data/chart_reference.py
"""
import math
import os
import random
import statistics

import run_tests_reference as runs
import spc_reference as ref

HERE = os.path.dirname(os.path.abspath(__file__))
NAN = float("nan")

IMR, EWMA, CUSUM, P, NP, C, U = range(1, 8)
NAMES = {IMR: "imr", EWMA: "ewma", CUSUM: "cusum", P: "p", NP: "np", C: "c", U: "u"}
ALL_TESTS = set(range(1, 9))
SECOND_CHART_BIT = 256

# Option elements 1 .. 10 and their defaults.
CENTRE, SIGMA, TESTS, MARK, LAMBDA, L_WIDTH, K_REF, H_DECISION, HEAD_START, EWMA_LIMITS = range(1, 11)
DEFAULTS = {TESTS: 255, MARK: 0, LAMBDA: 0.2, L_WIDTH: 3.0, K_REF: 0.5, H_DECISION: 5.0, HEAD_START: 0.0,
            EWMA_LIMITS: 0}


def option(options, element):
    value = options.get(element, NAN)
    return DEFAULTS.get(element, NAN) if math.isnan(value) else value


def given(options, element):
    return not math.isnan(options.get(element, NAN))


def tests_in(mask):
    return {t for t in range(1, 9) if int(mask) >> (t - 1) & 1}


def beyond(points, uppers, lowers):
    """Test 1 against limits that may differ from point to point."""
    return [x > u or x < l for x, u, l in zip(points, uppers, lowers)]


class Chart:
    """Every figure of one request."""

    def __init__(self, k):
        self.k = k
        self.figures = {i: 0.0 for i in range(1, 36)}
        self.statistic = [0.0] * k
        self.second = [0.0] * k
        self.upper = [0.0] * k
        self.lower = [0.0] * k
        self.flags = [0] * k


def own_centre_and_sigma(values, m, k, norm, rows):
    """Single readings: mean and mean moving range / d2(2); subgroups: Z and sigma of the SPC request."""
    if m == 1:
        readings = values[:k]
        moving = [abs(b - a) for a, b in zip(readings, readings[1:])]
        return statistics.fmean(readings), statistics.fmean(moving) / ref.single(rows[250 + 2])
    figures, _ = ref.expected(ref.Case("within", 11, m, norm, values), rows)
    return figures[14], figures[15]


def variables_chart(chart, values, m, norm, options, rows):
    k = len(values) // m
    means = [statistics.fmean(values[j * m:(j + 1) * m]) for j in range(k)]
    out = Chart(k)
    f = out.figures
    own_c, own_s = own_centre_and_sigma(values, m, k, norm, rows)
    centre = option(options, CENTRE) if given(options, CENTRE) else own_c
    sigma = option(options, SIGMA) if given(options, SIGMA) else own_s
    f[3], f[4], f[5], f[6], f[7], f[8] = centre, sigma, int(given(options, CENTRE)), int(given(options, SIGMA)), \
        own_c, own_s
    asked = tests_in(option(options, TESTS))
    d2 = ref.single(rows[250 + 2])
    d4 = ref.single(rows[420 + 2]) / d2
    se = sigma / math.sqrt(m)

    if chart == IMR:
        x = values
        out.statistic = list(x)
        out.second = [NAN] + [abs(b - a) for a, b in zip(x, x[1:])]
        ucl, lcl = centre + 3 * sigma, centre - 3 * sigma
        out.upper, out.lower = [ucl] * k, [lcl] * k
        f[9], f[10] = ucl, lcl
        mr_centre = d2 * sigma if given(options, SIGMA) else statistics.fmean(out.second[1:])
        f[11], f[12], f[13] = mr_centre, d4 * mr_centre, 0.0
        flags = runs.run_tests(x, x, ucl, lcl, centre, sigma, asked)
        if 1 in asked:
            second = runs.run_tests(out.second, out.second, f[12], 0.0, 0.0, 0.0, {1})
            for i, s in enumerate(second):
                if s:
                    flags[i].add(9)
        return out, flags

    if chart == EWMA:
        lam, width = option(options, LAMBDA), option(options, L_WIDTH)
        f[14], f[15] = lam, width
        asymptotic = width * se * math.sqrt(lam / (2 - lam))
        f[9], f[10] = centre + asymptotic, centre - asymptotic
        z = centre
        for i in range(k):
            z = lam * means[i] + (1 - lam) * z
            out.statistic[i] = z
            if option(options, EWMA_LIMITS) == 1:
                half = asymptotic
            else:
                half = width * se * math.sqrt(lam / (2 - lam) * (1 - (1 - lam) ** (2 * (i + 1))))
            out.upper[i], out.lower[i] = centre + half, centre - half
        flags = [set() for _ in range(k)]
        if 1 in asked:
            for i, b in enumerate(beyond(out.statistic, out.upper, out.lower)):
                if b:
                    flags[i].add(1)
        return out, flags

    # CUSUM: both sums of the standardised means, started at the head start.
    kk, h, start = option(options, K_REF), option(options, H_DECISION), option(options, HEAD_START)
    f[16], f[17] = kk, h
    f[9], f[10], f[11], f[12], f[13] = h, -h, 0.0, h, -h
    upper_sum = lower_sum = start
    for i in range(k):
        z = (means[i] - centre) / se
        upper_sum = max(0.0, z - kk + upper_sum)
        lower_sum = max(0.0, -z - kk + lower_sum)
        out.statistic[i], out.second[i] = upper_sum, lower_sum
    out.upper, out.lower = [h] * k, [-h] * k
    flags = [set() for _ in range(k)]
    if 1 in asked:
        for i in range(k):
            if out.statistic[i] > h:
                flags[i].add(1)
            if out.second[i] > h:
                flags[i].add(9)
    return out, flags


def attribute_chart(chart, counts, sizes, options):
    k = len(counts)
    if chart == C:
        sizes = [1.0] * k
    out = Chart(k)
    f = out.figures
    own = sum(counts) / sum(sizes)
    proportion = chart in (P, NP)
    spread_of = (lambda c: math.sqrt(c * (1 - c))) if proportion else math.sqrt
    centre = option(options, CENTRE) if given(options, CENTRE) else own
    f[3], f[4], f[5], f[6], f[7], f[8] = centre, spread_of(centre), int(given(options, CENTRE)), 0, own, \
        spread_of(own)
    variance = centre * (1 - centre) if proportion else centre

    def line_and_limits(n):
        if chart == NP:
            line, half = n * centre, 3 * math.sqrt(n * variance)
        else:
            line, half = centre, 3 * math.sqrt(variance / n)
        return line, line + half, max(0.0, line - half)

    for i in range(k):
        out.statistic[i] = counts[i] if chart == NP else counts[i] / sizes[i]
        _, out.upper[i], out.lower[i] = line_and_limits(sizes[i])
    equal = len(set(sizes)) == 1
    line, f[9], f[10] = line_and_limits(sizes[0] if equal else statistics.fmean(sizes))
    asked = tests_in(option(options, TESTS))
    if equal:
        flags = runs.run_tests(out.statistic, out.statistic, f[9], f[10], line, (f[9] - line) / 3, asked)
    else:
        flags = [set() for _ in range(k)]
        if 1 in asked:
            for i, b in enumerate(beyond(out.statistic, out.upper, out.lower)):
                if b:
                    flags[i].add(1)
    return out, flags


def chart_figures(chart, values, sizes, m, norm, options, rows):
    if chart in (IMR, EWMA, CUSUM):
        out, flags = variables_chart(chart, values, m, norm, options, rows)
    else:
        out, flags = attribute_chart(chart, values, sizes, options)
    f = out.figures
    f[1], f[2] = chart, out.k
    out.flags = [sum(1 << (t - 1) for t in fl if t <= 8) + (SECOND_CHART_BIT if 9 in fl else 0) for fl in flags]
    for t in range(1, 9):
        points = [i + 1 for i, fl in enumerate(flags) if t in fl]
        f[17 + t] = len(points)
        f[26 + t] = points[0] if points else 0
    f[26] = sum(1 for fl in flags if 9 in fl)
    signals = [i + 1 for i, fl in enumerate(out.flags) if fl]
    f[35] = signals[0] if signals else 0
    return out


# ---- Random requests ---------------------------------------------------------

def readings(rng, k, m):
    """k subgroups of m readings around 10 with the shapes that break the run tests, sometimes a drift."""
    values = runs.shaped_values(rng, k, m, 10.0, 0.05, 0)
    if rng.random() < 0.3:
        # From subgroup `start` on, the mean creeps up by a tenth of sigma per subgroup.
        start = rng.randrange(k)
        values = [round(v + 0.005 * (j // m - start + 1), 3) if j // m >= start else v for j, v in enumerate(values)]
    return values


def counts_and_sizes(rng, chart, k):
    """Counts whose standardised values follow the same shapes as the readings (shifts, trends, alternation,
    hugging the centre, outliers), rounded to whole counts; equal or varying sample sizes."""
    shape = runs.shaped_values(rng, k, 1, 0.0, 1.0, 0)
    equal = chart in (NP, C) or rng.random() < 0.5
    if chart in (P, NP):
        n0 = rng.choice([20, 50, 80, 125, 200])
        sizes = [float(n0 if equal else rng.randint(max(1, n0 // 3), n0 * 2)) for _ in range(k)]
        p = rng.uniform(0.03, 0.35)
        counts = [float(min(n, max(0, round(n * p + z * math.sqrt(n * p * (1 - p)))))) for n, z in zip(sizes, shape)]
        return counts, sizes
    if chart == C:
        mean = rng.uniform(0.5, 25)
        return [float(max(0, round(mean + z * math.sqrt(mean)))) for z in shape], None
    units = rng.choice([1.0, 2.5, 5.0, 10.0])
    sizes = [units if equal else round(rng.uniform(units * 0.3, units * 2), 2) for _ in range(k)]
    rate = rng.uniform(0.3, 6)
    return [float(max(0, round(rate * n + z * math.sqrt(rate * n)))) for n, z in zip(sizes, shape)], sizes


def random_options(rng, chart, values, sizes, m):
    options = {}
    if rng.random() < 0.5:
        options[TESTS] = 255 if rng.random() < 0.6 else float(rng.randrange(256))
    if rng.random() < 0.2:
        options[MARK] = 1.0
    if chart in (IMR, EWMA, CUSUM):
        if rng.random() < 0.35:
            options[CENTRE] = round(10.0 + rng.uniform(-0.03, 0.03), 4)
        if rng.random() < 0.35:
            options[SIGMA] = round(0.05 * rng.uniform(0.6, 1.4), 5)
    elif rng.random() < 0.35:
        own = sum(values) / (sum(sizes) if sizes else len(values))
        options[CENTRE] = round(min(0.9, max(0.01, own * rng.uniform(0.7, 1.3))), 4) if chart in (P, NP) else \
            round(max(0.05, own * rng.uniform(0.7, 1.3)), 4)
    if chart == EWMA:
        if rng.random() < 0.7:
            options[LAMBDA] = rng.choice([0.05, 0.1, 0.25, 0.4, 1.0, round(rng.uniform(0.01, 1), 3)])
        if rng.random() < 0.6:
            options[L_WIDTH] = rng.choice([2.7, 2.86, 3.0, round(rng.uniform(2, 3.5), 3)])
        if rng.random() < 0.4:
            options[EWMA_LIMITS] = float(rng.randrange(2))
    if chart == CUSUM:
        if rng.random() < 0.6:
            options[K_REF] = rng.choice([0.0, 0.25, 0.5, 1.0, round(rng.uniform(0, 1.5), 3)])
        if rng.random() < 0.6:
            options[H_DECISION] = rng.choice([4.0, 4.77, 5.0, round(rng.uniform(2, 8), 3)])
        if rng.random() < 0.4:
            options[HEAD_START] = round(option(options, H_DECISION) / 2, 4)
    # Options of other charts are read but not used: some given at their defaults' places.
    if rng.random() < 0.1:
        options[LAMBDA] = 0.5
    return options


def cases():
    rng = random.Random(22)
    out = []
    for chart in (IMR, EWMA, CUSUM, P, NP, C, U):
        for index in range(14):
            if chart == IMR:
                m, norm = 1, index % 4
            else:
                m = 1 if index % 3 == 0 else rng.choice([2, 3, 4, 5, 6, 8, 10, 20])
                norm = index % 4
            if chart in (IMR, EWMA, CUSUM):
                k = rng.randint(2, 3) if index == 0 else rng.randint(12, 60)
                values = readings(rng, k, m)
                # A few readings after the last complete subgroup, which are not used.
                if m > 1 and index % 2:
                    values += [round(rng.gauss(10, 0.05), 3) for _ in range(rng.randrange(1, m))]
                sizes = None
            else:
                m, norm = 1, 1
                k = rng.randint(2, 3) if index == 0 else rng.randint(15, 60)
                values, sizes = counts_and_sizes(rng, chart, k)
            options = random_options(rng, chart, values, sizes, m)
            out.append(("%s_%d_m%d" % (NAMES[chart], index, m), chart, values, sizes, m, norm, options))
    return out


def fmt(value):
    return repr(float(value))


def main():
    rows = ref.table_rows()
    lines = ["# Chart requests of every kind and every element the figures export writes for them "
             "(written by chart_reference.py)"]
    for name, chart, values, sizes, m, norm, options in cases():
        out = chart_figures(chart, values, sizes, m, norm, options, rows)
        lines.append("case %s" % name)
        lines.append("input %d %d %d %d" % (chart, len(values), m, norm))
        lines.append("values " + " ".join(fmt(v) for v in values))
        lines.append("sizes " + (" ".join(fmt(v) for v in sizes) if sizes else "none"))
        lines.append("options " + " ".join(fmt(options.get(e, NAN)) for e in range(1, 11)))
        lines.append("figures " + " ".join(fmt(out.figures[i]) for i in range(1, 36)))
        for block in ("statistic", "second", "upper", "lower"):
            lines.append(block + " " + " ".join(fmt(v) for v in getattr(out, block)))
        lines.append("flags " + " ".join(str(v) for v in out.flags))
        lines.append("end")
    with open(os.path.join(HERE, "chart_reference.txt"), "w") as out_file:
        out_file.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
