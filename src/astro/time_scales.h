// UTC to UT1, TT and TDB.  UT1 - UTC comes from the daily table in
// "delta_t.iers", Delta T = TT - UT1 from the table in "delta_t.dat"; both
// files are found as io/data_path.h says and kept parsed as io/file_cache.h
// describes, so a table replaced between two answers takes effect at the
// next one.
#pragma once

namespace zembrel::astro {

// Where an instant falls against the entries of a table.
enum class TableRange { inside, before, after };

// A value taken from a table, seconds, and where the instant fell: outside
// the table the value is that of the nearest entry (the utilities warn).
struct TableValue {
  double seconds = 0.0;
  TableRange range = TableRange::inside;
};

struct TimeScales {
  double jd_ut1 = 0.0;
  double jd_tt = 0.0;
  double jd_tdb = 0.0;
  TableValue ut1_utc;  // UT1 - UTC from "delta_t.iers"
  TableValue delta_t;  // TT - UT1 from "delta_t.dat"
};

// All Julian dates; both tables are looked up with the UTC instant.  A
// missing, empty, damaged or oversized table throws io::RuntimeError naming
// the file.
TimeScales time_scales(double jd_utc);

// TDB from TT (Julian dates), by the two-term series of astro/constants.h
// (Explanatory Supplement to the Astronomical Almanac, 1992, eq. 2.222-1).
double tt_to_tdb(double jd_tt);

// Largest number of entries a table may hold.
inline constexpr int kMaxTableEntries = 100000;

}  // namespace zembrel::astro
