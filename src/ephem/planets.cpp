#include "ephem/planets.h"

#include "ephem/jpl_file.h"

namespace zembrel::ephem {

namespace {

astro::Vec3 minus(const astro::Vec3& a, const astro::Vec3& b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

// The geocentric Moon M scaled to the offset of the Earth from the
// Earth-Moon barycentre: M / (1 + EMRAT).
astro::Vec3 moon_share(const astro::Vec3& m) {
  const double f = 1.0 + astro::kEarthMoonMassRatio;
  return {m[0] / f, m[1] / f, m[2] / f};
}

// Earth from the Earth-Moon barycentre B and the geocentric Moon M.
astro::Vec3 earth(const astro::Vec3& b, const astro::Vec3& m) { return minus(b, moon_share(m)); }

}  // namespace

CheckedState checked_coord(double jd, int body) {
  const CoordResult r = coord(jd, body);
  if (r.status >= 1) throw CoordError(r.status);
  return {{r.state[0], r.state[1], r.state[2]}, {r.state[3], r.state[4], r.state[5]}};
}

PlanetPosition planets3(int centre, int body, double jd) {
  PlanetPosition out;
  const astro::Vec3 x = checked_coord(jd, body).position;
  out.position = x;
  if (body == 10) return out;

  const astro::Vec3 s = checked_coord(jd, 11).position;
  out.sun = s;
  if (centre == 0) {
    if (body == 3) out.position = earth(x, checked_coord(jd, 10).position);
    return out;
  }
  if (centre != 1) return out;

  if (body == 11) {
    const astro::Vec3 b = checked_coord(jd, 3).position;
    const astro::Vec3 m = checked_coord(jd, 10).position;
    out.position = minus(s, earth(b, m));
    return out;
  }
  if (body == 3) {
    const astro::Vec3 m = checked_coord(jd, 10).position;
    out.position = minus(minus(x, s), moon_share(m));
  } else {
    out.position = minus(x, s);
  }
  out.sun = {0.0, 0.0, 0.0};
  return out;
}

}  // namespace zembrel::ephem
