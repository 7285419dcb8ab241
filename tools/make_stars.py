#!/usr/bin/python3
"""Write the star catalogue: 6 header lines, then 99 records in the columns
(i2,1x,a15,2x,D15.9,4x,D14.8,5x,D10.2,9x,D10.2,4x,D8.2,3x,D9.2):
number, name, RA (J2000, packed h.mmss), Dec (J2000, packed d.mmss),
proper motion in RA as mu_alpha*cos(delta) and in Dec (mas/yr), radial
velocity (km/s), parallax (mas).

Stars 1-57: the navigational stars of the nautical almanacs in their order,
58: Polaris, 59-99: the next 41 brightest stars in order of right ascension
(stars closer than one arcminute to a brighter star are left out as
companions).

Sources (Hipparcos):
  python3-ephem, ephem/stars.py: J2000 positions and proper motions of 115
    bright stars (Hipparcos, 1997, carried to epoch J2000.0), names and the
    almanac numbers of the 57 navigational stars;
  stellarium-data, stars/default/stars_0_0v0_8.cat: Hipparcos stars to
    magnitude 6 with J2000 positions, magnitudes and parallaxes;
    hip_pm.dat: Hipparcos proper motions; skycultures/western/star_names.fab
    and stars/default/name.fab: names.
Each star of ephem is matched to the Stellarium catalogue by position
(nearest star, which must lie within 10 arcseconds).  Positions and proper
motions come from ephem where it has the star, otherwise from Stellarium;
parallaxes always from Stellarium.  No Debian package carries radial
velocities: they are written as 0.00.

Usage: make_stars.py ephem_stars.py stellarium_stars_dir western_names out
"""
import math
import struct
import sys

import numpy as np

# The almanacs' spelling where ephem spells a name otherwise.
ALMANAC_NAMES = {"Formalhaut": "Fomalhaut", "Alnair": "Al Na'ir",
                 "Zubenelgenubi": "Zuben'ubi"}
GREEK = {"α": "alf", "β": "bet", "γ": "gam", "δ": "del", "ε": "eps", "ζ": "zet",
         "η": "eta", "θ": "the", "ι": "iot", "κ": "kap", "λ": "lam", "μ": "mu",
         "ν": "nu", "ξ": "ksi", "ο": "omi", "π": "pi", "ρ": "rho", "σ": "sig",
         "τ": "tau", "υ": "ups", "φ": "phi", "χ": "chi", "ψ": "psi", "ω": "ome"}
MATCH_ARCSEC = 10.0
COMPANION_ARCSEC = 60.0


def unit(ra_deg, dec_deg):
    r, d = math.radians(ra_deg), math.radians(dec_deg)
    return np.array([math.cos(d) * math.cos(r), math.cos(d) * math.sin(r), math.sin(d)])


def read_stellarium(path):
    """Decode a Stellarium zone file of 28-byte Hipparcos records on the
    level-0 geodesic grid (20 icosahedron faces)."""
    b = open(path, "rb").read()
    magic, typ, major, minor, level, mag_min, mag_range, mag_steps = \
        struct.unpack_from("<I7i", b, 0)
    if magic != 0x835F040A or typ != 0 or level != 0:
        sys.exit(f"{path}: not a level-0 Hipparcos zone file")
    counts = struct.unpack_from("<20i", b, 32)
    g = 0.5 * (1 + math.sqrt(5))
    bb = 1 / math.sqrt(1 + g * g)
    aa = bb * g
    corners = np.array([(aa, -bb, 0), (aa, bb, 0), (-aa, bb, 0), (-aa, -bb, 0),
                        (0, aa, -bb), (0, aa, bb), (0, -aa, bb), (0, -aa, -bb),
                        (-bb, 0, aa), (bb, 0, aa), (bb, 0, -aa), (-bb, 0, -aa)])
    faces = [(1, 0, 10), (0, 1, 9), (0, 9, 6), (9, 8, 6), (0, 7, 10),
             (6, 7, 0), (7, 6, 3), (6, 8, 3), (11, 10, 7), (7, 3, 11),
             (3, 2, 11), (2, 3, 8), (10, 11, 4), (2, 4, 11), (5, 4, 2),
             (2, 8, 5), (4, 1, 10), (4, 5, 1), (5, 9, 1), (8, 9, 5)]
    zones, scale = [], 0.0
    for f in faces:
        c = corners[list(f)]
        centre = c.sum(axis=0)
        centre /= np.linalg.norm(centre)
        ax0 = np.cross([0.0, 0.0, 1.0], centre)
        ax0 /= np.linalg.norm(ax0)
        ax1 = np.cross(centre, ax0)
        for v in c:
            mu0, mu1 = (v - centre) @ ax0, (v - centre) @ ax1
            h = 1 / math.sqrt(1 - mu0 * mu0 - mu1 * mu1)
            scale = max(scale, abs(mu0) * h, abs(mu1) * h)
        zones.append((centre, ax0, ax1))
    scale /= 2**31 - 1
    stars = []
    at = 32 + 4 * 20
    for z, n in enumerate(counts):
        centre, ax0, ax1 = zones[z]
        for _ in range(n):
            hip = int.from_bytes(b[at:at + 3], "little")
            x0, x1 = struct.unpack_from("<2i", b, at + 4)
            mag = b[at + 13]
            plx = struct.unpack_from("<i", b, at + 24)[0]
            p = centre + ax0 * x0 * scale + ax1 * x1 * scale
            p /= np.linalg.norm(p)
            stars.append({"hip": hip, "u": p,
                          "ra": math.degrees(math.atan2(p[1], p[0])) % 360.0,
                          "dec": math.degrees(math.asin(p[2])),
                          "mag": (mag_min + mag * mag_range / mag_steps) / 1000.0,
                          "plx": plx / 100.0})
            at += 28
    if at != len(b):
        sys.exit(f"{path}: {len(b) - at} bytes left over")
    return stars


def read_pm(path):
    pm = {}
    for line in open(path):
        if line.startswith("#") or not line.strip():
            continue
        f = line.split()
        pm[int(f[0])] = (float(f[1]), float(f[2]))
    return pm


def read_names(western, bayer):
    names = {}
    for line in open(western, encoding="utf-8"):
        line = line.strip()
        if not line or line.startswith("#") or "|" not in line:
            continue
        hip, rest = line.split("|", 1)
        if '_("' in rest:
            names.setdefault(int(hip), rest.split('_("')[1].split('")')[0])
    for line in open(bayer, encoding="utf-8"):
        if "|" not in line or line.startswith("#"):
            continue
        hip, rest = line.strip().split("|", 1)
        if int(hip) not in names and rest and rest[0] in GREEK:
            names[int(hip)] = GREEK[rest[0]] + " " + rest.split("_")[-1]
    return names


def packed(value, unit_digits):
    """Packed sexagesimal with `unit_digits` decimals of seconds, formed in
    integers so that 60 seconds or 60 minutes never appear."""
    sign = "-" if value < 0 else ""
    step = 10**unit_digits
    total = round(abs(value) * 3600 * step)
    whole, rest = divmod(total, 3600 * step)
    minutes, secs = divmod(rest, 60 * step)
    return "%s%d.%02d%0*d" % (sign, whole, minutes, unit_digits + 2, secs)


def main():
    ephem_path, stel_dir, western, out_path = sys.argv[1:5]
    src = open(ephem_path).read()
    db = src.split('db = """\\\n', 1)[1].split('"""', 1)[0]
    numbers = {}
    block = src.split("STAR_NUMBER_NAME = {", 1)[1].split("}", 1)[0]
    for item in block.split(","):
        if ":" in item:
            k, v = item.split(":")
            numbers[int(k)] = v.strip().strip('"')
    if sorted(numbers) != list(range(1, 58)):
        sys.exit("ephem: expected the 57 navigational stars")

    cat = read_stellarium(stel_dir + "/stars_0_0v0_8.cat")
    pms = read_pm(stel_dir + "/hip_pm.dat")
    names = read_names(western, stel_dir + "/name.fab")
    cat_u = np.array([s["u"] for s in cat])

    ephem = {}
    for line in db.splitlines():
        f = line.split(",")
        ra, pmra = f[2].split("|")
        dec, pmde = f[3].split("|")
        e = {"name": f[0], "ra": float(ra) * 15.0, "dec": float(dec),
             "pmra": float(pmra), "pmde": float(pmde)}
        u = unit(e["ra"], e["dec"])
        i = int(np.argmax(cat_u @ u))
        sep = math.degrees(math.acos(min(1.0, float(cat_u[i] @ u)))) * 3600
        if sep > MATCH_ARCSEC:
            sys.exit(f"ephem star {e['name']} has no Stellarium star within {MATCH_ARCSEC}\"")
        e["hip"] = cat[i]["hip"]
        e["sep"] = sep
        ephem[f[0]] = e
    by_hip = {}
    for e in ephem.values():
        by_hip.setdefault(e["hip"], e)

    def record(hip, name):
        s = next(s for s in cat if s["hip"] == hip)
        e = by_hip.get(hip)
        if e is not None:
            ra, dec, pmra, pmde = e["ra"], e["dec"], e["pmra"], e["pmde"]
        else:
            ra, dec = s["ra"], s["dec"]
            pmra, pmde = pms[hip]
        return {"hip": hip, "name": name, "ra": ra, "dec": dec, "pmra": pmra,
                "pmde": pmde, "plx": s["plx"], "mag": s["mag"]}

    chosen = []
    for k in range(1, 58):
        e = ephem[numbers[k]]
        chosen.append(record(e["hip"], ALMANAC_NAMES.get(e["name"], e["name"])))
    chosen.append(record(ephem["Polaris"]["hip"], "Polaris"))
    taken = {c["hip"] for c in chosen}

    # The next 41 brightest, one per HIP number, companions left out.
    order = sorted(range(len(cat)), key=lambda i: (cat[i]["mag"], cat[i]["hip"]))
    kept_u = [unit(c["ra"], c["dec"]) for c in chosen]
    extra = []
    for i in order:
        s = cat[i]
        if len(extra) == 41:
            break
        if s["hip"] in taken:
            continue
        if any(math.degrees(math.acos(min(1.0, float(s["u"] @ u)))) * 3600 < COMPANION_ARCSEC
               for u in kept_u):
            continue
        taken.add(s["hip"])
        kept_u.append(s["u"])
        e = by_hip.get(s["hip"])
        name = e["name"] if e else names.get(s["hip"], "HIP %d" % s["hip"])
        extra.append(record(s["hip"], name))
    extra.sort(key=lambda c: c["ra"])
    chosen += extra

    with open(out_path, "w") as out:
        out.write(" Star catalogue: 1-57 navigational stars of the nautical almanacs, "
                  "58 Polaris, 59-99 the next 41 brightest by right ascension\n")
        out.write(" Hipparcos: positions and proper motions from python3-ephem "
                  "(ephem/stars.py) or stellarium-data, parallaxes from stellarium-data\n")
        out.write(" RA, Dec: J2000.0, packed h.mmss and d.mmss; pmRA = mu_alpha*cos(dec) "
                  "and pmDec in mas/yr; RV km/s (not available: 0.00); parallax mas\n")
        out.write("\n")
        out.write(" N  Name               RA(h.mmss)       Dec(d.mmss)         pmRA"
                  "            pmDec      RV        Plx\n")
        out.write("\n")
        for n, c in enumerate(chosen, 1):
            name = c["name"]
            if len(name) > 15 or not name.isascii():
                sys.exit(f"name {name!r} is not ASCII of at most 15 characters")
            line = ("%2d %-15s  %15s    %14s     %10.2f         %10.2f    %8.2f   %9.2f"
                    % (n, name, packed(c["ra"] / 15.0, 5), packed(c["dec"], 4),
                       c["pmra"], c["pmde"], 0.0, c["plx"]))
            assert len(line) == 111, line
            out.write(line + "\n")
    for c in chosen[58:]:
        print("%-15s %6d mag %5.2f" % (c["name"], c["hip"], c["mag"]), file=sys.stderr)
    worst = max(e["sep"] for e in ephem.values())
    print(f"ephem stars matched to Stellarium within {worst:.2f}\"", file=sys.stderr)


if __name__ == "__main__":
    main()
