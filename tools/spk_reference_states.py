#!/usr/bin/python3
"""Reference states from an SPK kernel through Debian's python3-jplephem, for
tools/ephemeris_crosscheck.cpp.

Writes one line per state, "jd body x y z vx vy vz" (TDB Julian date, JPL
body number, AU and AU/day with 17 significant digits), for every body the
program uses: 2 Venus, 3 Earth-Moon barycentre, 4 Mars, 5 Jupiter, 6 Saturn,
11 Sun (all from the solar-system barycentre) and 10 the Moon from the
Earth's centre (301 minus 399).  The instants: COUNT drawn uniformly over the
kernel's span by a seeded generator (the same every run), and the span's
first instant, every 32-day record boundary of the 1st, 2nd, ... 3400th
record that a step of 97 records reaches, sub-interval boundaries of the
Moon, and the last microsecond of the span.

Usage: spk_reference_states.py KERNEL OUT [COUNT]
"""
import sys

import numpy as np
from jplephem.spk import SPK

AU_KM = 149597870.7
SEED = 440


def main():
    kernel, out_path = sys.argv[1:3]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 2500
    k = SPK.open(kernel)
    start, end = k[0, 3].start_jd, k[0, 3].end_jd
    rng = np.random.default_rng(SEED)
    instants = list(start + (end - start) * rng.random(count))
    instants += [start, end - 1e-6]
    instants += [start + 32.0 * r for r in range(1, int((end - start) / 32), 97)]
    instants += [start + 4.0 * r for r in range(1, int((end - start) / 4), 2741)]
    instants.sort()

    def state(segment, jd):
        # The instant as a whole day plus its fraction (both exact), so that
        # jplephem forms the time in seconds without rounding it.
        whole = np.floor(jd - 0.5) + 0.5
        p, v = segment.compute_and_differentiate(whole, jd - whole)
        return np.concatenate([p, v])

    with open(out_path, "w") as out:
        for jd in instants:
            for body in (2, 3, 4, 5, 6, 10, 11):
                if body == 10:
                    s = state(k[3, 301], jd) - state(k[3, 399], jd)
                else:
                    s = state(k[0, 10 if body == 11 else body], jd)
                out.write("%r %d %s\n" % (float(jd), body,
                                          " ".join("%.17g" % (x / AU_KM) for x in s)))
    print(f"{out_path}: {len(instants)} instants, JD {start} to {end}", file=sys.stderr)


if __name__ == "__main__":
    main()
