#include "reduction/corrections.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/horizon.h"
#include "ephem/jpl_file.h"
#include "io/record_io.h"

namespace zembrel::reduction {

using astro::ddmmss_to_degree_c;
using astro::degree_to_ddmmss_c;
using astro::degree_to_radian;
using astro::radian_to_degree;
using io::kResults;
using io::kScreen;

void read_observation_conditions(ObservationConditions& c) {
  io::write_list(kScreen, {"Altura del observador sobre el nivel del mar (metros):"});
  io::read_keyboard({&c.height});
  io::write_list(kScreen, {"Error de indice del sextante (min. arco):"});
  io::read_keyboard({&c.index_error});
  io::write_list(kScreen, {"Condiniciones meteorologicas anormales? (1 Si 0 No)"});
  io::read_keyboard({&c.abnormal_weather});
  if (c.abnormal_weather == 1) {
    io::write_list(kScreen, {"Presion atmosferica (hPa)  temperatura (C)"});
    io::read_keyboard({&c.pressure, &c.temperature});
  } else {
    c.pressure = 1010.0;
    c.temperature = 10.0;
  }
}

void write_conditions_lines(int channel, const ObservationConditions& c) {
  // The a42 field keeps the label without its final blank.
  io::write_fmt(channel, "(a42,1x,f5.2,1x,f5.1)",
                {" Altura del observador y error  de indice: ", c.height, c.index_error});
  if (c.abnormal_weather == 1) {
    io::write_list(channel);
    io::write_fmt(channel, "(a50,1x,f5.0,1x,f6.1)",
                  {" Meteorologia anomala. Presion (hPa) y Temp. (C): ", c.pressure, c.temperature});
  }
}

void write_conditions_echo(int channel, const ObservationConditions& c) {
  io::write_list(channel);
  io::write_list(channel, {" Datos:"});
  io::write_list(channel, {" ------"});
  io::write_list(channel);
  write_conditions_lines(channel, c);
  io::write_list(channel);
}

void read_readings(Sight& s, std::string_view prompt) {
  // Six readings is what a sight holds; any other count is asked again.
  do {
    io::write_list(kScreen, {"Numero de medidas realizadas? (minimo 1 maximo 6)"});
    io::read_keyboard({&s.count});
  } while (s.count < 1 || s.count > kMaxReadings);
  io::write_list(kResults, {"Horas UTC (hh.mmss)  alt. inst. (gg.mmss) medidas:"});
  for (int i = 0; i < s.count; ++i) {
    io::write_list(kScreen, {prompt, i + 1});
    io::read_keyboard({&s.times[i], &s.altitudes[i]});
    io::write_fmt(kResults, "(2x,2(f7.4,4x))", {s.times[i], s.altitudes[i]});
  }
}

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

void write_means(int channel, double mean_time, double mean_altitude) {
  io::write_fmt(channel, "(a28,1x,f7.4,2x,f7.4)",
                {" Medias (hh.mmss  gg.mmss): ", degree_to_ddmmss_c(hours_of_day(mean_time)),
                 degree_to_ddmmss_c(mean_altitude)});
}

void read_sight(Sight& s, std::string_view prompt) {
  read_readings(s, prompt);
  const SightMeans m = mean_of_readings(s);
  s.mean_time = m.time;
  s.mean_altitude = m.altitude;
  io::write_list(kResults);
  io::write_list(kScreen);
  write_means(kScreen, s.mean_time, s.mean_altitude);
  write_means(kResults, s.mean_time, s.mean_altitude);
  io::write_list(kResults);
}

double dip_of_horizon(double height_m) { return 1.7757 * std::sqrt(height_m); }

CorrectedAltitude correct_altitude(double hs, const ObservationConditions& c, int body, int limb,
                                   double sd, double hp, CorrectionOrder order) {
  const double dip = dip_of_horizon(c.height);
  const double h1 = hs + (c.index_error - dip) / 60.0;
  // The refraction belongs to the observed limb, before any semidiameter.
  const double r = astro::refraction(h1, c.pressure, c.temperature);
  const double hp_deg = radian_to_degree(hp);
  double sd_deg = radian_to_degree(sd);
  if (body == kMoon) {
    // Seen from the observer the Moon is nearer than from the Earth's centre.
    sd_deg *= 1.0 + std::sin(hp) * std::sin(degree_to_radian(h1 - r / 60.0));
  }
  double applied_sd = sd_deg;  // the Sun, and the lower limb
  if (body == kMoon && limb == 1) applied_sd = -sd_deg;
  if (body == kMoon && limb != 1 && limb != -1) applied_sd = 0.0;

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
  constexpr double kEarthRadiusKm = 6378.1363;
  return std::asin(kEarthRadiusKm / (distance_au * ephem::kAuKm));
}

double correct_altitude_simple(double hs, const ObservationConditions& c) {
  const double h1 = hs + (c.index_error - dip_of_horizon(c.height)) / 60.0;
  return h1 - astro::refraction(h1, c.pressure, c.temperature) / 60.0;
}

void print_altitude_corrections(int channel, const AltitudeCorrections& k, double ho,
                                std::string_view altitude_format) {
  io::write_fmt(channel, "(a47,1x,5(f7.4,3x))",
                {" Correcciones a la altura: Ei,Dp,SD,R,P (min): ", k.index_error, k.minus_dip,
                 k.semidiameter, k.minus_refraction, k.parallax});
  io::write_fmt(channel, altitude_format,
                {" Altura verdadera, distancia cenital (gg.mmss): ", degree_to_ddmmss_c(ho),
                 degree_to_ddmmss_c(90.0 - ho)});
}

}  // namespace zembrel::reduction
