// Tests of the ephemeris file reader: the Chebyshev evaluator, the choice of
// record and sub-interval, the status codes and the component slots, on small
// files written for the purpose, and a few checks on the shipped file.
#include "ephem/jpl_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "../tests/fixtures/ephem/synthetic_ephemeris.h"
#include "../tests/fixtures/stops.h"

namespace {

using zembrel::ephem::chebyshevf;
using zembrel::ephem::coord;
using zembrel::astro::kAuKm;
using zembrel::testing::ScratchDirectory;
using zembrel::testing::StopsWith;
using zembrel::testing::SyntheticFile;

constexpr double kPi = 3.141592653589793;

// Chebyshev polynomials in their trigonometric form, independent of the
// recurrence in the reader: T_j(x) = cos(j acos x), T_j'(x) = j sin(j t)/sin t.
double cheb_value(const std::vector<double>& c, double x) {
  const double t = std::acos(x);
  double v = 0.0;
  for (std::size_t j = 0; j < c.size(); ++j) v += c[j] * std::cos(j * t);
  return v;
}
double cheb_slope(const std::vector<double>& c, double x) {
  const double t = std::acos(x);
  double v = 0.0;
  for (std::size_t j = 1; j < c.size(); ++j) v += c[j] * j * std::sin(j * t) / std::sin(t);
  return v;
}

TEST(Chebyshev, TwoCoefficientsGiveAStraightLine) {
  const double c[2] = {3.5, -1.25};
  // x = (2t - t1 - t0) / (t1 - t0) = (2*13 - 18 - 10) / 8 = -0.25
  const auto r = chebyshevf(10.0, 18.0, c, 2, 13.0);
  EXPECT_EQ(r.status, 0);
  EXPECT_DOUBLE_EQ(r.value, 3.5 + (-1.25) * -0.25);
  EXPECT_DOUBLE_EQ(r.rate, 2.0 * -1.25 / 8.0);
}

TEST(Chebyshev, MiddleOfIntervalGivesAlternatingSums) {
  // At x = 0: T_j(0) = 1, 0, -1, 0, 1, ... and T_j'(0) = 0, 1, 0, -3, 0, 5, ...
  const double c[7] = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0};
  const auto r = chebyshevf(100.0, 104.0, c, 7, 102.0);
  EXPECT_EQ(r.status, 0);
  EXPECT_DOUBLE_EQ(r.value, 1.0 - 3.0 + 5.0 - 7.0);
  EXPECT_DOUBLE_EQ(r.rate, (2.0 - 3.0 * 4.0 + 5.0 * 6.0) * 2.0 / 4.0);
}

TEST(Chebyshev, AgreesWithTrigonometricFormAcrossTheInterval) {
  std::vector<double> c;
  for (int j = 0; j < 14; ++j) c.push_back(std::sin(1.0 + j) * std::pow(0.6, j) * 1e5);
  const double t0 = 2451536.5, t1 = 2451540.5;
  for (double x : {-0.999, -0.7, -0.123, 0.05, 0.5, 0.9, 0.999}) {
    const double t = 0.5 * (t0 + t1) + 0.5 * x * (t1 - t0);
    const double xr = (2.0 * t - t1 - t0) / (t1 - t0);  // x as the reader forms it
    const auto r = chebyshevf(t0, t1, c.data(), 14, t);
    ASSERT_EQ(r.status, 0);
    EXPECT_NEAR(r.value, cheb_value(c, xr), 1e-9) << "x=" << x;
    EXPECT_NEAR(r.rate, cheb_slope(c, xr) * 2.0 / (t1 - t0), 1e-8) << "x=" << x;
  }
  // Both ends: T_j(1) = 1 and T_j(-1) = (-1)^j.
  double plus = 0.0, minus = 0.0;
  for (int j = 0; j < 14; ++j) {
    plus += c[j];
    minus += (j % 2 ? -1.0 : 1.0) * c[j];
  }
  EXPECT_NEAR(chebyshevf(t0, t1, c.data(), 14, t1).value, plus, 1e-9);
  EXPECT_NEAR(chebyshevf(t0, t1, c.data(), 14, t0).value, minus, 1e-9);
}

TEST(Chebyshev, StatusCodes) {
  std::vector<double> c(51, 1.0);
  EXPECT_EQ(chebyshevf(0.0, 1.0, c.data(), 5, 1.0000001).status, 1);
  EXPECT_EQ(chebyshevf(0.0, 1.0, c.data(), 5, -1e-9).status, 1);
  // The instant is checked before the count.
  EXPECT_EQ(chebyshevf(0.0, 1.0, c.data(), 1, 2.0).status, 1);
  EXPECT_EQ(chebyshevf(0.0, 1.0, c.data(), 1, 0.5).status, 2);
  EXPECT_EQ(chebyshevf(0.0, 1.0, c.data(), 51, 0.5).status, 2);
  const auto failed = chebyshevf(0.0, 1.0, c.data(), 0, 0.5);
  EXPECT_EQ(failed.value, 0.0);
  EXPECT_EQ(failed.rate, 0.0);
  EXPECT_EQ(chebyshevf(0.0, 1.0, c.data(), 50, 0.5).status, 0);
  EXPECT_EQ(chebyshevf(0.0, 1.0, c.data(), 2, 0.0).status, 0);
  EXPECT_EQ(chebyshevf(0.0, 1.0, c.data(), 2, 1.0).status, 0);
}

// A three-record file whose leading coefficients encode where they sit:
// coefficient 1 = 1000 k + 100 s + 10 c + body (times one AU in km for the
// bodies given in km), coefficient 2 = c, coefficient 3 = 0.5, others 0.
class CoordFile : public ::testing::Test {
 protected:
  static double marker(int k, int body, int s, int c) { return 1000 * k + 100 * s + 10 * c + body; }
  static double unit(int body) { return body <= 11 ? kAuKm : 1.0; }

  void SetUp() override {
    file.bodies[3] = {4, 2.0};    // Earth-Moon barycentre: 2 sub-intervals of 16 days
    file.bodies[10] = {5, 8.0};   // Moon: 8 of 4 days
    file.bodies[11] = {3, 1.0};   // Sun
    file.bodies[12] = {3, 4.0};   // nutation
    file.bodies[13] = {2, 1.0};   // librations
    file.bodies[15] = {2, 1.0};   // TT - TDB
    file.coef = [](int k, int body, int s, int c, int j) {
      const double u = unit(body);
      if (j == 1) return marker(k, body, s, c) * u;
      if (j == 2) return c * u;
      if (j == 3) return 0.5 * u;
      return 0.0;
    };
    file.write(zembrel::ephem::kEphemerisFile);
  }

  // The series of the coefficients above at normalised time x.
  static double expected(int k, int body, int s, int c, double x) {
    return marker(k, body, s, c) + c * x + 0.5 * (2 * x * x - 1);
  }

  ScratchDirectory dir;
  SyntheticFile file;
};

TEST_F(CoordFile, StartOfSpanIsFirstRecordFirstSubinterval) {
  const auto r = coord(file.start, 10);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.count, 6);
  for (int c = 1; c <= 3; ++c) EXPECT_NEAR(r.state[c - 1], expected(1, 10, 0, c, -1.0), 1e-9);
  // Rate: (c + 0.5 * 4x) * 2 / 4 days at x = -1, in AU per day.
  EXPECT_NEAR(r.state[3], (1.0 - 2.0) * 0.5, 1e-12);
}

TEST_F(CoordFile, EndOfSpanAndOutsideAreRefused) {
  for (double jd : {file.end(), file.end() + 1.0, file.start - 1e-6, file.start - 400.0,
                    std::numeric_limits<double>::quiet_NaN()}) {
    const auto r = coord(jd, 11);
    EXPECT_EQ(r.status, 1) << jd;
    EXPECT_EQ(r.count, 6);
    for (double v : r.state) EXPECT_EQ(v, 0.0);
  }
  EXPECT_EQ(coord(file.end() - 1e-6, 11).status, 0);
}

TEST_F(CoordFile, RecordBoundaryGoesToTheLaterRecord) {
  const double boundary = file.start + 32.0;
  const auto r = coord(boundary, 3);
  ASSERT_EQ(r.status, 0);
  EXPECT_NEAR(r.state[1], expected(2, 3, 0, 2, -1.0), 1e-9);
  // Just after the boundary and well before it.
  EXPECT_NEAR(coord(boundary + 1e-3, 3).state[0], expected(2, 3, 0, 1, -1.0 + 2e-3 / 16.0), 1e-9);
  EXPECT_NEAR(coord(boundary - 1e-3, 3).state[0], expected(1, 3, 1, 1, 1.0 - 2e-3 / 16.0), 1e-9);
}

TEST_F(CoordFile, SubintervalBoundaryGoesToTheLaterSubinterval) {
  // Moon: 4-day sub-intervals; day 12 of record 2 starts sub-interval 3.
  const auto r = coord(file.start + 32.0 + 12.0, 10);
  ASSERT_EQ(r.status, 0);
  EXPECT_NEAR(r.state[2], expected(2, 10, 3, 3, -1.0), 1e-9);
  const auto mid = coord(file.start + 32.0 + 14.0, 10);
  EXPECT_NEAR(mid.state[2], expected(2, 10, 3, 3, 0.0), 1e-9);
}

TEST_F(CoordFile, InstantJustBeforeABoundaryIsStillEvaluated) {
  // The 1e-9 allowance of the record choice puts these instants in the later
  // record; they must still be answered (close to the start of its series).
  const double boundary = file.start + 64.0;
  double jd = boundary;
  for (int i = 0; i < 5; ++i) {
    jd = std::nextafter(jd, 0.0);
    const auto r = coord(jd, 10);
    ASSERT_EQ(r.status, 0) << i;
    EXPECT_NEAR(r.state[0], expected(3, 10, 0, 1, -1.0), 1e-6);
  }
  jd = file.start + 16.0;  // sub-interval boundary of body 3
  for (int i = 0; i < 5; ++i) {
    jd = std::nextafter(jd, 0.0);
    EXPECT_EQ(coord(jd, 3).status, 0) << i;
  }
  // Further before a record boundary: the record's allowance (1e-9 of 32
  // days) still moves the instant on, the sub-interval's (1e-9 of 16 days)
  // no longer covers it.
  for (double before : {2e-8, 3e-8}) {
    const auto r = coord(boundary - before, 3);
    ASSERT_EQ(r.status, 0) << before;
    EXPECT_NEAR(r.state[0], expected(3, 3, 0, 1, -1.0), 1e-6);
  }
}

TEST_F(CoordFile, ComponentSlotsAndCounts) {
  const double jd = file.start + 5.0;
  const auto nut = coord(jd, 12);  // 2 components, 8-day sub-intervals: x = 0.25
  ASSERT_EQ(nut.status, 0);
  EXPECT_EQ(nut.count, 2);
  EXPECT_NEAR(nut.state[0], expected(1, 12, 0, 1, 0.25), 1e-12);
  EXPECT_NEAR(nut.state[1], expected(1, 12, 0, 2, 0.25), 1e-12);
  EXPECT_NEAR(nut.state[3], (1.0 + 2.0 * 0.25) * 2.0 / 8.0, 1e-12);
  EXPECT_NEAR(nut.state[4], (2.0 + 2.0 * 0.25) * 2.0 / 8.0, 1e-12);
  EXPECT_EQ(nut.state[2], 0.0);
  EXPECT_EQ(nut.state[5], 0.0);

  const auto tdb = coord(jd, 15);  // 1 component, no value 2 coefficient beyond j=2
  ASSERT_EQ(tdb.status, 0);
  EXPECT_EQ(tdb.count, 1);
  // Only two coefficients: marker + x, x = (5 - 16) / 16.
  EXPECT_NEAR(tdb.state[0], marker(1, 15, 0, 1) + (5.0 - 16.0) / 16.0, 1e-12);
  EXPECT_NEAR(tdb.state[3], 2.0 / 32.0, 1e-15);
  for (int i : {1, 2, 4, 5}) EXPECT_EQ(tdb.state[i], 0.0);

  // Kilometres become astronomical units for bodies up to 11.
  const auto sun = coord(jd, 11);
  EXPECT_EQ(sun.count, 6);
  EXPECT_NEAR(sun.state[2], expected(1, 11, 0, 3, (5.0 - 16.0) / 16.0), 1e-9);
}

TEST_F(CoordFile, LibrationsAreReducedToOneTurn) {
  // Marker 1113 + 10c + x radians for record 1: reduced into [0, 2 pi).
  const auto r = coord(file.start + 8.0, 13);  // x = -0.5
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.count, 3);
  for (int c = 1; c <= 3; ++c) {
    const double raw = marker(1, 13, 0, c) + c * -0.5;
    EXPECT_NEAR(r.state[c - 1], raw - std::floor(raw / (2 * kPi)) * 2 * kPi, 1e-9);
    EXPECT_GE(r.state[c - 1], 0.0);
    EXPECT_LT(r.state[c - 1], 2 * kPi);
  }
  EXPECT_NEAR(r.state[3], 1.0 / 16.0, 1e-15);  // rates are not reduced
}

TEST_F(CoordFile, BodiesWithoutCoefficientsOrBeyondTheFile) {
  const double jd = file.start + 1.0;
  const auto mars = coord(jd, 4);
  EXPECT_EQ(mars.status, 3);
  EXPECT_EQ(mars.count, 6);
  const auto mantle = coord(jd, 14);
  EXPECT_EQ(mantle.status, 3);
  EXPECT_EQ(mantle.count, 3);
  for (double v : mantle.state) EXPECT_EQ(v, 0.0);
  // Numbers outside 1..15 are bodies beyond the file.
  EXPECT_EQ(coord(jd, 16).status, 2);
  EXPECT_EQ(coord(jd, 0).status, 2);
  EXPECT_EQ(coord(jd, -3).status, 2);
  // The instant is checked before the body.
  EXPECT_EQ(coord(file.end() + 1.0, 16).status, 1);
}

TEST(CoordSmallFile, BodyBeyondTheBodyCount) {
  ScratchDirectory dir;
  SyntheticFile file;
  file.body_count = 12;
  file.bodies[11] = {2, 1.0};
  file.bodies[12] = {2, 1.0};
  file.write(zembrel::ephem::kEphemerisFile);
  const auto r = coord(file.start + 1.0, 15);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.count, 1);  // set before any check
  EXPECT_EQ(coord(file.start + 1.0, 13).status, 2);
  EXPECT_EQ(coord(file.start + 1.0, 12).status, 0);
}

TEST(CoordSmallFile, TooManyCoefficientsIsStatusTwo) {
  ScratchDirectory dir;
  SyntheticFile file;
  file.body_count = 11;
  file.bodies[11] = {60, 1.0};
  file.coef = [](int, int, int, int, int) { return 1.0; };
  file.write(zembrel::ephem::kEphemerisFile);
  const auto r = coord(file.start + 1.0, 11);
  EXPECT_EQ(r.status, 2);
  for (double v : r.state) EXPECT_EQ(v, 0.0);
}

TEST(CoordSmallFile, ReplacedFileTakesEffectAtTheNextCall) {
  ScratchDirectory dir;
  SyntheticFile file;
  file.body_count = 11;
  file.bodies[11] = {2, 1.0};
  file.coef = [](int, int, int, int, int j) { return j == 1 ? 7.0 * kAuKm : 0.0; };
  file.write(zembrel::ephem::kEphemerisFile);
  EXPECT_NEAR(coord(file.start + 1.0, 11).state[0], 7.0, 1e-12);
  EXPECT_NEAR(coord(file.start + 40.0, 11).state[0], 7.0, 1e-12);

  file.coef = [](int, int, int, int, int j) { return j == 1 ? 9.0 * kAuKm : 0.0; };
  file.write("replacement");
  std::filesystem::rename("replacement", zembrel::ephem::kEphemerisFile);
  EXPECT_NEAR(coord(file.start + 1.0, 11).state[0], 9.0, 1e-12);

  // Rewritten in place with a shorter span.
  file.records = 1;
  file.write(zembrel::ephem::kEphemerisFile);
  EXPECT_EQ(coord(file.start + 40.0, 11).status, 1);
}

TEST(Coord, MissingFileStopsNamingIt) {
  ScratchDirectory dir;
  EXPECT_TRUE(StopsWith([] { coord(2451545.0, 11); }, "JPL_1550-2650_430t"));
}

TEST(Coord, MalformedFilesStopWithTheRuntimeError) {
  ScratchDirectory dir;
  SyntheticFile file;
  file.body_count = 11;
  file.bodies[11] = {2, 1.0};
  file.data_records_written = 1;  // records 2 and 3 missing
  file.write(zembrel::ephem::kEphemerisFile);
  EXPECT_EQ(coord(file.start + 1.0, 11).status, 0);
  EXPECT_TRUE(StopsWith([&] { coord(file.start + 40.0, 11); }, "JPL_1550-2650_430t"));

  SyntheticFile bad;
  bad.body_count = 11;
  bad.bodies[11] = {2, 1.0};
  bad.header_overrides = {{10, 2000.0}};  // Sun's block pointer beyond the record
  bad.write(zembrel::ephem::kEphemerisFile);
  EXPECT_TRUE(StopsWith([&] { coord(file.start + 1.0, 11); }, "header"));

  std::FILE* f = std::fopen(zembrel::ephem::kEphemerisFile, "wb");
  const double n = 40.0;  // more bodies than the header can hold
  std::fwrite(&n, sizeof n, 1, f);
  std::fclose(f);
  EXPECT_TRUE(StopsWith([&] { coord(file.start + 1.0, 11); }, "JPL_1550-2650_430t"));
}

// The shipped file (DE440 coefficients of bodies 1-11, 1849-12-26 to
// 2150-01-22).
class ShippedFile : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!dir.link_data({zembrel::ephem::kEphemerisFile})) GTEST_SKIP() << "no data file";
  }
  ScratchDirectory dir;
};

TEST_F(ShippedFile, BodiesAndStatus) {
  const double jd = 2451545.0;
  // Nutations, librations, lunar mantle and TT - TDB are not in the file.
  for (int body = 12; body <= 15; ++body)
    EXPECT_EQ(coord(jd, body).status, 3) << body;  // not in the file
  EXPECT_EQ(coord(jd, 16).status, 2);
  const auto moon = coord(jd, 10);
  ASSERT_EQ(moon.status, 0);
  const double r = std::hypot(moon.state[0], moon.state[1], moon.state[2]);
  EXPECT_GT(r, 356000.0 / kAuKm);
  EXPECT_LT(r, 407000.0 / kAuKm);
  // An instant met in a day search, 1.9e-8 days before a record boundary.
  EXPECT_EQ(coord(2455472.4999999809, 3).status, 0);
  EXPECT_EQ(coord(1900000.0, 3).status, 1);
  EXPECT_EQ(coord(2900000.0, 3).status, 1);
}

TEST_F(ShippedFile, RatesMatchTheChangeOfPosition) {
  // Central differences over +-0.01 day against the series' own derivative,
  // for instants spread over the file, including record boundaries.
  for (double jd : {2396752.5 + 0.02, 2415020.5, 2440400.5, 2451545.0, 2455197.5 + 0.3,
                    2460000.25, 2488000.5, 2506352.5 - 0.02}) {
    for (int body : {3, 10, 11, 5}) {
      const auto a = coord(jd - 0.01, body), b = coord(jd + 0.01, body), c = coord(jd, body);
      if (c.status != 0) continue;  // outside the file's span
      for (int i = 0; i < 3; ++i) {
        const double numeric = (b.state[i] - a.state[i]) / 0.02;
        EXPECT_NEAR(c.state[i + 3], numeric, 1e-7) << jd << " body " << body;
      }
    }
  }
}

}  // namespace
