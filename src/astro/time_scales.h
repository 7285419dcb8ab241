// UTC to UT1, TT and TDB.  UT1 - UTC comes from the daily table in
// "delta_t.iers", Delta T = TT - UT1 from the table in "delta_t.dat", both in
// the working directory and consulted at every call.
#pragma once

#include <optional>
#include <string>

#include "astro/calendar.h"

namespace zembrel::astro {

struct TimeScales {
  double jd_ut1;
  double jd_tt;
  double jd_tdb;
};

// All Julian dates.  Beyond either end of a table the nearest value is used
// and a warning goes to the screen, except before the first entry of
// delta_t.iers, where UT1 - UTC is 0 (the time given is UT) and nothing is
// printed.  A missing, empty or oversized table stops the program with a
// run-time error naming the file.
TimeScales time_scales(double jd_utc);

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
