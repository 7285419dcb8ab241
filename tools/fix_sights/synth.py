"""Sights for the fix transcripts, synthesised from a known position with
ERFA (apparent observed place, no refraction), then the sextant reading that
the program's corrections turn into that altitude."""
import math, datetime, erfa, sys

import os
ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
DATA = os.path.join(ROOT, 'data')

def unpack(p):
    s = -1 if p < 0 else 1; a = abs(p)
    d = int(a + 1e-8); m100 = (a - d) * 100; m = int(m100 + 1e-8); sec = (m100 - m) * 100
    return s * (d + m / 60 + sec / 3600)

def pack(x, sec_dec=4):
    s = '-' if x < 0 else ''
    a = abs(x)
    tot = round(a * 3600 * 10**sec_dec)
    d, rem = divmod(tot, 3600 * 10**sec_dec)
    m, rem = divmod(rem, 60 * 10**sec_dec)
    si, fr = divmod(rem, 10**sec_dec)
    return f"{s}{d}.{m:02d}{si:02d}" + (f"{fr:0{sec_dec}d}" if sec_dec else "")

def catalogue():
    stars = []
    for line in open(f'{DATA}/estrellas.dat').read().splitlines()[6:105]:
        name = line[3:18].strip()
        ra = float(line[20:35]); dec = float(line[39:53])
        pmra = float(line[58:68]); pmdec = float(line[77:87]); rv = float(line[91:99]); plx = float(line[102:111])
        stars.append((name, ra, dec, pmra, pmdec, rv, plx))
    return stars
STARS = catalogue()

def dut1(mjd):
    rows = {}
    for line in open(f'{DATA}/delta_t.iers'):
        f = line.split()
        if len(f) > 8 and f[0].isdigit() and len(f[0]) == 4:
            rows[int(f[3])] = float(f[6])
    m0 = int(math.floor(mjd)); fr = mjd - m0
    return rows[m0] + fr * (rows[m0 + 1] - rows[m0])

def refraction(h, p=1010.0, t=10.0):
    z = 1.5707963267948966 - math.radians(h); c = math.tan(z)
    if h >= 15: r0 = 0.97127 * c - 0.00137 * c**3
    else:
        import numpy as np
        k = float(np.float32(0.00428))
        r0 = (34.133 + 4.197 * h + k * h * h) / (1 + 0.505 * h + 0.0845 * h * h)
    return r0 * (p / 1010.0) * (283.0 / (t + 273.0))

def observed(star, lat, lon, when):
    """True topocentric altitude and azimuth (degrees) of catalogue star
    number `star` from lat, lon (degrees) at datetime `when` (UTC)."""
    name, ra, dec, pmra, pmdec, rv, plx = STARS[star - 1]
    rc = math.radians(unpack(ra) * 15); dc = math.radians(unpack(dec))
    mas = math.radians(1 / 3600e3)
    u1, u2 = erfa.dtf2d('UTC', when.year, when.month, when.day, when.hour, when.minute,
                        when.second + when.microsecond / 1e6)
    d = dut1(u1 - 2400000.5 + u2)
    aob, zob, hob, dob, rob, eo = erfa.atco13(rc, dc, pmra * mas / math.cos(dc), pmdec * mas,
                                              plx / 1000, rv, u1, u2, d, math.radians(lon),
                                              math.radians(lat), 0, 0, 0, 0, 0, 0, 0.5)
    return 90 - math.degrees(zob), math.degrees(aob), name

def reading(ho, height=0.0, ie=0.0, p=1010.0, t=10.0):
    """Sextant altitude whose fix-order correction gives ho (stars)."""
    h1 = ho
    for _ in range(50):
        h1 = ho + refraction(h1, p, t) / 60
    return h1 - (ie - 1.7757 * math.sqrt(height)) / 60

def sight(star, lat, lon, when, height=0.0, ie=0.0, p=1010.0, t=10.0):
    ho, az, name = observed(star, lat, lon, when)
    hs = reading(ho, height, ie, p, t)
    hh = when.hour + when.minute / 60 + when.second / 3600
    return dict(star=star, name=name, ho=ho, az=az, hs=hs,
                time=pack(hh, 0), alt=pack(hs, 5))

def run_to(lat, lon, course, miles):
    """Great-circle destination (degrees)."""
    la, lo, c, d = map(math.radians, (lat, lon, course, miles / 60))
    la2 = math.asin(math.sin(la) * math.cos(d) + math.cos(la) * math.sin(d) * math.cos(c))
    lo2 = lo + math.atan2(math.sin(c) * math.sin(d) * math.cos(la), math.cos(d) - math.sin(la) * math.sin(la2))
    return math.degrees(la2), math.degrees(lo2)

def dialogue(height, ie, speed, course, nbodies, sights, az1=None, weather=None, again=0):
    """Keyboard answers of one option-5 calculation (without the menu).  Each
    sight: dict with date (d, m, y), body, readings [(time, alt)], est (lat,
    lon) and az for an unknown body, limb for the Moon, bad_bodies and
    bad_counts (refused answers), retry (earlier unrecognised attempts)."""
    out = [str(height), str(ie), '1' if weather else '0']
    if weather: out.append(f'{weather[0]} {weather[1]}')
    out += [f'{speed} {course}', str(nbodies)]
    for i, s in enumerate(sights):
        out.append('%d %d %d' % s['date'])
        out += [str(b) for b in s.get('bad_bodies', [])]
        out.append(str(s['body']))
        for rd in s.get('retry', []):
            out.append(str(len(rd['readings'])))
            out += [f'{t} {a}' for t, a in rd['readings']]
            out += [f"{rd['est'][0]} {rd['est'][1]}", str(rd['az'])]
        out += [str(b) for b in s.get('bad_counts', [])]
        out.append(str(len(s['readings'])))
        out += [f'{t} {a}' for t, a in s['readings']]
        if s['body'] == 0 and i < 2:
            out += [f"{s['est'][0]} {s['est'][1]}", str(s['az'])]
        if s['body'] == 0 and i == 2:
            out.append(str(s['az']))
        if s['body'] == 101: out.append(str(s['limb']))
        if i == 1 and az1 is not None: out.append(str(az1))
    out.append(str(again))
    return out

def write_in(name, calcs):
    lines = ['5']
    for c in calcs: lines += c
    lines.append('0')
    open(os.path.join(ROOT, 'tests', 'transcripts', name + '.in'), 'w').write('\n'.join(lines) + '\n')
