#!/usr/bin/python3
"""Write the two time-scale tables.

Sources, all in Debian's python3-astropy-iers-data (astropy_iers_data/data/):
  eopc04.1962-now   IERS 20 C04 daily Earth-orientation series (ITRF 2020),
                    from 1962-01-01;
  finals2000A.all   IERS Rapid Service/Prediction Centre (Bulletin A):
                    rapid-service values ("I") and about a year of
                    predictions ("P");
  Leap_Second.dat   TAI - UTC since 1972.
and Debian's python3-skyfield delta_t.npz for the centuries before 1962.

delta_t.iers: 12 header lines, then one record per day, 16 values in the
  order the program reads ("year month day MJD x y UT1-UTC LOD dX dY" and the
  errors of x, y, UT1-UTC, LOD, dX, dY; arcseconds and seconds):
    - C04 from its first day to its last;
    - Bulletin A from the next day to the last day of its predictions
      (milliseconds converted to seconds, milliarcseconds to arcseconds,
      a value Bulletin A leaves blank written as 0.0).
  C04's pole-rate columns have no place in that order and are left out.

delta_t.dat: Delta T = TT - UT1 from 1550 to 2650, one header line, then
  records "year month day MJD decimal-year DeltaT flag":
    MJD           Modified Julian Date of the entry's 0h (real)
    decimal-year  2000 + (JD - 2451545) / 365.25
    DeltaT        seconds
    flag          1 Morrison, Stephenson, Hohenkerk & Zawilski (2021) splines
                    (Table S15, shipped by python3-skyfield as delta_t.npz);
                  2 observed: 32.184 s + (TAI - UTC) - (UT1 - UTC from C04);
                  3 observed: the same with Bulletin A's rapid-service
                    UT1 - UTC (after C04's last day);
                  4 predicted: the same with Bulletin A's predictions;
                  5 long-term model: the parabola of Morrison & Stephenson
                    (2004), -20 + 32 u^2 s with u = (year - 1820)/100,
                    reached through a cubic that starts at the last predicted
                    value and slope and meets the parabola's value and slope
                    at 2150.0.
  Entries: every 1 January from 1550 to 1961 (flag 1); every day of
  delta_t.iers, on the same dates, from 1962-01-01 to C04's last day (flag 2)
  and on to the last predicted day (flags 3 and 4), so that the program's
  TT - UTC, UT1 - UTC from one table plus Delta T from the other, is
  32.184 s + (TAI - UTC) on every day but a leap-second day; then every
  1 January from the next year to 2651 (flag 5).

Usage: make_delta_t.py iers_data_dir delta_t.npz package_version out_dir
"""
import math
import sys
import warnings

import erfa
import numpy as np

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


def mjd(y, m, d):
    return julian_date(y, m, d) - 2400000.5


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


def read_c04(path):
    """Daily records of IERS 20 C04: date -> the 16 values in reader order."""
    out = {}
    for line in open(path):
        if line.startswith("#") or not line.strip():
            continue
        f = line.split()
        if len(f) != 21 or f[3] != "0":
            sys.exit(f"{path}: unexpected record: {line.rstrip()}")
        y, m, d = int(f[0]), int(f[1]), int(f[2])
        v = [float(x) for x in f[5:]]
        x, yp, dut1, dx, dy, _xr, _yr, lod = v[:8]
        ex, ey, edut1, edx, edy, _exr, _eyr, elod = v[8:]
        if abs(float(f[4]) - mjd(y, m, d)) > 1e-9:
            sys.exit(f"{path}: MJD does not match the date: {line.rstrip()}")
        out[(y, m, d)] = [x, yp, dut1, lod, dx, dy, ex, ey, edut1, elod, edx, edy]
    return out


def read_bulletin_a(path):
    """Records of finals2000A.all holding a Bulletin A UT1 - UTC: date ->
    (flag "I" or "P", the 12 reals in reader order)."""
    def num(line, a, b, scale=1.0):
        s = line[a - 1:b].strip()
        return float(s) * scale if s else 0.0

    out = {}
    for line in open(path):
        flag = line[57:58]
        if flag not in ("I", "P"):
            continue
        m_j_d = float(line[7:15])
        yy = int(line[0:2])
        y = yy + (1900 if m_j_d <= 51543 else 2000)
        m, d = int(line[2:4]), int(line[4:6])
        if abs(m_j_d - mjd(y, m, d)) > 1e-9:
            sys.exit(f"{path}: MJD does not match the date: {line.rstrip()}")
        vals = [num(line, 19, 27), num(line, 38, 46), num(line, 59, 68),
                num(line, 80, 86, 1e-3), num(line, 98, 106, 1e-3),
                num(line, 117, 125, 1e-3),
                num(line, 28, 36), num(line, 47, 55), num(line, 69, 78),
                num(line, 87, 93, 1e-3), num(line, 107, 115, 1e-3),
                num(line, 126, 134, 1e-3)]
        out[(y, m, d)] = (flag, vals)
    return out


def read_leap_seconds(path):
    """[(MJD from which it holds, TAI - UTC)] since 1972."""
    steps = []
    for line in open(path):
        if line.startswith("#") or not line.strip():
            continue
        f = line.split()
        steps.append((float(f[0]), float(f[4])))
    return steps


def fmt_iers(y, m, d, v):
    return ("%4d%4d%4d%7d%11.6f%11.6f%12.7f%12.7f%11.6f%11.6f%11.6f%11.6f"
            "%11.7f%11.7f%12.6f%12.6f" % ((y, m, d, round(mjd(y, m, d))) + tuple(v)))


def iso(k):
    return "%04d-%02d-%02d" % k


def main():
    data_dir, npz_path, version, out_dir = sys.argv[1:5]
    c04 = read_c04(data_dir + "/eopc04.1962-now")
    bull = read_bulletin_a(data_dir + "/finals2000A.all")
    leaps = read_leap_seconds(data_dir + "/Leap_Second.dat")

    c04_dates = sorted(c04)
    first, last_c04 = c04_dates[0], c04_dates[-1]
    for a, b in zip(c04_dates, c04_dates[1:]):
        if mjd(*b) != mjd(*a) + 1:
            sys.exit(f"C04 has a gap after {iso(a)}")
    after = sorted(k for k in bull if mjd(*k) > mjd(*last_c04))
    if not after or mjd(*after[0]) != mjd(*last_c04) + 1:
        sys.exit(f"Bulletin A does not continue C04 after {iso(last_c04)}")
    for a, b in zip(after, after[1:]):
        if mjd(*b) != mjd(*a) + 1:
            sys.exit(f"Bulletin A has a gap after {iso(a)}")
    flags = [bull[k][0] for k in after]
    n_obs = flags.count("I")
    if flags != ["I"] * n_obs + ["P"] * (len(flags) - n_obs) or n_obs == len(flags):
        sys.exit("Bulletin A: expected rapid-service values, then predictions")
    first_pred, last_pred = after[n_obs], after[-1]
    # C04 and Bulletin A agree on the day C04 ends (within a few 1e-5 s).
    join_step = bull[last_c04][1][2] - c04[last_c04][2]
    if abs(join_step) > 1e-3:
        sys.exit(f"C04 and Bulletin A differ by {join_step} s on {iso(last_c04)}")

    # --- delta_t.iers
    pkg = "Debian python3-astropy-iers-data %s, astropy_iers_data/data/" % version
    header = [
        "  UT1-UTC BY DAY AT 0h UTC.  Records 1962-01-01 to %s: IERS 20 C04 series (ITRF 2020),"
        % iso(last_c04),
        "  Paris Observatory EOP product centre (eopc04.1962-now).  Records %s to %s: IERS"
        % (iso(after[0]), iso(last_pred)),
        "  Rapid Service/Prediction Centre, Bulletin A (finals2000A.all): rapid-service values to %s,"
        % iso(after[n_obs - 1]),
        "  PREDICTIONS FROM %s TO %s.  Taken from %s" % (iso(first_pred), iso(last_pred), pkg),
        "  Bulletin A records: LOD ms -> s, dX dY mas -> arcsec, a value it leaves blank is 0.0.",
        "  C04's pole rates are left out.  TAI-UTC (Leap_Second.dat): %.0f s since %s."
        % (leaps[-1][1], iso(erfa.d2dtf("UTC", 0, 2400000.5, leaps[-1][0])[:3])),
        "             FORMAT(3(I4),I7,2(F11.6),2(F12.7),2(F11.6),2(F11.6),2(F11.7),2(F12.6))",
        "#" * 82,
        "      Date      MJD      x          y        UT1-UTC       LOD         dX        dY"
        "        x Err     y Err   UT1-UTC Err  LOD Err     dX Err       dY Err",
        "                         \"          \"           s           s          \"         \""
        "           \"          \"          s         s            \"           \"",
        "     (0h UTC)",
        "",
    ]
    assert len(header) == 12
    with open(out_dir + "/delta_t.iers", "w") as out:
        out.write("\n".join(h.rstrip() for h in header) + "\n")
        for k in c04_dates:
            out.write(fmt_iers(*k, c04[k]) + "\n")
        for k in after:
            out.write(fmt_iers(*k, bull[k][1]) + "\n")

    # --- delta_t.dat
    def tai_utc(y, m, d):
        mj = mjd(y, m, d)
        if mj < leaps[0][0]:
            return erfa.dat(y, m, d, 0.0)  # the pre-1972 rules
        value = [v for (start, v) in leaps if start <= mj][-1]
        if y <= 2025:
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")
                assert value == erfa.dat(y, m, d, 0.0), (y, m, d)
        return value

    daily = {}  # date -> (flag, Delta T)
    for k in c04_dates:
        daily[k] = (2, 32.184 + tai_utc(*k) - c04[k][2])
    for k in after:
        daily[k] = (3 if bull[k][0] == "I" else 4, 32.184 + tai_utc(*k) - bull[k][1][2])
    dates = c04_dates + after

    table = np.load(npz_path)["Table-S15.2020.txt"]
    entries = []

    def add(y, m, d, dt, flag):
        jd = julian_date(y, m, d)
        entries.append((y, m, d, jd - 2400000.5, decimal_year(jd), dt, flag))

    for y in range(1550, first[0]):
        add(y, 1, 1, s15(table, decimal_year(julian_date(y, 1, 1))), 1)
    for k in dates:
        add(*k, daily[k][1], daily[k][0])

    # Last predicted value and slope (least squares over the last 365 days).
    y_last = decimal_year(julian_date(*last_pred))
    xs = np.array([decimal_year(julian_date(*k)) for k in dates[-365:]])
    vs = np.array([daily[k][1] for k in dates[-365:]])
    slope = float(np.polyfit(xs - y_last, vs, 1)[0])
    v0 = daily[last_pred][1]
    w = JOIN_YEAR - y_last
    v1, s1 = parabola(JOIN_YEAR), parabola_slope(JOIN_YEAR)

    def model(year):
        if year >= JOIN_YEAR:
            return parabola(year)
        t = (year - y_last) / w
        h00, h10 = 2 * t**3 - 3 * t**2 + 1, t**3 - 2 * t**2 + t
        h01, h11 = -2 * t**3 + 3 * t**2, t**3 - t**2
        return h00 * v0 + h10 * w * slope + h01 * v1 + h11 * w * s1

    for y in range(last_pred[0] + 1, 2652):
        jd = julian_date(y, 1, 1)
        add(y, 1, 1, model(decimal_year(jd)), 5)

    with open(out_dir + "/delta_t.dat", "w") as out:
        out.write("  year month day     MJD       year(decimal)  DeltaT(s)  "
                  "source(1 MSHZ2021 splines, 2 observed IERS 20 C04 + TAI-UTC, "
                  "3 observed Bulletin A, 4 predicted Bulletin A, "
                  "5 MS2004 parabola joined at %.1f)\n" % JOIN_YEAR)
        for (y, m, d, mj, dy, dt, flag) in entries:
            out.write("%6d %2d %2d %10.1f %14.6f %14.7f %4.1f\n"
                      % (y, m, d, mj, dy, dt, flag))
    print(f"delta_t.iers: C04 {iso(first)} to {iso(last_c04)}, Bulletin A "
          f"{iso(after[0])} to {iso(last_pred)} (predictions from "
          f"{iso(first_pred)}), join step {join_step * 1e3:.4f} ms", file=sys.stderr)
    print(f"delta_t.dat: {len(entries)} entries, last predicted {iso(last_pred)} "
          f"DeltaT {v0:.4f} s slope {slope:.4f} s/yr", file=sys.stderr)


if __name__ == "__main__":
    main()
