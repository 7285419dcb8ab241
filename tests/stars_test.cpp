// Tests of the star catalogue, the body list and its selection table, the
// apparent place of a star and the day searches (stars, and the southern
// transit kind and close crossings of the solar-system search).
//
// Apparent places: ERFA (python3-erfa from Debian) with the same catalogue
// values: erfa.pmpx (proper motion and parallax, Earth from erfa.epv00),
// erfa.ab (aberration), erfa.pnm80 (IAU 1976 precession, IAU 1980 nutation).
// Day events: PyEphem 4.1 (pressure 0, horizon -0:34, same catalogue place).
#include "ephem/stars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../tests/fixtures/scratch_dir.h"
#include "astro/angles.h"
#include "io/record_io.h"
#include "utilities/frame.h"

namespace {

namespace ephem = zembrel::ephem;
using zembrel::astro::ddmmss_to_degree_c;
using zembrel::testing::ScratchDirectory;

std::string record(int number, const char* name, const char* ra, const char* dec,
                   const char* pmra = "0.00", const char* pmdec = "0.00") {
  char line[200];
  std::snprintf(line, sizeof line, "%2d %-15s  %15s    %14s     %10s         %10s    %8s   %9s",
                number, name, ra, dec, pmra, pmdec, "0.00", "10.00");
  return line;
}

std::string slurp(const char* name) {
  std::stringstream s;
  s << std::ifstream(name).rdbuf();
  return s.str();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

TEST(StarCatalogue, RecordLayoutListNumbersAndSelectionTable) {
  ScratchDirectory dir;
  std::string text = "h1\nh2\nh3\n\nh5\n\n";
  text += record(42, "First", "6.450891709", "-16.42580165", "-546.01", "-1223.08") + "\n";
  text += record(2, "Fifteen chars x", "0.645089171D+01", "0.1642580165D2") + "\n";
  for (int k = 3; k <= 99; ++k) {
    const std::string name = k == 18 ? "Abcdefghijklmno" : "Star" + std::to_string(k);
    text += record(k, name.c_str(), "1.0", "2.0") + "\n";
  }
  ScratchDirectory::write("estrellas.dat", text);

  const ephem::StarCatalogue& cat = ephem::read_star_catalogue();
  EXPECT_EQ(cat[0].name, "First          ");
  EXPECT_EQ(cat[0].ra_packed, 6.450891709);
  EXPECT_EQ(cat[0].dec_packed, -16.42580165);
  EXPECT_EQ(cat[0].pm_ra_cos_dec, -546.01);
  EXPECT_EQ(cat[0].pm_dec, -1223.08);
  EXPECT_EQ(cat[0].parallax, 10.0);
  EXPECT_EQ(cat[1].name, "Fifteen chars x");
  EXPECT_DOUBLE_EQ(cat[1].ra_packed, 6.45089171);  // D exponent
  EXPECT_DOUBLE_EQ(cat[1].dec_packed, 16.42580165);

  // List number = position in the file, whatever the record's own number.
  const ephem::Body first = ephem::body_of_list_number(1, cat);
  ASSERT_EQ(first.kind, ephem::Body::Kind::star);
  const double dec = ddmmss_to_degree_c(-16.42580165) * 3.141592653589793 / 180.0;
  EXPECT_DOUBLE_EQ(first.star.dec, dec);
  EXPECT_DOUBLE_EQ(first.star.ra, 15.0 * ddmmss_to_degree_c(6.450891709) * 3.141592653589793 / 180.0);
  EXPECT_DOUBLE_EQ(first.star.pm_ra, -546.01 / std::cos(dec));
  const int bodies[] = {11, 10, 2, 4, 5, 6};
  for (int n = 100; n <= 105; ++n) {
    const ephem::Body b = ephem::body_of_list_number(n, cat);
    EXPECT_EQ(b.kind, ephem::Body::Kind::ephemeris);
    EXPECT_EQ(b.ephemeris_body, bodies[n - 100]);
  }
  for (int n : {0, -3, 106, 119, 120, 121})
    EXPECT_EQ(ephem::body_of_list_number(n, cat).kind, ephem::Body::Kind::none) << n;

  const ephem::BodyNames names = ephem::body_names(cat);
  EXPECT_EQ(ephem::body_name(names, 105), "Saturno        ");
  EXPECT_EQ(ephem::body_name(names, 120), std::string(15, ' '));

  zembrel::io::connect_results();
  zembrel::utilities::write_selection_table(zembrel::io::kResults, names);
  zembrel::io::close_results();
  const std::vector<std::string> table = lines_of(slurp("Resultados.txt"));
  ASSERT_EQ(table.size(), 17u);
  // Column 2 (width 10) cuts a 15-character name; column 7 holds the planets.
  EXPECT_EQ(table[0].substr(0, 31), "  1 First         18 Abcdefghij");
  EXPECT_EQ(table[0].substr(table[0].size() - 11), "103 Marte  ");
  EXPECT_EQ(table[1].substr(table[1].size() - 11), "104 Jupiter");
  EXPECT_EQ(table[2].substr(table[2].size() - 11), "105 Saturno");
  const std::string blank7 = "        ";
  EXPECT_EQ(table[3].substr(table[3].size() - 11), "106" + blank7);
  EXPECT_EQ(table[14].substr(table[14].size() - 32), "  100 Sol            117" + blank7);
  EXPECT_EQ(table[15].substr(table[15].size() - 32), "  101 Luna           118" + blank7);
  EXPECT_EQ(table[16].substr(table[16].size() - 32), "  102 Venus          119" + blank7);
  for (const std::string& l : table) EXPECT_EQ(l.size(), 116u);
}

class WithData : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!dir.link_data({"JPL_1550-2650_430t", "nutation_IAU1980.dat", "estrellas.dat"}))
      GTEST_SKIP() << "data files missing";
  }
  ScratchDirectory dir;
};

ephem::CatalogueStar star_number(int n) {
  return ephem::body_of_list_number(n, ephem::read_star_catalogue()).star;
}

TEST_F(WithData, ApparentPlaceAgainstErfa) {
  struct Case {
    int number;
    double jd, ra, dec;  // ERFA, radians
  } const cases[] = {
      {18, 2460500.5, 1.7723958094619507, -0.2923126341701308},  // Sirius
      {58, 2460500.5, 0.7944067235412282, 1.5596694070454136},   // Polaris
      {17, 2460500.5, 1.6775150816952722, -0.9198994943640945},  // Canopus
      {18, 2460545.3, 1.772458367599534, -0.292273362078858},
      {58, 2460545.3, 0.8011931872313967, 1.5596765116809763},
  };
  const double rad_to_s = 43200.0 / 3.141592653589793;
  const double rad_to_as = 648000.0 / 3.141592653589793;
  for (const Case& c : cases) {
    const ephem::CatalogueStar star = star_number(c.number);
    const ephem::CatalogueStar copy = star;
    const ephem::StarPlace p = ephem::apparent_star3x(c.jd, star);
    EXPECT_LT(std::fabs(std::remainder(p.ra - c.ra, 6.283185307179586)) * rad_to_s, 0.005)
        << c.number;
    EXPECT_LT(std::fabs(p.dec - c.dec) * rad_to_as, 0.05) << c.number;
    EXPECT_NEAR(zembrel::astro::vector_mod(p.direction), 1.0, 1e-12);
    const ephem::StarRaDec q = ephem::apparent_star3(c.jd, star);
    EXPECT_EQ(q.ra, p.ra);
    EXPECT_EQ(q.dec, p.dec);
    EXPECT_EQ(std::memcmp(&copy, &star, sizeof star), 0);
  }
}

struct StarRun {
  ephem::StarEvents events;
  std::string screen;
};

StarRun run_star(int y, int m, int d, double lon, double lat, const ephem::CatalogueStar& s) {
  zembrel::io::connect_results();
  ::testing::internal::CaptureStdout();
  StarRun r;
  r.events = zembrel::utilities::search_star_day(y, m, d, lon, lat, s);
  std::fflush(stdout);
  r.screen = ::testing::internal::GetCapturedStdout();
  zembrel::io::close_results();
  return r;
}

TEST_F(WithData, CircumpolarStarNorthAndSouth) {
  // A star 1 degree from the pole is seen at both culminations: the upper
  // ones kind 1 on the side of the elevated pole, the lower ones kind -1.
  for (double lat : {45.0, -60.0}) {
    ephem::CatalogueStar s;
    s.dec = (lat > 0 ? 89.0 : -89.0) * 3.141592653589793 / 180.0;
    s.ra = 1.0;
    const StarRun r = run_star(2024, 3, 20, 10.0, lat, s);
    EXPECT_TRUE(r.events.circumpolar);
    EXPECT_EQ(r.screen, " Astro circumpolar o anticircumpolar. No hay orto ni ocaso\n");
    EXPECT_EQ(r.events.rise_time, zembrel::astro::kNoEventTime);
    EXPECT_EQ(r.events.set_azimuth, zembrel::astro::kNoAzimuth);
    int upper = 0, lower = 0;
    for (const auto& row : r.events.transits) {
      if (row[0] == zembrel::astro::kNoTransit) continue;
      const double alt = ddmmss_to_degree_c(row[1]);
      if (row[3] == 1.0) {
        ++upper;
        EXPECT_NEAR(alt, std::fabs(lat) + 1.0, 0.3) << lat;
      } else {
        ASSERT_EQ(row[3], -1.0) << lat;
        ++lower;
        EXPECT_NEAR(alt, std::fabs(lat) - 1.0, 0.3) << lat;
      }
      EXPECT_NEAR(std::fabs(std::remainder(row[2], 360.0)), lat > 0 ? 0.0 : 180.0, 1e-3);
    }
    EXPECT_EQ(upper, 1);
    EXPECT_EQ(lower, 1);
  }
}

TEST_F(WithData, GrazingStarKeepsBothEventsOfAdjacentSteps) {
  // Canopus from 37.838 N, 4.41 W on 15 January 2026 just clears -0 34'
  // around its transit; the rise and the set lie in adjacent scan steps.
  // PyEphem: rise 22.871133 h, set 23.148238 h, transit 23.009687 h at
  // -0 32' 54.7".
  const StarRun r = run_star(2026, 1, 15, -4.41, 37.838, star_number(17));
  EXPECT_FALSE(r.events.circumpolar);
  EXPECT_EQ(r.screen, "");
  EXPECT_NEAR(ddmmss_to_degree_c(r.events.rise_time), 22.871133, 2e-3);
  EXPECT_NEAR(ddmmss_to_degree_c(r.events.set_time), 23.148238, 2e-3);
  EXPECT_NEAR(r.events.rise_azimuth, 180.0 - 2.5, 2.5);
  EXPECT_NEAR(r.events.set_azimuth, 180.0 + 2.5, 2.5);
  // Row 1 is the lower transit, far below the horizon.
  EXPECT_EQ(r.events.transits[0][3], 0.0);
  EXPECT_NEAR(ddmmss_to_degree_c(r.events.transits[1][0]), 23.009687, 5e-4);
  EXPECT_NEAR(ddmmss_to_degree_c(r.events.transits[1][1]), -(32 + 54.7 / 60) / 60, 2e-3);
  EXPECT_EQ(r.events.transits[1][3], 0.0);
  EXPECT_EQ(r.events.transits[2][0], zembrel::astro::kNoTransit);
}

}  // namespace

namespace {

using zembrel::ephem::planetary_efem3x;

TEST_F(WithData, TransitKindSouthOfTheEquator) {
  // PyEphem (pressure 0): the Sun on 21 December 2026 at 70 S 20 E culminates
  // at 10.633951 h, 43.434932 deg, azimuth 0, and passes below the pole at
  // 22.638081 h, 3.434933 deg, azimuth 180.
  ::testing::internal::CaptureStdout();
  zembrel::io::connect_results();
  const ephem::PlanetaryEvents sun = planetary_efem3x(2026, 12, 21, 11, 20.0, -70.0);
  // The Moon on 1 January 2028 at 52 S 179.5 E culminates at 3.256794 h
  // (geocentric altitude 48.35 deg; PyEphem's topocentric 47.74 deg).
  const ephem::PlanetaryEvents moon = planetary_efem3x(2028, 1, 1, 10, 179.5, -52.0);
  zembrel::io::close_results();
  ::testing::internal::GetCapturedStdout();
  EXPECT_NEAR(ddmmss_to_degree_c(sun.transits[0][0]), 10.633951, 2e-4);
  EXPECT_NEAR(ddmmss_to_degree_c(sun.transits[0][1]), 43.434932, 5e-3);
  EXPECT_EQ(sun.transits[0][3], 1.0);
  EXPECT_NEAR(ddmmss_to_degree_c(sun.transits[1][0]), 22.638081, 2e-4);
  EXPECT_NEAR(ddmmss_to_degree_c(sun.transits[1][1]), 3.434933, 5e-3);
  EXPECT_NEAR(sun.transits[1][2], 180.0, 1e-3);
  EXPECT_EQ(sun.transits[1][3], -1.0);
  EXPECT_NEAR(ddmmss_to_degree_c(moon.transits[0][0]), 3.256794, 2e-3);
  EXPECT_NEAR(ddmmss_to_degree_c(moon.transits[0][1]), 48.35, 0.05);
  EXPECT_EQ(moon.transits[0][3], 1.0);
  EXPECT_EQ(moon.transits[1][3], 0.0);  // the lower one below the horizon
}

}  // namespace
