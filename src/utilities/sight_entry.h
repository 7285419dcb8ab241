// The dialogue of a sight, shared by the sight reductions (options 3, 4 and
// 5) and, for its first questions, by the ephemeris (option 2): the
// observation conditions, the body number, the timed readings and their
// means, the identification of an unknown body, and the two report lines of
// the altitude corrections.  Every reader takes the utility's own variable:
// a "/" answer keeps its previous value.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "reduction/corrections.h"
#include "reduction/recognition.h"

namespace zembrel::utilities {

// Screen dialogue of the observation conditions (prompts and answers only;
// the title line above it is the caller's, as it differs between utilities).
// An answer other than 1 to the weather question sets 1010 hPa and 10 C.
void read_observation_conditions(reduction::ObservationConditions& c);

// The echo of the conditions to a channel: empty line, " Datos:", " ------",
// empty line, the conditions lines, empty line.
void write_conditions_echo(int channel, const reduction::ObservationConditions& c);
// Only the height/index-error line and, with abnormal weather, an empty line
// and the weather line.
void write_conditions_lines(int channel, const reduction::ObservationConditions& c);

// The body-number question: `prompt` on the screen, then the number, asked
// again until it lies from `lowest` (0 where an unknown body may be given,
// else 1) to 105; a number refused is followed by "Numero no valido: elige
// un astro de <lowest> a 105." and the prompt again.
struct BodyQuestion {
  const char* prompt;
  int lowest;
};
int read_body_number(int& answer, const BodyQuestion& q);

// Asks "Numero de medidas realizadas?" until the answer is 1 to 6 (a count
// refused is followed by "Numero de medidas fuera de rango (1 a 6): vuelva a
// escribir el numero" and the question again), writes the readings' heading
// to the results file, then reads each reading (the prompt followed by its
// number; answers.h read_reading), echoing it to the results file.  Leaves
// the means alone.
void read_readings(reduction::Sight& s, std::string_view prompt);

// The " Medias (hh.mmss  gg.mmss): " line (time printed modulo 24 h).
void write_means(int channel, double mean_time, double mean_altitude);

// The whole entry of a sight as options 3 and 4 use it: read_readings, the
// means stored in the sight, an empty line on the results file, an empty
// line and the means on the screen, the means and an empty line on the
// results file.
void read_sight(reduction::Sight& s, std::string_view prompt);

// A recognition as the dialogues run it: the instant's time scales with the
// tables' warnings, the search, then an empty line and, when nothing was
// recognised, the message " HOUSTON, WE GOT A PROBLEN: ..." [sic] with its
// three questions.  latitude and longitude packed, azimuth in degrees.
reduction::Recognition recognise(double latitude, double longitude, int day, int month, int year,
                                 const reduction::Sight& sight, double azimuth,
                                 const reduction::ObservationConditions& conditions);

// The readings of a body until it is known: `read_readings` enters them;
// for an unknown body (number 0) the identification questions follow (the
// estimated position when asks_position, else `latitude` and `longitude` as
// given; the azimuth), then reconoce; a body not recognised writes
// `not_recognised` on the results file, asks for the readings again and
// starts over.  Returns the body, recognised or as given.
struct UnknownBody {
  const char* not_recognised;  // results-file line of a failed recognition
  bool asks_position;
  bool number_on_own_line;  // the screen shows "Numero <n>" below the name
};
struct UnknownBodyAnswers {
  double latitude = 0.0, longitude = 0.0;  // packed gg.mmss
  double azimuth = 0.0;                    // degrees
};
int read_until_known(int body, const UnknownBody& how, UnknownBodyAnswers& answers,
                     const reduction::Sight& sight, int day, int month, int year,
                     const reduction::ObservationConditions& conditions,
                     const std::function<void()>& read_readings);

// The corrections line "(a47,1x,5(f7.4,3x))", " Correcciones a la altura:
// Ei,Dp,SD,R,P (min): " and the five values in minutes of arc.  A value that
// f7.4 cannot show (10' or more taken away: the dip above about 31.7 m of
// height of eye, the refraction below about 5 degrees of altitude) is printed
// in the narrowest wider field that shows it, f8.4 down to -99.9999', the
// rest of the line unchanged.
void write_corrections_line(int channel, double index_error, double dip, double semidiameter,
                            double refraction, double parallax);

// The two report lines: the corrections (as write_corrections_line, the dip
// and the refraction with the minus sign of what is taken away) and the true
// altitude with its zenith distance.  altitude_format is the layout of the second line (option
// 5 prints one of its sights with a narrower last field).
void print_altitude_corrections(int channel, const reduction::AltitudeCorrections& k, double ho,
                                std::string_view altitude_format = "(a48,1x,f15.7,2x,f17.7)");

}  // namespace zembrel::utilities
