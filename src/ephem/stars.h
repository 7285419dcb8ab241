// The star catalogue "estrellas.dat", the numbered body list with its
// selection table, the mapping from a list number to a body, apparent places
// of catalogue stars, and the day's rise, set and meridian transits of a star.
#pragma once

#include <array>
#include <string>

#include "astro/angles.h"
#include "ephem/apparent_planets.h"

namespace zembrel::ephem {

inline constexpr int kCatalogueStars = 99;
inline constexpr int kBodyListSize = 120;
inline constexpr int kLastBody = astro::kListSaturn;  // list numbers 1..105 name a body
inline constexpr int kNameWidth = 15;

// One catalogue record as written in the file.
struct StarRecord {
  std::string name;         // 15 characters, blank-padded
  double ra_packed = 0.0;   // J2000 right ascension, packed h.mmss
  double dec_packed = 0.0;  // J2000 declination, packed d.mmss
  double pm_ra_cos_dec = 0.0;    // mas/yr, mu_alpha * cos(dec)
  double pm_dec = 0.0;           // mas/yr
  double radial_velocity = 0.0;  // km/s
  double parallax = 0.0;         // mas
};

// The 99 records in file order: a star's list number is its position.
using StarCatalogue = std::array<StarRecord, kCatalogueStars>;

// The catalogue "estrellas.dat" (six header lines, then 99 records), found as
// io/data_path.h says and kept parsed as io/file_cache.h describes.  A
// missing file, a bad record or too few records throw io::RuntimeError.
const StarCatalogue& read_star_catalogue();

// The catalogue values of a star as the place computation takes them.
struct CatalogueStar {
  double ra = 0.0;               // J2000, radians
  double dec = 0.0;              // J2000, radians
  double radial_velocity = 0.0;  // km/s
  double pm_ra = 0.0;            // rate of the right ascension itself, mas/yr
  double pm_dec = 0.0;           // mas/yr
  double parallax = 0.0;         // mas
};
CatalogueStar catalogue_star(const StarRecord& record);

// The body list: 1..99 the catalogue names, 100 "Sol", 101 "Luna", 102
// "Venus", 103 "Marte", 104 "Jupiter", 105 "Saturno", 106..120 blank; every
// name 15 characters.  Index 0 holds list number 1.
using BodyNames = std::array<std::string, kBodyListSize>;
BodyNames body_names(const StarCatalogue& catalogue);
inline const std::string& body_name(const BodyNames& names, int number) {
  return names[static_cast<std::size_t>(number - 1)];
}

// What a list number stands for.
struct Body {
  enum class Kind { none, star, ephemeris };
  Kind kind = Kind::none;
  int number = 0;          // the list number
  int ephemeris_body = 0;  // 11, 10, 2, 4, 5 or 6 for kind ephemeris
  CatalogueStar star;      // for kind star
};
Body body_of_list_number(int number, const StarCatalogue& catalogue);

// Apparent place of a catalogue star at Julian date jd (TT): proper motion,
// annual parallax, aberration, precession and nutation; true equator and
// equinox of date.  An instant outside the ephemeris file throws CoordError
// ("error en coord, ier= :").
struct StarPlace {
  astro::Vec3 direction{};  // unit vector
  double ra = 0.0;          // radians in [0, 2 pi)
  double dec = 0.0;
};
StarPlace apparent_star3x(double jd, const CatalogueStar& star);
struct StarRaDec {
  double ra = 0.0;
  double dec = 0.0;
};
StarRaDec apparent_star3(double jd, const CatalogueStar& star);

// Rise, set and meridian transits of a star on the civil date at a place, as
// planetary_efem3x does for the solar-system bodies, with the threshold
// -0 deg 34'.  Up to five transit rows in the order found (a star crosses
// the meridian at most three times in a day).
struct StarEvents {
  double rise_time = astro::kNoEventTime;
  double set_time = astro::kNoEventTime;
  double rise_azimuth = astro::kNoAzimuth;
  double set_azimuth = astro::kNoAzimuth;
  std::array<std::array<double, 4>, 5> transits{{{astro::kNoTransit, astro::kNoTransit, astro::kNoTransit, astro::kNoTransit},
                                                 {astro::kNoTransit, astro::kNoTransit, astro::kNoTransit, astro::kNoTransit},
                                                 {astro::kNoTransit, astro::kNoTransit, astro::kNoTransit, astro::kNoTransit},
                                                 {astro::kNoTransit, astro::kNoTransit, astro::kNoTransit, astro::kNoTransit},
                                                 {astro::kNoTransit, astro::kNoTransit, astro::kNoTransit, astro::kNoTransit}}};
  bool circumpolar = false;  // neither rises nor sets on the date
  bool no_transit = false;   // does not cross the meridian on the date
};
StarEvents star_efem3x(int year, int month, int day, double longitude, double latitude,
                       const CatalogueStar& star);

}  // namespace zembrel::ephem
