// Menu option 3: recognition of an unknown body from its measured altitude
// and azimuth, with a full report of its approximate and exact coordinates.
#include <string>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/sidereal.h"
#include "astro/time_scales.h"
#include "ephem/stars.h"
#include "io/record_io.h"
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

// This utility's tolerance is 0.05 held in single precision.
constexpr double kTolerance = static_cast<double>(0.05f);

struct Answers {
  reduction::ObservationConditions conditions;
  double latitude = 0.0, longitude = 0.0;
  int day = 0, month = 0, year = 0;
  reduction::Sight sight;
  double azimuth = 0.0;
  int again = 0;
};

void write_openings() {
  utilities::write_openings({1, "    ZEMBREL: Reconocimiento de un astro", 48, 44,
                             "  ZEMBREL: Reconocimiento de un astro", 49, 45, 1, 1});
}

void write_coordinates_results(const Coordinates& k) {
  io::write_fmt(kResults, "(a20,1x,f11.7)", {" alpha (hh.mmsssss):", k.alpha});
  io::write_fmt(kResults, "(a20,1x,f11.7)", {" delta (gg.mmssss): ", k.delta});
  io::write_fmt(kResults, "(a20,f11.7)", {" hG* (gg.mmsssss):  ", k.gha});
  io::write_fmt(kResults, "(a20,1x,f15.7)", {" hL* (gg.mmsssss):  ", k.lha});
  io::write_fmt(kResults, "(a30,1x,f15.7)", {" Angulo sidereo (gg.mmsssss): ", k.sidereal});
  io::write_fmt(kResults, "(a23,1x,f15.7)", {" hG_Aries(gg.mmsssss): ", k.aries});
}

// The dialogue of an attempt: conditions, position, date, the sight and the
// body's azimuth, each echoed to the results file.
void read_attempt(Answers& a) {
  io::write_list(kScreen);
  io::write_list(kScreen, {"Condiciones de la observacion:"});
  read_observation_conditions(a.conditions);
  write_conditions_echo(kResults, a.conditions);

  io::write_list(kScreen, {kPositionText});
  read_position(a.latitude, a.longitude);
  io::write_fmt(kResults, "(a40,2(f10.4,2x))", {kPositionText, a.latitude, a.longitude});

  io::write_list(kScreen, {"Fecha en Greenwich"});
  io::write_list(kScreen, {"dia   mes   anno (dd mm aaaa)"});
  read_date(a.day, a.month, a.year);
  io::write_list(kScreen);
  io::write_fmt(kResults, "(a21,1x,i2,1x,i2,1x,i4)", {" Fecha en Greenwich: ", a.day, a.month, a.year});
  io::write_list(kResults);
  io::write_list(kResults, {"Datos de la observaci\xC3\xB3n del Astro: "});
  io::write_list(kResults);

  read_sight(a.sight, kReadingPrompt);

  io::write_list(kScreen);
  io::write_list(kScreen, {"Azimut circular del astro desconocido (ggg.gg)?"});
  read_azimuth(a.azimuth);
  io::write_fmt(kResults, "(a40,2x,f7.2)", {" Azimut circular del astro desconocido: ", a.azimuth});
  io::write_list(kResults);
}

// The coordinates of the estimate or of the body found: a title line, then
// the six lines on the screen and in the results file's layout.
void write_coordinates(int channel, const std::string& title, const Coordinates& k) {
  io::write_list(channel, {title});
  io::write_list(channel);
  if (channel == kScreen) {
    write_coordinates_screen(k);
  } else {
    write_coordinates_results(k);
  }
  io::write_list(channel);
}

void write_not_recognised() {
  const char* message[] = {" HOUSTON, we got a problem, no soy capaz de reconocer ese astro!",
                           " Seguro que has introducido los datos correctamente?",
                           " Sera una nueva supernova que acabas de descubrir?", " Tal vez un OVNI?"};
  io::write_list(kResults);
  for (const char* line : message) io::write_list(kResults, {line});
  io::write_list(kResults);
  io::write_list(kResults, {kHyphens});
  io::write_list(kScreen);
  for (const char* line : message) io::write_list(kScreen, {line});
  io::write_list(kScreen);
  io::write_list(kScreen);
  io::write_list(kScreen);
}

// One attempt; true when the body was recognised.
bool one_attempt(Answers& a) {
  read_attempt(a);
  const double jd_utc = astro::julian_date(a.year, a.month, a.day, a.sight.mean_time);
  const astro::TimeScales ts = astro::time_scales(jd_utc);
  write_time_scale_warnings(ts);
  const double theta = astro::ut_to_st(0.0, jd_utc).local_apparent_st;
  const ephem::StarCatalogue catalogue = ephem::read_star_catalogue();

  const double phi = degree_to_radian(astro::ddmmss_to_degree_c(a.latitude));
  const double lambda = degree_to_radian(astro::ddmmss_to_degree_c(a.longitude));
  const double altitude = reduction::correct_altitude_simple(a.sight.mean_altitude, a.conditions);
  const reduction::PlaceEstimate e =
      reduction::estimate_place(phi, lambda, altitude, degree_to_radian(a.azimuth), degree_to_radian(15.0 * theta));
  io::write_list(kScreen, {"undec", e.dec});
  const Coordinates approximate = coordinates(e.ra, e.dec, lambda, theta);
  for (int channel : {kScreen, kResults})
    write_coordinates(channel, "Coordenadas aproximadas del astro desconocido:", approximate);

  const reduction::SearchTable table = reduction::search_places(ts.jd_tt, catalogue);
  io::write_list(kScreen);  // between the star places and the planets' (an empty line)
  const int entry = reduction::search_entry(table, e.ra, e.dec, kTolerance);
  if (entry == 0) {
    write_not_recognised();
    return false;
  }
  const int number = reduction::list_number_of_entry(entry);
  const std::string name = ephem::body_name(ephem::body_names(catalogue), number);
  io::write_list(kScreen, {"El astro desconocido es:", number, name});
  io::write_list(kResults, {"El astro desconocido es:", number, name});
  const Coordinates exact = coordinates(table.ra[entry], table.dec[entry], lambda, theta);
  io::write_list(kScreen);
  write_coordinates(kScreen, "Coordenadas exactas de " + name, exact);
  io::write_list(kResults);
  write_coordinates(kResults, "Coordenadas exactas de " + name, exact);
  io::write_list(kResults, {kHyphens});
  return true;
}

}  // namespace

void reconoce_parlanchin() {
  write_openings();
  Answers answers;
  while (!one_attempt(answers)) {
    io::write_list(kScreen, {" Quieres intentarlo de nuevo (1 Si  0 No)?"});
    io::read_keyboard({&answers.again});
    if (answers.again != 1) return;
    io::write_list(kResults, {kHyphens});
    io::write_list(kResults);
  }
}

}  // namespace zembrel::utilities
