// Observation conditions, the readings of one sight and their means, and the
// corrections that turn a mean sextant altitude into a true altitude (index
// error, dip, refraction, semidiameter, parallax), with their report lines.
#pragma once

#include <array>
#include <string_view>

namespace zembrel::reduction {

// Height of eye, index error and weather of one calculation.  The dialogue
// reads straight into these fields, so keep the record alive for the whole
// call of a utility (a "/" answer keeps the previous value).
struct ObservationConditions {
  double height = 0.0;        // metres above the sea
  double index_error = 0.0;   // minutes of arc, applied with its sign
  int abnormal_weather = 0;   // 1 means yes
  double pressure = 1010.0;   // hPa; 1010 unless the weather is abnormal
  double temperature = 10.0;  // degrees Celsius; 10 unless the weather is abnormal
};

inline constexpr int kMaxReadings = 6;

// One body observed: up to six timed readings and their means.  Also read in
// place by the dialogue.
struct Sight {
  int count = 0;
  std::array<double, kMaxReadings> times{};      // UTC, packed hh.mmss
  std::array<double, kMaxReadings> altitudes{};  // instrumental, packed gg.mmss
  double mean_time = 0.0;      // decimal hours; may fall outside 0-24 (readings across 0 h)
  double mean_altitude = 0.0;  // decimal degrees
};

// Screen dialogue of the observation conditions (prompts and answers only;
// the title line above it is the caller's, as it differs between utilities).
// An answer other than 1 to the weather question sets 1010 hPa and 10 C.
void read_observation_conditions(ObservationConditions& c);

// The echo of the conditions to a channel: empty line, " Datos:", " ------",
// empty line, the conditions lines, empty line.
void write_conditions_echo(int channel, const ObservationConditions& c);
// Only the height/index-error line and, with abnormal weather, an empty line
// and the weather line.
void write_conditions_lines(int channel, const ObservationConditions& c);

// Asks "Numero de medidas realizadas?" until the answer is 1 to 6, writes the
// readings' heading to the results file, then reads each reading (the prompt
// followed by its number), echoing it to the results file.  Leaves the means
// alone.
void read_readings(Sight& s, std::string_view prompt);

// Means of the readings, each converted to decimal first.  Each time is
// unwrapped against the first (24 h added or taken away when they are more
// than 12 h apart), so readings across 0 h average to an instant near them;
// the mean may then lie outside 0-24 and belongs to the first reading's date.
struct SightMeans {
  double time;      // decimal hours
  double altitude;  // decimal degrees
};
SightMeans mean_of_readings(const Sight& s);

// A time of day in decimal hours brought into [0, 24) for printing.
double hours_of_day(double hours);

// The date and time of day of an instant given as a date plus hours that may
// lie outside 0-24.
struct DayAndTime {
  int day, month, year;
  double hours;  // in [0, 24)
};
DayAndTime day_and_time(int day, int month, int year, double hours);

// The " Medias (hh.mmss  gg.mmss): " line (time printed modulo 24 h).
void write_means(int channel, double mean_time, double mean_altitude);

// The whole entry of a sight as options 3 and 4 use it: read_readings, the
// means stored in the sight, an empty line on the results file, an empty
// line and the means on the screen, the means and an empty line on the
// results file.
void read_sight(Sight& s, std::string_view prompt);

// Dip of the horizon in minutes of arc for a height of eye in metres.
double dip_of_horizon(double height_m);

// The five values of the corrections report line, minutes of arc.
struct AltitudeCorrections {
  double index_error = 0.0;   // Ei as entered
  double minus_dip = 0.0;     // -Dp
  double semidiameter = 0.0;  // magnitude of the (augmented, for the Moon) semidiameter
  double minus_refraction = 0.0;  // -R
  double parallax = 0.0;          // P
};

struct CorrectedAltitude {
  double ho = 0.0;  // true (observed) altitude, degrees
  AltitudeCorrections corrections;
};

// Line of position: semidiameter, then parallax at the altitude after the
// semidiameter.  Fix: refraction, then semidiameter, then parallax at the
// altitude so corrected.  In both the refraction is taken at the altitude of
// the observed limb corrected for index error and dip.
enum class CorrectionOrder { line_of_position, fix };

inline constexpr int kMoon = 101;

// Mean instrumental altitude (degrees) to true altitude.  body is the list
// number (101 the Moon); limb -1 lower, 1 upper, anything else no
// semidiameter (Moon only; other bodies get it added).  sd and hp in radians
// (0 for stars and planets).  The Moon's semidiameter is augmented for the
// observer's nearness: SD (1 + sin HP sin h).
CorrectedAltitude correct_altitude(double hs, const ObservationConditions& c, int body, int limb,
                                   double sd, double hp, CorrectionOrder order);

// Horizontal parallax (radians) of a body at a geocentric distance in AU.
// The apparent places give none for the planets, yet Venus near inferior
// conjunction and Mars near opposition are close enough for it to reach half
// a minute of arc.
double horizontal_parallax(double distance_au);

// Index error, dip and refraction only, for a body not yet identified.
double correct_altitude_simple(double hs, const ObservationConditions& c);

// The two report lines: the corrections and the true altitude with its
// zenith distance.  zenith_format is the layout of the second line (option 5
// prints one of its sights with a narrower last field).
void print_altitude_corrections(int channel, const AltitudeCorrections& k, double ho,
                                std::string_view altitude_format = "(a48,1x,f15.7,2x,f17.7)");

}  // namespace zembrel::reduction
