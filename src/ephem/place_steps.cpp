#include "ephem/place_steps.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "astro/constants.h"
#include "astro/precession_nutation.h"
#include "ephem/jpl_file.h"
#include "io/file_cache.h"

namespace zembrel::ephem {

using astro::Vec3;

namespace {
double dot(const Vec3& a, const Vec3& b) { return astro::scalar_product(a, b); }
}  // namespace

double light_au_per_day() { return astro::kLightKmPerS * astro::kSecondsPerDay / astro::kAuKm; }

Vec3 earth_from(const Vec3& b, const Vec3& m) { return sub(b, div(m, 1.0 + astro::kEarthMoonMassRatio)); }

namespace {

EarthState compute_earth_state(double tdb) {
  const double emrat1 = 1.0 + astro::kEarthMoonMassRatio;
  EarthState e;
  e.barycentre = checked_coord(tdb, astro::kJplEarthMoonBarycentre);
  e.moon = checked_coord(tdb, astro::kJplMoon);
  e.position = earth_from(e.barycentre.position, e.moon.position);
  e.velocity = div(sub(e.barycentre.velocity, div(e.moon.velocity, emrat1)), light_au_per_day());
  return e;
}

}  // namespace

// The last state is kept for the same instant, to the bit, and the same
// parse of the ephemeris: the stars of one instant (the recognition of an
// unknown body places 99 of them) share one Earth.
EarthState earth_state(double tdb) {
  struct Key {
    std::uint64_t tdb = 0, ephemeris = 0;
    bool operator==(const Key&) const = default;
  };
  static io::ResultMemo<Key, EarthState, 1> last;
  if (!io::caches_enabled()) return compute_earth_state(tdb);
  // The ephemeris is looked at first, as the lookups themselves do.
  const Key key{std::bit_cast<std::uint64_t>(tdb), ephemeris_generation()};
  if (const EarthState* kept = last.find(key)) return *kept;
  const EarthState state = compute_earth_state(tdb);  // a failed lookup throws, and nothing is kept
  last.store(key, state);
  return state;
}

Vec3 deflect(const Vec3& u, const Vec3& q, double e, const Vec3& r, double mu) {
  const Vec3 bend = sub(mul(q, dot(u, r)), mul(r, dot(q, u)));
  return add(u, mul(div(bend, 1.0 + dot(r, q)), 2.0 * mu / e));
}

Vec3 aberrate(const Vec3& p, const Vec3& v) {
  const double w = 1.0 / std::sqrt(1.0 - dot(v, v));  // the Lorentz factor
  const double pv = dot(p, v);
  return div(add(mul(p, 1.0 / w), mul(v, 1.0 + pv / (1.0 + 1.0 / w))), 1.0 + pv);
}

Vec3 to_true_of_date(double jd, const Vec3& p) {
  const Vec3 mean = astro::precession_ecuatoriales(astro::kJ2000, jd, p);
  const astro::Nutation nut = astro::nutation_parameters(jd);
  return astro::nutation_ecuatoriales(nut.eps0, nut.eps, nut.dpsi, mean);
}

RaDec ra_dec(const Vec3& p) {
  const astro::Spherical s = astro::cartesian_spherical(p);
  return {astro::scale_angle(s.longitude), s.latitude};
}

}  // namespace zembrel::ephem
