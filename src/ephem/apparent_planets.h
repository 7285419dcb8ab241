// Apparent geocentric places of the Sun, the Moon and the planets (light time,
// light deflection by the Sun, annual aberration, IAU 1976 precession and
// IAU 1980 nutation), and the day's rise, set and meridian transits of such a
// body for one place.
#pragma once

#include <array>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/horizon.h"

namespace zembrel::ephem {

struct ApparentPlace {
  astro::Vec3 position{};     // apparent direction, true equator and equinox of
                              // date, scaled to the geometric distance (AU)
  double ra = 0.0;            // apparent right ascension, radians in [0, 2 pi)
  double dec = 0.0;           // apparent declination, radians
  double distance = 0.0;      // geometric Earth-body distance at the instant, AU
  double semidiameter = 0.0;  // radians; Sun and Moon only, else 0
  double parallax = 0.0;      // horizontal parallax, radians; Sun and Moon only
};

// Apparent place at Julian date jd_tt (TT) of a body with three position
// components in the ephemeris file (2 Venus, 4 Mars, 5 Jupiter, 6 Saturn,
// 10 Moon, 11 Sun, ...).  An instant or body the file cannot answer throws
// CoordError ("error en coord, ier= :" with the status).
ApparentPlace apparent_planets_geo3(double jd_tt, int body);

struct PlanetaryEvents {
  double rise_time = astro::kNoEventTime;  // hours of the date, packed h.mmss
  double set_time = astro::kNoEventTime;
  double rise_azimuth = astro::kNoAzimuth;  // degrees from north through east
  double set_azimuth = astro::kNoAzimuth;
  // Row k: the k-th meridian transit of the day: time (packed h.mmss),
  // altitude (packed d.mmss), azimuth (degrees from north), kind (1 upper,
  // -1 lower, 0 below the horizon).  Rows without a transit hold -999.0.
  std::array<std::array<double, 4>, 2> transits{{{astro::kNoTransit, astro::kNoTransit, astro::kNoTransit, astro::kNoTransit},
                                                 {astro::kNoTransit, astro::kNoTransit, astro::kNoTransit, astro::kNoTransit}}};
  double semidiameter = 0.0;  // radians, at 12 h of the date
  double parallax = 0.0;
  bool circumpolar = false;  // the scan found no rise or set
  bool no_transit = false;   // the scan found no meridian transit
};

// Rise, set and meridian transits of `body` on the civil date for an
// observer at longitude and latitude (decimal degrees, east and north
// positive).  Instants are julian_date(year, month, day, hours); the same
// Julian date serves as TT for the apparent place and as UT1 for the sidereal
// time.  Rising and setting are the crossings of altitude -0 deg 34' for
// planets, -0 deg 50' for the Sun and -0 deg 34' - semidiameter + parallax
// for the Moon.  circumpolar and no_transit tell when the body neither rises
// nor sets, or does not cross the meridian (the utilities say so).
PlanetaryEvents planetary_efem3x(int year, int month, int day, int body, double longitude,
                                 double latitude);

}  // namespace zembrel::ephem
