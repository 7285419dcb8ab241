// Compares the output engine with gfortran: a Fortran program holding one
// WRITE statement per case is generated, compiled and run at test time, and
// every record it prints must equal our rendering of the same items.  Skipped
// when gfortran is not installed.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "io/format.h"
#include "io/record_io.h"

namespace io = zembrel::io;
namespace fs = std::filesystem;

namespace {

struct Case {
  std::string format;  // empty: list-directed
  std::vector<io::Item> items;
};

// The layouts the program writes, exactly as its sources spell them.
const char* const kProgramFormats[] = {
    "(1x,a15,2x,f5.1)", "(1x,a15,6x,f6.3,23x,f6.2)", "(1x,a50,i3)", "(1x,f10.4,1x,f10.4)", "(1x,f10.6,3x,f6.2)",
    "(1x,f9.2,1x,a9,1x,f6.2)", "(2x,2(f7.4,4x))",
    "(4x,i2,3x,i2,3x,i4,3x,f9.4,2x,f9.4,2x,f9.2,2x,f3.0)",
    "(4x,i2,3x,i2,3x,i4,3x,f9.4,3x,f9.4,3x,f9.4,3x,f9.2,3x, f3.0)",
    "(4x,i2,3x,i2,3x,i4,3x,f9.4,3x,f9.4,3x,f9.4,3x,f9.2,3x,f3 .0)", "(5i3,8x,2f10.1,1x,f9.1,f10.1)", "(a10,a14)",
    "(a14,1x,f8.3)", "(a18,1x,f7.2)", "(a18,1x,i3,1x,a15)", "(a20,1x,2(f11.8,1x))", "(a20,1x,f10.6)",
    "(a20,1x,f10.7)", "(a20,1x,f11.6)", "(a20,1x,f11.7)", "(a20,1x,f15.7)", "(a20,f11.7)", "(a21,1x,f12.6)",
    "(a21,1x,i2,1x,i2,1x,i4)", "(a23,1x,f15.7)", "(a23,f11.7)", "(a24,1x,f14.6)", "(a25,1x,4(f20.8,1x))",
    "(a25,1x,f6.2)", "(a26,1x,f15.7)", "(a27,1x,f11.7)", "(a27,1x,f15.7)", "(a27,1x,f7.2)", "(a28,1x,f7.4,2x,f7.4)",
    "(a29,1x,f7.4,1x,a20)", "(a30,1x,f12.6)", "(a30,1x,f15.7)", "(a30,f11.7)", "(a31,1x,f12.6)",
    "(a31,2(f10.4,2x))", "(a31,a15)", "(a32,1x,f6.2)", "(a34,2(f10.4,2x))", "(a36,1x,f6.2,2x,f6.2)",
    "(a36,f9.4,2x,f4.0)", "(a37,1x,f6.2,2x,f10.4)", "(a37,1x,i2,1x,i2,1x,i4,1x,f7.4)", "(a38,1x,a15)",
    "(a39,1x,a15)", "(a39,1x,f7.4,1x,a20)", "(a39,1x,i2,1x,i2,1x,i4)", "(a40,2(f10.4,2x))", "(a40,2x,f7.2)",
    "(a41,2(f10.4,2x))", "(a42,1x,f5.2,1x,f5.1)", "(a42,1x,i2,1x,i2,1x,i4,2x,f7.4)", "(a44,1x,1x,f6.2,1x,f6.1)",
    "(a45,1x,f12.6)", "(a45,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)", "(a46,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)",
    "(a47,1x,5(f7.4,3x))", "(a47,1x,f6.2)", "(a48,1x,f15.7,2x,f15.7)", "(a48,1x,f15.7,2x,f17.7)", "(a48,1x,f6.2)",
    "(a49,1x,f12.6)", "(a49,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)", "(a49,1x,i2,1x,i2,1x,i4,2x,f8.4,2x,f8.4)",
    "(a49,1x,i2,1x,i2,1x,i4,3x,f7.4,3x,f7.4)", "(a50,1x,f5.0,1x,f6.1)", "(a50,1x,f7.2,1x,f6.1)",
    "(a50,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)", "(a50,1x,i2,1x,i2,1x,i4,2x,f8.4,2x,f8.4)",
    "(a6,1x,i2,1x,i2,1x,i4,1x,f7.4,1x,a9)", "(a60,1x,i2,1x,i2,1x,i4,1x,f7.4,1x,f7.4,1x,f4.0)",
    "(a72,1x,i2,1x,i2,1x,i4,2x,f8.4,2x,f8.4,2x,f6.2)", "(a73,1x,f6.1,1x,f6.2,1x,f6.1)",
    "(a74,1x,i2,1x,i2,1x,i4,1x,f8.4,1x,f8.4)", "(a8,a14)",
    "(i2,1x,a15,2x,D15.9,4x,D14.8,5x,D10.2,9x,D10.2,4x,D8.2,            3x,D9.2)",
    "(i3,1x,a12,1x,i3,1x,a10,1x,i3,1x,a14,1x,i3,1x,a14,                1x,i3,1x,a10,2x,i3,1x,a14,1x,i3,1x,a7)",
    "(i3,1x,a17)",
};

// Narrow fields, rounding and layouts beyond the program's own.
const char* const kExtraFormats[] = {
    "(f1.0)", "(f2.0)", "(f3.0)", "(f4.0)", "(f3.1)", "(f5.2)", "(f6.1)", "(f6.4)", "(f7.4)", "(f10.4)",
    "(f20.8)", "(f30.2)", "(f40.30)", "(e10.3)", "(E12.5)", "(D15.9)", "(D8.2)", "(i1)", "(i2)", "(i11)",
    "(a)", "(a1)", "(a,\"lit\",2x)", "(a,3x,/,i3)", "(i2,2(i2,3(i1)),i3)", "(1x,a3,4x,i4)", "( a 4 , 1 x , i 3 )",
    "(A4,1X,I3)", "(2x)", "(a3,2(i2,1x))",
};

std::vector<double> double_pool() {
  std::vector<double> v = {
      0.0, -0.0, 0.5, -0.5, 0.125, 0.375, 0.0625, -0.0625, 2.5, 3.5, -2.5, 1.5, 0.05, 0.25, 0.35,
      1e-5, -1e-5, 1e-4, -1e-4, 0.00005, -0.00005, 0.99995, -0.99995, 1.005, 2.675, 9.99995, 99.995,
      99.99995, 999.99995, -999.99995, 9999.99995, 99999.5, 999999.95, 359.99996, 12.34567, -171996.0,
      123456.0, 1234567.5, 12345678.9, 1e6, 1e7, 1e9, 1e16, 1e17, 99999999999999984.0, 1e22, 1e23,
      0.1, 0.09999999999999999167, 0.01, 1.0 / 3.0, 2.0 / 3.0, 200.0 / 3.0, std::numbers::pi, -std::numbers::pi,
      1e100, -1e-100, 1e300, 1e-300, std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
      std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min() / 4,
      std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(), 12.375, 1.0625, 3.4375, -0.03125, 0.4, -0.4, 7.0,
  };
  // Pseudo-random values over the magnitudes the program prints.
  std::uint64_t state = 0x9e3779b97f4a7c15ULL;
  auto next = [&state] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return state >> 11;
  };
  for (int k = 0; k < 60; ++k) {
    const double mantissa = 1.0 + static_cast<double>(next() % 9000000000ULL) / 1e9;
    const int exponent = static_cast<int>(next() % 15) - 6;
    double x = mantissa;
    for (int e = 0; e < exponent; ++e) x *= 10.0;
    for (int e = 0; e > exponent; --e) x /= 10.0;
    v.push_back(next() % 2 ? -x : x);
  }
  return v;
}

const std::vector<int> kIntPool = {0,     1,  -1,   9,    10,     99,     100,   -9,    -10,   999,
                                   1000,  -99, -100, 2024, 12345,  -12345, 31,    365,   1582,  -4712,
                                   std::numeric_limits<int>::max(), std::numeric_limits<int>::min()};

const std::vector<std::string> kTextPool = {
    "",          "Sol",        "Alpheratz", "Punto de estima:", "  lead", "trail  ", "x",
    "Latitud (gg.mmss) ......................:", std::string(60, '-'),
    "Hora legal de la observacion (hh.mmss) ...........:"};

std::string fortran_literal(const io::Item& item) {
  switch (item.kind()) {
    case io::Item::Kind::text: {
      std::string s = "'";
      for (char c : item.text()) s += (c == '\'') ? std::string("''") : std::string(1, c);
      return s + "'";
    }
    case io::Item::Kind::integer:
      if (item.integer() == std::numeric_limits<int>::min()) return "(-2147483647-1)";
      return std::to_string(item.integer());
    case io::Item::Kind::real: {
      const auto bits = std::bit_cast<std::int64_t>(item.real());
      if (bits == std::numeric_limits<std::int64_t>::min()) return "transfer(-9223372036854775807_8-1_8, 1d0)";
      return "transfer(" + std::to_string(bits) + "_8, 1d0)";
    }
  }
  return {};
}

// Item kinds a format consumes for `count` items, reversion included.
std::vector<io::Item::Kind> kinds_for(const std::string& fmt, std::size_t count) {
  const auto& f = io::format::parse_format(fmt);
  std::vector<io::Item::Kind> kinds;
  std::size_t k = 0;
  while (kinds.size() < count) {
    if (k == f.list.size()) {
      if (!f.data_in_reversion) break;
      k = f.reversion;
    }
    const auto& d = f.list[k++];
    using Op = io::format::Descriptor::Op;
    if (d.op == Op::a) kinds.push_back(io::Item::Kind::text);
    if (d.op == Op::i) kinds.push_back(io::Item::Kind::integer);
    if (d.op == Op::f || d.op == Op::e || d.op == Op::d) kinds.push_back(io::Item::Kind::real);
  }
  return kinds;
}

std::size_t data_count(const std::string& fmt) {
  std::size_t n = 0;
  for (const auto& d : io::format::parse_format(fmt).list) n += d.is_data() ? 1 : 0;
  return n;
}

std::vector<io::Item> items_for(const std::vector<io::Item::Kind>& kinds, std::size_t seed,
                                const std::vector<double>& reals) {
  std::vector<io::Item> items;
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    const std::size_t pick = seed * 7 + k * 3;
    switch (kinds[k]) {
      case io::Item::Kind::text: items.emplace_back(kTextPool[pick % kTextPool.size()]); break;
      case io::Item::Kind::integer: items.emplace_back(kIntPool[pick % kIntPool.size()]); break;
      case io::Item::Kind::real: items.emplace_back(reals[pick % reals.size()]); break;
    }
  }
  return items;
}

std::vector<Case> build_cases() {
  const std::vector<double> reals = double_pool();
  std::vector<Case> cases;
  auto add_format_cases = [&](const std::string& fmt, std::size_t records) {
    const std::size_t n = data_count(fmt);
    // Full records with rotating values.
    for (std::size_t r = 0; r < records; ++r) cases.push_back({fmt, items_for(kinds_for(fmt, n), r, reals)});
    // Too few items: output stops at the first unused data descriptor.
    for (std::size_t m = 0; m < n; ++m) cases.push_back({fmt, items_for(kinds_for(fmt, m), m + 1, reals)});
    // Too many: format reversion into new records.
    const std::size_t more = n + n / 2 + 2;
    if (io::format::parse_format(fmt).data_in_reversion) {
      cases.push_back({fmt, items_for(kinds_for(fmt, more), 5, reals)});
    }
  };
  for (const char* fmt : kProgramFormats) add_format_cases(fmt, 30);
  for (const char* fmt : kExtraFormats) {
    const std::size_t n = data_count(fmt);
    if (n == 1) {
      // Every pool value through single-field layouts.
      const auto kind = kinds_for(fmt, 1).front();
      const std::size_t size = kind == io::Item::Kind::real      ? reals.size()
                               : kind == io::Item::Kind::integer ? kIntPool.size()
                                                                 : kTextPool.size();
      for (std::size_t r = 0; r < size; ++r) {
        cases.push_back({fmt, {kind == io::Item::Kind::real      ? io::Item(reals[r])
                               : kind == io::Item::Kind::integer ? io::Item(kIntPool[r])
                                                                 : io::Item(kTextPool[r])}});
      }
    } else {
      add_format_cases(fmt, 10);
    }
  }
  // List-directed records.
  cases.push_back({"", {}});
  for (double x : reals) {
    cases.push_back({"", {x}});
    cases.push_back({"", {"Valor:", x, "grados"}});
  }
  for (int i : kIntPool) {
    cases.push_back({"", {i}});
    cases.push_back({"", {"n =", i, 2.5, i}});
  }
  for (const std::string& t : kTextPool) {
    cases.push_back({"", {t}});
    cases.push_back({"", {t, t, 1, t, -0.5, t}});
  }
  return cases;
}

std::string our_rendering(const Case& c) {
  return c.format.empty() ? io::list_items(c.items) : io::format_items(c.format, c.items);
}

bool have_gfortran() { return std::system("gfortran --version > /dev/null 2>&1") == 0; }

TEST(GfortranComparison, RecordsMatchGfortran) {
  if (!have_gfortran()) GTEST_SKIP() << "gfortran not installed";
  const std::vector<Case> cases = build_cases();
  const fs::path dir = fs::temp_directory_path() /
                       ("zembrel-gfortran-" + std::to_string(std::hash<std::string>{}(fs::current_path().string())) +
                        "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(dir);
  {
    std::ofstream src(dir / "cases.f90");
    src << "program cases\n  implicit none\n";
    for (std::size_t k = 0; k < cases.size(); ++k) {
      const Case& c = cases[k];
      src << "  write(*,'(a,i0)') '@@', " << k << "\n";
      std::string fmt = "*";
      if (!c.format.empty()) {
        fmt = "\"";
        for (char ch : c.format) fmt += (ch == '"') ? std::string("\"\"") : std::string(1, ch);
        fmt += "\"";
      }
      src << "  write(*," << fmt << ")";
      for (std::size_t i = 0; i < c.items.size(); ++i) src << (i == 0 ? " " : ", ") << fortran_literal(c.items[i]);
      src << "\n";
    }
    src << "end program cases\n";
  }
  const std::string build = "cd '" + dir.string() +
                            "' && gfortran -O0 -ffree-line-length-none -w -o cases cases.f90 > build.log 2>&1 && "
                            "./cases > out.txt 2> err.txt";
  ASSERT_EQ(std::system(build.c_str()), 0) << "see " << dir;

  // Split gfortran's output at the markers.
  std::vector<std::string> theirs(cases.size());
  {
    std::ifstream out(dir / "out.txt");
    std::string line;
    long current = -1;
    bool first_line = false;
    while (std::getline(out, line)) {
      if (line.rfind("@@", 0) == 0) {
        current = std::stol(line.substr(2));
        first_line = true;
        continue;
      }
      ASSERT_GE(current, 0);
      if (!first_line) theirs[static_cast<std::size_t>(current)] += '\n';
      theirs[static_cast<std::size_t>(current)] += line;
      first_line = false;
    }
  }
  int failures = 0;
  for (std::size_t k = 0; k < cases.size(); ++k) {
    const std::string ours = our_rendering(cases[k]);
    if (ours != theirs[k]) {
      ++failures;
      if (failures <= 30) {
        std::string items;
        for (const auto& item : cases[k].items) items += fortran_literal(item) + " ";
        ADD_FAILURE() << "case " << k << " format \"" << cases[k].format << "\" items " << items << "\n  gfortran: ["
                      << theirs[k] << "]\n  ours:     [" << ours << "]";
      }
    }
  }
  EXPECT_EQ(failures, 0) << "of " << cases.size() << " cases";
  RecordProperty("cases", static_cast<int>(cases.size()));
  std::cout << "[ compared ] " << cases.size() << " records with gfortran\n";
  if (failures == 0) fs::remove_all(dir);
}

}  // namespace
