#!/usr/bin/env python3
"""Independent figures for the run tests of the control charts.

Writes run_tests_reference.txt beside itself: chart requests over every chart
family and subgroup size 2 .. 20, with series built to break the run tests
(shifts, trends, alternation, points hugging the centre, mixtures), some
charted against given (historical) limits, and for each the tests every
subgroup breaks. The limits and subgroup series come from spc_reference.py
(Python's statistics module); the tests are written here from their textbook
definitions by counting runs forward, point by point.

Run it again after changing a case: python3 tests/data/run_tests_reference.py
"""
import math
import os
import random

import spc_reference as ref

HERE = os.path.dirname(os.path.abspath(__file__))
NAN = float("nan")


def side(v, c, d):
    """+1 strictly above c + d, -1 strictly below c - d, 0 otherwise (and for NaN)."""
    if v > c + d:
        return 1
    if v < c - d:
        return -1
    return 0


def run_tests(low, high, ucl, lcl, c, sigma, tests):
    """Per point (list index 0 = subgroup 1): the set of tests it breaks."""
    n = len(low)
    flags = [set() for _ in range(n)]
    same_side = same_side_sign = 0
    trend = trend_sign = 0
    alternating = last_step = 0
    within = 0
    outside = 0
    for i in range(n):
        v = low[i]
        if math.isnan(v) or math.isnan(high[i]):
            same_side = trend = alternating = within = outside = 0
            last_step = trend_sign = same_side_sign = 0
            continue
        if 1 in tests and (high[i] > ucl or v < lcl):
            flags[i].add(1)
        # Test 2: nine in a row strictly on one side of the centre.
        s = side(v, c, 0.0)
        if s != 0 and s == same_side_sign:
            same_side += 1
        else:
            same_side, same_side_sign = (1 if s else 0), s
        if 2 in tests and same_side >= 9:
            flags[i].add(2)
        # Tests 3 and 4 count steps from the previous point (a number).
        previous = low[i - 1] if i > 0 and not math.isnan(low[i - 1]) and not math.isnan(high[i - 1]) else None
        step = 0
        if previous is not None:
            step = 1 if v > previous else -1 if v < previous else 0
        if step != 0 and step == trend_sign:
            trend += 1
        else:
            trend, trend_sign = (1 if step else 0), step
        if 3 in tests and trend >= 5:
            flags[i].add(3)
        if step != 0 and last_step != 0 and step == -last_step:
            alternating += 1
        else:
            alternating = 1 if step != 0 else 0
        last_step = step
        if 4 in tests and alternating >= 13:
            flags[i].add(4)
        # Tests 5 and 6: the last three (five) points, all numbers, the current one beyond.
        for test, span, needed, zones in ((5, 3, 2, 2.0), (6, 5, 4, 1.0)):
            if test not in tests or i + 1 < span:
                continue
            window = [(low[j], high[j]) for j in range(i - span + 1, i + 1)]
            if any(math.isnan(a) or math.isnan(b) for a, b in window):
                continue
            here = side(v, c, zones * sigma)
            if here != 0 and sum(1 for a, _ in window if side(a, c, zones * sigma) == here) >= needed:
                flags[i].add(test)
        # Test 7: fifteen within one sigma, bounds included.
        within = within + 1 if (c - sigma <= v <= c + sigma) else 0
        if 7 in tests and within >= 15:
            flags[i].add(7)
        # Test 8: eight beyond one sigma, both sides among them.
        outside = outside + 1 if side(v, c, sigma) != 0 else 0
        if 8 in tests and outside >= 8:
            sides = {side(low[j], c, sigma) for j in range(i - 7, i + 1)}
            if sides == {1, -1}:
                flags[i].add(8)
    return flags


def shaped_values(rng, k, m, centre, sd, shape_seed):
    """k subgroups of m values whose subgroup offsets follow random patterns."""
    shapes = ["plain", "shift", "trend", "alternate", "hug", "mixture", "outlier"]
    offsets = []
    while len(offsets) < k:
        shape = shapes[rng.randrange(len(shapes))]
        # Alternation and hugging need long stretches to show.
        length = rng.randint(14, 20) if shape in ("alternate", "hug") else rng.randint(4, 18)
        up = rng.choice([1, -1])
        for t in range(length):
            if shape == "plain":
                o = 0.0
            elif shape == "shift":
                o = up * 1.2
            elif shape == "trend":
                o = up * (t - length / 2) * 1.6
            elif shape == "alternate":
                o = 1.6 if t % 2 else -1.6
            elif shape == "hug":
                o = 0.0
            elif shape == "mixture":
                o = rng.choice([1.8, -1.8])
            else:
                o = up * 4.0 if t == 0 else 0.0
            spread = 0.15 if shape == "hug" else 1.0
            offsets.append((o, spread))
    values = []
    for o, spread in offsets[:k]:
        # The offsets are in units of the subgroup mean's spread.
        for _ in range(m):
            values.append(round(centre + o * sd / math.sqrt(m) + rng.gauss(0, sd * spread), 3))
    return values


# The chart kinds of each family: means, medians, single values, and the acceptance chart of each.
FAMILIES = [[10, 11, 12], [13, 14, 15], [16, 17, 18, 19], [20, 21, 22], [23, 24, 25], [26, 27, 28, 29]]


def cases():
    rng = random.Random(2024)
    out = []
    index = 0
    for kinds in FAMILIES:
        for m in range(2, 21):
            typ = kinds[m % len(kinds)]
            norm = m % 4
            k = rng.randint(25, 45)
            values = shaped_values(rng, k, m, 10.0, 0.05, index)
            given = None
            if index % 3 == 1:
                given = (10.0 + rng.uniform(-0.02, 0.02), 0.05 * rng.uniform(0.7, 1.2))
            elif index % 3 == 2 and m % 2:
                given = (NAN, 0.05 * rng.uniform(0.6, 1.0))
            tests = 0xFF if index % 5 else rng.randrange(256)
            out.append(("random_%d_typ%d_m%d" % (index, typ, m), typ, m, norm, values, given, tests))
            index += 1
    # Run charts and kinds from 30 up apply no test.
    for typ, m in ((5, 5), (1, 1), (31, 5), (11, 1)):
        out.append(("no_tests_typ%d_m%d" % (typ, m), typ, m, 1, shaped_values(rng, 30, m, 10.0, 0.05, 0), None,
                    0xFF))
    return out


def applicable(typ, m):
    if m < 2 or typ < 10 or typ >= 30:
        return set(), False
    tens, u = typ // 10, typ % 10
    location = set(range(1, 9)) if tens == 1 and u <= 5 else {1}
    return location, u % 3 != 2


def main():
    rows = ref.table_rows()
    lines = ["# Chart requests and the run tests each subgroup breaks (written by run_tests_reference.py)"]
    for name, typ, m, norm, values, given, mask in cases():
        case = ref.Case(name, typ, m, norm, values)
        figures, series = ref.expected(case, rows)
        centre, sigma = figures[14], figures[15]
        if given is not None:
            centre = given[0] if not math.isnan(given[0]) else centre
            sigma = given[1]
            figures = limits_from(case, rows, figures, centre, sigma)
        wanted = {t for t in range(1, 9) if mask >> (t - 1) & 1}
        location_tests, has_dispersion = applicable(typ, m)
        location_tests &= wanted
        low = [v for kind, _, v in series if kind == "location"]
        largest = [v for kind, _, v in series if kind == "largest"]
        high = largest if largest else low
        dispersion = [v for kind, _, v in series if kind == "dispersion"]
        ucl, lcl = figures[18], figures[21]
        zone = (ucl - centre) / 3
        flags = run_tests(low, high, ucl, lcl, centre, zone, location_tests)
        if has_dispersion and 1 in wanted:
            beyond = run_tests(dispersion, dispersion, figures[25], figures[29], 0.0, 0.0, {1})
            for f, b in zip(flags, beyond):
                if b:
                    f.add(9)
        k = len(values) // m
        masks = [sum(1 << (t - 1) for t in f) for f in flags] + [0] * (k - len(flags))
        lines.append("case %s" % name)
        lines.append("input %d %d %d %s %s %s %d %d" % (typ, m, norm, ref.fmt(case.nom), ref.fmt(case.usl),
                                                      ref.fmt(case.lsl), case.usl_on, case.lsl_on))
        given_text = "none" if given is None else "%s %s" % (ref.fmt(given[0]), ref.fmt(given[1]))
        lines.append("given %s" % given_text)
        lines.append("tests %d" % mask)
        lines.append("values " + " ".join(ref.fmt(v) for v in values))
        lines.append("zones %s %s %s %s" % (ref.fmt(centre), ref.fmt(zone), ref.fmt(ucl), ref.fmt(lcl)))
        lines.append("flags " + " ".join(str(x) for x in masks))
        lines.append("end")
    with open(os.path.join(HERE, "run_tests_reference.txt"), "w") as out:
        out.write("\n".join(lines) + "\n")


def limits_from(case, rows, figures, centre, sigma):
    """The limits of spc_reference.expected, made from the given centre and sigma in place of the data's."""
    q = lambda p: ref.quantile(p, rows)
    t = lambda row: ref.single(rows[row])
    m = min(case.sample_size, 20)
    tens, u = case.typ // 10, case.typ % 10
    f = dict(figures)
    plotted = "mean" if u <= 2 else "median" if u <= 5 else "extremes"
    if tens == 1:
        if plotted == "extremes":
            pa = (0.9973 ** (1 / m) + 1) * 500
            pw = (0.95 ** (1 / m) + 1) * 500
            f[18], f[19], f[20], f[21] = (centre + q(pa) * sigma, centre + q(pw) * sigma, centre - q(pw) * sigma,
                                          centre - q(pa) * sigma)
        else:
            a = sigma / math.sqrt(m) * (t(m) if plotted == "median" else 1)
            f[18], f[19], f[20], f[21] = centre + 3 * a, centre + t(975) * a, centre - t(975) * a, centre - 3 * a
    elif tens == 2:
        if plotted == "mean":
            d = t(950) + t(900) / math.sqrt(m)
        elif plotted == "median":
            d = t(950) + t(900) * t(m) / math.sqrt(m)
        else:
            d = t(950) - q(0.1 ** (1 / m) * 1000)
        upper, lower = case.usl - d * sigma, case.lsl + d * sigma
        f[18], f[21] = max(upper, lower), min(upper, lower)
    if u % 3 != 2:
        hi_row, lo_row = (360, 330) if u % 3 == 0 else (420, 390)
        up, low = t(hi_row + m) * sigma, t(lo_row + m) * sigma
        f[25], f[26], f[27], f[28], f[29] = up, up, (t(hi_row + m) + t(lo_row + m)) * sigma / 2, low, low
    return f


if __name__ == "__main__":
    main()
