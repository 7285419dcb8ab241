#!/usr/bin/python3
"""Random sights synthesised with sight_reference.py (PyEphem places, ERFA
sidereal time at the true UT1) are reduced by the program's options 4 and 3;
prints the errors of the intercept and azimuth, and the bodies that option 3
failed to name.

    /usr/bin/python3 tools/check_sights.py PROGRAM DATA_DIR [count] [seed]

The sky of the synthesised sights turns with the true UT1; the program turns
it with UTC as its sidereal time takes it, which costs up to 0.15' when
|UT1 - UTC| nears 0.6 s.  UT1_AS_UTC=1 in the environment makes the
synthesis take UTC as UT1 too.
"""
import math
import os
import random
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sight_reference as ref  # noqa: E402

STARS = {"Achernar": 5, "Acrux": 30, "Aldebaran": 10, "Alioth": 32, "Alkaid": 34, "Alpheratz": 1,
         "Altair": 51, "Antares": 42, "Arcturus": 37, "Betelgeuse": 16, "Canopus": 17, "Capella": 12,
         "Deneb": 53, "Dubhe": 27, "Fomalhaut": 56, "Hamal": 6, "Kochab": 40, "Markab": 57,
         "Miaplacidus": 24, "Polaris": 58, "Procyon": 20, "Regulus": 26, "Rigel": 11, "Sirius": 18,
         "Spica": 33, "Vega": 49, "Peacock": 52, "Schedar": 3}
SOLAR = {"Sun": 100, "Moon": 101, "Venus": 102, "Mars": 103, "Jupiter": 104, "Saturn": 105}


def unpack(p):
    s = -1.0 if p < 0 else 1.0
    p = abs(p)
    d = int(p + 1e-9)
    m = int((p - d) * 100 + 1e-7)
    return s * (d + m / 60.0 + ((p - d) * 100 - m) * 100 / 3600.0)


def deg_min(x):
    """Decimal degrees to packed d.mm (whole minutes, rounded)."""
    s = "-" if x < 0 else ""
    t = round(abs(x) * 60)
    return f"{s}{t // 60}.{t % 60:02d}"


def make_sight(rng):
    while True:
        name = rng.choice(list(STARS) + list(SOLAR) + ["Sun", "Moon", "Moon"])
        y, mo, d = rng.randint(2000, 2022), rng.randint(1, 12), rng.randint(1, 28)
        t = round(rng.uniform(0, 24) * 3600) / 3600.0
        lat, lon = rng.uniform(-60, 60), rng.uniform(-180, 180)
        ra, dec, dist = ref.place(name, y, mo, d, t)
        th = ref.gast(y, mo, d, t)
        h, az = ref.horizon(ra, dec, lat, lon, th)
        if 8.0 < h < 82.0:
            break
    limb = rng.choice([-1, 1]) if name == "Moon" else -1
    height, ie = round(rng.uniform(0, 20), 1), round(rng.uniform(-3, 3), 1)
    abnormal = rng.random() < 0.5
    pres, temp = (round(rng.uniform(970, 1040)), round(rng.uniform(-10, 35))) if abnormal else (1010, 10)
    dlat, dlon = deg_min(lat + rng.uniform(-0.5, 0.5)), deg_min(lon + rng.uniform(-0.5, 0.5))
    sec = round(t * 3600)
    hh, rem = divmod(sec, 3600)
    mm, ss = divmod(rem, 60)
    limb_h = ref.topocentric_limb(name, ra, dec, dist, lat, lon, th, limb)
    app = limb_h
    for _ in range(30):
        app = limb_h + ref.refraction(app, pres, temp) / 60.0
    hs = app - (ie - 1.7757 * math.sqrt(height)) / 60.0
    hc, zn = ref.horizon(ra, dec, unpack(float(dlat)), unpack(float(dlon)), th)
    return dict(name=name, number=STARS.get(name, SOLAR.get(name)), date=(d, mo, y),
                time=f"{hh}.{mm:02d}{ss:02d}", hs=ref.packed(hs), limb=limb, height=height, ie=ie,
                abnormal=abnormal, pres=pres, temp=temp, dlat=dlat, dlon=dlon,
                truth=(h - hc) * 60.0, zn=zn, true_h=h, true_az=az, lat=lat, lon=lon)


def conditions(s):
    lines = [str(s["height"]), str(s["ie"]), "1" if s["abnormal"] else "0"]
    if s["abnormal"]:
        lines.append(f"{s['pres']} {s['temp']}")
    return lines


def run(program, data, keyboard):
    with tempfile.TemporaryDirectory() as work:
        for f in os.listdir(data):
            os.symlink(os.path.join(data, f), os.path.join(work, f))
        return subprocess.run([program], input=keyboard, cwd=work, capture_output=True, text=True).stdout


def main(argv):
    program, data = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    count = int(argv[3]) if len(argv) > 3 else 40
    rng = random.Random(int(argv[4]) if len(argv) > 4 else 1)
    sights = [make_sight(rng) for _ in range(count)]

    keys = ["4"]
    for i, s in enumerate(sights):
        keys += conditions(s) + [f"{s['dlat']} {s['dlon']}", "%d %d %d" % s["date"], str(s["number"]),
                                 "1", f"{s['time']} {s['hs']}"]
        if s["name"] == "Moon":
            keys.append(str(s["limb"]))
        keys.append("1" if i + 1 < count else "0")
    keys.append("0")
    out = run(program, data, "\n".join(keys) + "\n")
    hc = [unpack(float(v)) for v in re.findall(r"Altura estimada \(gg.mmssss\): +(\S+)", out)]
    ho = [unpack(float(v)) for v in re.findall(r"Altura verdadera, distancia cenital \(gg.mmss\): +(\S+)", out)]
    zn = [float(v) for v in re.findall(r" Azimut \(ggg.gg\): +(\S+)\n\n Correcciones", out)]
    worst_i, worst_z = 0.0, 0.0
    for s, c, o, z in zip(sights, hc, ho, zn):
        di = (o - c) * 60.0 - s["truth"]
        dz = (z - s["zn"] + 180.0) % 360.0 - 180.0
        worst_i, worst_z = max(worst_i, abs(di)), max(worst_z, abs(dz))
        flag = "  <-- over 0.1'" if abs(di) > 0.1 or abs(dz) > 0.05 else ""
        print(f"{s['name']:>11} {s['limb']:2d} {'%02d/%02d/%d' % s['date']} {s['time']:>8} h={s['true_h']:5.1f}"
              f" {'P,T' if s['abnormal'] else '   '} intercept {s['truth']:8.3f}' error {di:+.3f}' Zn error {dz:+.3f}{flag}")
    print(f"{len(hc)} of {count} reduced; worst intercept error {worst_i:.3f}', worst azimuth error {worst_z:.3f} deg")

    # Recognition: the true altitude and azimuth typed from the true position.
    keys = []
    named = [s for s in sights if s["name"] not in ("Sun", "Moon")]
    for s in named:
        keys += ["3"] + conditions(s) + [f"{ref.packed(s['lat'])} {ref.packed(s['lon'])}", "%d %d %d" % s["date"],
                                         "1", f"{s['time']} {s['hs']}", f"{s['true_az']:.2f}", "0"]
    keys.append("0")
    out = run(program, data, "\n".join(keys) + "\n")
    blocks = out.split("ZEMBREL: Reconocimiento de un astro")[1:]
    wrong = 0
    for s, b in zip(named, blocks):
        m = re.search(r"El astro desconocido es: +(\d+)", b)
        got = int(m.group(1)) if m else 0
        if got != s["number"]:
            wrong += 1
            print(f"recognition: {s['name']} {'%02d/%02d/%d' % s['date']} named {got}")
    print(f"recognition: {len(named) - wrong} of {len(named)} named right")


if __name__ == "__main__":
    main(sys.argv)
