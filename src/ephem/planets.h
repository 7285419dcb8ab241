// Positions of the solar-system bodies from the ephemeris file: relative to
// the solar-system barycentre or to the Sun, the Earth itself, and the Sun as
// seen from the Earth.
#pragma once

#include "astro/angles.h"

namespace zembrel::ephem {

// Earth-Moon mass ratio of the ephemeris: EMRAT of DE440 (Park, Folkner,
// Williams & Boggs 2021, AJ 161, 105), as quoted in the comment area of
// JPL's kernel de440s.bsp from which the ephemeris file is built.
inline constexpr double kEarthMoonMassRatio = 81.300568221497215;

struct PlanetPosition {
  astro::Vec3 position{};  // AU, equatorial frame of the ephemeris
  astro::Vec3 sun{};       // barycentric Sun where the table below says so, else 0
};

// centre 0: body from the barycentre (body 3 gives the Earth itself), sun =
//           barycentric Sun;
// centre 1: body from the Sun (body 3 gives the Earth), sun = 0; except body
//           11, which gives the Sun from the Earth, sun = barycentric Sun;
// other centres: as centre 0 but body 3 stays the Earth-Moon barycentre.
// Body 10 always gives the Moon from the Earth's centre (sun = 0).
// A failed lookup prints "error en coord, ier= :" with the status on the
// screen and stops the program with code -1.
PlanetPosition planets3(int centre, int body, double jd);

// The position part of coord(jd, body), stopping the program like planets3
// when the lookup fails.
struct CheckedState {
  astro::Vec3 position;
  astro::Vec3 velocity;
};
CheckedState checked_coord(double jd, int body);

}  // namespace zembrel::ephem
