// The time tables are read by a quick path when their records are plain
// numbers separated by blanks, one to a line, and by the list-directed
// reader otherwise.  The same table written both ways must give the same
// instants to the bit, and so must the supplied tables.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../tests/fixtures/scratch_dir.h"
#include "astro/time_scales.h"
#include "io/file_cache.h"

namespace {

using zembrel::astro::time_scales;
using zembrel::testing::ScratchDirectory;

// UT1 - UTC for 2 to 30 January 2020 and Delta T for 2019 to 2021, each
// entry's values joined by `sep`; `wrap` breaks every third entry over two
// lines; `tail` follows the values of each entry on its last line.
void write_tables(const std::string& sep, bool wrap, const std::string& tail) {
  std::string iers = "h\nh\nh\nh\nh\nh\nh\nh\nh\nh\nh\nh\n";
  for (int d = 2; d <= 30; ++d) {
    const std::string v[] = {"2020", "1", std::to_string(d), "58850", "0.1", "0.2",
                             std::to_string(-0.1771 + 0.00037 * d * d / 7.0), "0.001",
                             "1e-3", "-.5", "+2.", "0", "0", "0", "0", "7"};
    for (int k = 0; k < 16; ++k) {
      iers += v[k];
      iers += (wrap && d % 3 == 0 && k == 7) ? "\n" : (k < 15 ? sep : tail + "\n");
    }
  }
  std::string dat = "year month day ...\n";
  for (int y = 2019; y <= 2021; ++y) {
    const std::string v[] = {std::to_string(y), "1", "1", "0.0", "2019.5",
                             std::to_string(69.1 + 0.123 * (y - 2019)), "1.0"};
    for (int k = 0; k < 7; ++k) {
      dat += v[k];
      dat += (wrap && k == 2) ? "\r\n" : (k < 6 ? sep : tail + "\r\n");
    }
  }
  ScratchDirectory::write("delta_t.iers", iers);
  ScratchDirectory::write("delta_t.dat", dat);
}

std::string instants() {
  std::string bits;
  for (int i = 0; i < 200; ++i) {
    const zembrel::astro::TimeScales s = time_scales(2458850.5 + i * 0.137);
    for (double v : {s.ut1_utc.seconds, s.delta_t.seconds, s.jd_ut1, s.jd_tt, s.jd_tdb}) bits += std::to_string(std::bit_cast<std::uint64_t>(v)) + " ";
  }
  return bits;
}

TEST(SpeedTimeTables, QuickAndListDirectedReadingsAgree) {
  ScratchDirectory dir;
  write_tables(" ", false, "");
  const std::string plain = instants();
  write_tables("  \t", false, "   9 9 extra");  // still plain: tabs, surplus values
  EXPECT_EQ(instants(), plain);
  write_tables(" ", true, "");  // entries over two lines: the list-directed reader
  EXPECT_EQ(instants(), plain);
  write_tables(", ", false, "");  // commas: the list-directed reader
  EXPECT_EQ(instants(), plain);
  write_tables(" ", true, " / comment");  // a slash after the values: dropped with the line
  EXPECT_EQ(instants(), plain);
}

// Every entry of the supplied tables, read quickly and, with a comma after
// the first entry's values, by the list-directed reader: every day from 1962
// to the end of the tables at 0 h, where each value is taken as read, and
// yearly before.
TEST(SpeedTimeTables, SuppliedTablesReadAlikeBothWays) {
  ScratchDirectory dir;
  for (const char* name : {"delta_t.iers", "delta_t.dat"}) {
    const std::string data = std::string(ZEMBREL_DATA_DIR) + "/" + name;
    if (!std::filesystem::exists(data)) GTEST_SKIP() << "no " << data;
    std::filesystem::copy_file(data, name);
  }
  auto all_instants = [] {
    zembrel::io::note_keyboard_answer();  // the files are looked at once, as in a calculation
    std::string bits;
    for (double jd = 2287184.5; jd < 2462000.0; jd += jd < 2437665.5 ? 365.25 : 1.0) {
      const zembrel::astro::TimeScales s = time_scales(jd);
      for (double v : {s.ut1_utc.seconds, s.delta_t.seconds, s.jd_ut1, s.jd_tt}) {
        bits += std::to_string(std::bit_cast<std::uint64_t>(v)) + " ";
      }
    }
    return bits;
  };
  const std::string quick = all_instants();
  for (const auto& [name, header] : {std::pair{"delta_t.iers", 12}, std::pair{"delta_t.dat", 1}}) {
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    std::size_t at = 0;
    for (int i = 0; i <= header; ++i) at = s.find('\n', at) + 1;
    s.insert(at - 1, ",");
    ScratchDirectory::write(name, s);
  }
  EXPECT_EQ(all_instants(), quick);
}

}  // namespace
