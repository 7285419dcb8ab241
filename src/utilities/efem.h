// Pieces of menu option 2 (ephemeris of a body) that are worth testing on
// their own.
#pragma once

#include "reduction/corrections.h"

namespace zembrel::utilities {

// The sextant reading to expect for a body at true altitude h (degrees):
// the instrumental altitude of the lower limb whose forward corrections (the
// fix order: index error and dip, refraction at the observed limb,
// semidiameter, parallax) give back h, with the corrections it gets.
struct ExpectedReading {
  double instrumental = 0.0;  // degrees
  double apparent = 0.0;      // instrumental corrected for index error and dip, degrees
  reduction::AltitudeCorrections corrections;
};
ExpectedReading expected_reading(double h, const reduction::ObservationConditions& c, int body,
                                 double sd, double hp);

}  // namespace zembrel::utilities
