// Record I/O engine: list-directed and formatted output, list-directed and
// formatted input, the results file and the error stops.  Expected texts were
// produced by gfortran 12.2 (Debian 12.2.0-14) from equivalent WRITE and READ
// statements and pasted here.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "io/format.h"
#include "io/record_io.h"

namespace io = zembrel::io;
namespace fs = std::filesystem;

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------------------
// List-directed output.

TEST(ListOutput, RecordLayoutAndSeparators) {
  EXPECT_EQ(io::list_record({}), "");
  EXPECT_EQ(io::list_record({""}), " ");
  EXPECT_EQ(io::list_record({"x", 5}), " x           5");
  EXPECT_EQ(io::list_record({5, "x"}), "           5 x");
  EXPECT_EQ(io::list_record({5, 6}), "           5           6");
  EXPECT_EQ(io::list_record({"a", "b", 3, "c", 2.5, "d"}),
            " ab           3 c   2.5000000000000000      d");
  EXPECT_EQ(io::list_record({"Altura", 12.5, "grados"}), " Altura   12.500000000000000      grados");
  EXPECT_EQ(io::list_record({3, 4.5}), "           3   4.5000000000000000     ");
  EXPECT_EQ(io::list_record({std::numeric_limits<int>::min()}), " -2147483648");
}

TEST(ListOutput, DoublesFixedAndScientific) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {1.0, "   1.0000000000000000     "},
      {-1.0, "  -1.0000000000000000     "},
      {0.5, "  0.50000000000000000     "},
      {0.0, "   0.0000000000000000     "},
      {-0.0, "  -0.0000000000000000     "},
      {0.1, "  0.10000000000000001     "},
      {0.09999999999999999167, "   9.9999999999999992E-002"},
      {0.01, "   1.0000000000000000E-002"},
      {1e-5, "   1.0000000000000001E-005"},
      {1e16, "   10000000000000000.     "},
      {99999999999999984.0, "   99999999999999984.     "},
      {1e17, "   1.0000000000000000E+017"},
      {123.456, "   123.45600000000000     "},
      {200.0 / 3.0, "   66.666666666666671     "},
      {1e100, "   1.0000000000000000E+100"},
      {1e-100, "   1.0000000000000000E-100"},
      {std::numeric_limits<double>::max(), "   1.7976931348623157E+308"},
      {std::numeric_limits<double>::min(), "   2.2250738585072014E-308"},
      {std::numeric_limits<double>::min() / 4, "   5.5626846462680035E-309"},
      {kNaN, "                       NaN"},
      {kInf, "                  Infinity"},
  };
  for (const Case& c : cases) EXPECT_EQ(io::list_record({c.value}), c.text) << c.value;
  EXPECT_EQ(io::list_record({kInf, -kInf}), "                  Infinity                 -Infinity");
}

// ---------------------------------------------------------------------------
// Formatted output.

TEST(FormattedOutput, TextAndIntegerFields) {
  EXPECT_EQ(io::format_record("(a5)", {"abc"}), "  abc");
  EXPECT_EQ(io::format_record("(a2)", {"abc"}), "ab");
  EXPECT_EQ(io::format_record("(a)", {"  abc  "}), "  abc  ");
  EXPECT_EQ(io::format_record("(a3)", {""}), "   ");
  EXPECT_EQ(io::format_record("(i3)", {1000}), "***");
  EXPECT_EQ(io::format_record("(i3)", {-99}), "-99");
  EXPECT_EQ(io::format_record("(i3)", {-100}), "***");
  EXPECT_EQ(io::format_record("(i2)", {0}), " 0");
  EXPECT_EQ(io::format_record("(a,i0,a)", {"[", -42, "]"}), "[-42]");
}

TEST(FormattedOutput, FixedFields) {
  struct Case {
    const char* format;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {"(f7.4)", -0.00001, "-0.0000"}, {"(f7.4)", -0.0001, "-0.0001"}, {"(f7.4)", 0.5, " 0.5000"},
      {"(f6.4)", -0.5, "-.5000"},      {"(f5.4)", -0.5, "*****"},      {"(f5.4)", 0.5, ".5000"},
      {"(f4.4)", 0.5, "****"},         {"(f7.4)", 123456.0, "*******"}, {"(f4.0)", 2.0, "  2."},
      {"(f4.0)", 2.5, "  2."},         {"(f4.0)", 3.5, "  4."},         {"(f5.2)", 0.125, " 0.12"},
      {"(f5.2)", 0.375, " 0.38"},      {"(f3.0)", 0.4, " 0."},          {"(f3.0)", -0.4, "-0."},
      {"(f2.0)", -0.4, "**"},          {"(f2.0)", 0.4, "0."},           {"(f1.0)", 0.4, "*"},
      {"(f3.1)", 0.0, "0.0"},          {"(f3.0)", -0.0, "-0."},         {"(f6.2)", 1.005, "  1.00"},
      {"(f6.2)", 2.675, "  2.67"},     {"(f6.1)", 0.05, "   0.1"},      {"(f6.1)", 0.25, "   0.2"},
      {"(f6.1)", 0.35, "   0.3"},      {"(f10.4)", -999.99995, "-1000.0000"},
      {"(f9.4)", -999.99995, "*********"}, {"(f20.8)", 1e300, "********************"},
      {"(f30.2)", 1e23, "    99999999999999991611392.00"},
      {"(f30.25)", 0.1, "   0.1000000000000000055511151"},
      {"(f5.1)", kInf, "  Inf"},       {"(f5.1)", -kInf, " -Inf"},      {"(f8.1)", kInf, "Infinity"},
      {"(f9.1)", -kInf, "-Infinity"},  {"(f3.1)", -kInf, "***"},        {"(f3.1)", kInf, "Inf"},
      {"(f2.1)", kInf, "**"},          {"(f5.1)", kNaN, "  NaN"},       {"(f2.1)", kNaN, "**"},
  };
  for (const Case& c : cases) EXPECT_EQ(io::format_record(c.format, {c.value}), c.text) << c.format << " " << c.value;
}

// F fields of every decimals count the program writes and beyond, for
// seeded random doubles of every magnitude and for exact binary ties
// (k / 2^n, which rounding must send to the even digit), against the C
// library's exact "%.*f".
TEST(FormattedOutput, FixedDigitsAsPrintfGivesThem) {
  std::mt19937_64 rng(20261209);
  std::uniform_real_distribution<double> exponent(-12.0, 24.0);
  for (int i = 0; i < 100000; ++i) {
    const int decimals = static_cast<int>(rng() % 26);
    const double tie = std::ldexp(static_cast<double>(rng() % 100000), -static_cast<int>(rng() % 12));
    const double random = std::pow(10.0, exponent(rng)) * (rng() % 2 ? 1.0 : -1.0);
    for (double v : {tie, random}) {
      char expected[512];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, std::fabs(v));
      const std::string text = io::format::render_fixed(v, 60, decimals);
      const std::size_t digits = text.find_first_not_of(" -");
      ASSERT_EQ(text.substr(digits), decimals == 0 ? std::string(expected) + "." : expected) << v << " " << decimals;
    }
  }
}

TEST(FormattedOutput, ExponentialFields) {
  EXPECT_EQ(io::format_record("(D15.9)", {1.5}), "0.150000000D+01");
  EXPECT_EQ(io::format_record("(D14.8)", {-1.5}), "-.15000000D+01");
  EXPECT_EQ(io::format_record("(D10.2)", {1.5e-120}), "  0.15-119");
  EXPECT_EQ(io::format_record("(D10.2)", {0.0}), "  0.00D+00");
  EXPECT_EQ(io::format_record("(D8.2)", {-1.5}), "-.15D+01");
  EXPECT_EQ(io::format_record("(D7.2)", {1.5}), ".15D+01");
  EXPECT_EQ(io::format_record("(E10.3)", {9.9996}), " 0.100E+02");
  EXPECT_EQ(io::format_record("(E12.3)", {1e300}), "   0.100+301");
  EXPECT_EQ(io::format_record("(E10.3)", {-0.0}), "-0.000E+00");
}

TEST(FormattedOutput, ProgramLayouts) {
  EXPECT_EQ(io::format_record("(a42,1x,i2,1x,i2,1x,i4,2x,f7.4)", {"Fecha", 5, 3, 2024, 12.34567}),
            "                                     Fecha  5  3 2024  12.3457");
  EXPECT_EQ(io::format_record("(5i3,8x,2f10.1,1x,f9.1,f10.1)", {1, 2, 3, 4, 5, -171996.0, -174.2, 92025.0, 8.9}),
            "  1  2  3  4  5         -171996.0    -174.2   92025.0       8.9");
  EXPECT_EQ(io::format_record("(i2,1x,a15,2x,D15.9,4x,D14.8,5x,D10.2,9x,D10.2,4x,D8.2,            3x,D9.2)",
                              {1, "Alpheratz", 0.0365979, 0.50802, 1.35e-6, -2.5e-6, 2.06, 0.0}),
            " 1       Alpheratz  0.365979000D-01    0.50802000D+00       0.13D-05          -0.25D-05    "
            "0.21D+01    0.00D+00");
  // Blanks are insignificant anywhere, letters of either case.
  EXPECT_EQ(io::format_record("(f3 .0)", {7.0}), " 7.");
  EXPECT_EQ(io::format_record("( a 4 , 1 x , i 3 )", {"ab", 12}), "  ab  12");
  EXPECT_EQ(io::format_record("(A4,1X,I3)", {"ab", 12}), "  ab  12");
}

TEST(FormattedOutput, EndOfItemsDropsTrailingBlanks) {
  EXPECT_EQ(io::format_record("(a5,2x)", {"abc"}), "  abc");
  EXPECT_EQ(io::format_record("(a5,2x,i3)", {"abc"}), "  abc");
  EXPECT_EQ(io::format_record("(a5,2x,a1)", {"abc", "x"}), "  abc  x");
  EXPECT_EQ(io::format_record("(2x,2(f7.4,4x))", {1.0, 2.0}), "   1.0000     2.0000");
  EXPECT_EQ(io::format_record("(2x,2(f7.4,4x))", {1.0}), "   1.0000");
  EXPECT_EQ(io::format_record("(i2,1x,a3,1x)", {1, "ab"}), " 1  ab");
  EXPECT_EQ(io::format_record("(1x,a3,4x,i4)", {"abc"}), " abc");
  EXPECT_EQ(io::format_record("(2x)", {}), "");
  EXPECT_EQ(io::format_record("(a)", {}), "");
  EXPECT_EQ(io::format_record("(a,\"lit\",2x)", {"ab"}), "ablit");
  EXPECT_EQ(io::format_record("(a,2x,'lit',i3)", {"ab"}), "ab  lit");
  EXPECT_EQ(io::format_record("(a,3x,/,i3)", {"ab", 5}), "ab\n  5");
}

TEST(FormattedOutput, ReversionStartsNewRecords) {
  EXPECT_EQ(io::format_record("(i3)", {1, 2, 3}), "  1\n  2\n  3");
  EXPECT_EQ(io::format_record("(a3,2(i2,1x))", {"abc", 1, 2, 3, 4, 5}), "abc 1  2\n 3  4\n 5");
  EXPECT_EQ(io::format_record("(i2,2(i2),i3)", {1, 2, 3, 4, 5, 6, 7, 8, 9}), " 1 2 3  4\n 5 6  7\n 8 9");
  EXPECT_EQ(io::format_record("(i2,2(i2,3(i1)),i3)", {1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
            " 1 2345 6789  1\n 2345 6789");
}

TEST(FormattedOutput, ProgrammingErrorsThrow) {
  EXPECT_THROW(io::format_record("(q5)", {1}), std::invalid_argument);
  EXPECT_THROW(io::format_record("(i3", {1}), std::invalid_argument);
  EXPECT_THROW(io::format_record("i3", {1}), std::invalid_argument);
  EXPECT_THROW(io::format_record("(f7)", {1.0}), std::invalid_argument);
  EXPECT_THROW(io::format_record("(i3)", {1.0}), std::invalid_argument);
  EXPECT_THROW(io::format_record("(f7.2)", {1}), std::invalid_argument);
  EXPECT_THROW(io::format_record("(a5)", {1}), std::invalid_argument);
  EXPECT_THROW(io::format_record("(2x)", {1}), std::invalid_argument);
  EXPECT_THROW(io::format_record("(99999999999i3)", {1}), std::invalid_argument);
  EXPECT_THROW(io::format_record("(i3)x", {1}), std::invalid_argument);
}

TEST(ScreenOutput, OneLinePerStatement) {
  ::testing::internal::CaptureStdout();
  io::write_list(io::kScreen, {"x", 5});
  io::write_list(io::kScreen);
  io::write_fmt(io::kScreen, "(a3,2(i2,1x))", {"abc", 1, 2, 3});
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), " x           5\n\nabc 1  2\n 3\n");
  EXPECT_THROW(io::write_list(7, {"x"}), std::invalid_argument);
}

// ---------------------------------------------------------------------------
// List-directed input.

struct Triple {
  int i = -7;
  double a = -1.0;
  int j = -8;
};

// Reads one (integer, real, integer) statement from `text`.
io::ReadResult read_triple(io::ListReader& r, Triple& t) { return r.read({&t.i, &t.a, &t.j}); }

TEST(ListInput, ValueForms) {
  struct Case {
    const char* line;
    int i;
    double a;
    int j;
  };
  const Case cases[] = {
      {"1 2.5 3", 1, 2.5, 3},       {"+5 -1 -2", 5, -1.0, -2},     {"1 12. 1", 1, 12.0, 1},
      {"1 .5 1", 1, 0.5, 1},        {"1 1.25e1 1", 1, 12.5, 1},    {"1 1.25d1 1", 1, 12.5, 1},
      {"1 1.25E+01 1", 1, 12.5, 1}, {"1 1.25+1 1", 1, 12.5, 1},    {"1 1.5q3 1", 1, 1500.0, 1},
      {"1 1.5D-1 1", 1, 0.15, 1},   {"1 +.5e-1 1", 1, 0.05, 1},    {"1 1.e2 1", 1, 100.0, 1},
      {"1,2,3", 1, 2.0, 3},         {",,3", -7, -1.0, 3},          {"1 2 /", 1, 2.0, -8},
      {"/", -7, -1.0, -8},          {"2* 4", -7, -1.0, 4},         {"1 2*", 1, -1.0, -8},
      {"1*5 2 3", 5, 2.0, 3},       {"1\t2.5\t3", 1, 2.5, 3},      {"1 2.5 3 extra", 1, 2.5, 3},
      {"1 1,,", 1, 1.0, -8},        {"1 ,  , 3", 1, -1.0, 3},      {" 1 , 2.5 , 3 ", 1, 2.5, 3},
      {"1 1.5 ;3", 1, 1.5, 3},      {"1 1,5 1", 1, 1.0, 5},        {"1 1.5 2*3", 1, 1.5, 3},
      {"-2147483648 1 1", std::numeric_limits<int>::min(), 1.0, 1},
      {"1 1e-400 1", 1, 0.0, 1},    {"-1 -0.0 -0", -1, -0.0, 0},   {"1 2.5 3\r", 1, 2.5, 3},
  };
  for (const Case& c : cases) {
    std::istringstream in(std::string(c.line) + "\n");
    io::ListReader r(in);
    Triple t;
    const io::ReadResult res = read_triple(r, t);
    EXPECT_EQ(res.status, io::ReadStatus::ok) << c.line;
    EXPECT_EQ(t.i, c.i) << c.line;
    EXPECT_EQ(t.a, c.a) << c.line;
    EXPECT_EQ(std::signbit(t.a), std::signbit(c.a)) << c.line;
    EXPECT_EQ(t.j, c.j) << c.line;
  }
}

TEST(ListInput, SpecialReals) {
  struct Case {
    const char* line;
    double a;
  };
  const Case cases[] = {{"1 inf 1", kInf}, {"1 Infinity 1", kInf}, {"1 inFinItY 1", kInf},
                        {"1 -inf 1", -kInf}, {"1 1e400 1", kInf}};
  for (const Case& c : cases) {
    std::istringstream in(c.line);
    io::ListReader r(in);
    Triple t;
    ASSERT_EQ(read_triple(r, t).status, io::ReadStatus::ok) << c.line;
    EXPECT_EQ(t.a, c.a) << c.line;
  }
  for (const char* line : {"1 nan 1", "1 nan(1) 1"}) {
    std::istringstream in(line);
    io::ListReader r(in);
    Triple t;
    ASSERT_EQ(read_triple(r, t).status, io::ReadStatus::ok) << line;
    EXPECT_TRUE(std::isnan(t.a)) << line;
  }
}

TEST(ListInput, BadValuesNameTheItem) {
  struct Case {
    const char* line;
    io::ReadStatus status;
    int item;
  };
  const Case cases[] = {
      {"3.0 1 1", io::ReadStatus::bad_integer, 1}, {"x 1 1", io::ReadStatus::bad_integer, 1},
      {"5x 1 1", io::ReadStatus::bad_integer, 1},  {"1 1e 1", io::ReadStatus::bad_real, 2},
      {"1 e5 1", io::ReadStatus::bad_real, 2},     {"1 - 1", io::ReadStatus::bad_real, 2},
      {"1 + 1", io::ReadStatus::bad_real, 2},      {"1 1.5x 1", io::ReadStatus::bad_real, 2},
      {"1 2.5 3x", io::ReadStatus::bad_integer, 3}, {"1 2.5 3.", io::ReadStatus::bad_integer, 3},
      {"1 1.5E 1", io::ReadStatus::bad_real, 2},   {"1 1.5e+ 1", io::ReadStatus::bad_real, 2},
      {"1 1.5D1.0 1", io::ReadStatus::bad_real, 2}, {"1 0x10 1", io::ReadStatus::bad_real, 2},
      {"1 infin 1", io::ReadStatus::bad_real, 2},  {"1 \"1.5\" 3", io::ReadStatus::bad_real, 2},
      {"1 1.5 '3'", io::ReadStatus::bad_integer, 3}, {"1 1.5 *3", io::ReadStatus::bad_integer, 3},
      {"1 1.5 2**3", io::ReadStatus::bad_integer, 3}, {"2147483648 1 1", io::ReadStatus::bad_integer, 1},
      {"99999999999 1 1", io::ReadStatus::bad_integer, 1}, {"0*5 1 1", io::ReadStatus::bad_integer, 1},
      // gfortran reports "." as "Error during floating point read"; it is a bad real here.
      {"1 . 1", io::ReadStatus::bad_real, 2},
  };
  for (const Case& c : cases) {
    std::istringstream in(std::string(c.line) + "\n");
    io::ListReader r(in);
    Triple t;
    const io::ReadResult res = read_triple(r, t);
    EXPECT_EQ(res.status, c.status) << c.line;
    EXPECT_EQ(res.item, c.item) << c.line;
  }
}

TEST(ListInput, RecordsAndLineEnds) {
  // Values continue on following lines; empty lines are waited through; each
  // read starts on a new line.
  std::istringstream in("1 1.5\n 3 4\n5 6 7\n\n \t\n8,\n,9\n40.1530 -3.4215\n40.1530\n-3.4215\n1 2 3\n7");
  io::ListReader r(in);
  Triple t;
  ASSERT_EQ(read_triple(r, t).status, io::ReadStatus::ok);
  EXPECT_EQ(t.i, 1);
  EXPECT_EQ(t.a, 1.5);
  EXPECT_EQ(t.j, 3);
  t = Triple{};
  ASSERT_EQ(read_triple(r, t).status, io::ReadStatus::ok);
  EXPECT_EQ(t.i, 5);
  EXPECT_EQ(t.j, 7);
  t = Triple{};
  ASSERT_EQ(read_triple(r, t).status, io::ReadStatus::ok);  // "8," then ",9": a null in between
  EXPECT_EQ(t.i, 8);
  EXPECT_EQ(t.a, -1.0);
  EXPECT_EQ(t.j, 9);
  double lat = 0, lon = 0;
  ASSERT_EQ(r.read({&lat, &lon}).status, io::ReadStatus::ok);
  EXPECT_EQ(lat, 40.1530);
  EXPECT_EQ(lon, -3.4215);
  lat = lon = 0;
  ASSERT_EQ(r.read({&lat, &lon}).status, io::ReadStatus::ok);
  EXPECT_EQ(lat, 40.1530);
  EXPECT_EQ(lon, -3.4215);
  int one = 0;
  ASSERT_EQ(r.read({&one}).status, io::ReadStatus::ok);
  EXPECT_EQ(one, 1);
  ASSERT_EQ(r.read({&one}).status, io::ReadStatus::ok);  // the unterminated last line
  EXPECT_EQ(one, 7);
  EXPECT_EQ(r.read({&one}).status, io::ReadStatus::end_of_file);
}

TEST(ListInput, EndOfFile) {
  {
    std::istringstream in("");
    io::ListReader r(in);
    int i = 0;
    EXPECT_EQ(r.read({&i}).status, io::ReadStatus::end_of_file);
    EXPECT_FALSE(r.skip_record());
  }
  {
    std::istringstream in("1 2.5\n\n");  // runs out before the third value
    io::ListReader r(in);
    Triple t;
    EXPECT_EQ(read_triple(r, t).status, io::ReadStatus::end_of_file);
  }
  {
    std::istringstream in("skip me\n  3  \n3,\n");
    io::ListReader r(in);
    EXPECT_TRUE(r.skip_record());
    int i = 0;
    ASSERT_EQ(r.read({&i}).status, io::ReadStatus::ok);
    EXPECT_EQ(i, 3);
    i = 0;
    ASSERT_EQ(r.read({&i}).status, io::ReadStatus::ok);
    EXPECT_EQ(i, 3);
    EXPECT_EQ(r.read({}).status, io::ReadStatus::end_of_file);
  }
}

TEST(ListInput, RepeatedValueFillsEitherType) {
  // gfortran refuses "2*5" across an integer and a real item ("Read type
  // INTEGER where REAL was expected"); here r*c gives r copies of c whatever
  // the variables' types.
  std::istringstream in("2*5 3\n");
  io::ListReader r(in);
  Triple t;
  ASSERT_EQ(read_triple(r, t).status, io::ReadStatus::ok);
  EXPECT_EQ(t.i, 5);
  EXPECT_EQ(t.a, 5.0);
  EXPECT_EQ(t.j, 3);
}

// A decimal comma, refused only where the line holds more values than the
// read still takes; the targets keep what they had and the next read starts
// on the next line.
TEST(ListInput, DecimalCommaWhereValuesAreLeftOver) {
  struct Case {
    const char* lines;
    int reals;           // targets: that many reals
    const char* number;  // "" when the line is read as always
    double first;
  };
  const Case cases[] = {
      {"40,25 -3,42", 2, "40.25", 7.0},  {"1,5", 1, "1.5", 7.0},          {"10,30", 1, "10.30", 7.0},
      {"-3,42 40.25", 2, "-3.42", 7.0},  {"40.25\n-3,42", 2, "-3.42", 7.0}, {"1,5 / 3,4", 1, "1.5", 7.0},
      {"1e1,5e2 1", 2, "1e1.5e2", 7.0},  {"2*1,5", 1, "2*1.5", 7.0},      {"1013,20", 2, "", 1013.0},
      {"10.30,40.25", 2, "", 10.30},     {"5 / 3,4", 1, "", 5.0},         {"1,,5", 1, "", 1.0},
      {"1, 5", 1, "", 1.0},              {"40.25\n-3,42", 1, "", 40.25},  {"/ 1,5", 1, "", 7.0},
  };
  for (const Case& c : cases) {
    std::istringstream in(std::string(c.lines) + "\n8\n");
    io::ListReader r(in);
    double a = 7.0, b = 9.0;
    const io::ReadResult res = c.reals == 1 ? r.read({&a}, true) : r.read({&a, &b}, true);
    const bool refused = *c.number != '\0';
    EXPECT_EQ(res.status, refused ? io::ReadStatus::decimal_comma : io::ReadStatus::ok) << c.lines;
    EXPECT_EQ(res.number, c.number) << c.lines;
    EXPECT_EQ(a, c.first) << c.lines;
    if (refused) {
      EXPECT_EQ(b, 9.0) << c.lines;
      EXPECT_EQ(io::read_error_message(res), std::string("Use el punto decimal, no la coma: ") + c.number);
      int next = 0;
      ASSERT_EQ(r.read({&next}).status, io::ReadStatus::ok) << c.lines;
      EXPECT_EQ(next, 8) << c.lines;
    }
  }
  // Just the values asked, or a reader not asked to refuse: the comma
  // separates.
  std::istringstream in("20,3,2024\n1,5\n");
  io::ListReader r(in);
  int d = 0, m = 0, y = 0;
  ASSERT_EQ(r.read({&d, &m, &y}, true).status, io::ReadStatus::ok);
  EXPECT_EQ(m, 3);
  double x = 0.0;
  ASSERT_EQ(r.read({&x}).status, io::ReadStatus::ok);
  EXPECT_EQ(x, 1.0);
}

TEST(ListInput, ErrorMessages) {
  EXPECT_EQ(io::read_error_message({io::ReadStatus::bad_integer, 1}), "Bad integer for item 1 in list input");
  EXPECT_EQ(io::read_error_message({io::ReadStatus::bad_real, 2}), "Bad real number in item 2 of list input");
  EXPECT_EQ(io::read_error_message({io::ReadStatus::end_of_file, 0}), "End of file");
}

// ---------------------------------------------------------------------------
// Formatted input.

TEST(FormattedInput, NumericFields) {
  struct Case {
    const char* field;
    bool int_ok;
    int i;
    bool real_ok;
    double x;  // under f8.2
  };
  const Case cases[] = {
      {"1 2", true, 12, true, 0.12},          {"-  5", true, -5, true, -0.05},
      {"   ", true, 0, true, 0.0},            {"1.5", false, 0, true, 1.5},
      {"12345", true, 12345, true, 123.45},   {" 1.5e1", false, 0, true, 15.0},
      {"15e1", false, 0, true, 1.5},          {" -.5", false, 0, true, -0.5},
      {"1+2", false, 0, true, 1.0},           {"1.5D+03", false, 0, true, 1500.0},
      {"abc", false, 0, false, 0.0},          {"1.5 e 1", false, 0, true, 15.0},
  };
  for (const Case& c : cases) {
    int i = 0;
    double x = 0.0;
    const io::ReadResult ri = io::read_formatted("(i5)", c.field, {&i});
    const io::ReadResult rx = io::read_formatted("(f8.2)", c.field, {&x});
    EXPECT_EQ(ri.status == io::ReadStatus::ok, c.int_ok) << c.field;
    if (c.int_ok) {
      EXPECT_EQ(i, c.i) << c.field;
    }
    EXPECT_EQ(rx.status == io::ReadStatus::ok, c.real_ok) << c.field;
    if (c.real_ok) {
      EXPECT_DOUBLE_EQ(x, c.x) << c.field;
    }
  }
  // "-1719960" under f8.2 is read as -17199.60 by gfortran.
  double x = 0.0;
  ASSERT_EQ(io::read_formatted("(f8.2)", "-1719960", {&x}).status, io::ReadStatus::ok);
  EXPECT_DOUBLE_EQ(x, -17199.6);
}

TEST(FormattedInput, RecordLayouts) {
  // A nutation-series style record: five small integers, then scaled terms
  // with implied decimals.
  int m[5] = {};
  double s = 0, st = 0, c = 0, ct = 0;
  const std::string rec = "  0  0  0  0  1        -1719960   -1742.0    920250.0     8.9";
  ASSERT_EQ(io::read_formatted("(5i3,8x,2f10.1,1x,f9.1,f10.1)", rec,
                               {&m[0], &m[1], &m[2], &m[3], &m[4], &s, &st, &c, &ct})
                .status,
            io::ReadStatus::ok);
  EXPECT_EQ(m[4], 1);
  EXPECT_DOUBLE_EQ(s, -171996.0);
  EXPECT_DOUBLE_EQ(st, -1742.0);
  EXPECT_DOUBLE_EQ(c, 920250.0);
  EXPECT_DOUBLE_EQ(ct, 8.9);

  // A catalogue-style record with D fields holding any real form.
  int n = 0;
  std::string name;
  double d[6] = {};
  const std::string star = std::string(" 1") + " " + "      Alpheratz" + "  " + "0.365979000D-01" + "    " +
                           "0.50802000D+00" + "     " + "  1.35e-06" + "         " + "   -2.5E-6" + "    " +
                           "    2.06" + "   " + "    0";
  ASSERT_EQ(io::read_formatted("(i2,1x,a15,2x,D15.9,4x,D14.8,5x,D10.2,9x,D10.2,4x,D8.2,            3x,D9.2)", star,
                               {&n, &name, &d[0], &d[1], &d[2], &d[3], &d[4], &d[5]})
                .status,
            io::ReadStatus::ok);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(name, "      Alpheratz");
  EXPECT_DOUBLE_EQ(d[0], 0.0365979);
  EXPECT_DOUBLE_EQ(d[1], 0.50802);
  EXPECT_DOUBLE_EQ(d[2], 1.35e-6);
  EXPECT_DOUBLE_EQ(d[3], -2.5e-6);
  EXPECT_DOUBLE_EQ(d[4], 2.06);
  EXPECT_DOUBLE_EQ(d[5], 0.0);  // "        0" ends past the record: padded with blanks, no point
  // Repeat counts and groups; a short record pads with blanks.
  int a = -1, b = -1, e = -1;
  double f = -1;
  ASSERT_EQ(io::read_formatted("(2(i2,1x),i3,f5.1)", " 1  2", {&a, &b, &e, &f}).status, io::ReadStatus::ok);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(e, 0);
  EXPECT_EQ(f, 0.0);
}

TEST(FormattedInput, BadFieldsNameTheItem) {
  int a = 0, b = 0;
  double x = 0;
  io::ReadResult r = io::read_formatted("(i2,1x,i2,f6.2)", " 1  x  1.5", {&a, &b, &x});
  EXPECT_EQ(r.status, io::ReadStatus::bad_integer);
  EXPECT_EQ(r.item, 2);
  r = io::read_formatted("(i2,1x,i2,f6.2)", " 1  2  1.x", {&a, &b, &x});
  EXPECT_EQ(r.status, io::ReadStatus::bad_real);
  EXPECT_EQ(r.item, 3);
  EXPECT_THROW(io::read_formatted("(i2)", "12", {&x}), std::invalid_argument);
  EXPECT_THROW(io::read_formatted("(i2)", "12", {&a, &b}), std::invalid_argument);
}

// ---------------------------------------------------------------------------
// Results file and stops.

// Runs the test body in a fresh temporary directory, restoring the working
// directory afterwards.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("zembrel-io-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
            std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    io::close_results();
    fs::current_path(old_);
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  static std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path old_, dir_;
};

using ResultsFile = InTempDir;

TEST_F(ResultsFile, CreatedEmptyWhenMissing) {
  io::connect_results();
  EXPECT_TRUE(fs::exists("Resultados.txt"));
  EXPECT_EQ(fs::file_size("Resultados.txt"), 0u);
  io::close_results();
  EXPECT_EQ(slurp("Resultados.txt"), "");
}

TEST_F(ResultsFile, ExistingContentReplacedByFirstRecordOnly) {
  { std::ofstream("Resultados.txt") << "old line one\nold line two\nold line three\n"; }
  io::connect_results();
  io::connect_results();
  EXPECT_EQ(slurp("Resultados.txt"), "old line one\nold line two\nold line three\n");
  io::write_list(io::kResults, {"uno"});
  EXPECT_EQ(slurp("Resultados.txt"), " uno\n");  // flushed at once, old content gone
  io::connect_results();                          // changes nothing
  io::write_fmt(io::kResults, "(a4,i3)", {"dos", 2});
  io::write_list(io::kResults);
  EXPECT_EQ(slurp("Resultados.txt"), " uno\n dos  2\n\n");
  io::close_results();
  EXPECT_EQ(slurp("Resultados.txt"), " uno\n dos  2\n\n");
}

TEST_F(ResultsFile, NoRecordLeavesExistingFileAlone) {
  { std::ofstream("Resultados.txt") << "keep\n"; }
  io::connect_results();
  io::close_results();
  EXPECT_EQ(slurp("Resultados.txt"), "keep\n");
}

// Runs f as the program's main does: a stop is reported and its exit status
// ends the process.
template <class F>
void as_program(F f) {
  try {
    f();
  } catch (const io::RuntimeError& e) {
    std::exit(io::report_stop(e));
  } catch (const io::Stop& e) {
    std::exit(io::report_stop(e));
  }
}

TEST_F(ResultsFile, RecordsSurviveRuntimeError) {
  EXPECT_EXIT(
      as_program([] {
        io::connect_results();
        io::write_list(io::kResults, {"antes"});
        std::istringstream in("3.0\n");
        io::ListReader r(in);
        int i = 0;
        const io::ReadResult res = r.read({&i});
        io::runtime_error("Keyboard read (unit = 5, file = 'stdin')", io::read_error_message(res));
      }),
      ::testing::ExitedWithCode(2), "Bad integer for item 1 in list input");
  EXPECT_EQ(slurp("Resultados.txt"), " antes\n");
}

TEST_F(ResultsFile, UnwritableDirectoryStops) {
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  {
    std::ofstream probe("probe");  // privileged users can write anyway
    if (probe) GTEST_SKIP() << "directory permissions are not enforced for this user";
  }
  EXPECT_EXIT(as_program([] { io::connect_results(); }), ::testing::ExitedWithCode(2),
              "Cannot open file 'Resultados.txt'");
}

using Keyboard = InTempDir;

void read_two_reals() {
  double a = 0, b = 0;
  io::read_keyboard({&a, &b});
}

bool read_answers_ok() {
  int a = 0, b = 0;
  io::read_keyboard({&a});
  io::read_keyboard({&b});
  double lat = 0, lon = 0;
  io::read_keyboard({&lat, &lon});
  return a == 3 && b == 1 && lat == 40.1530 && lon == -3.4215;
}

TEST_F(Keyboard, ReadErrorsAndEndOfInputStopWithStatus2) {
  { std::ofstream("bad.txt") << "\n  \n3.0\n"; }
  { std::ofstream("empty.txt") << ""; }
  { std::ofstream("real.txt") << "12 abc\n"; }
  EXPECT_EXIT(
      as_program([] {
        if (std::freopen("bad.txt", "r", stdin) == nullptr) std::exit(9);
        int v = 0;
        io::read_keyboard({&v});
      }),
      ::testing::ExitedWithCode(2), "Bad integer for item 1 in list input");
  EXPECT_EXIT(
      as_program([] {
        if (std::freopen("empty.txt", "r", stdin) == nullptr) std::exit(9);
        double v = 0;
        io::read_keyboard({&v});
      }),
      ::testing::ExitedWithCode(2), "End of file");
  EXPECT_EXIT(
      as_program([] {
        if (std::freopen("real.txt", "r", stdin) == nullptr) std::exit(9);
        read_two_reals();
      }),
      ::testing::ExitedWithCode(2), "Bad real number in item 2 of list input");
}

TEST_F(Keyboard, AnswersAreReadLineByLine) {
  { std::ofstream("answers.txt") << "  3  \n1 2 3\n40.1530 -3.4215\n"; }
  EXPECT_EXIT(
      {
        if (std::freopen("answers.txt", "r", stdin) == nullptr) std::exit(9);
        std::exit(read_answers_ok() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(Stop, PrintsCodeAndExitsWithItsLowByte) {
  EXPECT_EXIT(as_program([] { throw io::Stop(-1); }), ::testing::ExitedWithCode(255), "STOP -1");
  EXPECT_EXIT(as_program([] { throw io::Stop(3); }), ::testing::ExitedWithCode(3), "STOP 3");
}

}  // namespace
