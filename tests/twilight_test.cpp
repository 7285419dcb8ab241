// Tests of the civil and nautical twilight search.
//
// References: a one-off script that solves the same geometric altitudes by
// bisection with ERFA (python3-erfa): Sun from erfa.epv00 with light time,
// erfa.ab, erfa.pnm80, and erfa.gst94 at the same Julian date (the date
// serves as TT and as UT1, as in the program).  PyEphem (pressure 0, centre
// of the Sun) agrees within 0.5 s at 40 N; near a grazing depression the
// different time scale moves its times by some 20 s.
#include "reduction/twilight.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "../tests/fixtures/scratch_dir.h"
#include "astro/angles.h"
#include "io/record_io.h"
#include "utilities/frame.h"

namespace {

using zembrel::astro::ddmmss_to_degree_c;
using zembrel::reduction::crepusculos;
using zembrel::astro::kNoTwilight;
using zembrel::reduction::Twilights;

class Twilight : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!dir.link_data({"JPL_1550-2650_430t", "nutation_IAU1980.dat"}))
      GTEST_SKIP() << "data files missing";
  }
  Twilights run(int y, int m, int d, double lon, double lat) {
    zembrel::io::connect_results();
    ::testing::internal::CaptureStdout();
    const Twilights t = zembrel::utilities::search_twilights(y, m, d, lon, lat);
    std::fflush(stdout);
    screen = ::testing::internal::GetCapturedStdout();
    zembrel::io::close_results();
    std::ifstream in("Resultados.txt");
    results.assign(std::istreambuf_iterator<char>(in), {});
    return t;
  }
  zembrel::testing::ScratchDirectory dir;
  std::string screen, results;
};

constexpr double kTol = 1e-5;  // hours

TEST_F(Twilight, MidLatitudeSpring) {
  // 20 March 2024, 40 N 10 W.  PyEphem: 5.737578, 6.264089, 19.324680,
  // 19.852566 h.
  const Twilights t = run(2024, 3, 20, -10.0, 40.0);
  EXPECT_NEAR(ddmmss_to_degree_c(t.nautical[0]), 5.737341849, kTol);
  EXPECT_NEAR(ddmmss_to_degree_c(t.civil[0]), 6.263852002, kTol);
  EXPECT_NEAR(ddmmss_to_degree_c(t.civil[1]), 19.324832546, kTol);
  EXPECT_NEAR(ddmmss_to_degree_c(t.nautical[1]), 19.852718202, kTol);
  EXPECT_EQ(screen, "");
  EXPECT_EQ(results, "");
}

TEST_F(Twilight, NoTwilightAt65NorthInJune) {
  const Twilights t = run(2024, 6, 21, 0.0, 65.0);
  for (double v : {t.civil[0], t.civil[1], t.nautical[0], t.nautical[1]}) EXPECT_EQ(v, kNoTwilight);
  EXPECT_EQ(screen,
            " No hay crepusculo nautico en esta situacion\n\n"
            " No hay crepusculo civil en esta situacion\n");
  EXPECT_EQ(results, screen);
}

TEST_F(Twilight, CrossingsInAdjacentStepsAreBothKept) {
  // 21 June 2026, 54 32' N, 150 W: the Sun dips just below 12 degrees; the
  // two nautical crossings lie in the adjacent steps (9.84, 10.08] and
  // (10.08, 10.32] h.  Evening end 9.865891831 h, morning start
  // 10.193995351 h; civil 12.457083860 (morning), 7.602803579 (evening).
  const Twilights t = run(2026, 6, 21, -150.0, 54.0 + 32.0 / 60.0);
  EXPECT_NEAR(ddmmss_to_degree_c(t.nautical[0]), 10.193995351, kTol);
  EXPECT_NEAR(ddmmss_to_degree_c(t.nautical[1]), 9.865891831, kTol);
  EXPECT_NEAR(ddmmss_to_degree_c(t.civil[0]), 12.457083860, kTol);
  EXPECT_NEAR(ddmmss_to_degree_c(t.civil[1]), 7.602803579, kTol);
  EXPECT_EQ(screen, "");
}

}  // namespace
