#include "reduction/corrections.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/horizon.h"
#include "astro/constants.h"

namespace zembrel::reduction {

using astro::ddmmss_to_degree_c;
using astro::degree_to_radian;
using astro::radian_to_degree;

SightMeans mean_of_readings(const Sight& s) {
  // Never read past the six slots nor divide by zero.
  const int n = s.count < 1 ? 0 : (s.count > kMaxReadings ? kMaxReadings : s.count);
  if (n == 0) return {0.0, 0.0};
  double time_sum = 0.0, altitude_sum = 0.0;
  const double first = ddmmss_to_degree_c(s.times[0]);
  for (int i = 0; i < n; ++i) {
    double t = ddmmss_to_degree_c(s.times[i]);
    if (t - first > 12.0) t -= 24.0;
    if (t - first < -12.0) t += 24.0;
    time_sum += t;
    altitude_sum += ddmmss_to_degree_c(s.altitudes[i]);
  }
  return {time_sum / n, altitude_sum / n};
}

double hours_of_day(double hours) {
  if (hours >= 0.0 && hours < 24.0) return hours;
  const double h = hours - 24.0 * std::floor(hours / 24.0);
  return h >= 24.0 ? 0.0 : h;
}

DayAndTime day_and_time(int day, int month, int year, double hours) {
  if (hours >= 0.0 && hours < 24.0) return {day, month, year, hours};
  const double days = std::floor(hours / 24.0);
  const astro::CalendarDate d = astro::gregorian_date(astro::julian_date(year, month, day, 0.0) + days);
  return {d.day, d.month, d.year, hours_of_day(hours)};
}

double dip_of_horizon(double height_m) { return astro::kDipFactor * std::sqrt(height_m); }

CorrectedAltitude correct_altitude(double hs, const ObservationConditions& c, int body, int limb,
                                   double sd, double hp, CorrectionOrder order) {
  const double dip = dip_of_horizon(c.height);
  const double h1 = hs + (c.index_error - dip) / 60.0;
  // The refraction belongs to the observed limb, before any semidiameter.
  const double r = astro::refraction(h1, c.pressure, c.temperature);
  const double hp_deg = radian_to_degree(hp);
  double sd_deg = radian_to_degree(sd);
  if (body == astro::kListMoon) {
    // Seen from the observer the Moon is nearer than from the Earth's centre.
    sd_deg *= 1.0 + std::sin(hp) * std::sin(degree_to_radian(h1 - r / 60.0));
  }
  double applied_sd = sd_deg;  // the Sun, and the lower limb
  if (body == astro::kListMoon && limb == 1) applied_sd = -sd_deg;
  if (body == astro::kListMoon && limb != 1 && limb != -1) applied_sd = 0.0;

  CorrectedAltitude out;
  double p;
  if (order == CorrectionOrder::line_of_position) {
    const double h2 = h1 + applied_sd;
    p = hp_deg * std::cos(degree_to_radian(h2));
    out.ho = h2 - r / 60.0 + p;
  } else {
    const double h3 = h1 - r / 60.0 + applied_sd;
    p = hp_deg * std::cos(degree_to_radian(h3));
    out.ho = h3 + p;
  }
  out.corrections = {c.index_error, -dip, sd_deg * 60.0, -r, p * 60.0};
  return out;
}

double horizontal_parallax(double distance_au) {
  return std::asin(astro::kEarthRadiusKm / (distance_au * astro::kAuKm));
}

double correct_altitude_simple(double hs, const ObservationConditions& c) {
  const double h1 = hs + (c.index_error - dip_of_horizon(c.height)) / 60.0;
  return h1 - astro::refraction(h1, c.pressure, c.temperature) / 60.0;
}

}  // namespace zembrel::reduction
