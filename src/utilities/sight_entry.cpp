#include "utilities/sight_entry.h"

#include <string>

#include "astro/angles.h"
#include "astro/constants.h"
#include "io/format.h"
#include "io/record_io.h"
#include "utilities/answers.h"
#include "utilities/frame.h"

namespace zembrel::utilities {

using astro::degree_to_ddmmss_c;
using io::kResults;
using io::kScreen;

void read_observation_conditions(reduction::ObservationConditions& c) {
  io::write_list(kScreen, {"Altura del observador sobre el nivel del mar (metros):"});
  read_height(c.height);
  io::write_list(kScreen, {"Error de indice del sextante (min. arco):"});
  io::read_keyboard({&c.index_error});
  io::write_list(kScreen, {"Condiniciones meteorologicas anormales? (1 Si 0 No)"});  // [sic]
  io::read_keyboard({&c.abnormal_weather});
  if (c.abnormal_weather == 1) {
    io::write_list(kScreen, {"Presion atmosferica (hPa)  temperatura (C)"});
    read_weather(c.pressure, c.temperature);
  } else {
    c.pressure = astro::kStandardPressure;
    c.temperature = astro::kStandardTemperature;
  }
}

void write_conditions_lines(int channel, const reduction::ObservationConditions& c) {
  // The a42 field keeps the label without its final blank ("error  de" [sic]).
  io::write_fmt(channel, "(a42,1x,f5.2,1x,f5.1)",
                {" Altura del observador y error  de indice: ", c.height, c.index_error});
  if (c.abnormal_weather == 1) {
    io::write_list(channel);
    io::write_fmt(channel, "(a50,1x,f5.0,1x,f6.1)",
                  {" Meteorologia anomala. Presion (hPa) y Temp. (C): ", c.pressure, c.temperature});
  }
}

void write_conditions_echo(int channel, const reduction::ObservationConditions& c) {
  io::write_list(channel);
  io::write_list(channel, {" Datos:"});
  io::write_list(channel, {" ------"});
  io::write_list(channel);
  write_conditions_lines(channel, c);
  io::write_list(channel);
}

int read_body_number(int& answer, const BodyQuestion& q) {
  // Only the list numbers of a body (and 0, where allowed) can be reduced.
  for (;;) {
    io::write_list(kScreen, {q.prompt});
    io::read_keyboard({&answer});
    if (answer >= q.lowest && answer <= astro::kListSaturn) return answer;
    io::write_list(kScreen, {"Numero no valido: elige un astro de " + std::to_string(q.lowest) + " a " +
                             std::to_string(astro::kListSaturn) + "."});
  }
}

void read_readings(reduction::Sight& s, std::string_view prompt) {
  // Six readings is what a sight holds; any other count is asked again.
  for (;;) {
    io::write_list(kScreen, {"Numero de medidas realizadas? (minimo 1 maximo 6)"});
    io::read_keyboard({&s.count});
    if (s.count >= 1 && s.count <= reduction::kMaxReadings) break;
    io::write_list(kScreen, {refusal_text("Numero de medidas", "1 a 6", "el numero")});
  }
  io::write_list(kResults, {"Horas UTC (hh.mmss)  alt. inst. (gg.mmss) medidas:"});
  for (int i = 0; i < s.count; ++i) {
    io::write_list(kScreen, {prompt, i + 1});
    read_reading(s.times[i], s.altitudes[i]);
    io::write_fmt(kResults, "(2x,2(f7.4,4x))", {s.times[i], s.altitudes[i]});
  }
}

void write_means(int channel, double mean_time, double mean_altitude) {
  io::write_fmt(channel, "(a28,1x,f7.4,2x,f7.4)",
                {" Medias (hh.mmss  gg.mmss): ", degree_to_ddmmss_c(reduction::hours_of_day(mean_time)),
                 degree_to_ddmmss_c(mean_altitude)});
}

void read_sight(reduction::Sight& s, std::string_view prompt) {
  read_readings(s, prompt);
  const reduction::SightMeans m = reduction::mean_of_readings(s);
  s.mean_time = m.time;
  s.mean_altitude = m.altitude;
  io::write_list(kResults);
  io::write_list(kScreen);
  write_means(kScreen, s.mean_time, s.mean_altitude);
  write_means(kResults, s.mean_time, s.mean_altitude);
  io::write_list(kResults);
}

reduction::Recognition recognise(double latitude, double longitude, int day, int month, int year,
                                 const reduction::Sight& sight, double azimuth,
                                 const reduction::ObservationConditions& conditions) {
  const reduction::SightInstant at = reduction::sight_instant(day, month, year, sight.mean_time);
  write_time_scale_warnings(at.scales);
  const reduction::Recognition r =
      reduction::reconoce(latitude, longitude, at, sight.mean_altitude, azimuth, conditions);
  io::write_list(kScreen);  // between the star places and the planets' (an empty line)
  if (r.body != 0) return r;
  io::write_list(kScreen);
  io::write_list(kScreen);
  io::write_list(kScreen, {" HOUSTON, WE GOT A PROBLEN: no he podido identificar ese astro"});  // [sic]
  io::write_list(kScreen);
  io::write_list(kScreen, {" \xC2\xBFSeguro que has introducido los datos correctamente?"});
  io::write_list(kScreen, {" \xC2\xBFSer\xC3\xA1 una nueva supernova que acabas de descubrir?"});
  io::write_list(kScreen, {" \xC2\xBFTal vez un OVNI?"});
  io::write_list(kScreen);
  return r;
}

namespace {

// The identification questions of an unknown body and their echo.
void read_identification(const UnknownBody& how, UnknownBodyAnswers& a) {
  io::write_list(kResults, {"Identificacion del astro desconocido:"});
  io::write_list(kScreen);
  io::write_list(kScreen, {"Identificacion del astro desconocido:"});
  if (how.asks_position) {
    io::write_list(kScreen, {kPositionText});
    read_position(a.latitude, a.longitude);
  }
  io::write_list(kScreen, {"Azimut circular de astro desconocido:"});
  read_azimuth(a.azimuth);
  if (how.asks_position) io::write_fmt(kResults, "(a40,2(f10.4,2x))", {kPositionText, a.latitude, a.longitude});
  io::write_fmt(kResults, "(a47,1x,f6.2)", {"Azimut circular de astro desconocido (ggg.gg):", a.azimuth});
}

// An unknown body once recognised: the screen lines, then the results file's.
void write_recognised(const UnknownBody& how, int body, const std::string& name) {
  io::write_list(kScreen);
  if (how.number_on_own_line) {
    io::write_list(kScreen, {"El astro desconocido es ", name});
    io::write_list(kScreen, {"Numero ", body});
  } else {
    io::write_list(kScreen, {"El astro desconocido es ", body, name});
  }
  io::write_list(kScreen);
  io::write_list(kResults);
  io::write_list(kResults, {"El astro desconocido es ", body, name});
}

}  // namespace

int read_until_known(int body, const UnknownBody& how, UnknownBodyAnswers& a, const reduction::Sight& sight,
                     int day, int month, int year, const reduction::ObservationConditions& conditions,
                     const std::function<void()>& read_readings) {
  for (;;) {
    read_readings();
    if (body != astro::kUnknownBody) return body;
    read_identification(how, a);
    const reduction::Recognition r =
        recognise(a.latitude, a.longitude, day, month, year, sight, a.azimuth, conditions);
    if (r.body != 0) {
      write_recognised(how, r.body, r.name);
      return r.body;
    }
    io::write_list(kResults, {how.not_recognised});
    io::write_list(kScreen);
    io::write_list(kScreen, {"Introduce nuevamente los datos medidos de este astro"});
    io::write_list(kScreen);
  }
}

void write_corrections_line(int channel, double index_error, double dip, double semidiameter,
                            double refraction, double parallax) {
  std::string format = "(a47,1x";
  for (double v : {index_error, dip, semidiameter, refraction, parallax}) {
    format += ",f" + std::to_string(io::format::fitting_width(v, 7, 4)) + ".4,3x";
  }
  format += ")";
  io::write_fmt(channel, format,
                {" Correcciones a la altura: Ei,Dp,SD,R,P (min): ", index_error, dip, semidiameter, refraction,
                 parallax});
}

void print_altitude_corrections(int channel, const reduction::AltitudeCorrections& k, double ho,
                                std::string_view altitude_format) {
  write_corrections_line(channel, k.index_error, k.minus_dip, k.semidiameter, k.minus_refraction, k.parallax);
  io::write_fmt(channel, altitude_format,
                {" Altura verdadera, distancia cenital (gg.mmss): ", degree_to_ddmmss_c(ho),
                 degree_to_ddmmss_c(90.0 - ho)});
}

}  // namespace zembrel::utilities
