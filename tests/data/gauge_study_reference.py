#!/usr/bin/python3
"""Independent figures for the gauge study tests.

Writes gauge_study_reference.txt beside itself: random balanced crossed
studies (type 2), studies without appraisers (type 3) and type 1 studies, each
with every figure of the library's layout worked out here from the textbook
formulas of measurement systems analysis, with NumPy for the arithmetic and
SciPy's F and t distributions for p-values and quantiles (not Boost's, which
the library uses). The range chart's factors D4 = D2 / d2 and D3 = D1 / d2
are read from the shipped constants table, single precision as stored.

Run it with Debian's Python (it has SciPy): /usr/bin/python3 tests/data/gauge_study_reference.py
"""
import math
import os
import random

import numpy as np
from scipy import stats

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE = os.path.join(HERE, '..', '..', 'data', 'TESSAN_SPC.TAB')

# Average and range method: K1 by trials, K2 by appraisers, K3 by parts (4 places, as published).
K1 = {2: 0.8862, 3: 0.5908}
K2 = {2: 0.7071, 3: 0.5231}
K3 = {2: 0.7071, 3: 0.5231, 4: 0.4467, 5: 0.4030, 6: 0.3742, 7: 0.3534, 8: 0.3375, 9: 0.3249, 10: 0.3146}


def table_rows():
    rows = {}
    with open(TABLE, newline='') as f:
        for line in f:
            fields = line.split()
            if fields and fields[0].isdigit():
                rows[int(fields[0])] = float(np.float32(float(line.split('"')[1])))
    return rows


ROWS = table_rows()


def d2(m): return ROWS[250 + m]
def D1(m): return ROWS[390 + m]
def D2(m): return ROWS[420 + m]


def ndc(pv, grr):
    if pv == 0:
        return 1.0
    if grr == 0:
        return math.inf
    return max(1.0, math.floor(1.41 * pv / grr))


def type1_figures(readings, reference, tolerance, K, L, confidence):
    x = np.array([v for v in readings if not math.isnan(v)])
    n = len(x)
    mean = x.mean()
    s = x.std(ddof=1)
    bias = mean - reference
    se = s / math.sqrt(n)
    t = bias / se
    df = n - 1
    p = 2 * stats.t.sf(abs(t), df)
    q = stats.t.ppf(1 - (1 - confidence) / 2, df)
    cg = (K / 100 * tolerance) / (L * s)
    cgk = (K / 200 * tolerance - abs(bias)) / (L / 2 * s)
    return [1, n, mean, s, x.min(), x.max(), reference, tolerance, bias, t, df, p, bias - q * se, bias + q * se,
            cg, cgk, K / cg, K / cgk, K, L]


def study_figures(kind, y, tolerance, multiplier, alpha):
    """y[a, p, t]: appraiser, part, trial."""
    o, n, r = y.shape
    grand = y.mean()
    cell = y.mean(axis=2)
    part = y.mean(axis=(0, 2))
    appraiser = y.mean(axis=(1, 2))
    ss_p = o * r * ((part - grand) ** 2).sum()
    ss_a = n * r * ((appraiser - grand) ** 2).sum()
    ss_pa = r * ((cell - part[None, :] - appraiser[:, None] + grand) ** 2).sum()
    ss_e = ((y - cell[:, :, None]) ** 2).sum()
    ss_t = ((y - grand) ** 2).sum()
    df_p, df_a, df_pa, df_e, df_t = n - 1, o - 1, (n - 1) * (o - 1), n * o * (r - 1), n * o * r - 1
    ms_p, ms_e = ss_p / df_p, ss_e / df_e
    if kind == 2:
        ms_a, ms_pa = ss_a / df_a, ss_pa / df_pa
        f_p, f_a, f_pa = ms_p / ms_pa, ms_a / ms_pa, ms_pa / ms_e
        p_p, p_a = stats.f.sf(f_p, df_p, df_pa), stats.f.sf(f_a, df_a, df_pa)
        p_pa = stats.f.sf(f_pa, df_pa, df_e)
        removed = p_pa > alpha
        if removed:
            repeat = (ss_pa + ss_e) / (df_pa + df_e)
            inter = 0.0
            app = max(0.0, (ms_a - repeat) / (n * r))
            prt = max(0.0, (ms_p - repeat) / (o * r))
        else:
            repeat = ms_e
            inter = max(0.0, (ms_pa - ms_e) / r)
            app = max(0.0, (ms_a - ms_pa) / (n * r))
            prt = max(0.0, (ms_p - ms_pa) / (o * r))
    else:
        ss_a = ss_pa = 0.0
        ms_a = ms_pa = f_a = f_pa = p_a = p_pa = 0.0
        f_p = ms_p / ms_e
        p_p = stats.f.sf(f_p, df_p, df_e)
        removed = False
        repeat, inter, app = ms_e, 0.0, 0.0
        prt = max(0.0, (ms_p - ms_e) / r)
    repro = app + inter
    grr = repeat + repro
    total = grr + prt
    ev, av, g, pv, tv = (math.sqrt(v) for v in (repeat, repro, grr, prt, total))
    tol = tolerance if tolerance > 0 and math.isfinite(tolerance) else 0.0
    figures = [kind, n, o, r, n * o * r, df_p, df_a, df_pa, df_e, df_t, ss_p, ss_a, ss_pa, ss_e, ss_t,
               ms_p, ms_a, ms_pa, ms_e, f_p, f_a, f_pa, p_p, p_a, p_pa, 1.0 if removed else 0.0, alpha,
               repeat, repro, app, inter, grr, prt, total, ev, av, g, pv, tv]
    figures += [100 * v / total for v in (repeat, repro, grr, prt)]
    figures += [100 * v / tv for v in (ev, av, g, pv)]
    figures += [multiplier * v for v in (ev, av, g, pv, tv)]
    figures += [100 * multiplier * v / tol if tol else 0.0 for v in (ev, av, g, pv)]
    figures += [ndc(pv, g), multiplier]

    # Average and range method.
    ranges = y.max(axis=2) - y.min(axis=2)           # [a, p]
    r_bar = ranges.mean(axis=1)
    x_bar = y.mean(axis=(1, 2))
    if kind == 2 and r in K1 and o in K2 and n in K3:
        rbb = r_bar.mean()
        x_diff = x_bar.max() - x_bar.min()
        rp = part.max() - part.min()
        ev2 = rbb * K1[r]
        av_square = (x_diff * K2[o]) ** 2 - ev2 ** 2 / (n * r)
        av2 = math.sqrt(av_square) if av_square > 0 else 0.0
        grr2 = math.hypot(ev2, av2)
        pv2 = rp * K3[n]
        tv2 = math.hypot(grr2, pv2)
        upper = D2(r) / d2(r) * rbb
        lower = D1(r) / d2(r) * rbb
        figures += [rbb, x_diff, rp, ev2, av2, grr2, pv2, tv2]
        figures += [100 * v / tv2 if tv2 > 0 else 0.0 for v in (ev2, av2, grr2, pv2)]
        figures += [100 * multiplier * grr2 / tol if tol else 0.0, ndc(pv2, grr2), upper, lower,
                    int((ranges > upper).sum())]
    else:
        figures += [0.0] * 17
    figures += list(r_bar) + list(x_bar)
    return figures


def rounded(values, step):
    return [round(v / step) * step for v in values]


def number(x):
    return repr(float(x))


def write_case(out, name, kind, parts, appraisers, trials, reference, tolerance, options, readings, figures):
    out.append('case %s' % name)
    out.append('input %d %d %d %d %s %s' % (kind, parts, appraisers, trials, number(reference), number(tolerance)))
    out.append('options ' + ' '.join(number(v) for v in options))
    out.append('readings ' + ' '.join(number(v) for v in readings))
    for i, value in enumerate(figures, start=1):
        out.append('result %d %s' % (i, number(value)))


def crossed_case(rng, out, index, kind):
    n = rng.randint(2, 15)
    o = rng.randint(2, 4) if kind == 2 else 1
    r = rng.randint(2, 5)
    if kind == 2 and index % 3 == 0:  # often where the average and range method has constants
        n, o, r = rng.randint(2, 10), rng.randint(2, 3), rng.randint(2, 3)
    interaction = kind == 2 and index % 2 == 1
    nominal = rng.choice([10.0, 25.0, 100.0])
    sigma_part = rng.uniform(0.005, 0.2)
    sigma_appraiser = rng.uniform(0.0, 0.05)
    sigma_interaction = rng.uniform(0.02, 0.08) if interaction else 0.0
    sigma_error = rng.uniform(0.005, 0.04)
    step = rng.choice([0.001, 0.0001])
    parts = [rng.gauss(0, sigma_part) for _ in range(n)]
    appraisers = [rng.gauss(0, sigma_appraiser) for _ in range(o)]
    y = np.zeros((o, n, r))
    for a in range(o):
        for p in range(n):
            effect = nominal + parts[p] + appraisers[a] + rng.gauss(0, sigma_interaction)
            y[a, p, :] = rounded([effect + rng.gauss(0, sigma_error) for _ in range(r)], step)
    tolerance = rng.choice([0.0, -1.0, 0.5, 1.0, 2.0 * sigma_part * 6])
    multiplier = rng.choice([6.0, 5.15, math.nan])
    alpha = 1.0 if index % 4 >= 2 else rng.choice([0.05, math.nan])
    options = [math.nan, multiplier, alpha]
    figures = study_figures(kind, y, tolerance, 6.0 if math.isnan(multiplier) else multiplier,
                            0.05 if math.isnan(alpha) else alpha)
    name = 'type%d_%d_n%d_o%d_r%d%s_alpha%s' % (kind, index, n, o, r, '_interaction' if interaction else '',
                                                 'default' if math.isnan(alpha) else alpha)
    write_case(out, name, kind, n, o, r, 0.0, tolerance, options, list(y.reshape(-1)), figures)


def type1_case(rng, out, index):
    count = rng.randint(5, 50)
    reference = rng.choice([10.0, 25.0, 50.0])
    s = rng.uniform(0.0005, 0.005)
    bias = rng.choice([0.0, rng.uniform(-2, 2) * s])
    readings = rounded([reference + bias + rng.gauss(0, s) for _ in range(count)], 0.0001)
    for _ in range(rng.randint(0, 3)):
        readings[rng.randrange(count)] = math.nan
    tolerance = rng.choice([0.02, 0.05, 0.1])
    K, L = rng.choice([(20.0, 6.0), (15.0, 4.0), (10.0, 6.0), (math.nan, math.nan)])
    confidence = rng.choice([0.95, 0.99, 0.9, math.nan])
    options = [math.nan, math.nan, math.nan, K, L, confidence]
    figures = type1_figures(readings, reference, tolerance, 20.0 if math.isnan(K) else K,
                            6.0 if math.isnan(L) else L, 0.95 if math.isnan(confidence) else confidence)
    write_case(out, 'type1_%d_n%d' % (index, count), 1, 1, 1, count, reference, tolerance, options, readings,
               figures)


def main():
    rng = random.Random(20261209)
    out = ['# Gauge studies and their expected figures (written by gauge_study_reference.py)']
    for index in range(60):
        crossed_case(rng, out, index, 2)
    for index in range(20):
        crossed_case(rng, out, index, 3)
    for index in range(20):
        type1_case(rng, out, index)
    with open(os.path.join(HERE, 'gauge_study_reference.txt'), 'w') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
