#!/usr/bin/python3
"""Write the two time-scale tables.

delta_t.iers: the IERS 14 C04 daily Earth-orientation series as shipped by
  Debian's python3-astropy (astropy/utils/iers/data/eopc04_IAU2000.62-now):
  12 header lines, then its data lines unchanged (year month day MJD x y
  UT1-UTC LOD dX dY and the six errors).

delta_t.dat: Delta T = TT - UT1 from 1550 to 2650, one header line, then
  records "year month day MJD decimal-year DeltaT flag":
    MJD           Modified Julian Date of the entry's 0h (real)
    decimal-year  2000 + (JD - 2451545) / 365.25
    DeltaT        seconds
    flag          1 Morrison, Stephenson, Hohenkerk & Zawilski (2021) splines
                    (Table S15, shipped by python3-skyfield as delta_t.npz);
                  2 observed: 32.184 s + (TAI-UTC from ERFA's dat) - (UT1-UTC
                    from IERS 14 C04);
                  3 extrapolated: long-term parabola of Morrison & Stephenson
                    (2004), -20 + 32 u^2 s with u = (year - 1820)/100, reached
                    through a cubic that starts at the last observed value and
                    slope and meets the parabola's value and slope at 2150.0.
  Entries: every 1 January from 1550 to 1961 (flag 1), every first of the
  month from 1962-01 to the last month of C04 plus C04's last day (flag 2),
  then every 1 January from the next year to 2651 (flag 3).

Usage: make_delta_t.py eopc04_file delta_t.npz astropy_version out_dir
"""
import math
import sys

import erfa
import numpy as np

HEADER_LINES_C04 = 14
JOIN_YEAR = 2150.0


def julian_date(y, m, d):
    """JD of 0h of a date: Julian calendar up to 1582-10-14, Gregorian after
    (the same rule as the program's own calendar routine)."""
    yy, mm = (y, m) if m > 2 else (y - 1, m + 12)
    j = d + int(30.6001 * (mm + 1)) + int(365.25 * yy)
    if y + m / 100 + d / 10000 > 1582.10145:
        a = int(yy / 100)
        j += 2 - a + int(a / 4)
    return j + 1720994.5


def decimal_year(jd):
    return 2000.0 + (jd - 2451545.0) / 365.25


def s15(table, year):
    lower, upper, a3, a2, a1, a0 = table
    i = int(np.searchsorted(lower, year, side="right")) - 1
    t = (year - lower[i]) / (upper[i] - lower[i])
    return float(((a3[i] * t + a2[i]) * t + a1[i]) * t + a0[i])


def parabola(year):
    u = (year - 1820.0) / 100.0
    return -20.0 + 32.0 * u * u


def parabola_slope(year):
    return 64.0 * (year - 1820.0) / 10000.0


def main():
    c04_path, npz_path, version, out_dir = sys.argv[1:5]
    lines = open(c04_path).read().splitlines()
    head, body = lines[:HEADER_LINES_C04], lines[HEADER_LINES_C04:]
    rows = [l.split() for l in body if l.strip()]
    if not rows or any(len(r) != 16 for r in rows):
        sys.exit(f"{c04_path}: expected 16 values per data line")
    # --- delta_t.iers
    header = [h.rstrip() for h in head[:5]]
    header.append("      Taken unchanged from Debian python3-astropy %s, "
                  "astropy/utils/iers/data/eopc04_IAU2000.62-now" % version)
    header += [head[7].rstrip(), head[8].rstrip(), head[10].rstrip(),
               head[11].rstrip(), head[12].rstrip(), ""]
    assert len(header) == 12
    with open(out_dir + "/delta_t.iers", "w") as out:
        out.write("\n".join(header) + "\n")
        for l in body:
            if l.strip():
                out.write(l + "\n")

    # --- delta_t.dat
    table = np.load(npz_path)["Table-S15.2020.txt"]
    c04 = {}
    for r in rows:
        c04[(int(r[0]), int(r[1]), int(r[2]))] = float(r[6])
    dates = sorted(c04)
    entries = []

    def add(y, m, d, dt, flag):
        jd = julian_date(y, m, d)
        entries.append((y, m, d, jd - 2400000.5, decimal_year(jd), dt, flag))

    first_year = dates[0][0]
    for y in range(1550, first_year):
        add(y, 1, 1, s15(table, decimal_year(julian_date(y, 1, 1))), 1)

    def observed(y, m, d):
        tai_utc = erfa.dat(y, m, d, 0.0)
        return 32.184 + tai_utc - c04[(y, m, d)]

    for (y, m, d) in dates:
        if d == 1:
            add(y, m, d, observed(y, m, d), 2)
    last = dates[-1]
    if last[2] != 1:
        add(*last, observed(*last), 2)

    # Last observed value and slope (least squares over the last 365 days).
    y_last = decimal_year(julian_date(*last))
    xs = np.array([decimal_year(julian_date(*k)) for k in dates[-365:]])
    vs = np.array([observed(*k) for k in dates[-365:]])
    slope = float(np.polyfit(xs - y_last, vs, 1)[0])
    v0 = entries[-1][5]
    w = JOIN_YEAR - y_last
    v1, s1 = parabola(JOIN_YEAR), parabola_slope(JOIN_YEAR)

    def extrapolated(year):
        if year >= JOIN_YEAR:
            return parabola(year)
        t = (year - y_last) / w
        h00, h10 = 2 * t**3 - 3 * t**2 + 1, t**3 - 2 * t**2 + t
        h01, h11 = -2 * t**3 + 3 * t**2, t**3 - t**2
        return h00 * v0 + h10 * w * slope + h01 * v1 + h11 * w * s1

    for y in range(last[0] + 1, 2652):
        jd = julian_date(y, 1, 1)
        add(y, 1, 1, extrapolated(decimal_year(jd)), 3)

    with open(out_dir + "/delta_t.dat", "w") as out:
        out.write("  year month day     MJD       year(decimal)  DeltaT(s)  "
                  "source(1 MSHZ2021 splines, 2 IERS C04 + TAI-UTC, "
                  "3 MS2004 parabola joined at %.1f)\n" % JOIN_YEAR)
        for (y, m, d, mjd, dy, dt, flag) in entries:
            out.write("%6d %2d %2d %10.1f %14.6f %14.7f %4.1f\n"
                      % (y, m, d, mjd, dy, dt, flag))
    print(f"delta_t.dat: {len(entries)} entries, last observed {last} "
          f"DeltaT {v0:.4f} s slope {slope:.4f} s/yr", file=sys.stderr)


if __name__ == "__main__":
    main()
