// Civil and nautical twilight instants of one Greenwich date at a place.
#pragma once

#include <array>

namespace zembrel::reduction {

// A twilight instant that does not exist on the date.
inline constexpr double kNoTwilight = 9999.0;

struct Twilights {
  // Index 0 the morning instant (the Sun rising through the depression),
  // index 1 the evening one; UT hours of the date, packed hh.mmss, or
  // kNoTwilight.
  std::array<double, 2> civil{kNoTwilight, kNoTwilight};     // Sun 6 degrees down
  std::array<double, 2> nautical{kNoTwilight, kNoTwilight};  // Sun 12 degrees down
};

// The instants at which the centre of the Sun (geometric altitude, no
// refraction) crosses 12 and 6 degrees below the horizon on the UT date
// year-month-day at longitude and latitude (decimal degrees, east and north
// positive).  A depression not crossed that day is reported with "No hay
// crepusculo nautico en esta situacion" (and an empty line) or "No hay
// crepusculo civil en esta situacion" on the screen and the results file.
Twilights crepusculos(int year, int month, int day, double longitude, double latitude);

}  // namespace zembrel::reduction
