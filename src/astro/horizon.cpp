#include "astro/horizon.h"

#include <cmath>

#include "astro/sidereal.h"

namespace zembrel::astro {

Horizontal equatorial_to_horizontal(double jd_ut1, double longitude, double latitude,
                                    const Vec3& vector_equatorial) {
  // The position is referred to the true equinox of date, so the hour angle
  // is taken from the apparent sidereal time.
  const SiderealTime st = ut_to_st(longitude, jd_ut1);
  const double theta = degree_to_radian(st.local_apparent_st * 15.0);
  const double phi = degree_to_radian(latitude);
  Horizontal h;
  h.horizontal = rotation_3d(kPi / 2.0 + theta, kPi / 2.0 - phi, -kPi / 2.0, vector_equatorial);
  h.spherical = cartesian_spherical(h.horizontal);
  return h;
}

double refraction(double altitude_deg, double pressure_hpa, double temperature_c) {
  const double h = altitude_deg;
  const double z = 1.5707963267948966 - degree_to_radian(h);
  const double c = std::tan(z);
  double r0;
  if (h >= 15.0) {
    r0 = 0.97127 * c - 0.00137 * (c * c * c);
  } else {
    // The quadratic coefficient is held in single precision.
    constexpr double k = static_cast<double>(0.00428f);
    r0 = (34.133 + 4.197 * h + k * (h * h)) / (1.0 + 0.505 * h + 0.0845 * (h * h));
  }
  return r0 * (pressure_hpa / 1010.0) * (283.0 / (temperature_c + 273.0));
}

}  // namespace zembrel::astro
