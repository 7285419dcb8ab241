// Civil and nautical twilight instants of one Greenwich date at a place.
#pragma once

#include <array>

#include "astro/constants.h"

namespace zembrel::reduction {

struct Twilights {
  // Index 0 the morning instant (the Sun rising through the depression),
  // index 1 the evening one; UT hours of the date, packed hh.mmss, or
  // astro::kNoTwilight (no such instant on the date).
  std::array<double, 2> civil{astro::kNoTwilight, astro::kNoTwilight};     // Sun 6 degrees down
  std::array<double, 2> nautical{astro::kNoTwilight, astro::kNoTwilight};  // Sun 12 degrees down
  bool no_nautical = false;  // the Sun does not cross 12 degrees down that day
  bool no_civil = false;     // nor 6 degrees down
};

// The instants at which the centre of the Sun (geometric altitude, no
// refraction) crosses 12 and 6 degrees below the horizon on the UT date
// year-month-day at longitude and latitude (decimal degrees, east and north
// positive).  no_nautical and no_civil tell which depression is not crossed
// that day (the utilities say so).
Twilights crepusculos(int year, int month, int day, double longitude, double latitude);

}  // namespace zembrel::reduction
