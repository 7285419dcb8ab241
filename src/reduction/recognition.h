// Recognition of a body observed without knowing which it was: from its
// altitude and azimuth, the dead-reckoning position and the instant, the
// position triangle gives its approximate declination and right ascension,
// which are compared with the places of the 99 catalogue stars and the four
// navigational planets.
#pragma once

#include <array>
#include <string>

#include "astro/time_scales.h"
#include "ephem/stars.h"
#include "reduction/corrections.h"

namespace zembrel::reduction {

// Tolerance of the search, radians, in both coordinates.
inline constexpr double kRecognitionTolerance = 0.05;

// Entries of the search tables: 1..99 the catalogue stars, 100..103 Venus,
// Mars, Jupiter, Saturn.  Index 0 is unused.
inline constexpr int kSearchEntries = 103;

struct SearchTable {
  std::array<double, kSearchEntries + 1> ra{};   // apparent, radians
  std::array<double, kSearchEntries + 1> dec{};  // apparent, radians
};

// Apparent places of every entry at jd_tt.
SearchTable search_places(double jd_tt, const ephem::StarCatalogue& catalogue);

// The approximate place of the body from the position triangle.
struct PlaceEstimate {
  double dec = 0.0;  // radians
  double t = 0.0;    // meridian angle, radians in [0, pi]
  double lha = 0.0;  // radians
  double ra = 0.0;   // radians in [0, 2 pi)
};
// latitude and longitude in radians (east positive), altitude in degrees
// (corrected), azimuth in radians from north through east, Greenwich
// apparent sidereal angle in radians.  Arc-cosine arguments pushed out of
// [-1, 1] by rounding are clamped, and a meridian angle that the triangle
// leaves undefined (observer or body at a pole) is taken as 0.
PlaceEstimate estimate_place(double latitude, double longitude, double altitude_deg, double azimuth,
                             double sidereal_angle);

// The entry (1..103) nearest to the estimate among those whose declination
// differs by at most `tolerance` and whose right-ascension difference,
// reduced to (-pi, pi] and multiplied by cos(estimated declination), is at
// most `tolerance`; the lower entry breaks an exact tie.  0 when none passes.
int search_entry(const SearchTable& table, double ra, double dec, double tolerance);

// List number of a search entry: the entry itself for a star, entry + 2 for a
// planet (102..105).
inline int list_number_of_entry(int entry) { return entry <= ephem::kCatalogueStars ? entry : entry + 2; }

// The search itself: the place estimated from the position (radians), the
// corrected altitude (degrees) and the azimuth (radians) at the instant of
// the UTC and TT Julian dates, looked for among the catalogue stars and the
// planets within kRecognitionTolerance.  The list number found, 0 when
// nothing passes.
int recognise_body(double latitude, double longitude, double jd_utc, double jd_tt, double altitude_deg,
                   double azimuth, const ephem::StarCatalogue& catalogue);

struct Recognition {
  int body = 0;          // 0 nothing recognised; 1..99 a star; 102..105 a planet
  std::string name;      // 15 characters, blank when nothing is recognised
  double altitude = 0.0;  // the altitude corrected for index error, dip and refraction, degrees
  double azimuth = 0.0;   // the azimuth in radians
};

// The instant of a sight: the Greenwich date and the UTC time in decimal
// hours (may lie outside 0-24: the instant is the date plus the hours), as a
// UTC Julian date with its time scales.
struct SightInstant {
  double jd_utc = 0.0;
  astro::TimeScales scales;
};
SightInstant sight_instant(int day, int month, int year, double time);

// latitude and longitude packed gg.mmss; the Greenwich date and the UTC time
// in decimal hours (may lie outside 0-24: the instant is the date plus the
// hours); the mean instrumental altitude in degrees; the circular azimuth in
// degrees.  Reads the star catalogue.  The dialogues take the instant's
// time scales first (their warnings come before the search) and pass them.
Recognition reconoce(double latitude, double longitude, const SightInstant& at, double altitude,
                     double azimuth, const ObservationConditions& conditions);
Recognition reconoce(double latitude, double longitude, int day, int month, int year, double time,
                     double altitude, double azimuth, const ObservationConditions& conditions);

}  // namespace zembrel::reduction
