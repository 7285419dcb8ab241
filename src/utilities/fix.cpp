// Menu option 5: fix from two or three sights without dead reckoning.  Two
// circles of equal altitude give two candidate positions at the instant of
// the second sight (the first circle advanced for the run between the sights
// when the ship moved); a third sight, with both candidates carried to its
// instant, chooses between them.
#include "utilities/fix.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/horizon.h"
#include "astro/sidereal.h"
#include "astro/time_scales.h"
#include "ephem/stars.h"
#include "io/record_io.h"
#include "reduction/body_place.h"
#include "reduction/circle_intersection.h"
#include "reduction/corrections.h"
#include "reduction/dead_reckoning.h"
#include "reduction/recognition.h"
#include "utilities/answers.h"
#include "utilities/frame.h"
#include "utilities/sight_entry.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

namespace fix {

bool advance_needed(double dt_hours, double speed_knots) {
  // The interval comes from two Julian dates, good to a few microseconds:
  // sights typed exactly five minutes apart must not fall on either side of
  // the threshold by rounding.
  return std::fabs(dt_hours) * 60.0 > 5.0 + 1e-6 && speed_knots > 0.0;
}

double azimuth_course_angle(double azimuth, double course) {
  const double c = std::sin(azimuth) * std::sin(course) + std::cos(azimuth) * std::cos(course);
  return astro::scale_angle(std::acos(std::clamp(c, -1.0, 1.0)));
}

double circle_advance(double alpha, double run_miles) { return std::cos(alpha) * run_miles; }

int choose_candidate(double difference_1, double difference_2) {
  const bool ok_1 = difference_1 <= 1.0, ok_2 = difference_2 <= 1.0;
  if (ok_1 && (!ok_2 || difference_1 <= difference_2)) return 1;
  return ok_2 ? 2 : 0;
}

}  // namespace fix

namespace {

using astro::degree_to_ddmmss_c;
using astro::degree_to_radian;
using astro::radian_to_degree;
using io::kResults;
using io::kScreen;
using reduction::GeoPosition;

// The answers of the dialogue; they live for the whole call of the utility, so
// an answer that leaves a value unchanged ("/", ",,") keeps the previous one.
struct SightAnswers {
  int day = 0, month = 0, year = 0;
  int body = 0;
  reduction::Sight readings;
  UnknownBodyAnswers unknown;  // for an unknown body
  int limb = 0;
};

struct Answers {
  reduction::ObservationConditions conditions;
  double speed = 0.0;
  double course = 0.0;  // degrees as typed
  int bodies = 0;
  SightAnswers sight[3];
  double azimuth_1 = 0.0;  // degrees, first body, for the advance
  int again = 0;
};

// What the utility holds for the whole call: the catalogue and the names.
struct Tables {
  ephem::StarCatalogue catalogue;
  ephem::BodyNames names;

  // Name of a list number, "Desconocido" for 0.
  std::string name(int number) const {
    if (number == astro::kUnknownBody) return "Desconocido    ";
    return ephem::body_name(names, number);
  }
};

// A sight once entered: its body (recognised when it was unknown), its
// means and its UTC Julian date.
struct SightData {
  int day = 0, month = 0, year = 0;
  int body = 0;
  int limb = 0;
  double mean_time = 0.0;      // decimal hours, may lie outside 0-24
  double mean_altitude = 0.0;  // decimal degrees
  double jd_utc = 0.0;
};

// The reduction of a sight for one body: time scales, sidereal time, place
// and true altitude.
struct Reduction {
  astro::TimeScales scales{};
  double gast = 0.0;  // hours
  reduction::BodyPlace place;
  reduction::CorrectedAltitude altitude;
};

Reduction reduce(const Tables& t, const SightData& s, const reduction::ObservationConditions& c,
                 const astro::TimeScales& scales) {
  Reduction r;
  r.scales = scales;
  r.gast = astro::ut_to_st(0.0, s.jd_utc).local_apparent_st;
  r.place = reduction::apparent_place(ephem::body_of_list_number(s.body, t.catalogue), scales.jd_tt);
  r.altitude = reduction::correct_altitude(s.mean_altitude, c, s.body, s.limb, r.place.sd,
                                           r.place.hp, reduction::CorrectionOrder::fix);
  return r;
}

// ---------------------------------------------------------------------------
// The report of a sight.

// Its heading: " Astro n: " with the name and the " UTC: " line, the screen's
// copy first, each with the empty lines of its sight.
void write_report_heading(const Tables& t, int n, const SightData& s) {
  const std::string heading = " Astro " + std::to_string(n) + ": ";
  const std::string name = t.name(s.body);
  const reduction::DayAndTime when = reduction::day_and_time(s.day, s.month, s.year, s.mean_time);
  const auto astro_line = [&](int ch) { io::write_fmt(ch, "(a10,a14)", {heading, name}); };
  const auto utc_line = [&](int ch) {
    io::write_fmt(ch, "(a6,1x,i2,1x,i2,1x,i4,1x,f7.4,1x,a9)",
                  {" UTC: ", when.day, when.month, when.year, degree_to_ddmmss_c(when.hours),
                   "(hh.mmss)"});
  };
  if (n == 1) {
    io::write_list(kScreen);
    io::write_list(kResults);
    io::write_list(kResults);
  } else if (n == 2) {
    io::write_list(kScreen);
    io::write_list(kScreen);
  }
  astro_line(kScreen);
  io::write_list(kScreen);
  utc_line(kScreen);
  if (n == 2) {
    io::write_list(kScreen);
    io::write_list(kResults);
    io::write_list(kResults);
  }
  astro_line(kResults);
  io::write_list(kResults);
  utc_line(kResults);
  io::write_list(kResults);
}

// The body's place and hour angles, on each channel.
void write_place(int n, bool star, const Reduction& r) {
  const double gast_rad = degree_to_radian(r.gast * 15.0);
  const double aries = degree_to_ddmmss_c(r.gast * 15.0);
  const double gha = astro::scale_angle(gast_rad + (astro::kPi + astro::kPi - r.place.ra));
  const double sha = astro::scale_angle(gha - gast_rad);
  const double alpha = degree_to_ddmmss_c(radian_to_degree(r.place.ra) / 15.0);
  const double delta = degree_to_ddmmss_c(radian_to_degree(r.place.dec));
  const double gha_shown = degree_to_ddmmss_c(radian_to_degree(gha));
  const double sha_shown = degree_to_ddmmss_c(radian_to_degree(sha));
  for (const int ch : {kScreen, kResults}) {
    io::write_list(ch, {"SD, PHE (min. arco): ", radian_to_degree(r.place.sd) * 60.0,
                        radian_to_degree(r.place.hp) * 60.0});
    io::write_fmt(ch, "(a20,1x,f10.7)", {" alpha (hh.mmsssss):", alpha});
    io::write_fmt(ch, "(a20,1x,f10.6)", {" delta (gg.mmsss):  ", delta});
    io::write_fmt(ch, "(a20,1x,f15.7)", {" hG* (gg.mmsssss):  ", gha_shown});
    if (star) io::write_fmt(ch, "(a27,1x,f15.7)", {" Angulo sidereo (gg.mmss): ", sha_shown});
    // On the screen a star of the first or third sight gets six more blanks.
    const bool wide = ch == kScreen && star && n != 2;
    io::write_fmt(ch, wide ? "(a26,1x,f15.7)" : "(a20,1x,f15.7)", {" hG_Aries(gg.mmss): ", aries});
  }
}

// The opening of a sight's report on both channels: its heading, the time
// tables' warnings and the time scales; `n` is the sight's number (1 to 3).
void write_report_opening(const Tables& t, int n, const SightData& s, const astro::TimeScales& scales) {
  write_report_heading(t, n, s);
  write_time_scale_warnings(scales);
  for (const int ch : {kScreen, kResults}) write_time_scales(ch, s.jd_utc, scales);
}

// The rest of the report: place and corrections.
void write_report_result(int n, const SightData& s, const Reduction& r) {
  write_place(n, s.body <= ephem::kCatalogueStars, r);

  const char* altitude_format = n == 2 ? "(a48,1x,f15.7,2x,f15.7)" : "(a48,1x,f15.7,2x,f17.7)";
  io::write_list(kScreen);
  print_altitude_corrections(kScreen, r.altitude.corrections, r.altitude.ho, altitude_format);
  io::write_list(kScreen);
  io::write_list(kResults);
  print_altitude_corrections(kResults, r.altitude.corrections, r.altitude.ho, altitude_format);
  io::write_list(kResults);
  if (n == 2) io::write_list(kResults);
}

// The reduction of sight 1 or 2 between the opening of its report and the
// rest, so that a place the ephemeris cannot give stops after the heading.
Reduction reduce_and_report(const Tables& t, int n, const SightData& s, const reduction::ObservationConditions& c) {
  const astro::TimeScales scales = astro::time_scales(s.jd_utc);
  write_report_opening(t, n, s, scales);
  const Reduction r = reduce(t, s, c, scales);
  write_report_result(n, s, r);
  return r;
}

void write_position(int channel, const GeoPosition& p) {
  io::write_fmt(channel, "(a24,1x,f14.6)", {" latitud (gg.mmssss):   ", degree_to_ddmmss_c(p.latitude)});
  io::write_fmt(channel, "(a24,1x,f14.6)", {" longitud (gg.mmssss):  ", degree_to_ddmmss_c(p.longitude)});
}

// The two candidates on one channel: "Posicion 1:", its lines, an empty
// line, "Posicion 2:", its lines, an empty line.
void write_candidates(int channel, const GeoPosition& a, const GeoPosition& b) {
  io::write_list(channel, {"Posicion 1:"});
  write_position(channel, a);
  io::write_list(channel);
  io::write_list(channel, {"Posicion 2:"});
  write_position(channel, b);
  io::write_list(channel);
}

// ---------------------------------------------------------------------------
// The entry of a sight.

constexpr BodyQuestion kBodyQuestion{"Introduce el numero correspondiente al astro observado", 0};

// The readings of a sight and their means; `empty_after` empty results-file
// lines close the means.
void read_means(SightAnswers& a, int n, SightData& s, int empty_after) {
  // "inst. gg.mmss) de la med ida" [sic]
  const char* prompt = n == 1 ? "Hora UT (hh.mmss)   altura inst. gg.mmss) de la med ida " : kReadingPrompt;
  read_sight(a.readings, prompt);  // closes the means with one empty line
  s.mean_time = a.readings.mean_time;
  s.mean_altitude = a.readings.mean_altitude;
  for (int i = 1; i < empty_after; ++i) io::write_list(kResults);
}

void read_limb(SightAnswers& a, SightData& s) {
  if (s.body != astro::kListMoon) return;
  io::write_list(kScreen, {"Limbo inferior o superior? (-1 inferior, 1 superior)"});
  io::read_keyboard({&a.limb});
  s.limb = a.limb;
}

// The date and the body of sight n, with the body list for the first and
// the third.
SightData read_date_and_body(const Tables& t, SightAnswers& a, int n) {
  read_greenwich_date(a.day, a.month, a.year);
  if (n == 3) io::write_list(kScreen);
  if (n != 2) {
    write_sight_body_list(t.names);
  } else {
    io::write_list(kScreen);
  }
  read_body_number(a.body, kBodyQuestion);
  io::write_fmt(kResults, "(a18,1x,i3,1x,a15)", {" Astro observado: ", a.body, t.name(a.body)});
  SightData s;
  s.day = a.day;
  s.month = a.month;
  s.year = a.year;
  s.body = a.body;
  return s;
}

// Entry of sight 1 or 2: date, body, readings and means, recognition of an
// unknown body (asking for new readings until it is recognised), limb.
SightData enter_sight(const Tables& t, Answers& ans, int n) {
  SightAnswers& a = ans.sight[n - 1];
  if (n == 1) {
    io::write_list(kResults, {"Astro 1"});
  } else {
    io::write_list(kScreen);
    io::write_list(kResults);
    io::write_list(kResults, {"Astro 2"});
  }
  io::write_list(kScreen);
  io::write_list(kScreen, {n == 1 ? "Astro 1" : "Astro 2"});
  SightData s = read_date_and_body(t, a, n);
  const UnknownBody how{"Houston, we got a problem, no he podido identificar ese astro", true, n == 1};
  s.body = read_until_known(s.body, how, a.unknown, a.readings, s.day, s.month, s.year, ans.conditions,
                            [&] { read_means(a, n, s, n == 1 ? 1 : 2); });
  read_limb(a, s);
  s.jd_utc = astro::julian_date(s.year, s.month, s.day, s.mean_time);
  return s;
}

// ---------------------------------------------------------------------------
// The third sight.

// Recognition from a candidate position without a word on the screen: the
// search of `reconoce` on its own, so that a second candidate can be tried
// while the dialogue shows only the first attempt.  0 when nothing passes.
int recognise_quietly(const Tables& t, const GeoPosition& p, const SightData& s, double azimuth_deg,
                      const reduction::ObservationConditions& c, const astro::TimeScales& scales) {
  // The same packed position that `reconoce` would be given.
  const double phi = degree_to_radian(astro::ddmmss_to_degree_c(degree_to_ddmmss_c(p.latitude)));
  const double lambda = degree_to_radian(astro::ddmmss_to_degree_c(degree_to_ddmmss_c(p.longitude)));
  const double h = reduction::correct_altitude_simple(s.mean_altitude, c);
  return reduction::recognise_body(phi, lambda, s.jd_utc, scales.jd_tt, h, degree_to_radian(azimuth_deg),
                                   t.catalogue);
}

// Computed altitude (degrees) and azimuth Zn (degrees from north) of a place
// seen from a candidate at the instant of sight 3.
struct Computed {
  double altitude;
  double zn;
};
Computed computed_from(const SightData& s, const GeoPosition& p, const reduction::BodyPlace& place) {
  const astro::Horizontal h = astro::equatorial_to_horizontal(s.jd_utc, p.longitude, p.latitude, place.direction);
  return {radian_to_degree(h.spherical.latitude),
          radian_to_degree(astro::scale_angle(astro::kPi - h.spherical.longitude))};
}

// The entry of the third sight: its heading, date, body and readings.
SightData enter_third_sight(const Tables& t, Answers& ans) {
  SightAnswers& in = ans.sight[2];
  for (const int ch : {kScreen, kResults}) {
    io::write_list(ch);
    io::write_list(ch, {" Usamos el tercer astro para discernir: "});
  }
  io::write_list(kScreen);
  io::write_list(kResults);
  io::write_list(kResults, {"Astro 3"});
  io::write_list(kScreen);
  io::write_list(kScreen, {"Astro 3"});
  SightData s3 = read_date_and_body(t, in, 3);
  read_means(in, 3, s3, 2);
  s3.jd_utc = astro::julian_date(s3.year, s3.month, s3.day, s3.mean_time);
  return s3;
}

// The body each candidate is tested with, and the time scales of sight 3.
struct ThirdBodies {
  int body_1 = 0, body_2 = 0;
  astro::TimeScales scales{};
  bool lost = false;  // an unknown body that neither candidate recognises
};

// An unknown third body: the body recognised from each candidate (from the
// other candidate when this one recognises none).
ThirdBodies identify_third(const Tables& t, Answers& ans, const SightData& s3, const GeoPosition& a3,
                           const GeoPosition& b3) {
  SightAnswers& in = ans.sight[2];
  io::write_list(kResults, {"Identificacion del astro desconocido:"});
  io::write_list(kScreen);
  io::write_list(kScreen, {"Identificacion del astro desconocido:"});
  io::write_list(kScreen, {"Azimut circular del astro desconocido:"});
  read_azimuth(in.unknown.azimuth);
  const double azimuth = in.unknown.azimuth;
  io::write_fmt(kResults, "(a48,1x,f6.2)", {" Azimut circular del astro desconocido (ggg.gg):", azimuth});
  const auto recognise_from = [&](const GeoPosition& p) {
    return recognise(degree_to_ddmmss_c(p.latitude), degree_to_ddmmss_c(p.longitude), s3.day, s3.month, s3.year,
                     in.readings, azimuth, ans.conditions);
  };
  ThirdBodies b;
  const reduction::Recognition from_1 = recognise_from(a3);
  b.scales = astro::time_scales(s3.jd_utc);
  if (from_1.body != 0) {
    b.body_1 = from_1.body;
    b.body_2 = recognise_quietly(t, b3, s3, azimuth, ans.conditions, b.scales);
    if (b.body_2 == 0) b.body_2 = b.body_1;
    return b;
  }
  io::write_list(kScreen);
  io::write_list(kScreen, {"Si estamos en la posicion 1 no puedo identificar el astro"});
  io::write_list(kScreen);
  io::write_list(kScreen, {"Pruebo desde la posicion 2"});
  io::write_list(kScreen);
  const reduction::Recognition from_2 = recognise_from(b3);
  b.body_1 = b.body_2 = from_2.body;
  b.lost = from_2.body == 0;
  return b;
}

void write_lost() {
  for (const int ch : {kScreen, kResults}) {
    io::write_list(ch);
    io::write_list(ch, {" ESTAMOS PERDIDOS. LLAMA A SALVAMENTO MARITIMO!!!!"});
    io::write_list(ch);
  }
}

// The altitude and azimuth of the third body from each candidate.
void write_computed(const std::string& name_1, const Computed& c1, const std::string& name_2,
                    const Computed& c2) {
  const auto computed_line = [](int ch, const Computed& c) {
    io::write_fmt(ch, "(1x,f10.6,3x,f6.2)", {degree_to_ddmmss_c(c.altitude), c.zn});
  };
  io::write_list(kScreen);
  io::write_list(kScreen, {" Posicion 1. Altura (gg.mmssss) y azimut (ggg.gg) de  ", name_1});
  computed_line(kScreen, c1);
  io::write_list(kScreen);
  io::write_list(kScreen, {" Posicion 2. Altura (gg.mmssss) y azimut (ggg.gg) de  ", name_2});
  computed_line(kScreen, c2);
  io::write_list(kScreen);
  io::write_list(kResults);
  io::write_list(kResults, {" Posicion 1. Altura (gg.mmssss) y azimut (ggg.gg) de ", name_1});
  computed_line(kResults, c1);
  io::write_list(kResults);
  io::write_list(kResults, {" Posicion 2. Altura (gg.mmssss) y azimut (ggg.gg) de ", name_2});
  computed_line(kResults, c2);
  io::write_list(kResults);
}

// The position chosen (1 or 2), or the lines that say none fits (0).
void write_choice(int chosen, const GeoPosition& a3, const GeoPosition& b3) {
  if (chosen != 0) {
    for (const int ch : {kScreen, kResults}) {
      io::write_list(ch);
      io::write_list(ch, {"Posicion:"});
      io::write_list(ch);
      write_position(ch, chosen == 1 ? a3 : b3);
      io::write_list(ch);
    }
    io::write_list(kResults, {" -----------------------------------"});
    return;
  }
  for (const int ch : {kScreen, kResults}) {
    io::write_list(ch);
    io::write_list(ch, {"HOUSTON, we got a problem: no tenemos ni idea de donde estamos!!!"});
    io::write_list(ch, {"Ya te dije que ese ron era de garrafon!"});  // [sic]
    io::write_list(ch, {"Mejor ve sacando el GPS..."});
  }
  io::write_list(kResults);
  io::write_list(kResults, {" ---------------------------------------------------"});
}

// The run between the second and third sights, and both candidates carried
// to the third instant, on both channels.
void write_candidates_at_third(double run23, double course, const GeoPosition& a3, const GeoPosition& b3) {
  for (const int ch : {kScreen, kResults}) {
    io::write_list(ch, {"Navegacion entre los instantes 2 y 3:"});
    io::write_list(ch);
    io::write_fmt(ch, "(1x,f9.2,1x,a9,1x,f6.2)", {run23, "millas al", radian_to_degree(course)});
    io::write_list(ch);
    io::write_list(ch);
  }
  io::write_list(kScreen, {"Posibles posiciones en el instante de medir el astro 3:"});
  io::write_list(kResults, {"Posibles posiciones en el instante de medir el astro 3:"});
  io::write_list(kScreen);
  write_candidates(kScreen, a3, b3);
  io::write_list(kResults);
  write_candidates(kResults, a3, b3);
}

// The third sight: entry, dead reckoning of both candidates to its instant,
// recognition of an unknown body, reduction and the choice of the position.
void third_sight(const Tables& t, Answers& ans, const SightData& s2, const GeoPosition& a,
                 const GeoPosition& b, double course) {
  SightData s3 = enter_third_sight(t, ans);
  const double run23 = ans.speed * ((s3.jd_utc - s2.jd_utc) * 24.0);
  const GeoPosition a3 = reduction::dead_reckoning(a, course, run23);
  const GeoPosition b3 = reduction::dead_reckoning(b, course, run23);
  write_candidates_at_third(run23, course, a3, b3);

  ThirdBodies bodies;
  if (s3.body == astro::kUnknownBody) {
    bodies = identify_third(t, ans, s3, a3, b3);
    if (bodies.lost) return write_lost();
  } else {
    read_limb(ans.sight[2], s3);
    bodies.body_1 = bodies.body_2 = s3.body;
    bodies.scales = astro::time_scales(s3.jd_utc);
  }

  // Reduction with each candidate's body, differences and choice.
  SightData s3_1 = s3, s3_2 = s3;
  s3_1.body = bodies.body_1;
  s3_2.body = bodies.body_2;
  const Reduction r1 = reduce(t, s3_1, ans.conditions, bodies.scales);
  const Reduction r2 = bodies.body_2 == bodies.body_1 ? r1 : reduce(t, s3_2, ans.conditions, bodies.scales);
  const Computed c1 = computed_from(s3, a3, r1.place);
  const Computed c2 = computed_from(s3, b3, r2.place);
  const int chosen = fix::choose_candidate(std::fabs(r1.altitude.ho - c1.altitude),
                                           std::fabs(r2.altitude.ho - c2.altitude));
  const bool second = chosen == 2;
  if (s3.body == astro::kUnknownBody) {
    const std::string name = t.name(second ? bodies.body_2 : bodies.body_1);
    io::write_list(kScreen);
    io::write_list(kScreen, {"El astro desconocido es ", name});
    io::write_list(kScreen);
    io::write_list(kResults);
    io::write_list(kResults, {"El astro desconocido es ", name});
    io::write_list(kResults);
    io::write_list(kResults);
  }
  write_report_opening(t, 3, second ? s3_2 : s3_1, bodies.scales);
  write_report_result(3, second ? s3_2 : s3_1, second ? r2 : r1);
  write_computed(t.name(bodies.body_1), c1, t.name(bodies.body_2), c2);
  write_choice(chosen, a3, b3);
}

// ---------------------------------------------------------------------------
// One calculation.

// The conditions and the ship's speed and course: the screen dialogue, then
// the results file's echo.
void read_conditions_and_navigation(Answers& ans) {
  io::write_list(kScreen, {" Datos:"});
  io::write_list(kScreen, {" ------"});
  io::write_list(kScreen, {"Condiciones de la observacion:"});
  io::write_list(kScreen);
  read_observation_conditions(ans.conditions);
  io::write_list(kScreen);
  io::write_list(kScreen, {"Navegacion:"});
  io::write_list(kScreen);
  io::write_list(kScreen, {"Velocidad (nudos)   Rumbo circular verdadero (ggg.gg):"});
  read_speed_and_course(ans.speed, ans.course);

  io::write_list(kResults);
  io::write_list(kResults);
  write_conditions_lines(kResults, ans.conditions);
  io::write_list(kResults);
  io::write_fmt(kResults, "(a44,1x,1x,f6.2,1x,f6.1)",
                {" Velocidad (kn), rumbo verdadero (circular): ", ans.speed, ans.course});
  io::write_list(kResults);
  io::write_list(kResults);
}

// The advance of the first circle to the instant of the second sight.
struct CircleAdvance {
  bool made = false;
  double dt = 0.0;     // hours between the sights
  double run = 0.0;    // miles
  double az1 = 0.0;    // radians
  double alpha = 0.0;  // radians
  double xdeps = 0.0;  // miles
};

CircleAdvance ask_advance(Answers& ans, const SightData& s1, const SightData& s2, double course) {
  CircleAdvance adv;
  adv.dt = (s2.jd_utc - s1.jd_utc) * 24.0;
  adv.made = fix::advance_needed(adv.dt, ans.speed);
  if (!adv.made) return adv;
  io::write_list(kScreen);
  io::write_list(kScreen, {" Observaciones no simultaneas y Velocidad no nula"});
  io::write_list(kScreen, {" Azimut (circular) 1er astro?"});
  read_azimuth(ans.azimuth_1);
  adv.az1 = degree_to_radian(ans.azimuth_1);
  adv.alpha = fix::azimuth_course_angle(adv.az1, course);
  adv.run = adv.dt * ans.speed;
  adv.xdeps = fix::circle_advance(adv.alpha, adv.run);
  io::write_list(kScreen, {"Alfa (gg.gggg) respiracion 1er circulo altura al instante 2a observ. (millas): ",
                           radian_to_degree(adv.alpha), adv.xdeps});
  return adv;
}

// The advance's lines, with the true altitude h1 of the advanced circle.
void write_advance(const CircleAdvance& adv, double speed, double course, double h1) {
  io::write_list(kResults, {"Observaciones no simultaneas."});
  io::write_fmt(kResults, "(a73,1x,f6.1,1x,f6.2,1x,f6.1)",
                {" Azimut (circular) 1er astro, Velocidad (kn), rumbo verdadero (circular):",
                 radian_to_degree(adv.az1), speed, radian_to_degree(course)});
  io::write_list(kResults, {"tiempo (h), distancia (millas) entre ambas obser.:", adv.dt, adv.run});
  io::write_fmt(kResults, "(a37,1x,f6.2,2x,f10.4)",
                {" Angulo alfa (gg.gg), xdeps(millas): ", radian_to_degree(adv.alpha), adv.xdeps});
  io::write_list(kResults, {"Radio circulo respirado (grados): ", 90.0 - h1});
  io::write_list(kResults);
  io::write_list(kScreen, {"Observaciones NO simultaneas:"});
  io::write_list(kScreen, {"tiempo (horas), distancia (millas) entre ambas obser.:", adv.dt, adv.run});
  io::write_list(kScreen, {"Radio circulo respirado (grados): ", 90.0 - h1});
  io::write_list(kScreen);
}

// The crossings of the two circles: the candidates at the second sight.
struct Candidates {
  GeoPosition a, b;
};
Candidates two_body_fix(const Reduction& r1, double h1, const Reduction& r2, double h2) {
  const reduction::CircleCrossings x = reduction::corte_circulos_altura(
      r1.place.ra - degree_to_radian(r1.gast * 15.0), r1.place.dec, degree_to_radian(h1),
      r2.place.ra - degree_to_radian(r2.gast * 15.0), r2.place.dec, degree_to_radian(h2));
  const Candidates c{{radian_to_degree(x.lat_a), radian_to_degree(x.lon_a)},
                     {radian_to_degree(x.lat_b), radian_to_degree(x.lon_b)}};
  io::write_list(kScreen, {"Posibles posiciones en el instante de medir el astro 2 :"});
  io::write_list(kResults, {"Posibles posiciones en el instante de medir el astro  2:"});
  write_candidates(kScreen, c.a, c.b);
  io::write_list(kResults);
  write_candidates(kResults, c.a, c.b);
  return c;
}

void write_only_two_bodies() {
  // The doubled blanks of these lines are theirs [sic].
  io::write_list(kScreen, {" Esto es todo lo que puedo decirte si solo has medido  dos astros."});
  io::write_list(kScreen, {" La proxima vez esfuerzate un poquito m\xc3\xa1s y mide un tercer astro, no me seas vago/a"});
  io::write_list(kResults, {" Esto es todo lo que puedo decirte si solo has medido dos astros."});
  io::write_list(kResults, {" La proxima vez esfuerzate un poquito m\xc3\xa1s y mide un  tercer astro, no me seas vago/a"});
  io::write_list(kResults);
  io::write_list(kResults, {std::string(83, '-')});
}

void one_calculation(const Tables& t, Answers& ans) {
  read_conditions_and_navigation(ans);
  const double course = degree_to_radian(ans.course);
  io::write_list(kScreen, {"Astros observados:"});
  io::write_list(kScreen, {"Numero de astros observados, 2 o 3?"});
  io::read_keyboard({&ans.bodies});
  const bool three = ans.bodies != 2;

  const SightData s1 = enter_sight(t, ans, 1);
  const SightData s2 = enter_sight(t, ans, 2);
  const CircleAdvance adv = ask_advance(ans, s1, s2, course);

  const Reduction r1 = reduce_and_report(t, 1, s1, ans.conditions);
  double h1 = r1.altitude.ho;
  if (adv.made) {
    h1 += adv.xdeps / 60.0;
    write_advance(adv, ans.speed, course, h1);
  }
  const Reduction r2 = reduce_and_report(t, 2, s2, ans.conditions);
  io::write_list(kScreen);
  io::write_list(kScreen);

  const Candidates c = two_body_fix(r1, h1, r2, r2.altitude.ho);
  if (three) return third_sight(t, ans, s2, c.a, c.b, course);
  write_only_two_bodies();
}

}  // namespace

void zembrel() {
  Tables t{ephem::read_star_catalogue(), {}};
  t.names = ephem::body_names(t.catalogue);

  constexpr const char* kTitle = "   ZEMBREL SIN SITUACION ESTIMADA";
  write_openings({3, kTitle, 49, 44, kTitle, 49, 44, 0, 1});

  Answers answers;
  for (;;) {
    one_calculation(t, answers);
    io::write_list(kScreen);
    io::write_list(kScreen, {" Nuevo calculo? (1 si, 0 no)"});
    io::read_keyboard({&answers.again});
    if (answers.again != 1) return;
  }
}

}  // namespace zembrel::utilities
