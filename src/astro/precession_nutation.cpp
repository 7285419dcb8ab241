#include "astro/precession_nutation.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

#include "astro/constants.h"
#include "io/data_path.h"
#include "io/file_cache.h"
#include "io/record_io.h"

namespace zembrel::astro {

namespace {

constexpr const char* kSeriesFile = "nutation_IAU1980.dat";
constexpr const char* kSeriesFormat = "(5i3,8x,2f10.1,1x,f9.1,f10.1)";

// One term: multipliers of l, l', F, D, Omega; sine coefficient of the
// nutation in longitude and its rate per century; cosine coefficient of the
// nutation in obliquity and its rate (units of 0.0001 arcsecond).
struct Term {
  int m[5];
  double a, a_rate, b, b_rate;
  double multiplier[5];  // m as doubles (exact), for the series loop
};
using Series = std::array<Term, kNutationTerms>;

Series load_series(const std::string& name) {
  errno = 0;
  std::ifstream in(name);
  if (!in.is_open()) io::runtime_error("nutation_parameters", io::cannot_open_message(name));
  Series series{};
  std::string line;
  for (int k = 0; k < kNutationTerms; ++k) {
    const std::string where =
        "nutation_parameters, file " + name + ", record " + std::to_string(k + 1);
    if (!std::getline(in, line)) io::runtime_error(where, "End of file");
    Term& t = series[k];
    const io::ReadResult r = io::read_formatted(
        kSeriesFormat, line,
        {&t.m[0], &t.m[1], &t.m[2], &t.m[3], &t.m[4], &t.a, &t.a_rate, &t.b, &t.b_rate});
    if (r.status == io::ReadStatus::bad_integer) {
      io::runtime_error(where, "Bad value during integer read");
    } else if (r.status != io::ReadStatus::ok) {
      io::runtime_error(where, "Bad value during floating point read");
    }
    for (int i = 0; i < 5; ++i) t.multiplier[i] = t.m[i];
  }
  return series;
}

// A fundamental argument in radians reduced to one turn: constant term and
// fractional rate are packed sexagesimal values, whole revolutions per
// century are given in degrees, and the T^2, T^3 part is in arcseconds.
double argument(double packed_constant, double packed_rate, double revolutions_deg, double t,
                double arcsec_terms) {
  const double deg = ddmmss_to_degree_c(packed_constant) +
                     (ddmmss_to_degree_c(packed_rate) + revolutions_deg) * t + arcsec_terms / 3600.0;
  return scale_angle(degree_to_radian(deg));
}

double centuries(double jd) { return (jd - kJ2000) / kJulianCentury; }

}  // namespace

// IAU 1980 mean obliquity (Lieske et al. 1977, Astron. Astrophys. 58, 1).
double mean_obliquity(double jd) {
  const double t = centuries(jd);
  const double arcsec = ((0.001813 * t - 0.00059) * t - 46.815) * t + 84381.448;
  return degree_to_radian(arcsec / 3600.0);
}

namespace {

// scale_angle's arithmetic, here where the series loop can have it inline.
inline double reduce_to_turn(double radians) {
  const double q = radians / kTwoPi;
  double k = std::trunc(q);
  if (q < k) k -= 1.0;
  return radians - k * kTwoPi;
}

// IAU 1980 nutation: the 106-term series of the file with the fundamental
// arguments of Seidelmann (1982, Celest. Mech. 27, 79).
Nutation evaluate_nutation(const Series& series, double jd) {
  Nutation n{};
  n.eps0 = mean_obliquity(jd);
  const double t = centuries(jd);
  const double t2 = t * t, t3 = t * t * t;
  const double om = argument(125.024028, -134.0810539, -1800.0, t, 7.455 * t2 + 0.008 * t3);
  const double d = argument(297.5101307, 307.0641328, 444960.0, t, 0.019 * t3 - 6.891 * t2);
  const double f = argument(93.1618877, 82.0103137, 483120.0, t, 0.011 * t3 - 13.257 * t2);
  const double lp = argument(357.3139804, 359.0301224, 35640.0, t, -0.577 * t2 - 0.012 * t3);
  const double l = argument(134.5746733, 198.5202633, 477000.0, t, 31.31 * t2 + 0.064 * t3);

  double dpsi = 0.0, deps = 0.0;
  for (const Term& term : series) {
    const double* m = term.multiplier;
    const double a = reduce_to_turn(m[0] * l + m[1] * lp + m[2] * f + m[3] * d + m[4] * om);
    dpsi += (term.a + term.a_rate * t) * std::sin(a);
    deps += (term.b + term.b_rate * t) * std::cos(a);
  }
  n.dpsi = degree_to_radian(dpsi / 3.6e7);
  n.deps = degree_to_radian(deps / 3.6e7);
  n.eps = n.eps0 + n.deps;
  return n;
}

// Results kept, by the instant (compared bit for bit) and the parse of the
// series they came from: an apparent place and the sidereal time of the
// same instant ask for the same nutation, and the day searches ask again for
// the instants of their scans.
struct NutationKey {
  std::uint64_t jd = 0;
  std::uint64_t generation = 0;
  bool operator==(const NutationKey&) const = default;
  std::uint64_t hash() const { return (jd * 0x9E3779B97F4A7C15ull) >> 40; }
};
using NutationMemo = io::HashedMemo<NutationKey, Nutation, 1024>;

io::FileCache<Series>& series_cache() {
  static io::FileCache<Series> cache;
  return cache;
}

const Series& current_series() {
  io::FileCache<Series>& cache = series_cache();
  if (const Series* known = cache.trusted()) return *known;
  return cache.get(io::data_file_path(kSeriesFile, "nutation_parameters"), load_series);
}

}  // namespace

std::uint64_t nutation_generation() {
  current_series();
  return series_cache().generation();
}

Nutation nutation_parameters(double jd) {
  static NutationMemo memo;
  const io::FileCache<Series>& cache = series_cache();
  const Series& series = current_series();
  if (!io::caches_enabled()) return evaluate_nutation(series, jd);
  const NutationKey key{std::bit_cast<std::uint64_t>(jd), cache.generation()};
  if (const Nutation* known = memo.find(key)) return *known;
  const Nutation n = evaluate_nutation(series, jd);
  memo.store(key, n);
  return n;
}

// IAU 1976 precession angles zeta, z, theta (Lieske et al. 1977, eq. 6).
Vec3 precession_ecuatoriales(double jd_from, double jd_to, const Vec3& v) {
  const double t0 = centuries(jd_from);
  const double t = centuries(jd_to) - t0;
  const double t2 = t * t, t3 = t * t * t;
  const double zeta = (2306.2181 + 1.39656 * t0 - 0.000139 * (t0 * t0)) * t +
                      (0.30188 - 0.000345 * t0) * t2 + 0.017998 * t3;
  const double theta = (2004.3109 - 0.8533 * t0 - 0.000217 * (t0 * t0)) * t -
                       (0.42665 + 0.000217 * t0) * t2 - 0.041833 * t3;
  const double z = zeta + (0.7928 + 0.000411 * t0) * t2 + 0.000205 * t3;
  const double zeta_r = degree_to_radian(zeta / 3600.0);
  const double theta_r = degree_to_radian(theta / 3600.0);
  const double z_r = degree_to_radian(z / 3600.0);
  return rotation_3d(kPi / 2.0 - zeta_r, theta_r, -kPi / 2.0 - z_r, v);
}

Vec3 nutation_ecuatoriales(double eps0, double eps, double dpsi, const Vec3& v) {
  const Vec3 u = rotation_3d(0.0, eps0, -dpsi, v);
  return rotation_3d(0.0, -eps, 0.0, u);
}

}  // namespace zembrel::astro
