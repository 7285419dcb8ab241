// Menu option 7: preparation of the star sights at twilight.  From the
// dead-reckoning position, the local date and legal time and the ship's speed
// and course it shows the day's sunrise, sunset and twilights, how long it is
// until the next observation window, where the ship will be then, and which
// stars and bodies will stand at least 15 degrees high.
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/horizon.h"
#include "astro/time_scales.h"
#include "ephem/apparent_planets.h"
#include "ephem/stars.h"
#include "io/record_io.h"
#include "reduction/corrections.h"
#include "reduction/dead_reckoning.h"
#include "reduction/twilight.h"
#include "utilities/answers.h"
#include "utilities/frame.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

namespace {

using astro::ddmmss_to_degree_c;
using astro::degree_to_ddmmss_c;
using astro::degree_to_radian;
using astro::radian_to_degree;
using io::kResults;
using io::kScreen;

constexpr int kSun = astro::kJplSun;
constexpr double kLowestAltitude = 15.0;  // degrees
// The event is searched again at the advanced position until it moves by no
// more than this (days), in at most kMaxPasses passes.
constexpr double kEventTolerance = 0.003;
constexpr int kMaxPasses = 20;

struct Date {
  int year = 0, month = 0, day = 0;
};

Date date_of(double jd) {
  const astro::CalendarDate c = astro::gregorian_date(jd);
  return {c.year, c.month, c.day};
}

double jd_of(const Date& d, double hours) { return astro::julian_date(d.year, d.month, d.day, hours); }

// The answers of the dialogue; they live for the whole call of the utility, so
// an answer that leaves a value unchanged ("/", ",,") keeps the previous one.
struct Answers {
  double latitude = 0.0, longitude = 0.0;  // packed
  int day = 0, month = 0, year = 0;
  double legal_time = 0.0;  // packed
  double speed = 0.0, course = 0.0;
  int bodies = 0;
  int again = 0;
};

// One entry of the visible-body table: a catalogue star or a solar-system body.
struct Candidate {
  std::string name;
  bool star = false;
  ephem::CatalogueStar place;  // stars
  int body = 0;                // ephemeris body number otherwise
};

std::vector<Candidate> candidates_from(const ephem::StarCatalogue& catalogue) {
  std::vector<Candidate> list;
  for (const ephem::StarRecord& r : catalogue) list.push_back({r.name, true, ephem::catalogue_star(r), 0});
  const std::array<std::pair<const char*, int>, 5> bodies{
      {{"Luna", astro::kJplMoon},
       {"Venus", astro::kJplVenus},
       {"Marte", astro::kJplMars},
       {"Jupiter", astro::kJplJupiter},
       {"Saturno", astro::kJplSaturn}}};
  for (const auto& [name, body] : bodies) {
    std::string padded = name;
    padded.resize(ephem::kNameWidth, ' ');
    list.push_back({padded, false, {}, body});
  }
  return list;
}

// ---------------------------------------------------------------------------
// The Sun's events of the local day.  Each event (sunrise, sunset and the four
// twilight instants) is searched on the Greenwich date of "now", then on the
// next and on the previous Greenwich date, and the one that falls on today's
// local date is kept: a day search covers 0 h to 24 h UT, which far from
// Greenwich is not the local day.  Each search of a date is made once.

// A Sun event: its instant (Greenwich Julian date, UT) and the Greenwich date
// whose search gave it.
struct Event {
  bool found = false;
  double jd = 0.0;
  Date date;
};

class SunDays {
 public:
  SunDays(const Date& today, double longitude, double latitude)
      : longitude_(longitude), latitude_(latitude) {
    const double jd0 = jd_of(today, 0.0);
    for (int k = 0; k < 3; ++k) dates_[k] = date_of(jd0 + kOffsets[k]);
  }

  // Rise (true) or set of the Sun, and the twilight instants by their index
  // (0 morning nautical, 1 morning civil, 2 evening civil, 3 evening nautical).
  Event rise_or_set(bool rise, double local_day0) {
    return pick(local_day0, [&](int k) {
      const ephem::PlanetaryEvents& e = sun(k);
      const double t = rise ? e.rise_time : e.set_time;
      return t == astro::kNoEventTime ? std::optional<double>() : std::optional<double>(t);
    });
  }
  Event twilight(int which, double local_day0) {
    return pick(local_day0, [&](int k) {
      const reduction::Twilights& t = twilights(k);
      const double v = which == 0 ? t.nautical[0] : which == 1 ? t.civil[0] : which == 2 ? t.civil[1] : t.nautical[1];
      return v == astro::kNoTwilight ? std::optional<double>() : std::optional<double>(v);
    });
  }

 private:
  static constexpr std::array<int, 3> kOffsets{0, 1, -1};

  const ephem::PlanetaryEvents& sun(int k) {
    if (!sun_[k]) {
      const Date& d = dates_[k];
      sun_[k] = search_planet_day(d.year, d.month, d.day, kSun, longitude_, latitude_);
    }
    return *sun_[k];
  }
  const reduction::Twilights& twilights(int k) {
    if (!twilights_[k]) {
      const Date& d = dates_[k];
      twilights_[k] = search_twilights(d.year, d.month, d.day, longitude_, latitude_);
    }
    return *twilights_[k];
  }

  // The event on the local day whose 0 h (local civil Julian date) is
  // local_day0; when no date gives one there, the first found.
  template <class Time>
  Event pick(double local_day0, Time packed_time) {
    Event first;
    for (int k = 0; k < 3; ++k) {
      const std::optional<double> t = packed_time(k);
      if (!t) continue;
      const Event e{true, jd_of(dates_[k], ddmmss_to_degree_c(*t)), dates_[k]};
      if (astro::split_julian_date(e.jd + longitude_ / 360.0).jd0 == local_day0) return e;
      if (!first.found) first = e;
    }
    return first;
  }

  double longitude_, latitude_;
  std::array<Date, 3> dates_;
  std::array<std::optional<ephem::PlanetaryEvents>, 3> sun_;
  std::array<std::optional<reduction::Twilights>, 3> twilights_;
};

// ---------------------------------------------------------------------------
// The advance to an event: the ship runs by dead reckoning (mid-latitude
// sailing) from the typed position until the event, the event is searched
// again at the new position, and so on until it no longer moves.

using Position = reduction::GeoPosition;

// Where the ship will be after `hours` at `speed` on `course_rad`.  A run
// across the date line keeps the longitude within [-180, 180].
Position dead_reckoning(const Position& from, double speed, double course_rad, double hours) {
  Position p = reduction::dead_reckoning(from, course_rad, speed * hours);
  if (std::fabs(p.longitude) > 180.0) p.longitude = std::remainder(p.longitude, 360.0);
  return p;
}

enum class Target { nautical_morning, sunset };

// The event's instant (Greenwich Julian date) at a position when searched on
// one Greenwich date; nothing when that date has none.
std::optional<double> search_event(Target target, const Date& d, const Position& p) {
  if (target == Target::nautical_morning) {
    const double t = search_twilights(d.year, d.month, d.day, p.longitude, p.latitude).nautical[0];
    if (t == astro::kNoTwilight) return std::nullopt;
    return jd_of(d, ddmmss_to_degree_c(t));
  }
  const double t = search_planet_day(d.year, d.month, d.day, kSun, p.longitude, p.latitude).set_time;
  if (t == astro::kNoEventTime) return std::nullopt;
  return jd_of(d, ddmmss_to_degree_c(t));
}

struct Advance {
  double hours = 0.0;  // from now to the event
  Position position;   // of the ship at the event
  double legal_time = 0.0;  // of the event at that position, decimal hours
};

// now: Greenwich Julian date of the calculation.  The wait is measured on one
// scale (UT instants), and the hours, the position and the legal time printed
// all belong to the last instant found.
Advance advance_to(Target target, const Event& event, double now, const Position& typed, double speed,
                   double course_rad) {
  double prev = event.jd;
  Date date = event.date;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    const Position p = dead_reckoning(typed, speed, course_rad, (prev - now) * 24.0);
    std::optional<double> next = search_event(target, date, p);
    // Moved across a Greenwich midnight (or lost on that date): the
    // neighbouring dates, keeping the instant nearest the previous one.
    if (!next || std::fabs(*next - prev) > 0.5) {
      const double searched = jd_of(date, 0.0);
      for (int step : {1, -1}) {
        const Date other = date_of(searched + step);
        const std::optional<double> t = search_event(target, other, p);
        if (t && (!next || std::fabs(*t - prev) < std::fabs(*next - prev))) {
          next = t;
          date = other;
        }
      }
    }
    if (!next) break;
    const bool settled = std::fabs(*next - prev) <= kEventTolerance;
    prev = *next;
    if (settled) break;
  }
  Advance a;
  a.hours = (prev - now) * 24.0;
  a.position = dead_reckoning(typed, speed, course_rad, a.hours);
  const double civil = astro::gregorian_date(prev + a.position.longitude / 360.0).hours;
  a.legal_time = civil - a.position.longitude / 15.0 + astro::huso(a.position.longitude);
  return a;
}

// ---------------------------------------------------------------------------
// Output.

void write_openings() {
  constexpr const char* kTitle = " ZEMBREL: preparacion de la observacion al crepusculo";
  utilities::write_openings({2, kTitle, 50, 44, kTitle, 50, 45, 1, 2});
}

// The bodies at least 15 degrees high at the instant jd (UTC) seen from the
// typed position (geometric altitudes), in table order.
void write_visible_bodies(const std::vector<Candidate>& candidates, double jd, const Position& at) {
  const astro::TimeScales ts = astro::time_scales(jd);
  write_time_scale_warnings(ts);
  struct Row {
    const std::string* name;
    double altitude, azimuth;
  };
  std::vector<Row> rows;
  for (const Candidate& c : candidates) {
    const astro::Vec3 v = c.star ? ephem::apparent_star3x(ts.jd_tt, c.place).direction
                                 : ephem::apparent_planets_geo3(ts.jd_tt, c.body).position;
    const astro::Spherical s = astro::equatorial_to_horizontal(ts.jd_ut1, at.longitude, at.latitude, v).spherical;
    const double altitude = radian_to_degree(s.latitude);
    if (altitude >= kLowestAltitude)
      rows.push_back({&c.name, altitude, radian_to_degree(astro::scale_angle(astro::kPi - s.longitude))});
  }
  const int count = static_cast<int>(rows.size());
  io::write_list(kScreen);
  io::write_fmt(kScreen, "(1x,a50,i3)", {"Numero de astros con altura superior a 15  grados: ", count});  // [sic]
  io::write_list(kScreen);
  io::write_list(kScreen, {"Astro        altura verdadera (gg.ggg)       azimut (ggg.gg)"});
  io::write_list(kScreen);
  io::write_fmt(kResults, "(1x,a50,i3)", {"Numero de astros con altura superior a 15 grados: ", count});
  io::write_list(kResults);
  io::write_list(kResults, {"Astro         altura verdadera (gg.ggg)        azimut (ggg.gg)"});
  io::write_list(kResults);
  for (const Row& r : rows) {
    for (int channel : {kScreen, kResults})
      io::write_fmt(channel, "(1x,a15,6x,f6.3,23x,f6.2)", {*r.name, r.altitude, r.azimuth});
  }
  io::write_list(kResults);
  io::write_list(kResults, {"----------------------------------------------------------"});
}

// Screen and file lines of an advance (cases 1 and 3).
void write_advance(const Advance& a, bool twilight) {
  // An event past the legal midnight shows the next day's time.
  const double legal = degree_to_ddmmss_c(reduction::hours_of_day(a.legal_time));
  const double lat = degree_to_ddmmss_c(a.position.latitude);
  const double lon = degree_to_ddmmss_c(a.position.longitude);
  io::write_list(kScreen);
  if (twilight) {
    io::write_list(kScreen, {"Horas hasta el comienzo del crepusculo nautico:", a.hours});
    io::write_list(kScreen);
    io::write_fmt(kScreen, "(a39,1x,f7.4,1x,a20)",
                  {" El crepusculo nautico comenzara a las ", legal, "hora legal (hh.mmss)"});
    io::write_list(kScreen);
    io::write_list(kScreen, {"Tu situacion estimada ien ese momento sera lat  lon (gg.mmss):"});  // [sic]
  } else {
    io::write_list(kScreen, {"Horas hasta el ocaso:", a.hours});
    io::write_list(kScreen);
    io::write_fmt(kScreen, "(a29,1x,f7.4,1x,a20)", {" El ocaso tendra lugar a las ", legal, "hora legal (hh.mmss)"});
    io::write_list(kScreen);
    io::write_list(kScreen, {" Tu situacion estimada en ese momento sera lat  lon (gg.mmss):"});
  }
  io::write_list(kScreen);
  io::write_fmt(kScreen, "(1x,f10.4,1x,f10.4)", {lat, lon});

  io::write_list(kResults);
  if (twilight) {
    io::write_list(kResults, {"Horas hasta el comienzo del crepusculo nautico:", a.hours});
    io::write_list(kResults);
    io::write_fmt(kResults, "(a39,1x,f7.4,1x,a20)",
                  {" El crepusculo nautico comenzara a las ", legal, "hora legal (hh.mmss)"});
  } else {
    io::write_list(kResults, {"Horas hasta el comienzo del ocaso:", a.hours});
    io::write_list(kResults);
    io::write_fmt(kResults, "(a29,1x,f7.4,1x,a20)", {" El ocaso tendra lugar a las ", legal, "hora legal (hh.mmss)"});
  }
  io::write_list(kResults);
  io::write_list(kResults, {"Tu situacion estimada en ese momento sera lat  lon (gg.mmss):"});
  io::write_list(kResults);
  io::write_fmt(kResults, "(1x,f10.4,1x,f10.4)", {lat, lon});
  io::write_list(kResults);
}

// Cases 2 and 4: the window is already open.
void write_window_open(const char* first_line) {
  constexpr const char* kLate = " \u00a1Deber\u00edas estar observando hace rato!";
  constexpr const char* kList = " Estos son los astros que puedes observar:";
  for (int channel : {kScreen, kResults}) {
    io::write_list(channel);
    io::write_list(channel, {first_line});
    io::write_list(channel, {kLate});
    io::write_list(channel);
    io::write_list(channel, {kList});
    io::write_list(channel);
  }
}

// ---------------------------------------------------------------------------

// The calculation's answers as it uses them, and its instant.
struct Situation {
  Position typed;        // decimal degrees
  double speed = 0.0;    // knots
  double course = 0.0;   // radians
  double zone = 0.0;     // hours
  double legal = 0.0;    // hours
  LocalInstant instant{};
  astro::CalendarDate greenwich{};  // date and UT of "now"
};

// The position, the local date and time, speed and course: the screen
// dialogue, the results file's echo and the dates of "now" on both channels.
Situation read_situation(Answers& a) {
  io::write_list(kScreen, {"Latitud y Longitud estimadas (gg.mmss):"});
  read_position(a.latitude, a.longitude);
  io::write_list(kScreen);
  read_local_date_and_legal_time(a.day, a.month, a.year, a.legal_time);
  io::write_list(kScreen);
  io::write_list(kScreen, {"Velocidad (nudos)  rumbo (ggg.gg)"});
  read_speed_and_course(a.speed, a.course);
  io::write_list(kScreen);

  Situation s;
  s.typed = {ddmmss_to_degree_c(a.latitude), ddmmss_to_degree_c(a.longitude)};
  s.speed = a.speed;
  io::write_list(kResults);
  io::write_fmt(kResults, "(a41,2(f10.4,2x))",
                {" Situacion de estima: lat  lon (gg.mmss):", degree_to_ddmmss_c(s.typed.latitude),
                 degree_to_ddmmss_c(s.typed.longitude)});
  io::write_fmt(kResults, "(a36,1x,f6.2,2x,f6.2)", {" Velocidad (nudos) y rumbo (ggg.gg):", s.speed, a.course});

  s.zone = astro::huso(s.typed.longitude);
  s.legal = ddmmss_to_degree_c(a.legal_time);
  s.instant = local_instant(a.day, a.month, a.year, s.legal, s.typed.longitude, s.zone);
  s.greenwich = astro::gregorian_date(s.instant.jd_utc);
  const astro::CalendarDate& g = s.greenwich;
  for (int channel : {kScreen, kResults}) {
    io::write_list(channel);
    io::write_fmt(channel, "(a60,1x,i2,1x,i2,1x,i4,1x,f7.4,1x,f7.4,1x,f4.0)",
                  {" Fecha local, horas legal y civil (hh.mmss) y huso horario: ", a.day, a.month, a.year,
                   degree_to_ddmmss_c(s.legal), degree_to_ddmmss_c(s.instant.civil_hours), s.zone});
    io::write_list(channel);
    write_greenwich_date(channel, g.day, g.month, g.year, degree_to_ddmmss_c(g.hours));
    io::write_list(channel);
  }
  s.course = degree_to_radian(a.course);
  return s;
}

// The Sun's events of the local day: sunrise, sunset and the twilights
// (morning nautical and civil, evening civil and nautical).
struct SunEvents {
  Event sunrise, sunset;
  std::array<Event, 4> twilight;
};

void write_sunrise_and_sunset(const SunEvents& e, double to_local) {
  for (int channel : {kScreen, kResults}) {
    io::write_list(channel);
    io::write_list(channel, {"En tu situacion actual:"});
    io::write_list(channel);
    const std::array<std::pair<const char*, const char*>, 2> lines{
        {{"(a45,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)", " Fecha local y hora civil al orto (hh.mmss): "},
         {"(a46,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)", " Fecha local y hora civil al ocaso (hh.mmss): "}}};
    for (int k = 0; k < 2; ++k) {
      const astro::CalendarDate c = astro::gregorian_date((k == 0 ? e.sunrise : e.sunset).jd + to_local);
      io::write_fmt(channel, lines[k].first,
                    {lines[k].second, c.day, c.month, c.year, degree_to_ddmmss_c(c.hours)});
    }
    io::write_list(channel);
  }
}

// The twilight lines, or the warning when they do not fall on the local
// dates expected.  False when there is no nautical twilight to plan for.
bool write_twilights(const SunEvents& e, double to_local) {
  const std::array<Event, 4>& twilight = e.twilight;
  if (!twilight[0].found || !twilight[3].found) {
    // The Sun does not go 12 degrees down today: there is no window to plan.
    const char* text = "No hay crepusculo nautico en esta fecha: no hay observacion que preparar.";
    io::write_list(kScreen, {text});
    io::write_list(kScreen);
    io::write_list(kResults, {text});
    io::write_list(kResults);
    return false;
  }
  std::array<astro::CalendarDate, 4> local{};
  for (int i = 0; i < 4; ++i)
    if (twilight[i].found) local[i] = astro::gregorian_date(twilight[i].jd + to_local);
  const bool all_found = twilight[1].found && twilight[2].found;
  if (all_found && local[0].day == local[1].day && local[3].day == local[2].day) {
    // The evening line carries the date of the morning twilights.
    for (int channel : {kResults, kScreen})
      write_twilight_lines(channel, local[0], local[0].hours, local[1].hours, local[1], local[2].hours,
                           local[3].hours);
  } else {
    write_twilight_dates_warning();
  }
  return true;
}

void write_twilight_over() {
  io::write_list(kScreen, {" I am sorry, ya se ha acabado el crepusculo vespertino de hoy."});
  io::write_list(kScreen);
  io::write_list(kScreen, {" Tendras que esperar al crepusculo matutino de manana. "});
  io::write_list(kScreen);
  io::write_list(kResults, {" I am sorry, ya se ha acabado el crepusculo vespertino de" + std::string(63, ' ') + "hoy."});
  io::write_list(kResults);
  io::write_list(kResults, {" Tendras que esperar al crepusculo matutino de manana."});
  io::write_list(kResults);
}

// The next observation window and its bodies, from the first case that holds.
void plan_the_window(const Situation& s, const SunEvents& e, const std::vector<Candidate>& candidates) {
  const double now = s.instant.jd_utc;  // Greenwich Julian date
  if (now <= e.twilight[0].jd) {
    const Advance adv = advance_to(Target::nautical_morning, e.twilight[0], now, s.typed, s.speed, s.course);
    write_advance(adv, true);
    write_visible_bodies(candidates, now + adv.hours / 24.0, s.typed);
  } else if (now < e.sunrise.jd) {
    write_window_open(" El crepusculo nautico matutino ya ha comenzado");
    write_visible_bodies(candidates, now, s.typed);
  } else if (now <= e.sunset.jd) {
    const Advance adv = advance_to(Target::sunset, e.sunset, now, s.typed, s.speed, s.course);
    write_advance(adv, false);
    write_visible_bodies(candidates, now + adv.hours / 24.0, s.typed);
  } else if (now <= e.twilight[3].jd) {
    write_window_open(" El Sol ya se ha puesto y aun estamos en el crepusculo");
    write_visible_bodies(candidates, now, s.typed);
  } else {
    write_twilight_over();
  }
}

void one_calculation(Answers& a, const std::vector<Candidate>& candidates) {
  const Situation s = read_situation(a);
  // The day's events, each brought onto today's local date.
  const double today0 = astro::split_julian_date(s.instant.jd_local).jd0;
  const double to_local = s.typed.longitude / 360.0;
  const astro::CalendarDate& g = s.greenwich;
  SunDays days({g.year, g.month, g.day}, s.typed.longitude, s.typed.latitude);
  SunEvents e;
  e.sunrise = days.rise_or_set(true, today0);
  e.sunset = days.rise_or_set(false, today0);
  if (!e.sunrise.found || !e.sunset.found) {
    io::write_list(kScreen);
    io::write_list(kScreen, {"Estas en una latitud extrema. Que se te ha perdido por  ahi?"});  // [sic]
    io::write_list(kScreen);
    io::write_list(kResults, {"Estas en una latitud extrema. Que se te ha perdido por ahi?"});
    io::write_list(kResults);
    return;
  }
  for (int i = 0; i < 4; ++i) e.twilight[i] = days.twilight(i, today0);
  write_sunrise_and_sunset(e, to_local);
  if (!write_twilights(e, to_local)) return;

  io::write_list(kScreen, {"Quieres saber que astros son idoneos para observar (1 Si, 0 NO)?"});
  io::read_keyboard({&a.bodies});
  if (a.bodies == 1) plan_the_window(s, e, candidates);
}

}  // namespace

void prepara_crepusculo() {
  const ephem::StarCatalogue& catalogue = ephem::read_star_catalogue();
  const std::vector<Candidate> candidates = candidates_from(catalogue);
  write_openings();
  Answers answers;
  repeat_calculations(answers.again, Separator::two_empty_lines, [&] { one_calculation(answers, candidates); });
}

}  // namespace zembrel::utilities
