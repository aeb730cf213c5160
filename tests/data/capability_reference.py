#!/usr/bin/python3
"""Independent figures for the capability study tests.

Writes capability_reference.txt beside itself: random capability studies
(normal, lognormal and Weibull data; one- and two-sided limits; every SPCNorm;
subgroups of 1 to 10; every distribution option, some with a given Box-Cox
lambda) with the 55 figures expected for each, computed here from the
formulas with SciPy's distributions, root finder and optimiser.

The within-subgroup constants c4 and d2 are read from spc_constants.tab (the
table the C++ tests load), widened from single precision as the library
widens its table entries.

Run it again after changing a case (Debian's python3 has SciPy):
    /usr/bin/python3 tests/data/capability_reference.py [output file]
"""
import math
import os
import random
import struct
import sys

import numpy as np
from scipy import optimize, special, stats

HERE = os.path.dirname(os.path.abspath(__file__))
NAN = float("nan")

# d3(m): standard deviation of the range of m standard normal values (published control-chart table).
D3 = {2: 0.853, 3: 0.888, 4: 0.880, 5: 0.864, 6: 0.848, 7: 0.833, 8: 0.820, 9: 0.808, 10: 0.797}


def single(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def read_constants():
    table = {}
    with open(os.path.join(HERE, "spc_constants.tab"), encoding="latin-1") as f:
        for line in f:
            parts = line.split('"')
            if len(parts) >= 2 and parts[0].strip().isdigit():
                table[int(parts[0])] = single(float(parts[1]))
    return table


TABLE = read_constants()


def c4(m):
    return TABLE[100 + m]


def d2(m):
    return TABLE[250 + m]


# ---- within-subgroup sigma and its degrees of freedom --------------------------

def within(x, sample_size, norm):
    """sigma-hat, the centre Z, k, m and the degrees of freedom of sigma-hat."""
    n = len(x)
    if sample_size == 1:
        if n < 2:
            return NAN, float(np.mean(x)) if n else NAN, n, 1, NAN
        mr = np.abs(np.diff(x))
        sigma = float(np.mean(mr)) / d2(2)
        # Patnaik: nu = 1 / (2 CV^2) of the mean moving range. Successive differences of
        # independent normal values have variance 2 and correlation -1/2; for a bivariate normal
        # pair of variance v and correlation r, Cov(|X|, |Y|) = 2v/pi (sqrt(1 - r^2) + r asin r - 1).
        v, r = 2.0, -0.5
        e_abs = math.sqrt(2 * v / math.pi)
        var_abs = v - e_abs ** 2
        cov_abs = 2 * v / math.pi * (math.sqrt(1 - r * r) + r * math.asin(r) - 1)
        q = n - 1
        var_mean = (q * var_abs + 2 * (q - 1) * cov_abs) / q ** 2
        nu = 1 / (2 * var_mean / e_abs ** 2)
        return sigma, float(np.mean(x)), n, 1, nu
    m = min(sample_size, 20)
    k = n // sample_size
    if k < 1:
        return NAN, NAN, k, m, NAN
    groups = np.array(x[: k * m]).reshape(k, m)
    z = float(np.mean(groups))
    if norm == 0:
        sigma = float(np.std(groups, ddof=1))
        nu = k * m - 1
    elif norm == 1:
        sigma = float(np.mean(groups.max(axis=1) - groups.min(axis=1))) / d2(m)
        nu = k * d2(m) ** 2 / (2 * D3[m] ** 2)
    elif norm == 2:
        sigma = float(np.mean(np.std(groups, axis=1, ddof=1))) / c4(m)
        nu = k * c4(m) ** 2 / (2 * (1 - c4(m) ** 2))
    else:
        sigma = math.sqrt(float(np.sum((groups - groups.mean(axis=1, keepdims=True)) ** 2)) / (k * (m - 1)))
        nu = k * (m - 1)
    return sigma, z, k, m, nu


# ---- indices and intervals ----------------------------------------------------

def indices(spread, centre, usl, lsl):
    if not (spread > 0) or not math.isfinite(spread):
        return NAN, NAN, NAN, NAN
    both = (usl - lsl) / (6 * spread) if usl is not None and lsl is not None else NAN
    upper = (usl - centre) / (3 * spread) if usl is not None else NAN
    lower = (centre - lsl) / (3 * spread) if lsl is not None else NAN
    sides = [v for v, on in ((lower, lsl is not None), (upper, usl is not None)) if on]
    worst = NAN if any(math.isnan(v) for v in sides) else min(sides)
    return both, lower, upper, worst


def chi2_interval(index, nu, level):
    if not (nu > 0) or math.isnan(index):
        return NAN, NAN
    a = 1 - level
    return (index * math.sqrt(stats.chi2.ppf(a / 2, nu) / nu), index * math.sqrt(stats.chi2.ppf(1 - a / 2, nu) / nu))


def bissell(index, count, nu, level):
    if not (nu > 0) or not (count > 0) or math.isnan(index):
        return NAN, NAN
    z = stats.norm.ppf(1 - (1 - level) / 2)
    h = z * math.sqrt(1 / (9 * count) + index ** 2 / (2 * nu))
    return index - h, index + h


# ---- distributions ------------------------------------------------------------
# Each distribution: cdf, sf, logcdf, logsf, ppf as functions of x / p.

class Normal:
    def __init__(self, mu, sigma):
        self.d = stats.norm(mu, sigma)

    def cdf(self, x): return self.d.cdf(x)
    def sf(self, x): return self.d.sf(x)
    def logcdf(self, x): return self.d.logcdf(x)
    def logsf(self, x): return self.d.logsf(x)
    def ppf(self, p): return self.d.ppf(p)


class Lognormal(Normal):
    def __init__(self, x):
        shape, _, scale = stats.lognorm.fit(x, floc=0)
        self.params = (math.log(scale), shape)
        self.d = stats.lognorm(shape, 0, scale)

    def cdf(self, x): return self.d.cdf(x) if x > 0 else 0.0
    def sf(self, x): return self.d.sf(x) if x > 0 else 1.0


class Weibull(Normal):
    def __init__(self, x):
        lx = np.log(x)

        def score(beta):  # the profile likelihood equation of the shape
            w = np.exp(beta * (lx - lx.max()))
            return float(np.sum(w * lx) / np.sum(w) - 1 / beta - np.mean(lx))

        lo, hi = 1e-3, 1e3
        while score(hi) < 0:
            lo, hi = hi, hi * 10
        beta = optimize.brentq(score, lo, hi, xtol=1e-300, rtol=1e-15, maxiter=500)
        top = max(x)  # scale = mean(x^beta)^(1/beta), computed without overflow
        scale = top * float(np.mean((np.asarray(x) / top) ** beta)) ** (1 / beta)
        self.params = (beta, scale)
        self.d = stats.weibull_min(beta, 0, scale)

    def cdf(self, x): return self.d.cdf(x) if x > 0 else 0.0
    def sf(self, x): return self.d.sf(x) if x > 0 else 1.0


def boxcox_slope(lam, x):
    """d/dlambda of the profile log-likelihood -n/2 log var(y) + (lambda - 1) sum(log x), y = (x^lambda - 1) / lambda."""
    lx = np.log(x)
    if abs(lam) < 1e-4:  # the series of y and dy/dlambda in lambda
        y = lx + lam * lx ** 2 / 2 + lam ** 2 * lx ** 3 / 6
        dy = lx ** 2 / 2 + lam * lx ** 3 / 3 + lam ** 2 * lx ** 4 / 8
    else:
        p = x ** lam
        y = (p - 1) / lam
        dy = (p * lx - y) / lam
    yc = y - y.mean()
    return -np.sum(yc * (dy - dy.mean())) / np.mean(yc * yc) + np.sum(lx)


def polish_lambda(x, lam, lo, hi):
    """The optimiser stops where the likelihood is too flat to tell; the root of its slope is sharp."""
    a, b = max(lam - 1e-3, lo), min(lam + 1e-3, hi)
    fa, fb = boxcox_slope(a, x), boxcox_slope(b, x)
    if fa > 0 > fb:
        return optimize.brentq(boxcox_slope, a, b, args=(x,), xtol=1e-15, rtol=1e-15, maxiter=500)
    return lam


class BoxCox:
    def __init__(self, x, given):
        x = np.asarray(x)
        if math.isnan(given):
            grid = np.linspace(-5, 5, 101)
            llf = [stats.boxcox_llf(g, x) for g in grid]
            i = int(np.argmax(llf))
            lo, hi = grid[max(i - 1, 0)], grid[min(i + 1, 100)]
            res = optimize.minimize_scalar(lambda g: -stats.boxcox_llf(g, x), bounds=(lo, hi), method="bounded",
                                           options={"xatol": 1e-12, "maxiter": 2000})
            lam = polish_lambda(x, float(res.x), lo, hi)
            for end in (-5.0, 5.0):
                if stats.boxcox_llf(end, x) > stats.boxcox_llf(lam, x):
                    lam = end
        else:
            lam = given
        self.lam = lam
        y = special.boxcox(x, lam)
        self.mu, self.sigma = float(np.mean(y)), float(np.std(y))
        self.params = (lam, 0.0)

    def z(self, x):
        return (special.boxcox(x, self.lam) - self.mu) / self.sigma if x > 0 else -math.inf

    def cdf(self, x): return stats.norm.cdf(self.z(x))
    def sf(self, x): return stats.norm.sf(self.z(x))
    def logcdf(self, x): return stats.norm.logcdf(self.z(x))
    def logsf(self, x): return stats.norm.logsf(self.z(x))

    def ppf(self, p):
        t = self.mu + self.sigma * stats.norm.ppf(p)
        if self.lam == 0:
            return math.exp(t)
        if 1 + self.lam * t <= 0:
            return 0.0 if self.lam > 0 else math.inf
        return (1 + self.lam * t) ** (1 / self.lam)


def anderson_darling(dist, x):
    x = sorted(x)
    n = len(x)
    s = sum((2 * i - 1) * (dist.logcdf(x[i - 1]) + dist.logsf(x[n - i])) for i in range(1, n + 1))
    return -n - s / n


def ad_p(a):
    if a < 0.2:
        return 1 - math.exp(-13.436 + 101.14 * a - 223.73 * a * a)
    if a < 0.34:
        return 1 - math.exp(-8.318 + 42.796 * a - 59.938 * a * a)
    if a < 0.6:
        return math.exp(0.9177 - 4.279 * a - 1.38 * a * a)
    if a < 10:
        return math.exp(1.2937 - 5.709 * a + 0.0186 * a * a)
    return 3.7e-24


def expected_ppm(dist, usl, lsl):
    below = dist.cdf(lsl) * 1e6 if lsl is not None else 0.0
    above = dist.sf(usl) * 1e6 if usl is not None else 0.0
    return below, above, below + above


def zbench(total_ppm):
    return float(stats.norm.isf(total_ppm / 1e6))


FIT_CODES = {"lognormal": 1, "weibull": 2, "boxcox": 3}


def fit_of(kind, x, given):
    if min(x) <= 0:
        return -1, None
    if len(set(x)) < 2:
        return -3, None
    if kind == 1:
        return 1, Lognormal(x)
    if kind == 2:
        return 2, Weibull(x)
    return 3, BoxCox(x, given)


# ---- one study ------------------------------------------------------------------

def study(values, sample_size, norm, nom, usl, lsl, target, level, distribution, given_lambda):
    """The 55 figures; usl / lsl None when not in force."""
    x = [v for v in values if math.isfinite(v)]
    n = len(x)
    f = [NAN] * 56
    f[1], f[2] = n, len(values) - n
    mean = float(np.mean(x))
    s = float(np.std(x, ddof=1))
    f[3], f[4] = mean, s
    sigma, z, k, m, nu = within(x, sample_size, norm)
    f[5], f[6], f[7] = sigma, k, m
    f[8], f[9], f[10], f[11] = pp = indices(s, mean, usl, lsl)
    f[12], f[13], f[14], f[15] = cp = indices(sigma, z, usl, lsl)
    if usl is not None and lsl is not None:
        f[16] = (usl - lsl) / (6 * math.sqrt(s * s + (mean - target) ** 2))
        d = (mean - target) / s
        nu_cpm = n * (1 + d * d) ** 2 / (1 + 2 * d * d)
        f[25], f[26] = chi2_interval(f[16], nu_cpm, level)
    f[17], f[18] = chi2_interval(pp[0], n - 1, level)
    f[19], f[20] = bissell(pp[3], n, n - 1, level)
    f[21], f[22] = chi2_interval(cp[0], nu, level)
    f[23], f[24] = bissell(cp[3], n if m == 1 else k * m, nu, level)
    below = sum(1 for v in x if lsl is not None and v < lsl) * 1e6 / n
    above = sum(1 for v in x if usl is not None and v > usl) * 1e6 / n
    f[27], f[28], f[29] = below, above, below + above
    f[30], f[31], f[32] = expected_ppm(Normal(mean, s), usl, lsl)
    f[33], f[34], f[35] = expected_ppm(Normal(z, sigma), usl, lsl) if sigma > 0 else (NAN, NAN, NAN)
    f[36], f[37] = zbench(f[32]), zbench(f[35]) if not math.isnan(f[35]) else NAN
    if n >= 8:
        f[38] = anderson_darling(Normal(mean, s), x)
        f[39] = f[38] * (1 + 0.75 / n + 2.25 / n ** 2)
        f[40] = ad_p(f[39])
    f[41] = 0
    fit = None
    if distribution in (1, 2, 3):
        f[41], fit = fit_of(distribution, x, given_lambda)
    elif distribution == 4:
        best = None
        for kind in (1, 2, 3):
            code, candidate = fit_of(kind, x, given_lambda)
            if candidate is None:
                if best is None:
                    f[41] = code
                continue
            a2 = anderson_darling(candidate, x)
            if best is None or a2 < best[0]:
                best = (a2, code, candidate)
        if best is not None:
            f[41], fit = best[1], best[2]
    if fit is not None:
        f[42], f[43] = fit.params
        f[44] = anderson_darling(fit, x)
        lo, med, hi = fit.ppf(0.00135), fit.ppf(0.5), fit.ppf(0.99865)
        if usl is not None and lsl is not None:
            f[45] = (usl - lsl) / (hi - lo)
        if lsl is not None:
            f[46] = (med - lsl) / (med - lo)
        if usl is not None:
            f[47] = (usl - med) / (hi - med)
        sides = [v for v, on in ((f[46], lsl is not None), (f[47], usl is not None)) if on]
        f[48] = min(sides)
        f[49], f[50], f[51] = expected_ppm(fit, usl, lsl)
    f[52] = 1.0 if f[11] >= 1.33 else 0.0
    f[53] = 1.0 if f[19] >= 1.33 else 0.0
    f[54], f[55] = target, level
    return f


# ---- the random studies ---------------------------------------------------------------

def make_cases(rng):
    cases = []
    kinds = ["normal", "lognormal", "weibull"]
    for i in range(90):
        kind = kinds[i % 3]
        sample_size = 1 + (i * 7) % 10
        norm = (i // 3) % 4
        distribution = (i // 2) % 5 if kind != "normal" or i % 4 == 0 else 0
        n = rng.randint(12, 160)
        if kind == "normal":
            mu, sd = 10.0, rng.uniform(0.01, 0.08)
            values = [round(rng.gauss(mu, sd), 5) for _ in range(n)]
            two_sided = i % 5 != 1
            usl, lsl = mu + rng.uniform(2, 6) * sd, mu - rng.uniform(2, 6) * sd
            if not two_sided:
                if i % 2:
                    usl = None
                else:
                    lsl = None
            nom = mu + rng.uniform(-0.5, 0.5) * sd
        else:
            if kind == "lognormal":
                values = [round(math.exp(rng.gauss(math.log(0.02), rng.uniform(0.2, 0.7))), 6) for _ in range(n)]
            else:
                shape, scale = rng.uniform(1.1, 3.0), 0.03
                values = [round(rng.weibullvariate(scale, shape), 6) for _ in range(n)]
            values = [v if v > 0 else 1e-6 for v in values]
            top = sorted(values)[int(0.98 * n)]
            usl = top * rng.uniform(1.0, 2.5)
            lsl = None if i % 4 != 2 else rng.choice([0.0, min(values) * 0.8])
            nom = 0.0
        if i % 6 == 5:  # a few readings missing
            for _ in range(rng.randint(1, 4)):
                values.insert(rng.randrange(len(values)), NAN)
        if i == 3:  # a value at or below 0 with a fit asked for
            values[5] = -0.01
            distribution = 4
        target = NAN if i % 3 else nom + rng.uniform(-1, 1) * 0.01
        level = NAN if i % 4 == 0 else rng.choice([0.9, 0.95, 0.99, rng.uniform(0.6, 0.999)])
        given = NAN
        if distribution in (3, 4) and i % 7 == 0:
            given = round(rng.uniform(-1, 1), 2)
        cases.append(dict(name="%s_%02d" % (kind, i), values=values, sample_size=sample_size, norm=norm, nom=nom,
                          usl=usl, lsl=lsl, target=target, level=level, distribution=distribution, given=given))
    return cases


def fmt(x):
    return repr(float(x))


def main():
    rng = random.Random(23)
    lines = ["# Capability studies and their expected figures (written by capability_reference.py)"]
    for c in make_cases(rng):
        usl_on, lsl_on = c["usl"] is not None, c["lsl"] is not None
        usl = c["usl"] if usl_on else 99.0
        lsl = c["lsl"] if lsl_on else -99.0
        target = c["nom"] if math.isnan(c["target"]) else c["target"]
        level = 0.95 if math.isnan(c["level"]) else c["level"]
        f = study(c["values"], c["sample_size"], c["norm"], c["nom"], c["usl"], c["lsl"], target, level,
                  c["distribution"], c["given"])
        lines.append("case " + c["name"])
        lines.append("input %d %d %d %s %s %s %d %d" % (len(c["values"]), c["sample_size"], c["norm"], fmt(c["nom"]),
                                                       fmt(usl), fmt(lsl), usl_on, lsl_on))
        lines.append("options 4 %s %s %s %s" % (fmt(c["target"]), fmt(c["level"]), fmt(c["distribution"]),
                                                fmt(c["given"])))
        lines.append("values " + " ".join(fmt(v) for v in c["values"]))
        lines.append("figures " + " ".join(fmt(v) for v in f[1:]))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "capability_reference.txt")
    with open(output, "w") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
