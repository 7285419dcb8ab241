#!/usr/bin/python3
"""Check the converted ephemeris file against JPL's test points (testpo.NNN,
distributed by JPL beside the ASCII files).  Prints the largest difference
over all points inside the file's span; exits 1 if it exceeds the tolerance.

Usage: jpl_check_testpo.py FILE testpo.NNN [tolerance]
Values are compared in JPL's units: AU as given in the header (record 1,
value 3) and AU/day; radians for nutations.
"""
import struct
import sys

import numpy as np

RECORD_BYTES = 7856
COMPONENTS = [3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 2, 3, 3, 1]


class Ephemeris:
    def __init__(self, path):
        self.data = open(path, "rb").read()
        r1 = struct.unpack_from("<9d", self.data, 0)
        self.n = int(r1[0] + 1e-9)
        self.au, self.emrat = r1[2], r1[3]
        n = self.n
        h = struct.unpack_from("<%dd" % (3 * n + 3), self.data, RECORD_BYTES)
        self.offset = [int(x + 1e-9) for x in h[:n]]
        self.count = [int(x + 1e-9) for x in h[n:2 * n]]
        self.subint = [int(x + 1e-9) for x in h[2 * n:3 * n]]
        self.start, self.end, self.days = h[3 * n:]

    def raw(self, jd, body):
        """Position and rate of one quantity, in the file's units (km)."""
        i = body - 1
        k = int((jd - self.start) / self.days + 1e-9)
        rec = struct.unpack_from("<982d", self.data, (k + 2) * RECORD_BYTES)
        m, n, ns = COMPONENTS[i], self.count[i], self.subint[i]
        d = (rec[1] - rec[0]) / ns
        s = int((jd - rec[0]) / d + 1e-9)
        ta = rec[0] + s * d
        x = (2 * jd - 2 * ta - d) / d
        p = np.zeros(n); v = np.zeros(n)
        p[0], p[1], v[1] = 1.0, x, 1.0
        for j in range(2, n):
            p[j] = 2 * x * p[j - 1] - p[j - 2]
            v[j] = 2 * p[j - 1] + 2 * x * v[j - 1] - v[j - 2]
        pos = np.zeros(m); vel = np.zeros(m)
        for c in range(m):
            base = self.offset[i] - 1 + c * n + s * m * n
            coef = np.array(rec[base:base + n])
            pos[c] = coef @ p
            vel[c] = coef @ v * 2 / d
        return np.concatenate([pos, vel])

    def state(self, jd, t):
        """JPL test-point numbering: 1-9 planets, 10 Moon, 11 Sun, 12 SSB,
        13 EMB, 14 nutations.  Barycentric, AU and AU/day."""
        if t == 12:
            return np.zeros(6)
        if t == 13:
            return self.raw(jd, 3) / self.au
        if t in (3, 10):
            emb = self.raw(jd, 3)
            moon = self.raw(jd, 10)
            earth = emb - moon / (1 + self.emrat)
            return (earth if t == 3 else earth + moon) / self.au
        return self.raw(jd, t) / self.au


def main():
    eph = Ephemeris(sys.argv[1])
    tol = float(sys.argv[3]) if len(sys.argv) > 3 else 1e-12
    worst = 0.0
    npts = 0
    started = False
    for line in open(sys.argv[2]):
        if line.startswith("EOT"):
            started = True
            continue
        if not started:
            continue
        f = line.split()
        jd, t, c, x, ref = float(f[2]), int(f[3]), int(f[4]), int(f[5]), float(f[6])
        # Librations and later quantities are not checked, nor the
        # nutations of a file that holds none.
        if not eph.start <= jd < eph.end or t >= 15 or (t == 14 and eph.count[11] == 0):
            continue
        if t == 14:
            val = eph.raw(jd, 12)[x - 1]
        elif t == 10 and c == 3:
            val = eph.raw(jd, 10)[x - 1] / eph.au
        elif t == 3 and c == 10:
            val = -eph.raw(jd, 10)[x - 1] / eph.au
        else:
            val = (eph.state(jd, t) - eph.state(jd, c))[x - 1]
        err = abs(val - ref)
        worst = max(worst, err)
        npts += 1
    print(f"{npts} test points inside JD {eph.start} to {eph.end}: "
          f"largest difference {worst:.3e}")
    sys.exit(0 if worst <= tol else 1)


if __name__ == "__main__":
    main()
