#!/usr/bin/python3
"""Cross-check the converted ephemeris file against Debian's casacore table of
DE405 (package casacore-data-jpl-de405), an independent conversion of the same
JPL data.  Every data record must agree bit for bit.

The table's column file table.f0i holds, after a 16-byte file header, one row
per 32-day record: a 12-byte row header (shape, ending in the value count
1018), the record's 1016 coefficients without its two dates followed by two
zeros, and 4 bytes of filler before the next row.  Row r starts at
JD 2436912.5 + 32 r (the table's MJD0 keyword lies one interval earlier).
"""
import struct
import sys

RECORD_BYTES = 7856
FILE_HEADER = 16
ROW_HEADER = bytes.fromhex("0100000001000000fa030000")
ROW_VALUES = 1018
ROW_STRIDE = 12 + 8 * ROW_VALUES + 4
FIRST_JD = 2436912.5
DAYS = 32.0


def main():
    ours, table = sys.argv[1], sys.argv[2]
    data = open(ours, "rb").read()
    col = open(table, "rb").read()
    nrows = (len(col) - FILE_HEADER + 4) // ROW_STRIDE
    n = int(struct.unpack_from("<d", data, 0)[0] + 1e-9)
    hdr = struct.unpack_from("<%dd" % (3 * n + 3), data, RECORD_BYTES)
    length = 2 + sum(int(hdr[n + i] + 1e-9) * (2 if i == 11 else 1 if i == 14 else 3)
                     * int(hdr[2 * n + i] + 1e-9) for i in range(n))
    nrec = len(data) // RECORD_BYTES - 2
    if nrec != nrows:
        sys.exit(f"record count differs: {nrec} in {ours}, {nrows} rows in the table")
    for r in range(nrows):
        at = FILE_HEADER + r * ROW_STRIDE
        if col[at:at + 12] != ROW_HEADER:
            sys.exit(f"unexpected row header in row {r}")
        row = col[at + 12:at + 12 + 8 * (length - 2)]
        rec = data[(r + 2) * RECORD_BYTES:(r + 3) * RECORD_BYTES]
        t0, t1 = struct.unpack_from("<2d", rec, 0)
        if (t0, t1) != (FIRST_JD + DAYS * r, FIRST_JD + DAYS * (r + 1)):
            sys.exit(f"record {r + 1}: dates {t0} {t1} differ from row {r}")
        if rec[16:8 * length] != row:
            sys.exit(f"record {r + 1}: coefficients differ from table row {r}")
    print(f"{ours}: all {nrows} data records ({length - 2} coefficients each) "
          f"bit-identical to {table}")


if __name__ == "__main__":
    main()
