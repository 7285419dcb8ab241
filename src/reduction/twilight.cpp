#include "reduction/twilight.h"

#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/horizon.h"
#include "ephem/apparent_planets.h"
#include "ephem/day_search.h"

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
    return astro::equatorial_to_horizontal(jd(t), longitude, latitude, sun).spherical.latitude;
  };
  auto sun_at = [&](double t) { return ephem::apparent_planets_geo3(jd(t), kSun).position; };
  auto f = [&](double t) { return altitude(t, sun_at(t)) - h0; };

  const std::vector<ephem::ScanStep> candidates = ephem::scan_crossings(kScanSteps, kMaxCandidates, f);
  none = candidates.empty();

  std::array<double, 2> result{astro::kNoTwilight, astro::kNoTwilight};
  for (const ephem::ScanStep& s : candidates) {
    const ephem::Refinement r = ephem::refine_in_step(
        s.start, s.value_at_start, s.end, [&](double t, bool with_slope, double& value, double& slope) {
          const astro::Vec3 sun = sun_at(t);
          value = altitude(t, sun) - h0;
          if (!with_slope) return;
          // Only the horizontal conversion moves; the Sun stays at t.
          slope = (altitude(t + ephem::kSearchEpsilon, sun) - altitude(t - ephem::kSearchEpsilon, sun)) /
                  (2.0 * ephem::kSearchEpsilon);
        });
    // A change from below the depression to above it is the morning one.
    result[s.value_at_start < 0.0 ? 0 : 1] = astro::degree_to_ddmmss_c(r.root);
  }
  return result;
}

}  // namespace

Twilights crepusculos(int year, int month, int day, double longitude, double latitude) {
  Twilights out;
  out.nautical = pass(year, month, day, longitude, latitude, astro::kNauticalDepressionDeg, out.no_nautical);
  out.civil = pass(year, month, day, longitude, latitude, astro::kCivilDepressionDeg, out.no_civil);
  return out;
}

}  // namespace zembrel::reduction
