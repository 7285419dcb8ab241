#!/usr/bin/python3
"""Independent check of a menu-option-7 transcript (twilight planner).

Usage: planner_check.py estrellas.dat NAME.in NAME.out

Reads the answers of each calculation from NAME.in and the screen from
NAME.out, and checks each printed number against PyEphem (Sun events,
geocentric apparent places of the Moon and planets) and ERFA (star places,
sidereal angle, horizon): sunrise, sunset and twilights of the local date
within a minute, the situation, the hours to the event, its legal time
(within a minute, printed within 0-24 h) and the dead-reckoning position (within 0.1'), and every
listed altitude and azimuth within 0.05 degrees.  Needs the system python
with the ephem and erfa modules.  Prints the differences and exits 1 on a
failure.
"""
import math
import re
import sys

import ephem
import erfa

DEG = math.pi / 180.0


def unpack(v):
    s = -1.0 if v < 0 else 1.0
    v = abs(v)
    d = int(v + 1e-12)
    rest = (v - d) * 100.0
    m = int(rest + 1e-9)
    sec = (rest - m) * 100.0
    return s * (d + m / 60.0 + sec / 3600.0)


def huso(lon):
    a = abs(lon)
    if a <= 7.5:
        return 0.0
    return math.copysign(math.ceil((a - 7.5) / 15.0), lon)


def read_catalogue(path):
    stars = []
    with open(path) as f:
        lines = f.read().splitlines()[6:6 + 99]
    for ln in lines:
        name = ln[3:18]
        ra = unpack(float(ln[20:35])) * 15.0 * DEG
        dec = unpack(float(ln[39:53])) * DEG
        pmra_cosd = float(ln[58:68])
        pmdec = float(ln[77:87])
        rv = float(ln[91:99])
        plx = float(ln[102:111])
        stars.append((name, ra, dec, pmra_cosd, pmdec, rv, plx))
    return stars


def jd_of(djd):
    return djd + 2415020.0  # ephem Date (Dublin JD) to JD


def ephem_date(jd):
    return ephem.Date(jd - 2415020.0)


def observer(lat, lon, horizon):
    o = ephem.Observer()
    o.lat, o.lon = str(lat), str(lon)
    o.pressure = 0.0
    o.horizon = horizon
    o.elevation = 0.0
    return o


def event_in(lat, lon, horizon, rising, start_jd, end_jd):
    """Crossing of the Sun's centre through `horizon` between two UT JDs."""
    o = observer(lat, lon, horizon)
    o.date = ephem_date(start_jd)
    try:
        t = (o.next_rising if rising else o.next_setting)(ephem.Sun(), use_center=True)
    except (ephem.AlwaysUpError, ephem.NeverUpError):
        return None
    jd = jd_of(float(t))
    return jd if jd < end_jd else None


def event_near(lat, lon, horizon, rising, guess_jd):
    o = observer(lat, lon, horizon)
    o.date = ephem_date(guess_jd - 0.5)
    try:
        t = (o.next_rising if rising else o.next_setting)(ephem.Sun(), use_center=True)
    except (ephem.AlwaysUpError, ephem.NeverUpError):
        return None
    return jd_of(float(t))


def dead_reckoning(lat, lon, speed, course, hours):
    d = speed * hours
    dlat = d * math.cos(course * DEG) / 60.0
    dep = d * math.sin(course * DEG) / 60.0
    lat2 = lat + dlat
    lon2 = lon + dep / math.cos((lat + lat2) / 2.0 * DEG)
    return lat2, lon2


def ut1_tt(jd_utc):
    dat = erfa.dat(*erfa.jd2cal(jd_utc, 0.0)[:3], 0.0)
    tt = jd_utc + (dat + 32.184) / 86400.0
    return jd_utc, tt  # UT1 - UTC (< 1 s) is below the tolerance


def visible(stars, jd_utc, lat, lon):
    ut1, tt = ut1_tt(jd_utc)
    rows = []
    for name, ra, dec, pmra_cosd, pmdec, rv, plx in stars:
        pr = pmra_cosd / math.cos(dec) / 1000.0 / 3600.0 * DEG  # rad/yr of RA itself
        pd = pmdec / 1000.0 / 3600.0 * DEG
        ri, di, eo = erfa.atci13(ra, dec, pr, pd, plx / 1000.0, rv, tt, 0.0)
        ha = erfa.era00(ut1, 0.0) + lon * DEG - ri
        az, el = erfa.hd2ae(ha, di, lat * DEG)
        rows.append((name.strip(), el / DEG, az / DEG))
    gast = erfa.gst06a(ut1, 0.0, tt, 0.0)
    for name, body in (("Luna", ephem.Moon()), ("Venus", ephem.Venus()), ("Marte", ephem.Mars()),
                       ("Jupiter", ephem.Jupiter()), ("Saturno", ephem.Saturn())):
        body.compute(ephem_date(jd_utc), epoch=ephem_date(jd_utc))
        az, el = erfa.hd2ae(gast + lon * DEG - float(body.g_ra), float(body.g_dec), lat * DEG)
        rows.append((name, el / DEG, az / DEG))
    return rows


class Checker:
    def __init__(self):
        self.failures = 0

    def close(self, what, got, want, tol):
        ok = abs(got - want) <= tol
        if not ok:
            self.failures += 1
        print(f"  {'ok ' if ok else 'BAD'} {what}: printed {got:.5f}, reference {want:.5f}")


def numbers(line):
    return [float(x) for x in re.findall(r"-?\d+\.\d*(?:E[-+]\d+)?|-?\d+", line)]


def split_calculations(screen):
    parts = screen.split("Latitud y Longitud estimadas (gg.mmss):")[1:]
    return parts


def main():
    stars = read_catalogue(sys.argv[1])
    tokens = open(sys.argv[2]).read().split()
    screen = open(sys.argv[3], encoding="utf-8").read()
    assert tokens[0] == "7"
    pos = 1
    speed = course = 0.0
    chk = Checker()
    for calc in split_calculations(screen):
        lat = unpack(float(tokens[pos])); lon = unpack(float(tokens[pos + 1]))
        day, month, year = int(tokens[pos + 2]), int(tokens[pos + 3]), int(tokens[pos + 4])
        hz = unpack(float(tokens[pos + 5]))
        if tokens[pos + 6] == "/":  # "/" keeps the speed and course of the last calculation
            pos += 7
        else:
            speed, course = float(tokens[pos + 6]), float(tokens[pos + 7])
            pos += 8
        print(f"calculation {lat:.4f} {lon:.4f} {day}/{month}/{year} {hz:.4f} h, {speed} kn {course}")
        zone = huso(lon)
        now = erfa.cal2jd(year, month, day)[0] + erfa.cal2jd(year, month, day)[1] + (hz - zone) / 24.0
        local0 = math.floor(now + lon / 360.0 + 0.5) - 0.5  # local civil 0 h
        start, end = local0 - lon / 360.0, local0 + 1 - lon / 360.0
        ev = {}
        for key, hor, rising in (("SR", "-0:50", True), ("SS", "-0:50", False), ("NM", "-12", True),
                                 ("CM", "-6", True), ("CE", "-6", False), ("NE", "-12", False)):
            # Two crossings on one local date (a twilight that begins just
            # before local midnight): the one of the Greenwich date of "now",
            # where the dialogue searches first.
            g0 = math.floor(now + 0.5) - 0.5
            first = event_in(lat, lon, hor, rising, max(start, g0), min(end, g0 + 1))
            ev[key] = first if first is not None else event_in(lat, lon, hor, rising, start, end)
        if "latitud extrema" in calc:
            print("  latitud extrema printed; reference sunrise/sunset:", ev["SR"], ev["SS"])
            if ev["SR"] and ev["SS"]:
                chk.failures += 1
                print("  BAD the Sun rises and sets on that local date")
            pos += 1
            continue
        civil = lambda jd: ((jd + lon / 360.0 + 0.5) % 1.0) * 24.0
        for key, label in (("SR", "al orto"), ("SS", "al ocaso")):
            m = re.search(r"hora civil " + label + r" \(hh.mmss\):\s+(.*)", calc)
            chk.close(key + " civil time (h)", unpack(numbers(m.group(1))[3]), civil(ev[key]), 1 / 60)
        m = re.search(r"inicio crepus. matu. nautico y civil:\s+(.*)", calc)
        if m:
            v = numbers(m.group(1))
            chk.close("NM civil time (h)", unpack(v[3]), civil(ev["NM"]), 1 / 60)
            chk.close("CM civil time (h)", unpack(v[4]), civil(ev["CM"]), 1 / 60)
            v = numbers(re.search(r"final crepus. vespe. civil y nautico:\s+(.*)", calc).group(1))
            chk.close("CE civil time (h)", unpack(v[3]), civil(ev["CE"]), 1 / 60)
            chk.close("NE civil time (h)", unpack(v[4]), civil(ev["NE"]), 1 / 60)
        if ev["NM"] is None or ev["NE"] is None:
            ok = "No hay crepusculo nautico en esta fecha" in calc
            print(f"  {'ok ' if ok else 'BAD'} no nautical twilight on the local date")
            chk.failures += 0 if ok else 1
            pos += 1
            continue
        want = tokens[pos]; pos += 2  # and the answer to "Nuevo calculo"
        if want != "1":
            continue
        if now <= ev["NM"]:
            case, target, key, hor, rising = 1, "crepusculo nautico comenzara", "NM", "-12", True
        elif now < ev["SR"]:
            case = 2
        elif now <= ev["SS"]:
            case, target, key, hor, rising = 3, "ocaso tendra lugar", "SS", "-0:50", False
        elif now <= ev["NE"]:
            case = 4
        else:
            case = 5
        printed = {1: "Horas hasta el comienzo del crepusculo nautico", 2: "matutino ya ha comenzado",
                   3: "Horas hasta el ocaso", 4: "aun estamos en el crepusculo", 5: "I am sorry"}
        ok = printed[case] in calc and all(printed[k] not in calc for k in printed if k != case)
        chk.failures += 0 if ok else 1
        print(f"  {'ok ' if ok else 'BAD'} situation {case}")
        instant = now
        if case in (1, 3):
            # The event at the position the ship will have reached then.
            t_ev = ev[key]
            for _ in range(50):
                la, lo = dead_reckoning(lat, lon, speed, course, (t_ev - now) * 24.0)
                nxt = event_near(la, lo, hor, rising, t_ev)
                if abs(nxt - t_ev) < 1e-7:
                    break
                t_ev = nxt
            hours = (t_ev - now) * 24.0
            la, lo = dead_reckoning(lat, lon, speed, course, hours)
            m = re.search(r"Horas hasta [^:]*:\s+(\S+)", calc)
            chk.close("hours to the event", float(m.group(1)), hours, 1 / 60)
            m = re.search(target + r" a las\s+(\S+)", calc)
            legal = (((t_ev + 0.5) % 1.0) * 24.0 + huso(lo)) % 24.0
            got = unpack(float(m.group(1)))
            if abs(got - legal) > 12.0:  # the two sides of midnight
                legal += 24.0 if got > legal else -24.0
            chk.close("legal time of the event (h)", got, legal, 1 / 60)
            if not 0.0 <= got < 24.0:
                chk.failures += 1
                print(f"  BAD legal time {got:.5f} h printed outside 0-24 h")
            m = re.search(r"lat  lon \(gg.mmss\):\s*\n\s*\n(.*)", calc)
            v = numbers(m.group(1))
            chk.close("latitude (')", unpack(v[0]) * 60, la * 60, 0.1)
            lo_printed = unpack(v[1])
            lo = lo + 360.0 * round((lo_printed - lo) / 360.0)  # across the date line
            chk.close("longitude (')", lo_printed * 60, lo * 60, 0.1)
            # The list belongs to the instant the program found (its hours are
            # checked above), not to the reference one.
            instant = now + float(re.search(r"Horas hasta [^:]*:\s+(\S+)", calc).group(1)) / 24.0
        if case == 5:
            continue
        ref = visible(stars, instant, lat, lon)
        listed = re.findall(r"^ (.{15})\s{6}([ \d.-]{6})\s{23}([ \d.]{6})$", calc, re.M)
        m = re.search(r"grados:\s*(\d+)", calc)
        names = [n.strip() for n, _, _ in listed]
        expect = [r for r in ref if r[1] >= 15.0]
        doubtful = [r[0] for r in ref if abs(r[1] - 15.0) < 0.05]
        missing = [r[0] for r in expect if r[0] not in names and r[0] not in doubtful]
        extra = [n for n in names if n not in [r[0] for r in expect] and n not in doubtful]
        order_ok = names == [r[0] for r in ref if r[0] in names]
        ok = not missing and not extra and order_ok and int(m.group(1)) == len(listed)
        chk.failures += 0 if ok else 1
        print(f"  {'ok ' if ok else 'BAD'} list of {len(listed)} bodies (missing {missing}, extra {extra})")
        worst_alt = worst_az = 0.0
        worst_name = ""
        for n, alt, az in listed:
            r = next(r for r in ref if r[0] == n.strip())
            worst_alt = max(worst_alt, abs(float(alt) - r[1]))
            d = abs(float(az) - r[2]) % 360.0
            if min(d, 360.0 - d) > worst_az:
                worst_az, worst_name = min(d, 360.0 - d), f"{n.strip()} at {r[1]:.3f} deg"
        chk.close("largest altitude difference (deg)", worst_alt, 0.0, 0.05)
        chk.close(f"largest azimuth difference (deg), {worst_name}", worst_az, 0.0, 0.05)
    print("FAILURES:", chk.failures)
    sys.exit(1 if chk.failures else 0)


main()
