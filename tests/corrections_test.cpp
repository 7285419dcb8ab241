// Dip, the three correction orders, the report lines and the means of a sight.
// Expected values were worked out separately in Python from the correction
// formulas (refraction with P = 1020 hPa, T = 25 C).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "fixtures/scratch_dir.h"
#include "io/record_io.h"
#include "utilities/sight_entry.h"
#include "reduction/corrections.h"

namespace zembrel::reduction {
namespace {

TEST(Corrections, DipAndPlanetParallax) {
  EXPECT_DOUBLE_EQ(dip_of_horizon(0.0), 0.0);
  EXPECT_NEAR(dip_of_horizon(4.0), 3.5514, 1e-12);
  // 8.794" at 1 AU; Venus at 0.29 AU near inferior conjunction, half a minute.
  constexpr double kArcsec = 3.141592653589793 / 648000.0;
  EXPECT_NEAR(horizontal_parallax(1.0) / kArcsec, 8.79414287369026, 1e-9);
  EXPECT_NEAR(horizontal_parallax(0.29) / kArcsec, 30.32, 0.01);
}

// Moon at hs = 30 deg, 4 m, index error +1.5', SD 15.5', HP 57.0'.
struct MoonSight : ::testing::Test {
  ObservationConditions c{4.0, 1.5, 1, 1020.0, 25.0};
  double sd = astro::degree_to_radian(15.5 / 60.0);
  double hp = astro::degree_to_radian(57.0 / 60.0);
};

TEST_F(MoonSight, ThreeOrders) {
  const CorrectedAltitude lower = correct_altitude(30.0, c, astro::kListMoon, -1, sd, hp, CorrectionOrder::line_of_position);
  EXPECT_NEAR(lower.ho, 31.020309430632345, 1e-11);
  EXPECT_NEAR(correct_altitude(30.0, c, astro::kListMoon, -1, sd, hp, CorrectionOrder::fix).ho, 31.02053315025569, 1e-11);
  EXPECT_NEAR(correct_altitude(30.0, c, astro::kListMoon, 1, sd, hp, CorrectionOrder::line_of_position).ho,
              30.503681824957194, 1e-11);
  EXPECT_NEAR(correct_altitude(30.0, c, astro::kListMoon, 1, sd, hp, CorrectionOrder::fix).ho, 30.503902042266112, 1e-11);
  EXPECT_NEAR(correct_altitude(30.0, c, astro::kListMoon, 5, sd, hp, CorrectionOrder::fix).ho, 30.762226103006608, 1e-11);
  EXPECT_NEAR(correct_altitude_simple(30.0, c), 29.93899669931413, 1e-11);

  // The refraction belongs to the observed limb in both orders, and the
  // Moon's semidiameter grows with its altitude.
  EXPECT_NEAR(lower.corrections.minus_refraction, -1.6087980411521927, 1e-11);
  EXPECT_NEAR(lower.corrections.semidiameter, 15.628256946179658, 1e-10);
  EXPECT_NEAR(lower.corrections.parallax, 49.25050693291304, 1e-10);

  // A star: no semidiameter, no parallax; both orders agree.
  const CorrectedAltitude star = correct_altitude(30.0, c, 7, -1, 0.0, 0.0, CorrectionOrder::line_of_position);
  EXPECT_DOUBLE_EQ(star.ho, correct_altitude_simple(30.0, c));
  EXPECT_DOUBLE_EQ(star.corrections.semidiameter, 0.0);
  EXPECT_DOUBLE_EQ(star.corrections.parallax, 0.0);
  // The Sun takes its semidiameter whatever the limb answer, unaugmented.
  const CorrectedAltitude sun = correct_altitude(30.0, c, 100, 1, sd, 0.0, CorrectionOrder::fix);
  EXPECT_NEAR(sun.ho, correct_altitude_simple(30.0, c) + 15.5 / 60.0, 1e-12);
}

std::string report_lines(const CorrectedAltitude& k) {
  testing::ScratchDirectory dir;
  io::connect_results();
  zembrel::utilities::print_altitude_corrections(io::kResults, k.corrections, k.ho);
  io::close_results();
  std::ostringstream s;
  s << std::ifstream("Resultados.txt").rdbuf();
  return s.str();
}

TEST_F(MoonSight, ReportLines) {
  // Upper limb: the semidiameter is taken away but shown positive.
  EXPECT_EQ(report_lines(correct_altitude(30.0, c, astro::kListMoon, 1, sd, hp, CorrectionOrder::line_of_position)),
            " Correcciones a la altura: Ei,Dp,SD,R,P (min):   1.5000   -3.5514   15.6283   -1.6088   49.5094\n"
            " Altura verdadera, distancia cenital (gg.mmss):       30.3013255         59.2946745\n");
  // Limb 5: nothing applied, still shown.
  EXPECT_EQ(report_lines(correct_altitude(30.0, c, astro::kListMoon, 5, sd, hp, CorrectionOrder::line_of_position)),
            " Correcciones a la altura: Ei,Dp,SD,R,P (min):   1.5000   -3.5514   15.6283   -1.6088   49.3804\n"
            " Altura verdadera, distancia cenital (gg.mmss):       30.4543215         59.1416785\n");
}

// A large ship's bridge (35 m) and a star 4 degrees up: the dip and the
// refraction pass 10' and each takes a field one wider instead of printing
// asterisks (values from the dip and refraction formulas in Python).
TEST(Corrections, WideValuesKeepTheirFigures) {
  const ObservationConditions bridge{35.0, -1.0, 0, 1010.0, 10.0};
  EXPECT_EQ(report_lines(correct_altitude(4.0, bridge, 7, -1, 0.0, 0.0, CorrectionOrder::line_of_position)),
            " Correcciones a la altura: Ei,Dp,SD,R,P (min):  -1.0000   -10.5052    0.0000   -12.0951    0.0000\n"
            " Altura verdadera, distancia cenital (gg.mmss):        3.3623983         86.2336017\n");
}

TEST(Sight, MeansAcrossMidnight) {
  Sight s;
  s.count = 3;
  s.times = {23.5840, 23.5950, 0.0110};
  s.altitudes = {45.3000, 45.3100, 45.3200};
  const SightMeans m = mean_of_readings(s);
  EXPECT_NEAR(m.time, (23.0 + 58.0 / 60.0 + 40.0 / 3600.0 + 23.0 + 59.0 / 60.0 + 50.0 / 3600.0 + 24.0 +
                       1.0 / 60.0 + 10.0 / 3600.0) / 3.0,
              1e-12);
  EXPECT_NEAR(m.altitude, 45.5 + 1.0 / 60.0, 1e-12);  // means of decimal values, not of packed ones

  // First reading just after 0 h, a later one typed just before it.
  s.count = 2;
  s.times = {0.0010, 23.5950};
  EXPECT_NEAR(mean_of_readings(s).time, 0.0, 1e-12);

  // Such a mean goes into the Julian date as it stands.
  EXPECT_EQ(astro::julian_date(2024, 3, 20, 24.5), astro::julian_date(2024, 3, 21, 0.5));

  // Printing and dating of such an instant.
  EXPECT_NEAR(hours_of_day(24.5), 0.5, 1e-15);
  EXPECT_NEAR(hours_of_day(-0.25), 23.75, 1e-15);
  const DayAndTime next = day_and_time(31, 12, 2024, 24.5);
  EXPECT_EQ(next.day, 1);
  EXPECT_EQ(next.month, 1);
  EXPECT_EQ(next.year, 2025);
  const DayAndTime before = day_and_time(1, 3, 2024, -0.25);
  EXPECT_EQ(before.day, 29);
  EXPECT_EQ(before.month, 2);
  EXPECT_NEAR(before.hours, 23.75, 1e-12);
}

}  // namespace
}  // namespace zembrel::reduction
