// Equatorial to horizontal coordinates, and astronomical refraction.
#pragma once

#include "astro/angles.h"

namespace zembrel::astro {

struct Horizontal {
  Vec3 horizontal;  // x to the south point, y to the east point, z to the zenith
  Spherical spherical;  // distance, altitude, azimuth A from the south toward the east
};

// vector_equatorial: geocentric, true equator and equinox of date.  The hour
// angle rests on the local apparent sidereal time at jd_ut1.  Longitude
// (east positive) and latitude in decimal degrees.
Horizontal equatorial_to_horizontal(double jd_ut1, double longitude, double latitude,
                                    const Vec3& vector_equatorial);

// Refraction in minutes of arc for an altitude in degrees, pressure in hPa
// and temperature in degrees Celsius.
double refraction(double altitude_deg, double pressure_hpa, double temperature_c);

}  // namespace zembrel::astro
