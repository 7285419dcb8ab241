// Crossing of two circles of equal altitude on the unit sphere, in closed
// form: the two points from which two bodies stand at the given altitudes.
#pragma once

namespace zembrel::reduction {

// The two crossings, radians: latitude in [-pi/2, pi/2], longitude east
// positive in (-pi, pi].  `a` is the more northerly one; for tangent circles
// both are the same point.
struct CircleCrossings {
  double lat_a;
  double lon_a;
  double lat_b;
  double lon_b;
};

// Each circle is given by its centre (longitude east positive, i.e. right
// ascension minus Greenwich sidereal time, and latitude = declination) and by
// the true altitude of its body; all radians.  Circles that do not meet,
// both centres on one meridian (or opposite meridians) or a centre at a pole
// give crossings that are not numbers, which every later comparison rejects.
CircleCrossings corte_circulos_altura(double lon1, double lat1, double h1, double lon2,
                                      double lat2, double h2);

}  // namespace zembrel::reduction
