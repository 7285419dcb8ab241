// Dead reckoning against GeographicLib 2.1 (Debian geographiclib-tools) on a
// sphere on which one nautical mile is one minute of arc (radius
// 1852 m x 60 x 180 / pi = 6366707.019493707 m, flattening 0):
//   RhumbSolve -e 6366707.019493707 0 -p 12   (lat lon course metres)
//   GeodSolve  -e 6366707.019493707 0 -p 12   (the same, great circle)
// Mid-latitude sailing keeps the rhumb line's latitude exactly and its
// longitude to a few thousandths of a mile over these runs; near the poles
// the great circle is taken.
#include "reduction/dead_reckoning.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zembrel::reduction {
namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;

struct Case {
  double lat, lon, course, run;  // degrees, degrees, degrees, miles
  double lat2, lon2;             // GeographicLib
};

TEST(DeadReckoning, MidLatitudeSailingFollowsTheRhumbLine) {
  const Case rhumb[] = {
      {40.0, -3.7, 45.0, 100.0, 41.178511301977572, -2.148020892790633},
      {-33.4, -70.6, 250.0, 200.0, -34.540067144418877, -74.377034008968081},
      {60.0, 10.0, 100.0, 60.0, 59.826351822333066, 11.964466889628603},
      {10.0, -20.0, 135.0, 30.0, 9.646446609406725, -19.641185371751160},
      // Eastward across 180 degrees: the longitude is not reduced
      // (GeographicLib gives -179.766666666666652).
      {0.0, 179.9, 90.0, 20.0, 0.0, 180.233333333333348},
  };
  for (const Case& c : rhumb) {
    const GeoPosition p = dead_reckoning({c.lat, c.lon}, c.course * kDeg, c.run);
    EXPECT_NEAR(p.latitude, c.lat2, 1e-9) << c.lat;
    // East-west difference in miles.
    EXPECT_NEAR((p.longitude - c.lon2) * 60.0 * std::cos(c.lat2 * kDeg), 0.0, 0.01) << c.lat;
  }
  // No run, no change; a run backwards retraces the course.
  GeoPosition p = dead_reckoning({45.0, -30.0}, 1.0, 0.0);
  EXPECT_EQ(p.latitude, 45.0);
  EXPECT_EQ(p.longitude, -30.0);
  p = dead_reckoning({41.178511301977572, -2.148020892790633}, 45.0 * kDeg, -100.0);
  EXPECT_NEAR(p.latitude, 40.0, 1e-9);
  EXPECT_NEAR(p.longitude, -3.7, 0.01 / 60.0);
}

TEST(DeadReckoning, NearThePolesTheGreatCircle) {
  const Case great_circle[] = {
      {89.5, 10.0, 90.0, 20.0, 89.399077134268666, 43.690701519232441},
      {-89.8, -100.0, 250.0, 40.0, -89.372913499665174, 167.438881766539680 - 360.0},
      {88.95, 0.0, 10.0, 6.0, 89.048322355988731, 1.045554915469933},
  };
  for (const Case& c : great_circle) {
    const GeoPosition p = dead_reckoning({c.lat, c.lon}, c.course * kDeg, c.run);
    EXPECT_NEAR(p.latitude, c.lat2, 1e-9) << c.lat;
    EXPECT_NEAR(std::remainder(p.longitude - c.lon2, 360.0), 0.0, 1e-9) << c.lat;
  }
  // Over the pole: 6 miles to it, 14 beyond, down the opposite meridian; and
  // from the pole itself.
  GeoPosition p = dead_reckoning({89.9, 20.0}, 0.0, 20.0);
  EXPECT_NEAR(p.latitude, 90.0 - 14.0 / 60.0, 1e-9);
  EXPECT_NEAR(std::remainder(p.longitude - 200.0, 360.0), 0.0, 1e-9);
  p = dead_reckoning({90.0, 0.0}, 180.0 * kDeg, 30.0);
  EXPECT_NEAR(p.latitude, 89.5, 1e-9);
}

}  // namespace
}  // namespace zembrel::reduction
