// The navigation pieces of the fix without dead reckoning (menu option 5):
// the advance of the first circle of equal altitude and the choice between
// the two candidates (their dead reckoning is reduction/dead_reckoning.h).
#pragma once

namespace zembrel::utilities::fix {

// Sights more than five minutes apart (either way) with the ship under way:
// the first circle is carried to the instant of the second sight.
bool advance_needed(double dt_hours, double speed_knots);

// Angle between the first body's azimuth and the course, radians in [0, pi]
// (the arc-cosine argument is kept within [-1, 1]).
double azimuth_course_angle(double azimuth, double course);

// Advance of the first circle in miles: the run (signed: a second sight
// taken before the first gives a negative run) along the first body's
// azimuth, positive toward the body.
double circle_advance(double alpha, double run_miles);

// The candidate whose computed altitude differs less from the observed one,
// provided the difference is at most one degree; candidate 1 on a tie.
// Differences that are not numbers never pass.  0 when neither does.
int choose_candidate(double difference_1, double difference_2);

}  // namespace zembrel::utilities::fix
