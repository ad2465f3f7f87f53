#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Prints the validation table of data/README.md: published standard radiation qualities against
the program's primary spectrum, with the air kerma weighted once by xraylib's μen/ρ of air (the
Air.csv shipped before the NIST table replaced it, "before") and once by NIST's ("after"), and
the homogeneity coefficient after the added filter is matched to the measured first HVL.

Run from the repository root with the built module:

    PYTHONPATH=build/python /usr/bin/python3 scripts/validation-table.py [OLD_AIR_CSV]

OLD_AIR_CSV defaults to data/Air.csv of commit 76414f4, the last one with xraylib's values.

Nothing here feeds back into the model or the tables: the measurements only check them.
"""
import os
import shutil
import subprocess
import sys
import tempfile

import xscatter

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")
LAST_XRAYLIB_AIR = "76414f4"

TARGET_ANGLE = 20  # degrees
AIR_MM = 1000  # the qualities are specified at 1 m from the focus
LIMIT_MM = {"Al": 100.0, "Cu": 10.0}

# IEC 61267:2005, Medical diagnostic X-ray equipment - Radiation conditions for use in the
# determination of characteristics, Table 2 (RQR: kV, first HVL in mm Al, homogeneity coefficient)
# and Table 3 (RQA: kV, added aluminium in mm, first HVL in mm Al). PTB realises these qualities
# to the standard's values; those values are what is listed.
RQR = [
    ("RQR 2", 40, 1.42, 0.81),
    ("RQR 3", 50, 1.78, 0.76),
    ("RQR 4", 60, 2.19, 0.74),
    ("RQR 5", 70, 2.58, 0.71),
    ("RQR 6", 80, 3.01, 0.69),
    ("RQR 7", 90, 3.48, 0.68),
    ("RQR 8", 100, 3.97, 0.68),
    ("RQR 9", 120, 5.00, 0.68),
    ("RQR 10", 150, 6.57, 0.72),
]
RQA = [
    ("RQA 2", 40, 4, 2.2),
    ("RQA 3", 50, 10, 3.8),
    ("RQA 4", 60, 16, 5.4),
    ("RQA 5", 70, 21, 6.8),
    ("RQA 6", 80, 26, 8.2),
    ("RQA 7", 90, 30, 9.2),
    ("RQA 8", 100, 34, 10.1),
    ("RQA 9", 120, 40, 11.6),
    ("RQA 10", 150, 45, 13.3),
]
# ISO 4037-1:1996, X and gamma reference radiation, Table 2, narrow-spectrum series: kV, added
# copper and tin in mm, first HVL in mm Cu. The series' inherent filtration is adjusted to 4 mm Al.
N_SERIES = [
    ("N-40", 40, 0.21, 0, 0.084),
    ("N-60", 60, 0.6, 0, 0.24),
    ("N-80", 80, 2.0, 0, 0.58),
    ("N-100", 100, 5.0, 0, 1.11),
    ("N-120", 120, 5.0, 1.0, 1.71),
    ("N-150", 150, 0, 2.5, 2.36),
]
RQR_SOURCE = "IEC 61267:2005 Table 2"
RQA_SOURCE = "IEC 61267:2005 Table 3"
N_SOURCE = "ISO 4037-1:1996 Table 2"


def window(kv):
    # PTB's tubes have a 1 mm beryllium window; the one used for RQR 10 (150 kV) has 7 mm.
    return ("Be", 7.0 if kv == 150 else 1.0)


def figures(tables, metal, kv, inherent, al, cu, filters):
    q = xscatter.primary(kv, target_angle=TARGET_ANGLE, inherent=inherent, al=al, cu=cu,
                         filters=filters, tables=tables).quality()
    key = "al" if metal == "Al" else "cu"
    return q[f"hvl1_mm_{key}"], q[f"hvl2_mm_{key}"], q[f"homogeneity_{key}"]


def match(tables, metal, target, kv, inherent, al, cu, filters):
    """The added thickness of `metal` (replacing al or cu) whose first HVL in that metal is
    `target`. The module has no HVL matching of its own yet, so this bisects over its al/cu
    argument: the HVL rises with the added thickness of the same metal. None when the target lies
    outside what 0 to the limit can give."""

    def hvl(t):
        args = (t, cu) if metal == "Al" else (al, t)
        return figures(tables, metal, kv, inherent, *args, filters)[0]

    lo, hi = 0.0, LIMIT_MM[metal]
    if not hvl(lo) <= target <= hvl(hi):
        return None
    for _ in range(60):
        mid = 0.5 * (lo + hi)
        if hvl(mid) < target:
            lo = mid
        else:
            hi = mid
    t = 0.5 * (lo + hi)
    args = (t, cu) if metal == "Al" else (al, t)
    return t, figures(tables, metal, kv, inherent, *args, filters)[2]


def old_tables(path):
    folder = tempfile.mkdtemp(prefix="xscatter-old-air-")
    for name in os.listdir(DATA):
        shutil.copy(os.path.join(DATA, name), folder)
    if path:
        shutil.copy(path, os.path.join(folder, "Air.csv"))
    else:
        text = subprocess.run(["git", "-C", ROOT, "show", f"{LAST_XRAYLIB_AIR}:data/Air.csv"],
                              check=True, capture_output=True).stdout
        with open(os.path.join(folder, "Air.csv"), "wb") as f:
            f.write(text)
    return folder


def cell(values, digits=(3, 3, 2)):
    return " / ".join("–" if v is None else f"{v:.{d}f}" for v, d in zip(values, digits))


def measured(hvl1, hvl2=None, h=None):
    """The published values as published; an HVL2 derived from HVL1 / h carries a star."""
    return " / ".join(["–" if v is None else v for v in
                       (f"{hvl1:g}", hvl2 and f"{hvl2:.2f}*", h and f"{h:g}")])


def main():
    old_folder = old_tables(sys.argv[1] if len(sys.argv) > 1 else None)
    before = xscatter.Tables(old_folder)
    after = xscatter.Tables(DATA)
    print("| quality | kV | beam in the program | measured HVL1 / HVL2 / h | xraylib air: HVL1 / "
          "HVL2 / h | NIST air: HVL1 / HVL2 / h | HVL1 matched: added, h | source |")
    print("|---|---:|---|---|---|---|---|---|")
    rqr_added = {}
    for name, kv, hvl1, h in RQR:
        filters = [window(kv), ("air", AIR_MM)]
        row = []
        for tables in (before, after):
            row.append(figures(tables, "Al", kv, 2.5, 0, 0, filters))
            rqr_added[(name, id(tables))] = match(tables, "Al", hvl1, kv, 2.5, 0, 0, filters)
        m = rqr_added[(name, id(after))]
        be = window(kv)[1]
        print(f"| {name} | {kv} | 2.5 mm Al, {be:g} mm Be, 1 m air | {measured(hvl1, hvl1 / h, h)} "
              f"| {cell(row[0])} | {cell(row[1])} | "
              f"{'–' if m is None else f'{m[0]:.2f} mm Al, h {m[1]:.2f}'} | {RQR_SOURCE} |")
    for (name, kv, added, hvl1), (rqr, *_rest) in zip(RQA, RQR):
        filters = [window(kv), ("air", AIR_MM)]
        row = []
        for tables in (before, after):
            base = rqr_added[(rqr, id(tables))]
            base_al = 0 if base is None else base[0]
            row.append(figures(tables, "Al", kv, 2.5, base_al + added, 0, filters))
        m = match(after, "Al", hvl1, kv, 2.5, 0, 0, filters)
        print(f"| {name} | {kv} | {rqr} as matched, + {added} mm Al | {measured(hvl1)} "
              f"| {cell(row[0])} | {cell(row[1])} | "
              f"{'–' if m is None else f'{m[0]:.2f} mm Al, h {m[1]:.2f}'} | {RQA_SOURCE} |")
    for name, kv, cu, sn, hvl1 in N_SERIES:
        filters = ([("Sn", sn)] if sn else []) + [("air", AIR_MM)]
        row = [figures(t, "Cu", kv, 4.0, 0, cu, filters) for t in (before, after)]
        m = match(after, "Cu", hvl1, kv, 4.0, 0, cu, filters)
        beam = "4 mm Al" + (f", {cu:g} mm Cu" if cu else "") + (f", {sn:g} mm Sn" if sn else "")
        print(f"| {name} | {kv} | {beam}, 1 m air | {measured(hvl1)} "
              f"| {cell(row[0], (3, 3, 2))} | {cell(row[1], (3, 3, 2))} | "
              f"{'–' if m is None else f'{m[0]:.3f} mm Cu, h {m[1]:.2f}'} | {N_SOURCE} |")
    shutil.rmtree(old_folder)


if __name__ == "__main__":
    main()
