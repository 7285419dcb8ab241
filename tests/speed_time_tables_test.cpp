// The time tables are read by a quick path when their records are plain
// numbers separated by blanks, one to a line, and by the list-directed
// reader otherwise.  The same table written both ways must give the same
// instants to the bit, and so must the supplied tables.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <cstdint>
#include <random>
#include <vector>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../tests/fixtures/scratch_dir.h"
#include "astro/time_scales.h"
#include "io/file_cache.h"
#include "io/format.h"
#include "io/plain_records.h"
#include "io/record_io.h"

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

// Runs `check` with each character classification of the quick reader
// that this processor has (SSE2 always; AVX2 and AVX-512 where present),
// and leaves the one chosen at start in use.
template <class Check>
void with_each_scan(Check check) {
  using zembrel::io::PlainScan;
  const PlainScan chosen = zembrel::io::plain_scan();
  for (PlainScan scan : {PlainScan::sse2, PlainScan::avx2, PlainScan::avx512}) {
    if (!zembrel::io::set_plain_scan(scan)) continue;
    SCOPED_TRACE(static_cast<int>(scan));
    check();
  }
  zembrel::io::set_plain_scan(chosen);
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

// Files of seeded random lines of seven to nine numbers (three integers,
// the third real kept) in many forms, with blanks of every kind, empty lines
// and tokens across the quick reader's 64-character chunks.  The quick
// reader takes every file of plain numbers and gives the records of the
// list-directed reader to the bit; a file with one value in another form
// anywhere (one the list-directed reader stops at, or one it reads
// otherwise: an exponent, a separator, a repeat count), or with a line of
// fewer numbers, it leaves to the list-directed reader.  With each
// classification the processor has.
TEST(SpeedTimeTables, QuickReaderAgreesWithTheListDirectedOne) {
  with_each_scan([] {
    ScratchDirectory dir;
    const char* plain[] = {"7", "-12", "+3", "0", "-0", "2020", "0.5", "-.25", "+7.", "10.000", "-0.0032633",
                           "123456789", "1234567890.12345", "0.1234567890123456789"};
    const char* other[] = {"1.2.3", "--1", "5-", ".", "-",  "+.",  "1e5", "3,",  "x",
                           "1/2",   "2*3", "1..2", ".5.", "-+1", "5-3", "1+2.", "7\x01", "4\xC3\xA1"};
    std::mt19937 rng(20270128);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* blanks[] = {" ", "  ", "\t", " \t ", "                    "};
    const zembrel::io::PlainLayout layout{1, 7, 3, 2};
    int taken = 0;
    for (int file = 0; file < 600; ++file) {
      // One file in three all plain; then one with a value in another form, one
      // with a short line.
      const int kind = file % 3;
      const int odd_line = pick(12), odd_token = pick(7);
      std::string text = "header line\n";
      for (int line = 0; line < 12; ++line) {
        const int tokens = kind == 2 && line == odd_line ? 1 + pick(6) : 7 + pick(3);
        if (pick(6) == 0) text += std::string(pick(70), ' ');
        if (pick(10) == 0) text += "\n";
        for (int t = 0; t < tokens; ++t) {
          const bool odd = kind == 1 && line == odd_line && t == odd_token;
          text += std::string(odd ? other[pick(18)] : t < 3 ? std::to_string(pick(2000) - 1000) : plain[pick(14)]);
          text += blanks[pick(5)];
        }
        text += pick(4) == 0 ? "\r\n" : "\n";
      }
      const bool all_plain = kind == 0;
      ScratchDirectory::write("table", text);

      // The list-directed reading, as time_scales does it.
      std::istringstream in(text);
      zembrel::io::ListReader list(in);
      list.skip_record();
      std::vector<zembrel::io::PlainRecord> listed;
      bool listed_ok = true;
      for (;;) {
        zembrel::io::PlainRecord r;
        double reals[4];
        const zembrel::io::ReadResult res = list.read({&r.integer[0], &r.integer[1], &r.integer[2], &reals[0],
                                                       &reals[1], &reals[2], &reals[3]});
        if (res.status == zembrel::io::ReadStatus::end_of_file && res.item <= 1) break;
        if (res.status != zembrel::io::ReadStatus::ok) {
          listed_ok = false;
          break;
        }
        r.real = reals[2];
        listed.push_back(r);
      }

      zembrel::io::PlainReader quick("table", layout, 1000);
      std::vector<zembrel::io::PlainRecord> read;
      for (zembrel::io::PlainRecord r; quick.next(r);) read.push_back(r);
      EXPECT_EQ(quick.taken(), all_plain) << text;
      if (!quick.taken()) continue;
      ++taken;
      ASSERT_TRUE(listed_ok) << text;
      ASSERT_EQ(read.size(), listed.size()) << text;
      for (std::size_t k = 0; k < read.size(); ++k) {
        for (int i = 0; i < 3; ++i) EXPECT_EQ(read[k].integer[i], listed[k].integer[i]) << text;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read[k].real), std::bit_cast<std::uint64_t>(listed[k].real)) << text;
      }
    }
    EXPECT_EQ(taken, 200);

    // Every value form across the end of a 64-character chunk of the records
    // (the chunks start at the first record), at each of its characters.
    auto table_with = [](const std::string& value, std::size_t cut) {
      std::string line = "1 2 3 4 5 6 7";
      const std::size_t at = 128 - cut;  // the value starts before a chunk end
      std::string records = line + "\n" + line + "\n";
      records += std::string(at - records.size(), ' ') + value + " 1 2 3 4 5 6\n" + line + "\n";
      return "header\n" + records;
    };
    for (const char* value : other) {
      for (std::size_t cut = 1; cut <= std::strlen(value); ++cut) {
        // A value read and not kept, and the value kept.
        ScratchDirectory::write("table", table_with(std::string("5 6 7 8 ") + value, cut + 8));
        zembrel::io::PlainReader passed("table", layout, 1000);
        for (zembrel::io::PlainRecord r; passed.next(r);) {
        }
        EXPECT_FALSE(passed.taken()) << value << " cut after " << cut;
        ScratchDirectory::write("table", table_with(std::string("5 6 7 8 9 ") + value, cut + 10));
        zembrel::io::PlainReader quick("table", layout, 1000);
        for (zembrel::io::PlainRecord r; quick.next(r);) {
        }
        EXPECT_FALSE(quick.taken()) << value << " cut after " << cut;
      }
    }
    for (const char* value : plain) {
      for (std::size_t cut = 1; cut <= std::strlen(value); ++cut) {
        ScratchDirectory::write("table", table_with(std::string("5 6 7 8 9 ") + value, cut + 10));
        zembrel::io::PlainReader quick("table", layout, 1000);
        std::vector<zembrel::io::PlainRecord> read;
        for (zembrel::io::PlainRecord r; quick.next(r);) read.push_back(r);
        ASSERT_TRUE(quick.taken()) << value << " cut after " << cut;
        ASSERT_EQ(read.size(), 4u);
        double v = 0.0;
        zembrel::io::format::parse_list_real(value, v);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read[2].real), std::bit_cast<std::uint64_t>(v)) << value;
      }
    }
  });
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
  std::string quick;
  with_each_scan([&] {
    const std::string read = all_instants();
    if (quick.empty()) quick = read;
    EXPECT_EQ(read, quick);
  });
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
