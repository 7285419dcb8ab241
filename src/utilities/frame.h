// Pieces shared by the utilities' dialogues: the opening lines, the
// time-scales block, the local and Greenwich dates, the body list and the
// recognition report of a sight, the printed coordinates, the twilight lines
// and the "Nuevo calculo" question.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "astro/calendar.h"
#include "astro/time_scales.h"
#include "ephem/stars.h"
#include "reduction/twilight.h"

namespace zembrel::utilities {

inline constexpr const char* kVersionLine = "            Version 3.0. Marzo de 2018  ";

// Texts several utilities print: the hyphen line of the warning (also their
// separator between calculations), the dead-reckoning position prompt and the
// prompt of each sextant reading of the sight reductions.
inline constexpr const char* kHyphens = "   ---------------------------------------------";
inline constexpr const char* kPositionText = "Situacion estimada: lat  lon (gg.mmss):";
inline constexpr const char* kReadingPrompt = "Hora UT (hh.mmss)   altura inst. (gg.mmss) de la medida ";

// The credit and web-address lines of an opening, exactly `width` characters.
std::string credit_line(std::size_t width);
std::string web_line(std::size_t width);

// The opening block of a utility, list-directed: its title, then the version,
// credit and web-address lines and the warning, separated by empty lines.
void write_opening(int channel, std::string_view title, std::size_t credit_width,
                   std::size_t web_width);

// The openings of a utility on the screen and in the results file: empty
// screen lines, the screen's opening, an empty line and the file's opening
// (each with its own title and line widths), empty file and screen lines.
struct Openings {
  int screen_blank_before;
  const char* screen_title;
  std::size_t screen_credit, screen_web;
  const char* file_title;
  std::size_t file_credit, file_web;
  int file_blank_after;
  int screen_blank_after;
};
void write_openings(const Openings& o);

// The five-line warning (hyphens, three lines of text, hyphens), list-directed.
void write_warning(int channel);

// The line " Fecha en Greenwich y hora UTC (hh.mmss): " with a date and a
// packed time, as several utilities print it.
void write_greenwich_date(int channel, int day, int month, int year, double packed_time);

// The time-scales block: the UTC, UT1, TT and TDB Julian dates, an empty
// line, TT-UT1 and UT1-UTC in seconds, an empty line.
void write_time_scales(int channel, double jd_utc, const astro::TimeScales& ts);

// The screen's warning for each time table that an instant falls outside
// (the nearest value was used): an empty line, then "ATENCION: utilizando
// delta_t.iers mass alla de su    rango !! delta_t = " [sic] (or the text of
// "delta_t.dat", or "antes de su" before the first entry of "delta_t.dat";
// none before that of "delta_t.iers", where the time given is UT) and the
// value.  Printed right after the time scales are taken.
void write_time_scale_warnings(const astro::TimeScales& ts);

// What a day search found missing: "Astro circumpolar o anticircumpolar. No
// hay orto ni ocaso" on the screen and the results file when the body
// neither rises nor sets, "ATENCION: No hay paso por el meridiano" on the
// screen when it does not cross the meridian.  Printed after every search.
void write_day_search_notes(bool circumpolar, bool no_transit);
// The same for the twilights: "No hay crepusculo nautico en esta situacion"
// on the screen and an empty line, the same on the results file; then "No
// hay crepusculo civil en esta situacion" on both.
void write_twilight_notes(const reduction::Twilights& t);

// The day searches as the dialogues run them: the search, then its notes.
ephem::PlanetaryEvents search_planet_day(int year, int month, int day, int body, double longitude,
                                         double latitude);
ephem::StarEvents search_star_day(int year, int month, int day, double longitude, double latitude,
                                  const ephem::CatalogueStar& star);
reduction::Twilights search_twilights(int year, int month, int day, double longitude, double latitude);

// The Greenwich date of a sight: its two prompts and the answer on the
// screen, an empty screen line, then the date line on the results file.
void read_greenwich_date(int& day, int& month, int& year);

// The 17-line selection table of the list numbers 1..119 (seven columns of
// 17, each name cut to its column's width), on `channel`.
void write_selection_table(int channel, const ephem::BodyNames& names);

// The list of bodies a sight may be of: 0 for an unknown one, then the
// selection table, then an empty line (screen).
void write_sight_body_list(const ephem::BodyNames& names);

// The local date and legal time of a calculation: "Fecha local", the date
// prompt and answer, an empty line, "Hora legal Hz (hh.mmss):" and the answer
// (screen).
void read_local_date_and_legal_time(int& day, int& month, int& year, double& legal_time);

// An instant given by its local date and legal time (decimal hours) at a
// longitude (degrees, east positive) keeping a time zone (hours).
struct LocalInstant {
  double civil_hours;  // local mean (civil) time of the date, may lie outside 0-24
  double jd_local;     // Julian date on the local civil clock
  double jd_utc;       // Julian date on the Greenwich clock
};
LocalInstant local_instant(int day, int month, int year, double legal_hours, double longitude, double zone);

// The coordinates of a place as the utilities print them, all packed: right
// ascension (h.mmss), declination, Greenwich and local hour angles, sidereal
// hour angle and the Greenwich hour angle of Aries (d.mmss).  ra, dec and
// longitude in radians, theta the apparent sidereal time in hours.
struct Coordinates {
  double alpha, delta, gha, lha, sidereal, aries;
};
Coordinates coordinates(double ra, double dec, double longitude, double theta);
// Their six lines as the screen shows them (the results file has layouts of
// its own in each utility).
void write_coordinates_screen(const Coordinates& k);

// The twilight lines on a channel: a local date with the civil times
// (decimal hours) of the morning nautical and civil twilights, a local date
// with those of the evening civil and nautical ones, and an empty line.
void write_twilight_lines(int channel, const astro::CalendarDate& morning_date, double morning_nautical,
                          double morning_civil, const astro::CalendarDate& evening_date, double evening_civil,
                          double evening_nautical);
// In their place, when the twilights do not fall on the local dates
// expected: the warning on the results file and on the screen.
void write_twilight_dates_warning();

// Screen: two empty lines and "Nuevo calculo (1 Si  0 No)?"; reads the answer
// into `answer`, the utility's own variable (a "/" keeps its previous value),
// and is true when it is 1.
bool ask_new_calculation(int& answer);

// What the results file gets between two calculations: one or two empty
// lines, or the hyphen line between empty lines.
enum class Separator { one_empty_line, two_empty_lines, hyphens };
// Runs `calculation`, then asks for a new one, until the answer is not 1.
void repeat_calculations(int& answer, Separator between, const std::function<void()>& calculation);

// A menu option whose utility is not built yet: one line, back to the menu.
void not_available();

}  // namespace zembrel::utilities
