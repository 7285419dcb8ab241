#!/usr/bin/python3
"""Independent reference for the figures of menu options 2 and 6: apparent
places, hour angles, sidereal time, altitudes, the equation of time, and the
day's rise, set, twilight and meridian-transit times, from JPL's kernel
de440s.bsp read by python3-jplephem and ERFA's routines (python3-erfa),
none of the program's code.

The model is the program's, built from other parts:
  time      UT1 - UTC and Delta T by linear interpolation in the shipped
            tables delta_t.iers (0 before its first day) and delta_t.dat;
            TDB - TT from erfa.dtdb;
  place     the Earth as the kernel's own (0 -> 3 plus 3 -> 399), the body
            at the light-time retarded instant, erfa.ld (deflection by the
            Sun, not for the Sun itself), erfa.ab (aberration), erfa.pnm80
            (IAU 1976 precession, IAU 1980 nutation), erfa.c2s;
  sidereal  erfa.gmst82 plus the equation of the equinoxes dpsi cos(eps0)
            from erfa.nut80 and erfa.obl80;
  horizon   erfa.hd2ae (geocentric);
  readings  the lower limb's sextant reading whose corrections give the true
            altitude (refraction at the apparent altitude, the Moon's
            semidiameter augmented), with the program's own definitions:
            refraction formula, dip 1.7757 sqrt(h), radii 696000, 1738 and
            6378.1363 km, a planet's parallax from its distance;
  events    thresholds -50' for the Sun, -34' minus SD plus HP for the Moon,
            -6 and -12 degrees for the twilights; the day's events as the
            program's searches take them (the UT date's Julian date serves as
            TT and as UT1), found by bisection on a fine scan, and each one
            matched to the local date as the program matches it.
Stars are not checked here.

Usage (with /usr/bin/python3; KERNEL is de440s.bsp, DATA the data directory):
  efem_reference.py KERNEL DATA check NAME.res
      every figure of the option-2 and option-6 calculations in a results
      file against the reference, in units of its last printed digit;
      exit 1 when one differs by more than one unit
  efem_reference.py KERNEL DATA place JD_TT BODY
  efem_reference.py KERNEL DATA events YEAR MONTH DAY BODY LON LAT
"""
import math
import re
import sys

import erfa
import numpy as np
from jplephem.exceptions import OutOfRangeError
from jplephem.spk import SPK

AU_KM = 149597870.7
C_AU_DAY = 299792.458 * 86400.0 / AU_KM
EARTH_RADIUS_KM = 6378.1363
RADIUS_KM = {10: 1738.0, 11: 696000.0}
NAMES = {"Sol": 11, "Luna": 10, "Venus": 2, "Marte": 4, "Jupiter": 5, "Saturno": 6}
DEG = math.pi / 180.0


def packed(x):
    """Degrees (or hours) to the packed d.mmss value, truncating as the
    program does before a format rounds it."""
    s = -1.0 if x < 0 else 1.0
    a = abs(x)
    d = int(a)
    m60 = (a - d) * 60.0
    m = int(m60)
    return s * (d + m / 100.0 + (m60 - m) * 60.0 / 10000.0)


def unpack(v):
    s = -1.0 if v < 0 else 1.0
    a = abs(v)
    d = int(a + 1e-12)
    r = (a - d) * 100.0
    m = int(r + 1e-9)
    return s * (d + m / 60.0 + (r - m) * 100.0 / 3600.0)


def on_circle(printed, azimuth):
    """The azimuth written as near the printed one as a turn allows (0 may
    print as 360.00)."""
    return printed - ((printed - azimuth + 180.0) % 360.0 - 180.0)


def julian_date(y, m, d, hours):
    yy, mm = (y - 1, m + 12) if m <= 2 else (y, m)
    j = d + int(30.6001 * (mm + 1)) + int(365.25 * yy)
    if y + m / 100.0 + d / 10000.0 > 1582.10145:
        a = int(yy / 100)
        j += 2 - a + int(a / 4)
    return hours / 24.0 + j + 1720994.5


def calendar(jd):
    y, m, d, f = erfa.jd2cal(jd, 0.0)
    return int(y), int(m), int(d), f * 24.0


def huso(lon):
    a = abs(lon)
    if a <= 7.5:
        return 0.0
    return math.copysign(math.ceil((a - 7.5) / 15.0), lon)


def refraction(h, p, t):
    c = math.tan(math.pi / 2 - h * DEG)
    if h >= 15.0:
        r0 = 0.97127 * c - 0.00137 * c ** 3
    else:
        r0 = (34.133 + 4.197 * h + float(np.float32(0.00428)) * h * h) / (1 + 0.505 * h + 0.0845 * h * h)
    return r0 * (p / 1010.0) * (283.0 / (t + 273.0))


class Table:
    """A time table: Julian dates of 0 h and values, interpolated linearly."""

    def __init__(self, path, skip, nint, kept):
        self.jd, self.v = [], []
        with open(path) as f:
            lines = f.read().splitlines()[skip:]
        for line in lines:
            x = line.split()
            if not x:
                continue
            self.jd.append(julian_date(int(x[0]), int(x[1]), int(x[2]), 0.0))
            self.v.append(float(x[nint + kept]))

    def at(self, jd, before=None):
        if jd >= self.jd[-1]:
            return self.v[-1]
        if jd < self.jd[0]:
            return self.v[0] if before is None else before
        i = int(np.searchsorted(self.jd, jd, side="right")) - 1
        t = (jd - self.jd[i]) / (self.jd[i + 1] - self.jd[i])
        return self.v[i] + (self.v[i + 1] - self.v[i]) * t


class Model:
    def __init__(self, kernel, data):
        self.k = SPK.open(kernel)
        self.dut1 = Table(data + "/delta_t.iers", 12, 4, 2)
        self.dt = Table(data + "/delta_t.dat", 1, 3, 2)

    def time_scales(self, jd_utc):
        ut1 = jd_utc + self.dut1.at(jd_utc, before=0.0) / 86400.0
        tt = ut1 + self.dt.at(jd_utc) / 86400.0
        return ut1, tt, tt + erfa.dtdb(tt, 0.0, 0.0, 0.0, 0.0, 0.0) / 86400.0

    def _state(self, center, target, tdb):
        whole = math.floor(tdb - 0.5) + 0.5
        p, v = self.k[center, target].compute_and_differentiate(whole, tdb - whole)
        return p / AU_KM, v / AU_KM

    def barycentric(self, body, tdb):
        if body == 11:
            return self._state(0, 10, tdb)
        if body in (3, 10):
            b, bv = self._state(0, 3, tdb)
            p, v = self._state(3, 399 if body == 3 else 301, tdb)
            return b + p, bv + v
        return self._state(0, body, tdb)

    def apparent(self, jd_tt, body):
        """ra, dec (radians, true equator and equinox of date), geometric
        distance (AU), semidiameter and horizontal parallax (radians)."""
        tdb = jd_tt + erfa.dtdb(jd_tt, 0.0, 0.0, 0.0, 0.0, 0.0) / 86400.0
        e, ev = self.barycentric(3, tdb)
        s, _ = self.barycentric(11, tdb)
        x, _ = self.barycentric(body, tdb)
        distance = float(np.linalg.norm(x - e))
        tau = 0.0
        for _ in range(20):
            xb, _ = self.barycentric(body, tdb - tau)
            new = float(np.linalg.norm(xb - e)) / C_AU_DAY
            if abs(new - tau) < 1e-13:
                break
            tau = new
        xb, _ = self.barycentric(body, tdb - tau)
        sb, _ = self.barycentric(11, tdb - tau)
        u = xb - e
        p = u / np.linalg.norm(u)
        eh = e - s
        em = float(np.linalg.norm(eh))
        if body != 11:
            q = (xb - sb) / np.linalg.norm(xb - sb)
            p = erfa.ld(1.0, p, q, eh / em, em, 1e-9)
        v = ev / C_AU_DAY
        p = erfa.ab(p, v, em, math.sqrt(1.0 - float(v @ v)))
        p = erfa.pnm80(jd_tt, 0.0) @ p
        ra, dec = erfa.c2s(p)
        sd = hp = 0.0
        if body in (10, 11):
            hp = math.asin(EARTH_RADIUS_KM / (distance * AU_KM))
            sd = math.asin(RADIUS_KM[body] / (distance * AU_KM))
        return float(erfa.anp(ra)), float(dec), distance, sd, hp

    @staticmethod
    def gast_deg(jd_ut1):
        dpsi, _ = erfa.nut80(jd_ut1, 0.0)
        return math.degrees(erfa.anp(erfa.gmst82(jd_ut1, 0.0) + dpsi * math.cos(erfa.obl80(jd_ut1, 0.0))))

    def horizon(self, jd_ut1, lon, lat, ra, dec):
        """Altitude (degrees) and azimuth from north through east (degrees)."""
        ha = (self.gast_deg(jd_ut1) + lon) * DEG - ra
        az, el = erfa.hd2ae(ha, dec, lat * DEG)
        return math.degrees(el), math.degrees(az), ha

    # --- the day's events, as the searches take them
    def _altitude(self, y, m, d, hours, body, lon, lat, depression=None):
        jd = julian_date(y, m, d, hours)
        ra, dec, _, sd, hp = self.apparent(jd, body)
        alt, az, ha = self.horizon(jd, lon, lat, ra, dec)
        if depression is not None:
            h0 = -depression
        elif body == 11:
            h0 = -0.8333333333333334
        elif body == 10:
            h0 = -0.5666666666666667 - math.degrees(sd) + math.degrees(hp)
        else:
            h0 = -0.5666666666666667
        return alt - h0, alt, az, math.sin(ha)

    def _roots(self, fn, index):
        """Sign changes of fn(t)[index] over the day, refined by bisection."""
        steps = 480
        ts = [24.0 * i / steps for i in range(steps + 1)]
        vals = [fn(t) for t in ts]
        out = []
        for a, b, fa, fb in zip(ts, ts[1:], vals, vals[1:]):
            if (fa[index] < 0) != (fb[index] < 0):
                lo, hi, flo = a, b, fa[index]
                for _ in range(45):
                    mid = 0.5 * (lo + hi)
                    fm = fn(mid)[index]
                    if (fm < 0) == (flo < 0):
                        lo, flo = mid, fm
                    else:
                        hi = mid
                t = 0.5 * (lo + hi)
                out.append((t, fa[index] < fb[index], fn(t)))
        return out

    def events(self, y, m, d, body, lon, lat):
        """Rises and sets [(hours, rising, azimuth)] and transits [(hours,
        altitude, azimuth, kind)] of a UT date."""
        fn = lambda t: self._altitude(y, m, d, t, body, lon, lat)
        crossings = [(t, rising, v[2]) for t, rising, v in self._roots(fn, 0)]
        transits = []
        for t, _, v in self._roots(fn, 3):
            alt, az = v[1], v[2]
            if alt < 0:
                kind = 0
            else:
                # A lower transit lies on the side of the elevated pole and
                # below it.
                pole_side = abs(((az - (0.0 if lat >= 0 else 180.0)) + 180) % 360 - 180) < 90
                kind = -1 if pole_side and alt < abs(lat) else 1
            transits.append((t, alt, az, kind))
        return crossings, transits

    def twilights(self, y, m, d, lon, lat):
        """{(depression, rising): hours} of a UT date."""
        out = {}
        for dep in (6.0, 12.0):
            fn = lambda t: self._altitude(y, m, d, t, 11, lon, lat, depression=dep)
            for t, rising, _ in self._roots(fn, 0):
                out[(dep, rising)] = t
        return out


# ---------------------------------------------------------------------------
# Checking a results file.

NUMBER = re.compile(r"[-+]?\d*\.\d+(?:E[-+]\d+)?|[-+]?\d+")


class Checker:
    def __init__(self, model):
        self.m = model
        self.worst = {}
        self.failures = 0

    def numbers(self, line):
        return [float(x) for x in NUMBER.findall(line.split(":", 1)[1] if ":" in line else line)]

    def compare(self, what, printed, reference, fmt_decimals, unit=1.0, note=""):
        """printed and reference in the printed form; the difference in units
        of the last printed digit."""
        step = 10.0 ** -fmt_decimals
        diff = (printed - round(reference, fmt_decimals)) / step
        if abs(diff) > 1.0 + 1e-6:
            self.failures += 1
            print(f"  DIFFERS {what}: printed {printed} reference {reference:.{fmt_decimals + 3}f}{note}")
        key = what.split("#")[0]
        self.worst[key] = max(self.worst.get(key, 0.0), abs(diff))

    def packed_line(self, what, line, value, decimals):
        self.compare(what, self.numbers(line)[0], packed(value), decimals)

    def option6(self, block):
        get = lambda p: next(l for l in block if l.startswith(p))
        n = self.numbers(get(" Fecha en Greenwich y hora UTC"))
        day, month, year, t = int(n[0]), int(n[1]), int(n[2]), unpack(n[3])
        utc = julian_date(year, month, day, t)
        self.time_lines(block, utc)
        ut1, tt, _ = self.m.time_scales(utc)
        ra, dec, _, sd, hp = self.m.apparent(tt, 11)
        self.sd_line(block, sd, hp)
        theta = self.m.gast_deg(utc)  # option 6 takes the sidereal time from UTC
        g = (theta - math.degrees(ra)) % 360.0
        self.packed_line("alpha", get(" alpha"), math.degrees(ra) / 15.0, 7)
        self.packed_line("delta", get(" delta"), math.degrees(dec), 7)
        self.packed_line("GHA", get(" hG*"), g, 7)
        self.packed_line("sidereal angle", get(" Angulo sidereo"), (g - theta) % 360.0, 7)
        self.packed_line("GHA Aries", get(" hG_Aries"), theta, 7)
        e = g - ((t + 12.0) * 15.0) % 360.0
        e = (e + 180.0) % 360.0 - 180.0
        self.compare("equation of time", self.numbers(get(" ET (mm.sss)"))[0], packed(e / 15.0) * 100.0, 3)
        return f"option 6, {day} {month} {year} {n[3]:.4f} UTC"

    def time_lines(self, block, utc):
        ut1, tt, tdb = self.m.time_scales(utc)
        jd = self.numbers(next(l for l in block if l.startswith(" jdUTC,jdUT1")))
        for name, got, ref in zip(("jdUTC", "jdUT1", "jdTT", "jdTDB"), jd, (utc, ut1, tt, tdb)):
            self.compare(name, got, ref, 8)
        dt = self.numbers(next(l for l in block if l.startswith(" D_t = ")))[0]
        dut1 = self.numbers(next(l for l in block if l.startswith(" D_t3 = ")))[0]
        # (jdTT - jdUT1) * 86400 from Julian dates that hold 4e-5 s.
        self.compare("Delta T (s)", dt, (tt - ut1) * 86400.0, 4)
        self.compare("UT1 - UTC (s)", dut1, (ut1 - utc) * 86400.0, 4)

    def sd_line(self, block, sd, hp):
        got = self.numbers(next(l for l in block if l.startswith(" SD, PHE")))
        self.compare("SD (')", got[0], math.degrees(sd) * 60.0, 8)
        self.compare("HP (')", got[1], math.degrees(hp) * 60.0, 8)

    def option2(self, block):
        get = lambda p: next(l for l in block if l.startswith(p))
        lat, lon = (unpack(x) for x in self.numbers(get(" Situacion")))
        height = self.numbers(get(" Altura sobre el nivel del mar"))[0]
        index_error = self.numbers(get(" Error de indice"))[0]
        weather = [l for l in block if l.startswith(" Meteorologia anomala")]
        p, temp = self.numbers(weather[0]) if weather else (1010.0, 10.0)
        n = self.numbers(get(" Fecha local y hora legal"))
        day, month, year, hz = int(n[0]), int(n[1]), int(n[2]), unpack(n[3])
        name = get(" Coordenadas y efemerides para").split("para", 1)[1].strip()
        if name not in NAMES:
            return f"option 2, {name}: a star, not checked here"
        body = NAMES[name]
        zone = huso(lon)
        lmt = lon / 15.0 + hz - zone
        jd_local = julian_date(year, month, day, lmt)
        utc = jd_local - lon / 360.0
        self.time_lines(block, utc)
        ut1, tt, _ = self.m.time_scales(utc)
        ra, dec, dist, sd, hp = self.m.apparent(tt, body)
        if body not in (10, 11):
            hp = math.asin(EARTH_RADIUS_KM / (dist * AU_KM))  # a planet's parallax from its distance
        self.sd_line(block, sd, hp)
        theta = self.m.gast_deg(ut1)
        g = (theta - math.degrees(ra)) % 360.0
        self.packed_line("alpha", get(" alpha"), math.degrees(ra) / 15.0, 7)
        self.packed_line("delta", get(" delta"), math.degrees(dec), 7)
        self.packed_line("GHA", get(" hG*"), g, 7)
        self.packed_line("LHA", get(" hL*"), (g + lon) % 360.0, 7)
        self.packed_line("sidereal angle", get(" Angulo sidereo"), (g - theta) % 360.0, 7)
        self.packed_line("GHA Aries", get(" hG_Aries"), theta, 7)
        h, az, _ = self.m.horizon(ut1, lon, lat, ra, dec)
        self.packed_line("altitude", get(" Altura verdadera"), h, 6)
        zn = self.numbers(get(" Azimut circular"))[0]
        self.compare("azimuth (deg)", zn, on_circle(zn, az), 2)
        if h >= 0:
            # The lower limb's reading whose corrections (index error, dip,
            # refraction at the apparent altitude, semidiameter, the Moon's
            # augmented, parallax in altitude) give h.
            dip = 1.7757 * math.sqrt(height)
            ha = h
            for _ in range(60):
                r = refraction(ha, p, temp)
                sdd = math.degrees(sd) * (1.0 + math.sin(hp) * math.sin((ha - r / 60.0) * DEG) if body == 10 else 1.0)
                h3 = ha - r / 60.0 + sdd
                par = math.degrees(hp) * math.cos(h3 * DEG)
                ha += h - (h3 + par)
            hi = ha - (index_error - dip) / 60.0
            c = self.numbers(get(" Correcciones a la altura"))
            for what, got, ref in zip(("Ei", "dip", "SD", "R", "P"), c,
                                      (index_error, dip, sdd * 60, r, par * 60)):
                self.compare(f"correction {what} (')", got, ref, 4)
            self.packed_line("apparent altitude", get(" Altura aparente limbo"), ha, 6)
            self.packed_line("instrumental altitude", get(" Altura instrumental limbo"), hi, 6)
        self.day_events(block, body, lon, lat, zone, utc)
        return f"option 2, {name}, {day} {month} {year} {n[3]:.4f} at {lat:.4f} {lon:.4f}"

    def day_events(self, block, body, lon, lat, zone, utc):
        """The tables of the local date, each event matched to it as the
        program does: an event of the observation's Greenwich date that falls
        on another local date is taken instead from the search of the next
        (or previous) Greenwich date, once."""
        d_obs = math.floor(utc + lon / 360.0 + 0.5) - 0.5
        runs = {}

        def run(k):
            if k not in runs:
                y, m, d, _ = calendar(utc + k)
                base = julian_date(y, m, d, 0.0)
                crossings, trans = self.m.events(y, m, d, body, lon, lat)
                tw = self.m.twilights(y, m, d, lon, lat) if body == 11 else {}
                runs[k] = (base, crossings, trans[:2], tw)
            return runs[k]

        def day(jd_ut):
            return math.floor(jd_ut + lon / 360.0 + 0.5) - 0.5

        def matched(pick):
            """pick(run) -> (jd_ut, extra) or None, from the first run or the
            neighbouring one."""
            first = pick(run(0))
            if first is None:
                return None
            d_ev = day(first[0])
            if d_ev < d_obs:
                return pick(run(1))
            if d_obs < d_ev:
                return pick(run(-1))
            return first

        def crossing(rising):
            def pick(r):
                c = [(r[0] + t / 24.0, az) for t, up, az in r[1] if up == rising]
                return c[-1] if c else None
            return pick

        local = lambda jd: jd + lon / 360.0
        hours_of = lambda jd: calendar(jd)[3]

        def legal(jd_ut):
            v = hours_of(jd_ut) + zone
            return v - 24.0 if v > 24.0 else v + 24.0 if v < 0 else v

        for what, rising, word in (("rise", True, "orto"), ("set", False, "ocaso")):
            lines = [l for l in block if l.startswith(" Fecha local, horas legal y civil (hh.mmss) y azimut (ggg.gg) al " + word)]
            ev = matched(crossing(rising))
            if not lines or ev is None:
                if bool(lines) != (ev is not None):
                    self.failures += 1
                    print(f"  DIFFERS {what}: printed {bool(lines)}, reference {ev}")
                continue
            jd, az = ev
            n = self.numbers(lines[0])
            self.compare(f"{what} local date#", n[0] + 100 * n[1] + 10000 * n[2],
                         (lambda c: c[2] + 100 * c[1] + 10000 * c[0])(calendar(local(jd))), 0)
            self.compare(f"{what} legal time#", n[3], packed(legal(jd)), 4)
            self.compare(f"{what} civil time#", n[4], packed(hours_of(local(jd))), 4)
            self.compare(f"{what} azimuth (deg)", n[5], on_circle(n[5], az), 2)
            g = [l for l in block if l.startswith(" Fecha en Greenwich y hora UTC al " + word)]
            self.compare(f"{what} UT#", self.numbers(g[0])[3], packed(hours_of(jd)), 4)
        cre = [l for l in block if "crepus." in l]
        if cre:
            # Each twilight instant is matched to the local date on its own.
            a, b = self.numbers(cre[0]), self.numbers(cre[1])
            for what, got, key in (("twilight (nautical, morning)#", a[3], (12.0, True)),
                                   ("twilight (civil, morning)#", a[4], (6.0, True)),
                                   ("twilight (civil, evening)#", b[3], (6.0, False)),
                                   ("twilight (nautical, evening)#", b[4], (12.0, False))):
                def pick(r, key=key):
                    return (r[0] + r[3][key] / 24.0,) if key in r[3] else None
                self.compare(what, got, packed(hours_of(local(matched(pick)[0]))), 4)
        rows = [self.numbers(l) for l in block if re.match(r"^    [ \d]\d   [ \d]\d   \d{4}   ", l)]
        local_rows = [r for r in rows if len(r) == 8]
        greenwich_rows = [r for r in rows if len(r) == 7]
        refs = []
        for k in range(2):
            def pick(r, k=k):
                return (r[0] + r[2][k][0] / 24.0,) + tuple(r[2][k][1:]) if len(r[2]) > k else None
            ev = matched(pick)
            if ev is not None:
                refs.append(ev)
        if len(local_rows) != len(refs) or len(greenwich_rows) != len(refs):
            self.failures += 1
            print(f"  DIFFERS transits: {len(local_rows)} printed, {len(refs)} in the reference")
        for r, g, (jd, alt, az, kind) in zip(local_rows, greenwich_rows, refs):
            self.compare("transit local date#", r[0] + 100 * r[1] + 10000 * r[2],
                         (lambda c: c[2] + 100 * c[1] + 10000 * c[0])(calendar(local(jd))), 0)
            self.compare("transit legal time#", r[3], packed(legal(jd)), 4)
            self.compare("transit civil time#", r[4], packed(hours_of(local(jd))), 4)
            self.compare("transit altitude", r[5], packed(alt), 4)
            self.compare("transit azimuth (deg)", r[6], on_circle(r[6], az), 2)
            self.compare("transit kind", r[7], kind, 0)
            self.compare("transit UT#", g[3], packed(hours_of(jd)), 4)

    def check(self, path):
        lines = open(path).read().split("\n")
        def previous(i):
            return next((lines[j] for j in range(i - 1, -1, -1) if lines[j].strip()), "")

        # Option 2 calculations begin with their data; option 6 ones with the
        # Greenwich date, which option 2 writes after its local date.
        starts = [i for i, l in enumerate(lines) if l.startswith("  Datos:")
                  or (l.startswith(" Fecha en Greenwich y hora UTC (hh.mmss):")
                      and i + 2 < len(lines) and lines[i + 2].startswith(" jdUTC")
                      and not previous(i).startswith(" Fecha local, horas legal y civil"))]
        starts.append(len(lines))
        for a, b in zip(starts, starts[1:]):
            block = lines[a:b]
            try:
                print(self.option2(block) if lines[a].startswith("  Datos:") else self.option6(block))
            except StopIteration:
                pass  # a calculation the program stopped before its figures
            except OutOfRangeError:
                print("an instant outside the kernel: the program must stop there")
        print("largest differences, in units of the last printed digit:")
        for k, v in sorted(self.worst.items()):
            print(f"  {k.strip()}: {v:.2f}")
        return self.failures


def main():
    kernel, data, command = sys.argv[1:4]
    m = Model(kernel, data)
    if command == "check":
        sys.exit(1 if Checker(m).check(sys.argv[4]) else 0)
    if command == "place":
        ra, dec, dist, sd, hp = m.apparent(float(sys.argv[4]), int(sys.argv[5]))
        print(f"{ra:.15f} {dec:.15f} {dist:.12f} {sd:.12e} {hp:.12e}")
    elif command == "events":
        y, mo, d, body = (int(x) for x in sys.argv[4:8])
        lon, lat = float(sys.argv[8]), float(sys.argv[9])
        crossings, transits = m.events(y, mo, d, body, lon, lat)
        for t, rising, az in crossings:
            print(f"{'rise' if rising else 'set '} {t:.9f} h  Zn {az:.5f}")
        for t, alt, az, kind in transits:
            print(f"transit {t:.9f} h  altitude {alt:.6f}  Zn {az:.5f}  kind {kind}")


if __name__ == "__main__":
    main()
