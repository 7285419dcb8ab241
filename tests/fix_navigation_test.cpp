// Navigation pieces of the fix without dead reckoning: advance of the first
// circle, dead reckoning of a candidate, choice between the candidates.
#include "utilities/fix.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"

namespace zembrel::utilities::fix {
namespace {

constexpr double kDeg = astro::kPi / 180.0;

// Great-circle distance in miles between two points given in degrees.
double miles(double lat1, double lon1, double lat2, double lon2) {
  const double c = std::sin(lat1 * kDeg) * std::sin(lat2 * kDeg) +
                   std::cos(lat1 * kDeg) * std::cos(lat2 * kDeg) * std::cos((lon2 - lon1) * kDeg);
  return std::acos(std::fmin(1.0, c)) / kDeg * 60.0;
}

TEST(FixNavigation, AdvanceOfTheFirstCircle) {
  // Five minutes exactly (as two Julian dates give it) is simultaneous, either way.
  const double jd1 = 2460390.3125, jd2 = jd1 + 5.0 / 1440.0;
  EXPECT_FALSE(advance_needed((jd2 - jd1) * 24.0, 12.0));
  EXPECT_FALSE(advance_needed((jd1 - jd2) * 24.0, 12.0));
  EXPECT_TRUE(advance_needed(5.1 / 60.0, 12.0));
  EXPECT_TRUE(advance_needed(-20.0 / 60.0, 15.0));  // second sight taken first
  EXPECT_FALSE(advance_needed(0.5, 0.0));

  // 30 minutes at 12 knots: toward the body, away from it, across its bearing.
  EXPECT_NEAR(circle_advance(azimuth_course_angle(0.0, 0.0), 6.0), 6.0, 1e-12);
  EXPECT_NEAR(circle_advance(azimuth_course_angle(0.0, astro::kPi), 6.0), -6.0, 1e-12);
  EXPECT_NEAR(circle_advance(azimuth_course_angle(0.0, astro::kPi / 2.0), 6.0), 0.0, 1e-12);
  // A run made before the first sight moves the circle the other way.
  EXPECT_NEAR(circle_advance(azimuth_course_angle(30.0 * kDeg, 80.0 * kDeg), -5.0),
              -5.0 * std::cos(50.0 * kDeg), 1e-12);
  // Azimuth equal to the course: the arc-cosine argument can round above 1.
  for (int i = 0; i < 3600; ++i) {
    const double a = i * 0.1 * kDeg;
    ASSERT_LT(azimuth_course_angle(a, a), 1e-7) << i;  // never NaN
  }
}

TEST(FixNavigation, DeadReckoningOfACandidate) {
  // 2 hours at 10 knots on 090 from the equator: 20 miles east.
  Position p = dead_reckoning(0.0, 10.0 * kDeg, 90.0 * kDeg, 20.0);
  EXPECT_NEAR(p.lat, 0.0, 1e-12);
  EXPECT_NEAR(p.lon, 10.0 + 1.0 / 3.0, 1e-12);
  // Eastward across 180 degrees the longitude is not reduced.
  p = dead_reckoning(0.0, 179.9 * kDeg, 90.0 * kDeg, 20.0);
  EXPECT_NEAR(p.lon, 180.2333333333333, 1e-9);
  // No run, no change.
  p = dead_reckoning(45.0 * kDeg, -30.0 * kDeg, 1.0, 0.0);
  EXPECT_NEAR(p.lat, 45.0, 1e-12);
  EXPECT_NEAR(p.lon, -30.0, 1e-12);
}

TEST(FixNavigation, DeadReckoningNearThePoles) {
  // Over the pole: 6 miles to it, 14 beyond, down the opposite meridian.
  Position p = dead_reckoning(89.9 * kDeg, 20.0 * kDeg, 0.0, 20.0);
  EXPECT_NEAR(p.lat, 90.0 - 14.0 / 60.0, 1e-9);
  EXPECT_NEAR(std::remainder(p.lon - 200.0, 360.0), 0.0, 1e-9);
  // East-west close to the pole, from the pole itself, and a southern case:
  // finite, on the sphere, and the run's length from the start.
  const struct {
    double lat, lon, course, run;
  } cases[] = {{89.5, 10.0, 90.0, 20.0}, {90.0, 0.0, 180.0, 30.0}, {-89.8, -100.0, 250.0, 40.0},
               {-90.0, 5.0, 0.0, 12.0}, {88.95, 0.0, 10.0, 6.0}};
  for (const auto& c : cases) {
    p = dead_reckoning(c.lat * kDeg, c.lon * kDeg, c.course * kDeg, c.run);
    ASSERT_TRUE(std::isfinite(p.lat) && std::isfinite(p.lon)) << c.lat;
    EXPECT_LE(std::fabs(p.lat), 90.0) << c.lat;
    EXPECT_NEAR(miles(c.lat, c.lon, p.lat, p.lon), c.run, 1e-6) << c.lat;
  }
  p = dead_reckoning(90.0 * kDeg, 0.0, 180.0 * kDeg, 30.0);
  EXPECT_NEAR(p.lat, 89.5, 1e-9);
  // Mid-latitude sailing up to 89 degrees agrees with the great circle there.
  const Position mid = dead_reckoning(88.9 * kDeg, 0.0, 45.0 * kDeg, 5.0);
  EXPECT_NEAR(miles(88.9, 0.0, mid.lat, mid.lon), 5.0, 0.01);
}

TEST(FixNavigation, ChoiceBetweenTheCandidates) {
  EXPECT_EQ(choose_candidate(0.09, 0.0), 2);  // the nearer one wins
  EXPECT_EQ(choose_candidate(0.0, 0.09), 1);
  EXPECT_EQ(choose_candidate(0.4, 0.4), 1);   // a tie goes to the first
  EXPECT_EQ(choose_candidate(1.0, 3.0), 1);   // one degree exactly is accepted
  EXPECT_EQ(choose_candidate(1.5, 1.2), 0);
  EXPECT_EQ(choose_candidate(std::nan(""), 0.3), 2);
  EXPECT_EQ(choose_candidate(0.3, std::nan("")), 1);
  EXPECT_EQ(choose_candidate(std::nan(""), std::nan("")), 0);
}

}  // namespace
}  // namespace zembrel::utilities::fix
