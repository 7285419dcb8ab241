// Greenwich mean sidereal time (IAU 1982) and local mean and apparent
// sidereal time.
#pragma once

namespace zembrel::astro {

// Greenwich mean sidereal time at jd (UT1, normally a 0 h instant), packed
// hh.mmss.
double greenwich_mean_sideral(double jd);

struct SiderealTime {
  double local_mean_st;      // decimal hours in [0, 24]
  double local_apparent_st;  // mean plus the equation of the equinoxes (not reduced again)
};
// Longitude in decimal degrees (east positive), jd in UT1.  Reads the
// nutation series for the equation of the equinoxes.
SiderealTime ut_to_st(double longitude, double jd_ut1);

}  // namespace zembrel::astro
