// Navigation pieces of the fix without dead reckoning: advance of the first
// circle and the choice between the candidates.
#include "utilities/fix.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"

namespace zembrel::utilities::fix {
namespace {

constexpr double kDeg = astro::kPi / 180.0;

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
