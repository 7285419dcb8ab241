#include "utilities/frame.h"

#include "astro/angles.h"
#include "astro/calendar.h"
#include "io/record_io.h"
#include "utilities/answers.h"

namespace zembrel::utilities {

namespace {

// `text` centred in `width` characters (cut when longer).
std::string centred(const std::string& text, std::size_t width) {
  if (text.size() >= width) return text.substr(0, width);
  const std::size_t left = (width - text.size()) / 2;
  return std::string(left, ' ') + text + std::string(width - text.size() - left, ' ');
}

}  // namespace

std::string credit_line(std::size_t width) {
  return centred("Utilidades de navegacion astronomica", width);
}

std::string web_line(std::size_t width) {
  return centred("Programa libre: zembrel, codigo y datos", width);
}

void write_opening(int channel, std::string_view title, std::size_t credit_width,
                   std::size_t web_width) {
  io::write_list(channel, {title});
  io::write_list(channel);
  io::write_list(channel, {kVersionLine});
  io::write_list(channel);
  io::write_list(channel, {credit_line(credit_width)});
  io::write_list(channel);
  io::write_list(channel, {web_line(web_width)});
  io::write_list(channel);
  write_warning(channel);
}

void write_openings(const Openings& o) {
  for (int i = 0; i < o.screen_blank_before; ++i) io::write_list(io::kScreen);
  write_opening(io::kScreen, o.screen_title, o.screen_credit, o.screen_web);
  io::write_list(io::kResults);
  write_opening(io::kResults, o.file_title, o.file_credit, o.file_web);
  for (int i = 0; i < o.file_blank_after; ++i) io::write_list(io::kResults);
  for (int i = 0; i < o.screen_blank_after; ++i) io::write_list(io::kScreen);
}

void write_warning(int channel) {
  io::write_list(channel, {kHyphens});
  io::write_list(channel, {"   ADVERTENCIA: Este programa se proporciona con"});
  io::write_list(channel, {"   fines educativos exclusivamente. NO ES APTO"});
  io::write_list(channel, {"   PARA NAVEGACION REAL."});
  io::write_list(channel, {kHyphens});
}

void write_greenwich_date(int channel, int day, int month, int year, double packed_time) {
  io::write_fmt(channel, "(a42,1x,i2,1x,i2,1x,i4,2x,f7.4)",
                {" Fecha en Greenwich y hora UTC (hh.mmss): ", day, month, year, packed_time});
}

void write_time_scales(int channel, double jd_utc, const astro::TimeScales& ts) {
  io::write_fmt(channel, "(a25,1x,4(f20.8,1x))", {" jdUTC,jdUT1,jdTT,jdTDB: ", jd_utc, ts.jd_ut1, ts.jd_tt, ts.jd_tdb});
  io::write_list(channel);
  io::write_list(channel, {"D_t = TT-UT1 (seg):   ", (ts.jd_tt - ts.jd_ut1) * 86400.0});
  io::write_list(channel, {"D_t3 = UT1-UTC (seg): ", (ts.jd_ut1 - jd_utc) * 86400.0});
  io::write_list(channel);
}

namespace {

// `before` null: no warning before the table's first entry.
void write_table_warning(const astro::TableValue& v, const char* after, const char* before) {
  if (v.range == astro::TableRange::inside) return;
  if (v.range == astro::TableRange::before && before == nullptr) return;
  io::write_list(io::kScreen);
  io::write_list(io::kScreen, {v.range == astro::TableRange::after ? after : before, v.seconds});
}

}  // namespace

void write_time_scale_warnings(const astro::TimeScales& ts) {
  // "mass alla" [sic]
  // Before "delta_t.iers" begins the time given is UT (UT1 - UTC = 0), with
  // nothing to warn about.
  write_table_warning(ts.ut1_utc, "ATENCION: utilizando delta_t.iers mass alla de su    rango !! delta_t = ",
                      nullptr);
  write_table_warning(ts.delta_t, "ATENCION: utilizando delta_t.dat m\xC3\xA1s all\xC3\xA1 de su    rango!! delta_t = ",
                      "ATENCION: utilizando delta_t.dat antes de su    rango!! delta_t = ");
}

void write_day_search_notes(bool circumpolar, bool no_transit) {
  if (circumpolar) {
    const char* text = "Astro circumpolar o anticircumpolar. No hay orto ni ocaso";
    io::write_list(io::kScreen, {text});
    io::write_list(io::kResults, {text});
  }
  if (no_transit) io::write_list(io::kScreen, {"ATENCION: No hay paso por el meridiano"});
}

void write_twilight_notes(const reduction::Twilights& t) {
  if (t.no_nautical) {
    const char* text = "No hay crepusculo nautico en esta situacion";
    io::write_list(io::kScreen, {text});
    io::write_list(io::kScreen);
    io::write_list(io::kResults, {text});
    io::write_list(io::kResults);
  }
  if (t.no_civil) {
    const char* text = "No hay crepusculo civil en esta situacion";
    io::write_list(io::kScreen, {text});
    io::write_list(io::kResults, {text});
  }
}

ephem::PlanetaryEvents search_planet_day(int year, int month, int day, int body, double longitude,
                                         double latitude) {
  const ephem::PlanetaryEvents e = ephem::planetary_efem3x(year, month, day, body, longitude, latitude);
  write_day_search_notes(e.circumpolar, e.no_transit);
  return e;
}

ephem::StarEvents search_star_day(int year, int month, int day, double longitude, double latitude,
                                  const ephem::CatalogueStar& star) {
  const ephem::StarEvents e = ephem::star_efem3x(year, month, day, longitude, latitude, star);
  write_day_search_notes(e.circumpolar, e.no_transit);
  return e;
}

reduction::Twilights search_twilights(int year, int month, int day, double longitude, double latitude) {
  const reduction::Twilights t = reduction::crepusculos(year, month, day, longitude, latitude);
  write_twilight_notes(t);
  return t;
}

void write_selection_table(int channel, const ephem::BodyNames& names) {
  auto n = [&](int number) -> const std::string& { return ephem::body_name(names, number); };
  for (int i = 1; i <= 17; ++i) {
    io::write_fmt(channel,
                  "(i3,1x,a12,1x,i3,1x,a10,1x,i3,1x,a14,1x,i3,1x,a14,                "
                  "1x,i3,1x,a10,2x,i3,1x,a14,1x,i3,1x,a7)",
                  {i, n(i), i + 17, n(i + 17), i + 34, n(i + 34), i + 51, n(i + 51), i + 68,
                   n(i + 68), i + 85, n(i + 85), i + 102, n(i + 102)});
  }
}

void read_greenwich_date(int& day, int& month, int& year) {
  io::write_list(io::kScreen, {"Fecha en Greenwich de la observacion:"});
  io::write_list(io::kScreen, {"dia   mes   anno (dd mm aaaa)"});
  read_date(day, month, year);
  io::write_list(io::kScreen);
  io::write_fmt(io::kResults, "(a39,1x,i2,1x,i2,1x,i4)",
                {"Fecha en Greenwich de la observacion: ", day, month, year});
}

void write_sight_body_list(const ephem::BodyNames& names) {
  io::write_fmt(io::kScreen, "(i3,1x,a17)", {0, "Astro desconocido"});
  write_selection_table(io::kScreen, names);
  io::write_list(io::kScreen);
}

void read_local_date_and_legal_time(int& day, int& month, int& year, double& legal_time) {
  io::write_list(io::kScreen, {"Fecha local"});
  io::write_list(io::kScreen, {"dia   mes   anno (dd mm aaaa)"});
  read_date(day, month, year);
  io::write_list(io::kScreen);
  io::write_list(io::kScreen, {"Hora legal Hz (hh.mmss):"});
  read_time(legal_time);
}

LocalInstant local_instant(int day, int month, int year, double legal_hours, double longitude, double zone) {
  LocalInstant out;
  out.civil_hours = longitude / 15.0 + (legal_hours - zone);
  out.jd_local = astro::julian_date(year, month, day, out.civil_hours);
  out.jd_utc = out.jd_local - longitude / 360.0;
  return out;
}

Coordinates coordinates(double ra, double dec, double longitude, double theta) {
  using astro::degree_to_ddmmss_c;
  using astro::radian_to_degree;
  const double aries_rad = astro::degree_to_radian(15.0 * theta);
  const double gha = astro::scale_angle(aries_rad + astro::kTwoPi - ra);
  const double lha = astro::scale_angle(gha + longitude);
  const double sidereal = astro::scale_angle(gha - aries_rad);
  return {degree_to_ddmmss_c(radian_to_degree(ra) / 15.0), degree_to_ddmmss_c(radian_to_degree(dec)),
          degree_to_ddmmss_c(radian_to_degree(gha)),       degree_to_ddmmss_c(radian_to_degree(lha)),
          degree_to_ddmmss_c(radian_to_degree(sidereal)),  degree_to_ddmmss_c(15.0 * theta)};
}

void write_coordinates_screen(const Coordinates& k) {
  io::write_fmt(io::kScreen, "(a20,1x,f11.7)", {" alpha (hh.mmsssss):", k.alpha});
  io::write_fmt(io::kScreen, "(a20,1x,f11.6)", {" delta (gg.mmssss): ", k.delta});
  io::write_fmt(io::kScreen, "(a20,1x,f15.7)", {" hG* (gg.mmsssss):  ", k.gha});
  io::write_fmt(io::kScreen, "(a20,1x,f15.7)", {" hL* (gg.mmsssss):  ", k.lha});
  io::write_fmt(io::kScreen, "(a30,1x,f15.7)", {" Angulo sidereo (gg.mmsssss): ", k.sidereal});
  io::write_fmt(io::kScreen, "(a23,1x,f15.7)", {" hG_Aries(gg.mmsssss): ", k.aries});
}

void write_twilight_lines(int channel, const astro::CalendarDate& morning_date, double morning_nautical,
                          double morning_civil, const astro::CalendarDate& evening_date, double evening_civil,
                          double evening_nautical) {
  using astro::degree_to_ddmmss_c;
  const char* format = "(a74,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)";
  io::write_fmt(channel, format,
                {" Fecha local y hora civil (hh.mmss) inicio crepus. matu. nautico y civil: ", morning_date.day,
                 morning_date.month, morning_date.year, degree_to_ddmmss_c(morning_nautical),
                 degree_to_ddmmss_c(morning_civil)});
  io::write_fmt(channel, format,
                {" Fecha local y hora civil (hh.mmss) final crepus. vespe. civil y nautico: ", evening_date.day,
                 evening_date.month, evening_date.year, degree_to_ddmmss_c(evening_civil),
                 degree_to_ddmmss_c(evening_nautical)});
  io::write_list(channel);
}

void write_twilight_dates_warning() {
  io::write_list(io::kResults, {"OJO, lio con las fechas locales y horas de los crepusculos"});
  io::write_list(io::kResults);
  io::write_list(io::kScreen, {"OJO, lio con las fechas locales y horas de los crep  usculos"});  // [sic]
  io::write_list(io::kScreen);
}

bool ask_new_calculation(int& answer) {
  io::write_list(io::kScreen);
  io::write_list(io::kScreen);
  io::write_list(io::kScreen, {"Nuevo calculo (1 Si  0 No)?"});
  io::read_keyboard({&answer});
  return answer == 1;
}

void repeat_calculations(int& answer, Separator between, const std::function<void()>& calculation) {
  for (;;) {
    calculation();
    if (!ask_new_calculation(answer)) return;
    io::write_list(io::kResults);
    if (between == Separator::two_empty_lines) io::write_list(io::kResults);
    if (between == Separator::hyphens) {
      io::write_list(io::kResults, {kHyphens});
      io::write_list(io::kResults);
    }
  }
}

void not_available() {
  io::write_list(io::kScreen, {"Esta utilidad todavia no esta disponible."});
}

}  // namespace zembrel::utilities
