#!/usr/bin/python3
"""Convert a JPL planetary SPK kernel (type-2 segments, such as de440s.bsp)
into the program's direct-access ephemeris file.

The kernel is a DAF (double precision array file) of 1024-byte records:
  file record     "DAF/SPK ", ND and NI (2 and 6 for an SPK), the internal
                  file name, the first and last summary records (FWARD,
                  BWARD), the first free address, the number format
                  ("LTL-IEEE" or "BIG-IEEE"), and a string of characters that
                  an ASCII-mode transfer would have damaged;
  comment area    the records between the file record and FWARD, text with
                  NUL line ends and an EOT at the end;
  summary records three doubles NEXT, PREV, NSUM, then NSUM summaries of
                  ND doubles and NI 32-bit integers (ND + (NI + 1) / 2
                  doubles each): start and end in TDB seconds from J2000,
                  target, centre, frame, SPK type, first and last address
                  (1-based, in doubles) of the segment; each summary record
                  is followed by its name record;
  type-2 segment  N records of RSIZE doubles, then INIT, INTLEN, RSIZE, N.
                  Record i covers INIT + (i - 1) INTLEN to INIT + i INTLEN
                  seconds and holds MID, RADIUS (seconds) and the Chebyshev
                  coefficients of x, y and z ((RSIZE - 2) / 3 each, km).

Output: fixed-length records of 982 little-endian IEEE doubles (7856 bytes),
no record markers, as for JPL's own distribution (tools/jpl_ascii_to_direct.py):
  record 1   value 1 body count N = 15 (JPL's quantities); values 2-9: DE
             number, AU (km), EMRAT (the constants DENUM, AU, EMRAT quoted in
             the kernel's comment area), first JD, last JD, days per record,
             values per data record L, number of data records; rest zero
  record 2   coef_offset(1..15), coef_count(1..15), subinterval_count(1..15),
             span start JD, span end JD, days per record; rest zero
  record k+2 data record k: start JD, end JD, then the coefficient blocks of
             bodies 1-11 in JPL's order (for each sub-interval, the
             coefficients of x, then y, then z), kilometres; zero padded.
Bodies 1-9 are the barycentres 1-9 and body 11 the Sun (10), all relative to
the solar-system barycentre; body 10, the Moon from the Earth's centre, is
the Moon (301) minus the Earth (399), both relative to the Earth-Moon
barycentre, subtracted coefficient by coefficient.  The kernel has no
nutations, librations, lunar mantle or TT-TDB: bodies 12-15 get
coef_count 0.

The conversion stops with a message when the kernel is not what it must be:
a body missing, a segment that is not type 2 in the J2000 frame, a 32-day
record that a body's intervals do not divide exactly, Moon and Earth
segments with different intervals or degrees, or Mercury and Venus not at
their barycentres (segments 199 and 299 must be zero).

Usage: spk_to_direct.py KERNEL OUT
"""
import struct
import sys

RECORD_VALUES = 982
DAYS = 32.0
J2000 = 2451545.0
DAY_S = 86400.0
BODIES = 15
# Components per quantity, JPL's numbering 1..15.
COMPONENTS = [3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 2, 3, 3, 1]
# JPL body -> (target, centre) of the kernel's segment; body 10 is built.
SEGMENTS = {1: (1, 0), 2: (2, 0), 3: (3, 0), 4: (4, 0), 5: (5, 0), 6: (6, 0),
            7: (7, 0), 8: (8, 0), 9: (9, 0), 11: (10, 0)}
MOON, EARTH = (301, 3), (399, 3)
FTP_CHECK = b"FTPSTR:\r:\n:\r\n:\r\x00:\x81:\x10\xce:ENDFTP"


def fail(message):
    sys.exit("spk_to_direct: " + message)


class Daf:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if len(d) < 1024 or d[:8] != b"DAF/SPK ":
            fail(f"{path} is not an SPK file (identification word {d[:8]!r})")
        fmt = d[88:96]
        if fmt == b"LTL-IEEE":
            self.end = "<"
        elif fmt == b"BIG-IEEE":
            self.end = ">"
        else:
            fail(f"{path}: unknown number format {fmt!r}")
        self.nd, self.ni = struct.unpack_from(self.end + "2i", d, 8)
        self.fward, self.bward, self.free = struct.unpack_from(self.end + "3i", d, 76)
        if (self.nd, self.ni) != (2, 6):
            fail(f"{path}: ND, NI = {self.nd}, {self.ni}, not an SPK's 2, 6")
        if FTP_CHECK not in d[:1024]:
            fail(f"{path}: the file record's transfer check string is damaged")
        if len(d) % 1024:
            fail(f"{path}: size {len(d)} is not a whole number of 1024-byte records")

    def doubles(self, first, last):
        """Doubles at addresses first..last (1-based, inclusive)."""
        if first < 1 or last * 8 > len(self.data) or last < first - 1:
            fail(f"addresses {first}..{last} lie outside the file")
        return struct.unpack_from(self.end + "%dd" % (last - first + 1), self.data,
                                  (first - 1) * 8)

    def comments(self):
        text = self.data[1024:(self.fward - 1) * 1024]
        eot = text.find(b"\x04")
        if eot >= 0:
            text = text[:eot]
        return text.replace(b"\x00", b"\n").decode("latin-1")

    def summaries(self):
        size = self.nd + (self.ni + 1) // 2
        record = self.fward
        seen = set()
        while record:
            if record in seen:
                fail("the summary records form a loop")
            seen.add(record)
            at = (record - 1) * 1024
            nxt, _prev, nsum = struct.unpack_from(self.end + "3d", self.data, at)
            for i in range(int(nsum)):
                base = at + 24 + i * size * 8
                start, stop = struct.unpack_from(self.end + "2d", self.data, base)
                ints = struct.unpack_from(self.end + "%di" % self.ni, self.data, base + 16)
                yield start, stop, ints
            record = int(nxt)


class Segment:
    """A type-2 segment: its records and the trailer INIT, INTLEN, RSIZE, N."""

    def __init__(self, daf, summary):
        start, stop, (target, centre, frame, kind, first, last) = summary
        self.name = f"{target} from {centre}"
        if kind != 2:
            fail(f"segment {self.name}: SPK type {kind}, not 2")
        if frame != 1:
            fail(f"segment {self.name}: frame {frame}, not J2000 (1)")
        self.start, self.stop = start, stop
        init, intlen, rsize, n = daf.doubles(last - 3, last)
        self.init, self.intlen = init, intlen
        self.rsize, self.n = int(rsize), int(n)
        if (self.rsize, self.n) != (rsize, n) or (self.rsize - 2) % 3 or self.rsize < 8:
            fail(f"segment {self.name}: bad trailer RSIZE {rsize}, N {n}")
        if last - first + 1 != self.rsize * self.n + 4:
            fail(f"segment {self.name}: {last - first + 1} doubles for {self.n} records "
                 f"of {self.rsize}")
        self.coefficients = (self.rsize - 2) // 3
        self.values = daf.doubles(first, last - 4)

    def end(self):
        return self.init + self.n * self.intlen

    def record(self, i):
        """MID, RADIUS and the coefficients of record i (0-based)."""
        r = self.values[i * self.rsize:(i + 1) * self.rsize]
        mid, radius = r[0], r[1]
        expected = self.init + (i + 0.5) * self.intlen
        if mid != expected or radius != self.intlen / 2:
            fail(f"segment {self.name}: record {i + 1} has MID {mid}, RADIUS {radius}; "
                 f"expected {expected}, {self.intlen / 2}")
        return r[2:]

    def subintervals(self):
        """Intervals per 32-day record; stops unless they divide it exactly."""
        per = DAYS * DAY_S / self.intlen
        if per != int(per) or per < 1:
            fail(f"segment {self.name}: {DAYS:.0f} days is not a whole number of "
                 f"its {self.intlen} s intervals")
        return int(per)


def seconds(jd):
    return (jd - J2000) * DAY_S


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.split("\n\n")[-1].strip())
    kernel, out_path = sys.argv[1:3]
    daf = Daf(kernel)

    found = {}
    for s in daf.summaries():
        key = (s[2][0], s[2][1])
        if key in found:
            fail(f"two segments for {key[0]} from {key[1]}")
        found[key] = s

    def segment(key):
        if key not in found:
            fail(f"the kernel has no segment for {key[0]} from {key[1]}")
        return Segment(daf, found[key])

    segments = {b: segment(k) for b, k in SEGMENTS.items()}
    moon, earth = segment(MOON), segment(EARTH)
    if (moon.init, moon.intlen, moon.rsize, moon.n) != (earth.init, earth.intlen, earth.rsize,
                                                         earth.n):
        fail(f"segments {moon.name} and {earth.name} differ in their intervals or degree")
    # Mercury and Venus are their barycentres: those segments must be zero.
    for key in ((199, 1), (299, 2)):
        if key in found and any(v != 0.0 for v in _coefficients(segment(key))):
            fail(f"segment {key[0]} from {key[1]} is not zero: body {key[1]} would not "
                 f"be the planet itself")

    # The span: where every body has data, on the 32-day grid of the first.
    used = list(segments.values()) + [moon, earth]
    start_s = max(max(s.init, s.start) for s in used)
    end_s = min(min(s.end(), s.stop) for s in used)
    start_jd = J2000 + start_s / DAY_S
    records = int((end_s - start_s) / (DAYS * DAY_S))
    if records < 1:
        fail("the segments have no 32-day record in common")
    end_jd = start_jd + DAYS * records
    for s in used:
        if (start_s - s.init) % s.intlen:
            fail(f"segment {s.name}: JD {start_jd} is not on its interval grid")

    # Pointer table: bodies 1-11 one after the other from value 3.
    offset = [0] * BODIES
    count = [0] * BODIES
    subint = [0] * BODIES
    layout = []
    nxt = 3
    for body in range(1, 12):
        seg = moon if body == 10 else segments[body]
        i = body - 1
        offset[i], count[i], subint[i] = nxt, seg.coefficients, seg.subintervals()
        nxt += count[i] * COMPONENTS[i] * subint[i]
        layout.append((body, seg))
    length = nxt - 1
    if length > RECORD_VALUES:
        fail(f"{length} values per record, more than {RECORD_VALUES}")

    constants = {}
    for line in daf.comments().splitlines():
        f = line.split()
        if len(f) == 2 and f[0] in ("DENUM", "AU", "EMRAT"):
            constants[f[0]] = float(f[1].replace("D", "E"))
    for name in ("DENUM", "AU", "EMRAT"):
        if name not in constants:
            fail(f"the kernel's comment area does not give {name}")

    pad = lambda v: v + [0.0] * (RECORD_VALUES - len(v))
    fmt = "<%dd" % RECORD_VALUES
    rec1 = [float(BODIES), constants["DENUM"], constants["AU"], constants["EMRAT"],
            start_jd, end_jd, DAYS, float(length), float(records)]
    rec2 = ([float(x) for x in offset] + [float(x) for x in count]
            + [float(x) for x in subint] + [start_jd, end_jd, DAYS])
    with open(out_path, "wb") as out:
        out.write(struct.pack(fmt, *pad(rec1)))
        out.write(struct.pack(fmt, *pad(rec2)))
        for k in range(records):
            t0 = start_jd + DAYS * k
            values = [t0, t0 + DAYS]
            for body, seg in layout:
                first = int((seconds(t0) - seg.init) / seg.intlen)
                for s in range(subint[body - 1]):
                    if body == 10:
                        m, e = moon.record(first + s), earth.record(first + s)
                        values.extend(a - b for a, b in zip(m, e))
                    else:
                        values.extend(seg.record(first + s))
            assert len(values) == length
            out.write(struct.pack(fmt, *pad(values)))
    print(f"{out_path}: DE{constants['DENUM']:.0f}, bodies 1-11, L = {length}, {records} "
          f"records, JD {start_jd} to {end_jd}", file=sys.stderr)


def _coefficients(seg):
    """Every coefficient of a segment (the MID and RADIUS of each record left out)."""
    for i in range(seg.n):
        yield from seg.values[i * seg.rsize + 2:(i + 1) * seg.rsize]


if __name__ == "__main__":
    main()
