// The faster engine must print exactly what the plain one printed.  A sweep of
// instants and bodies through the time scales, sidereal time, nutation, the
// ephemeris lookup, apparent places of bodies and stars, day searches and
// twilights is written as records
// (every double with 17 significant digits, and the rendered lines a utility
// would print) and compared byte for byte with records written by the engine
// as it was before its caches (tests/fixtures/speed/*.txt).  ctest runs this
// with the caches on and, as cache_off.speed_sweep, off (the day searches of
// the bodies only with them on).
//
// ZEMBREL_SWEEP_WRITE_DIR=DIR writes the records into DIR instead of
// comparing: the fixtures were made so by the engine as it was before its
// caches, and, when the ephemeris file became DE440 (1849-12-26 to
// 2150-01-22), made again by the engine with its caches, which gave those
// records to the byte, and checked with the caches off.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "../tests/fixtures/scratch_dir.h"
#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/horizon.h"
#include "astro/sidereal.h"
#include "astro/precession_nutation.h"
#include "astro/time_scales.h"
#include "ephem/apparent_planets.h"
#include "ephem/jpl_file.h"
#include "ephem/stars.h"
#include "io/file_cache.h"
#include "io/record_io.h"
#include "reduction/twilight.h"

namespace {

using zembrel::testing::ScratchDirectory;
namespace io = zembrel::io;
namespace astro = zembrel::astro;
namespace ephem = zembrel::ephem;
namespace reduction = zembrel::reduction;

constexpr int kBodies[] = {2, 4, 5, 6, 10, 11};

class Sweep : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!dir.link_data({"JPL_1550-2650_430t"})) GTEST_SKIP() << "no ephemeris file";
    // The series and tables of the test's own, so that new data files do not
    // change the records.
    ScratchDirectory::copy_fixture("nutation_IAU1980.dat");
    write_tables();
    // As in the program, where a keyboard answer precedes every calculation.
    io::note_keyboard_answer();
  }

  // Writes or compares the records of one fixture.
  void check(const std::string& name, const std::string& records) {
    if (const char* out = std::getenv("ZEMBREL_SWEEP_WRITE_DIR")) {
      std::ofstream(std::string(out) + "/" + name, std::ios::binary) << records;
      return;
    }
    std::ifstream in(std::string(ZEMBREL_TEST_DIR) + "/fixtures/speed/" + name, std::ios::binary);
    ASSERT_TRUE(in) << name;
    std::stringstream expected;
    expected << in.rdbuf();
    const std::string want = expected.str();
    std::istringstream a(want), b(records);
    std::string la, lb;
    for (int line = 1; std::getline(a, la) && std::getline(b, lb); ++line) {
      ASSERT_EQ(la, lb) << name << " line " << line;
    }
    EXPECT_EQ(want.size(), records.size()) << name;
  }

  // Daily UT1 - UTC over 1999-2001 and yearly Delta T over 1960-2060, in the
  // layouts of the two table files.
  static void write_tables() {
    std::string iers(12, '\n');
    for (int i = 0; i < 1096; ++i) {
      const astro::CalendarDate c = astro::gregorian_date(2451179.5 + i);
      iers += std::to_string(c.year) + " " + std::to_string(c.month) + " " + std::to_string(c.day) +
              " 51179 0.1 0.2 " + std::to_string(0.35 - 0.0009 * i + 0.01 * (i % 5)) +
              " 0 0 0 0 0 0 0 0 0\n";
    }
    ScratchDirectory::write("delta_t.iers", iers);
    std::string dat = "header\n";
    for (int y = 1960; y <= 2060; ++y) {
      dat += std::to_string(y) + " 1 1 0.0 0.0 " + std::to_string(33.0 + 0.41 * (y - 1960)) +
             " 1.0\n";
    }
    ScratchDirectory::write("delta_t.dat", dat);
  }

  ScratchDirectory dir;
};

// Time scales, sidereal time, nutation and raw ephemeris states over the
// span of the tables and of the file, including record boundaries.
TEST_F(Sweep, FramesAndEphemerisStates) {
  std::string out;
  for (int i = 0; i < 60; ++i) {
    const double jd_utc = 2451180.5 + i * 18.1 + (i % 7) * 0.1234567;  // 1999 to 2001
    const astro::TimeScales s = astro::time_scales(jd_utc);
    const astro::Nutation n = astro::nutation_parameters(s.jd_tt);
    const astro::SiderealTime st = astro::ut_to_st(-3.7, s.jd_ut1);
    out += io::list_record({"ts", jd_utc, s.jd_ut1, s.jd_tt, s.jd_tdb}) + "\n";
    out += io::list_record({"nut", n.dpsi, n.deps, n.eps0, n.eps}) + "\n";
    out += io::list_record({"st", st.local_mean_st, st.local_apparent_st}) + "\n";
  }
  for (int i = 0; i < 80; ++i) {
    // 1850 to 2150; every fifth instant on a 32-day record boundary.
    const double jd = i % 5 == 0 ? 2396752.5 + 32.0 * (i * 131 % 3425)
                                 : 2396752.5 + i * 1370.21 + i * 0.0137;
    for (int body : {3, 10, 11, 5, 12, 13}) {
      const ephem::CoordResult r = ephem::coord(jd, body);
      out += io::list_record({jd, body, r.status, r.count, r.state[0], r.state[1], r.state[2],
                              r.state[3], r.state[4], r.state[5]}) +
             "\n";
    }
  }
  check("frames_and_states.txt", out);
}

TEST_F(Sweep, ApparentPlaces) {
  std::string out;
  for (int i = 0; i < 50; ++i) {
    const double jd_tt = 2396800.5 + i * 2190.9 + i * 0.0421;  // 1850 to 2150
    for (int body : kBodies) {
      const ephem::ApparentPlace p = ephem::apparent_planets_geo3(jd_tt, body);
      out += io::list_record({jd_tt, body, p.position[0], p.position[1], p.position[2], p.ra,
                              p.dec, p.distance, p.semidiameter, p.parallax}) +
             "\n";
      out += io::format_record("(1x,f12.4,1x,f12.4,1x,f12.8,2f10.5)",
                               {astro::degree_to_ddmmss_c(astro::radian_to_degree(p.ra) / 15.0),
                                astro::degree_to_ddmmss_c(astro::radian_to_degree(p.dec)),
                                p.distance, astro::radian_to_degree(p.semidiameter) * 60.0,
                                astro::radian_to_degree(p.parallax) * 60.0}) +
             "\n";
    }
  }
  check("apparent_places.txt", out);
}

TEST_F(Sweep, DaySearches) {
  std::string out;
  struct Date {
    int year, month, day;
  };
  const Date dates[] = {{1987, 3, 21}, {2010, 6, 15}, {2024, 12, 21}, {1965, 9, 3},
                        {2055, 1, 30}, {1851, 4, 2},   {2149, 12, 1}};
  struct Place {
    double longitude, latitude;
  };
  const Place places[] = {{-3.7, 40.4}, {18.9, 69.6}, {-70.6, -33.4}};
  for (const Date& d : dates) {
    for (const Place& pl : places) {
      for (int body : kBodies) {
        const ephem::PlanetaryEvents e =
            ephem::planetary_efem3x(d.year, d.month, d.day, body, pl.longitude, pl.latitude);
        out += io::list_record({d.year, d.month, d.day, body, pl.longitude, pl.latitude}) + "\n";
        out += io::list_record({e.rise_time, e.set_time, e.rise_azimuth, e.set_azimuth,
                                e.semidiameter, e.parallax}) +
               "\n";
        for (const auto& row : e.transits) {
          out += io::format_record("(1x,f10.4,f10.4,f10.2,f5.0)", {row[0], row[1], row[2], row[3]}) +
                 "\n";
        }
      }
    }
  }
  check("day_searches.txt", out);
}

// Star places and day searches, and twilights.  The stars are given by
// their catalogue values (near those of Sirius, Polaris, Canopus, Vega and
// Acrux) so that the records do not depend on the catalogue file.
TEST_F(Sweep, StarsAndTwilights) {
  std::string out;
  const ephem::CatalogueStar stars[] = {
      {1.7677943, -0.2917512, -5.5, -2659.0, -1223.1, 379.2},
      {0.6622870, 1.5579526, -17.4, 2997.7, -1.5, 7.5},
      {1.6753074, -0.9197127, 20.3, 25.5, 23.2, 10.6},
      {4.8735630, 0.6769030, -13.9, 251.5, 287.5, 130.2},
      {3.2576801, -1.1013269, -11.2, -59.0, -14.9, 10.2},
  };
  for (int i = 0; i < 30; ++i) {
    const double jd_tt = 2396800.5 + i * 3650.7 + i * 0.0421;  // 1850 to 2150
    for (const ephem::CatalogueStar& star : stars) {
      const ephem::StarPlace p = ephem::apparent_star3x(jd_tt, star);
      out += io::list_record({jd_tt, p.direction[0], p.direction[1], p.direction[2], p.ra, p.dec}) +
             "\n";
    }
  }
  struct Case {
    int year, month, day;
    double longitude, latitude;
  };
  const Case cases[] = {{1987, 3, 21, -3.7, 40.4},   {2010, 6, 15, 18.9, 69.6},
                        {2024, 12, 21, -70.6, -33.4}, {1965, 9, 3, 150.0, -60.0},
                        {2055, 1, 30, -3.7, 40.4},    {2010, 6, 21, 18.9, 59.0},
                        {1851, 4, 2, -70.6, -33.4},   {2149, 12, 1, 150.0, 35.0}};
  for (const Case& c : cases) {
    out += io::list_record({c.year, c.month, c.day, c.longitude, c.latitude}) + "\n";
    for (const ephem::CatalogueStar& star : stars) {
      const ephem::StarEvents e =
          ephem::star_efem3x(c.year, c.month, c.day, c.longitude, c.latitude, star);
      out += io::list_record({e.rise_time, e.set_time, e.rise_azimuth, e.set_azimuth,
                              e.circumpolar ? 99.0 : 0.0}) +
             "\n";
      for (const auto& row : e.transits) {
        out += io::format_record("(1x,f10.4,f10.4,f10.2,f5.0)", {row[0], row[1], row[2], row[3]}) +
               "\n";
      }
    }
    const reduction::Twilights t = reduction::crepusculos(c.year, c.month, c.day, c.longitude, c.latitude);
    out += io::list_record({t.nautical[0], t.nautical[1], t.civil[0], t.civil[1]}) + "\n";
  }
  check("stars_and_twilights.txt", out);
}

}  // namespace
