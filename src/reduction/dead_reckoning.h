// Dead reckoning: where a ship that leaves a position on a steady course
// arrives after running a given distance.
#pragma once

namespace zembrel::reduction {

// A position on the Earth, decimal degrees: latitude positive north,
// longitude positive east.
struct GeoPosition {
  double latitude = 0.0;
  double longitude = 0.0;
};

// Given:
//   from      start, degrees (latitude in [-90, 90]; any longitude)
//   course    true course, radians from north through east
//   run       distance run, nautical miles (one mile is one minute of arc of
//             the sphere); negative runs backwards along the course
// Returned:
//   the arrival, degrees; the longitude is the start's plus the change, not
//   reduced to a range (a caller that wants [-180, 180] reduces it).
// Method: mid-latitude sailing on the sphere: d_lat = run cos C,
// departure p = run sin C, d_lon = p / cos(mid latitude) (Bowditch, The
// American Practical Navigator, "Mid-latitude sailing").  Where the start or
// the arrival lies beyond 89 degrees of latitude the meridians converge too
// fast for it (it divides by the cosine of the mean latitude and can run
// past the pole), and the arrival is taken along the great circle of the
// course instead (the direct problem on the sphere).
// Notes: the arithmetic is kept in the order the fix and the twilight
// planner have always used, so their printed positions do not change.
GeoPosition dead_reckoning(const GeoPosition& from, double course, double run);

}  // namespace zembrel::reduction
