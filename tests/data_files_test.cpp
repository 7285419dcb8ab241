// Checks of the five data files shipped in data/ against independent
// published figures.  The files are read here by small readers of their own,
// written from the file layouts alone, so that a fault in a data file cannot
// hide behind the same fault in the program's readers.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kDataDir = ZEMBREL_DATA_DIR;

std::vector<std::string> read_lines(const std::string& name) {
  std::ifstream in(kDataDir + "/" + name);
  EXPECT_TRUE(in.good()) << "cannot open " << name;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Reads a Fortran-style real field: blanks ignored, D or d exponent allowed,
// a written decimal point required (every field in these files has one).
double field(const std::string& line, std::size_t first_column, std::size_t width) {
  std::string text = line.size() >= first_column ? line.substr(first_column - 1, width) : "";
  std::string clean;
  for (char ch : text) {
    if (ch == ' ') continue;
    clean += (ch == 'D' || ch == 'd') ? 'E' : ch;
  }
  EXPECT_NE(clean.find('.'), std::string::npos) << "no decimal point in '" << text << "'";
  return std::stod(clean);
}

int int_field(const std::string& line, std::size_t first_column, std::size_t width) {
  std::string text = line.substr(first_column - 1, width);
  return std::stoi(text);
}

// ---------------------------------------------------------------------------
// The ephemeris file: 7856-byte records of 982 little-endian doubles.

constexpr std::size_t kRecordValues = 982;
constexpr std::size_t kRecordBytes = kRecordValues * 8;
constexpr std::array<int, 15> kComponents = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 2, 3, 3, 1};

// DE405 constants, JPL header.405, group 1041 (AU in km, Earth/Moon mass ratio).
constexpr double kDe405Au = 149597870.691;
constexpr double kDe405Emrat = 81.30056;

class Ephemeris {
 public:
  Ephemeris() {
    std::ifstream in(kDataDir + "/JPL_1550-2650_430t", std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::size_t records() const { return bytes_.size() / kRecordBytes; }
  std::size_t size() const { return bytes_.size(); }
  // Value v (1-based) of file record r (1-based), little-endian.
  double value(std::size_t r, std::size_t v) const {
    std::uint64_t bits = 0;
    const std::size_t at = (r - 1) * kRecordBytes + (v - 1) * 8;
    for (int b = 7; b >= 0; --b)
      bits = (bits << 8) | static_cast<unsigned char>(bytes_[at + static_cast<std::size_t>(b)]);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  int n() const { return static_cast<int>(value(1, 1) + 1e-9); }
  int offset(int body) const { return static_cast<int>(value(2, static_cast<std::size_t>(body)) + 1e-9); }
  int count(int body) const { return static_cast<int>(value(2, static_cast<std::size_t>(n() + body)) + 1e-9); }
  int subintervals(int body) const {
    return static_cast<int>(value(2, static_cast<std::size_t>(2 * n() + body)) + 1e-9);
  }
  double span_start() const { return value(2, static_cast<std::size_t>(3 * n() + 1)); }
  double span_end() const { return value(2, static_cast<std::size_t>(3 * n() + 2)); }
  double record_days() const { return value(2, static_cast<std::size_t>(3 * n() + 3)); }

  // Position and rate of quantity `body` (JPL numbering) in the file's units,
  // by the Chebyshev recurrences for T_k and its derivative.
  std::array<double, 6> raw(double jd, int body) const {
    const auto k = static_cast<std::size_t>((jd - span_start()) / record_days()) + 3;
    const double t0 = value(k, 1), t1 = value(k, 2);
    const int m = kComponents[static_cast<std::size_t>(body - 1)];
    const int nc = count(body);
    const double len = (t1 - t0) / subintervals(body);
    const int s = static_cast<int>((jd - t0) / len);
    const double a = t0 + s * len;
    const double x = 2.0 * (jd - a) / len - 1.0;
    std::vector<double> t(static_cast<std::size_t>(nc)), dt(static_cast<std::size_t>(nc));
    t[0] = 1.0; t[1] = x; dt[0] = 0.0; dt[1] = 1.0;
    for (std::size_t j = 2; j < t.size(); ++j) {
      t[j] = 2.0 * x * t[j - 1] - t[j - 2];
      dt[j] = 2.0 * t[j - 1] + 2.0 * x * dt[j - 1] - dt[j - 2];
    }
    std::array<double, 6> out{};
    for (int c = 0; c < m; ++c) {
      const std::size_t base =
          static_cast<std::size_t>(offset(body) + c * nc + s * m * nc);
      double p = 0.0, v = 0.0;
      for (int j = nc - 1; j >= 0; --j) {
        const double coef = value(k, base + static_cast<std::size_t>(j));
        p += coef * t[static_cast<std::size_t>(j)];
        v += coef * dt[static_cast<std::size_t>(j)];
      }
      out[static_cast<std::size_t>(c)] = p;
      out[static_cast<std::size_t>(c + 3)] = v * 2.0 / len;
    }
    return out;
  }

  // Barycentric state in AU and AU/day in the numbering of JPL's test points:
  // 1-9 planets, 10 Moon, 11 Sun, 12 solar-system barycentre, 13 EMB.
  std::array<double, 6> state(double jd, int target) const {
    std::array<double, 6> r{};
    if (target == 12) return r;
    if (target == 3 || target == 10) {
      const auto emb = raw(jd, 3), moon = raw(jd, 10);
      for (int i = 0; i < 6; ++i) {
        const auto u = static_cast<std::size_t>(i);
        r[u] = emb[u] - moon[u] / (1.0 + kDe405Emrat);
        if (target == 10) r[u] += moon[u];
      }
    } else {
      r = raw(jd, target == 13 ? 3 : target);
    }
    for (auto& v : r) v /= kDe405Au;
    return r;
  }

 private:
  std::string bytes_;
};

TEST(EphemerisFile, HeaderRecordsDescribeTheDe405Layout) {
  const Ephemeris e;
  ASSERT_EQ(e.size(), 1145u * kRecordBytes);  // two header records, 1143 data records
  EXPECT_EQ(e.n(), 13);
  // JPL's pointer table for DE405 (header.405, group 1050); librations left out.
  const std::array<int, 13> offsets = {3, 171, 231, 309, 342, 366, 387, 405, 423, 441, 753, 819, 899};
  const std::array<int, 13> counts = {14, 10, 13, 11, 8, 7, 6, 6, 6, 13, 11, 10, 0};
  const std::array<int, 13> subs = {4, 2, 2, 1, 1, 1, 1, 1, 1, 8, 2, 4, 4};
  int length = 2;
  for (int b = 1; b <= 13; ++b) {
    const auto i = static_cast<std::size_t>(b - 1);
    EXPECT_EQ(e.offset(b), offsets[i]) << "body " << b;
    EXPECT_EQ(e.count(b), counts[i]) << "body " << b;
    EXPECT_EQ(e.subintervals(b), subs[i]) << "body " << b;
    length += e.count(b) * kComponents[i] * e.subintervals(b);
  }
  EXPECT_EQ(length, 898);
  EXPECT_EQ(e.span_start(), 2436912.5);
  EXPECT_EQ(e.span_end(), 2473488.5);
  EXPECT_EQ(e.record_days(), 32.0);
  // Informational part of record 1: DE number, AU, EMRAT.
  EXPECT_EQ(e.value(1, 2), 405.0);
  EXPECT_EQ(e.value(1, 3), kDe405Au);
  EXPECT_EQ(e.value(1, 4), kDe405Emrat);
}

TEST(EphemerisFile, DataRecordsAreContiguousAndZeroPastTheirLength) {
  const Ephemeris e;
  for (std::size_t k = 1; k + 2 <= e.records(); ++k) {
    const double start = 2436912.5 + 32.0 * static_cast<double>(k - 1);
    ASSERT_EQ(e.value(k + 2, 1), start) << "data record " << k;
    ASSERT_EQ(e.value(k + 2, 2), start + 32.0) << "data record " << k;
    ASSERT_NE(e.value(k + 2, 898), 0.0) << "data record " << k;
    for (std::size_t v = 899; v <= kRecordValues; v += 7)
      ASSERT_EQ(e.value(k + 2, v), 0.0) << "data record " << k << " value " << v;
  }
}

struct TestPoint {
  double jd;
  int target, center, component;
  double value;
};

// JPL's test points for DE405 (testpo.405, distributed by JPL with the ASCII
// ephemeris): date, target, centre, component (1-3 position in AU, 4-6
// velocity in AU/day; target 14 = nutations in radians and radians/day).
constexpr TestPoint kTestPoints[] = {
    {2436934.5, 5, 6, 1, -3.0768071291340},
    {2436994.5, 14, 0, 1, -0.0000021664068},
    {2437969.5, 13, 6, 2, 7.3534012636632},
    {2439065.5, 10, 7, 6, 0.0070018500146},
    {2439672.5, 14, 0, 3, -0.0000002139524},
    {2439703.5, 14, 0, 3, 0.0000003686444},
    {2440008.5, 6, 4, 4, 0.0112551875594},
    {2440100.5, 14, 0, 4, -0.0000000178983},
    {2441011.5, 3, 6, 5, -0.0178909448042},
    {2442048.5, 4, 10, 6, 0.0038651795331},
    {2442503.5, 10, 3, 2, -0.0022349905904},
    {2442930.5, 3, 10, 3, -0.0008062936891},
    {2443083.5, 3, 8, 2, 27.5700109391193},
    {2444086.5, 6, 4, 5, -0.0128743347170},
    {2445090.5, 3, 8, 1, 1.5377997771461},
    {2445151.5, 10, 3, 2, -0.0016885022388},
    {2446066.5, 1, 4, 6, -0.0183335155184},
    {2447069.5, 6, 7, 4, 0.0013216155586},
    {2448012.5, 3, 8, 2, 26.5882896039021},
    {2449078.5, 11, 8, 5, -0.0009961704602},
    {2450114.5, 13, 10, 2, -0.0025389838701},
    {2451118.5, 14, 0, 1, -0.0000525113866},
    {2452122.5, 4, 11, 2, -1.1984910978202},
    {2453126.5, 13, 3, 1, -0.0000302564300},
    {2454221.5, 5, 6, 3, -4.2820365062439},
    {2455256.5, 13, 8, 5, -0.0173567195612},
    {2456293.5, 14, 0, 1, 0.0000710282734},
    {2457327.5, 4, 9, 1, -9.7439534219362},
    {2458270.5, 3, 8, 4, 0.0150643238625},
    {2459366.5, 7, 4, 6, 0.0047796138869},
    {2460370.5, 8, 13, 6, 0.0076725075084},
    {2461406.5, 14, 0, 3, -0.0000000605105},
    {2462471.5, 10, 6, 5, 0.0020224554937},
    {2463567.5, 1, 9, 3, 14.8572120405931},
    {2464601.5, 1, 6, 1, 6.2326601765055},
    {2465575.5, 13, 1, 6, -0.0110178196074},
    {2466610.5, 11, 2, 3, 0.0634903143305},
    {2467554.5, 4, 12, 4, -0.0123915449323},
    {2468650.5, 4, 9, 5, 0.0081744307684},
    {2469685.5, 5, 9, 2, 15.0371603537544},
    {2470658.5, 6, 11, 3, -2.4557363814454},
    {2471692.5, 12, 6, 1, -9.5288492873247},
    {2472760.5, 7, 6, 4, 0.0051516521620},
    {2473459.5, 6, 10, 1, 4.6351202745952},
};

TEST(EphemerisFile, ReproducesJplTestPoints) {
  const Ephemeris e;
  for (const auto& p : kTestPoints) {
    double got;
    const auto x = static_cast<std::size_t>(p.component - 1);
    if (p.target == 14) {
      got = e.raw(p.jd, 12)[p.component <= 2 ? x : x + 1];
    } else {
      got = e.state(p.jd, p.target)[x] - e.state(p.jd, p.center)[x];
    }
    EXPECT_NEAR(got, p.value, 1e-12)
        << "JD " << p.jd << " target " << p.target << " centre " << p.center << " x" << p.component;
  }
}

// ---------------------------------------------------------------------------
// The nutation series: 106 lines in columns (5i3,8x,2f10.1,1x,f9.1,f10.1).

struct NutationTerm {
  std::array<int, 5> mult;
  double a, at, b, bt;
};

std::vector<NutationTerm> read_nutation() {
  std::vector<NutationTerm> terms;
  for (const auto& line : read_lines("nutation_IAU1980.dat")) {
    NutationTerm t{};
    for (std::size_t i = 0; i < 5; ++i) t.mult[i] = int_field(line, 1 + 3 * i, 3);
    t.a = field(line, 24, 10);
    t.at = field(line, 34, 10);
    t.b = field(line, 45, 9);
    t.bt = field(line, 54, 10);
    terms.push_back(t);
  }
  return terms;
}

TEST(NutationFile, HoldsTheIau1980SeriesInPublishedOrder) {
  const auto lines = read_lines("nutation_IAU1980.dat");
  ASSERT_EQ(lines.size(), 106u);
  for (const auto& l : lines) EXPECT_EQ(l.size(), 63u) << l;
  const auto terms = read_nutation();
  // First terms of the IAU 1980 series (0.0001"): 18.6-year term and 2 Omega term.
  EXPECT_EQ(terms[0].mult, (std::array<int, 5>{0, 0, 0, 0, 1}));
  EXPECT_EQ(terms[0].a, -171996.0);
  EXPECT_EQ(terms[0].at, -174.2);
  EXPECT_EQ(terms[0].b, 92025.0);
  EXPECT_EQ(terms[0].bt, 8.9);
  EXPECT_EQ(terms[1].mult, (std::array<int, 5>{0, 0, 0, 0, 2}));
  EXPECT_EQ(terms[8].a, -13187.0);  // semi-annual term 0 0 2 -2 2
  EXPECT_EQ(terms[8].mult, (std::array<int, 5>{0, 0, 2, -2, 2}));
}

TEST(NutationFile, SeriesReproducesErfaNut80) {
  const auto terms = read_nutation();
  ASSERT_EQ(terms.size(), 106u);
  const double pi = 3.141592653589793238462643;
  const double as2r = pi / 648000.0;
  // erfa.nut80(jd, 0.0) from Debian's python3-erfa 2.0.0 (ERFA 2.0.0):
  // JD (TT), nutation in longitude and in obliquity in radians.
  const struct { double jd, dpsi, deps; } refs[] = {
      {2451545.00, -6.7502476175324775e-05, -2.7992212383770132e-05},
      {2305447.50, 7.3176974289649438e-05, 2.0391824458980797e-05},
      {2415020.00, 8.4063802103853712e-05, -1.1127148444141159e-05},
      {2460370.50, -2.1796647336033287e-05, 4.4428118413223111e-05},
      {2488069.50, 1.5924045265335153e-05, 4.1487352018822516e-05},
      {2436934.25, 1.3823764053077156e-06, -4.7895678274958973e-05},
      {2400000.50, 2.7825899635182995e-05, 3.9695487441881047e-05},
      {2688976.50, -3.2395166917452337e-05, -4.0818536269294014e-05},
  };
  for (const auto& r : refs) {
    const double t = (r.jd - 2451545.0) / 36525.0;
    // IAU 1980 fundamental arguments (arcseconds and revolutions per century).
    const auto arg = [&](double c0, double c1, double revs, double c2, double c3) {
      return std::fmod((c0 + (c1 + (c2 + c3 * t) * t) * t) * as2r +
                           std::fmod(revs * t, 1.0) * 2.0 * pi,
                       2.0 * pi);
    };
    const double l = arg(485866.733, 715922.633, 1325.0, 31.310, 0.064);
    const double lp = arg(1287099.804, 1292581.224, 99.0, -0.577, -0.012);
    const double f = arg(335778.877, 295263.137, 1342.0, -13.257, 0.011);
    const double d = arg(1072261.307, 1105601.328, 1236.0, -6.891, 0.019);
    const double om = arg(450160.280, -482890.539, -5.0, 7.455, 0.008);
    double dpsi = 0.0, deps = 0.0;
    for (const auto& term : terms) {
      const double a = term.mult[0] * l + term.mult[1] * lp + term.mult[2] * f +
                       term.mult[3] * d + term.mult[4] * om;
      dpsi += (term.a + term.at * t) * std::sin(a);
      deps += (term.b + term.bt * t) * std::cos(a);
    }
    EXPECT_NEAR(dpsi * as2r / 1e4, r.dpsi, 1e-12) << "JD " << r.jd;
    EXPECT_NEAR(deps * as2r / 1e4, r.deps, 1e-12) << "JD " << r.jd;
  }
}

}  // namespace
