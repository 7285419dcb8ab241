// Menu option 4: the determinant of a line of position (computed altitude,
// azimuth and intercept) from one sight of a named or an unknown body.
#include <cmath>
#include <string>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/horizon.h"
#include "astro/sidereal.h"
#include "astro/time_scales.h"
#include "ephem/apparent_planets.h"
#include "ephem/stars.h"
#include "io/record_io.h"
#include "reduction/body_place.h"
#include "reduction/corrections.h"
#include "reduction/recognition.h"
#include "utilities/answers.h"
#include "utilities/frame.h"
#include "utilities/sight_entry.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

namespace {

using astro::degree_to_ddmmss_c;
using astro::degree_to_radian;
using astro::radian_to_degree;
using astro::scale_angle;
using io::kResults;
using io::kScreen;

constexpr const char* kRule = "----------------------------------------------";
constexpr const char* kTitle = "         DETERMINANTE DE LA RECTA DE ALTURA";

struct Answers {
  reduction::ObservationConditions conditions;
  double latitude = 0.0, longitude = 0.0;
  int day = 0, month = 0, year = 0;
  int body = 0;
  reduction::Sight sight;
  UnknownBodyAnswers unknown;
  int limb = 0;
  int again = 0;
};

void write_openings() { utilities::write_openings({1, kTitle, 48, 38, kTitle, 48, 39, 1, 1}); }

std::string list_name(const ephem::BodyNames& names, int number) {
  if (number == 0) return "Desconocido    ";
  return ephem::body_name(names, number);
}

// The intercept keeps its narrow field while it fits and widens only when it
// would otherwise print as asterisks.
void write_intercept(int channel, double intercept) {
  const bool fits = std::round(intercept * 10.0) > -1000.0 && std::round(intercept * 10.0) < 10000.0;
  io::write_fmt(channel, fits ? "(1x,a15,2x,f5.1)" : "(1x,a15,2x,f7.1)", {"Delta_a (min): ", intercept});
}

// The conditions, the dead-reckoning position, the date, the body and its
// sight (identified when it is unknown) and the Moon's limb; the list
// number of the body is returned.
int read_sight_of_a_body(Answers& a, const ephem::BodyNames& names) {
  io::write_list(kScreen, {" Datos:"});
  io::write_list(kScreen, {" ------"});
  io::write_list(kScreen, {"Condiciones de la observacion:"});
  read_observation_conditions(a.conditions);
  io::write_list(kScreen);
  write_conditions_echo(kResults, a.conditions);

  io::write_list(kScreen, {kPositionText});
  read_position(a.latitude, a.longitude);
  io::write_fmt(kResults, "(a40,2(f10.4,2x))", {kPositionText, a.latitude, a.longitude});
  io::write_list(kResults);
  io::write_list(kResults, {"Datos de la observaci\xC3\xB3n del Astro: "});
  io::write_list(kResults);

  io::write_list(kScreen);
  io::write_list(kScreen, {"Observacion del Astro "});
  read_greenwich_date(a.day, a.month, a.year);
  write_sight_body_list(names);
  read_body_number(a.body, {"Introduce el numero correspondiente al astro observado", 0});
  io::write_fmt(kResults, "(a18,1x,i3,1x,a15)", {" Astro observado: ", a.body, list_name(names, a.body)});

  // An unknown body is identified from the dead-reckoning position.
  a.unknown.latitude = a.latitude;
  a.unknown.longitude = a.longitude;
  const UnknownBody how{"HOUSTON, we got a problem, no he podido identificar ese astro", false, true};
  const int body = read_until_known(a.body, how, a.unknown, a.sight, a.day, a.month, a.year, a.conditions,
                                    [&] { read_sight(a.sight, kReadingPrompt); });
  if (body == astro::kListMoon) {
    io::write_list(kScreen, {"Limbo inferior o superior? (-1 inferior, 1 superior)"});
    io::read_keyboard({&a.limb});
  }
  return body;
}

// The reduction of the sight.
struct LineOfPosition {
  std::string name;
  reduction::DayAndTime shown{};  // the mean instant, on its own date
  double jd_utc = 0.0;
  astro::TimeScales scales;
  bool star = false;
  Coordinates coords{};
  double sd_min = 0.0, hp_min = 0.0;
  double hc = 0.0, zn = 0.0;  // degrees
  reduction::CorrectedAltitude observed;
  double intercept = 0.0;  // minutes of arc
};

// The instant of the sight and its time scales.
LineOfPosition instant_of(const Answers& a, const std::string& name) {
  LineOfPosition r;
  r.name = name;
  r.jd_utc = astro::julian_date(a.year, a.month, a.day, a.sight.mean_time);
  r.shown = reduction::day_and_time(a.day, a.month, a.year, a.sight.mean_time);
  r.scales = astro::time_scales(r.jd_utc);
  return r;
}

// The body's place, its computed altitude and azimuth, the observed altitude
// and the intercept.
void reduce(const Answers& a, int body, const ephem::StarCatalogue& catalogue, LineOfPosition& r) {
  const double theta = astro::ut_to_st(0.0, r.jd_utc).local_apparent_st;
  const ephem::Body b = ephem::body_of_list_number(body, catalogue);
  r.star = b.kind == ephem::Body::Kind::star;
  const reduction::BodyPlace place = reduction::apparent_place(b, r.scales.jd_tt);
  const double lon_deg = astro::ddmmss_to_degree_c(a.longitude);
  const double lat_deg = astro::ddmmss_to_degree_c(a.latitude);
  const astro::Horizontal hz = astro::equatorial_to_horizontal(r.jd_utc, lon_deg, lat_deg, place.direction);
  r.hc = radian_to_degree(hz.spherical.latitude);
  r.zn = radian_to_degree(scale_angle(astro::kPi - hz.spherical.longitude));
  r.coords = coordinates(place.ra, place.dec, degree_to_radian(lon_deg), theta);
  r.sd_min = radian_to_degree(place.sd) * 60.0;
  r.hp_min = radian_to_degree(place.hp) * 60.0;
  r.observed = reduction::correct_altitude(a.sight.mean_altitude, a.conditions, body, a.limb, place.sd, place.hp,
                                           reduction::CorrectionOrder::line_of_position);
  r.intercept = (r.observed.ho - r.hc) * 60.0;
}

// "Resultados", the body and the instant on both channels, then the time
// tables' warnings and the time scales.
void write_heading(const LineOfPosition& r) {
  io::write_list(kResults);
  for (int channel : {kScreen, kResults}) {
    io::write_list(channel, {"Resultados"});
    io::write_list(channel, {"----------"});
    io::write_list(channel);
  }
  for (int channel : {kScreen, kResults}) {
    io::write_fmt(channel, "(a8,a14)", {" Astro: ", r.name});
    io::write_list(channel);
    io::write_fmt(channel, "(a6,1x,i2,1x,i2,1x,i4,1x,f7.4,1x,a9)",
                  {" UTC: ", r.shown.day, r.shown.month, r.shown.year, degree_to_ddmmss_c(r.shown.hours),
                   "(hh.mmss)"});
  }
  io::write_list(kResults);
  write_time_scale_warnings(r.scales);
  for (int channel : {kScreen, kResults}) write_time_scales(channel, r.jd_utc, r.scales);
}

// The place and the computed altitude.  A star's report adds its sidereal
// hour angle (and, on the file, the Aries line again); its local hour angle
// is narrower on the screen.
void write_place(const LineOfPosition& r) {
  const Coordinates& k = r.coords;
  const double hc_shown = degree_to_ddmmss_c(r.hc);
  io::write_list(kScreen, {"SD, PHE (min. arco): ", r.sd_min, r.hp_min});
  io::write_fmt(kScreen, "(a20,1x,f10.7)", {" alpha (hh.mmsssss):", k.alpha});
  io::write_fmt(kScreen, "(a20,1x,f10.6)", {" delta (gg.mmsss):  ", k.delta});
  io::write_fmt(kScreen, "(a20,1x,f15.7)", {" hG* (gg.mmsssss):  ", k.gha});
  io::write_fmt(kScreen, r.star ? "(a20,1x,f11.7)" : "(a20,1x,f15.7)", {" hL* (gg.mmsssss):  ", k.lha});
  if (r.star) io::write_fmt(kScreen, "(a27,1x,f15.7)", {" Angulo sidereo (gg.mmss): ", k.sidereal});
  io::write_fmt(kScreen, "(a20,1x,f15.7)", {" hG_Aries(gg.mmss): ", k.aries});
  if (!r.star) io::write_list(kScreen);
  io::write_fmt(kScreen, "(a30,1x,f12.6)", {" Altura estimada (gg.mmssss): ", hc_shown});
  io::write_fmt(kScreen, "(a18,1x,f7.2)", {" Azimut (ggg.gg): ", r.zn});

  io::write_list(kResults, {"SD, PHE (min. arco): ", r.sd_min, r.hp_min});
  io::write_fmt(kResults, "(a20,1x,f10.7)", {" alpha (hh.mmsssss):", k.alpha});
  io::write_fmt(kResults, "(a20,1x,f10.6)", {" delta (gg.mmsss):  ", k.delta});
  io::write_fmt(kResults, "(a20,1x,f11.7)", {" hG* (gg.mmsssss):  ", k.gha});
  io::write_fmt(kResults, "(a20,1x,f11.7)", {" hL* (gg.mmsssss):  ", k.lha});
  io::write_fmt(kResults, "(a20,1x,f11.7)", {" hG_Aries(gg.mmss): ", k.aries});
  if (r.star) {
    io::write_fmt(kResults, "(a27,1x,f11.7)", {" Angulo sidereo (gg.mmss): ", k.sidereal});
    io::write_fmt(kResults, "(a20,1x,f11.7)", {" hG_Aries(gg.mmss): ", k.aries});
  }
  io::write_list(kResults);
  io::write_fmt(kResults, "(a30,1x,f12.6)",
                {r.star ? " Altura estimada (dd.mmssss): " : " Altura estimada (gg.mmssss): ", hc_shown});
  io::write_fmt(kResults, "(a18,1x,f7.2)", {" Azimut (ggg.gg): ", r.zn});
}

// The determinant: the file's copy, then the screen's (whose labels differ).
void write_determinant(const Answers& a, const LineOfPosition& r) {
  const double time_shown = degree_to_ddmmss_c(r.shown.hours);
  io::write_fmt(kResults, "(a38,1x,a15)", {" Determinante de la recta de altura de ", r.name});
  io::write_list(kResults, {kRule});
  io::write_list(kResults);
  io::write_fmt(kResults, "(a40,2(f10.4,2x))", {kPositionText, a.latitude, a.longitude});
  io::write_list(kResults);
  write_greenwich_date(kResults, r.shown.day, r.shown.month, r.shown.year, time_shown);
  io::write_list(kResults);
  write_intercept(kResults, r.intercept);
  io::write_fmt(kResults, "(a18,1x,f7.2)", {" Azimut (ggg.gg): ", r.zn});
  io::write_list(kResults);

  io::write_fmt(kScreen, "(a39,1x,a15)", {" Determinante de la recta de altura de ", r.name});
  io::write_list(kScreen, {kRule});
  io::write_list(kScreen);
  // "(gg.mm  ss)" [sic], cut before its colon by the a40 field.
  io::write_fmt(kScreen, "(a40,2(f10.4,2x))", {"Situacion estimada: lat  lon (gg.mm  ss):", a.latitude, a.longitude});
  io::write_list(kScreen);
  write_greenwich_date(kScreen, r.shown.day, r.shown.month, r.shown.year, time_shown);
  io::write_list(kScreen);
  write_intercept(kScreen, r.intercept);
  io::write_fmt(kScreen, "(a18,1x,f7.2)", {" Azimut (ggg.gg): ", r.zn});
}

void one_calculation(Answers& a, const ephem::StarCatalogue& catalogue, const ephem::BodyNames& names) {
  const int body = read_sight_of_a_body(a, names);
  LineOfPosition r = instant_of(a, list_name(names, body));
  write_heading(r);
  reduce(a, body, catalogue, r);
  write_place(r);
  for (int channel : {kScreen, kResults}) {
    io::write_list(channel);
    print_altitude_corrections(channel, r.observed.corrections, r.observed.ho);
    io::write_list(channel);
  }
  write_determinant(a, r);
}

}  // namespace

void recta_altura() {
  const ephem::StarCatalogue catalogue = ephem::read_star_catalogue();
  const ephem::BodyNames names = ephem::body_names(catalogue);
  write_openings();
  Answers answers;
  repeat_calculations(answers.again, Separator::hyphens, [&] { one_calculation(answers, catalogue, names); });
}

}  // namespace zembrel::utilities
