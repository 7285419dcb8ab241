// Horizontal coordinates and refraction.
#include "astro/horizon.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/sidereal.h"
#include "fixtures/scratch_dir.h"

namespace zembrel::astro {
namespace {

using zembrel::testing::ScratchDirectory;

constexpr double kDeg = kPi / 180.0;

Vec3 direction(double ra, double dec) {
  return {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}

class HorizonTest : public ::testing::Test {
 protected:
  HorizonTest() { ScratchDirectory::copy_fixture("nutation_IAU1980.dat"); }
  ScratchDirectory dir_;
};

TEST_F(HorizonTest, MeridianAndPoleGeometry) {
  const double jd = 2460370.4, lon = -3.7;
  // Hour angle zero: right ascension equal to the local apparent sidereal time.
  const double ra = ut_to_st(lon, jd).local_apparent_st * 15.0 * kDeg;

  const Horizontal south = equatorial_to_horizontal(jd, lon, 40.0, direction(ra, 0.0));
  EXPECT_NEAR(south.spherical.latitude, 50.0 * kDeg, 1e-12);
  EXPECT_NEAR(south.spherical.longitude, 0.0, 1e-12);
  EXPECT_NEAR(south.spherical.r, 1.0, 1e-15);
  EXPECT_NEAR(south.horizontal[1], 0.0, 1e-12);  // no east component

  const Horizontal pole = equatorial_to_horizontal(jd, lon, 40.0, Vec3{0.0, 0.0, 2.0});
  EXPECT_NEAR(pole.spherical.latitude, 40.0 * kDeg, 1e-12);
  EXPECT_NEAR(std::fabs(pole.spherical.longitude), kPi, 1e-12);
  EXPECT_NEAR(pole.spherical.r, 2.0, 1e-15);

  // Six hours of hour angle later, on the equator: due west on the horizon.
  const Horizontal west = equatorial_to_horizontal(jd, lon, 40.0, direction(ra - kPi / 2.0, 0.0));
  EXPECT_NEAR(west.spherical.latitude, 0.0, 1e-12);
  EXPECT_NEAR(west.spherical.longitude, -kPi / 2.0, 1e-12);
}

TEST_F(HorizonTest, AgreesWithErfaFromApparentSiderealTime) {
  // Independent reference: hour angle = erfa.gmst82(jd) + nut80 dpsi *
  // cos(obl80) + longitude - ra, then erfa.hd2ae(ha, dec, lat) -> (Zn, alt);
  // ERFA 2.0.0, Debian python3-erfa.  The tolerance allows the program's
  // fixed sidereal ratio (see the sidereal-time tests).
  constexpr struct {
    double jd, lon, lat, ra, dec, zn, alt;
  } kRefs[] = {
      // Equation of the equinoxes +0.96 s: the hour angle from the mean
      // sidereal time would move this altitude by 0.183' and Zn by 0.154'.
      {2456108.625, -3.7, 40.4, 0.52167164041527769, 0.3, 1.5560039060954758, 0.45600054669635082},
      {2460370.4, 139.7, 35.7, 5.8100573172673631, -0.4, 2.094709884337282, 0.028585942104049845},
      {2446895.5, -77.0, 38.9, 0.6, 1.2, 5.8125332579335671, 0.6477728101779574},
      {2436934.8, 10.0, -33.9, 4.0, -1.1, 2.9638227543102209, 1.0478502093960906},
  };
  for (const auto& r : kRefs) {
    const Horizontal h = equatorial_to_horizontal(r.jd, r.lon, r.lat, direction(r.ra, r.dec));
    EXPECT_NEAR(h.spherical.latitude, r.alt, 3e-10) << r.jd;
    const double zn = scale_angle(kPi - h.spherical.longitude);
    EXPECT_NEAR(std::remainder(zn - r.zn, kTwoPi), 0.0, 3e-10) << r.jd;
  }
}

TEST(Refraction, StandardValues) {
  EXPECT_NEAR(refraction(90.0, 1010.0, 10.0), 0.0, 1e-15);
  EXPECT_NEAR(refraction(45.0, 1010.0, 10.0), 0.97127 - 0.00137, 1e-14);
  EXPECT_NEAR(refraction(0.0, 1010.0, 10.0), 34.133, 1e-12);
  EXPECT_NEAR(refraction(0.0, 1010.0, 0.0), 34.133 * 283.0 / 273.0, 1e-12);
  EXPECT_NEAR(refraction(45.0, 505.0, 10.0), (0.97127 - 0.00137) / 2.0, 1e-14);
}

TEST(Refraction, LowAltitudeFormulaUsesTheSinglePrecisionCoefficient) {
  // 0.00428 in single precision is 0.004279999993741512: at 10 degrees the
  // result differs from the double 0.00428 by 4.3e-11 minutes.
  const double h = 10.0;
  const double expected =
      (34.133 + 4.197 * h + 0.004279999993741512 * (h * h)) / (1.0 + 0.505 * h + 0.0845 * (h * h));
  EXPECT_EQ(refraction(h, 1010.0, 10.0), expected);
  // Negative altitudes use the same formula.
  EXPECT_NEAR(refraction(-1.0, 1010.0, 10.0),
              (34.133 - 4.197 + 0.004279999993741512) / (1.0 - 0.505 + 0.0845), 1e-12);
}

TEST(Refraction, BranchesMeetAtFifteenDegreesWithASmallStep) {
  // Exactly 15 degrees takes the upper formula (3.5536'), just below it the
  // lower one (3.5542').
  EXPECT_NEAR(refraction(15.0, 1010.0, 10.0), 3.5536, 5e-5);
  EXPECT_NEAR(refraction(std::nextafter(15.0, 0.0), 1010.0, 10.0), 3.5542, 5e-5);
}

}  // namespace
}  // namespace zembrel::astro
