// The refinement shared by the day searches (rise and set, meridian
// transits, twilights): a scan of the day finds a sign change of a function
// within one step [a, b]; Newton's method with a central difference refines
// it from the end of the step, and stays inside that step: when a Newton
// step leaves it, the slope vanishes or the passes run out, bisection of the
// bracket takes over.  A Newton iteration that stays in its step gives
// exactly what it always gave.
#pragma once

#include <cmath>

namespace zembrel::ephem {

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

}  // namespace zembrel::ephem
