#include "reduction/twilight.h"

#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/horizon.h"
#include "ephem/apparent_planets.h"
#include "ephem/day_search.h"
#include "io/file_cache.h"

namespace zembrel::reduction {

namespace {

constexpr int kScanSteps = 100;  // steps of 0.24 hours
constexpr int kMaxCandidates = 10;
constexpr int kSun = astro::kJplSun;

// One depression's scan and refinement; returns morning and evening.
std::array<double, 2> pass(int year, int month, int day, double longitude, double latitude,
                           double depression_deg, bool& none) {
  const double h0 = astro::degree_to_radian(-depression_deg);
  auto jd = [&](double t) { return astro::julian_date(year, month, day, t); };
  auto altitude = [&](double t, const astro::Vec3& sun) {
    ++ephem::search_work().horizons;
    return astro::equatorial_to_horizontal(jd(t), longitude, latitude, sun).spherical.latitude;
  };
  auto sun_at = [&](double t) {
    ++ephem::search_work().places;
    return ephem::apparent_planets_geo3(jd(t), kSun).position;
  };
  struct AtScanPoint {
    double value, reach;
  };
  auto f = [&](double t) {
    const double value = altitude(t, sun_at(t)) - h0;
    return AtScanPoint{value, ephem::altitude_reach(value, latitude, ephem::kSunPlanetRate)};
  };

  const std::vector<ephem::ScanStep> candidates = ephem::scan_crossings(kScanSteps, kMaxCandidates, f);
  none = candidates.empty();

  std::array<double, 2> result{astro::kNoTwilight, astro::kNoTwilight};
  struct AtHour {
    astro::Vec3 sun;
    double value;
  };
  const auto evaluate = [&](double t) {
    const astro::Vec3 sun = sun_at(t);
    return AtHour{sun, altitude(t, sun) - h0};
  };
  // Only the horizontal conversion moves in the slope; the Sun stays at t.
  const auto slope_at = [&](double t, const AtHour& e) {
    return (altitude(t + ephem::kSearchEpsilon, e.sun) - altitude(t - ephem::kSearchEpsilon, e.sun)) /
           (2.0 * ephem::kSearchEpsilon);
  };
  for (const ephem::ScanStep& s : candidates) {
    const auto r = ephem::refine_scan_step(s, evaluate, [](const AtHour& e) { return e.value; }, slope_at);
    // A change from below the depression to above it is the morning one.
    result[s.value_at_start < 0.0 ? 0 : 1] = astro::degree_to_ddmmss_c(r.refinement.root);
  }
  return result;
}

struct SearchKey {
  int year, month, day;
  std::uint64_t longitude, latitude;
  ephem::SearchData data;
  bool operator==(const SearchKey&) const = default;
};

}  // namespace

Twilights crepusculos(int year, int month, int day, double longitude, double latitude) {
  // The same search again (once the data files have answered for the first
  // instant, so that a missing one stops the program as at the first search).
  ephem::apparent_planets_geo3(astro::julian_date(year, month, day, 0.0), kSun);
  static io::ResultMemo<SearchKey, Twilights, 4> known;
  const SearchKey key{year, month, day, ephem::key_bits(longitude), ephem::key_bits(latitude),
                      ephem::search_data()};
  if (const Twilights* same = known.find(key)) return *same;

  Twilights out;
  out.nautical = pass(year, month, day, longitude, latitude, astro::kNauticalDepressionDeg, out.no_nautical);
  out.civil = pass(year, month, day, longitude, latitude, astro::kCivilDepressionDeg, out.no_civil);
  known.store(key, out);
  return out;
}

}  // namespace zembrel::reduction
