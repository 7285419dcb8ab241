// Calendar dates and Julian dates (Julian calendar up to 4 October 1582,
// Gregorian after), and the nautical time zone of a longitude.
#pragma once

namespace zembrel::astro {

// Julian date of a calendar date plus decimal hours (any value, even negative).
double julian_date(int year, int month, int day, double hours);

struct CalendarDate {
  int year;
  int month;
  int day;
  double hours;
};
CalendarDate gregorian_date(double jd);

struct SplitJulianDate {
  double jd0;    // Julian date of the preceding 0 h
  double hours;  // hours since then
};
SplitJulianDate split_julian_date(double jd);

// Time zone in whole hours, positive east; borders belong to the zone nearer
// Greenwich.
double huso(double longitude_degrees);

}  // namespace zembrel::astro
