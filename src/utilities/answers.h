// The answers the dialogues check before they use them: dates, times and
// angles in the packed form, positions, azimuths and courses, the height of
// eye and the weather.  One reader per kind of value, used by every utility
// that asks for one.
//
// Each reader makes one list-directed read into the utility's own variables
// (a "/" keeps their values, as any read does) and refuses an answer that
// cannot be right: one list-directed line on the screen names the field and
// its range,
//   " Mes fuera de rango (1 a 12): vuelva a escribir la fecha",
// the variables get back the values they had before the answer, and the same
// read is made again, without its prompt.  Nothing reaches the results file.
// An answer that is not a number, or the end of input, still ends the
// program (the run-time error report, exit status 2), so the asking always
// ends.  The body number and the reading count, whose questions come again
// with their prompt, are read in sight_entry.h.
#pragma once

#include <string>
#include <string_view>

namespace zembrel::utilities {

// The text of a refusal: "<field> fuera de rango (<range>): vuelva a
// escribir <answer>".
std::string refusal_text(std::string_view field, std::string_view range, std::string_view answer);

// Day, month and year: the month 1 to 12, the day from 1 to the length of the
// month (astro::days_in_month: Julian leap years up to 1582).  Any year: an
// instant the ephemeris does not cover has its own stop.
void read_date(int& day, int& month, int& year);

// A time of day, packed hh.mmss: 0 to 24 hours, minutes and seconds below 60.
void read_time(double& packed);

// A longitude on its own, packed gg.mmss: -180 to 180 degrees, minutes and
// seconds below 60.
void read_longitude(double& packed);

// Latitude and longitude, packed gg.mmss (north and east positive): -90 to
// 90 and -180 to 180 degrees, minutes and seconds below 60.
void read_position(double& latitude, double& longitude);

// One timed reading of a sight: the time as read_time, the instrumental
// altitude packed gg.mmss with minutes and seconds below 60 (any number of
// degrees: near the zenith a sound reading passes 90).
void read_reading(double& time, double& altitude);

// An azimuth, decimal degrees from 0 to 360.
void read_azimuth(double& degrees);

// The ship's speed (knots, not checked) and course, decimal degrees 0 to 360.
void read_speed_and_course(double& speed, double& course);

// The height of eye, metres, 0 or more.
void read_height(double& metres);

// Pressure, 800 to 1100 hPa, and temperature, -60 to 60 C: what weather at
// sea level can have.
void read_weather(double& pressure, double& temperature);

}  // namespace zembrel::utilities
