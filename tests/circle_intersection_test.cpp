// Crossing of two circles of equal altitude.
#include "reduction/circle_intersection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"
#include "io/record_io.h"

namespace zembrel::reduction {
namespace {

constexpr double kDeg = astro::kPi / 180.0;

// Altitude of a body whose geographical position is (lon_c, lat_c), seen
// from (lon, lat), by the cosine rule of the position triangle.
double altitude(double lon_c, double lat_c, double lon, double lat) {
  return std::asin(std::sin(lat) * std::sin(lat_c) +
                   std::cos(lat) * std::cos(lat_c) * std::cos(lon - lon_c));
}

TEST(CircleIntersection, CentresNinetyDegreesApartOnTheEquator) {
  // Radii 60 deg: the circles cross at latitude +-45 deg on the meridian 45 E.
  const double h = astro::kPi / 6.0;
  const CircleCrossings x = corte_circulos_altura(0.0, 0.0, h, astro::kPi / 2.0, 0.0, h);
  EXPECT_NEAR(x.lat_a, astro::kPi / 4.0, 1e-15);
  EXPECT_NEAR(x.lon_a, astro::kPi / 4.0, 1e-15);
  EXPECT_NEAR(x.lat_b, -astro::kPi / 4.0, 1e-15);
  EXPECT_NEAR(x.lon_b, astro::kPi / 4.0, 1e-15);

  // Radii 45 deg: tangent at (0, 45 E), both solutions that point to rounding.
  const double t = astro::kPi / 4.0;
  const CircleCrossings tangent = corte_circulos_altura(0.0, 0.0, t, astro::kPi / 2.0, 0.0, t);
  EXPECT_NEAR(tangent.lat_a, 0.0, 5e-6 * kDeg);
  EXPECT_NEAR(tangent.lat_b, 0.0, 5e-6 * kDeg);
  EXPECT_GE(tangent.lat_a, tangent.lat_b);
  EXPECT_NEAR(tangent.lon_a, astro::kPi / 4.0, 1e-12);
  EXPECT_NEAR(tangent.lon_b, astro::kPi / 4.0, 1e-12);

  // Radii 30 deg: the circles do not meet.
  const double far = astro::kPi / 3.0;
  const CircleCrossings none = corte_circulos_altura(0.0, 0.0, far, astro::kPi / 2.0, 0.0, far);
  EXPECT_TRUE(std::isnan(none.lat_a) && std::isnan(none.lon_a));
  EXPECT_TRUE(std::isnan(none.lat_b) && std::isnan(none.lon_b));
}

TEST(CircleIntersection, CentresOnOneMeridianOrAtAPoleGiveNoFiniteCrossing) {
  // Equal longitudes (not 0, where Nz would vanish without rounding),
  // opposite longitudes and a centre at the pole.
  const CircleCrossings cases[] = {
      corte_circulos_altura(0.3, 10.0 * kDeg, 50.0 * kDeg, 0.3, 40.0 * kDeg, 60.0 * kDeg),
      corte_circulos_altura(-2.0, 10.0 * kDeg, 50.0 * kDeg, astro::kPi - 2.0, 40.0 * kDeg,
                            20.0 * kDeg),
      corte_circulos_altura(1.0, astro::kPi / 2.0, 40.0 * kDeg, 0.2, 10.0 * kDeg, 30.0 * kDeg)};
  for (const CircleCrossings& x : cases) {
    EXPECT_TRUE(std::isnan(x.lat_a) && std::isnan(x.lon_a));
    EXPECT_TRUE(std::isnan(x.lat_b) && std::isnan(x.lon_b));
  }
  const CircleCrossings& x = cases[0];
  // Such values reach the report as they are, without stopping the program.
  EXPECT_NO_THROW(io::format_record("(a24,1x,f14.6)", {" latitud (gg.mmssss):   ",
                                                     astro::degree_to_ddmmss_c(x.lat_a)}));
  EXPECT_NO_THROW(io::list_record({"Radio: ", std::nan(""), HUGE_VAL, -HUGE_VAL}));
}

TEST(CircleIntersection, RealisticSightsGiveTheObserver) {
  const double lon1 = -30.0 * kDeg, lat1 = 20.0 * kDeg, lon2 = 40.0 * kDeg, lat2 = -10.0 * kDeg;
  const double lon = 5.0 * kDeg, lat = 35.0 * kDeg;
  const CircleCrossings x = corte_circulos_altura(lon1, lat1, altitude(lon1, lat1, lon, lat),
                                                  lon2, lat2, altitude(lon2, lat2, lon, lat));
  // The observer is the northern crossing here; the other one lies on both
  // circles too.
  EXPECT_NEAR(x.lat_a, lat, 1e-12);
  EXPECT_NEAR(x.lon_a, lon, 1e-12);
  EXPECT_LT(x.lat_b, x.lat_a);
  EXPECT_NEAR(altitude(lon1, lat1, x.lon_b, x.lat_b), altitude(lon1, lat1, lon, lat), 1e-12);
  EXPECT_NEAR(altitude(lon2, lat2, x.lon_b, x.lat_b), altitude(lon2, lat2, lon, lat), 1e-12);

  // Western longitudes beyond 90 deg and a southern observer.
  const double lon3 = -150.0 * kDeg, lat3 = -33.0 * kDeg;
  const CircleCrossings y = corte_circulos_altura(
      -120.0 * kDeg, 5.0 * kDeg, altitude(-120.0 * kDeg, 5.0 * kDeg, lon3, lat3), 170.0 * kDeg,
      -60.0 * kDeg, altitude(170.0 * kDeg, -60.0 * kDeg, lon3, lat3));
  const bool a_is_it = std::fabs(y.lat_a - lat3) < 1e-10;
  EXPECT_NEAR(a_is_it ? y.lat_a : y.lat_b, lat3, 1e-10);
  EXPECT_NEAR(a_is_it ? y.lon_a : y.lon_b, lon3, 1e-10);
}

}  // namespace
}  // namespace zembrel::reduction
