// UTC to UT1, TT and TDB.  UT1 - UTC comes from the daily table in
// "delta_t.iers", Delta T = TT - UT1 from the table in "delta_t.dat"; both
// files are found as io/data_path.h says and kept parsed as io/file_cache.h
// describes, so a table replaced between two answers takes effect at the
// next one.
#pragma once

#include <optional>
#include <string>

#include "astro/calendar.h"

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

// All Julian dates; both tables are looked up with the UTC instant.  Before
// the first entry of "delta_t.iers" (1962) the time given is taken as UT:
// ut1_utc is 0 with range `before`, and the utilities do not warn.  A
// missing, empty, damaged or oversized table throws io::RuntimeError naming
// the file.
TimeScales time_scales(double jd_utc);

// TDB from TT (Julian dates), by the two-term series of astro/constants.h
// (Explanatory Supplement to the Astronomical Almanac, 1992, eq. 2.222-1).
double tt_to_tdb(double jd_tt);

// Largest number of entries a table may hold.
inline constexpr int kMaxTableEntries = 100000;

// The two tables' file names.
inline constexpr const char* kUt1TableFile = "delta_t.iers";
inline constexpr const char* kDeltaTTableFile = "delta_t.dat";

// What a time table covers: its first and last entries' dates (hours 0) and
// the first date its values are predictions, when the file says so (the
// UT1 - UTC table in its header, "PREDICTIONS FROM yyyy-mm-dd"; the Delta T
// table by its last value, the source flag, 4 for a predicted entry).
struct TableSpan {
  std::string problem;  // why the table could not be read; empty when it was
  int entries = 0;
  CalendarDate first{};
  CalendarDate last{};
  std::optional<CalendarDate> predicted_from;
};

// The span of the UT1 - UTC or the Delta T table at `path`, read as
// time_scales reads it.  Never stops the program: a file that cannot be read
// comes back with `problem`.
TableSpan ut1_table_span(const std::string& path);
TableSpan delta_t_table_span(const std::string& path);

}  // namespace zembrel::astro
