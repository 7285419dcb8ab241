#include "astro/calendar.h"

#include <cmath>

#include "astro/angles.h"

namespace zembrel::astro {

double julian_date(int year, int month, int day, double hours) {
  // Whole numbers held in doubles (exact here), so that no field typed by the
  // user can overflow the integer arithmetic.
  double y = year, m = month;
  if (month <= 2) {
    y = y - 1.0;
    m = m + 12.0;
  }
  double j = static_cast<double>(day) + to_int(30.6001 * (m + 1.0)) + to_int(365.25 * y);
  // The calendar is chosen on the date as typed.
  if (year + month / 100.0 + day / 10000.0 > 1582.10145) {
    const int a = to_int(y / 100.0);
    j = j + 2.0 - a + to_int(a / 4.0);
  }
  return hours / 24.0 + j + 1720994.5;
}

int days_in_month(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month != 2) return kDays[month - 1];
  const bool leap = year > 1582 ? year % 4 == 0 && (year % 100 != 0 || year % 400 == 0) : year % 4 == 0;
  return leap ? 29 : 28;
}

CalendarDate gregorian_date(double jd) {
  const double a = jd + 0.5;
  const int z = whole(a);
  const double f = a - z;
  long long aa = z;
  if (z >= 2299161) {
    const int alpha = whole((z - 1867216.25) / 36524.25);
    aa = static_cast<long long>(z) + alpha - whole(alpha / 4.0) + 1;
  }
  const long long b = aa + 1524;
  const int k = whole((b - 122.1) / 365.25);
  const int dd = whole(365.25 * k);
  const int e = whole((b - dd) / 30.6001);
  const double d = static_cast<double>(b - dd - whole(30.6001 * e)) + f;
  const int month = e < 13.5 ? e - 1 : e - 13;
  const int year = month > 2.5 ? k - 4716 : k - 4715;
  const int day = whole(d);
  return {year, month, day, (d - day) * 24.0};
}

SplitJulianDate split_julian_date(double jd) {
  const double jd0 = whole(jd + 0.5) - 0.5;
  return {jd0, (jd - jd0) * 24.0};
}

double huso(double longitude_degrees) {
  const double a = std::fabs(longitude_degrees);
  if (a <= 7.5) return 0.0;
  const double zone = std::ceil((a - 7.5) / 15.0);
  return longitude_degrees < 0 ? -zone : zone;
}

}  // namespace zembrel::astro
