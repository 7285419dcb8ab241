#include "ephem/planets.h"

#include "ephem/jpl_file.h"
#include "ephem/place_steps.h"

namespace zembrel::ephem {

CheckedState checked_coord(double jd, int body) {
  const CoordResult r = coord(jd, body);
  if (r.status >= 1) throw CoordError(r.status);
  return {{r.state[0], r.state[1], r.state[2]}, {r.state[3], r.state[4], r.state[5]}};
}

PlanetPosition planets3(int centre, int body, double jd) {
  PlanetPosition out;
  const astro::Vec3 x = checked_coord(jd, body).position;
  out.position = x;
  if (body == astro::kJplMoon) return out;

  const astro::Vec3 s = checked_coord(jd, astro::kJplSun).position;
  out.sun = s;
  if (centre == 0) {
    if (body == astro::kJplEarthMoonBarycentre) out.position = earth_from(x, checked_coord(jd, astro::kJplMoon).position);
    return out;
  }
  if (centre != 1) return out;

  if (body == astro::kJplSun) {
    const astro::Vec3 b = checked_coord(jd, astro::kJplEarthMoonBarycentre).position;
    const astro::Vec3 m = checked_coord(jd, astro::kJplMoon).position;
    out.position = sub(s, earth_from(b, m));
    return out;
  }
  if (body == astro::kJplEarthMoonBarycentre) {
    const astro::Vec3 m = checked_coord(jd, astro::kJplMoon).position;
    // (B - S) - M / (1 + EMRAT): the Sun taken away first, an order that
    // earth_from(B, M) - S would round differently.
    out.position = sub(sub(x, s), div(m, 1.0 + astro::kEarthMoonMassRatio));
  } else {
    out.position = sub(x, s);
  }
  out.sun = {0.0, 0.0, 0.0};
  return out;
}

}  // namespace zembrel::ephem
