#include "reduction/body_place.h"

#include "ephem/apparent_planets.h"
#include "reduction/corrections.h"

namespace zembrel::reduction {

BodyPlace apparent_place(const ephem::Body& b, double jd_tt) {
  BodyPlace out;
  if (b.kind == ephem::Body::Kind::star) {
    const ephem::StarPlace p = ephem::apparent_star3x(jd_tt, b.star);
    out.direction = p.direction;
    out.ra = p.ra;
    out.dec = p.dec;
    return out;
  }
  const ephem::ApparentPlace p = ephem::apparent_planets_geo3(jd_tt, b.ephemeris_body);
  out.direction = p.position;
  out.ra = p.ra;
  out.dec = p.dec;
  out.sd = p.semidiameter;
  out.hp = p.parallax;
  // Venus near inferior conjunction and Mars near opposition come near
  // enough for their parallax to reach half a minute of arc.
  if (b.ephemeris_body != astro::kJplMoon && b.ephemeris_body != astro::kJplSun) {
    out.hp = horizontal_parallax(p.distance);
  }
  return out;
}

}  // namespace zembrel::reduction
