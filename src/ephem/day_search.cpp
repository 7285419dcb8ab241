#include "ephem/day_search.h"

#include <cmath>

#include "astro/precession_nutation.h"
#include "ephem/jpl_file.h"

namespace zembrel::ephem {

SearchData search_data() { return {ephemeris_generation(), astro::nutation_generation()}; }

SearchWork& search_work() {
  static SearchWork work;
  return work;
}

double azimuth_from_north(const astro::Horizontal& h) {
  return astro::radian_to_degree(astro::scale_angle(astro::kPi - h.spherical.longitude));
}

namespace {
constexpr double kFunctionMargin = 1e-8;  // radians
constexpr double kTimeMargin = 1e-7;      // hours
double reach(double margin, double rate) { return margin > 0.0 ? margin / rate - kTimeMargin : 0.0; }
}  // namespace

double altitude_reach(double f, double latitude, double rate) {
  const double turn = kSiderealRate * std::cos(astro::degree_to_radian(latitude)) + rate;
  return std::fmax(0.0, reach(std::fabs(f) - kFunctionMargin, turn));
}

double meridian_reach(double y, const astro::Vec3& position, double rate) {
  const double rho = std::hypot(position[0], position[1]);
  const double r = astro::vector_mod(position);
  const double cos_dec = rho / r - 4.0 * rate;
  if (!(rho > 1e-6 * r) || !(cos_dec > 0.0)) return 0.0;
  return std::fmax(0.0, reach(std::fabs(y) / rho - kFunctionMargin, kSiderealRate + rate / cos_dec));
}

double transit_kind(const astro::Vec3& hv, double latitude) {
  if (hv[2] < 0.0) return 0.0;
  // Upper or lower culmination: compare with the elevated pole, which lies
  // to the north of a northern observer and to the south of a southern one.
  const double side = latitude >= 0.0 ? 1.0 : -1.0;
  const double q = side * hv[0] / std::sqrt(hv[0] * hv[0] + hv[1] * hv[1] + hv[2] * hv[2]);
  const double c = -std::cos(astro::degree_to_radian(latitude));
  return q < c ? -1.0 : 1.0;  // q == c counts as an upper transit
}

}  // namespace zembrel::ephem
