// UTC to UT1, TT and TDB.  UT1 - UTC comes from the daily table in
// "delta_t.iers", Delta T = TT - UT1 from the table in "delta_t.dat", both in
// the working directory and consulted at every call.
#pragma once

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

}  // namespace zembrel::astro
