#!/usr/bin/python3
"""Convert JPL's ASCII distribution of a DE ephemeris into the program's
direct-access ephemeris file.

Input: JPL's header file (header.NNN) and any number of its coefficient files
(ascpYYYY.NNN), in any order; consecutive files repeat one boundary record,
which is kept once.  Works for any DE series and span (DE405, DE430, DE430t,
...).

Output: fixed-length records of 982 little-endian IEEE doubles (7856 bytes),
no record markers.
  record 1   value 1   body count N (columns of JPL's pointer table)
             values 2-9: DE number, AU (km), EMRAT, first JD, last JD,
             days per record, JPL's NCOEFF, number of data records
             (informational; the reader only takes value 1); rest zero
  record 2   coef_offset(1..N), coef_count(1..N), subinterval_count(1..N),
             span start JD, span end JD, days per record; rest zero
  record k+2 data record k: JPL's record (start JD, end JD, coefficients)
             cut to its first L = 2 + sum(count*components*subintervals)
             values, zero padded to 982.
A record holds at most 982 values.  When JPL's record is longer, the blocks
are kept in pointer-table order for as long as they fit; the bodies whose
block does not fit get coef_count 0 (their offsets are left as JPL wrote them).
For DE405 (1018 values) that leaves out the lunar librations (L = 898).
"""
import argparse
import struct
import sys

RECORD_VALUES = 982
# Components per quantity, JPL's numbering 1..15.
COMPONENTS = [3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 2, 3, 3, 1]
NAMES = ["Mercury", "Venus", "Earth-Moon barycentre", "Mars", "Jupiter",
         "Saturn", "Uranus", "Neptune", "Pluto", "Moon (geocentric)", "Sun",
         "nutations", "lunar librations", "lunar mantle angular velocity",
         "TT-TDB"]


def fnum(text):
    return float(text.replace("D", "E").replace("d", "e"))


def read_header(path):
    with open(path) as f:
        lines = f.read().splitlines()
    first = lines[0].split()
    hdr = {}
    for i, tok in enumerate(first):
        if tok.startswith("KSIZE="):
            hdr["ksize"] = int(tok[6:] or first[i + 1])
        if tok.startswith("NCOEFF="):
            hdr["ncoeff"] = int(tok[7:] or first[i + 1])
    groups = {}
    current = None
    for line in lines[1:]:
        parts = line.split()
        if len(parts) == 2 and parts[0] == "GROUP":
            current = int(parts[1])
            groups[current] = []
        elif current is not None and parts:
            groups[current].append(line)
    g1030 = " ".join(groups[1030]).split()
    hdr["start"], hdr["end"], hdr["days"] = (fnum(x) for x in g1030[:3])
    names = " ".join(groups[1040]).split()
    nconst = int(names[0])
    names = names[1:1 + nconst]
    values = [fnum(x) for x in " ".join(groups[1041]).split()[1:1 + nconst]]
    if len(names) != nconst or len(values) != nconst:
        sys.exit("header: constant names and values do not match")
    hdr["constants"] = dict(zip(names, values))
    ptr = [int(x) for x in " ".join(groups[1050]).split()]
    if len(ptr) % 3:
        sys.exit("header: pointer table is not three rows")
    n = len(ptr) // 3
    if n > 15:
        sys.exit("header: more than 15 bodies")
    hdr["offset"], hdr["count"], hdr["subint"] = ptr[:n], ptr[n:2 * n], ptr[2 * n:]
    return hdr


def read_records(path, ncoeff):
    """Yield JPL's data records (lists of ncoeff doubles) of one ASCII file."""
    with open(path) as f:
        it = iter(f)
        for line in it:
            parts = line.split()
            if not parts:
                continue
            if len(parts) != 2:
                sys.exit(f"{path}: expected a record header, got {line!r}")
            if int(parts[1]) != ncoeff:
                sys.exit(f"{path}: record length {parts[1]} != NCOEFF {ncoeff}")
            values = []
            while len(values) < ncoeff:
                values.extend(fnum(x) for x in next(it).split())
            yield values[:ncoeff]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--header", required=True, help="JPL header.NNN")
    ap.add_argument("--out", required=True, help="output file")
    ap.add_argument("--start", type=float, help="first JD wanted (default: all)")
    ap.add_argument("--end", type=float, help="last JD wanted (default: all)")
    ap.add_argument("ascii", nargs="+", help="JPL ascpYYYY.NNN files")
    a = ap.parse_args()

    hdr = read_header(a.header)
    ncoeff = hdr["ncoeff"]
    days = hdr["days"]
    records = {}
    for path in a.ascii:
        for rec in read_records(path, ncoeff):
            if rec[1] - rec[0] != days:
                sys.exit(f"{path}: record {rec[0]} does not span {days} days")
            if a.start is not None and rec[1] <= a.start:
                continue
            if a.end is not None and rec[0] >= a.end:
                continue
            old = records.get(rec[0])
            if old is not None and old != rec:
                sys.exit(f"{path}: two different records start at JD {rec[0]}")
            records[rec[0]] = rec
    if not records:
        sys.exit("no data records in the span asked for")
    starts = sorted(records)
    for s0, s1 in zip(starts, starts[1:]):
        if records[s0][1] != s1:
            sys.exit(f"gap in the data: a record ends at {records[s0][1]}, the next starts at {s1}")

    # Keep the coefficient blocks, in pointer-table order, that fit in a record.
    n = len(hdr["offset"])
    count = list(hdr["count"])
    blocks = sorted((hdr["offset"][i], i) for i in range(n) if count[i] > 0)
    next_free = 3
    fitted = True
    for off, i in blocks:
        size = count[i] * COMPONENTS[i] * hdr["subint"][i]
        if fitted and off == next_free and off + size - 1 <= RECORD_VALUES:
            next_free = off + size
        else:
            fitted = False
            print(f"left out: body {i + 1} ({NAMES[i]}), {size} values",
                  file=sys.stderr)
            count[i] = 0
    length = 2
    for i in range(n):
        length += count[i] * COMPONENTS[i] * hdr["subint"][i]
    assert length == next_free - 1 <= RECORD_VALUES

    span_start = records[starts[0]][0]
    span_end = records[starts[-1]][1]
    c = hdr["constants"]
    rec1 = [float(n), c.get("DENUM", 0.0), c.get("AU", 0.0), c.get("EMRAT", 0.0),
            span_start, span_end, days, float(ncoeff), float(len(starts))]
    rec2 = ([float(x) for x in hdr["offset"]] + [float(x) for x in count]
            + [float(x) for x in hdr["subint"]] + [span_start, span_end, days])
    fmt = "<%dd" % RECORD_VALUES
    pad = lambda v: v + [0.0] * (RECORD_VALUES - len(v))
    with open(a.out, "wb") as out:
        out.write(struct.pack(fmt, *pad(rec1)))
        out.write(struct.pack(fmt, *pad(rec2)))
        for s in starts:
            out.write(struct.pack(fmt, *pad(records[s][:length])))
    print(f"{a.out}: DE{int(c.get('DENUM', 0))}, {n} bodies, L = {length}, "
          f"{len(starts)} records, JD {span_start} to {span_end}", file=sys.stderr)


if __name__ == "__main__":
    main()
