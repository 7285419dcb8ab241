// The apparent place of a listed body (catalogue star, Sun, Moon or planet)
// as the sight reductions and the ephemeris use it.
#pragma once

#include "astro/angles.h"
#include "ephem/stars.h"

namespace zembrel::reduction {

struct BodyPlace {
  astro::Vec3 direction{};  // apparent direction, true equator and equinox of date
  double ra = 0.0, dec = 0.0;
  double sd = 0.0;  // semidiameter, radians; Sun and Moon only
  double hp = 0.0;  // horizontal parallax, radians; none for the stars
};

// Apparent place of a body at Julian date jd_tt (TT).  A star when b is one,
// else an ephemeris body.  The planets get a horizontal parallax from their
// distance, as the Sun and the Moon have theirs from the ephemeris.
BodyPlace apparent_place(const ephem::Body& b, double jd_tt);

}  // namespace zembrel::reduction
