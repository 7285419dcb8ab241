#include "ephem/day_search.h"

#include <cmath>

namespace zembrel::ephem {

SearchWork& search_work() {
  static SearchWork work;
  return work;
}

double azimuth_from_north(const astro::Horizontal& h) {
  return astro::radian_to_degree(astro::scale_angle(astro::kPi - h.spherical.longitude));
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
