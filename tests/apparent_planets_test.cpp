// Tests of the apparent places of the Sun, the Moon and the planets and of
// the day search for rise, set and meridian transits, against references
// computed independently of the program from JPL's DE440 kernel.
//
// Reference source: tools/efem_reference.py (commands "place" and "events"),
// which reads de440s.bsp with python3-jplephem 2.18 and applies ERFA's
// routines (python3-erfa 2.0.0 from Debian): erfa.dtdb for TDB, a light-time
// iteration, erfa.ld (deflection by the Sun), erfa.ab (aberration),
// erfa.pnm80 (IAU 1976 precession with IAU 1980 nutation), erfa.c2s/anp.
// The day-event references solve the same altitude thresholds with those
// places and erfa.gmst82 plus the equation of the equinoxes by bisection.
#include "ephem/apparent_planets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "../tests/fixtures/ephem/synthetic_ephemeris.h"
#include "astro/angles.h"
#include "ephem/planets.h"
#include "io/record_io.h"
#include "utilities/frame.h"

namespace {

using zembrel::astro::ddmmss_to_degree_c;
using zembrel::ephem::apparent_planets_geo3;
using zembrel::ephem::planetary_efem3x;
using zembrel::testing::ScratchDirectory;

constexpr double kArcsec = 3.141592653589793 / 648000.0;

class WithData : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!dir.link_data({"JPL_1550-2650_430t", "nutation_IAU1980.dat", "delta_t.iers",
                        "delta_t.dat"}))
      GTEST_SKIP() << "data files missing";
  }
  ScratchDirectory dir;
};

struct PlaceReference {
  double jd_tt;
  int body;
  double ra, dec, distance;  // radians, radians, AU
};

// ERFA-based apparent places (see the header comment).
const PlaceReference kPlaces[] = {
    {2451545.000000, 11, 4.909219707387754, -0.401992761656562, 0.983327678869},  // Sun
    {2451545.000000, 10, 3.882373196163733, -0.190204427491807, 0.002690202996},  // Moon
    {2451545.000000, 2, 4.186902647359792, -0.321990957888496, 1.137689076231},  // Venus
    {2451545.000000, 4, 5.768596988994585, -0.230081257044636, 1.849603926487},  // Mars
    {2451545.000000, 5, 0.416572171625520, 0.149998039924387, 4.621126718934},  // Jupiter
    {2451545.000000, 6, 0.676584361873219, 0.220169277331111, 8.652748107908},  // Saturn
    {2455197.500000, 11, 4.910776190554000, -0.401903139250285, 0.983302949403},  // Sun
    {2455197.500000, 10, 1.823058889064707, 0.410178950410008, 0.002402224670},  // Moon
    {2455197.500000, 2, 4.862017395576549, -0.412631446456067, 1.708107226671},  // Venus
    {2455197.500000, 4, 2.486676948813829, 0.327288194566553, 0.738859744996},  // Mars
    {2455197.500000, 5, 5.740757075835561, -0.237523668756396, 5.637355790131},  // Jupiter
    {2455197.500000, 6, 3.229618713977675, 0.005396379118748, 9.322675496481},  // Saturn
    {2440000.750000, 11, 1.066034325652967, 0.362798929483850, 1.012885778190},  // Sun
    {2440000.750000, 10, 0.478243505046900, 0.216764492074919, 0.002705328607},  // Moon
    {2440000.750000, 2, 0.935557969350108, 0.322622002125203, 1.715533073194},  // Venus
    {2440000.750000, 4, 1.209073185845545, 0.394251714125830, 2.534150666599},  // Mars
    {2440000.750000, 5, 2.617311612895198, 0.234348204717518, 5.409535479542},  // Jupiter
    {2440000.750000, 6, 0.357043201500606, 0.107269099157400, 10.104709839400},  // Saturn
    {2459945.250000, 11, 4.902793924981617, -0.402459290785385, 0.983342457054},  // Sun
    {2459945.250000, 10, 0.500852224704396, 0.186563178413786, 0.002596195456},  // Moon
    {2459945.250000, 2, 5.225598002382039, -0.385602479931830, 1.608167646540},  // Venus
    {2459945.250000, 4, 1.168272384408588, 0.429225732830522, 0.636948167781},  // Mars
    {2459945.250000, 5, 0.027560178477564, -0.012551893268430, 5.006406600286},  // Jupiter
    {2459945.250000, 6, 5.675269801255467, -0.265692273644007, 10.539656407744},  // Saturn
    {2466000.600000, 11, 2.272389709598890, 0.319723052671920, 1.015160446227},  // Sun
    {2466000.600000, 10, 4.319252167514994, -0.361676184570732, 0.002446226390},  // Moon
    {2466000.600000, 2, 2.471245016619275, 0.155371237312872, 0.300521879572},  // Venus
    {2466000.600000, 4, 1.008580259682243, 0.334262446727397, 1.430611297976},  // Mars
    {2466000.600000, 5, 2.735061110698561, 0.187628762795317, 6.288407080661},  // Jupiter
    {2466000.600000, 6, 3.091982047456317, 0.062082673339697, 10.142486165552},  // Saturn
};

TEST_F(WithData, ApparentPlacesAgreeWithErfa) {
  for (const auto& ref : kPlaces) {
    const auto p = apparent_planets_geo3(ref.jd_tt, ref.body);
    // 0.005 s of time in right ascension; 0.05" in declination (0.1" Moon).
    const double dra_s = std::remainder(p.ra - ref.ra, 2 * 3.141592653589793) / kArcsec / 15.0;
    const double ddec = (p.dec - ref.dec) / kArcsec;
    EXPECT_LT(std::fabs(dra_s), 0.005) << ref.jd_tt << " body " << ref.body;
    EXPECT_LT(std::fabs(ddec), ref.body == 10 ? 0.1 : 0.05) << ref.jd_tt << " body " << ref.body;
    EXPECT_NEAR(p.distance, ref.distance, 1e-9) << ref.jd_tt << " body " << ref.body;
    EXPECT_GE(p.ra, 0.0);
    EXPECT_LT(p.ra, 2 * 3.141592653589793);
    // The position vector points at (ra, dec) and has the geometric length.
    EXPECT_NEAR(std::hypot(p.position[0], p.position[1], p.position[2]), p.distance,
                1e-12 * p.distance);
    EXPECT_NEAR(std::atan2(p.position[2], std::hypot(p.position[0], p.position[1])), p.dec, 1e-12);
  }
}

TEST_F(WithData, SemidiameterAndParallax) {
  // Sun at J2000.0, 0.98333 AU: semidiameter 16.27' (0.00473 rad), parallax
  // 8.94" (4.3e-5 rad); 1 Jan 2000 in the almanac: SD 16.3'.
  const auto sun = apparent_planets_geo3(2451545.0, 11);
  EXPECT_NEAR(sun.semidiameter, 0.004732, 0.00001);
  EXPECT_NEAR(sun.parallax / kArcsec, 8.94, 0.02);
  // Moon at J2000.0, 402449 km: parallax 54.48', semidiameter 14.85'.
  const auto moon = apparent_planets_geo3(2451545.0, 10);
  EXPECT_NEAR(moon.parallax / kArcsec / 60.0, 54.48, 0.02);
  EXPECT_NEAR(moon.semidiameter / kArcsec / 60.0, 14.85, 0.02);
  // Planets carry neither.
  const auto venus = apparent_planets_geo3(2451545.0, 2);
  EXPECT_EQ(venus.semidiameter, 0.0);
  EXPECT_EQ(venus.parallax, 0.0);
}

TEST_F(WithData, InstantOutsideTheFileStops) {
  try {
    apparent_planets_geo3(2200000.5, 11);
    ADD_FAILURE() << "no stop";
  } catch (const zembrel::ephem::CoordError& e) {
    EXPECT_EQ(e.status(), 1);
  }
}

double hours(double packed) { return ddmmss_to_degree_c(packed); }

// Azimuths compared on the circle.
void expect_azimuth(double got, double want, double tol, const std::string& what) {
  EXPECT_LT(std::fabs(std::remainder(got - want, 360.0)), tol) << what << ": " << got;
}

struct SearchRun {
  zembrel::ephem::PlanetaryEvents events;
  std::string screen;
  std::string results;
};

SearchRun run_search(int y, int m, int d, int body, double lon, double lat) {
  zembrel::io::connect_results();
  ::testing::internal::CaptureStdout();
  SearchRun r;
  r.events = zembrel::utilities::search_planet_day(y, m, d, body, lon, lat);
  std::fflush(stdout);
  r.screen = ::testing::internal::GetCapturedStdout();
  zembrel::io::close_results();
  std::stringstream s;
  s << std::ifstream("Resultados.txt").rdbuf();
  r.results = s.str();
  return r;
}

constexpr double kTimeTol = 2e-5;  // hours (0.07 s)

TEST_F(WithData, SunAtAnEquinoxOnTheEquator) {
  // 20 March 2000, longitude 0, latitude 0.  Reference (see header):
  // lower transit 0.125376872 h, altitude -89.876951, Zn 180;
  // rise 6.068592616 h, Zn 90.02523; upper transit 12.122894354 h, altitude
  // 89.925582, Zn 0 (the Sun just north of the equator); set 18.177194275 h,
  // Zn 270.17406.
  const SearchRun r = run_search(2000, 3, 20, 11, 0.0, 0.0);
  const auto& e = r.events;
  EXPECT_NEAR(hours(e.rise_time), 6.068592616, kTimeTol);
  EXPECT_NEAR(hours(e.set_time), 18.177194275, kTimeTol);
  EXPECT_NEAR(hours(e.set_time) - hours(e.rise_time), 12.1, 0.05);
  expect_azimuth(e.rise_azimuth, 90.02523, 1e-3, "rise azimuth");
  expect_azimuth(e.set_azimuth, 270.17406, 1e-3, "set azimuth");

  EXPECT_NEAR(hours(e.transits[0][0]), 0.125376872, kTimeTol);
  EXPECT_NEAR(ddmmss_to_degree_c(e.transits[0][1]), -89.876951, 1e-4);
  expect_azimuth(e.transits[0][2], 180.0, 1e-3, "lower transit");
  EXPECT_EQ(e.transits[0][3], 0.0);  // below the horizon
  EXPECT_NEAR(hours(e.transits[1][0]), 12.122894354, kTimeTol);
  EXPECT_NEAR(ddmmss_to_degree_c(e.transits[1][1]), 89.925582, 1e-4);
  expect_azimuth(e.transits[1][2], 0.0, 1e-2, "upper transit");
  EXPECT_EQ(e.transits[1][3], 1.0);

  EXPECT_NEAR(e.semidiameter / kArcsec / 60.0, 16.06, 0.02);  // almanac: 16.1'
  EXPECT_EQ(r.screen, "");
  EXPECT_EQ(r.results, "");
}

TEST_F(WithData, PolarNight) {
  // 21 December 2000 at 80 N, 0 E: no crossing; both transits below the
  // horizon (reference: 11.970850081 h at -13.438129, 23.975008145 h at
  // -33.437424).
  const SearchRun r = run_search(2000, 12, 21, 11, 0.0, 80.0);
  const auto& e = r.events;
  EXPECT_EQ(e.rise_time, -999999999.0);
  EXPECT_EQ(e.set_time, -999999999.0);
  EXPECT_EQ(e.rise_azimuth, -9999999.0);
  EXPECT_EQ(e.set_azimuth, -9999999.0);
  const std::string message = " Astro circumpolar o anticircumpolar. No hay orto ni ocaso\n";
  EXPECT_EQ(r.screen, message);
  EXPECT_EQ(r.results, message);
  EXPECT_NEAR(hours(e.transits[0][0]), 11.970850081, kTimeTol);
  EXPECT_NEAR(ddmmss_to_degree_c(e.transits[0][1]), -13.438129, 1e-4);
  EXPECT_EQ(e.transits[0][3], 0.0);
  EXPECT_NEAR(hours(e.transits[1][0]), 23.975008145, kTimeTol);
  EXPECT_EQ(e.transits[1][3], 0.0);
}

TEST_F(WithData, MidnightSunHasALowerTransitAboveTheHorizon) {
  // 21 June 2000 at 75 N, 10 E.  Reference: upper transit 11.363457270 h at
  // 38.437293, Zn 180; lower transit 23.365258440 h at 8.435053, Zn 0.
  const SearchRun r = run_search(2000, 6, 21, 11, 10.0, 75.0);
  const auto& e = r.events;
  EXPECT_EQ(e.rise_time, -999999999.0);
  EXPECT_EQ(e.transits[0][3], 1.0);
  expect_azimuth(e.transits[0][2], 180.0, 1e-3, "upper");
  EXPECT_NEAR(ddmmss_to_degree_c(e.transits[0][1]), 38.437293, 1e-4);
  EXPECT_NEAR(hours(e.transits[1][0]), 23.365258440, kTimeTol);
  EXPECT_NEAR(ddmmss_to_degree_c(e.transits[1][1]), 8.435053, 1e-4);
  EXPECT_EQ(e.transits[1][3], -1.0);
  expect_azimuth(e.transits[1][2], 0.0, 1e-3, "lower");
}

TEST_F(WithData, MoonAndJupiterOverMadrid) {
  // 15 June 2010, 3.7 W, 40.4 N.  Moon reference: lower transit 2.768382027 h
  // (-30.843250), rise 7.919772543 h Zn 66.44775, upper transit
  // 15.236278370 h (66.016701), set 22.359160877 h Zn 289.67026.
  SearchRun r = run_search(2010, 6, 15, 10, -3.7, 40.4);
  EXPECT_NEAR(hours(r.events.rise_time), 7.919772543, kTimeTol);
  EXPECT_NEAR(hours(r.events.set_time), 22.359160877, kTimeTol);
  expect_azimuth(r.events.rise_azimuth, 66.44775, 1e-3, "Moon rise");
  expect_azimuth(r.events.set_azimuth, 289.67026, 1e-3, "Moon set");
  EXPECT_NEAR(hours(r.events.transits[0][0]), 2.768382027, kTimeTol);
  EXPECT_EQ(r.events.transits[0][3], 0.0);
  EXPECT_NEAR(hours(r.events.transits[1][0]), 15.236278370, kTimeTol);
  EXPECT_NEAR(ddmmss_to_degree_c(r.events.transits[1][1]), 66.016701, 1e-4);
  EXPECT_EQ(r.events.transits[1][3], 1.0);
  EXPECT_EQ(r.screen, "");

  // Jupiter: rise 0.787440613 h Zn 90.40007, upper transit 6.784283139 h
  // (48.938423), set 12.782283768 h Zn 269.62703, lower transit
  // 18.755026109 h (-50.241116).
  r = run_search(2010, 6, 15, 5, -3.7, 40.4);
  EXPECT_NEAR(hours(r.events.rise_time), 0.787440613, kTimeTol);
  EXPECT_NEAR(hours(r.events.set_time), 12.782283768, kTimeTol);
  expect_azimuth(r.events.rise_azimuth, 90.40007, 1e-3, "Jupiter rise");
  expect_azimuth(r.events.set_azimuth, 269.62703, 1e-3, "Jupiter set");
  EXPECT_NEAR(hours(r.events.transits[0][0]), 6.784283139, kTimeTol);
  EXPECT_EQ(r.events.transits[0][3], 1.0);
  EXPECT_NEAR(hours(r.events.transits[1][0]), 18.755026109, kTimeTol);
  EXPECT_NEAR(ddmmss_to_degree_c(r.events.transits[1][1]), -50.241116, 1e-4);
  EXPECT_EQ(r.events.transits[1][3], 0.0);
  EXPECT_EQ(r.events.semidiameter, 0.0);
}

TEST_F(WithData, ThirdTransitOfTheDayIsDropped) {
  // 16 September 2000 at 178.7 E on the equator the apparent solar day is
  // shorter than 24 h and the Sun crosses the meridian three times.
  // Reference: upper 0.001331925 h (87.390981), lower 11.998349518 h
  // (-87.583813), upper 23.995367416 h; set 6.055435889 h, rise
  // 17.941271037 h.
  const SearchRun r = run_search(2000, 9, 16, 11, 178.7, 0.0);
  const auto& e = r.events;
  EXPECT_NEAR(hours(e.transits[0][0]), 0.001331925, kTimeTol);
  EXPECT_NEAR(ddmmss_to_degree_c(e.transits[0][1]), 87.390981, 1e-4);
  EXPECT_EQ(e.transits[0][3], 1.0);
  EXPECT_NEAR(hours(e.transits[1][0]), 11.998349518, kTimeTol);
  EXPECT_EQ(e.transits[1][3], 0.0);
  EXPECT_NEAR(hours(e.set_time), 6.055435889, kTimeTol);
  EXPECT_NEAR(hours(e.rise_time), 17.941271037, kTimeTol);
}

}  // namespace
