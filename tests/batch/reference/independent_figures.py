# SPDX-License-Identifier: MIT
"""Beam-quality figures of the default case (100 kV, 12 degrees, 2.5 mm Al, scatter at 90 degrees)
on the shipped tables, computed without the program's code: the tables are read with the csv
module, the spectra with the model's formulas, the layers by bisection in exact-enough floats.
Prints the numbers that tests/batch/batch_test.cpp expects.

Run: /usr/bin/python3 tests/batch/reference/independent_figures.py data
"""
import csv
import math
import sys

folder = sys.argv[1] if len(sys.argv) > 1 else "data"


def table(name, fields):
    with open(f"{folder}/{name}", newline="") as f:
        rows = [[float(v) for v in row[:fields]] for row in csv.reader(f) if row]
    return rows


mus = table("Mus.dat", 7)
water = table("Water.csv", 3)
xfs = table("Water.xfs", 3)
air = table("Air.csv", 3)
mu_t = [0.0] + [r[1] for r in mus]
mu_al = [0.0] + [r[2] for r in mus]
mu_cu = [0.0] + [r[3] for r in mus]
w_coh = [0.0] + [r[1] for r in water]
w_inc = [0.0] + [r[2] for r in water]
X = [0.0] + [r[0] for r in xfs]
F = [0.0] + [r[1] for r in xfs]
S = [0.0] + [r[2] for r in xfs]
mu_en = [0.0] + [r[1] for r in air]


def primary(kv, angle, inh, al, cu):
    n = int(math.floor(2 * kv))
    cot = 1 / math.tan(angle * 3.14159 / 180)
    d = 141766 + 12157 * kv - 111.046 * kv**2 + 0.552536 * kv**3 - 0.000970158 * kv**4
    k = (math.sqrt(8.79856 * kv - 595.149) - 4.55528) / 4.39928 if kv > 70 else 0
    a = 0.000029 * kv + 0.03658
    u_ = [0.0] * 301
    for i in range(2, n + 1):
        e = 0.5 * i
        total = 0.0
        for m in range(i, n + 1):
            t = 0.5 * m
            u = e / t
            b = 1 - 5.049 * u + 10.847 * u**2 - 10.516 * u**3 + 3.842 * u**4
            s = 1036.1 * math.exp(-0.04695 * t) + 202.41
            total += math.exp(-mu_t[i] * cot * (kv * kv - t * t) / (19.3 * d)) * a * b * (511 / t + 1) / s
        u_[i] = total
    if kv > 70:
        lines = 0.01 * k * sum(u_[2 : n + 1])
        for b, w in ((119, 0.5048), (116, 0.2908), (134, 0.162), (138, 0.0424)):
            u_[b] += w * lines
    p = [0.0] * 301
    for i in range(2, n + 1):
        p[i] = u_[i] * math.exp(-0.1 * (inh + al) * mu_al[i]) * math.exp(-0.1 * cu * mu_cu[i]) / (0.5 * i)
    top = max(p)
    return [v / top if v / top > 1e-100 else 0.0 for v in p], n


def interp(x, col):
    j = 2
    while x >= X[j]:
        j += 1
    lo, hi = j - 1, j
    slope = (math.log(col[hi]) - math.log(col[lo])) / (math.log(X[hi]) - math.log(X[lo]))
    return math.exp(math.log(col[lo]) + (math.log(x) - math.log(X[lo])) * slope)


def scatter(p, degrees):
    th = degrees / 180 * 3.14159
    energy = [0.0] * 301
    photons = [0.0] * 301
    coherent = [0.0] * 301
    for i in range(16, 301):
        if p[i] == 0:
            continue
        e = 0.5 * i
        x = math.sin(th / 2) * e / 12.4
        ep = e / (1 + e / 511 * (1 - math.cos(th)))
        r = ep / e
        energy[i] = ep
        photons[i] = p[i] * w_inc[i] * r * r * (1 / r + r - math.sin(th) ** 2) * interp(x, S)
        coherent[i] = p[i] * w_coh[i] * (1 + math.cos(th) ** 2) * interp(x, F) ** 2
    fluence = photons[:]
    for k in range(1, 300):
        if energy[k] and energy[k + 1]:
            fluence[k] /= (energy[k + 1] - energy[k]) / 0.5
    top = max(max(fluence[2:]), max(coherent[2:]))
    return energy, [v / top for v in photons], [v / top for v in coherent]


def layer(parts, fraction):
    """Thickness in cm where sum(w exp(-mu t)) falls to fraction of its start, by bisection."""
    start = sum(w for w, _ in parts)
    lo, hi = 0.0, 1e-3
    while sum(w * math.exp(-m * hi) for w, m in parts) > fraction * start:
        hi *= 2
    for _ in range(200):
        mid = (lo + hi) / 2
        if sum(w * math.exp(-m * mid) for w, m in parts) > fraction * start:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2


def loglog(table_, e):
    j = int(math.floor(e / 0.5))
    if 0.5 * j == e:
        return table_[j]
    e0, e1 = 0.5 * j, 0.5 * (j + 1)
    slope = (math.log(table_[j + 1]) - math.log(table_[j])) / (math.log(e1) - math.log(e0))
    return math.exp(math.log(table_[j]) + slope * (math.log(e) - math.log(e0)))


p, n = primary(100, 12, 2.5, 0, 0)
bins = range(2, n + 1)
kerma = {i: p[i] * 0.5 * i * mu_en[i] for i in bins}
figures = {"bin_count": n}
figures["mean_energy_kev"] = sum(p[i] * 0.5 * i for i in bins) / sum(p[i] for i in bins)
figures["kerma_mean_energy_kev"] = sum(kerma[i] * 0.5 * i for i in bins) / sum(kerma.values())
for name, mu in (("al", mu_al), ("cu", mu_cu)):
    parts = [(kerma[i], mu[i]) for i in bins]
    hvl1, qvl = layer(parts, 0.5), layer(parts, 0.25)
    figures[f"hvl1_mm_{name}"] = 10 * hvl1
    figures[f"hvl2_mm_{name}"] = 10 * (qvl - hvl1)
    figures[f"homogeneity_{name}"] = hvl1 / (qvl - hvl1)
wanted = math.log(2) / (figures["hvl1_mm_al"] / 10)
for i in range(16, 300):
    if mu_al[i] >= wanted > mu_al[i + 1]:
        t = (math.log(wanted) - math.log(mu_al[i])) / (math.log(mu_al[i + 1]) - math.log(mu_al[i]))
        figures["effective_energy_kev_al"] = math.exp(math.log(0.5 * i) + t * (math.log(0.5 * (i + 1)) - math.log(0.5 * i)))
        break

energy, n_, c_ = scatter(p, 90)
cb = [i for i in range(1, 301) if c_[i] > 0]
nb = [i for i in range(1, 301) if n_[i] > 0]
figures["incoherent_mean_energy_kev"] = sum(n_[i] * energy[i] for i in nb) / sum(n_[i] for i in nb)
figures["coherent_mean_energy_kev"] = sum(c_[i] * 0.5 * i for i in cb) / sum(c_[i] for i in cb)
figures["coherent_share"] = sum(c_[i] for i in cb) / (sum(c_[i] for i in cb) + sum(n_[i] for i in nb))
parts = [(n_[i] * energy[i] * loglog(mu_en, energy[i]), loglog(mu_al, energy[i])) for i in nb]
parts += [(c_[i] * 0.5 * i * mu_en[i], mu_al[i]) for i in cb]
figures["scatter_hvl1_mm_al"] = 10 * layer(parts, 0.5)
for key, value in figures.items():
    print(f"{key} {value!r}")
