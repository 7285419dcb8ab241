#include "astro/sidereal.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/constants.h"
#include "astro/precession_nutation.h"

namespace zembrel::astro {

namespace {

// An angle in degrees reduced to one turn through radians, as hours.
double degrees_to_hours_in_day(double degrees) {
  return radian_to_degree(scale_angle(degree_to_radian(degrees))) / 15.0;
}

}  // namespace

// IAU 1982 expression of GMST at 0 h UT1 (Aoki et al. 1982, Astron.
// Astrophys. 105, 359), in seconds of time.
double greenwich_mean_sideral(double jd) {
  const double t = (jd - kJ2000) / kJulianCentury;
  const double s = 24110.54841 + 8640184.812866 * t + 0.093104 * (t * t) - 6.2e-6 * (t * t * t);
  return degree_to_ddmmss_c(degrees_to_hours_in_day(s * 15.0 / 3600.0));
}

SiderealTime ut_to_st(double longitude, double jd_ut1) {
  const SplitJulianDate split = split_julian_date(jd_ut1);
  const double g0 = ddmmss_to_degree_c(greenwich_mean_sideral(split.jd0));
  SiderealTime st;
  // 1.00273790935: sidereal per solar time (Aoki et al. 1982).
  const double lmst = longitude / 15.0 + split.hours * 1.00273790935 + g0;
  st.local_mean_st = degrees_to_hours_in_day(lmst * 15.0);
  const Nutation n = nutation_parameters(jd_ut1);
  // Equation of the equinoxes, dpsi cos(eps0) (IAU 1982 convention).
  const double equation_of_equinoxes = radian_to_degree(n.dpsi * std::cos(n.eps0)) / 15.0;
  st.local_apparent_st = st.local_mean_st + equation_of_equinoxes;
  return st;
}

}  // namespace zembrel::astro
