// Calendar dates and Julian dates (Julian calendar up to 4 October 1582,
// Gregorian after), and the nautical time zone of a longitude.
#pragma once

namespace zembrel::astro {

// Julian date of a calendar date plus decimal hours (any value, even negative).
double julian_date(int year, int month, int day, double hours);

// Days in a month as julian_date counts them: February has 29 in every
// fourth year up to 1582 (the Julian calendar; year 0 and the negative years
// of astronomical numbering included) and in the Gregorian leap years after.
// October 1582 keeps its 31 days, 5 to 14 October being read as Julian-
// calendar dates.  0 for a month outside 1 to 12.
int days_in_month(int year, int month);

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
