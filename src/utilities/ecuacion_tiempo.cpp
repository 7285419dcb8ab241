// Menu option 6: the equation of time for a Greenwich date and a UTC time,
// with the four time scales, the Sun's apparent place and the hour angles it
// is formed from.
#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/sidereal.h"
#include "astro/time_scales.h"
#include "ephem/apparent_planets.h"
#include "io/record_io.h"
#include "utilities/answers.h"
#include "utilities/frame.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

namespace {

using astro::degree_to_ddmmss_c;
using astro::degree_to_radian;
using astro::radian_to_degree;
using io::kResults;
using io::kScreen;


void write_openings() {
  utilities::write_openings({1, "    ZEMBREL: Ecuacion del tiempo", 49, 44, "   ZEMBREL: Ecuacion del tiempo", 48, 44, 1, 1});
}

// The answers of the dialogue; they live for the whole call of the utility, so
// an answer that leaves a value unchanged ("/", ",,") keeps the previous one.
struct Answers {
  int day = 0, month = 0, year = 0;
  double packed_time = 0.0;
  int again = 0;
};

// What the calculation shows, all packed but SD and PHE (minutes of arc)
// and the equation of time (mm.sss).
struct SunAndEquation {
  double alpha, delta, gha, sidereal, aries;
  double sd_min, hp_min;
  double et;
};

// The Sun's apparent place and hour angles at the UTC instant jd_utc (t its
// hours), and the equation of time: the Greenwich hour angle of the true Sun
// less that of the mean Sun.
SunAndEquation sun_and_equation(double jd_utc, double t, const astro::TimeScales& ts) {
  // Apparent sidereal time at Greenwich, taken from the UTC Julian date.
  const double theta = astro::ut_to_st(0.0, jd_utc).local_apparent_st;
  const ephem::ApparentPlace sun = ephem::apparent_planets_geo3(ts.jd_tt, astro::kJplSun);
  SunAndEquation r;
  r.aries = degree_to_ddmmss_c(15.0 * theta);
  r.alpha = degree_to_ddmmss_c(radian_to_degree(sun.ra) / 15.0);
  r.delta = degree_to_ddmmss_c(radian_to_degree(sun.dec));
  // Greenwich hour angles of the apparent and of the mean Sun.
  const double gha = astro::scale_angle(degree_to_radian(15.0 * theta) + astro::kTwoPi - sun.ra);
  const double sidereal_angle = astro::scale_angle(gha - degree_to_radian(15.0 * theta));
  const double gha_mean = astro::scale_angle(degree_to_radian((t + 12.0) * 15.0));
  double e = gha - gha_mean;
  if (e >= astro::kPi) e -= astro::kTwoPi;
  if (e < -astro::kPi) e += astro::kTwoPi;
  // Packed hours times 100 reads as minutes, seconds and tenths.
  r.et = degree_to_ddmmss_c(radian_to_degree(e) / 15.0) * 100.0;
  r.gha = degree_to_ddmmss_c(radian_to_degree(gha));
  r.sidereal = degree_to_ddmmss_c(radian_to_degree(sidereal_angle));
  r.sd_min = radian_to_degree(sun.semidiameter) * 60.0;
  r.hp_min = radian_to_degree(sun.parallax) * 60.0;
  return r;
}

void write_screen(const SunAndEquation& r, int day, int month, int year, double time_shown) {
  io::write_list(kScreen, {"SD, PHE (min. arco): ", r.sd_min, r.hp_min});
  io::write_fmt(kScreen, "(a20,1x,f11.7)", {" alpha (hh.mmsssss):", r.alpha});
  io::write_fmt(kScreen, "(a20,1x,f11.6)", {" delta (gg.mmssss): ", r.delta});
  io::write_fmt(kScreen, "(a20,1x,f15.7)", {" hG* (gg.mmsssss):  ", r.gha});
  io::write_fmt(kScreen, "(a30,1x,f15.7)", {" Angulo sidereo (gg.mmsssss): ", r.sidereal});
  io::write_fmt(kScreen, "(a23,1x,f15.7)", {" hG_Aries(gg.mmsssss): ", r.aries});
  io::write_list(kScreen);
  io::write_list(kScreen, {" Ecuacion del tiempo"});
  io::write_list(kScreen, {" -------------------"});
  io::write_list(kScreen);
  write_greenwich_date(kScreen, day, month, year, time_shown);
  io::write_list(kScreen);
  io::write_fmt(kScreen, "(a14,1x,f8.3)", {" ET (mm.sss): ", r.et});
}

void write_results(const SunAndEquation& r, int day, int month, int year, double time_shown) {
  io::write_list(kResults, {"SD, PHE (min. arco): ", r.sd_min, r.hp_min});
  io::write_list(kResults);
  io::write_fmt(kResults, "(a20,1x,f11.7)", {" alpha (hh.mmsssss):", r.alpha});
  io::write_fmt(kResults, "(a20,1x,f11.7)", {" delta (gg.mmssss): ", r.delta});
  io::write_fmt(kResults, "(a20,f11.7)", {" hG* (gg.mmsssss):  ", r.gha});
  io::write_fmt(kResults, "(a30,f11.7)", {" Angulo sidereo (gg.mmsssss): ", r.sidereal});
  io::write_fmt(kResults, "(a23,f11.7)", {" hG_Aries(gg.mmsssss): ", r.aries});
  io::write_list(kResults);
  io::write_list(kResults);
  io::write_list(kResults, {" Ecuacion del tiempo"});
  io::write_list(kResults, {" -------------------"});
  io::write_list(kResults);
  write_greenwich_date(kResults, day, month, year, time_shown);
  io::write_list(kResults);
  io::write_fmt(kResults, "(a14,1x,f8.3)", {" ET (mm.sss): ", r.et});
  io::write_list(kResults);
  io::write_list(kResults);
}

void one_calculation(Answers& a) {
  io::write_list(kScreen);
  io::write_list(kScreen, {"dia,mes,anno (dd mm aaaa)?"});
  read_date(a.day, a.month, a.year);
  io::write_list(kScreen, {"hora UTC (hh.mmss)?"});
  read_time(a.packed_time);
  const int day = a.day, month = a.month, year = a.year;
  const double t = astro::ddmmss_to_degree_c(a.packed_time);

  const double jd_utc = astro::julian_date(year, month, day, t);
  const astro::TimeScales ts = astro::time_scales(jd_utc);
  write_time_scale_warnings(ts);
  const double time_shown = degree_to_ddmmss_c(t);

  io::write_list(kScreen);
  write_time_scales(kScreen, jd_utc, ts);

  write_greenwich_date(kResults, day, month, year, time_shown);
  io::write_list(kResults);
  write_time_scales(kResults, jd_utc, ts);
  // The utility works in UTC throughout: the UT1 hour shown is the UTC one.
  io::write_fmt(kResults, "(a20,1x,2(f11.8,1x))", {" UTC, UT1 (hh.mmss):", time_shown, time_shown});
  io::write_list(kResults);

  const SunAndEquation r = sun_and_equation(jd_utc, t, ts);
  write_screen(r, day, month, year, time_shown);
  write_results(r, day, month, year, time_shown);
}

}  // namespace

void ecuacion_tiempo() {
  write_openings();
  Answers answers;
  repeat_calculations(answers.again, Separator::hyphens, [&] { one_calculation(answers); });
}

}  // namespace zembrel::utilities
