#!/usr/bin/python3
"""Write the 106 terms of the IAU 1980 nutation series, taken from the table
in ERFA's nut80.c (Debian source package erfa), in fixed columns
(5i3,8x,2f10.1,1x,f9.1,f10.1), in the published order:
  multipliers of l, l', F, D, Omega; the term number (in the 8 ignored
  columns); A, A' (sine coefficient of the nutation in longitude and its rate
  per Julian century); B, B' (cosine coefficient of the nutation in obliquity
  and its rate), in units of 0.0001 arcsecond.
Usage: make_nutation.py path/to/nut80.c output
"""
import re
import sys

ROW = re.compile(r"\{\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),"
                 r"\s*(-?[\d.]+),\s*(-?[\d.]+),\s*(-?[\d.]+),\s*(-?[\d.]+)\s*\}")


def main():
    src = open(sys.argv[1]).read()
    table = src[src.index("} x[] = {"):]
    table = table[:table.index("};")]
    rows = ROW.findall(table)
    if len(rows) != 106:
        sys.exit(f"expected 106 terms in {sys.argv[1]}, found {len(rows)}")
    with open(sys.argv[2], "w") as out:
        for k, r in enumerate(rows, 1):
            ints = [int(x) for x in r[:5]]
            a, at, b, bt = (float(x) for x in r[5:])
            for v in (a, at, b, bt):
                if round(v, 1) != v:
                    sys.exit(f"term {k}: {v} has more than one decimal")
            line = ("%3d%3d%3d%3d%3d" % tuple(ints) + "%8d" % k
                    + "%10.1f%10.1f" % (a, at) + " " + "%9.1f%10.1f" % (b, bt))
            assert len(line) == 63
            out.write(line + "\n")


if __name__ == "__main__":
    main()
