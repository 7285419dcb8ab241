// Packed sexagesimal values, angle reduction, vectors, rotations, Julian
// dates and time zones.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "astro/angles.h"
#include "astro/calendar.h"

namespace zembrel::astro {
namespace {

TEST(Sexagesimal, PackedToDecimal) {
  EXPECT_DOUBLE_EQ(ddmmss_to_degree_c(-0.30), -0.5);
  EXPECT_DOUBLE_EQ(ddmmss_to_degree_c(12.3000), 12.5);
  EXPECT_DOUBLE_EQ(ddmmss_to_degree_c(10.75), 11.25);  // minutes not validated
  EXPECT_NEAR(ddmmss_to_degree_c(12.34567), 12.0 + 34.0 / 60.0 + 56.7 / 3600.0, 1e-12);
  // Values that floating error leaves just below a whole minute or degree.
  EXPECT_NEAR(ddmmss_to_degree_c(0.59), 59.0 / 60.0, 1e-12);
  EXPECT_NEAR(ddmmss_to_degree_c(1.0159), 1.0 + 1.0 / 60.0 + 59.0 / 3600.0, 1e-12);
  EXPECT_NEAR(ddmmss_to_degree_c(0.0001), 1.0 / 3600.0, 1e-14);
  // The sign of a negative zero is kept.
  EXPECT_TRUE(std::signbit(ddmmss_to_degree_c(-0.0)));
}

TEST(Sexagesimal, DecimalToParts) {
  const Sexagesimal a = degree_to_ddmmss(-12.5);
  EXPECT_EQ(a.degrees, -12);
  EXPECT_EQ(a.minutes, 30);
  EXPECT_NEAR(a.seconds, 0.0, 1e-9);

  const Sexagesimal b = degree_to_ddmmss(-0.5);  // sign lost in a zero degree part
  EXPECT_EQ(b.degrees, 0);
  EXPECT_EQ(b.minutes, 30);

  const Sexagesimal c = degree_to_ddmmss(23.0 + 59.0 / 60.0 + 59.5 / 3600.0);
  EXPECT_EQ(c.degrees, 23);
  EXPECT_EQ(c.minutes, 59);
  EXPECT_NEAR(c.seconds, 59.5, 1e-9);
}

TEST(Sexagesimal, DecimalToPackedRoundTrip) {
  EXPECT_DOUBLE_EQ(degree_to_ddmmss_c(-0.5), -0.30);
  EXPECT_NEAR(degree_to_ddmmss_c(12.5), 12.30, 1e-13);
  for (double packed : {0.0, 0.0001, 5.3030, 12.34567, 89.5959, 179.0001, 359.4530}) {
    EXPECT_NEAR(degree_to_ddmmss_c(ddmmss_to_degree_c(packed)), packed, 1e-10) << packed;
    EXPECT_NEAR(degree_to_ddmmss_c(ddmmss_to_degree_c(-packed)), -packed, 1e-10) << packed;
  }
}

TEST(Sexagesimal, AbsurdInputsDoNotCrash) {
  // Outside the 32-bit range or not a number: any result, but no undefined
  // behaviour (the sanitizer build checks).
  for (double x : {1e300, -1e300, 3e9, std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity()}) {
    (void)ddmmss_to_degree_c(x);
    (void)degree_to_ddmmss(x);
    (void)degree_to_ddmmss_c(x);
  }
}

// Every minute and second typed as "d.mmss" (as the keyboard reads it, the
// nearest double) at the degrees and hours where a range ends, with either
// sign: 00 to 59 are sound however the double falls, 60 to 99 are not.
TEST(Sexagesimal, FaultsOfTypedValues) {
  const auto typed = [](const char* sign, int d, int m, int s) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%d.%02d%02d", sign, d, m, s);
    return std::strtod(text, nullptr);
  };
  for (const char* sign : {"", "-"}) {
    for (int d : {0, 1, 10, 23, 24, 40, 89, 90, 179, 180, 359, 360}) {
      for (int m = 0; m < 100; ++m) {
        for (int s = 0; s < 100; ++s) {
          const PackedFault want = m >= 60 ? PackedFault::minutes : s >= 60 ? PackedFault::seconds : PackedFault::none;
          ASSERT_EQ(packed_fault(typed(sign, d, m, s)), want) << sign << d << "." << m << "." << s;
        }
      }
    }
  }
  EXPECT_EQ(packed_fault(10.30), PackedFault::none);  // stored as 10.2999999999999998
  EXPECT_EQ(packed_fault(40.5959), PackedFault::none);
  EXPECT_EQ(packed_fault(12.34567), PackedFault::none);
  EXPECT_EQ(packed_fault(10.6), PackedFault::minutes);
  EXPECT_EQ(packed_fault(10.75), PackedFault::minutes);
  EXPECT_EQ(packed_fault(10.006), PackedFault::seconds);
  EXPECT_EQ(packed_fault(10.005999), PackedFault::none);  // 59.99 seconds
  EXPECT_EQ(packed_fault(-0.0), PackedFault::none);
  EXPECT_EQ(packed_fault(2147483646.5959), PackedFault::none);
  for (double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::infinity(), 1e300, -2147483648.0}) {
    EXPECT_EQ(packed_fault(v), PackedFault::unreadable) << v;
  }
}

TEST(Radians, ConversionsAndReduction) {
  EXPECT_DOUBLE_EQ(degree_to_radian(180.0), kPi);
  EXPECT_DOUBLE_EQ(radian_to_degree(kPi / 2.0), 90.0);
  EXPECT_DOUBLE_EQ(scale_angle(-kPi / 2.0), 3.0 * kPi / 2.0);
  EXPECT_EQ(scale_angle(kTwoPi), 0.0);
  EXPECT_EQ(scale_angle(-1e-17), kTwoPi);  // rounds to two pi, not zero
  EXPECT_EQ(scale_angle(0.0), 0.0);
  EXPECT_NEAR(scale_angle(7.0 * kPi), kPi, 1e-14);
  EXPECT_NEAR(scale_angle(-7.0 * kPi), kPi, 1e-14);
  EXPECT_NEAR(scale_angle(1000.5), 1000.5 - 159.0 * kTwoPi, 1e-12);
}

TEST(Vectors, Products) {
  const Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
  EXPECT_EQ(vector_product(x, y), z);
  EXPECT_EQ(vector_product(y, z), x);
  EXPECT_EQ(vector_product(z, x), y);
  const Vec3 a{1, 2, 3}, b{-4, 5, 0.5};
  const Vec3 c = vector_product(a, b);
  EXPECT_DOUBLE_EQ(scalar_product(c, a), 0.0);
  EXPECT_DOUBLE_EQ(scalar_product(c, b), 0.0);
  EXPECT_DOUBLE_EQ(scalar_product(a, b), -4 + 10 + 1.5);
  EXPECT_DOUBLE_EQ(vector_mod(Vec3{2, 3, 6}), 7.0);
}

TEST(Spherical, ModesAndAxes) {
  const Spherical s = cartesian_spherical(Vec3{0, -1, 0});
  EXPECT_DOUBLE_EQ(s.r, 1.0);
  EXPECT_DOUBLE_EQ(s.latitude, 0.0);
  EXPECT_DOUBLE_EQ(s.longitude, -kPi / 2.0);  // not 3 pi / 2

  const Spherical north = cartesian_spherical(Vec3{0, 0, 2});
  EXPECT_DOUBLE_EQ(north.latitude, kPi / 2.0);
  EXPECT_DOUBLE_EQ(cartesian_spherical(Vec3{0, 0, -1}).latitude, -kPi / 2.0);
  EXPECT_TRUE(std::isnan(cartesian_spherical(Vec3{0, 0, 0}).latitude));
  EXPECT_DOUBLE_EQ(cartesian_spherical(Vec3{-1, 0, 0}).longitude, kPi);

  const Spherical t{2.5, 0.3, -2.0};
  const Spherical back = cartesian_spherical(cartesian_spherical(t));
  EXPECT_NEAR(back.r, t.r, 1e-15);
  EXPECT_NEAR(back.latitude, t.latitude, 1e-15);
  EXPECT_NEAR(back.longitude, t.longitude, 1e-15);
}

TEST(Rotation, FrameRotationsAndComposition) {
  const double t = 0.7;
  const Vec3 w = rotation_3d(t, 0, 0, Vec3{1, 0, 0});
  EXPECT_DOUBLE_EQ(w[0], std::cos(t));
  EXPECT_DOUBLE_EQ(w[1], -std::sin(t));
  EXPECT_DOUBLE_EQ(w[2], 0.0);
  // R1: the new z axis tilts toward the old -y axis.
  const Vec3 u = rotation_3d(0, t, 0, Vec3{0, 0, 1});
  EXPECT_NEAR(u[1], std::sin(t), 1e-16);
  EXPECT_NEAR(u[2], std::cos(t), 1e-16);
  // Order: R3(a3) R1(a2) R3(a1) v.  R3(pi/2) sends the old x axis to -y and
  // R1(pi/2) the old -y axis to +z; applied the other way round, R1 leaves x
  // alone and R3 sends it to -y.
  const Vec3 v = rotation_3d(kPi / 2, kPi / 2, 0, Vec3{1, 0, 0});
  EXPECT_NEAR(v[0], 0.0, 1e-15);
  EXPECT_NEAR(v[1], 0.0, 1e-15);
  EXPECT_NEAR(v[2], 1.0, 1e-15);
  const Vec3 v2 = rotation_3d(0, kPi / 2, kPi / 2, Vec3{1, 0, 0});
  EXPECT_NEAR(v2[0], 0.0, 1e-15);
  EXPECT_NEAR(v2[1], -1.0, 1e-15);
  EXPECT_NEAR(v2[2], 0.0, 1e-15);
  // A rotation keeps lengths.
  const Vec3 a{0.3, -1.2, 2.0};
  EXPECT_NEAR(vector_mod(rotation_3d(0.4, -1.1, 2.9, a)), vector_mod(a), 1e-15);
}

TEST(JulianDate, ReferenceDates) {
  EXPECT_EQ(julian_date(2000, 1, 1, 12.0), 2451545.0);
  // Consecutive days across the calendar reform; the skipped days are read
  // in the Julian calendar.
  EXPECT_EQ(julian_date(1582, 10, 15, 0.0), 2299160.5);
  EXPECT_EQ(julian_date(1582, 10, 4, 0.0), 2299159.5);
  EXPECT_EQ(julian_date(1582, 10, 10, 0.0), 2299165.5);
  // Gregorian century years: erfa.cal2jd (ERFA 2.0.0, Debian python3-erfa).
  EXPECT_EQ(julian_date(1600, 3, 1, 0.0), 2305507.5);
  EXPECT_EQ(julian_date(1900, 2, 28, 0.0), 2415078.5);
  EXPECT_EQ(julian_date(1900, 3, 1, 0.0), 2415079.5);
  EXPECT_EQ(julian_date(2000, 2, 29, 0.0), 2451603.5);
  EXPECT_EQ(julian_date(2100, 3, 1, 0.0), 2488128.5);
  // Julian-calendar dates of published worked examples: 27 January 333 at
  // 12 h, and 4 October 1957 at 19.44 h.
  EXPECT_EQ(julian_date(333, 1, 27, 12.0), 1842713.0);
  EXPECT_NEAR(julian_date(1957, 10, 4, 19.44), 2436116.31, 1e-9);
  // Hours outside 0..24 move the instant.
  EXPECT_EQ(julian_date(2018, 3, 1, -2.0), julian_date(2018, 2, 28, 22.0));
  EXPECT_EQ(julian_date(2018, 2, 28, 48.0), julian_date(2018, 3, 2, 0.0));
}

TEST(JulianDate, AbsurdFieldsDoNotCrash) {
  for (int v : {INT_MAX, INT_MIN, 0, -1}) {
    (void)julian_date(v, v, v, 0.0);
    (void)julian_date(2000, v, 1, 0.0);
    (void)julian_date(v, 3, 1, 0.0);
  }
  for (double jd : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN(), 3e9, -3e9}) {
    (void)gregorian_date(jd);
    (void)split_julian_date(jd);
  }
}

// The month lengths of the date check are those of the Julian dates: the
// days from the 1st of a month to the 1st of the next, over 3000 years and
// both calendars.  October 1582 is the exception: its 5th to 14th are
// Julian-calendar dates, so it has 31 of them though the reform left 21.
TEST(JulianDate, MonthLengths) {
  for (int year = 1; year <= 3000; ++year) {
    for (int month = 1; month <= 12; ++month) {
      if (year == 1582 && month == 10) continue;
      const double next = month == 12 ? julian_date(year + 1, 1, 1, 0.0) : julian_date(year, month + 1, 1, 0.0);
      ASSERT_EQ(days_in_month(year, month), next - julian_date(year, month, 1, 0.0)) << year << "-" << month;
    }
  }
  EXPECT_EQ(days_in_month(1582, 10), 31);
  EXPECT_EQ(days_in_month(1500, 2), 29);  // Julian
  EXPECT_EQ(days_in_month(1700, 2), 28);  // Gregorian
  EXPECT_EQ(days_in_month(2000, 2), 29);
  EXPECT_EQ(days_in_month(0, 2), 29);
  EXPECT_EQ(days_in_month(-1, 2), 28);
  EXPECT_EQ(days_in_month(2024, 0), 0);
  EXPECT_EQ(days_in_month(2024, 13), 0);
}

TEST(GregorianDate, ReferenceDates) {
  CalendarDate d = gregorian_date(2451545.0);
  EXPECT_EQ(d.year, 2000);
  EXPECT_EQ(d.month, 1);
  EXPECT_EQ(d.day, 1);
  EXPECT_NEAR(d.hours, 12.0, 1e-6);

  d = gregorian_date(2299160.5);
  EXPECT_EQ(d.year, 1582);
  EXPECT_EQ(d.month, 10);
  EXPECT_EQ(d.day, 15);
  EXPECT_NEAR(d.hours, 0.0, 1e-6);

  d = gregorian_date(2299159.5);  // the day before: 4 October, Julian calendar
  EXPECT_EQ(d.year, 1582);
  EXPECT_EQ(d.month, 10);
  EXPECT_EQ(d.day, 4);

  d = gregorian_date(2451603.5);  // erfa.jd2cal: 2000-02-29
  EXPECT_EQ(d.month, 2);
  EXPECT_EQ(d.day, 29);

  // A fraction of a millisecond before midnight reads as the next day with
  // slightly negative hours.
  d = gregorian_date(2451545.5 - 1e-9);
  EXPECT_EQ(d.day, 2);
  EXPECT_LT(d.hours, 0.0);
  EXPECT_GT(d.hours, -1e-6);
}

TEST(GregorianDate, InvertsJulianDateOverCenturies) {
  // Every 7.3 days from year 100 to 2400, at an odd time of day.
  for (double jd = 1757583.5 + 0.3; jd < 2597641.5; jd += 7.3) {
    const CalendarDate d = gregorian_date(jd);
    ASSERT_GE(d.month, 1);
    ASSERT_LE(d.month, 12);
    ASSERT_GE(d.day, 1);
    ASSERT_LE(d.day, 31);
    ASSERT_NEAR(julian_date(d.year, d.month, d.day, d.hours), jd, 1e-8) << jd;
  }
}

TEST(SplitJulianDate, PrecedingMidnight) {
  SplitJulianDate s = split_julian_date(2451545.25);
  EXPECT_EQ(s.jd0, 2451544.5);
  EXPECT_DOUBLE_EQ(s.hours, 18.0);
  s = split_julian_date(2451544.5);
  EXPECT_EQ(s.jd0, 2451544.5);
  EXPECT_EQ(s.hours, 0.0);
  s = split_julian_date(2451545.4999);
  EXPECT_EQ(s.jd0, 2451544.5);
  EXPECT_NEAR(s.hours, 23.9976, 1e-6);
}

TEST(Huso, ZoneBorders) {
  EXPECT_EQ(huso(0.0), 0.0);
  EXPECT_EQ(huso(7.5), 0.0);
  EXPECT_EQ(huso(-7.5), 0.0);
  EXPECT_EQ(huso(7.50001), 1.0);
  EXPECT_EQ(huso(22.5), 1.0);
  EXPECT_EQ(huso(-22.6), -2.0);
  EXPECT_EQ(huso(180.0), 12.0);
  EXPECT_EQ(huso(-180.0), -12.0);
  EXPECT_EQ(huso(-3.7), 0.0);
  EXPECT_EQ(huso(139.7), 9.0);
}

}  // namespace
}  // namespace zembrel::astro
