// Positions of the solar-system bodies from the ephemeris file: relative to
// the solar-system barycentre or to the Sun, the Earth itself, and the Sun as
// seen from the Earth.
#pragma once

#include "astro/angles.h"
#include "astro/constants.h"
#include "io/stops.h"

namespace zembrel::ephem {

// A lookup of the ephemeris file that failed (an instant outside the file, a
// body it does not hold): the stop "error en coord, ier= :" with the status
// on the screen, then "STOP -1" (exit status 255), reported by the program's
// main.
class CoordError : public io::Stop {
 public:
  explicit CoordError(int status) : io::Stop(-1), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

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
// A failed lookup throws CoordError.
PlanetPosition planets3(int centre, int body, double jd);

// The state of coord(jd, body); a failed lookup throws CoordError.
struct CheckedState {
  astro::Vec3 position;
  astro::Vec3 velocity;
};
CheckedState checked_coord(double jd, int body);

}  // namespace zembrel::ephem
