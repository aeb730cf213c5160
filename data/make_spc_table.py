#!/usr/bin/env python3
"""Computes TESSAN_SPC.TAB, the constants table read by MERIDAN.dll at load.

Every figure is computed here from the standard normal distribution (the
error function and the gamma function of Python's math module, and
numerical integration); nothing is copied from a printed table.

    python3 data/make_spc_table.py            rewrites data/TESSAN_SPC.TAB
    python3 data/make_spc_table.py OUTPUT     writes OUTPUT instead

The output is byte-for-byte reproducible; a test regenerates it and compares
it with the committed file.

Integration: every integrand below is smooth and dies off like the normal
density, so the trapezoidal rule over the whole line converges faster than
any power of the step: with steps two and four times finer than those used
here, no result moved by more than 2e-15. Integrals over a half-line w > 0
(the distance between two order statistics) are taken in t = ln w, which
turns them into integrals over the whole line as well.
"""

import math
import os
import sys

SUBGROUP_SIZES = range(2, 21)
SQRT2 = math.sqrt(2.0)

X_STEP = 0.1           # step in x for all integrals over the normal density
X_LIMIT = 9.0          # |x| beyond this carries less than 1e-18 of probability
T_STEP = 0.1           # step in t = ln w
T_FIRST, T_LAST = -32.0, math.log(2 * X_LIMIT)


def upper_tail(x):
    """1 - Phi(x), accurate far into both tails."""
    return 0.5 * math.erfc(x / SQRT2)


def lower_tail(x):
    """Phi(x)."""
    return 0.5 * math.erfc(-x / SQRT2)


def density(x):
    return math.exp(-0.5 * x * x) / math.sqrt(2.0 * math.pi)


def probability_between(x, y):
    """Phi(y) - Phi(x) for x < y, taken from the tail where it does not cancel."""
    return upper_tail(x) - upper_tail(y) if x >= 0 else lower_tail(y) - lower_tail(x)


def x_grid():
    count = int(round(X_LIMIT / X_STEP))
    return [i * X_STEP for i in range(-count, count + 1)]


def t_grid():
    count = int(math.floor((T_LAST - T_FIRST) / T_STEP))
    return [T_FIRST + i * T_STEP for i in range(count + 1)]


def line_integral(values):
    """Trapezoidal sum over the x grid; the integrand is negligible at both ends."""
    return math.fsum(values) * X_STEP


def c4(m):
    """Mean of the sample standard deviation of m normal values, per unit sigma."""
    return math.sqrt(2.0 / (m - 1)) * math.exp(math.lgamma(m / 2.0) - math.lgamma((m - 1) / 2.0))


def d2(m):
    """Mean range of m normal values: integral of 1 - (1 - Phi)^m - Phi^m."""
    def survival_of_range_ends(x):
        q = upper_tail(abs(x))  # the integrand is even in x
        return -math.expm1(m * math.log1p(-q)) - q ** m
    return line_integral([survival_of_range_ends(x) for x in x_grid()])


class PairGrid:
    """Points (x, y = x + w), w = e^t > 0, covering the half-plane x < y, with
    the tail probabilities there; shared by the double integrals."""

    def __init__(self):
        self.points = []
        for t in t_grid():
            w = math.exp(t)
            for x in x_grid():
                y = x + w
                if y > X_LIMIT:
                    break
                self.points.append((x, y, w))
        self.lower_x = [lower_tail(x) for x, _, _ in self.points]
        self.upper_x = [upper_tail(x) for x, _, _ in self.points]
        self.lower_y = [lower_tail(y) for _, y, _ in self.points]
        self.upper_y = [upper_tail(y) for _, y, _ in self.points]
        self.between = [probability_between(x, y) for x, y, _ in self.points]
        self.density_product = [density(x) * density(y) for x, y, _ in self.points]

    def integral(self, values):
        """Integral over x < y of a function given at the grid points
        (dy = e^t dt at fixed x)."""
        return math.fsum(v * w for v, (_, _, w) in zip(values, self.points)) * X_STEP * T_STEP


def d3(m, pairs, mean_range):
    """Standard deviation of the range of m normal values.

    E[W^2] = 2 * integral over x < y of P(X(1) <= x and X(m) > y)
           = 2 * integral of 1 - (1 - Phi(x))^m - Phi(y)^m + (Phi(y) - Phi(x))^m,
    since (b - a)^2 / 2 is the area of {a <= x < y <= b}.
    """
    # 1 - Q(x)^m - P(y)^m (Q = 1 - Phi, P = Phi) takes 1 - (larger)^m through
    # expm1 from that one's complement, so the near-ones do not cancel.
    values = [
        -math.expm1(m * math.log1p(-lx)) - ly ** m + b ** m if ux > ly else
        -math.expm1(m * math.log1p(-uy)) - ux ** m + b ** m
        for lx, ux, ly, uy, b in zip(pairs.lower_x, pairs.upper_x, pairs.lower_y, pairs.upper_y, pairs.between)
    ]
    second_moment = 2.0 * pairs.integral(values)
    return math.sqrt(second_moment - mean_range ** 2)


def median_factor(m, pairs):
    """Standard deviation of the median of m standard normal values, times
    sqrt(m). For even m the median is the mean of the middle pair, so its
    variance comes from the joint density of the two middle order statistics."""
    k = m // 2
    if m % 2 == 1:
        scale = math.exp(math.lgamma(m + 1) - 2 * math.lgamma(k + 1))
        variance = line_integral([
            x * x * scale * (lower_tail(x) * upper_tail(x)) ** k * density(x) for x in x_grid()])
    else:
        # X(k) = x, X(k+1) = y: k-1 values below x, k-1 values above y.
        scale = math.exp(math.lgamma(m + 1) - 2 * math.lgamma(k))
        variance = pairs.integral([
            ((x + y) / 2.0) ** 2 * scale * (lx * uy) ** (k - 1) * f
            for (x, y, _), lx, uy, f in zip(pairs.points, pairs.lower_x, pairs.upper_y, pairs.density_product)])
    return math.sqrt(variance * m)


def normal_quantile(p):
    """u with Phi(u) = p, for 0.5 <= p < 1: Newton's method on the upper tail,
    started from the logistic approximation, kept inside a shrinking bracket."""
    if p == 0.5:
        return 0.0
    tail = 1.0 - p
    low, high = 0.0, 40.0
    u = math.log(p / tail) / 1.702
    for _ in range(200):
        if not low < u < high:
            u = 0.5 * (low + high)
        excess = upper_tail(u) - tail  # decreasing in u
        if excess > 0:
            low = u
        else:
            high = u
        step = excess / density(u)
        u += step
        if abs(step) < 1e-15 * max(1.0, abs(u)):
            break
    return u


# Row 1000 would hold u(1) = infinity. Probabilities between 0.999 and 1 are
# read by straight-line interpolation between rows 999 and 1000, and the chart
# that needs them is the single-values chart: its action limits sit at
# u(p) with p = (0.9973^(1/m) + 1) / 2 for subgroups of m = 2 to 20 values.
LIMIT_PROBABILITY = 0.9999


def single_values_probability(m):
    return (0.9973 ** (1.0 / m) + 1.0) / 2.0


def interpolation_errors(row_999, row_1000):
    """Relative error of the interpolated quantile at the single-values
    chart's probability, for each subgroup size."""
    errors = []
    for m in SUBGROUP_SIZES:
        p = single_values_probability(m)
        interpolated = row_999 + (p * 1000.0 - 999.0) * (row_1000 - row_999)
        errors.append(interpolated / normal_quantile(p) - 1.0)
    return errors


def best_possible_error(row_999):
    """The smallest worst-case relative error that any value of row 1000 gives
    (bisection on the value that balances the two extremes)."""
    low, high = row_999, 2.0 * row_999
    for _ in range(100):
        middle = 0.5 * (low + high)
        errors = interpolation_errors(row_999, middle)
        if max(errors) + min(errors) > 0:
            high = middle
        else:
            low = middle
    return max(errors)


def quantile_limit_comment(row_999, row_1000):
    errors = interpolation_errors(row_999, row_1000)
    short_value = normal_quantile(0.9995)
    short_errors = interpolation_errors(row_999, short_value)
    wide_errors = interpolation_errors(row_999, 100.0)
    return [
        "; u(1.000) is infinite; row 1000 holds u(%.4f) = %s instead. Probabilities between 0.999"
        % (LIMIT_PROBABILITY, number_text(row_1000)),
        "; and 1 are read by straight-line interpolation between rows 999 and 1000. The single-values",
        "; control chart asks there for (0.9973^(1/m) + 1) / 2, from %.5f (m = 2) to %.5f (m = 20),"
        % (single_values_probability(2), single_values_probability(20)),
        "; where the true quantiles run from %.3f to %.3f. With u(%.4f) in row 1000 the interpolated"
        % (normal_quantile(single_values_probability(2)), normal_quantile(single_values_probability(20)),
           LIMIT_PROBABILITY),
        "; quantiles lie within %+.1f %% and %+.1f %% of the true ones for every m from 2 to 20 (no single"
        % (100.0 * min(errors), 100.0 * max(errors)),
        "; value does better than +-%.1f %%), and they grow with m as the true ones do."
        % (100.0 * best_possible_error(row_999)),
        "; A value near u(0.9995) = %.3f would draw those limits up to %.0f %% too close to the centre;"
        % (short_value, -100.0 * min(short_errors)),
        "; a very large one would push them far out (100 would make them %.0f to %.0f times too wide)."
        % (1.0 + min(wide_errors), 1.0 + max(wide_errors)),
    ]


def number_text(value):
    """Seven significant digits, plain decimal notation."""
    if value == 0.0:
        return "0"
    exponent = int(("%.6e" % value).split("e")[1])
    return "%.*f" % (max(6 - exponent, 0), value)


def table_lines():
    pairs = PairGrid()
    per_size = {}
    for m in SUBGROUP_SIZES:
        mean_range = d2(m)
        range_deviation = d3(m, pairs, mean_range)
        mean_deviation = c4(m)
        spread = 3.0 * math.sqrt(1.0 - mean_deviation ** 2)
        per_size[m] = {
            "median": median_factor(m, pairs),
            "c4": mean_deviation,
            "d2": mean_range,
            "B5": max(0.0, mean_deviation - spread),
            "B6": mean_deviation + spread,
            "D1": max(0.0, mean_range - 3.0 * range_deviation),
            "D2": mean_range + 3.0 * range_deviation,
        }

    lines = [
        "; TESSAN_SPC.TAB: control-chart constants and standard normal quantiles for MERIDAN.dll.",
        "; Computed by data/make_spc_table.py from the normal distribution; do not edit by hand.",
        "; Format: CR LF line ends; a line whose first non-blank character is not a digit is a comment;",
        "; a data line is: row number, any text, the value in double quotes.",
    ]
    sections = [
        (0, "median", "median-chart factor: standard deviation of the median of m values times sqrt(m)"),
        (100, "c4", "c4(m): mean sample standard deviation of m normal values, in units of sigma"),
        (250, "d2", "d2(m): mean range of m normal values, in units of sigma"),
        (330, "B5", "B5(m) = max(0, c4 - 3 sqrt(1 - c4^2)): lower factor of the standard-deviation chart"),
        (360, "B6", "B6(m) = c4 + 3 sqrt(1 - c4^2): upper factor of the standard-deviation chart"),
        (390, "D1", "D1(m) = max(0, d2 - 3 d3): lower factor of the range chart"),
        (420, "D2", "D2(m) = d2 + 3 d3: upper factor of the range chart"),
    ]
    for base, key, heading in sections:
        lines += [";", "; Rows %d + m, m = 2 to 20: %s" % (base, heading)]
        for m in SUBGROUP_SIZES:
            lines.append('%d %s(%d) "%s"' % (base + m, key, m, number_text(per_size[m][key])))

    # The interpolation is done by the library on the values as printed.
    quantiles = {row: number_text(normal_quantile(row / 1000.0)) for row in range(500, 1000)}
    quantiles[1000] = number_text(normal_quantile(LIMIT_PROBABILITY))
    lines += [";", "; Rows 500 to 1000: u(k/1000), the standard normal quantile at probability k/1000", ";"]
    lines += quantile_limit_comment(float(quantiles[999]), float(quantiles[1000]))
    for row in range(500, 1001):
        lines.append('%d u(%.3f) "%s"' % (row, row / 1000.0, quantiles[row]))
    return lines


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "TESSAN_SPC.TAB")
    text = "".join(line + "\r\n" for line in table_lines())
    with open(output, "wb") as out:
        out.write(text.encode("ascii"))


if __name__ == "__main__":
    main()
