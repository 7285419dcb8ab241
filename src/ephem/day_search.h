// The pieces shared by the day searches (rise and set, meridian transits,
// twilights), apart from what they search: a scan of the day in equal steps
// finds the steps [a, b] in which a function changes sign; Newton's method
// with a central difference refines each from the end of its step, and stays
// inside that step: when a Newton step leaves it, the slope vanishes or the
// passes run out, bisection of the bracket takes over.  A Newton iteration
// that stays in its step gives exactly what it always gave.  The searches
// (planetary_efem3x, star_efem3x, crepusculos) give the functions: the
// altitude above a threshold, and the east component of the horizon vector.
#pragma once

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

// The step (start, end] of a scan whose function went from `before` to
// `after` joins `steps` when the sign changed (a product of exactly zero is
// no change) and fewer than max_events are there.
inline void note_sign_change(std::vector<ScanStep>& steps, std::size_t max_events, double start,
                             double before, double end, double after) {
  if (before * after < 0.0 && steps.size() < max_events) steps.push_back({start, before, end});
}

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

// The scan of a day: evaluate(hours) at 0 h and at the ends of `steps`
// equal steps, and on_step(start, before, end, after) for each step with the
// evaluations at its two ends.
template <class Evaluate, class OnStep>
void scan_steps(int steps, Evaluate evaluate, OnStep on_step) {
  const double step = 24.0 / steps;
  auto prev = evaluate(0.0);
  double prev_h = 0.0;
  for (int i = 1; i <= steps; ++i) {
    const double h = i * step;
    auto now = evaluate(h);
    on_step(prev_h, prev, h, now);
    prev = now;
    prev_h = h;
  }
}

// The steps in which value(hours) changes sign; at most max_events kept.
template <class Value>
std::vector<ScanStep> scan_crossings(int steps, std::size_t max_events, Value value) {
  std::vector<ScanStep> out;
  scan_steps(steps, value, [&](double start, double before, double end, double after) {
    note_sign_change(out, max_events, start, before, end, after);
  });
  return out;
}

// The steps in which f() and g() of what evaluate(hours) gives change sign;
// at most max_events of each are kept.
template <class Evaluate>
DayScan scan_day(int steps, std::size_t max_events, Evaluate evaluate) {
  DayScan out;
  scan_steps(steps, evaluate, [&](double start, const auto& before, double end, const auto& after) {
    note_sign_change(out.crossings, max_events, start, before.f(), end, after.f());
    note_sign_change(out.meridians, max_events, start, before.g(), end, after.g());
  });
  return out;
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
