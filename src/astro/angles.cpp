#include "astro/angles.h"

#include <climits>
#include <cmath>

namespace zembrel::astro {

int to_int(double v) {
  return (v > -2147483649.0 && v < 2147483648.0) ? static_cast<int>(v) : INT_MIN;
}
int whole(double v) { return to_int(v + 1e-8); }

namespace {

double sign_of(double x) { return std::signbit(x) ? -1.0 : 1.0; }

}  // namespace

double ddmmss_to_degree_c(double packed) {
  const double a = std::fabs(packed);
  const int d = whole(a);
  const double m100 = (a - d) * 100.0;
  const int m = whole(m100);
  const double s = (m100 - m) * 100.0;
  return (d + m / 60.0 + s / 3600.0) * sign_of(packed);
}

PackedFault packed_fault(double packed) {
  const double a = std::fabs(packed);
  if (!(a < 2147483647.0)) return PackedFault::unreadable;
  const int d = whole(a);
  const double m100 = (a - d) * 100.0;
  const int m = whole(m100);
  if (m >= 60) return PackedFault::minutes;
  const double s = (m100 - m) * 100.0;
  if (s + 1e-6 >= 60.0) return PackedFault::seconds;
  return PackedFault::none;
}

Sexagesimal degree_to_ddmmss(double value) {
  const double sign = sign_of(value);
  const double a = std::fabs(value);
  int d = whole(a);
  const double m60 = (a - d) * 60.0;
  const int m = whole(m60);
  const double s = (m60 - m) * 60.0;
  d = to_int(sign * d);
  return {d, m, s};
}

double degree_to_ddmmss_c(double value) {
  const Sexagesimal p = degree_to_ddmmss(value);
  return sign_of(value) * (std::fabs(static_cast<double>(p.degrees)) + p.minutes / 100.0 + p.seconds / 10000.0);
}

double degree_to_radian(double degrees) { return degrees * kPi / 180.0; }

double radian_to_degree(double radians) { return radians * 180.0 / kPi; }

double scale_angle(double radians) {
  const double q = radians / kTwoPi;
  double k = std::trunc(q);
  if (q < k) k -= 1.0;
  return radians - k * kTwoPi;
}

Vec3 vector_product(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double scalar_product(const Vec3& a, const Vec3& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double vector_mod(const Vec3& a) { return std::sqrt(a[2] * a[2] + (a[0] * a[0] + a[1] * a[1])); }

Spherical cartesian_spherical(const Vec3& v) {
  const double rho2 = v[0] * v[0] + v[1] * v[1];
  Spherical s;
  s.r = std::sqrt(v[2] * v[2] + rho2);
  s.latitude = std::atan(v[2] / std::sqrt(rho2));
  s.longitude = std::atan2(v[1], v[0]);
  return s;
}

Vec3 cartesian_spherical(const Spherical& s) {
  return {s.r * std::cos(s.latitude) * std::cos(s.longitude),
          s.r * std::cos(s.latitude) * std::sin(s.longitude), s.r * std::sin(s.latitude)};
}

namespace {

using Mat3 = std::array<Vec3, 3>;

Mat3 r3(double t) {
  const double c = std::cos(t), s = std::sin(t);
  return {{{c, s, 0.0}, {-s, c, 0.0}, {0.0, 0.0, 1.0}}};
}

Mat3 r1(double t) {
  const double c = std::cos(t), s = std::sin(t);
  return {{{1.0, 0.0, 0.0}, {0.0, c, s}, {0.0, -s, c}}};
}

Vec3 apply(const Mat3& m, const Vec3& v) {
  Vec3 w{};
  for (int i = 0; i < 3; ++i) {
    double sum = 0.0;
    for (int j = 0; j < 3; ++j) sum += m[i][j] * v[j];
    w[i] = sum;
  }
  return w;
}

}  // namespace

Vec3 rotation_3d(double a1, double a2, double a3, const Vec3& v) {
  return apply(r3(a3), apply(r1(a2), apply(r3(a1), v)));
}

}  // namespace zembrel::astro
