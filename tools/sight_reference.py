#!/usr/bin/python3
"""Synthesises a sextant sight from a known position and prints what a
correct line-of-position reduction must give, from PyEphem places and ERFA
sidereal time (independent of the program).

    /usr/bin/python3 tools/sight_reference.py BODY Y M D "h:m:s h:m:s ..." \
        TRUE_LAT TRUE_LON DR_LAT DR_LON [height index_error pressure temp limb]

BODY is a PyEphem star name, Sun, Moon, Venus, Mars, Jupiter or Saturn.
Latitudes and longitudes in decimal degrees (north and east positive).
Reading times may pass 24:00 (a sight across midnight).  The readings are
the altitudes of the observed limb (lower for the Sun; limb -1/1 for the
Moon) seen from TRUE on a spherical Earth, refracted with the program's
refraction formula, plus dip, minus index error, rounded to whole seconds.
The truth of the intercept is Hc(TRUE) - Hc(DR), geocentric altitudes at the
mean instant.
"""
import math
import os
import sys

import ephem
import erfa

EARTH_KM = 6378.1363
AU_KM = 149597870.7
RADIUS_KM = {"Sun": 695700.0, "Moon": 1737.4}


def refraction(h, p=1010.0, t=10.0):
    c = math.tan(1.5707963267948966 - math.radians(h))
    if h >= 15.0:
        r0 = 0.97127 * c - 0.00137 * c ** 3
    else:
        r0 = (34.133 + 4.197 * h + 0.004279999993741512 * h * h) / (1 + 0.505 * h + 0.0845 * h * h)
    return r0 * (p / 1010.0) * (283.0 / (t + 273.0))


def packed(x, fraction=0):
    """Packed d.mmss with whole seconds, or `fraction` decimals of a second."""
    s = "-" if x < 0 else ""
    x = abs(x)
    scale = 10 ** fraction
    total = round(x * 3600.0 * scale)
    d, rem = divmod(total, 3600 * scale)
    m, sec = divmod(rem, 60 * scale)
    tail = f"{sec // scale:02d}" + (f"{sec % scale:0{fraction}d}" if fraction else "")
    return f"{s}{d}.{m:02d}{tail}"


def body_of(name):
    if name in ("Sun", "Moon", "Venus", "Mars", "Jupiter", "Saturn"):
        return getattr(ephem, name)()
    return ephem.star(name)


def place(name, y, mo, d, hours):
    """Apparent geocentric ra, dec (radians, of date) and distance (km, or None)."""
    b = body_of(name)
    date = ephem.Date((y, mo, d, 0, 0, 0)) + hours / 24.0
    b.compute(date, epoch=date)
    dist = b.earth_distance * AU_KM if name in RADIUS_KM or name in ("Venus", "Mars", "Jupiter", "Saturn") else None
    return float(b.g_ra), float(b.g_dec), dist


def dut1(jd1, jd2):
    if os.environ.get("UT1_AS_UTC"):
        return 0.0
    """UT1 - UTC in seconds from the IERS B table that astropy carries (0
    outside it)."""
    try:
        from astropy.time import Time
        from astropy.utils import iers
        iers.conf.auto_download = False
        return float(iers.IERS_B.open().ut1_utc(Time(jd1, jd2, format="jd", scale="utc")).value)
    except Exception:
        return 0.0


def gast(y, mo, d, hours):
    """Greenwich apparent sidereal time, radians, at the true UT1."""
    jd1, jd2 = erfa.dtf2d("UTC", y, mo, d, 0, 0, 0.0)
    jd2 += hours / 24.0
    tai1, tai2 = erfa.utctai(jd1, jd2)
    tt1, tt2 = erfa.taitt(tai1, tai2)
    u1, u2 = erfa.utcut1(jd1, jd2, dut1(jd1, jd2))
    return erfa.gst06a(u1, u2, tt1, tt2)


def horizon(ra, dec, lat, lon, theta):
    phi = math.radians(lat)
    lha = theta + math.radians(lon) - ra
    h = math.asin(math.sin(phi) * math.sin(dec) + math.cos(phi) * math.cos(dec) * math.cos(lha))
    az = math.atan2(-math.cos(dec) * math.sin(lha),
                    math.sin(dec) * math.cos(phi) - math.cos(dec) * math.sin(phi) * math.cos(lha))
    return math.degrees(h), math.degrees(az) % 360.0


def topocentric_limb(name, ra, dec, dist, lat, lon, theta, limb):
    if dist is None:
        return horizon(ra, dec, lat, lon, theta)[0]
    u = (math.cos(dec) * math.cos(ra), math.cos(dec) * math.sin(ra), math.sin(dec))
    lst = theta + math.radians(lon)
    phi = math.radians(lat)
    z = (math.cos(phi) * math.cos(lst), math.cos(phi) * math.sin(lst), math.sin(phi))
    v = [dist * u[i] - EARTH_KM * z[i] for i in range(3)]
    n = math.sqrt(sum(c * c for c in v))
    h = math.degrees(math.asin(sum(v[i] * z[i] for i in range(3)) / n))
    if name in RADIUS_KM:
        sd = math.degrees(math.asin(RADIUS_KM[name] / n))
        # the lower limb lies a semidiameter below the centre, the upper one above
        h += -sd if (name == "Sun" or limb == -1) else (sd if limb == 1 else 0.0)
    return h


def main(argv):
    name = argv[1]
    y, mo, d = int(argv[2]), int(argv[3]), int(argv[4])
    times = []
    for t in argv[5].split():
        hh, mm, ss = (float(x) for x in t.split(":"))
        times.append(hh + mm / 60 + ss / 3600)
    tlat, tlon, dlat, dlon = (float(x) for x in argv[6:10])
    height, ie, pres, temp, limb = 0.0, 0.0, 1010.0, 10.0, -1
    if len(argv) > 10:
        height, ie, pres, temp = (float(x) for x in argv[10:14])
        limb = int(argv[14])
    dip = 1.7757 * math.sqrt(height)
    print("readings:")
    true_alts = []
    for t in times:
        ra, dec, dist = place(name, y, mo, d, t)
        th = gast(y, mo, d, t)
        h = topocentric_limb(name, ra, dec, dist, tlat, tlon, th, limb)
        true_alts.append(horizon(ra, dec, tlat, tlon, th)[0])
        app = h
        for _ in range(30):
            app = h + refraction(app, pres, temp) / 60.0
        hs = app - (ie - dip) / 60.0
        print(f"  {packed(t % 24.0)} {packed(hs)}")
    tm = sum(times) / len(times)
    ra, dec, dist = place(name, y, mo, d, tm)
    th = gast(y, mo, d, tm)
    hc, zn = horizon(ra, dec, dlat, dlon, th)
    htrue, ztrue = horizon(ra, dec, tlat, tlon, th)
    print(f"mean time {packed(tm % 24.0, 2)}  GHA Aries {packed(math.degrees(th), 3)}")
    print(f"alpha {packed(math.degrees(ra) / 15, 4)}  delta {packed(math.degrees(dec), 3)}")
    gha = (th - ra) % (2 * math.pi)
    print(f"GHA {packed(math.degrees(gha), 3)}  LHA {packed(math.degrees((gha + math.radians(dlon)) % (2 * math.pi)), 3)}"
          f"  sidereal angle {packed(math.degrees((-ra) % (2 * math.pi)), 3)}")
    if dist is not None:
        print(f"HP {math.degrees(math.asin(EARTH_KM / dist)) * 60:.4f}'", end="")
        if name in RADIUS_KM:
            print(f"  SD {math.degrees(math.asin(RADIUS_KM[name] / dist)) * 60:.4f}'", end="")
        print()
    print(f"Hc {hc:.6f} ({packed(hc, 2)})  Zn {zn:.4f}")
    print(f"Ho (Hc at the true position) {htrue:.6f}  Zn there {ztrue:.4f}")
    print(f"intercept {(htrue - hc) * 60:.3f}'  (with the true altitudes averaged as the readings are:"
          f" {(sum(true_alts) / len(true_alts) - hc) * 60:.3f}')")


if __name__ == "__main__":
    main(sys.argv)
