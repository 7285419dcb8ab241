// Data files are checked once per keyboard answer once the dialogue has
// begun: a file replaced during a calculation is taken up at the first use
// after the next answer, whether it was renamed over the old one or
// rewritten in place (even within the same clock tick, with the same size).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../tests/fixtures/ephem/synthetic_ephemeris.h"
#include "../tests/fixtures/stops.h"
#include "astro/precession_nutation.h"
#include "ephem/apparent_planets.h"
#include "ephem/jpl_file.h"
#include "ephem/stars.h"
#include "io/file_cache.h"
#include "reduction/twilight.h"

namespace {

using zembrel::ephem::coord;
using zembrel::astro::kAuKm;
using zembrel::testing::ScratchDirectory;
using zembrel::testing::StopsWith;
using zembrel::testing::SyntheticFile;

SyntheticFile sun_at(double x) {
  SyntheticFile file;
  file.body_count = 11;
  file.bodies[11] = {2, 1.0};
  file.coef = [x](int, int, int, int, int j) { return j == 1 ? x * kAuKm : 0.0; };
  return file;
}

TEST(CacheStamps, EphemerisReplacedDuringAnAnswerIsReadAfterTheNext) {
  ScratchDirectory dir;
  zembrel::io::note_keyboard_answer();
  const SyntheticFile first = sun_at(7.0);
  first.write(zembrel::ephem::kEphemerisFile);
  EXPECT_EQ(coord(first.start + 1.0, 11).state[0], 7.0);

  // Renamed over the old file during the calculation.
  sun_at(9.0).write("replacement");
  std::filesystem::rename("replacement", zembrel::ephem::kEphemerisFile);
  if (zembrel::io::caches_enabled()) {
    EXPECT_EQ(coord(first.start + 1.0, 11).state[0], 7.0);
  }
  zembrel::io::note_keyboard_answer();
  EXPECT_EQ(coord(first.start + 1.0, 11).state[0], 9.0);

  // Rewritten in place at once: same inode and size, and possibly the same
  // modification time; still read afresh after the next answer.
  sun_at(5.0).write(zembrel::ephem::kEphemerisFile);
  zembrel::io::note_keyboard_answer();
  EXPECT_EQ(coord(first.start + 1.0, 11).state[0], 5.0);
  sun_at(4.0).write(zembrel::ephem::kEphemerisFile);
  zembrel::io::note_keyboard_answer();
  EXPECT_EQ(coord(first.start + 1.0, 11).state[0], 4.0);

  // Removed: the next answer's calculation stops at the missing file.
  std::filesystem::remove(zembrel::ephem::kEphemerisFile);
  zembrel::io::note_keyboard_answer();
  EXPECT_TRUE(StopsWith([&] { coord(first.start + 1.0, 11); }, "JPL_1550-2650_430t"));
}

TEST(CacheStamps, NutationSeriesRewrittenInPlaceIsReadAfterTheNextAnswer) {
  ScratchDirectory dir;
  zembrel::io::note_keyboard_answer();
  ScratchDirectory::copy_fixture("nutation_IAU1980.dat");
  const double jd = 2455197.5;
  const double dpsi = zembrel::astro::nutation_parameters(jd).dpsi;
  EXPECT_EQ(zembrel::astro::nutation_parameters(jd).dpsi, dpsi);

  // The same series with its first line's sine coefficient doubled, written
  // in place (same size) straight away.
  std::string text;
  {
    std::ifstream in("nutation_IAU1980.dat");
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::string old_field = text.substr(23, 10);
  ASSERT_EQ(old_field, "  -1719960") << "layout of the fixture";
  ScratchDirectory::write("nutation_IAU1980.dat", text.replace(23, 10, "  -3439920"));
  zembrel::io::note_keyboard_answer();
  const double changed = zembrel::astro::nutation_parameters(jd).dpsi;
  EXPECT_NE(changed, dpsi);
  EXPECT_GT(std::abs(changed - dpsi), 1e-5);  // the largest term counts twice
}

// Day searches asked again give the result kept, until a data file they
// read changes: then they are searched afresh, and the series put back gives
// the first results again.
TEST(CacheStamps, DaySearchesAskedAgainFollowTheirDataFiles) {
  ScratchDirectory dir;
  if (!dir.link_data({"JPL_1550-2650_430t"})) GTEST_SKIP() << "no ephemeris file";
  zembrel::io::note_keyboard_answer();
  ScratchDirectory::copy_fixture("nutation_IAU1980.dat");
  std::string series;
  {
    std::ifstream in("nutation_IAU1980.dat");
    series.assign(std::istreambuf_iterator<char>(in), {});
  }
  const zembrel::ephem::CatalogueStar sirius{1.7677943, -0.2917512, -5.5, -2659.0, -1223.1, 379.2};
  // Times of the Moon's rise and first transit, Sirius's rise and the
  // morning nautical twilight.
  auto searched = [&] {
    const auto moon = zembrel::ephem::planetary_efem3x(2024, 3, 20, 10, -3.7, 40.4);
    const auto star = zembrel::ephem::star_efem3x(2024, 3, 20, -3.7, 40.4, sirius);
    const auto twilight = zembrel::reduction::crepusculos(2024, 3, 20, -3.7, 40.4);
    return std::array<double, 4>{moon.rise_time, moon.transits[0][0], star.rise_time, twilight.nautical[0]};
  };
  const auto first = searched();
  EXPECT_EQ(searched(), first);

  ScratchDirectory::write("nutation_IAU1980.dat", std::string(series).replace(23, 10, "  -3439920"));
  zembrel::io::note_keyboard_answer();
  const auto changed = searched();
  for (int k = 0; k < 4; ++k) EXPECT_NE(changed[k], first[k]) << k;

  ScratchDirectory::write("nutation_IAU1980.dat", series);
  zembrel::io::note_keyboard_answer();
  EXPECT_EQ(searched(), first);
}

}  // namespace
