// The pieces shared by the day searches (rise and set, meridian transits,
// twilights), apart from what they search: a scan of the day in equal steps
// finds the steps [a, b] in which a function changes sign, evaluating only
// the steps where a sign can change (below); Newton's method with a central
// difference refines each from the end of its step, and stays inside that
// step: when a Newton step leaves it, the slope vanishes or the passes run
// out, bisection of the bracket takes over.  A Newton iteration that stays
// in its step gives exactly what it always gave.  The searches
// (planetary_efem3x, star_efem3x, crepusculos) give the functions: the
// altitude above a threshold, and the east component of the horizon vector.
//
// The central difference of 1e-8 h is below the resolution of a Julian date
// (about 1.1e-8 h), so that its slope is mostly rounding and the refinement
// takes some eight passes, or falls to bisection; an exact slope would take
// three or four.  It is kept: the figures printed follow every bit of the
// refinement (option 7 prints the hours until its event with 17 digits, and
// the azimuth of a transit to the north prints 0.00 or 360.00 by the sign of
// the east component at the last hour evaluated).
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "astro/angles.h"
#include "astro/horizon.h"

namespace zembrel::ephem {

// What the day searches have evaluated since the program started, counted
// for measurements (the benchmarks and the sweep of the day searches report
// it): apparent places, and horizon transforms (with an apparent place or
// alone, for a slope that keeps the place).
struct SearchWork {
  std::uint64_t places = 0;
  std::uint64_t horizons = 0;
};
SearchWork& search_work();

// The parses of the data files a day search is computed from (the ephemeris
// and the nutation series; io/file_cache.h), to key the results kept: a
// search asked again within a calculation (the utilities search the
// neighbouring dates of an observation once for each event) gives what it
// gave.
struct SearchData {
  std::uint64_t ephemeris = 0;
  std::uint64_t nutation = 0;
  bool operator==(const SearchData&) const = default;
};
SearchData search_data();
// A double as the bits a key compares.
inline std::uint64_t key_bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// A step of a scan in which the searched function changed sign.
struct ScanStep {
  double start = 0.0;           // hours
  double value_at_start = 0.0;  // the function there (its sign gives the direction)
  double end = 0.0;             // hours
};
// The steps of a day's scan in which the altitude above the threshold
// (crossings: rise or set) and the east component (meridians) changed sign.
struct DayScan {
  std::vector<ScanStep> crossings, meridians;
};
// Azimuth from north through east, degrees in [0, 360), of a horizontal place.
double azimuth_from_north(const astro::Horizontal& h);
// Kind of a meridian transit from the horizon vector at it: 0 below the
// horizon, 1 upper, -1 lower (with the elevated pole on the observer's side).
double transit_kind(const astro::Vec3& horizon_vector, double latitude);

inline constexpr double kSearchTolerance = 1e-8;  // hours
inline constexpr double kSearchEpsilon = 1e-8;    // hours, central difference
// The Julian date of an instant is resolved to about 1.1e-8 hours, so Newton
// passes can keep stepping by about the tolerance without settling; they are
// bounded, and the estimate reached is kept when its last step was that
// small.
inline constexpr int kMaxNewtonPasses = 60;
inline constexpr double kAcceptedLastStep = 1e-6;  // hours
// A root found this close outside its step still belongs to it.
inline constexpr double kBracketMargin = 1e-6;  // hours
inline constexpr int kMaxBisections = 60;

struct Refinement {
  double root = 0.0;
  bool by_bisection = false;
};

// `step(t, with_slope, value, slope)` evaluates the function at hour t (and,
// when with_slope, its central-difference slope); the caller keeps whatever
// else it needs from that evaluation.  The last call made is at the hour the
// caller's results should come from (the last Newton pass's starting hour,
// or the final bisection midpoint).  value_a is the function's value at a.
template <class Step>
Refinement refine_in_step(double a, double value_a, double b, Step step) {
  Refinement res;
  double lo = a, hi = b;
  const bool a_negative = value_a < 0.0;
  auto narrow = [&](double t, double v) {
    if (t < lo || t > hi) return;
    if ((v < 0.0) == a_negative) {
      lo = t;
    } else {
      hi = t;
    }
  };

  double t = b;
  for (int pass = 0; pass < kMaxNewtonPasses; ++pass) {
    double value = 0.0, slope = 0.0;
    step(t, true, value, slope);
    narrow(t, value);
    const double next = t - value / slope;
    if (!std::isfinite(next) || next < a - kBracketMargin || next > b + kBracketMargin) break;
    const double moved = std::fabs(next - t);
    if (!(moved > kSearchTolerance) ||
        (pass == kMaxNewtonPasses - 1 && moved <= kAcceptedLastStep)) {
      res.root = next;
      return res;
    }
    t = next;
  }

  // Bisection of what is left of the bracket.
  res.by_bisection = true;
  double mid = 0.5 * (lo + hi);
  for (int pass = 0; pass < kMaxBisections; ++pass) {
    double value = 0.0, slope = 0.0;
    step(mid, false, value, slope);
    if (value == 0.0 || !(hi - lo > kSearchTolerance)) break;
    narrow(mid, value);
    if (pass == kMaxBisections - 1) break;  // keep the hour last evaluated
    mid = 0.5 * (lo + hi);
  }
  res.root = mid;
  return res;
}

// ---------------------------------------------------------------------------
// The scan of a day, evaluated only where a sign can change.
//
// The scan looks at the ends of `steps` equal steps of the day, but it
// evaluates a scan point only where one of its functions may have changed
// sign: an evaluation at hour t tells for each function how long from t on
// it keeps its sign at least (its reach, in hours), and the scan points
// within every reach are passed over.  Where a point beyond a reach shows a
// sign other than that of the point before, the point before is evaluated
// too.  So each step in which a function changed sign is found with that
// function's values at both of its ends, as by evaluating every point: the
// steps found, the values at their starts and the evaluations they are
// refined from are the same.
//
// Why the reaches hold.  Let u(t) be the apparent direction of the body
// (true equator and equinox of date) and z(t) the observer's zenith, unit
// vectors: z turns about the polar axis with the local sidereal time, at
// w cos(phi) (w the sidereal rate, phi the latitude), and u turns at the
// body's own rate, at most m (below).
// - Altitude (rise and set, the twilights).  The zenith distance is the
//   angle between z and u, a distance on the sphere, so it changes at most
//   at |dz/dt| + |du/dt| <= w cos(phi) + m, and the altitude above its
//   threshold, a - h0, at most at that plus the rate of h0 (the Moon's
//   threshold follows its semidiameter and parallax).  So a - h0 keeps its
//   sign for |a - h0| / (w cos(phi) + m + |dh0/dt|) hours.
// - Meridian (transits).  The east component of the horizon vector of a
//   position P is y = e.P, with e = (-sin theta, cos theta, 0) the east point
//   (theta the local sidereal angle); that is y = -rho sin H, rho = |P|
//   cos(dec) the distance of P from the polar axis and H = theta - ra the
//   hour angle.  y has the sign of -sin H, and sin H changes at most at
//   |dH/dt| <= w + |d ra/dt| <= w + m / cos(dec).  Since |sin H| <= 1, such
//   a reach is never longer than 1 / w, under 4 hours, and over 4 hours
//   cos(dec) stays above its value now less 4 m.  So y keeps its sign for
//   |y / rho| / (w + m / (cos(dec) - 4 m)) hours.  Near a celestial pole
//   (cos(dec) below 1e-6, or not above 4 m) there is no reach.
// The rates, with room to spare: w = 15.05 deg/h for the program's sidereal
// time (15 x 1.00273790935 deg/h, and the equation of the equinoxes, which
// moves by less than 0.01"/h; at the end of a day the next date's sidereal
// time at 0 h meets the last date's within 1e-9 rad); m = 1 deg/h for the
// Moon (its geocentric motion reaches about 0.65 deg/h, 15.5 deg a day),
// 0.2 deg/h for the Sun and the planets (the Sun moves 0.04 deg/h, Venus
// at most about 0.06, the others less), 0.01 deg/h for a star (precession,
// nutation, aberration, parallax and proper motion make less than 0.1"/h);
// |dh0/dt| <= 0.01 deg/h for the Moon (its horizontal parallax changes by
// less than 0.001 deg/h).  A reach is shortened by 1e-8 rad of the function
// (rounding, the seams of the ephemeris series and of the sidereal time) and
// by 1e-7 h (the Julian date of an instant resolves about 1.1e-8 h).

inline constexpr double kDegreesPerHour = astro::kPi / 180.0;  // radians per hour
inline constexpr double kSiderealRate = 15.05 * kDegreesPerHour;
inline constexpr double kMoonRate = 1.0 * kDegreesPerHour;  // with its threshold: 1.01
inline constexpr double kMoonThresholdRate = 0.01 * kDegreesPerHour;
inline constexpr double kSunPlanetRate = 0.2 * kDegreesPerHour;
inline constexpr double kStarRate = 0.01 * kDegreesPerHour;

// How long (hours) an altitude above its threshold, f radians, keeps its
// sign at the latitude (degrees) for a body whose direction and threshold
// move at most at `rate` (radians per hour) together.
double altitude_reach(double f, double latitude, double rate);
// How long (hours) the east component y of the horizon vector of the
// equatorial `position` (true equator and equinox of date) keeps its sign
// for a body whose direction moves at most at `rate`.
double meridian_reach(double y, const astro::Vec3& position, double rate);

// The scan: evaluate(hours) at the scan points it needs, and for each
// function k < K value_of(evaluation, k) and reach_of(evaluation, hours, k);
// the steps in which each function changes sign, at most max_events of each.
template <std::size_t K, class Evaluate, class ValueOf, class ReachOf>
std::array<std::vector<ScanStep>, K> scan_steps(int steps, std::size_t max_events, Evaluate evaluate,
                                                ValueOf value_of, ReachOf reach_of) {
  std::array<std::vector<ScanStep>, K> out;
  const double step = 24.0 / steps;
  auto last = evaluate(0.0);  // the last point evaluated
  int last_i = 0;
  // For each function: a value whose sign holds up to the hour `until`.
  std::array<double, K> sign{}, until{};
  auto prove = [&](const auto& e, double h) {
    for (std::size_t k = 0; k < K; ++k) {
      const double to = h + reach_of(e, h, k);
      until[k] = h <= until[k] && until[k] > to ? until[k] : to;
      sign[k] = value_of(e, k);
    }
  };
  prove(last, 0.0);
  for (int i = 1; i <= steps; ++i) {
    const double h = i * step;
    bool needed = false;
    for (std::size_t k = 0; k < K; ++k) needed = needed || !(h < until[k]);
    if (!needed) continue;
    auto now = evaluate(h);
    const double h_before = (i - 1) * step;
    if (last_i != i - 1) {
      // The point before was passed over: each function had the sign held.
      bool changed = false;
      for (std::size_t k = 0; k < K; ++k) changed = changed || sign[k] * value_of(now, k) < 0.0;
      if (changed) {
        last = evaluate(h_before);
        last_i = i - 1;
      }
    }
    for (std::size_t k = 0; k < K; ++k) {
      const double before = last_i == i - 1 ? value_of(last, k) : sign[k];
      const double after = value_of(now, k);
      if (before * after < 0.0 && out[k].size() < max_events) out[k].push_back({h_before, before, h});
    }
    prove(now, h);
    last = std::move(now);
    last_i = i;
  }
  return out;
}

// The steps in which the value of evaluate(hours), e.value, changes sign,
// with the reach e.reach; at most max_events kept.
template <class Evaluate>
std::vector<ScanStep> scan_crossings(int steps, std::size_t max_events, Evaluate evaluate) {
  auto found = scan_steps<1>(
      steps, max_events, evaluate, [](const auto& e, std::size_t) { return e.value; },
      [](const auto& e, double, std::size_t) { return e.reach; });
  return std::move(found[0]);
}

// The steps in which f() and g() of what evaluate(hours) gives change sign,
// with their reaches f_reach() and g_reach(); at most max_events of each.
template <class Evaluate>
DayScan scan_day(int steps, std::size_t max_events, Evaluate evaluate) {
  auto found = scan_steps<2>(
      steps, max_events, evaluate, [](const auto& e, std::size_t k) { return k == 0 ? e.f() : e.g(); },
      [](const auto& e, double, std::size_t k) { return k == 0 ? e.f_reach() : e.g_reach(); });
  return {std::move(found[0]), std::move(found[1])};
}

// One step of a scan refined on value_of(evaluate(hours)), its slope from
// slope_at(hours, evaluation); the root, with the evaluation of the hour its
// results come from.
template <class Evaluation>
struct RefinedStep {
  Refinement refinement;
  Evaluation at;
};
template <class Evaluate, class Value, class Slope>
auto refine_scan_step(const ScanStep& s, Evaluate evaluate, Value value_of, Slope slope_at) {
  RefinedStep<decltype(evaluate(0.0))> out;
  out.refinement = refine_in_step(
      s.start, s.value_at_start, s.end, [&](double t, bool with_slope, double& value, double& slope) {
        out.at = evaluate(t);
        value = value_of(out.at);
        if (!with_slope) return;
        slope = slope_at(t, out.at);
      });
  return out;
}

// Rise and set from the crossings of a scan: each step refined on f() of
// evaluate(hours), its slope from slope_at(hours, evaluation); a rise is a
// change from below the threshold to above it.
template <class Events, class Evaluate, class Slope>
void store_rise_set(const std::vector<ScanStep>& crossings, Events& out, Evaluate evaluate, Slope slope_at) {
  for (const ScanStep& s : crossings) {
    const auto r = refine_scan_step(s, evaluate, [](const auto& e) { return e.f(); }, slope_at);
    if (s.value_at_start < 0.0) {
      out.rise_time = astro::degree_to_ddmmss_c(r.refinement.root);
      out.rise_azimuth = azimuth_from_north(r.at.horizon);
    } else {
      out.set_time = astro::degree_to_ddmmss_c(r.refinement.root);
      out.set_azimuth = azimuth_from_north(r.at.horizon);
    }
  }
}

// Meridian transits from the meridians of a scan, refined on g() of
// evaluate(hours), into as many rows as the table has: time (packed h.mmss),
// altitude (packed d.mmss), azimuth, kind.
template <class Rows, class Evaluate>
void store_transits(const std::vector<ScanStep>& meridians, Rows& rows, double latitude, Evaluate evaluate) {
  std::size_t k = 0;
  for (const ScanStep& s : meridians) {
    if (k == rows.size()) break;
    // The slope follows the place too: both ends are evaluated afresh.
    const auto r = refine_scan_step(s, evaluate, [](const auto& e) { return e.g(); }, [&](double t, const auto&) {
      return (evaluate(t + kSearchEpsilon).g() - evaluate(t - kSearchEpsilon).g()) / (2.0 * kSearchEpsilon);
    });
    auto& row = rows[k];
    row[0] = astro::degree_to_ddmmss_c(r.refinement.root);
    row[1] = astro::degree_to_ddmmss_c(astro::radian_to_degree(r.at.horizon.spherical.latitude));
    row[2] = azimuth_from_north(r.at.horizon);
    row[3] = transit_kind(r.at.horizon.horizontal, latitude);
    ++k;
  }
}

}  // namespace zembrel::ephem
