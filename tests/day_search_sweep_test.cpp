// The day searches must keep what they print while they get faster.  A
// seeded sweep of 2,080 searches (the Sun, the Moon, the planets and stars;
// rising and setting, meridian transits, the civil and nautical twilights;
// latitudes to 80 degrees either side, dates across the ephemeris) is written
// as records and compared with records written by the engine as it was when
// every search evaluated every step of its scan
// (tests/fixtures/speed/day_search_sweep.txt).  Besides the random cases,
// the sweep builds the grazing ones on purpose: the Sun, the Moon and
// circumpolar stars at the polar edges of rising and of twilight, bodies
// that culminate about the horizon, and events within a scan step of 0 h
// and 24 h.
//
// Each case gives two records: the figures a utility prints from the search
// (the rise and set lines, the transit rows and the twilight instants of
// option 2, in its edit descriptors, and the notes of a search that finds
// nothing), which must come out byte for byte, and every refined time in
// hours with 17 digits, which may move by no more than 1e-7 hours.  A figure
// that may print otherwise is listed in kMayRoundOtherwise.
//
// ZEMBREL_SWEEP_WRITE_DIR=DIR writes the records into DIR instead of
// comparing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../tests/fixtures/scratch_dir.h"
#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/constants.h"
#include "astro/sidereal.h"
#include "ephem/apparent_planets.h"
#include "ephem/day_search.h"
#include "ephem/stars.h"
#include "io/file_cache.h"
#include "io/record_io.h"
#include "reduction/twilight.h"

namespace {

namespace astro = zembrel::astro;
namespace ephem = zembrel::ephem;
namespace io = zembrel::io;
namespace reduction = zembrel::reduction;
using zembrel::testing::ScratchDirectory;

// splitmix64: the same numbers on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform(double lo, double hi) { return lo + (hi - lo) * (static_cast<double>(next() >> 11) * 0x1.0p-53); }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t state_;
};

// Catalogue records spread over the declinations (those of estrellas.dat for
// Polaris, Kochab, Dubhe, Vega, Aldebaran, Sirius, Antares, Canopus, Rigil
// Kentaurus and Atria, and sigma Octantis from Hipparcos).
const ephem::StarRecord kStars[] = {
    {"Polaris", 2.314908360, 89.15507942, 44.22, -11.74, 0.0, 7.54},
    {"Kochab", 14.504232645, 74.09198179, -32.29, 11.91, 0.0, 24.91},
    {"Dubhe", 11.034366868, 61.45037197, -136.46, -35.25, 0.0, 26.38},
    {"Vega", 18.365633651, 38.47012907, 201.02, 287.46, 0.0, 130.23},
    {"Aldebaran", 4.355523864, 16.30334850, 62.78, -189.36, 0.0, 48.94},
    {"Sirius", 6.450891709, -16.42580165, -546.01, -1223.08, 0.0, 379.21},
    {"Antares", 16.292446091, -26.25552090, -10.16, -23.21, 0.0, 5.89},
    {"Canopus", 6.235710985, -52.41443776, 19.99, 23.67, 0.0, 10.55},
    {"Rigil Kent", 14.393649604, -60.50023132, -3678.19, 481.84, 0.0, 742.12},
    {"Atria", 16.483989488, -69.01397742, 17.85, -32.92, 0.0, 8.35},
    {"sigma Oct", 21.084690000, -88.57231200, 25.96, 5.02, 12.0, 11.01},
};
constexpr int kStarCount = sizeof kStars / sizeof kStars[0];
constexpr int kPlanets[] = {astro::kJplSun, astro::kJplMoon, astro::kJplVenus,
                            astro::kJplMars, astro::kJplJupiter, astro::kJplSaturn};

enum class Search { planet, star, twilight };

struct Case {
  Search search;
  int body;  // JPL body (planet), index into kStars (star)
  int year, month, day;
  double longitude, latitude;
};

// First and last searched dates: the ephemeris (1849-12-26 to 2150-01-22)
// covers them and the neighbouring dates the utilities search as well.
constexpr double kFirstDay = 2396759.5;  // 1850-01-01
constexpr double kLastDay = 2506330.5;   // 2149-12-30

Case on_day(Search s, int body, double jd0, double longitude, double latitude) {
  const astro::CalendarDate c = astro::gregorian_date(jd0 + 0.25);
  return {s, body, c.year, c.month, c.day, longitude, latitude};
}

double wrap_longitude(double deg) { return std::remainder(deg, 360.0); }
double clamp_latitude(double deg) { return std::fmax(-80.0, std::fmin(80.0, deg)); }

// Right ascension and declination (radians) of the case's body at hour h of
// day jd0, for building the grazing cases.
struct RaDec {
  double ra, dec;
};
RaDec place_of(Search s, int body, double jd0, double h) {
  const double jd = jd0 + h / 24.0;
  if (s == Search::star) {
    const ephem::StarPlace p = ephem::apparent_star3x(jd, ephem::catalogue_star(kStars[body]));
    return {p.ra, p.dec};
  }
  const ephem::ApparentPlace p = ephem::apparent_planets_geo3(jd, s == Search::twilight ? astro::kJplSun : body);
  return {p.ra, p.dec};
}

double threshold_deg(Search s, int body) {
  if (s == Search::planet && body == astro::kJplSun) return astro::kSunRiseAltitudeDeg;
  if (s == Search::planet && body == astro::kJplMoon) return 0.125;  // about, with the parallax
  return astro::kRiseAltitudeDeg;
}

// The longitude (east, degrees) at which the body stands at hour angle
// `hour_angle_deg` at UT hour h of day jd0.
double longitude_for(Search s, int body, double jd0, double h, double hour_angle_deg) {
  const RaDec p = place_of(s, body, jd0, h);
  const double gmst_h = astro::ut_to_st(0.0, jd0 + h / 24.0).local_mean_st;
  return wrap_longitude(hour_angle_deg + astro::radian_to_degree(p.ra) - 15.0 * gmst_h);
}

// Hour angle (degrees, positive) at which the body stands at altitude h0 from
// latitude phi; NaN when it does not reach it.
double hour_angle_at(double h0_deg, double phi_deg, double dec) {
  const double phi = astro::degree_to_radian(phi_deg);
  const double c = (std::sin(astro::degree_to_radian(h0_deg)) - std::sin(phi) * std::sin(dec)) /
                   (std::cos(phi) * std::cos(dec));
  return std::fabs(c) < 1.0 ? astro::radian_to_degree(std::acos(c)) : NAN;
}

std::vector<Case> sweep_cases() {
  Random rng(20270127);
  std::vector<Case> cases;
  auto any_day = [&] { return std::floor(rng.uniform(kFirstDay, kLastDay + 1.0)) + 0.5; };
  auto any_longitude = [&] { return rng.uniform(-180.0, 180.0); };
  auto any_latitude = [&] { return rng.uniform(-80.0, 80.0); };
  auto step_of = [](Search s) { return s == Search::planet ? 0.024 : 0.24; };

  // Random cases.
  for (int i = 0; i < 720; ++i) {
    cases.push_back(on_day(Search::planet, kPlanets[i % 6], any_day(), any_longitude(), any_latitude()));
  }
  for (int i = 0; i < 330; ++i) {
    cases.push_back(on_day(Search::star, i % kStarCount, any_day(), any_longitude(), any_latitude()));
  }
  for (int i = 0; i < 240; ++i) {
    cases.push_back(on_day(Search::twilight, 0, any_day(), any_longitude(), any_latitude()));
  }

  // Polar edges: the lower culmination of the Sun, the Moon or a star about
  // the horizon (or the twilight depressions), with the latitude on the side
  // of the body's declination.
  auto polar_edge = [&](Search s, int body, double depth_deg, int count) {
    for (int made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
      const double jd0 = any_day();
      const double dec = astro::radian_to_degree(place_of(s, body, jd0, 12.0).dec);
      const double lat = std::copysign(90.0 + depth_deg - std::fabs(dec), dec) + rng.uniform(-1.0, 1.0);
      if (std::fabs(lat) > 80.0) continue;
      cases.push_back(on_day(s, body, jd0, any_longitude(), lat));
      ++made;
    }
  };
  polar_edge(Search::planet, astro::kJplSun, astro::kSunRiseAltitudeDeg, 80);
  polar_edge(Search::planet, astro::kJplMoon, 0.125, 70);
  polar_edge(Search::twilight, 0, -6.0, 50);
  polar_edge(Search::twilight, 0, -12.0, 50);
  for (int i = 0; i < 80; ++i) polar_edge(Search::star, 1 + i % 9, astro::kRiseAltitudeDeg, 1);

  // Upper culmination about the horizon: the latitude about 90 degrees from
  // the declination, on the other side.
  auto low_culmination = [&](Search s, int body, int count) {
    for (int made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
      const double jd0 = any_day();
      const double dec = astro::radian_to_degree(place_of(s, body, jd0, 12.0).dec);
      const double lat = dec - std::copysign(90.0 - threshold_deg(s, body), dec) + rng.uniform(-1.0, 1.0);
      if (std::fabs(lat) > 80.0) continue;
      cases.push_back(on_day(s, body, jd0, any_longitude(), lat));
      ++made;
    }
  };
  for (int body : kPlanets) low_culmination(Search::planet, body, 15);
  for (int i = 0; i < 70; ++i) low_culmination(Search::star, 2 + i % 9, 1);

  // Events within a scan step of 0 h and of 24 h: the longitude put so that
  // a transit, a rise or set, or a twilight falls there.
  auto near_day_ends = [&](Search s, int body, double hour_angle_deg, double lat) {
    const double jd0 = any_day();
    const double step = step_of(s);
    const double h = rng.below(2) == 0 ? rng.uniform(0.0, step) : rng.uniform(24.0 - step, 24.0);
    cases.push_back(on_day(s, body, jd0, longitude_for(s, body, jd0, h, hour_angle_deg), lat));
  };
  for (int i = 0; i < 120; ++i) {
    const bool star = i % 3 == 2;
    const Search s = star ? Search::star : Search::planet;
    const int body = star ? i % kStarCount : kPlanets[i % 6];
    near_day_ends(s, body, i % 2 == 0 ? 0.0 : 180.0, any_latitude());
  }
  for (int made = 0, i = 0; made < 120; ++i) {
    const bool star = i % 3 == 2;
    const Search s = star ? Search::star : Search::planet;
    const int body = star ? i % kStarCount : kPlanets[i % 6];
    const double lat = rng.uniform(-60.0, 60.0);
    const double jd0 = any_day();
    const double ha = hour_angle_at(threshold_deg(s, body), lat, place_of(s, body, jd0, 12.0).dec);
    if (std::isnan(ha)) continue;
    near_day_ends(s, body, i % 2 == 0 ? -ha : ha, lat);
    ++made;
  }
  for (int made = 0, i = 0; made < 60; ++i) {
    const double lat = rng.uniform(-60.0, 60.0);
    const double depth = i % 2 == 0 ? -6.0 : -12.0;
    const double ha = hour_angle_at(depth, lat, place_of(Search::twilight, 0, any_day(), 12.0).dec);
    if (std::isnan(ha)) continue;
    near_day_ends(Search::twilight, 0, i % 4 < 2 ? -ha : ha, lat);
    ++made;
  }
  for (Case& c : cases) c.latitude = clamp_latitude(c.latitude);
  return cases;
}

// ---------------------------------------------------------------------------
// What a utility prints of an event found at packed UT time `packed` on the
// case's date: as option 2 forms it, the event's local mean-time date and
// legal and civil hours, and its Greenwich date and UT hours.

struct EventTimes {
  astro::CalendarDate local, greenwich;
  double legal;
};

EventTimes event_times(const Case& c, double packed) {
  EventTimes e;
  const double jd = astro::julian_date(c.year, c.month, c.day, astro::ddmmss_to_degree_c(packed)) + c.longitude / 360.0;
  e.local = astro::gregorian_date(jd);
  e.greenwich = astro::gregorian_date(jd - c.longitude / 360.0);
  e.legal = e.greenwich.hours + astro::huso(c.longitude);
  if (e.legal > 24.0) {
    e.legal -= 24.0;
  } else if (e.legal < 0.0) {
    e.legal += 24.0;
  }
  return e;
}

struct Records {
  std::string printed;  // the figures a utility prints
  std::string times;    // refined times, hours
  void time(double packed) {
    char buf[32];
    std::snprintf(buf, sizeof buf, " %.17g", astro::ddmmss_to_degree_c(packed));
    times += buf;
  }
};

void rise_or_set(const Case& c, Records& r, double packed, double azimuth) {
  if (packed == astro::kNoEventTime) {
    r.printed += " -";
    return;
  }
  const EventTimes e = event_times(c, packed);
  r.printed += io::format_record("(1x,i2,1x,i2,1x,i4,2x,f8.4,2x,f8.4,2x,f6.2,1x,i2,1x,i2,1x,i4,2x,f8.4)",
                                 {e.local.day, e.local.month, e.local.year, astro::degree_to_ddmmss_c(e.legal),
                                  astro::degree_to_ddmmss_c(e.local.hours), azimuth, e.greenwich.day,
                                  e.greenwich.month, e.greenwich.year, astro::degree_to_ddmmss_c(e.greenwich.hours)});
  r.time(packed);
}

template <class Rows>
void transits(const Case& c, Records& r, const Rows& rows) {
  for (const auto& row : rows) {
    if (row[0] < -99.0) continue;
    const EventTimes e = event_times(c, row[0]);
    // The Greenwich rows of option 2 print the search's time for the Sun, the
    // Moon and the planets, and the time through the local one for stars.
    const double ut = c.search == Search::star ? astro::degree_to_ddmmss_c(e.greenwich.hours) : row[0];
    r.printed += " |" + io::format_record("(i2,1x,i2,1x,i4,1x,f9.4,1x,f9.4,1x,f9.4,1x,f9.2,1x,f3.0,1x,f9.4)",
                                          {e.local.day, e.local.month, e.local.year,
                                           astro::degree_to_ddmmss_c(e.legal), astro::degree_to_ddmmss_c(e.local.hours),
                                           row[1], row[2], row[3], ut});
    r.time(row[0]);
  }
}

void notes(Records& r, bool circumpolar, bool no_transit) {
  if (circumpolar) r.printed += " Astro circumpolar o anticircumpolar. No hay orto ni ocaso";
  if (no_transit) r.printed += " ATENCION: No hay paso por el meridiano";
}

Records run(const Case& c) {
  Records r;
  if (c.search == Search::planet) {
    const ephem::PlanetaryEvents e =
        ephem::planetary_efem3x(c.year, c.month, c.day, c.body, c.longitude, c.latitude);
    rise_or_set(c, r, e.rise_time, e.rise_azimuth);
    rise_or_set(c, r, e.set_time, e.set_azimuth);
    transits(c, r, e.transits);
    notes(r, e.circumpolar, e.no_transit);
  } else if (c.search == Search::star) {
    const ephem::StarEvents e = ephem::star_efem3x(c.year, c.month, c.day, c.longitude, c.latitude,
                                                   ephem::catalogue_star(kStars[c.body]));
    rise_or_set(c, r, e.rise_time, e.rise_azimuth);
    rise_or_set(c, r, e.set_time, e.set_azimuth);
    transits(c, r, e.transits);
    notes(r, e.circumpolar, e.no_transit);
  } else {
    const reduction::Twilights t = reduction::crepusculos(c.year, c.month, c.day, c.longitude, c.latitude);
    for (double packed : {t.nautical[0], t.civil[0], t.civil[1], t.nautical[1]}) {
      if (packed == astro::kNoTwilight) {
        r.printed += " -";
        continue;
      }
      const EventTimes e = event_times(c, packed);
      r.printed += io::format_record("(1x,i2,1x,i2,1x,i4,1x,f8.4)", {e.local.day, e.local.month, e.local.year,
                                                                    astro::degree_to_ddmmss_c(e.local.hours)});
      r.time(packed);
    }
    if (t.no_nautical) r.printed += " No hay crepusculo nautico en esta situacion";
    if (t.no_civil) r.printed += " No hay crepusculo civil en esta situacion";
  }
  return r;
}

std::string heading(std::size_t k, const Case& c) {
  const char* what = c.search == Search::planet ? "body" : c.search == Search::star ? "star" : "twilight";
  char buf[160];
  std::snprintf(buf, sizeof buf, "%zu %s %d %04d-%02d-%02d %.9g %.9g", k, what, c.body, c.year, c.month, c.day,
                c.longitude, c.latitude);
  return buf;
}

// What the searches of one kind evaluated.
struct Work {
  int searches = 0;
  std::uint64_t places = 0, horizons = 0, most_places = 0, most_horizons = 0;
  void add(const ephem::SearchWork& before, const ephem::SearchWork& after) {
    const std::uint64_t p = after.places - before.places, h = after.horizons - before.horizons;
    ++searches;
    places += p;
    horizons += h;
    most_places = std::max(most_places, p);
    most_horizons = std::max(most_horizons, h);
  }
  void print(const char* what) const {
    std::printf("%s: %d searches, places %.1f and %llu, horizons %.1f and %llu\n", what, searches,
                static_cast<double>(places) / searches, static_cast<unsigned long long>(most_places),
                static_cast<double>(horizons) / searches, static_cast<unsigned long long>(most_horizons));
  }
};

// Figures that may print otherwise than in the records: case number and the
// printed record of the engine that wrote them.
struct MayRoundOtherwise {
  std::size_t k;
  const char* printed;
};
const MayRoundOtherwise kMayRoundOtherwise[] = {{0, nullptr}};

bool may_round_otherwise(std::size_t k, const std::string& printed) {
  for (const MayRoundOtherwise& m : kMayRoundOtherwise) {
    if (m.printed != nullptr && m.k == k && printed == m.printed) return true;
  }
  return false;
}

// The refined times of two records, hours.
std::vector<double> hours_of(const std::string& times) {
  std::vector<double> out;
  std::istringstream in(times);
  for (double v; in >> v;) out.push_back(v);
  return out;
}

TEST(DaySearchSweep, PrintedFiguresAndRefinedTimes) {
  ScratchDirectory dir;
  if (!dir.link_data({"JPL_1550-2650_430t", "nutation_IAU1980.dat"})) GTEST_SKIP() << "data files missing";
  io::note_keyboard_answer();  // as in the program, where an answer precedes every calculation

  const std::vector<Case> cases = sweep_cases();
  ASSERT_GE(cases.size(), 2000u);
  std::string written;
  std::vector<Records> results;
  results.reserve(cases.size());
  Work work[3];
  for (std::size_t k = 0; k < cases.size(); ++k) {
    const ephem::SearchWork before = ephem::search_work();
    results.push_back(run(cases[k]));
    work[static_cast<int>(cases[k].search)].add(before, ephem::search_work());
    written += heading(k, cases[k]) + "\n" + results.back().printed + "\n" + results.back().times + "\n";
  }
  std::printf("Evaluations per search (apparent places, horizon transforms), mean and largest:\n");
  work[0].print("  Sun, Moon, planets");
  work[1].print("  stars");
  work[2].print("  twilights");
  if (const char* out = std::getenv("ZEMBREL_SWEEP_WRITE_DIR")) {
    std::ofstream(std::string(out) + "/day_search_sweep.txt", std::ios::binary) << written;
    return;
  }

  std::ifstream in(std::string(ZEMBREL_TEST_DIR) + "/fixtures/speed/day_search_sweep.txt", std::ios::binary);
  ASSERT_TRUE(in) << "no records";
  int printed_differ = 0, times_differ = 0;
  double largest_move = 0.0;
  for (std::size_t k = 0; k < cases.size(); ++k) {
    std::string head, printed, times;
    ASSERT_TRUE(std::getline(in, head) && std::getline(in, printed) && std::getline(in, times)) << "records end at " << k;
    ASSERT_EQ(head, heading(k, cases[k])) << "the cases are not those of the records";
    const Records& now = results[k];
    if (now.printed != printed && !may_round_otherwise(k, printed)) {
      ADD_FAILURE() << head << "\n  was " << printed << "\n  now " << now.printed;
      if (++printed_differ > 20) return;
    }
    const std::vector<double> was = hours_of(times), is = hours_of(now.times);
    bool close = was.size() == is.size();
    for (std::size_t i = 0; close && i < was.size(); ++i) {
      largest_move = std::max(largest_move, std::fabs(was[i] - is[i]));
      close = std::fabs(was[i] - is[i]) <= 1e-7;
    }
    if (!close) {
      ADD_FAILURE() << head << "\n  refined times were" << times << "\n  now" << now.times;
      if (++times_differ > 20) return;
    }
  }
  std::string rest;
  EXPECT_FALSE(std::getline(in, rest)) << "more records than cases";
  std::printf("Largest move of a refined time: %.3g h\n", largest_move);
}

// The rates the reaches of the scan rest on (ephem/day_search.h): the most
// each body's apparent direction turns in an hour, sampled over the whole
// ephemeris, stays well below the rate its searches take (the Moon 0.64
// deg/h against 1, Venus 0.053 against 0.2, stars 0.00001 against 0.01).
TEST(DaySearchBounds, BodiesTurnSlowerThanTheirSearchesAssume) {
  ScratchDirectory dir;
  if (!dir.link_data({"JPL_1550-2650_430t", "nutation_IAU1980.dat"})) GTEST_SKIP() << "data files missing";
  io::note_keyboard_answer();
  Random rng(20270129);
  auto turn = [](const astro::Vec3& a, const astro::Vec3& b) {
    return std::acos(std::fmin(1.0, astro::scalar_product(a, b) / (astro::vector_mod(a) * astro::vector_mod(b))));
  };
  constexpr double kHour = 1.0 / 24.0;
  for (int body : kPlanets) {
    const double rate = body == astro::kJplMoon ? ephem::kMoonRate : ephem::kSunPlanetRate;
    double most = 0.0;
    for (int i = 0; i < 3000; ++i) {
      const double jd = rng.uniform(kFirstDay, kLastDay);
      most = std::fmax(most, turn(ephem::apparent_planets_geo3(jd, body).position,
                                  ephem::apparent_planets_geo3(jd + kHour, body).position));
    }
    std::printf("body %d turns at most %.4f deg/h\n", body, astro::radian_to_degree(most));
    if (body == astro::kJplMoon) {
      // Its threshold, -34' - semidiameter + parallax.
      double threshold = 0.0;
      for (int i = 0; i < 3000; ++i) {
        const double jd = rng.uniform(kFirstDay, kLastDay);
        const ephem::ApparentPlace a = ephem::apparent_planets_geo3(jd, body);
        const ephem::ApparentPlace b = ephem::apparent_planets_geo3(jd + kHour, body);
        threshold = std::fmax(threshold, std::fabs((b.parallax - b.semidiameter) - (a.parallax - a.semidiameter)));
      }
      EXPECT_LT(threshold * 10.0, ephem::kMoonThresholdRate);
    }
    EXPECT_LT(most * 1.3, rate) << "body " << body;  // with room to spare
  }
  double most = 0.0;
  for (const ephem::StarRecord& record : kStars) {
    const ephem::CatalogueStar star = ephem::catalogue_star(record);
    for (int i = 0; i < 300; ++i) {
      const double jd = rng.uniform(kFirstDay, kLastDay);
      most = std::fmax(most, turn(ephem::apparent_star3x(jd, star).direction,
                                  ephem::apparent_star3x(jd + kHour, star).direction));
    }
  }
  std::printf("stars turn at most %.6f deg/h\n", astro::radian_to_degree(most));
  EXPECT_LT(most, 0.1 * ephem::kStarRate);
}

// At every point of full scans of extreme days (the Moon at its fastest,
// from the equator to 80 degrees; the Sun at the polar edge; stars next to
// the poles; a body culminating on the horizon), each function keeps the
// sign of that point at every later point within its reach.
TEST(DaySearchBounds, ReachesHoldAtEveryScanPoint) {
  ScratchDirectory dir;
  if (!dir.link_data({"JPL_1550-2650_430t", "nutation_IAU1980.dat"})) GTEST_SKIP() << "data files missing";
  io::note_keyboard_answer();
  struct Day {
    int body;  // JPL body, or -1 - index into kStars
    int year, month, day;
    double latitude;
  };
  // The Moon at perigee near its greatest declination (2016-11-14, 2034-11-25).
  const Day days[] = {{astro::kJplMoon, 2016, 11, 14, 0.0},    {astro::kJplMoon, 2016, 11, 14, 60.0},
                      {astro::kJplMoon, 2034, 11, 25, 80.0},   {astro::kJplMoon, 2034, 11, 25, -80.0},
                      {astro::kJplSun, 2024, 6, 21, 66.6},     {astro::kJplSun, 2024, 12, 21, 80.0},
                      {astro::kJplVenus, 2020, 6, 3, -66.0},   {-1, 2024, 3, 20, 10.0},
                      {-11, 2024, 3, 20, -80.0},               {-6, 1850, 1, 1, 0.0},
                      {-6, 2149, 12, 30, 73.3}};
  for (const Day& d : days) {
    const bool star = d.body < 0;
    const int steps = star ? 100 : 1000;
    const double rate = star ? ephem::kStarRate
                        : d.body == astro::kJplMoon ? ephem::kMoonRate + ephem::kMoonThresholdRate
                                                    : ephem::kSunPlanetRate;
    const double direction_rate = d.body == astro::kJplMoon ? ephem::kMoonRate : rate;
    std::vector<double> f, g, f_reach, g_reach;
    for (int i = 0; i <= steps; ++i) {
      const double jd = astro::julian_date(d.year, d.month, d.day, i * (24.0 / steps));
      astro::Vec3 position;
      double h0 = astro::degree_to_radian(star ? astro::kRiseAltitudeDeg : astro::kSunRiseAltitudeDeg);
      if (star) {
        position = ephem::apparent_star3x(jd, ephem::catalogue_star(kStars[-1 - d.body])).direction;
      } else {
        const ephem::ApparentPlace p = ephem::apparent_planets_geo3(jd, d.body);
        position = p.position;
        if (d.body == astro::kJplMoon) h0 = astro::degree_to_radian(astro::kRiseAltitudeDeg) - p.semidiameter + p.parallax;
      }
      const astro::Horizontal h = astro::equatorial_to_horizontal(jd, 0.0, d.latitude, position);
      f.push_back(h.spherical.latitude - h0);
      g.push_back(h.horizontal[1]);
      f_reach.push_back(ephem::altitude_reach(f.back(), d.latitude, rate));
      g_reach.push_back(ephem::meridian_reach(g.back(), position, direction_rate));
    }
    int skipped = 0;
    for (int i = 0; i <= steps; ++i) {
      for (int j = i + 1; j <= steps && (j - i) * (24.0 / steps) < f_reach[i]; ++j, ++skipped) {
        ASSERT_GT(f[i] * f[j], 0.0) << d.year << "-" << d.month << "-" << d.day << " body " << d.body << " at " << i;
      }
      for (int j = i + 1; j <= steps && (j - i) * (24.0 / steps) < g_reach[i]; ++j, ++skipped) {
        ASSERT_GT(g[i] * g[j], 0.0) << d.year << "-" << d.month << "-" << d.day << " body " << d.body << " at " << i;
      }
    }
    EXPECT_GT(skipped, steps) << "the reaches pass over points";
  }
}

}  // namespace
