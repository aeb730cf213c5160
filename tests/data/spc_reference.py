#!/usr/bin/env python3
"""Independent figures for the chart request tests.

Writes, beside itself:
  spc_constants.tab   a constants table in the TESSAN_SPC.TAB format: the published
                      control-chart constants for subgroups of 2 to 20 (checked here
                      against their defining formulas) and the standard normal
                      quantiles 0.500 .. 0.999 to four decimals.
  spc_reference.txt   chart requests (inputs and values) with the figures expected
                      for them, computed here with Python's statistics module.

Run it again after changing a case: python3 tests/data/spc_reference.py
"""
import math
import os
import random
import statistics
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Control-chart constants for subgroup size n (a published table of factors for
# control charts of variables): c4, d2, B5, B6, D1, D2.
PUBLISHED = {
    2: (0.7979, 1.128, 0.000, 2.606, 0.000, 3.686),
    3: (0.8862, 1.693, 0.000, 2.276, 0.000, 4.358),
    4: (0.9213, 2.059, 0.000, 2.088, 0.000, 4.698),
    5: (0.9400, 2.326, 0.000, 1.964, 0.000, 4.918),
    6: (0.9515, 2.534, 0.029, 1.874, 0.000, 5.078),
    7: (0.9594, 2.704, 0.113, 1.806, 0.204, 5.204),
    8: (0.9650, 2.847, 0.179, 1.751, 0.388, 5.306),
    9: (0.9693, 2.970, 0.232, 1.707, 0.547, 5.393),
    10: (0.9727, 3.078, 0.276, 1.669, 0.687, 5.469),
    11: (0.9754, 3.173, 0.313, 1.637, 0.811, 5.535),
    12: (0.9776, 3.258, 0.346, 1.610, 0.922, 5.594),
    13: (0.9794, 3.336, 0.374, 1.585, 1.025, 5.647),
    14: (0.9810, 3.407, 0.399, 1.563, 1.118, 5.696),
    15: (0.9823, 3.472, 0.421, 1.544, 1.203, 5.741),
    16: (0.9835, 3.532, 0.440, 1.526, 1.282, 5.782),
    17: (0.9845, 3.588, 0.458, 1.511, 1.356, 5.820),
    18: (0.9854, 3.640, 0.475, 1.496, 1.424, 5.856),
    19: (0.9862, 3.689, 0.490, 1.483, 1.487, 5.891),
    20: (0.9869, 3.735, 0.504, 1.470, 1.549, 5.921),
}
# Ratio of the standard error of the median to that of the mean (median charts),
# as published for n = 2 .. 10; larger n computed below.
MEDIAN_FACTOR_PUBLISHED = {2: 1.000, 3: 1.160, 4: 1.092, 5: 1.198, 6: 1.135, 7: 1.214, 8: 1.160, 9: 1.223,
                           10: 1.176}
LAST_QUANTILE_ROW = 3.719  # the 0.9999 quantile stands in for the one at 1, which is infinite

N = statistics.NormalDist()


def integrate(f, lo=-9.0, hi=9.0, steps=6000):
    h = (hi - lo) / steps
    total = f(lo) + f(hi)
    for i in range(1, steps):
        total += f(lo + i * h) * (4 if i % 2 else 2)
    return total * h / 3


def d2_of(n):
    return integrate(lambda x: 1 - N.cdf(x) ** n - (1 - N.cdf(x)) ** n)


def median_factor_of(n):
    """sqrt(n * Var(median of n standard normal values))."""
    r = n // 2
    if n % 2:
        c = math.factorial(n) / (math.factorial(r) ** 2)
        var = integrate(lambda x: x * x * c * (N.cdf(x) * (1 - N.cdf(x))) ** r * N.pdf(x))
        return math.sqrt(n * var)
    # Even n: the mean of order statistics r and r + 1. E[X(r) X(r+1)] by a running inner integral.
    lo, hi, steps = -9.0, 9.0, 20000
    h = (hi - lo) / steps
    c = math.factorial(n) / (math.factorial(r - 1) * math.factorial(n - r - 1))
    cr = math.factorial(n) / (math.factorial(r - 1) * math.factorial(n - r))
    inner, cross, second = 0.0, 0.0, 0.0
    prev = None
    for i in range(steps + 1):
        x = lo + i * h
        g = x * N.cdf(x) ** (r - 1) * N.pdf(x)
        if prev is not None:
            inner += (prev + g) * h / 2
        prev = g
        cross += y_term(x, inner, c, n, r) * h
        second += x * x * cr * N.cdf(x) ** (r - 1) * (1 - N.cdf(x)) ** (n - r) * N.pdf(x) * h
    # By symmetry E[X(r+1)^2] = E[X(r)^2].
    var = (2 * second + 2 * cross) / 4
    return math.sqrt(n * var)


def y_term(y, inner, c, n, r):
    return y * c * (1 - N.cdf(y)) ** (n - r - 1) * N.pdf(y) * inner


def check_published():
    for n, (c4, d2, b5, b6, d1, dd2) in PUBLISHED.items():
        c4_exact = math.sqrt(2 / (n - 1)) * math.gamma(n / 2) / math.gamma((n - 1) / 2)
        spread = 3 * math.sqrt(1 - c4_exact ** 2)
        assert abs(c4 - c4_exact) < 6e-5, (n, c4, c4_exact)
        assert abs(b6 - (c4_exact + spread)) < 2e-3, (n, b6)
        assert abs(b5 - max(0.0, c4_exact - spread)) < 2e-3, (n, b5)
        assert abs(d2 - d2_of(n)) < 6e-4, (n, d2, d2_of(n))
        if d1 > 0:
            assert abs((d1 + dd2) / 2 - d2) < 2e-3, (n, d1, dd2)
    for n, factor in MEDIAN_FACTOR_PUBLISHED.items():
        assert abs(factor - median_factor_of(n)) < 2e-3, (n, factor, median_factor_of(n))


def median_factors():
    factors = dict(MEDIAN_FACTOR_PUBLISHED)
    for n in range(11, 21):
        factors[n] = round(median_factor_of(n), 3)
    return factors


def table_rows():
    rows = {}
    for n, factor in median_factors().items():
        rows[n] = factor
    for n, (c4, d2, b5, b6, d1, dd2) in PUBLISHED.items():
        rows[100 + n], rows[250 + n], rows[330 + n], rows[360 + n], rows[390 + n], rows[420 + n] = (
            c4, d2, b5, b6, d1, dd2)
    for k in range(500, 1000):
        rows[k] = round(N.inv_cdf(k / 1000), 4) if k > 500 else 0.0
    rows[1000] = LAST_QUANTILE_ROW
    return rows


def write_table(rows):
    lines = ["Constants for the chart request tests (written by spc_reference.py)"]
    lines += ["%d \"%s\"" % (index, repr(value)) for index, value in sorted(rows.items())]
    with open(os.path.join(HERE, "spc_constants.tab"), "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


def single(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


class Case:
    def __init__(self, name, typ, sample_size, norm, values, usl=10.15, lsl=9.85, nom=10.0, usl_on=1, lsl_on=1):
        self.name, self.typ, self.sample_size, self.norm = name, typ, sample_size, norm
        self.values, self.usl, self.lsl, self.nom, self.usl_on, self.lsl_on = values, usl, lsl, nom, usl_on, lsl_on


def expected(case, T):
    """Every figure of a request, from the textbook definitions."""
    q = lambda p: quantile(p, T)
    x = case.values
    n = len(x)
    r = {}
    mean = statistics.fmean(x) if n else 0.0
    s = statistics.stdev(x) if n >= 2 else 0.0
    smallest, largest = (min(x), max(x)) if n else (0.0, 0.0)
    above = sum(1 for v in x if case.usl_on > 0 and v > case.usl)
    below = sum(1 for v in x if case.lsl_on > 0 and v < case.lsl)

    def capability(spread, centre):
        if not spread > 0:
            return 0.0, 0.0
        upper_on, lower_on = case.usl_on > 0, case.lsl_on > 0
        if upper_on and lower_on:
            return ((case.usl - case.lsl) / (6 * spread),
                    min(case.usl - centre, centre - case.lsl) / (3 * spread))
        if lower_on and case.usl_on == 0:
            return (case.nom - case.lsl) / (3 * spread), (centre - case.lsl) / (3 * spread)
        if upper_on and case.lsl_on == 0:
            return (case.usl - case.nom) / (3 * spread), (case.usl - centre) / (3 * spread)
        return 0.0, 0.0

    cm, cmk = capability(s, mean)
    k = n // case.sample_size
    m = min(case.sample_size, 20)
    groups = [x[m * j:m * j + m] for j in range(k)]
    z = sigma = 0.0
    if m >= 2 and k >= 1 and 0 <= case.norm <= 3:
        used = [v for g in groups for v in g]
        z = statistics.fmean(used)
        if case.norm == 3:
            sigma = math.sqrt(statistics.fmean([statistics.variance(g) for g in groups]))
        elif case.norm == 2:
            sigma = statistics.fmean([statistics.stdev(g) for g in groups]) / single(T[100 + m])
        elif case.norm == 1:
            sigma = statistics.fmean([max(g) - min(g) for g in groups]) / single(T[250 + m])
        else:
            sigma = statistics.stdev(used)
    cp, cpk = (cm, cmk) if m < 2 else capability(sigma, z)

    # Control limits.
    t = lambda row: single(T[row])
    tens, u = case.typ // 10, case.typ % 10
    ucl = uwl = lwl = lcl = 0.0
    present, warning, series = 0, 0, 1
    disp = [0.0] * 5
    if m >= 2:
        present = 0 if tens >= 3 else 1
        plotted = "mean" if u <= 2 else "median" if u <= 5 else "extremes"
        if tens == 1:
            warning, series = 1, 2 if plotted == "extremes" else 1
            if plotted == "extremes":
                pa = (0.9973 ** (1 / m) + 1) * 500
                pw = (0.95 ** (1 / m) + 1) * 500
                ucl, uwl, lwl, lcl = z + q(pa) * sigma, z + q(pw) * sigma, z - q(pw) * sigma, z - q(pa) * sigma
            else:
                a = sigma / math.sqrt(m) * (t(m) if plotted == "median" else 1)
                ucl, uwl, lwl, lcl = z + 3 * a, z + t(975) * a, z - t(975) * a, z - 3 * a
        elif tens == 2:
            series = 2 if plotted == "extremes" else 1
            if plotted == "mean":
                f = t(950) + t(900) / math.sqrt(m)
            elif plotted == "median":
                f = t(950) + t(900) * t(m) / math.sqrt(m)
            else:
                f = t(950) - q(0.1 ** (1 / m) * 1000)
            ucl, lcl = case.usl - f * sigma, case.lsl + f * sigma
            ucl, lcl = max(ucl, lcl), min(ucl, lcl)
        if u % 3 != 2:
            hi_row, lo_row = (360, 330) if u % 3 == 0 else (420, 390)
            up, low = t(hi_row + m) * sigma, t(lo_row + m) * sigma
            disp = [up, up, (t(hi_row + m) + t(lo_row + m)) * sigma / 2, low, low]

    # Histogram classes.
    lo, hi = case.lsl, case.usl
    if n:
        lo, hi = min(lo, smallest), max(hi, largest)
    hi += (hi - lo) / 15
    lo -= (hi - lo) / 15
    if lo == hi:
        hi, lo = hi + 0.01, lo - 0.01
    bounds = [lo + i * (hi - lo) / 15 for i in range(16)]
    counts = [sum(1 for v in x if bounds[i - 1] <= v < bounds[i]) for i in range(1, 16)]
    peak = max(counts)
    peak = 10 if peak < 10 else peak + 1

    positions = n if case.typ == 1 else n // case.sample_size
    figures = [n, mean, s, smallest, largest, largest - smallest, above, below,
               (above + below) * 100 / n if n else 0.0, cm, cmk, k, m, z, sigma, cp, cpk,
               ucl, uwl, lwl, lcl, present, warning, series] + disp + [max(positions, 10), lo, hi, peak] + counts
    for i, value in enumerate(figures, start=1):
        r[i] = value

    series_lines = []
    if case.typ >= 10 and m >= 2:
        for j, g in enumerate(groups, start=1):
            if u <= 2:
                series_lines.append(("location", j, statistics.fmean(g)))
            elif u <= 5:
                series_lines.append(("location", j, statistics.median(g)))
            else:
                series_lines.append(("location", j, min(g)))
                series_lines.append(("largest", j, max(g)))
            if u % 3 == 0:
                series_lines.append(("dispersion", j, statistics.stdev(g)))
            elif u % 3 == 1:
                series_lines.append(("dispersion", j, max(g) - min(g)))
            else:
                series_lines.append(("dispersion", j, 0.0))
    return r, series_lines


def quantile(p, T):
    """Normal quantile at p per mille, interpolated linearly in the table; mirrored below 500."""
    if p < 500:
        return -quantile(1000 - p, T)
    if 998.64 <= p <= 998.66:
        return 3.0
    a = min(math.floor(p), 1000)
    b = min(a + 1, 1000)
    ta, tb = single(T[a]), single(T[b])
    return ta if a == b else (tb - ta) * (p - a) + ta


def values(seed, count, mean=10.0, sd=0.05):
    rng = random.Random(seed)
    return [round(rng.gauss(mean, sd), 3) for _ in range(count)]


def cases():
    c = []
    base = values(1, 125)
    c.append(Case("xbar_r_m5_mean_range", 11, 5, 1, base))
    c.append(Case("xbar_s_m5_mean_deviation", 10, 5, 2, base))
    c.append(Case("xbar_m2_total_no_dispersion", 12, 2, 0, values(2, 41)))
    c.append(Case("xbar_s_m20_pooled", 10, 20, 3, values(3, 200)))
    c.append(Case("median_s_m5_mean_range", 13, 5, 1, base))
    c.append(Case("median_r_m4_mean_deviation", 14, 4, 2, values(4, 60)))
    c.append(Case("median_m2_pooled", 15, 2, 3, values(5, 30)))
    c.append(Case("median_r_m20_total", 14, 20, 0, values(14, 120)))
    c.append(Case("single_s_m5_mean_range", 16, 5, 1, base))
    c.append(Case("single_r_m2_total", 17, 2, 0, values(6, 50)))
    c.append(Case("single_m3_pooled", 18, 3, 3, values(7, 45)))
    c.append(Case("single_s_m20_mean_deviation", 19, 20, 2, values(8, 180)))
    c.append(Case("accept_mean_s_m5_mean_range", 20, 5, 1, base))
    c.append(Case("accept_mean_r_size25_mean_deviation", 21, 25, 2, values(9, 103)))
    c.append(Case("accept_median_s_m5_total", 23, 5, 0, base))
    c.append(Case("accept_median_m2_mean_range", 25, 2, 1, values(10, 40)))
    c.append(Case("accept_single_s_m2_mean_range", 26, 2, 1, values(11, 40)))
    c.append(Case("accept_single_r_m3_pooled", 27, 3, 3, values(12, 45)))
    c.append(Case("accept_single_m5_mean_deviation", 28, 5, 2, base))
    c.append(Case("accept_single_s_m20_total", 29, 20, 0, values(13, 100)))
    c.append(Case("accept_limits_exchanged", 20, 5, 1, base, usl=10.05, lsl=9.95))
    c.append(Case("run_chart_with_subgroups", 4, 5, 1, values(15, 37)))
    c.append(Case("run_chart_of_single_values", 1, 1, 1, values(16, 7)))
    c.append(Case("kind_30_and_above", 31, 5, 1, values(17, 50)))
    c.append(Case("only_lower_limit", 11, 5, 1, values(18, 50), usl_on=0))
    c.append(Case("only_upper_limit", 11, 5, 3, values(18, 50), lsl_on=0))
    c.append(Case("limits_off", 11, 5, 1, values(18, 50), usl_on=0, lsl_on=0))
    c.append(Case("upper_limit_switch_negative", 11, 5, 1, values(18, 50), usl_on=-1))
    c.append(Case("single_value", 11, 5, 1, [10.02]))
    c.append(Case("unknown_norm", 11, 5, 4, values(19, 25)))
    c.append(Case("values_beyond_the_limits", 10, 5, 0, values(20, 60, 10.0, 0.2)))
    return c


def fmt(value):
    return repr(float(value))


def main():
    check_published()
    rows = table_rows()
    write_table(rows)
    lines = ["# Chart requests and their expected figures (written by spc_reference.py)"]
    for case in cases():
        figures, series = expected(case, rows)
        lines.append("case %s" % case.name)
        lines.append("input %d %d %d %s %s %s %d %d" % (case.typ, case.sample_size, case.norm, fmt(case.nom),
                                                      fmt(case.usl), fmt(case.lsl), case.usl_on, case.lsl_on))
        lines.append("values " + " ".join(fmt(v) for v in case.values))
        for i in sorted(figures):
            lines.append("result %d %s" % (i, fmt(figures[i])))
        for kind, j, value in series:
            lines.append("%s %d %s" % (kind, j, fmt(value)))
        lines.append("end")
    with open(os.path.join(HERE, "spc_reference.txt"), "w") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
