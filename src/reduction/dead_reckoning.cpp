#include "reduction/dead_reckoning.h"

#include <algorithm>
#include <cmath>

#include "astro/angles.h"

namespace zembrel::reduction {

namespace {

constexpr double kPolarLatitude = 89.0;  // degrees

// The direct problem on the unit sphere: from (lat, in radians) along the
// initial course over the angular distance d; latitude and change of
// longitude, radians.
struct GreatCircle {
  double latitude;
  double dlon;
};
GreatCircle great_circle(double lat, double course, double d) {
  const double s = std::clamp(
      std::sin(lat) * std::cos(d) + std::cos(lat) * std::sin(d) * std::cos(course), -1.0, 1.0);
  const double dlon =
      std::atan2(std::sin(course) * std::sin(d) * std::cos(lat), std::cos(d) - std::sin(lat) * s);
  return {std::asin(s), dlon};
}

}  // namespace

GeoPosition dead_reckoning(const GeoPosition& from, double course, double run) {
  using astro::degree_to_radian;
  using astro::radian_to_degree;
  const double departure = degree_to_radian(run * std::sin(course) / 60.0);
  const double dlat = degree_to_radian(run * std::cos(course) / 60.0);
  const double lat1 = degree_to_radian(from.latitude);
  const double lat2 = lat1 + dlat;
  if (std::fabs(from.latitude) <= kPolarLatitude && std::fabs(radian_to_degree(lat2)) <= kPolarLatitude) {
    const double dlon = departure / std::cos((lat1 + lat2) / 2.0);
    return {radian_to_degree(lat2), from.longitude + radian_to_degree(dlon)};
  }
  const GreatCircle g = great_circle(lat1, course, degree_to_radian(run / 60.0));
  return {radian_to_degree(g.latitude), from.longitude + radian_to_degree(g.dlon)};
}

}  // namespace zembrel::reduction
