// Menu option 1: local date and legal time to Greenwich date and UT, and back.
#include "astro/angles.h"
#include "astro/calendar.h"
#include "io/record_io.h"
#include "utilities/answers.h"
#include "utilities/frame.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

namespace {

using astro::ddmmss_to_degree_c;
using astro::degree_to_ddmmss_c;
using io::kResults;
using io::kScreen;

constexpr const char* kLongitudeFormat = "(a36,f9.4,2x,f4.0)";
constexpr const char* kLongitudeText = " Longitud (gg.mmss) y huso horario: ";
constexpr const char* kLocalFormat = "(a49,1x,i2,1x,i2,1x,i4,3x,f7.4,3x,f7.4)";
constexpr const char* kLocalText = " Fecha local, hora legal y hora civil (hh.mmss): ";

void write_opening() {
  utilities::write_openings({2, " ZEMBREL: transformacion entre fechas y horas ", 50, 44,
                             " ZEMBREL: transformacion entre fechas  y horas", 50, 45, 1, 1});  // [sic]
}

struct Date {
  int day = 0, month = 0, year = 0;
};

// The answers of the dialogue; they live for the whole call of the utility, so
// an answer that leaves a value unchanged ("/", ",,") keeps the previous one.
struct Answers {
  double longitude = 0.0;  // packed
  int choice = 0;
  Date date;
  double time = 0.0;  // packed
  int again = 0;
};

// Local date and legal time to Greenwich date and UT.
void local_to_greenwich(Answers& a, double longitude, double zone) {
  read_local_date_and_legal_time(a.date.day, a.date.month, a.date.year, a.time);
  const Date local = a.date;
  const double hz = ddmmss_to_degree_c(a.time);

  const LocalInstant instant = local_instant(local.day, local.month, local.year, hz, longitude, zone);
  const double hc = instant.civil_hours;
  const astro::CalendarDate g = astro::gregorian_date(instant.jd_utc);

  for (int channel : {kResults, kScreen}) {
    io::write_list(channel);
    io::write_fmt(channel, kLongitudeFormat, {kLongitudeText, degree_to_ddmmss_c(longitude), zone});
    io::write_list(channel);
    io::write_fmt(channel, kLocalFormat,
                  {kLocalText, local.day, local.month, local.year, degree_to_ddmmss_c(hz),
                   degree_to_ddmmss_c(hc)});
    io::write_list(channel);
    write_greenwich_date(channel, g.day, g.month, g.year, degree_to_ddmmss_c(g.hours));
    io::write_list(channel);
    if (channel == kResults) io::write_list(channel);
  }
}

// Greenwich date and UT to local date, legal time and local civil time.
void greenwich_to_local(Answers& a, double longitude, double zone) {
  io::write_list(kScreen, {"Fecha en Greenwich"});
  io::write_list(kScreen, {"dia   mes   anno (dd mm aaaa)"});
  read_date(a.date.day, a.date.month, a.date.year);
  const Date greenwich = a.date;
  io::write_list(kScreen);
  io::write_list(kScreen, {"Hora UT (hh.mmss):"});
  read_time(a.time);
  const double ut = ddmmss_to_degree_c(a.time);

  const double jd = astro::julian_date(greenwich.year, greenwich.month, greenwich.day, ut);
  const astro::CalendarDate local = astro::gregorian_date(jd + longitude / 360.0);
  double hz = ut + zone;
  if (hz < 0.0) hz += 24.0;
  if (hz > 24.0) hz -= 24.0;

  for (int channel : {kResults, kScreen}) {
    io::write_list(channel);
    io::write_fmt(channel, kLongitudeFormat, {kLongitudeText, degree_to_ddmmss_c(longitude), zone});
    io::write_list(channel);
    write_greenwich_date(channel, greenwich.day, greenwich.month, greenwich.year,
                         degree_to_ddmmss_c(ut));
    io::write_list(channel);
    io::write_fmt(channel, kLocalFormat,
                  {kLocalText, local.day, local.month, local.year, degree_to_ddmmss_c(hz),
                   degree_to_ddmmss_c(local.hours)});
    if (channel == kResults) {
      io::write_list(channel);
      io::write_list(channel, {"--------------------------------------------------------"});
    } else {
      io::write_list(channel);
    }
  }
}

// One calculation: the longitude, the choice of the conversion, the
// conversion.
void one_calculation(Answers& a) {
  io::write_list(kScreen);
  io::write_list(kScreen, {"Longitud (hh.mmss)?"});
  read_longitude(a.longitude);
  const double longitude = ddmmss_to_degree_c(a.longitude);
  const double zone = astro::huso(longitude);

  io::write_list(kScreen);
  io::write_list(kScreen, {" Que deseas hacer?:"});
  io::write_list(kScreen);
  io::write_list(kScreen, {" Pasar de fecha y hora local a fecha en Greenwich y hora UT ..... 1"});
  io::write_list(kScreen, {" Pasar de fecha en Greenwich y hora UT a fecha y hora local ...... 2"});
  io::read_keyboard({&a.choice});
  if (a.choice == 1) {
    local_to_greenwich(a, longitude, zone);
  } else if (a.choice == 2) {
    greenwich_to_local(a, longitude, zone);
  }
}

}  // namespace

void fechas_horas() {
  write_opening();
  Answers a;
  repeat_calculations(a.again, Separator::one_empty_line, [&] { one_calculation(a); });
}

}  // namespace zembrel::utilities
