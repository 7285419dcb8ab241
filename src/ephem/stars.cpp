#include "ephem/stars.h"

#include <cerrno>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "astro/calendar.h"
#include "astro/horizon.h"
#include "ephem/day_search.h"
#include "ephem/jpl_file.h"
#include "ephem/place_steps.h"
#include "ephem/planets.h"
#include "io/data_path.h"
#include "io/file_cache.h"
#include "io/record_io.h"

namespace zembrel::ephem {

namespace {

using astro::Vec3;

constexpr const char* kCatalogueFile = "estrellas.dat";
constexpr int kHeaderLines = 6;
// The catalogue record layout: number (discarded), name, right ascension,
// declination, the two proper motions, radial velocity and parallax.
constexpr const char* kRecordFormat =
    "(i2,1x,a15,2x,D15.9,4x,D14.8,5x,D10.2,9x,D10.2,4x,D8.2,            3x,D9.2)";

StarCatalogue load_catalogue(const std::string& name) {
  errno = 0;
  std::ifstream in(name);
  if (!in.is_open()) io::runtime_error("estrellas", io::cannot_open_message(name));
  std::string line;
  for (int k = 0; k < kHeaderLines; ++k) {
    if (!std::getline(in, line)) {
      io::runtime_error("estrellas, file " + name + ", record " + std::to_string(k + 1),
                        "End of file");
    }
  }
  StarCatalogue catalogue{};
  for (int k = 0; k < kCatalogueStars; ++k) {
    const std::string where =
        "estrellas, file " + name + ", record " + std::to_string(kHeaderLines + k + 1);
    if (!std::getline(in, line)) io::runtime_error(where, "End of file");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    StarRecord& r = catalogue[static_cast<std::size_t>(k)];
    int number = 0;  // the file's own numbering is not used
    const io::ReadResult res = io::read_formatted(
        kRecordFormat, line,
        {&number, &r.name, &r.ra_packed, &r.dec_packed, &r.pm_ra_cos_dec, &r.pm_dec,
         &r.radial_velocity, &r.parallax});
    if (res.status == io::ReadStatus::bad_integer) {
      io::runtime_error(where, "Bad value during integer read");
    } else if (res.status != io::ReadStatus::ok) {
      io::runtime_error(where, "Bad value during floating point read");
    }
  }
  return catalogue;
}

constexpr double kSpaceMotionFactor = 1.02247e-9;  // km/s times mas to radians per year

}  // namespace

const StarCatalogue& read_star_catalogue() {
  static io::FileCache<StarCatalogue> cache;
  return cache.get(io::data_file_path(kCatalogueFile, "estrellas"), load_catalogue);
}

CatalogueStar catalogue_star(const StarRecord& r) {
  CatalogueStar s;
  s.ra = astro::degree_to_radian(15.0 * astro::ddmmss_to_degree_c(r.ra_packed));
  s.dec = astro::degree_to_radian(astro::ddmmss_to_degree_c(r.dec_packed));
  s.pm_ra = r.pm_ra_cos_dec / std::cos(s.dec);
  s.pm_dec = r.pm_dec;
  s.radial_velocity = r.radial_velocity;
  s.parallax = r.parallax;
  return s;
}

BodyNames body_names(const StarCatalogue& catalogue) {
  BodyNames names;
  auto padded = [](std::string s) {
    s.resize(kNameWidth, ' ');
    return s;
  };
  for (int k = 0; k < kBodyListSize; ++k) names[static_cast<std::size_t>(k)] = padded("");
  for (int k = 0; k < kCatalogueStars; ++k) {
    names[static_cast<std::size_t>(k)] = padded(catalogue[static_cast<std::size_t>(k)].name);
  }
  const char* planets[] = {"Sol", "Luna", "Venus", "Marte", "Jupiter", "Saturno"};
  for (int k = 0; k < 6; ++k) names[static_cast<std::size_t>(kCatalogueStars + k)] = padded(planets[k]);
  return names;
}

Body body_of_list_number(int number, const StarCatalogue& catalogue) {
  Body b;
  b.number = number;
  if (number >= 1 && number <= kCatalogueStars) {
    b.kind = Body::Kind::star;
    b.star = catalogue_star(catalogue[static_cast<std::size_t>(number - 1)]);
  } else if (number >= astro::kListSun && number <= kLastBody) {
    static constexpr int kEphemerisBodies[] = {astro::kJplSun,  astro::kJplMoon,    astro::kJplVenus,
                                               astro::kJplMars, astro::kJplJupiter, astro::kJplSaturn};
    b.kind = Body::Kind::ephemeris;
    b.ephemeris_body = kEphemerisBodies[number - astro::kListSun];
  }
  return b;
}

namespace {

// Proper motion and annual parallax of a catalogue star: its J2000 direction
// carried over the Julian years t since J2000 by its space motion (proper
// motions and radial velocity) and shifted for the Earth's barycentric
// position earth (AU), normalised (Kaplan et al. 1989, Astron. J. 97, 1197).
Vec3 star_direction(double t, const CatalogueStar& star, const Vec3& earth) {
  const double ra = star.ra, dec = star.dec;
  const Vec3 u0 = astro::cartesian_spherical(astro::Spherical{1.0, dec, ra});
  // Space motion in radians per year, and annual parallax.
  const double s = star.radial_velocity * kSpaceMotionFactor * star.parallax;
  const double mu_a = astro::degree_to_radian(star.pm_ra * 0.001 / 3600.0);
  const double mu_d = astro::degree_to_radian(star.pm_dec * 0.001 / 3600.0);
  const double plx = astro::degree_to_radian(star.parallax / 3600000.0);
  const double cd = std::cos(dec), sd = std::sin(dec), ca = std::cos(ra), sa = std::sin(ra);
  const Vec3 m = {-mu_a * cd * sa - mu_d * sd * ca + s * cd * ca,
                  mu_a * cd * ca - mu_d * sd * sa + s * cd * sa, mu_d * cd + s * sd};
  const Vec3 u = sub(add(u0, mul(m, t)), mul(earth, plx));
  return div(u, astro::vector_mod(u));
}

}  // namespace

StarPlace apparent_star3x(double jd, const CatalogueStar& star) {
  // The Earth at the TT instant itself.  The light deflection is not applied
  // to stars, so the Earth's heliocentric place is not needed.
  const EarthState earth = earth_state(jd);
  const Vec3 p1 = star_direction((jd - astro::kJ2000) / astro::kJulianYear, star, earth.position);
  const Vec3 p4 = to_true_of_date(jd, aberrate(p1, earth.velocity));
  StarPlace place;
  place.direction = p4;
  const RaDec rd = ra_dec(p4);
  place.ra = rd.ra;
  place.dec = rd.dec;
  return place;
}

StarRaDec apparent_star3(double jd, const CatalogueStar& star) {
  const StarPlace p = apparent_star3x(jd, star);
  return {p.ra, p.dec};
}

namespace {

constexpr int kStarScanSteps = 100;
constexpr int kMaxStarEvents = 10;

struct StarEvaluation {
  astro::Vec3 direction;  // apparent, true equator and equinox of date
  astro::Horizontal horizon;
  double latitude;
  double f() const { return horizon.spherical.latitude - astro::degree_to_radian(astro::kRiseAltitudeDeg); }
  double g() const { return horizon.horizontal[1]; }
  double f_reach() const { return altitude_reach(f(), latitude, kStarRate); }
  double g_reach() const { return meridian_reach(g(), direction, kStarRate); }
};

}  // namespace

namespace {

struct SearchKey {
  int year, month, day;
  std::uint64_t longitude, latitude;
  std::uint64_t star[6];
  SearchData data;
  bool operator==(const SearchKey&) const = default;
};

}  // namespace

StarEvents star_efem3x(int year, int month, int day, double longitude, double latitude,
                       const CatalogueStar& star) {
  StarEvents out;
  auto place_at = [&](double hours) {
    const double jd = astro::julian_date(year, month, day, hours);
    const StarPlace p = apparent_star3x(jd, star);
    ++search_work().places;
    ++search_work().horizons;
    const Vec3 unit = astro::cartesian_spherical(astro::Spherical{1.0, p.dec, p.ra});
    return StarEvaluation{unit, astro::equatorial_to_horizontal(jd, longitude, latitude, unit), latitude};
  };

  // The same search again (once the data files have answered for the first
  // instant, so that a missing one stops the program as at the first search).
  const StarEvaluation at_start = place_at(0.0);
  static io::ResultMemo<SearchKey, StarEvents, 4> known;
  const SearchKey key{year,
                      month,
                      day,
                      key_bits(longitude),
                      key_bits(latitude),
                      {key_bits(star.ra), key_bits(star.dec), key_bits(star.radial_velocity), key_bits(star.pm_ra),
                       key_bits(star.pm_dec), key_bits(star.parallax)},
                      search_data()};
  if (const StarEvents* same = known.find(key)) return *same;
  auto evaluate = [&](double hours) { return hours == 0.0 ? at_start : place_at(hours); };

  const DayScan scan = scan_day(kStarScanSteps, kMaxStarEvents, evaluate);
  out.circumpolar = scan.crossings.empty();
  out.no_transit = scan.meridians.empty();

  // Rising and setting; the star's place is recomputed at every instant.
  store_rise_set(scan.crossings, out, evaluate, [&](double t, const StarEvaluation&) {
    return (evaluate(t + kSearchEpsilon).f() - evaluate(t - kSearchEpsilon).f()) / (2.0 * kSearchEpsilon);
  });

  store_transits(scan.meridians, out.transits, latitude, evaluate);
  known.store(key, out);
  return out;
}

}  // namespace zembrel::ephem
