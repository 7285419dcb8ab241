// Menu option 2: apparent place, hour angles and altitudes of a body for a
// place and a local instant, with the expected sextant reading, then the
// rise, set, twilight and meridian-transit tables of the observer's local
// date.
#include "utilities/efem.h"

#include <cmath>
#include <functional>
#include <string>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/horizon.h"
#include "astro/sidereal.h"
#include "astro/time_scales.h"
#include "ephem/apparent_planets.h"
#include "ephem/day_search.h"
#include "ephem/stars.h"
#include "io/record_io.h"
#include "reduction/body_place.h"
#include "reduction/corrections.h"
#include "reduction/twilight.h"
#include "utilities/answers.h"
#include "utilities/frame.h"
#include "utilities/sight_entry.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

namespace {

using astro::ddmmss_to_degree_c;
using astro::degree_to_ddmmss_c;
using astro::degree_to_radian;
using astro::radian_to_degree;
using io::kResults;
using io::kScreen;

constexpr const char* kLongHyphens = "--------------------------------------------------------";
constexpr const char* kTransitRowScreen =
    "(4x,i2,3x,i2,3x,i4,3x,f9.4,3x,f9.4,3x,f9.4,3x,f9.2,3x,f3 .0)";
constexpr const char* kTransitRowFile =
    "(4x,i2,3x,i2,3x,i4,3x,f9.4,3x,f9.4,3x,f9.4,3x,f9.2,3x, f3.0)";
constexpr int kFixedPointPasses = 20;
// A transit row whose time lies above this holds a transit (an empty row
// holds astro::kNoTransit).
constexpr double kTransitFound = -99.0;

void write_openings() {
  utilities::write_openings(
      {2, "    ZEMBREL: Calculo de efemerides", 49, 44, "   ZEMBREL: Calculo de efemerides", 49, 45, 1, 2});
}

// The answers of the dialogue; they live for the whole call of the utility, so
// an answer that leaves a value unchanged ("/", ",,") keeps the previous one.
struct Answers {
  double latitude = 0.0, longitude = 0.0;  // packed gg.mmss
  reduction::ObservationConditions conditions;
  int day = 0, month = 0, year = 0;
  double legal_time = 0.0;  // packed hh.mmss
  int body = 0;
  int again = 0;
};

// A Greenwich (UT) date on which a day search runs.
struct UtDate {
  int year = 0, month = 0, day = 0;
  UtDate shifted(int days) const {
    const astro::CalendarDate c = astro::gregorian_date(astro::julian_date(year, month, day, 12.0) + days);
    return {c.year, c.month, c.day};
  }
};

// What the tables need of the observation.
struct Observation {
  double latitude = 0.0, longitude = 0.0;  // degrees
  double zone = 0.0;                       // hours
  double local_day0 = 0.0;                 // Julian date of 0 h of the local mean-time date
  UtDate greenwich;
  ephem::Body body;
};

// An event found by a day search at UT hours `hours` of `date`, in local mean
// time, Greenwich time and legal time.
struct EventTimes {
  astro::CalendarDate local;      // date and civil (local mean) hours
  astro::CalendarDate greenwich;  // date and UT hours
  double legal = 0.0;             // hours
  double local_day0 = 0.0;        // Julian date of 0 h of the local date
};

EventTimes event_times(const Observation& o, const UtDate& date, double hours) {
  EventTimes e;
  const double jd_event = astro::julian_date(date.year, date.month, date.day, hours) + o.longitude / 360.0;
  e.local = astro::gregorian_date(jd_event);
  e.greenwich = astro::gregorian_date(jd_event - o.longitude / 360.0);
  e.legal = e.greenwich.hours + o.zone;
  if (e.legal > 24.0) {
    e.legal -= 24.0;
  } else if (e.legal < 0.0) {
    e.legal += 24.0;
  }
  e.local_day0 = astro::split_julian_date(jd_event).jd0;
  return e;
}

// The UT date whose search holds the event of the observer's local date: the
// event at packed UT time `packed` of `date` falls on an earlier local date
// than the observation's, so the next UT date is searched, or on a later one,
// so the previous; 0 when it already falls on the local date.
int neighbour_for(const Observation& o, const UtDate& date, double packed) {
  const double d_ev = event_times(o, date, ddmmss_to_degree_c(packed)).local_day0;
  if (d_ev < o.local_day0) return 1;
  if (o.local_day0 < d_ev) return -1;
  return 0;
}

// ---------------------------------------------------------------------------
// Rising and setting.

// One event of a rise-and-set search with the run it came from.
struct RiseSetEvent {
  bool found = false;
  UtDate date;
  double time = 0.0;  // packed UT hours
  double azimuth = 0.0;
};

struct RiseSetRun {
  double rise_time, set_time, rise_azimuth, set_azimuth;
};

// Matches one event (rise or set) to the local date: the run of `date` gave
// it; when it falls on a neighbouring local date, the search runs again on
// the neighbouring UT date and its event of the same kind is taken, with its
// own azimuth.  An event the search did not find is left out.
RiseSetEvent match_rise_or_set(const Observation& o, const UtDate& date, const RiseSetRun& first,
                               bool rise, const std::function<RiseSetRun(const UtDate&)>& run) {
  RiseSetEvent e;
  auto take = [&](const UtDate& d, const RiseSetRun& r) {
    e.date = d;
    e.time = rise ? r.rise_time : r.set_time;
    e.azimuth = rise ? r.rise_azimuth : r.set_azimuth;
    e.found = e.time != astro::kNoEventTime;
  };
  take(date, first);
  if (!e.found) return e;
  const int shift = neighbour_for(o, date, e.time);
  if (shift != 0) {
    const UtDate other = date.shifted(shift);
    take(other, run(other));
  }
  return e;
}

void write_rise_set(const Observation& o, const RiseSetEvent& rise, const RiseSetEvent& set,
                    bool star) {
  const char* kRiseLocal = " Fecha local, horas legal y civil (hh.mmss) y azimut (ggg.gg) al orto:  ";
  const char* kSetLocal = " Fecha local, horas legal y civil (hh.mmss) y azimut (ggg.gg) al ocaso: ";
  const char* kLocalFormat = "(a72,1x,i2,1x,i2,1x,i4,2x,f8.4,2x,f8.4,2x,f6.2)";
  EventTimes r{}, s{};
  if (rise.found) r = event_times(o, rise.date, ddmmss_to_degree_c(rise.time));
  if (set.found) s = event_times(o, set.date, ddmmss_to_degree_c(set.time));

  auto local_lines = [&](int channel) {
    if (rise.found)
      io::write_fmt(channel, kLocalFormat,
                    {kRiseLocal, r.local.day, r.local.month, r.local.year, degree_to_ddmmss_c(r.legal),
                     degree_to_ddmmss_c(r.local.hours), rise.azimuth});
    if (set.found)
      io::write_fmt(channel, kLocalFormat,
                    {kSetLocal, s.local.day, s.local.month, s.local.year, degree_to_ddmmss_c(s.legal),
                     degree_to_ddmmss_c(s.local.hours), set.azimuth});
  };
  auto greenwich_lines = [&](int channel, const char* rise_text, const char* set_text,
                             const char* rise_format, const char* set_format) {
    if (rise.found)
      io::write_fmt(channel, rise_format,
                    {rise_text, r.greenwich.day, r.greenwich.month, r.greenwich.year,
                     degree_to_ddmmss_c(r.greenwich.hours)});
    if (set.found)
      io::write_fmt(channel, set_format,
                    {set_text, s.greenwich.day, s.greenwich.month, s.greenwich.year,
                     degree_to_ddmmss_c(s.greenwich.hours)});
  };

  io::write_list(kScreen);
  local_lines(kScreen);
  io::write_list(kScreen);
  io::write_list(kScreen);
  // "Greenich" [sic] on the screen.
  greenwich_lines(kScreen, " Fecha en Greenich y hora UTC al orto (hh.mmss): ",
                  " Fecha en Greenich y hora UTC al ocaso (hh.mmss): ",
                  "(a49,1x,i2,1x,i2,1x,i4,2x,f8.4,2x,f8.4)", "(a50,1x,i2,1x,i2,1x,i4,2x,f8.4,2x,f8.4)");
  io::write_list(kScreen);
  io::write_list(kScreen);

  if (!star) io::write_list(kResults);
  io::write_list(kResults);
  local_lines(kResults);
  io::write_list(kResults);
  if (star) io::write_list(kResults);
  greenwich_lines(kResults, " Fecha en Greenwich y hora UTC al orto (hh.mmss): ",
                  " Fecha en Greenwich y hora UTC al ocaso (hh.mmss): ",
                  star ? "(a49,1x,i2,1x,i2,1x,i4,2x,f8.4,2x,f8.4)" : "(a49,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)",
                  star ? "(a50,1x,i2,1x,i2,1x,i4,2x,f8.4,2x,f8.4)" : "(a50,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)");
  io::write_list(kResults);
  io::write_list(kResults);
}

// ---------------------------------------------------------------------------
// Twilights.

// One twilight instant, matched to the local date on its own: when it falls
// on a neighbouring local date, the twilights of the neighbouring UT date are
// searched and the same instant taken from them.  An instant that does not
// exist is never turned into a time.
struct TwilightInstant {
  bool found = false;
  EventTimes times;
};

enum class Twilight { morning_nautical, morning_civil, evening_civil, evening_nautical };

double instant_of(const reduction::Twilights& t, Twilight which) {
  switch (which) {
    case Twilight::morning_nautical: return t.nautical[0];
    case Twilight::morning_civil: return t.civil[0];
    case Twilight::evening_civil: return t.civil[1];
    case Twilight::evening_nautical: return t.nautical[1];
  }
  return astro::kNoTwilight;
}

TwilightInstant match_twilight(const Observation& o, const UtDate& date,
                               const reduction::Twilights& first, Twilight which) {
  TwilightInstant e;
  double value = instant_of(first, which);
  if (value == astro::kNoTwilight) return e;
  UtDate from = date;
  const int shift = neighbour_for(o, date, value);
  if (shift != 0) {
    from = date.shifted(shift);
    value = instant_of(search_twilights(from.year, from.month, from.day, o.longitude, o.latitude),
                       which);
    if (value == astro::kNoTwilight) return e;
  }
  e.found = true;
  e.times = event_times(o, from, ddmmss_to_degree_c(value));
  return e;
}

void twilight_tables(const Observation& o) {
  io::write_list(kScreen, {"Calculando crepusculos, espera..."});
  io::write_list(kScreen);
  const UtDate& g = o.greenwich;
  const reduction::Twilights first = search_twilights(g.year, g.month, g.day, o.longitude, o.latitude);
  const TwilightInstant mn = match_twilight(o, g, first, Twilight::morning_nautical);
  const TwilightInstant mc = match_twilight(o, g, first, Twilight::morning_civil);
  const TwilightInstant ec = match_twilight(o, g, first, Twilight::evening_civil);
  const TwilightInstant en = match_twilight(o, g, first, Twilight::evening_nautical);

  if (!mn.found && !mc.found && !ec.found && !en.found) return;  // the search has said why
  if (mn.found && mc.found && ec.found && en.found && mn.times.local.day == mc.times.local.day &&
      en.times.local.day == ec.times.local.day) {
    for (int channel : {kResults, kScreen}) {
      io::write_list(channel, {"Crespusculos:"});  // [sic]
      io::write_list(channel);
      write_twilight_lines(channel, mn.times.local, mn.times.local.hours, mc.times.local.hours, ec.times.local,
                           ec.times.local.hours, en.times.local.hours);
    }
  } else {
    write_twilight_dates_warning();
  }
}

// ---------------------------------------------------------------------------
// Meridian transits.

// One transit row with the UT date of the search that found it.
struct TransitRow {
  bool found = false;
  UtDate date;
  std::array<double, 4> values{};  // packed time, packed altitude, azimuth, kind
  EventTimes times;
};

using TransitTable = std::vector<std::array<double, 4>>;

// Row k of the table of `date`, matched to the local date: when it falls on a
// neighbouring local date, row k of the neighbouring UT date's table is taken
// (dropped when that table has no such row).
TransitRow match_transit(const Observation& o, const UtDate& date, const TransitTable& table,
                         std::size_t k, const std::function<TransitTable(const UtDate&)>& run) {
  TransitRow row;
  row.date = date;
  row.values = table[k];
  const int shift = neighbour_for(o, date, row.values[0]);
  if (shift != 0) {
    row.date = date.shifted(shift);
    row.values = run(row.date)[k];
  }
  row.found = row.values[0] > kTransitFound;
  if (row.found) row.times = event_times(o, row.date, ddmmss_to_degree_c(row.values[0]));
  return row;
}

void write_transit_headers(bool star) {
  if (!star) io::write_list(kResults);
  io::write_list(kResults);
  io::write_list(kResults, {"Transitos:"});
  io::write_list(kResults);
  io::write_list(kResults, {"Fecha local, hora civil (hh.mmss), Altura verdadera (gg.mmssss)  Azimut (ggg.g)   tipo (1,0,-1):"});
  io::write_list(kResults);
  const char* kinds[] = {"1 --> Transito ocurre sobre el horizonte",
                         "0 --> Transito ocurre bajo el horizonte",
                         "-1 --> Transito por el meridiano inferior"};
  for (const char* k : kinds) io::write_list(kResults, {k});
  io::write_list(kResults);
  io::write_list(kScreen);
  io::write_list(kScreen);
  io::write_list(kScreen, {"Transitos:"});
  io::write_list(kScreen);
  io::write_list(kScreen, {"Fecha local, horas legal y civil (hh.mmss), Altura verdadera (gg.mmssss)  Azimut (ggg.g)   tipo (1,0,-1):"});
  io::write_list(kScreen);
  for (const char* k : kinds) io::write_list(kScreen, {k});
  io::write_list(kScreen);
}

// The heading of the Greenwich transit rows: an empty line on each channel,
// then the header and an empty line on the results file and on the screen.
void write_greenwich_transits_header(const char* header) {
  io::write_list(kResults);
  io::write_list(kScreen);
  io::write_list(kResults, {header});
  io::write_list(kResults);
  io::write_list(kScreen, {header});
  io::write_list(kScreen);
}

void write_local_transit(const TransitRow& r) {
  const auto& t = r.times;
  for (auto [channel, format] : {std::pair{kScreen, kTransitRowScreen}, std::pair{kResults, kTransitRowFile}}) {
    io::write_fmt(channel, format,
                  {t.local.day, t.local.month, t.local.year, degree_to_ddmmss_c(t.legal),
                   degree_to_ddmmss_c(t.local.hours), r.values[1], r.values[2], r.values[3]});
  }
}

// The transit rows of the Sun, the Moon or a planet, starting from the table
// of the last search made (that of `date`); each row keeps the UT date of the
// search that found it for its matching and its local and Greenwich times.
void planet_transits(const Observation& o, const UtDate& date, const ephem::PlanetaryEvents& last) {
  io::write_list(kScreen, {"Calculando transitos por el meridiano, espera..."});
  io::write_list(kScreen);
  const TransitTable table(last.transits.begin(), last.transits.end());
  auto run = [&](const UtDate& d) {
    const ephem::PlanetaryEvents e =
        search_planet_day(d.year, d.month, d.day, o.body.ephemeris_body, o.longitude, o.latitude);
    return TransitTable(e.transits.begin(), e.transits.end());
  };
  // Only rows that hold a transit are matched.
  std::array<TransitRow, 2> rows;
  for (std::size_t k = 0; k < 2; ++k) {
    if (table[k][0] > kTransitFound) rows[k] = match_transit(o, date, table, k, run);
  }

  write_transit_headers(false);
  for (std::size_t k = 0; k < 2; ++k) {
    if (!rows[k].found || rows[k].values[0] < 0.0) continue;
    write_local_transit(rows[k]);
    if (k == 0) io::write_list(kResults);
  }
  write_greenwich_transits_header(
      "Fecha en Greenwich, hora UTC (hh.mmss), Altura verdadera (gg.mmssss)  Azimut (ggg.g)   tipo (1,0,-1):");
  io::write_list(kResults);
  for (const TransitRow& r : rows) {
    if (!r.found || r.values[0] < 0.0) continue;
    const auto& g = r.times.greenwich;
    for (int channel : {kScreen, kResults}) {
      io::write_fmt(channel, "(4x,i2,3x,i2,3x,i4,3x,f9.4,2x,f9.4,2x,f9.2,2x,f3.0)",
                    {g.day, g.month, g.year, r.values[0], r.values[1], r.values[2], r.values[3]});
    }
  }
  io::write_list(kResults);
  io::write_list(kResults, {kLongHyphens});
  io::write_list(kScreen);
}

void star_transits(const Observation& o, const ephem::StarEvents& first) {
  io::write_list(kScreen, {"Calculando transitos por el meridiano, espera..."});
  io::write_list(kScreen);
  const TransitTable table(first.transits.begin(), first.transits.end());
  auto run = [&](const UtDate& d) {
    const ephem::StarEvents e =
        search_star_day(d.year, d.month, d.day, o.longitude, o.latitude, o.body.star);
    return TransitTable(e.transits.begin(), e.transits.end());
  };
  std::vector<TransitRow> rows(table.size());
  for (std::size_t k = 0; k < table.size(); ++k) {
    if (table[k][0] > kTransitFound) rows[k] = match_transit(o, o.greenwich, table, k, run);
  }

  write_transit_headers(true);
  for (const TransitRow& r : rows) {
    if (r.found) write_local_transit(r);
  }
  write_greenwich_transits_header(
      "Fecha en Greenwich y hora UTC (hh.mmss), Altura verdadera (gg.mmssss)  Azimut (ggg.g)   tipo (1,0,-1):");
  for (const TransitRow& r : rows) {
    if (!r.found) continue;
    const auto& g = r.times.greenwich;
    for (auto [channel, format] : {std::pair{kScreen, kTransitRowScreen}, std::pair{kResults, kTransitRowFile}}) {
      io::write_fmt(channel, format,
                    {g.day, g.month, g.year, degree_to_ddmmss_c(g.hours), r.values[1], r.values[2],
                     r.values[3]});
    }
  }
  io::write_list(kScreen);
  io::write_list(kResults);
  io::write_list(kResults, {kLongHyphens});
}

// ---------------------------------------------------------------------------
// The tables of one body.

void planet_tables(const Observation& o) {
  io::write_list(kScreen, {"Calculando orto y ocaso, espera..."});
  io::write_list(kScreen);
  const UtDate& g = o.greenwich;
  const int body = o.body.ephemeris_body;
  ephem::PlanetaryEvents last = search_planet_day(g.year, g.month, g.day, body, o.longitude, o.latitude);
  UtDate last_date = g;
  const RiseSetRun first{last.rise_time, last.set_time, last.rise_azimuth, last.set_azimuth};
  auto run = [&](const UtDate& d) {
    last = search_planet_day(d.year, d.month, d.day, body, o.longitude, o.latitude);
    last_date = d;
    return RiseSetRun{last.rise_time, last.set_time, last.rise_azimuth, last.set_azimuth};
  };
  if (first.rise_time != astro::kNoEventTime || first.set_time != astro::kNoEventTime) {
    const RiseSetEvent set = match_rise_or_set(o, g, first, false, run);
    const RiseSetEvent rise = match_rise_or_set(o, g, first, true, run);
    write_rise_set(o, rise, set, false);
  }
  if (o.body.number == astro::kListSun) twilight_tables(o);
  // The transits start from the table of the last search made.
  planet_transits(o, last_date, last);
}

void star_tables(const Observation& o) {
  io::write_list(kScreen, {"Calculando orto y ocaso, espera..."});
  io::write_list(kScreen);
  const UtDate& g = o.greenwich;
  const ephem::StarEvents first =
      search_star_day(g.year, g.month, g.day, o.longitude, o.latitude, o.body.star);
  if (!first.circumpolar) {
    auto run = [&](const UtDate& d) {
      const ephem::StarEvents e = search_star_day(d.year, d.month, d.day, o.longitude, o.latitude, o.body.star);
      return RiseSetRun{e.rise_time, e.set_time, e.rise_azimuth, e.set_azimuth};
    };
    const RiseSetRun r{first.rise_time, first.set_time, first.rise_azimuth, first.set_azimuth};
    const RiseSetEvent set = match_rise_or_set(o, g, r, false, run);
    const RiseSetEvent rise = match_rise_or_set(o, g, r, true, run);
    write_rise_set(o, rise, set, true);
  }
  star_transits(o, first);
}

// ---------------------------------------------------------------------------
// The calculation.

// The place and the instant of a calculation.
struct Instant {
  double latitude = 0.0, longitude = 0.0;  // degrees
  double legal = 0.0;                      // legal time, hours
  double zone = 0.0;                       // hours
  LocalInstant local{};
  astro::CalendarDate greenwich{};
  astro::TimeScales scales;
};

// The position and the conditions: the screen dialogue, then the results
// file's "Datos" block.
void read_position_and_conditions(Answers& a, Instant& in) {
  io::write_list(kScreen, {"Latitud y Longitud (gg.mmss):"});
  read_position(a.latitude, a.longitude);
  in.latitude = ddmmss_to_degree_c(a.latitude);
  in.longitude = ddmmss_to_degree_c(a.longitude);
  const reduction::ObservationConditions& c = a.conditions;
  io::write_list(kScreen, {"Condiciones de observacion:"});
  read_observation_conditions(a.conditions);

  io::write_list(kScreen);
  io::write_list(kResults);
  io::write_list(kResults, {" Datos:"});
  io::write_list(kResults, {" ------"});
  io::write_list(kResults);
  io::write_fmt(kResults, "(a31,2(f10.4,2x))",
                {" Situacion: lat  lon (gg.mmss):", degree_to_ddmmss_c(in.latitude),
                 degree_to_ddmmss_c(in.longitude)});
  io::write_list(kResults);
  io::write_fmt(kResults, "(a32,1x,f6.2)", {" Altura sobre el nivel del mar: ", c.height});
  io::write_fmt(kResults, "(a25,1x,f6.2)", {" Error de indice (min):  ", c.index_error});
  if (c.abnormal_weather == 1) {
    io::write_list(kResults);
    io::write_fmt(kResults, "(a50,1x,f7.2,1x,f6.1)",
                  {" Meteorologia anomala. Presion (hPa) y Temp. (C): ", c.pressure, c.temperature});
  }
  io::write_list(kResults);
}

// The local date and legal time, the zone and the Greenwich date on the
// screen, with the instant's time scales.
void read_instant(Answers& a, Instant& in) {
  read_local_date_and_legal_time(a.day, a.month, a.year, a.legal_time);
  in.legal = ddmmss_to_degree_c(a.legal_time);
  in.zone = astro::huso(in.longitude);
  io::write_list(kScreen);
  io::write_list(kScreen, {"Huso ", in.zone});
  io::write_list(kScreen);
  in.local = local_instant(a.day, a.month, a.year, in.legal, in.longitude, in.zone);
  in.greenwich = astro::gregorian_date(in.local.jd_utc);
  in.scales = astro::time_scales(in.local.jd_utc);
  write_time_scale_warnings(in.scales);
  write_greenwich_date(kScreen, in.greenwich.day, in.greenwich.month, in.greenwich.year,
                       degree_to_ddmmss_c(in.greenwich.hours));
  io::write_list(kScreen);
}

// The results file's heading of the body, then the time scales on both
// channels.
void write_body_heading(const Answers& a, const Instant& in, const std::string& name) {
  const astro::CalendarDate& g = in.greenwich;
  io::write_fmt(kResults, "(a37,1x,i2,1x,i2,1x,i4,1x,f7.4)",
                {" Fecha local y hora legal (hh.mmss): ", a.day, a.month, a.year, degree_to_ddmmss_c(in.legal)});
  io::write_list(kResults);
  io::write_fmt(kResults, "(a31,a15)", {" Coordenadas y efemerides para ", name});
  io::write_list(kResults, {"---------------------------------------"});
  io::write_list(kResults);
  io::write_fmt(kResults, "(a60,1x,i2,1x,i2,1x,i4,1x,f7.4,1x,f7.4,1x,f4.0)",
                {" Fecha local, horas legal y civil (hh.mmss) y huso horario: ", a.day, a.month, a.year,
                 degree_to_ddmmss_c(in.legal), degree_to_ddmmss_c(in.local.civil_hours), in.zone});
  io::write_list(kResults);
  write_greenwich_date(kResults, g.day, g.month, g.year, degree_to_ddmmss_c(g.hours));
  io::write_list(kResults);
  for (int channel : {kScreen, kResults}) write_time_scales(channel, in.local.jd_utc, in.scales);
}

// What the calculation finds of the body at the instant.
struct BodyAtInstant {
  Coordinates coords{};
  double altitude = 0.0;  // true, degrees
  double azimuth = 0.0;   // degrees from north
  double sd_min = 0.0, hp_min = 0.0;
  bool above_horizon = false;
  ExpectedReading reading;  // above the horizon only
};

BodyAtInstant body_at(const Instant& in, const ephem::Body& body, const reduction::ObservationConditions& c) {
  const astro::TimeScales& ts = in.scales;
  const double theta = astro::ut_to_st(0.0, ts.jd_ut1).local_apparent_st;
  const reduction::BodyPlace place = reduction::apparent_place(body, ts.jd_tt);
  const astro::Horizontal h = astro::equatorial_to_horizontal(ts.jd_ut1, in.longitude, in.latitude, place.direction);
  BodyAtInstant b;
  b.azimuth = ephem::azimuth_from_north(h);
  b.altitude = radian_to_degree(h.spherical.latitude);
  b.above_horizon = b.altitude >= 0.0;
  if (b.above_horizon) b.reading = expected_reading(b.altitude, c, body.number, place.sd, place.hp);
  b.coords = coordinates(place.ra, place.dec, degree_to_radian(in.longitude), theta);
  b.sd_min = 60.0 * radian_to_degree(place.sd);
  b.hp_min = 60.0 * radian_to_degree(place.hp);
  return b;
}

void write_body_screen(const BodyAtInstant& b) {
  io::write_list(kScreen, {"SD, PHE (min. arco): ", b.sd_min, b.hp_min});
  write_coordinates_screen(b.coords);
  io::write_list(kScreen);
  io::write_fmt(kScreen, "(a21,1x,f12.6)", {" Altura (dd.mmssss): ", degree_to_ddmmss_c(b.altitude)});
  io::write_fmt(kScreen, "(a18,1x,f7.2)", {" Azimut (ggg.gg): ", b.azimuth});
  if (!b.above_horizon) return;
  io::write_fmt(kScreen, "(a45,1x,f12.6)",
                {" Altura aparente limbo inferior (dd.mmssss): ", degree_to_ddmmss_c(b.reading.apparent)});
  io::write_fmt(kScreen, "(a49,1x,f12.6)",
                {" Altura instrumental limbo inferior (dd.mmssss): ", degree_to_ddmmss_c(b.reading.instrumental)});
}

// The expected sextant reading of a body above the horizon, results file.
void write_reading_results(const ExpectedReading& r) {
  const reduction::AltitudeCorrections& k = r.corrections;
  io::write_list(kResults);
  write_corrections_line(kResults, k.index_error, -k.minus_dip, k.semidiameter, -k.minus_refraction, k.parallax);
  io::write_fmt(kResults, "(a45,1x,f12.6)",
                {" Altura aparente limbo inferior (gg.mmssss): ", degree_to_ddmmss_c(r.apparent)});
  io::write_fmt(kResults, "(a49,1x,f12.6)",
                {" Altura instrumental limbo inferior (gg.mmssss): ", degree_to_ddmmss_c(r.instrumental)});
  io::write_list(kResults);
  io::write_list(kResults, {"Altura instrumental es la que deberias medir con el sextante antes de aplicar correccion alguna"});
  io::write_list(kResults, {"Altura aparente es la altura instrumental corregida por error de indice y depresion del horizonte"});
}

void write_body_results(const BodyAtInstant& b, const Instant& in) {
  const Coordinates& k = b.coords;
  io::write_list(kResults, {"SD, PHE (min. arco): ", b.sd_min, b.hp_min});
  io::write_list(kResults);
  io::write_list(kResults);
  io::write_list(kResults, {"Coordenadas:"});
  io::write_list(kResults, {"------------"});
  io::write_list(kResults);
  io::write_fmt(kResults, "(a20,1x,f11.7)", {" alpha (hh.mmsssss):", k.alpha});
  io::write_fmt(kResults, "(a20,1x,f11.7)", {" delta (gg.mmssss): ", k.delta});
  io::write_fmt(kResults, "(a20,f11.7)", {" hG* (gg.mmsssss):  ", k.gha});
  io::write_fmt(kResults, "(a20,f11.7)", {" hL* (gg.mmsssss):  ", k.lha});
  io::write_fmt(kResults, "(a30,f11.7)", {" Angulo sidereo (gg.mmsssss): ", k.sidereal});
  io::write_fmt(kResults, "(a23,f11.7)", {" hG_Aries(gg.mmsssss): ", k.aries});
  io::write_list(kResults);
  io::write_fmt(kResults, "(a31,1x,f12.6)", {" Altura verdadera (gg.mmssss): ", degree_to_ddmmss_c(b.altitude)});
  io::write_fmt(kResults, "(a27,1x,f7.2)", {" Azimut circular (ggg.gg): ", b.azimuth});
  if (b.above_horizon) write_reading_results(b.reading);
  io::write_list(kResults);
  io::write_list(kResults);
  io::write_fmt(kResults, "(a34,2(f10.4,2x))",
                {" Efemerides en lat lon (gg.mmss): ", degree_to_ddmmss_c(in.latitude),
                 degree_to_ddmmss_c(in.longitude)});
  io::write_list(kResults, {kLongHyphens});
  io::write_list(kResults);
  io::write_list(kScreen);
  io::write_list(kScreen);
}

void one_calculation(Answers& a, const ephem::StarCatalogue& catalogue, const ephem::BodyNames& names) {
  Instant in;
  read_position_and_conditions(a, in);
  read_instant(a, in);
  write_selection_table(kScreen, names);
  io::write_list(kScreen);
  const int n = read_body_number(a.body, {"Introduce el numero correspondiente al astro deseado", 1});
  write_body_heading(a, in, ephem::body_name(names, n));

  const ephem::Body body = ephem::body_of_list_number(n, catalogue);
  const BodyAtInstant b = body_at(in, body, a.conditions);
  write_body_screen(b);
  write_body_results(b, in);

  Observation o;
  o.latitude = in.latitude;
  o.longitude = in.longitude;
  o.zone = in.zone;
  o.local_day0 = astro::split_julian_date(in.local.jd_local).jd0;
  o.greenwich = {in.greenwich.year, in.greenwich.month, in.greenwich.day};
  o.body = body;
  if (body.kind == ephem::Body::Kind::ephemeris) {
    planet_tables(o);
  } else {
    star_tables(o);
  }
}

}  // namespace

ExpectedReading expected_reading(double h, const reduction::ObservationConditions& c, int body,
                                 double sd, double hp) {
  // Start from the corrections worked backwards at the true altitude, then
  // move the reading until its forward correction gives h.
  const double dip = reduction::dip_of_horizon(c.height);
  const double r = astro::refraction(h, c.pressure, c.temperature);
  const double p = radian_to_degree(hp) * std::cos(degree_to_radian(h));
  ExpectedReading out;
  out.instrumental = h + r / 60.0 - p - radian_to_degree(sd) - c.index_error / 60.0 + dip / 60.0;
  reduction::CorrectedAltitude fwd;
  for (int pass = 0; pass < kFixedPointPasses; ++pass) {
    fwd = reduction::correct_altitude(out.instrumental, c, body, -1, sd, hp,
                                      reduction::CorrectionOrder::fix);
    const double miss = h - fwd.ho;
    if (!(std::fabs(miss) > 1e-10)) break;
    out.instrumental += miss;
  }
  fwd = reduction::correct_altitude(out.instrumental, c, body, -1, sd, hp, reduction::CorrectionOrder::fix);
  out.corrections = fwd.corrections;
  out.apparent = out.instrumental + (c.index_error - dip) / 60.0;
  return out;
}

void efem() {
  const ephem::StarCatalogue& catalogue_file = ephem::read_star_catalogue();
  const ephem::StarCatalogue catalogue = catalogue_file;
  const ephem::BodyNames names = ephem::body_names(catalogue);
  write_openings();
  Answers answers;
  repeat_calculations(answers.again, Separator::two_empty_lines,
                      [&] { one_calculation(answers, catalogue, names); });
}

}  // namespace zembrel::utilities
