// Compares the input engine with gfortran on generated answers and data
// fields: a Fortran program reads every line list-directed (an integer, a real
// and an integer) and every field under I, F and D edit descriptors, and
// prints the status and the values it got; our readers must agree.  Skipped
// when gfortran is not installed.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "io/record_io.h"

namespace io = zembrel::io;
namespace fs = std::filesystem;

namespace {

class Lcg {
 public:
  std::uint64_t next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return state_ >> 17;
  }
  template <typename T>
  const T& pick(const std::vector<T>& v) { return v[next() % v.size()]; }

 private:
  std::uint64_t state_ = 12345;
};

std::vector<std::string> list_lines() {
  std::vector<std::string> lines = {
      "1 2.5 3", "3.0 1 1", "x 1 1", "+5 -1 -2", "5x 1 1", "1 12. 1", "1 .5 1", "1 1.25+1 1", "1 1e 1", "1 . 1",
      ",,3", "1 2 /", "/", "2* 4", "1 2*", "1*5 2 3", "0*5 1 1", "99999999999 1 1", "1 1e400 1", "1 1e-400 1",
      "1 ,  , 3", "1 1.5 ;3", "1 nan(1) 1", "1 infin 1", "", "1 2.5", "   ", "1,2.5,", "-0 -0.0 +0",
  };
  const std::vector<std::string> ints = {"0", "12", "-3", "+7", "2147483647", "-2147483648", "2147483648", "007"};
  const std::vector<std::string> reals = {"1.5",  "-0.25", ".5",   "5.",        "1e3",       "1.5d-2", "1.25+1",
                                          "1.5q2", "inf",  "-Infinity", "nan", "1e400", "1e-400", "4.9e-324",
                                          "0.1",  "123456789.123456789e-5", "-.0", "40.1530", "-3.4215", "1E+05"};
  const std::vector<std::string> bad = {"x", "1.5x", "3.0", "e5", "--1", ".", "1e", "+", "1.2.3", "1e5.0", "*2"};
  const std::vector<std::string> repeats = {"2*", "2*7", "1*1.5", "3*", "2*-1"};
  const std::vector<std::string> seps = {" ", ",", " , ", ",,", "\t", "  ", ", "};
  Lcg g;
  for (int k = 0; k < 600; ++k) {
    std::string line;
    const int tokens = 1 + static_cast<int>(g.next() % 5);
    for (int t = 0; t < tokens; ++t) {
      if (t > 0) line += g.pick(seps);
      const auto kind = g.next() % 10;
      line += kind < 3 ? g.pick(ints) : kind < 7 ? g.pick(reals) : kind < 9 ? g.pick(repeats) : g.pick(bad);
    }
    if (g.next() % 8 == 0) line += " /";
    if (g.next() % 5 == 0) line = g.pick(seps) + line;
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> fields() {
  std::vector<std::string> out = {"    1719960", "1 2", "-  5", "", "1.5", "12345", " 1.5e1", "15e1", " -.5",
                                  "1+2", "1.5D+03", "abc", "+", "-", ".", "1.5 e 1", "1e", "e1", "-0"};
  Lcg g;
  const std::vector<std::string> signs = {"", "", "-", "+"};
  const std::vector<std::string> exps = {"", "", "", "e1", "E-2", "d+3", "D5", "+1", "-2", "e", "q1"};
  for (int k = 0; k < 500; ++k) {
    std::string s = g.pick(signs);
    const int before = static_cast<int>(g.next() % 4);
    for (int d = 0; d < before; ++d) s += static_cast<char>('0' + g.next() % 10);
    if (g.next() % 2) s += '.';
    const int after = static_cast<int>(g.next() % 3);
    for (int d = 0; d < after; ++d) s += static_cast<char>('0' + g.next() % 10);
    s += g.pick(exps);
    // Blanks anywhere inside the field.
    const int blanks = static_cast<int>(g.next() % 3);
    for (int b = 0; b < blanks; ++b) s.insert(g.next() % (s.size() + 1), 1, ' ');
    if (g.next() % 13 == 0) s.insert(g.next() % (s.size() + 1), 1, static_cast<char>('a' + g.next() % 26));
    out.push_back(s);
  }
  for (std::string& f : out) {
    if (f.size() > 8) f = f.substr(f.size() - 8);
    f = std::string(8 - f.size(), ' ') + f;  // right-justified in the 8-character field
  }
  return out;
}

std::string bits(double x) {
  if (std::isnan(x)) return "nan";
  return std::to_string(std::bit_cast<std::int64_t>(x));
}

bool have_gfortran() { return std::system("gfortran --version > /dev/null 2>&1") == 0; }

const char* const kProgram = R"(program reads
  implicit none
  character(len=256) :: buf
  character(len=200) :: msg
  integer :: i, j, ios, n, k
  double precision :: a
  character(len=8), dimension(4) :: fmts = [character(len=8) :: '(i8)', '(f8.2)', '(d8.3)', '(f8.0)']
  open(10, file='list.txt', status='old')
  read(10, *) n
  do k = 1, n
    read(10, '(a)') buf
    i = -7; a = -1d0; j = -8; msg = ''
    read(buf, *, iostat=ios, iomsg=msg) i, a, j
    if (ios > 0) ios = 1
    write(*, '(i0,1x,i0,1x,i0,1x,i0,1x,a)') ios, i, transfer(a, 0_8), j, trim(msg)
  end do
  close(10)
  open(10, file='fields.txt', status='old')
  read(10, *) n
  do k = 1, n
    read(10, '(a)') buf
    i = -7
    read(buf(1:8), fmts(1), iostat=ios) i
    if (ios /= 0) i = -7
    write(*, '(i0,1x,i0)', advance='no') min(ios, 1), i
    do j = 2, 4
      a = -1d0
      read(buf(1:8), fmts(j), iostat=ios) a
      if (ios /= 0) a = -1d0
      write(*, '(1x,i0,1x,i0)', advance='no') min(ios, 1), transfer(a, 0_8)
    end do
    write(*, *)
  end do
end program reads
)";

TEST(GfortranComparison, InputMatchesGfortran) {
  if (!have_gfortran()) GTEST_SKIP() << "gfortran not installed";
  const std::vector<std::string> lines = list_lines();
  const std::vector<std::string> fs_ = fields();
  const fs::path dir = fs::temp_directory_path() /
                       ("zembrel-gfortran-in-" + std::to_string(std::hash<std::string>{}(fs::current_path().string())) +
                        "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(dir);
  {
    std::ofstream(dir / "reads.f90") << kProgram;
    std::ofstream list(dir / "list.txt");
    list << lines.size() << "\n";
    for (const auto& l : lines) list << l << "\n";
    std::ofstream fields_file(dir / "fields.txt");
    fields_file << fs_.size() << "\n";
    for (const auto& f : fs_) fields_file << f << "\n";
  }
  const std::string cmd = "cd '" + dir.string() +
                          "' && gfortran -O0 -w -o reads reads.f90 > build.log 2>&1 && ./reads > out.txt 2> err.txt";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << "see " << dir;
  std::ifstream out(dir / "out.txt");
  int failures = 0;
  auto report = [&failures](const std::string& what) {
    if (++failures <= 30) ADD_FAILURE() << what;
  };

  int gfortran_only_messages = 0;
  for (const std::string& line : lines) {
    std::string row;
    ASSERT_TRUE(std::getline(out, row));
    std::istringstream rs(row);
    int ios = 0, gi = 0, gj = 0;
    std::int64_t ga = 0;
    rs >> ios >> gi >> ga >> gj;
    std::string msg;
    std::getline(rs, msg);
    if (!msg.empty() && msg[0] == ' ') msg.erase(0, 1);
    // r*c across an integer and a real: gfortran refuses, we take r copies.
    if (msg.rfind("Read type", 0) == 0) continue;

    std::istringstream in(line + "\n");
    io::ListReader reader(in);
    int i = -7, j = -8;
    double a = -1.0;
    const io::ReadResult r = reader.read({&i, &a, &j});
    const std::string ctx = "list line [" + line + "] gfortran: " + row;
    if (ios == 0) {
      if (r.status != io::ReadStatus::ok) {
        report(ctx + " ours: " + io::read_error_message(r));
        continue;
      }
      const double gad = std::bit_cast<double>(ga);
      if (i != gi || j != gj || bits(a) != bits(gad)) {
        report(ctx + " ours: " + std::to_string(i) + " " + bits(a) + " " + std::to_string(j));
      }
    } else if (ios < 0) {
      if (r.status != io::ReadStatus::end_of_file) report(ctx + " ours: " + io::read_error_message(r));
    } else {
      if (r.status != io::ReadStatus::bad_integer && r.status != io::ReadStatus::bad_real) {
        report(ctx + " ours: ok");
      } else if (msg.rfind("Bad ", 0) == 0 && io::read_error_message(r) != msg) {
        report(ctx + " ours: " + io::read_error_message(r));
      } else if (msg.rfind("Bad ", 0) != 0) {
        ++gfortran_only_messages;  // overflow, zero repeat count, "."
      }
    }
  }

  const char* const formats[] = {"(i8)", "(f8.2)", "(d8.3)", "(f8.0)"};
  for (const std::string& field : fs_) {
    std::string row;
    ASSERT_TRUE(std::getline(out, row));
    std::istringstream rs(row);
    int ios = 0, gi = 0;
    rs >> ios >> gi;
    int i = -7;
    const io::ReadResult ri = io::read_formatted(formats[0], field, {&i});
    if ((ios == 0) != (ri.status == io::ReadStatus::ok) || (ios == 0 && i != gi)) {
      report("field [" + field + "] (i8) gfortran: " + row + " ours: " + std::to_string(i) + " " +
             io::read_error_message(ri));
    }
    for (int k = 1; k < 4; ++k) {
      std::int64_t ga = 0;
      rs >> ios >> ga;
      double a = -1.0;
      const io::ReadResult r = io::read_formatted(formats[k], field, {&a});
      if ((ios == 0) != (r.status == io::ReadStatus::ok) ||
          (ios == 0 && bits(a) != bits(std::bit_cast<double>(ga)))) {
        report("field [" + field + "] " + formats[k] + " gfortran: " + row + " ours: " + bits(a));
      }
    }
  }
  EXPECT_EQ(failures, 0);
  std::cout << "[ compared ] " << lines.size() << " list-directed lines and " << fs_.size()
            << " fields x 4 descriptors with gfortran (" << gfortran_only_messages
            << " errors with gfortran-specific wording)\n";
  if (failures == 0) fs::remove_all(dir);
}

}  // namespace
