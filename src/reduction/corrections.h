// Observation conditions, the readings of one sight and their means, and the
// corrections that turn a mean sextant altitude into a true altitude (index
// error, dip, refraction, semidiameter, parallax).  The dialogue that reads
// them and the report lines are utilities/sight_entry.h.
#pragma once

#include <array>

#include "astro/constants.h"

namespace zembrel::reduction {

// Height of eye, index error and weather of one calculation.  The dialogue
// reads straight into these fields, so keep the record alive for the whole
// call of a utility (a "/" answer keeps the previous value).
struct ObservationConditions {
  double height = 0.0;        // metres above the sea
  double index_error = 0.0;   // minutes of arc, applied with its sign
  int abnormal_weather = 0;   // 1 means yes
  double pressure = astro::kStandardPressure;        // hPa; 1010 unless the weather is abnormal
  double temperature = astro::kStandardTemperature;  // degrees Celsius; 10 unless abnormal
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

// Dip of the horizon in minutes of arc for a height of eye in metres
// (1.7757' sqrt(h); the factor and its source are in astro/constants.h).
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

// Mean instrumental altitude (degrees) to true altitude.  body is the list
// number (101 the Moon); limb -1 lower, 1 upper, anything else no
// semidiameter (Moon only; other bodies get it added).  sd and hp in radians
// (0 for stars and planets).  The Moon's semidiameter is augmented for the
// observer's nearness: SD (1 + sin HP sin h), the augmentation to first order
// in sin HP (Smart, Textbook on Spherical Astronomy, "Augmentation of the
// Moon's semidiameter").
CorrectedAltitude correct_altitude(double hs, const ObservationConditions& c, int body, int limb,
                                   double sd, double hp, CorrectionOrder order);

// Horizontal parallax (radians) of a body at a geocentric distance in AU.
// The apparent places give none for the planets, yet Venus near inferior
// conjunction and Mars near opposition are close enough for it to reach half
// a minute of arc.
double horizontal_parallax(double distance_au);

// Index error, dip and refraction only, for a body not yet identified.
double correct_altitude_simple(double hs, const ObservationConditions& c);

}  // namespace zembrel::reduction
