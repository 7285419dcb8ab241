// Packed sexagesimal values (gg.mmss / hh.mmss), degrees and radians, angle
// reduction, three-vectors, spherical coordinates and Euler rotations.
#pragma once

#include <array>

namespace zembrel::astro {

// The program's pi (the double nearest to pi); two pi is always pi + pi.
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = kPi + kPi;

using Vec3 = std::array<double, 3>;

// Truncation toward zero to a 32-bit integer; a value outside that range (or
// not a number) gives the lowest integer, as the hardware conversion does,
// instead of undefined behaviour.
int to_int(double v);
// The same after a small nudge, so that a value left just below a whole
// number by floating error counts as that number.
int whole(double v);

// Packed value (12.34567 = 12 deg 34 min 56.7 s) to decimal degrees or hours.
double ddmmss_to_degree_c(double packed);

// What keeps a packed value from being a sexagesimal one, its minutes and
// seconds read as ddmmss_to_degree_c reads them: minutes of 60 or more
// (10.60), seconds of 60 or more (10.0060, or within 1e-6 s of 60: the same
// 1e-8 of a minute by which a value just below a whole minute counts as that
// minute), or nothing to read (not a number, infinite, or beyond the 32-bit
// degrees the reading takes).  10.30 and 40.5959, stored a little below what
// was typed, are sound; so is any sign.
enum class PackedFault { none, minutes, seconds, unreadable };
PackedFault packed_fault(double packed);

// Decimal value to signed whole degrees, minutes and seconds (no carry).
struct Sexagesimal {
  int degrees;     // carries the sign of the value (0 for -0.5)
  int minutes;     // non-negative
  double seconds;  // non-negative except for floating error
};
Sexagesimal degree_to_ddmmss(double value);

// Decimal value to packed value; the sign of the value is kept.
double degree_to_ddmmss_c(double value);

double degree_to_radian(double degrees);
double radian_to_degree(double radians);

// The angle reduced to one turn, in [0, 2 pi] (a tiny negative gives 2 pi).
double scale_angle(double radians);

Vec3 vector_product(const Vec3& a, const Vec3& b);
double scalar_product(const Vec3& a, const Vec3& b);
double vector_mod(const Vec3& a);

// Radius, latitude-like angle (from the x-y plane) and longitude-like angle
// (from +x toward +y), radians.
struct Spherical {
  double r;
  double latitude;
  double longitude;
};
// Cartesian to spherical: latitude in [-pi/2, pi/2], longitude in (-pi, pi].
Spherical cartesian_spherical(const Vec3& v);
// Spherical to cartesian.
Vec3 cartesian_spherical(const Spherical& s);

// w = R3(a3) R1(a2) R3(a1) v, rotations of the coordinate frame.
Vec3 rotation_3d(double a1, double a2, double a3, const Vec3& v);

}  // namespace zembrel::astro
