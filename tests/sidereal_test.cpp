// Greenwich mean sidereal time and local mean and apparent sidereal time.
#include "astro/sidereal.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"
#include "fixtures/scratch_dir.h"

namespace zembrel::astro {
namespace {

using zembrel::testing::ScratchDirectory;

double hours_to_rad(double h) { return h * 15.0 * kPi / 180.0; }

// Difference of two angles in radians, brought into (-pi, pi].
double angle_diff(double a, double b) { return std::remainder(a - b, kTwoPi); }

TEST(GreenwichMeanSidereal, AgreesWithErfaGmst82AtZeroHours) {
  // erfa.gmst82(jd, 0) in radians (ERFA 2.0.0, Debian python3-erfa), 0 h UT1
  // dates from 1960-01-01 to 2049-12-31.  The routine returns a packed
  // hh.mmss value; unpacking costs a few units of 1e-15 h, far below 1e-11 rad.
  constexpr struct {
    double jd, gmst;
  } kRefs[] = {
      {2436934.5, 1.7393922583949575}, {2442613.5, 5.1862666344874739},
      {2446895.5, 3.4503971635086899}, {2451544.5, 1.744767163330613},
      {2456108.5, 4.8600853822901513}, {2460369.5, 2.7629578680648876},
      {2469806.5, 1.7428874453058967},
  };
  for (const auto& r : kRefs) {
    const double packed = greenwich_mean_sideral(r.jd);
    EXPECT_GE(packed, 0.0);
    EXPECT_LT(packed, 24.0);
    EXPECT_NEAR(angle_diff(hours_to_rad(ddmmss_to_degree_c(packed)), r.gmst), 0.0, 1e-11) << r.jd;
  }
  // 1 January 2000, 0 h: 6 h 39 min 52.27 s.
  EXPECT_NEAR(greenwich_mean_sideral(2451544.5), 6.395227, 5e-7);
  // 10 April 1987, 0 h: 13 h 10 min 46.3668 s (published worked example).
  EXPECT_NEAR(greenwich_mean_sideral(2446895.5), 13.10463668, 1e-8);
}

class LocalSiderealTest : public ::testing::Test {
 protected:
  LocalSiderealTest() { ScratchDirectory::copy_fixture("nutation_IAU1980.dat"); }
  ScratchDirectory dir_;
};

TEST_F(LocalSiderealTest, AgreesWithErfaAtArbitraryInstants) {
  // erfa.gmst82(jd, 0) and the equation of the equinoxes
  // erfa.nut80(jd, 0)[0] * cos(erfa.obl80(jd, 0)), radians.  The program
  // advances the 0 h value with the fixed ratio 1.00273790935, which lacks
  // the 1982 ratio's 7.95e-13 and 5.9e-11 T: up to 2e-10 rad within a day
  // in this range.
  constexpr struct {
    double jd, gmst, eqeq;
  } kRefs[] = {
      {2436934.8000000, 3.6295086868723558, 1.4157369680639723e-06},
      {2446895.8333333, 5.5505263195622447, -1.6980705937081618e-05},
      {2451545.0000000, 4.8949612128230591, -6.1932311036112789e-05},
      {2456108.6250000, 5.6476338946690561, 6.9758853567480455e-05},
      {2460370.4000000, 2.1501218494655348, -1.9973630281222752e-05},
      {2469807.0000000, 4.8930814948909997, 6.7544515936707137e-05},
  };
  for (const auto& r : kRefs) {
    const SiderealTime st = ut_to_st(0.0, r.jd);
    EXPECT_NEAR(angle_diff(hours_to_rad(st.local_mean_st), r.gmst), 0.0, 2.5e-10) << r.jd;
    EXPECT_NEAR(hours_to_rad(st.local_apparent_st - st.local_mean_st), r.eqeq, 1e-13) << r.jd;
  }
  // 1 January 2000, 12 h UT1: 18 h 41 min 50.55 s.
  EXPECT_NEAR(ut_to_st(0.0, 2451545.0).local_mean_st, 18.69737, 5e-6);
}

TEST_F(LocalSiderealTest, LongitudeShiftsTheLocalTime) {
  const double jd = 2456108.625;
  const SiderealTime g = ut_to_st(0.0, jd);
  const SiderealTime east = ut_to_st(15.0, jd);
  const SiderealTime west = ut_to_st(-52.5, jd);
  EXPECT_NEAR(east.local_mean_st, std::fmod(g.local_mean_st + 1.0, 24.0), 1e-12);
  EXPECT_NEAR(west.local_mean_st, std::fmod(g.local_mean_st - 3.5 + 24.0, 24.0), 1e-12);
  EXPECT_NEAR(east.local_apparent_st - east.local_mean_st,
              g.local_apparent_st - g.local_mean_st, 1e-15);
}

TEST_F(LocalSiderealTest, ApparentTimeIsNotReducedAgain) {
  // Choose the longitude that puts LMST just below 24 h on a date with a
  // positive equation of the equinoxes (+0.96 s on 2012-06-30).
  const double jd = 2456108.625;
  const SiderealTime g = ut_to_st(0.0, jd);
  const double lon = (23.99995 - g.local_mean_st) * 15.0;
  const SiderealTime st = ut_to_st(lon, jd);
  EXPECT_LT(st.local_mean_st, 24.0);
  EXPECT_NEAR(st.local_mean_st, 23.99995, 1e-9);
  EXPECT_GT(st.local_apparent_st, 24.0);
}

}  // namespace
}  // namespace zembrel::astro
