// UT1, TT and TDB from the two time-scale tables.
#include "astro/time_scales.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "astro/calendar.h"
#include "fixtures/scratch_dir.h"
#include "fixtures/stops.h"
#include "utilities/frame.h"

namespace zembrel::astro {
namespace {

// The time scales of an instant as a utility takes them: with the warnings
// of the tables it falls outside, on the screen.
TimeScales reported(double jd_utc) {
  const TimeScales s = time_scales(jd_utc);
  zembrel::utilities::write_time_scale_warnings(s);
  return s;
}

using zembrel::testing::ScratchDirectory;
using zembrel::testing::StopsWith;

// A "delta_t.iers" with 12 header lines and daily UT1 - UTC entries (the 7th
// value of each record).
std::string iers_file(std::initializer_list<std::pair<int, double>> days_of_jan_2020) {
  std::string s;
  for (int i = 0; i < 12; ++i) s += "header line " + std::to_string(i + 1) + " 1 2 3\n";
  for (auto [day, dut1] : days_of_jan_2020) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "2020   1  %2d  %5d  0.076 0.282 %.7f 0.0003 0.1 0.2 0.01 0.01 0.00001 "
                  "0.00002 0.01 0.01\n",
                  day, 58849 + day, dut1);
    s += line;
  }
  return s;
}

// A "delta_t.dat" with one header line and Delta T as the 6th value.
std::string delta_t_file(std::initializer_list<std::pair<int, double>> days_of_jan_2020) {
  std::string s = " year month day  a  b  delta_t  c\n";
  for (auto [day, dt] : days_of_jan_2020) {
    char line[120];
    std::snprintf(line, sizeof line, "2020 1 %d 1.5 2.5 %.4f 9.9\n", day, dt);
    s += line;
  }
  return s;
}

double jan_2020(int day, double hours = 0.0) { return julian_date(2020, 1, day, hours); }

// Seconds between two Julian dates; a Julian date near 2.46e6 resolves about
// 4e-5 s, which bounds the tolerances below.
double seconds(double later, double earlier) { return (later - earlier) * 86400.0; }
constexpr double kJdResolutionS = 1e-4;

class TimeScalesTest : public ::testing::Test {
 protected:
  ScratchDirectory dir_;
};

TEST_F(TimeScalesTest, InterpolatesBothTablesLinearly) {
  ScratchDirectory::write("delta_t.iers", iers_file({{1, 0.1}, {2, 0.3}, {3, 0.3}}));
  ScratchDirectory::write("delta_t.dat", delta_t_file({{1, 69.0}, {2, 70.0}, {3, 70.0}}));

  // Halfway between two daily entries: the mean of their values.
  ::testing::internal::CaptureStdout();
  const TimeScales mid = reported(jan_2020(1, 12.0));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_NEAR(seconds(mid.jd_ut1, jan_2020(1, 12.0)), 0.2, kJdResolutionS);
  EXPECT_NEAR(seconds(mid.jd_tt, mid.jd_ut1), 69.5, kJdResolutionS);

  // A quarter of the way into the second interval.
  const TimeScales q = reported(jan_2020(2, 6.0));
  EXPECT_NEAR(seconds(q.jd_ut1, jan_2020(2, 6.0)), 0.3, kJdResolutionS);
  EXPECT_NEAR(seconds(q.jd_tt, q.jd_ut1), 70.0, kJdResolutionS);

  // Exactly at an interior entry: that entry's value.
  const TimeScales at = reported(jan_2020(2));
  EXPECT_NEAR(seconds(at.jd_ut1, jan_2020(2)), 0.3, kJdResolutionS);
}

TEST_F(TimeScalesTest, ConstantOffsetsGiveUt1AndTt) {
  ScratchDirectory::write("delta_t.iers", iers_file({{1, 0.3}, {5, 0.3}}));
  ScratchDirectory::write("delta_t.dat", delta_t_file({{1, 69.0}, {5, 69.0}}));
  const double utc = jan_2020(3, 7.25);
  const TimeScales s = reported(utc);
  EXPECT_NEAR(seconds(s.jd_ut1, utc), 0.3, kJdResolutionS);
  EXPECT_NEAR(seconds(s.jd_tt, s.jd_ut1), 69.0, kJdResolutionS);
}

TEST_F(TimeScalesTest, TdbMinusTtAtJ2000) {
  // Zero offsets make jd_tt = jd_utc = 2451545.0 exactly.
  ScratchDirectory::write("delta_t.iers", iers_file({{1, 0.0}}));
  ScratchDirectory::write("delta_t.dat", delta_t_file({{1, 0.0}}));
  ::testing::internal::CaptureStdout();
  const TimeScales s = reported(2451545.0);
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(s.jd_tt, 2451545.0);
  // 0.001658 sin(357.53 deg) + 0.000014 sin(715.06 deg) = -7.2659208627e-05 s,
  // J2000 + that / 86400 = 2451544.9999999991 (Python math, double precision).
  EXPECT_EQ(s.jd_tdb, 2451544.9999999991);
}

TEST_F(TimeScalesTest, WarnsAtAndAfterTheLastEntry) {
  ScratchDirectory::write("delta_t.iers", iers_file({{1, 0.25}, {2, 0.5}}));
  ScratchDirectory::write("delta_t.dat", delta_t_file({{1, 68.0}, {2, 69.0}}));

  // Just before the last entry's 0 h: interpolation, no warning.
  ::testing::internal::CaptureStdout();
  reported(jan_2020(2) - 1e-6);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

  // Exactly at the last entry's 0 h: the last values and both warnings (an
  // empty line, then the text and the value as a list-directed double).
  const std::string expected =
      "\n ATENCION: utilizando delta_t.iers mass alla de su    rango !! delta_t = "
      "  0.50000000000000000     \n"
      "\n ATENCION: utilizando delta_t.dat m\xc3\xa1s all\xc3\xa1 de su    rango!! delta_t = "
      "   69.000000000000000     \n";
  ::testing::internal::CaptureStdout();
  const TimeScales at = reported(jan_2020(2));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), expected);
  EXPECT_NEAR(seconds(at.jd_ut1, jan_2020(2)), 0.5, kJdResolutionS);
  EXPECT_NEAR(seconds(at.jd_tt, at.jd_ut1), 69.0, kJdResolutionS);

  // Long after: the same values, the warnings repeated at every call.
  ::testing::internal::CaptureStdout();
  const TimeScales later = reported(jan_2020(2) + 400.0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), expected);
  EXPECT_NEAR(seconds(later.jd_tt, later.jd_ut1), 69.0, kJdResolutionS);
}

TEST_F(TimeScalesTest, BeforeTheDailySeriesUt1IsUtcAndDeltaTWarns) {
  // Before the first UT1 - UTC the time given is UT: UT1 - UTC = 0, silently.
  ScratchDirectory::write("delta_t.iers", iers_file({{10, -0.125}, {11, 0.5}}));
  ScratchDirectory::write("delta_t.dat", delta_t_file({{1, 68.0}, {11, 69.0}}));
  ::testing::internal::CaptureStdout();
  const double utc = jan_2020(5);
  const TimeScales s = reported(utc);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(s.jd_ut1, utc);
  EXPECT_NEAR(seconds(s.jd_tt, s.jd_ut1), 68.4, kJdResolutionS);

  // Before the first Delta T: its first value, with a warning.
  ScratchDirectory::write("delta_t.dat", delta_t_file({{7, 68.0}, {11, 69.0}}));
  ::testing::internal::CaptureStdout();
  const TimeScales early = reported(utc);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "\n ATENCION: utilizando delta_t.dat antes de su    rango!! delta_t = "
            "   68.000000000000000     \n");
  EXPECT_NEAR(seconds(early.jd_tt, early.jd_ut1), 68.0, kJdResolutionS);
}

TEST_F(TimeScalesTest, RecordsMayRunOverSeveralLines) {
  std::string iers;
  for (int i = 0; i < 12; ++i) iers += "h\n";
  iers += "2020 1 1 58849\n 0.1 0.2 0.4 0 0 0\n0 0 0 0 0 0\n";
  iers += "2020 1 2 58850 0.1 0.2 0.6 0 0 0 0 0 0 0 0 0\n";
  ScratchDirectory::write("delta_t.iers", iers);
  ScratchDirectory::write("delta_t.dat", "h\n2020 1 1\n1 2 50.0 3\n2020 1 2 1 2 52.0 3\n");
  const double utc = jan_2020(1, 12.0);
  const TimeScales s = reported(utc);
  EXPECT_NEAR(seconds(s.jd_ut1, utc), 0.5, kJdResolutionS);
  EXPECT_NEAR(seconds(s.jd_tt, s.jd_ut1), 51.0, kJdResolutionS);
}

TEST_F(TimeScalesTest, AFileReplacedBetweenCallsTakesEffectAtOnce) {
  ScratchDirectory::write("delta_t.iers", iers_file({{1, 0.1}, {3, 0.1}}));
  ScratchDirectory::write("delta_t.dat", delta_t_file({{1, 60.0}, {3, 60.0}}));
  const double utc = jan_2020(2);
  EXPECT_NEAR(seconds(reported(utc).jd_ut1, utc), 0.1, kJdResolutionS);

  // Rewritten in place, same size, immediately.
  ScratchDirectory::write("delta_t.iers", iers_file({{1, 0.2}, {3, 0.2}}));
  ScratchDirectory::write("delta_t.dat", delta_t_file({{1, 61.0}, {3, 61.0}}));
  TimeScales s = reported(utc);
  EXPECT_NEAR(seconds(s.jd_ut1, utc), 0.2, kJdResolutionS);
  EXPECT_NEAR(seconds(s.jd_tt, s.jd_ut1), 61.0, kJdResolutionS);

  // Replaced by another file, with an old modification time.
  ScratchDirectory::write("new.dat", delta_t_file({{1, 62.0}, {3, 62.0}}));
  std::filesystem::last_write_time(
      "new.dat", std::filesystem::file_time_type::clock::now() - std::chrono::hours(48));
  std::filesystem::rename("new.dat", "delta_t.dat");
  s = reported(utc);
  EXPECT_NEAR(seconds(s.jd_tt, s.jd_ut1), 62.0, kJdResolutionS);

  // That old file, read twice (the second time from the cache), then
  // rewritten in place with the same size.
  reported(utc);
  reported(utc);
  ScratchDirectory::write("delta_t.dat", delta_t_file({{1, 63.0}, {3, 63.0}}));
  s = reported(utc);
  EXPECT_NEAR(seconds(s.jd_tt, s.jd_ut1), 63.0, kJdResolutionS);
}

TEST_F(TimeScalesTest, ADamagedEntryStopsNamingTheFileInsteadOfReadingAsZero) {
  ScratchDirectory::write("delta_t.iers", iers_file({{1, 0.0}, {9, 0.0}}));
  ScratchDirectory::write("delta_t.dat",
                          "h\n2020 1 1 0 0 60.0 0\n2020 1 2 0 0 bad 0\n2020 1 3 0 0 62.0 0\n");
  EXPECT_TRUE(StopsWith([] { reported(jan_2020(2, 12.0)); },
                        "delta_t\\.dat, entry 2: Bad real number in item 6"));
  // A file cut in the middle of its last entry.
  ScratchDirectory::write("delta_t.dat", "h\n2020 1 1 0 0 60.0 0\n2020 1 2 0");
  EXPECT_TRUE(StopsWith([] { reported(jan_2020(2, 12.0)); }, "delta_t\\.dat, entry 2: End of file"));
}

TEST_F(TimeScalesTest, FullTableIsAcceptedAndALargerOneStops) {
  ScratchDirectory::write("delta_t.iers", iers_file({{1, 0.0}, {2, 0.0}}));
  std::string dat = "h\n";
  dat.reserve(kMaxTableEntries * 24);
  for (int i = 0; i < kMaxTableEntries; ++i) dat += "2020 1 1 0 0 64.0 0\n";
  ScratchDirectory::write("delta_t.dat", dat);
  ::testing::internal::CaptureStdout();
  EXPECT_NEAR(seconds(reported(jan_2020(1, 1.0)).jd_tt, jan_2020(1, 1.0)), 64.0, kJdResolutionS);
  ::testing::internal::GetCapturedStdout();

  ScratchDirectory::write("delta_t.dat", dat + "2020 1 1 0 0 64.0 0\n");
  EXPECT_TRUE(StopsWith([] { reported(jan_2020(1, 1.0)); }, "delta_t\\.dat.*100000"));
}

TEST_F(TimeScalesTest, MissingOrEmptyTablesStopNamingTheFile) {
  ScratchDirectory::write("delta_t.dat", delta_t_file({{1, 60.0}, {3, 60.0}}));
  EXPECT_TRUE(StopsWith([] { reported(jan_2020(2)); }, "delta_t\\.iers"));

  ScratchDirectory::write("delta_t.iers", iers_file({{1, 0.1}, {3, 0.1}}));
  std::filesystem::remove("delta_t.dat");
  EXPECT_TRUE(StopsWith([] { reported(jan_2020(2)); }, "delta_t\\.dat"));

  ScratchDirectory::write("delta_t.dat", "only a header\n");
  EXPECT_TRUE(StopsWith([] { reported(jan_2020(2)); }, "delta_t\\.dat"));
}

TEST_F(TimeScalesTest, SuppliedTablesGiveThePublishedOffsets) {
  for (const char* name : {"delta_t.iers", "delta_t.dat"}) {
    const std::string data = std::string(ZEMBREL_DATA_DIR) + "/" + name;
    if (!std::filesystem::exists(data)) GTEST_SKIP() << "no " << data;
    std::filesystem::copy_file(data, name);
  }
  // UT1 - UTC at 0 h UTC from IERS 20 C04 (eopc04.1962-now, Debian
  // python3-astropy-iers-data 0.2026.9.21.0.56.25-1).
  const struct { int y, m, d; double dut1; } c04[] = {
      {2020, 1, 1, -0.1771665}, {2024, 6, 1, -0.0204347}, {2026, 8, 1, 0.0127081}};
  ::testing::internal::CaptureStdout();
  for (const auto& r : c04) {
    const double utc = julian_date(r.y, r.m, r.d, 0.0);
    EXPECT_NEAR(seconds(reported(utc).jd_ut1, utc), r.dut1, kJdResolutionS) << r.y << "-" << r.m;
  }
  // TT - UTC = 32.184 s + 37 leap seconds on every day, at any hour: the
  // tables give it to 1e-7 s, and Julian dates near 2.46e6 lie 2^-31 day
  // (40 microseconds) apart.
  const double jd_spacing_s = 86400.0 / 2147483648.0;
  for (const auto& [y, m, d] : {std::array{2017, 1, 2}, {2024, 1, 15}, {2026, 12, 8}}) {
    for (double hours : {0.0, 9.75, 15.5}) {
      const double utc = julian_date(y, m, d, hours);
      EXPECT_NEAR(seconds(reported(utc).jd_tt, utc), 69.184, 1e-5 + jd_spacing_s)
          << y << "-" << m << "-" << d << " " << hours << " h";
    }
  }
  // Today is inside the tables (Bulletin A predictions): no warning.
  reported(julian_date(2026, 12, 8, 15.5));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

  // After the last prediction (2027-09-18): the warning for delta_t.iers only.
  ::testing::internal::CaptureStdout();
  reported(julian_date(2027, 9, 19, 0.0));
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("\n ATENCION: utilizando delta_t.iers mass alla de su    rango !!", 0), 0u) << out;
  EXPECT_EQ(out.find("delta_t.dat"), std::string::npos) << out;
}

}  // namespace
}  // namespace zembrel::astro
