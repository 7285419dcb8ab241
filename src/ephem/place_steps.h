// The steps of an apparent place, each a small routine that the places of the
// Sun, the Moon, the planets and the stars are composed of: the Earth's
// barycentric state, the light time, the light deflection by the Sun, the
// annual aberration, and the frame change to the true equator and equinox of
// date.  Vectors are in AU (velocities in AU/day, or in units of c where
// said), in the frame of the ephemeris (mean equator and equinox of J2000)
// unless said.  The arithmetic of each step is written in the order the
// program has always used, so that every place keeps its last bit.
#pragma once

#include "astro/angles.h"
#include "ephem/planets.h"

namespace zembrel::ephem {

// Three-vector arithmetic of the steps.
inline astro::Vec3 add(const astro::Vec3& a, const astro::Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline astro::Vec3 sub(const astro::Vec3& a, const astro::Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline astro::Vec3 mul(const astro::Vec3& a, double f) { return {a[0] * f, a[1] * f, a[2] * f}; }
inline astro::Vec3 div(const astro::Vec3& a, double f) { return {a[0] / f, a[1] / f, a[2] / f}; }

// The speed of light in AU/day.
double light_au_per_day();

// The Earth from the Earth-Moon barycentre b and the geocentric Moon m (both
// AU, same instant): E = B - M / (1 + EMRAT).
astro::Vec3 earth_from(const astro::Vec3& b, const astro::Vec3& m);

// Given:
//   tdb  Julian date, TDB
// Returned:
//   the Earth-Moon barycentre and the geocentric Moon as the ephemeris gives
//   them, the Earth's barycentric position (AU) and its barycentric velocity
//   in units of c (dimensionless), formed as earth_from does.
// A lookup that fails throws CoordError.
struct EarthState {
  CheckedState barycentre;  // Earth-Moon barycentre, barycentric
  CheckedState moon;        // Moon, geocentric
  astro::Vec3 position{};   // Earth, barycentric, AU
  astro::Vec3 velocity{};   // Earth, barycentric, units of c
};
EarthState earth_state(double tdb);

// Light deflection by the Sun, first order in GM/c^2 (Kaplan et al. 1989,
// "Mean and apparent place computations in the new IAU system", Astron. J.
// 97, 1197).
// Given:
//   u   unit vector, Earth to body
//   q   unit vector, Sun to Earth
//   e   distance Sun to Earth, AU
//   r   unit vector, Sun to body
//   mu  the Sun's gravitational radius, AU (2 mu = 2 GM / c^2)
// Returned:
//   the deflected direction (not renormalised).
astro::Vec3 deflect(const astro::Vec3& u, const astro::Vec3& q, double e, const astro::Vec3& r, double mu);

// Annual aberration, relativistic form (Kaplan et al. 1989).
// Given:
//   p  unit vector, Earth to body (natural direction)
//   v  the Earth's barycentric velocity in units of c
// Returned:
//   the proper direction (not renormalised).
astro::Vec3 aberrate(const astro::Vec3& p, const astro::Vec3& v);

// Mean equator and equinox of J2000 to the true equator and equinox of date:
// IAU 1976 precession (Lieske et al. 1977), then IAU 1980 nutation
// (Seidelmann 1982).
// Given:
//   jd  Julian date of the date (TT)
//   p   vector, mean equator and equinox of J2000
// Returned:
//   the vector, true equator and equinox of jd.
astro::Vec3 to_true_of_date(double jd, const astro::Vec3& p);

// Right ascension in [0, 2 pi) and declination, radians, of a vector.
struct RaDec {
  double ra;
  double dec;
};
RaDec ra_dec(const astro::Vec3& p);

}  // namespace zembrel::ephem
