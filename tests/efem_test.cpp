// The sextant reading that option 2 tells the navigator to expect: reduced
// by the forward corrections (as the sight-reduction options do) it must give
// back the true altitude.
#include "utilities/efem.h"

#include <gtest/gtest.h>

#include <cmath>

#include "reduction/corrections.h"

namespace {

using zembrel::reduction::correct_altitude;
using zembrel::reduction::CorrectionOrder;
using zembrel::reduction::ObservationConditions;
using zembrel::utilities::expected_reading;

TEST(ExpectedReading, ForwardCorrectionsGiveBackTheTrueAltitude) {
  ObservationConditions c;
  c.height = 12.0;
  c.index_error = 1.8;
  struct Case {
    int body;
    double sd, hp, h;
  } const cases[] = {
      {101, 0.00470, 0.01720, 5.0},  {101, 0.00470, 0.01720, 10.0},
      {101, 0.00470, 0.01720, 45.0}, {100, 0.00467, 4.26e-5, 1.0},
      {100, 0.00467, 4.26e-5, 30.0}, {18, 0.0, 0.0, 2.0},
  };
  for (const Case& k : cases) {
    const auto r = expected_reading(k.h, c, k.body, k.sd, k.hp);
    for (CorrectionOrder order : {CorrectionOrder::fix, CorrectionOrder::line_of_position}) {
      const double ho = correct_altitude(r.instrumental, c, k.body, -1, k.sd, k.hp, order).ho;
      // An intercept that prints as 0.0'.
      EXPECT_LT(std::fabs(ho - k.h) * 60.0, 0.05) << k.body << " at " << k.h;
    }
    EXPECT_NEAR(r.apparent, r.instrumental + (1.8 - 1.7757 * std::sqrt(12.0)) / 60.0, 1e-12);
    // The corrections shown are those the reading gets.
    const auto fwd = correct_altitude(r.instrumental, c, k.body, -1, k.sd, k.hp, CorrectionOrder::fix);
    EXPECT_EQ(r.corrections.minus_refraction, fwd.corrections.minus_refraction);
    EXPECT_EQ(r.corrections.semidiameter, fwd.corrections.semidiameter);
  }
}

}  // namespace
