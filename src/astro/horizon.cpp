#include "astro/horizon.h"

#include <cmath>

#include "astro/constants.h"
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

// The coefficients and their sources are in astro/constants.h.
double refraction(double altitude_deg, double pressure_hpa, double temperature_c) {
  const double h = altitude_deg;
  const double z = 1.5707963267948966 - degree_to_radian(h);
  const double c = std::tan(z);
  double r0;
  if (h >= kRefractionLimitDeg) {
    r0 = kRefractionA * c - kRefractionB * (c * c * c);
  } else {
    r0 = (kRefractionLowC0 + kRefractionLowC1 * h + kRefractionLowC2 * (h * h)) /
         (1.0 + kRefractionLowD1 * h + kRefractionLowD2 * (h * h));
  }
  return r0 * (pressure_hpa / kStandardPressure) * (283.0 / (temperature_c + 273.0));
}

}  // namespace zembrel::astro
