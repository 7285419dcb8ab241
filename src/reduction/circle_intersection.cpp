#include "reduction/circle_intersection.h"

#include <cmath>
#include <limits>

#include "astro/angles.h"

namespace zembrel::reduction {

CircleCrossings corte_circulos_altura(double lon1, double lat1, double h1, double lon2,
                                      double lat2, double h2) {
  using astro::Vec3;
  const Vec3 p1 = astro::cartesian_spherical(astro::Spherical{1.0, lat1, lon1});
  const Vec3 p2 = astro::cartesian_spherical(astro::Spherical{1.0, lat2, lon2});
  const double s1 = std::sin(h1), s2 = std::sin(h2);

  // The position U satisfies U.P1 = sin h1 and U.P2 = sin h2.  Eliminating X
  // and Y leaves U = (W + Z N) / Nz with N = P1 x P2 and W (below, Wz = 0).
  const Vec3 w{p2[1] * s1 - p1[1] * s2, p1[0] * s2 - p2[0] * s1, 0.0};
  const Vec3 n = astro::vector_product(p1, p2);
  const double mod_n = astro::vector_mod(n);
  // Centres on one meridian (or on opposite ones), or a centre at a pole, make
  // Nz zero (rounding leaves a few units of the last place instead).  The
  // divisions by Nz would then give infinite X and Y, which the conversion to
  // latitude and longitude turns into a finite but meaningless point (latitude
  // 0, longitude +-45 or +-135 deg); such a crossing is returned as not a
  // number, so that every later comparison rejects it.
  if (!(std::fabs(n[2]) > 1e-13 * mod_n)) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {nan, nan, nan, nan};
  }
  const double mod_w = astro::vector_mod(w);

  // |U| = 1: |N|^2 Z^2 + 2 (W.N) Z + |W|^2 - Nz^2 = 0, roots k (-c +- D).
  const double c = astro::scalar_product(w, n) / mod_n / mod_w;
  const double k = mod_w / mod_n;
  const double q = (n[2] / mod_w) * (n[2] / mod_w);
  const double d = std::sqrt(c * c + q - 1.0);
  const double z_a = (d - c) * k;
  const double z_b = (-c - d) * k;

  const auto crossing = [&](double z) {
    const Vec3 u{(w[0] + n[0] * z) / n[2], (w[1] + n[1] * z) / n[2], z};
    return astro::cartesian_spherical(u);
  };
  const astro::Spherical a = crossing(z_a);
  const astro::Spherical b = crossing(z_b);
  return {a.latitude, a.longitude, b.latitude, b.longitude};
}

}  // namespace zembrel::reduction
