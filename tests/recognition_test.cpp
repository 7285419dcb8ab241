// The position triangle and the search of the recognition of an unknown body.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"
#include "fixtures/scratch_dir.h"
#include "reduction/recognition.h"

namespace zembrel::reduction {
namespace {

using astro::degree_to_radian;
using astro::kPi;
using astro::kTwoPi;

// Altitude (degrees) and azimuth (radians from north) of a body of
// declination dec at local hour angle lha, from latitude phi.
void altaz(double phi, double dec, double lha, double& alt_deg, double& az) {
  const double sin_h = std::sin(phi) * std::sin(dec) + std::cos(phi) * std::cos(dec) * std::cos(lha);
  const double h = std::asin(sin_h);
  az = std::atan2(-std::cos(dec) * std::sin(lha), std::sin(dec) * std::cos(phi) - std::cos(dec) * std::sin(phi) * std::cos(lha));
  az = astro::scale_angle(az);
  alt_deg = h * 180.0 / kPi;
}

TEST(PositionTriangle, RecoversThePlace) {
  const double theta = 1.234, lon = degree_to_radian(-40.0);
  for (double lha : {0.3, 2.0, 4.0, 6.0}) {  // both sides of the meridian
    for (double dec : {-0.4, 0.1, 0.9}) {
      const double phi = degree_to_radian(35.0);
      double alt, az;
      altaz(phi, dec, lha, alt, az);
      const PlaceEstimate e = estimate_place(phi, lon, alt, az, theta);
      EXPECT_NEAR(e.dec, dec, 1e-9);
      EXPECT_NEAR(e.lha, lha, 1e-9);
      EXPECT_NEAR(e.ra, astro::scale_angle(theta + lon - lha), 1e-9);
    }
  }
}

TEST(PositionTriangle, EdgesOfTheTriangle) {
  // Azimuth exactly 180: east of the meridian, LHA = 2 pi - t.
  const double phi = degree_to_radian(40.0);
  const PlaceEstimate south = estimate_place(phi, 0.0, 50.0, degree_to_radian(180.0), 1.0);
  EXPECT_NEAR(south.dec, 0.0, 1e-12);
  EXPECT_DOUBLE_EQ(south.lha, kTwoPi - south.t);

  // At the zenith, at the pole and on the horizon the arc-cosine arguments
  // may leave [-1, 1] by rounding; the estimate must stay a number.
  for (double lat : {10.0, 33.3, 40.0, 51.7, 77.1}) {
    const double p = degree_to_radian(lat);
    const PlaceEstimate zenith = estimate_place(p, 0.3, 90.0, degree_to_radian(123.0), 2.0);
    EXPECT_NEAR(zenith.dec, p, 1e-7);
    EXPECT_FALSE(std::isnan(zenith.ra));
    const PlaceEstimate pole = estimate_place(p, 0.3, lat, 0.0, 2.0);
    EXPECT_NEAR(pole.dec, kPi / 2.0, 1e-7);
    EXPECT_FALSE(std::isnan(pole.ra));
    const PlaceEstimate horizon = estimate_place(p, 0.3, 0.0, degree_to_radian(270.0), 2.0);
    EXPECT_FALSE(std::isnan(horizon.ra) || std::isnan(horizon.dec));
  }
}

TEST(Search, ToleranceNearestAndWrap) {
  SearchTable t;
  for (int i = 1; i <= kSearchEntries; ++i) {
    t.ra[i] = 3.0;
    t.dec[i] = -1.2;
  }
  // Two bodies inside the box: the nearer wins even with the higher index.
  t.ra[20] = 1.03;
  t.dec[20] = 0.5;
  t.ra[101] = 1.01;
  t.dec[101] = 0.5;
  EXPECT_EQ(search_entry(t, 1.0, 0.5, kRecognitionTolerance), 101);
  // An exact tie goes to the lower index.
  t.ra[20] = 0.99;
  EXPECT_EQ(search_entry(t, 1.0, 0.5, kRecognitionTolerance), 20);
  EXPECT_EQ(list_number_of_entry(101), 103);

  // 0.06 rad off in declination: not recognised; 0.05 exactly: recognised.
  EXPECT_EQ(search_entry(t, 1.0, 0.56, kRecognitionTolerance), 0);
  t.dec[20] = 0.0;
  t.dec[101] = 0.0;
  EXPECT_EQ(search_entry(t, 0.99, 0.05, kRecognitionTolerance), 20);

  // A star just past 0 h and an estimate just below 24 h.
  t.ra[1] = 0.01;
  t.dec[1] = 0.45;
  EXPECT_EQ(search_entry(t, kTwoPi - 0.01, 0.45, kRecognitionTolerance), 1);
  // The right-ascension box widens with the declination of the estimate.
  t.ra[58] = 0.6;
  t.dec[58] = 1.4;
  EXPECT_EQ(search_entry(t, 0.8, 1.4, kRecognitionTolerance), 58);  // 0.2 cos 1.4 = 0.034
  EXPECT_EQ(search_entry(t, 0.86, 0.0, kRecognitionTolerance), 0);  // 0.06 at the equator
}

// Whole recognitions with the data files.  Altitudes and azimuths from
// PyEphem 4 (geometric, pressure 0); the instrumental altitude adds this
// program's refraction.
class Recognise : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!dir.link_data({"JPL_1550-2650_430t", "nutation_IAU1980.dat", "delta_t.iers", "delta_t.dat",
                        "estrellas.dat"}))
      GTEST_SKIP() << "data files missing";
  }
  testing::ScratchDirectory dir;
  ObservationConditions c;
};

TEST_F(Recognise, PlanetTwoDegreesFromAStar) {
  // Jupiter 2.0 deg from Zuben'ubi (star 39), 1 Jul 2018 0 h UTC, 30 N 40 W.
  const Recognition r = reconoce(30.0, -40.0, 1, 7, 2018, 0.0, 42.07543511393471, 203.21482079021087, c);
  EXPECT_EQ(r.body, 104);
  EXPECT_EQ(r.name, "Jupiter        ");
  EXPECT_NEAR(r.altitude, 42.05753526723008, 1e-4);
  EXPECT_NEAR(r.azimuth, degree_to_radian(203.21482079021087), 1e-15);
}

TEST_F(Recognise, StarJustPastZeroHours) {
  // Alpheratz from 40 N 30 W, 15 Oct 2024 2 h UTC, with the longitude typed
  // 2 deg 36' too far west: the estimate falls just below 24 h.
  const Recognition r = reconoce(40.0, -32.36, 15, 10, 2024, 2.0, 69.25082154644896, 245.4579288820956, c);
  EXPECT_EQ(r.body, 1);
  // The same instant as the previous date plus 26 hours (readings across 0 h).
  EXPECT_EQ(reconoce(40.0, -32.36, 14, 10, 2024, 26.0, 69.25082154644896, 245.4579288820956, c).body, 1);
  // Nothing in that part of the sky: no body, a blank name.
  const Recognition none = reconoce(40.0, -30.0, 15, 10, 2024, 2.0, 10.0, 10.0, c);
  EXPECT_EQ(none.body, 0);
  EXPECT_EQ(none.name, std::string(15, ' '));
}

}  // namespace
}  // namespace zembrel::reduction
