// Checks of the five data files shipped in data/ against independent
// published figures.  The files are read here by small readers of their own,
// written from the file layouts alone, so that a fault in a data file cannot
// hide behind the same fault in the program's readers.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "astro/time_scales.h"
#include "ephem/jpl_file.h"
#include "fixtures/scratch_dir.h"

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

// DE440 constants quoted in the comment area of JPL's kernel de440s.bsp
// (Park, Folkner, Williams & Boggs 2021, AJ 161, 105): AU in km, EMRAT.
constexpr double kDe440Au = 149597870.7;
constexpr double kDe440Emrat = 81.300568221497215;

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

  // Position and rate of body `body` (JPL numbering) in AU and AU/day, by
  // the Chebyshev recurrences for T_k and its derivative.
  std::array<double, 6> state(double jd, int body) const {
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
      out[static_cast<std::size_t>(c)] = p / kDe440Au;
      out[static_cast<std::size_t>(c + 3)] = v * 2.0 / len / kDe440Au;
    }
    return out;
  }

 private:
  std::string bytes_;
};

// The span of the kernel de440s.bsp: 1849-12-26 to 2150-01-22, 3425 records.
constexpr double kSpanStart = 2396752.5;
constexpr double kSpanEnd = 2506352.5;
constexpr std::size_t kDataRecords = 3425;

TEST(EphemerisFile, HeaderRecordsDescribeTheDe440Layout) {
  const Ephemeris e;
  ASSERT_EQ(e.size(), (kDataRecords + 2) * kRecordBytes);
  EXPECT_EQ(e.n(), 15);
  // Bodies 1-11 in JPL's order, with the degrees and intervals of the
  // kernel's segments (Mercury 8 days, Venus, EMB and Sun 16, the Moon 4,
  // the outer planets 32); nutations, librations, mantle, TT-TDB absent.
  const std::array<int, 15> offsets = {3, 171, 231, 309, 342, 366, 387, 405, 423, 441, 753, 0, 0, 0, 0};
  const std::array<int, 15> counts = {14, 10, 13, 11, 8, 7, 6, 6, 6, 13, 11, 0, 0, 0, 0};
  const std::array<int, 15> subs = {4, 2, 2, 1, 1, 1, 1, 1, 1, 8, 2, 0, 0, 0, 0};
  int length = 2;
  for (int b = 1; b <= 15; ++b) {
    const auto i = static_cast<std::size_t>(b - 1);
    EXPECT_EQ(e.offset(b), offsets[i]) << "body " << b;
    EXPECT_EQ(e.count(b), counts[i]) << "body " << b;
    EXPECT_EQ(e.subintervals(b), subs[i]) << "body " << b;
    length += e.count(b) * kComponents[i] * e.subintervals(b);
  }
  EXPECT_EQ(length, 818);
  EXPECT_EQ(e.span_start(), kSpanStart);
  EXPECT_EQ(e.span_end(), kSpanEnd);
  EXPECT_EQ(e.record_days(), 32.0);
  // Informational part of record 1: DE number, AU, EMRAT, span, days per
  // record, values per record, records.
  EXPECT_EQ(e.value(1, 2), 440.0);
  EXPECT_EQ(e.value(1, 3), kDe440Au);
  EXPECT_EQ(e.value(1, 4), kDe440Emrat);
  EXPECT_EQ(e.value(1, 5), kSpanStart);
  EXPECT_EQ(e.value(1, 6), kSpanEnd);
  EXPECT_EQ(e.value(1, 8), 818.0);
  EXPECT_EQ(e.value(1, 9), static_cast<double>(kDataRecords));
}

TEST(EphemerisFile, DataRecordsAreContiguousAndZeroPastTheirLength) {
  const Ephemeris e;
  for (std::size_t k = 1; k + 2 <= e.records(); ++k) {
    const double start = kSpanStart + 32.0 * static_cast<double>(k - 1);
    ASSERT_EQ(e.value(k + 2, 1), start) << "data record " << k;
    ASSERT_EQ(e.value(k + 2, 2), start + 32.0) << "data record " << k;
    ASSERT_NE(e.value(k + 2, 818), 0.0) << "data record " << k;
    for (std::size_t v = 819; v <= kRecordValues; v += 7)
      ASSERT_EQ(e.value(k + 2, v), 0.0) << "data record " << k << " value " << v;
  }
}

struct ReferenceState {
  double jd;
  int body;
  std::array<double, 6> state;
};

// States from JPL's DE440 kernel de440s.bsp (SHA-256 c1c7feea...60a49f2, in
// Debian's satdump-data 1.2.2+git20260527.6e4757c31+dfsg-3) read by Debian's
// python3-jplephem 2.18: SPK.open(kernel)[0, b].compute_and_differentiate
// for bodies 2-6 and for the Sun (11, segment 0 -> 10), [3, 301] minus
// [3, 399] for the Moon from the Earth's centre (10); the instant given as
// its 0.5 day and its fraction; kilometres and kilometres per day divided by
// 149597870.7.  Position in AU, then rate in AU/day; TDB Julian dates over
// the whole span, the last 2.6 hours before its end.
constexpr ReferenceState kReferenceStates[] = {
    {2396752.75, 2, {-0.37918313230834522, -0.57338494711581756, -0.23355729599449976,
         0.017093828072504737, -0.0093471933035521974, -0.0052843487317457078}},
    {2399883.7871, 3, {0.53659308734050137, -0.79640105478688117, -0.34548178109406769,
         0.014309311186758298, 0.0083154574193579165, 0.0036085759417029237}},
    {2403014.8242, 4, {-1.0417934184620288, 1.1559837786536444, 0.55844897315403141,
         -0.010325567138214685, -0.0070535205190698242, -0.0029523121162143388}},
    {2406145.8613, 5, {-4.1628072623597188, -3.2368672788237021, -1.2860933878286953,
         0.0047445927059183608, -0.0049527124185251821, -0.0022393438228788466}},
    {2409276.8984, 6, {2.6188326196392291, 8.0466132801693568, 3.2092283603638418,
         -0.0056394888500971921, 0.0013897471501931459, 0.00081546575061378925}},
    {2412407.9355, 10, {0.0013332924103841325, 0.0017917415366100694, 0.00084618164786401113,
         -0.00052069013382179585, 0.00030885089862927283, 0.00019559849991598207}},
    {2415538.9726, 11, {-0.001096694135093288, 0.0064228129510512134, 0.0027889286201890815,
         -8.5257724844042671e-06, -1.5053486950419999e-06, -4.0850021507960143e-07}},
    {2418670.0097, 2, {0.23413674794466285, 0.62683319831257622, 0.2672099574180441,
         -0.019224712463078705, 0.0053927252443104635, 0.0036424692996672829}},
    {2421801.0468, 3, {0.5677955939712277, -0.78044780923278922, -0.33853583226972789,
         0.014015730870707867, 0.0087352640068635735, 0.0037891055338831769}},
    {2424932.0839, 4, {-0.24336246204005482, 1.4302738219576876, 0.66244640609809868,
         -0.013298121446590129, -0.00098582879359252092, -9.0162444334647928e-05}},
    {2428063.121, 5, {-2.7358030101270727, -4.2754494040456716, -1.7661045569896623,
         0.006396311110072158, -0.0031503604557447194, -0.0015065840122358975}},
    {2431194.1581, 6, {0.25877884138100193, 8.3424956606365086, 3.4336293541140273,
         -0.0058745142063621244, 4.1850960156011001e-05, 0.00026965819108820178}},
    {2434325.1952, 10, {-0.0016004611559165707, 0.0019670079763794003, 0.00090308853699076481,
         -0.00045725884525056826, -0.00027496197389868229, -0.00017174560046297261}},
    {2437456.2323, 11, {-0.0017331883746366599, 0.0068377958069596586, 0.0029435938854507258,
         -7.6957793905262371e-06, -3.9344784478219917e-06, -1.4625905514730441e-06}},
    {2440587.2694, 2, {-0.036264845759313519, -0.66107617466376212, -0.29486873098845651,
         0.020056268657132694, -0.00063486789793990039, -0.0015555278557900308}},
    {2443718.3065, 3, {0.5967554379911264, -0.76031690110910366, -0.32982582298823532,
         0.013707411205262086, 0.009145450284334649, 0.0039654056339777774}},
    {2446849.3436, 4, {0.62304652487012868, 1.2584933483526679, 0.56014264233894162,
         -0.01219513681731463, 0.0062426103768345289, 0.0031935319172312526}},
    {2449980.3807, 5, {-0.98478134482604363, -4.7928326199430993, -2.0304067296180444,
         0.0073153279267757759, -0.00089829457122931548, -0.00056326608768983454}},
    {2453111.4178, 6, {-2.1304687722743592, 8.0823400966321941, 3.4300343441819821,
         -0.0057192690334065604, -0.0013183930947866949, -0.00029833776018196043}},
    {2456242.4549, 10, {-0.0024333620053442317, -0.00023448467783835977, -0.00028658783785132569,
         0.00011667507266179621, -0.00057038679110662182, -0.00020327698640886812}},
    {2459373.492, 11, {-0.0076375856420191224, 0.0045139934462443488, 0.0021071850126661074,
         -5.585566969755524e-06, -6.6031714861621313e-06, -2.6568677119865497e-06}},
    {2462504.5291, 2, {-0.1260218662601702, 0.64283021334648371, 0.29730747242784128,
         -0.019982087427909568, -0.0038035929223192468, -0.00044758208402484158}},
    {2465635.5662, 3, {0.62224936752138671, -0.74473130825342493, -0.32293133204224861,
         0.013383968350361418, 0.0095462128029804895, 0.0041374911714039293}},
    {2468766.6033, 4, {1.253948857253931, 0.62529910650848441, 0.25304513565344278,
         -0.0060817207636125427, 0.012233950984831278, 0.0057755203251700239}},
    {2471897.6404, 5, {0.89006182442622128, -4.7125621223620326, -2.0413361250671578,
         0.0073350463949121902, 0.001573570923647138, 0.00049598231060909677}},
    {2475028.6775, 6, {-4.3757823581226027, 7.2747939858808079, 3.194518021618443,
         -0.0051845235555631501, -0.0025817939933989349, -0.0008430161992314674}},
    {2478159.7146, 10, {-1.6405113072739248e-05, -0.0024260749014188513, -0.00082761268005611052,
         0.00059117143117496859, -3.118148084928318e-05, -3.352952385838323e-05}},
    {2481290.7517, 11, {-0.006382832543870654, 0.0023040272875546153, 0.0011820623886547078,
         -3.0168562222716414e-06, -7.8459978399887206e-06, -3.2586450521318529e-06}},
    {2484421.7888, 2, {0.30992759584005874, -0.59263398922273103, -0.28628023378141287,
         0.018182125900667635, 0.0081680700840061262, 0.0025275313492800467}},
    {2487552.8259, 3, {0.6500398572587438, -0.72388615933343203, -0.31389813685628093,
         0.013046380998375054, 0.0099369874232574078, 0.00430511806409527}},
    {2490683.863, 4, {1.3469892794011475, -0.26266924104743489, -0.15657527736040897,
         0.0035850440019582147, 0.013535654542469961, 0.0061131255279007844}},
    {2493814.9001, 5, {2.6458106625183628, -4.0058359552907845, -1.780905632321151,
         0.0063604582702815578, 0.0039628575519321738, 0.0015437612196007098}},
    {2496945.9372, 6, {-6.3219689646414157, 5.9949166042436923, 2.7509624580792047,
         -0.0043255882137904836, -0.0036508272388301715, -0.0013217581247801865}},
    {2500076.9743, 10, {0.0021884569902660177, -0.0012387421890898665, -0.00079035404506694578,
         0.00028702527256152527, 0.0004594106944773162, 0.00018643337107968896}},
    {2503208.0114, 11, {-0.0060037270810934813, 0.0022727864272689031, 0.0011332652515083418,
         -9.3469536857934668e-09, -7.9788468701986798e-06, -3.3884210834615198e-06}},
    {2506352.25, 2, {-0.6242983886112109, 0.31157303260612501, 0.17971711627468559,
         -0.01002918993038257, -0.016380476337680468, -0.006744258433480226}},
};

TEST(EphemerisFile, ReproducesDe440StatesFromTheKernel) {
  const Ephemeris e;
  for (const auto& r : kReferenceStates) {
    const auto got = e.state(r.jd, r.body);
    for (std::size_t i = 0; i < 6; ++i)
      EXPECT_NEAR(got[i], r.state[i], 1e-12) << "JD " << r.jd << " body " << r.body << " value " << i;
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

// ---------------------------------------------------------------------------
// The time-scale tables, read as whitespace-separated records.

std::vector<std::vector<double>> read_table(const std::string& name, std::size_t header,
                                            std::size_t values) {
  const auto lines = read_lines(name);
  std::vector<std::vector<double>> rows;
  for (std::size_t i = header; i < lines.size(); ++i) {
    std::istringstream in(lines[i]);
    std::vector<double> row;
    double v;
    while (in >> v) row.push_back(v);
    EXPECT_EQ(row.size(), values) << name << " line " << i + 1;
    rows.push_back(row);
  }
  return rows;
}

// Julian date of 0h of a civil date: Julian calendar up to 1582-10-04,
// Gregorian from 1582-10-15 (Meeus, Astronomical Algorithms, ch. 7).
double jd0(int y, int m, int d) {
  const bool gregorian = y * 10000 + m * 100 + d >= 15821015;
  if (m <= 2) { y -= 1; m += 12; }
  double b = 0.0;
  if (gregorian) { const int a = y / 100; b = 2 - a + a / 4; }
  return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + d + b - 1524.5;
}

TEST(TimeScaleTables, IersSeriesIsC04ThenBulletinA) {
  const auto lines = read_lines("delta_t.iers");
  ASSERT_GT(lines.size(), 12u);
  EXPECT_NE(lines[0].find("C04"), std::string::npos);
  EXPECT_NE(lines[3].find("PREDICTIONS FROM"), std::string::npos);
  const auto rows = read_table("delta_t.iers", 12, 16);
  ASSERT_GT(rows.size(), 22000u);
  // First record of the IERS C04 series: 1962-01-01, MJD 37665.
  EXPECT_EQ(rows.front()[0], 1962.0);
  EXPECT_EQ(rows.front()[3], 37665.0);
  EXPECT_EQ(rows.front()[6], 0.0326338);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const auto& r = rows[i];
    ASSERT_EQ(r[3], rows[i - 1][3] + 1.0) << "line " << i + 13;  // one day per record
    ASSERT_EQ(r[3], jd0(static_cast<int>(r[0]), static_cast<int>(r[1]), static_cast<int>(r[2])) - 2400000.5);
    if (r[0] >= 1972.0) {
      ASSERT_LT(std::fabs(r[6]), 0.9) << "line " << i + 13;  // UTC kept within 0.9 s
    }
  }
  // The leap second at the end of 2016: UT1-UTC steps up by one second.
  for (std::size_t i = 1; i < rows.size(); ++i)
    if (rows[i][0] == 2017.0 && rows[i][1] == 1.0 && rows[i][2] == 1.0) {
      EXPECT_NEAR(rows[i][6] - rows[i - 1][6], 1.0, 0.01);
    }
}

TEST(TimeScaleTables, DeltaTCoversTheEphemerisYearsContinuously) {
  const auto rows = read_table("delta_t.dat", 1, 7);
  ASSERT_GT(rows.size(), 1000u);
  EXPECT_EQ(rows.front()[0], 1550.0);
  EXPECT_GE(rows.back()[0], 2650.0);
  double last_jd = 0.0;
  for (const auto& r : rows) {
    const double jd = jd0(static_cast<int>(r[0]), static_cast<int>(r[1]), static_cast<int>(r[2]));
    ASSERT_GT(jd, last_jd) << r[0] << "-" << r[1] << "-" << r[2];
    ASSERT_LE(jd - last_jd, 366.0 + (last_jd == 0.0 ? 1e9 : 0.0));  // no gap over a year
    EXPECT_EQ(r[3], jd - 2400000.5);                                 // column 4: MJD
    EXPECT_NEAR(r[4], 2000.0 + (jd - 2451545.0) / 365.25, 1e-6);     // column 5: decimal year
    last_jd = jd;
  }
  // Delta T (s) at 0h UT1 of 1 January, from Debian's python3-skyfield 1.45
  // (load.timescale(builtin=True), Time.delta_t): the Morrison, Stephenson,
  // Hohenkerk & Zawilski (2021) splines before 1973, IERS data after.
  const struct { double year, delta_t, tol; } refs[] = {
      {1600, 109.1162, 1e-3}, {1700, 14.0979, 1e-3}, {1800, 18.3656, 1e-3},
      {1900, -1.9754, 1e-3},  {1950, 28.9320, 1e-3}, {1961, 33.3582, 1e-3},
      {1980, 50.5387, 2e-3},  {2000, 63.8285, 2e-3}, {2020, 69.3612, 2e-3},
  };
  for (const auto& ref : refs) {
    bool found = false;
    for (const auto& r : rows)
      if (r[0] == ref.year && r[1] == 1.0 && r[2] == 1.0) {
        EXPECT_NEAR(r[5], ref.delta_t, ref.tol) << ref.year;
        found = true;
      }
    EXPECT_TRUE(found) << ref.year;
  }
  // Source flags in order: splines, observed, predicted, long-term model.
  for (std::size_t i = 1; i < rows.size(); ++i) ASSERT_GE(rows[i][6], rows[i - 1][6]) << rows[i][0];
  EXPECT_EQ(rows.back()[6], 5.0);
  // After the observations: a smooth join to the long-term parabola of
  // Morrison & Stephenson (2004), -20 + 32 u^2 s, u = (year - 1820)/100.
  for (std::size_t i = 1; i < rows.size(); ++i) {
    ASSERT_LT(std::fabs(rows[i][5] - rows[i - 1][5]), 6.0) << rows[i][0];
    if (rows[i][0] >= 2151.0) {
      const double u = (rows[i][4] - 1820.0) / 100.0;
      EXPECT_NEAR(rows[i][5], -20.0 + 32.0 * u * u, 1e-4) << rows[i][0];
    }
  }
}

TEST(TimeScaleTables, DeltaTIsDailyOnTheIersDaysAndSumsToWholeLeapSeconds) {
  // Every day of delta_t.iers has its Delta T; from 1972, when UTC keeps
  // whole leap seconds, Delta T + (UT1 - UTC) - 32.184 s is TAI - UTC, a
  // whole number of seconds that steps up by one at each leap second, from
  // 10 s to 37 s.
  std::map<double, double> dut1;  // MJD -> UT1 - UTC
  for (const auto& r : read_table("delta_t.iers", 12, 16)) dut1[r[3]] = r[6];
  std::size_t days = 0;
  double tai_utc = 10.0;
  for (const auto& r : read_table("delta_t.dat", 1, 7)) {
    const auto it = dut1.find(r[3]);
    if (it == dut1.end()) continue;
    ++days;
    if (r[0] < 1972.0) continue;
    const double sum = r[5] + it->second - 32.184;
    ASSERT_NEAR(sum, std::round(sum), 1e-6) << r[0] << "-" << r[1] << "-" << r[2];
    ASSERT_TRUE(std::round(sum) == tai_utc || std::round(sum) == tai_utc + 1.0)
        << r[0] << "-" << r[1] << "-" << r[2] << ": " << sum;
    tai_utc = std::round(sum);
  }
  EXPECT_EQ(days, dut1.size());
  EXPECT_EQ(tai_utc, 37.0);
}

// ---------------------------------------------------------------------------
// The star catalogue.

struct Star {
  std::string name;
  double ra_hours, dec_degrees, pm_ra, pm_dec, rv, parallax;
};

// Packed sexagesimal h.mmss or d.mmss to hours or degrees, from the digits.
double unpack(const std::string& field_text, bool* ok) {
  std::string t;
  for (char ch : field_text) if (ch != ' ') t += ch;
  const bool negative = !t.empty() && t[0] == '-';
  if (negative) t.erase(0, 1);
  const auto dot = t.find('.');
  *ok = dot != std::string::npos && t.size() >= dot + 5;
  if (!*ok) return 0.0;
  const double whole = std::stod(t.substr(0, dot));
  const double minutes = std::stod(t.substr(dot + 1, 2));
  const double seconds = std::stod(t.substr(dot + 3, 2) + "." + t.substr(dot + 5));
  *ok = minutes < 60.0 && seconds < 60.0;
  const double v = whole + minutes / 60.0 + seconds / 3600.0;
  return negative ? -v : v;
}

std::vector<Star> read_catalogue() {
  const auto lines = read_lines("estrellas.dat");
  std::vector<Star> stars;
  for (std::size_t i = 6; i < lines.size(); ++i) {
    const auto& l = lines[i];
    EXPECT_EQ(l.size(), 111u) << l;
    if (l.size() < 111) continue;
    Star s;
    s.name = l.substr(3, 15);
    bool ok_ra, ok_dec;
    s.ra_hours = unpack(l.substr(20, 15), &ok_ra);
    s.dec_degrees = unpack(l.substr(39, 14), &ok_dec);
    EXPECT_TRUE(ok_ra && ok_dec) << l;
    s.pm_ra = field(l, 59, 10);
    s.pm_dec = field(l, 78, 10);
    s.rv = field(l, 92, 8);
    s.parallax = field(l, 103, 9);
    stars.push_back(s);
  }
  return stars;
}

TEST(StarCatalogue, NinetyNineStarsInTheAlmanacOrder) {
  const auto stars = read_catalogue();
  ASSERT_EQ(stars.size(), 99u);
  EXPECT_EQ(stars[0].name, "Alpheratz      ");
  EXPECT_EQ(stars[17].name, "Sirius         ");
  EXPECT_EQ(stars[37].name, "Rigil Kentaurus");
  EXPECT_EQ(stars[48].name, "Vega           ");
  EXPECT_EQ(stars[56].name, "Markab         ");
  EXPECT_EQ(stars[57].name, "Polaris        ");
  for (std::size_t i = 0; i < stars.size(); ++i) {
    const auto& s = stars[i];
    EXPECT_NE(s.name[0], ' ') << "star " << i + 1;
    for (char ch : s.name) EXPECT_TRUE(ch >= ' ' && ch <= '~') << s.name;
    EXPECT_TRUE(s.ra_hours >= 0.0 && s.ra_hours < 24.0) << s.name;
    EXPECT_TRUE(std::fabs(s.dec_degrees) <= 90.0) << s.name;
    EXPECT_EQ(s.rv, 0.0) << s.name;
    EXPECT_GT(s.parallax, 0.0) << s.name;
    if (i >= 59) {
      EXPECT_GE(s.ra_hours, stars[i - 1].ra_hours) << "stars 59-99 go by RA";
    }
  }
  // A declination between 0 and -1 degree keeps its minus sign (Mintaka).
  bool mintaka = false;
  for (const auto& l : read_lines("estrellas.dat"))
    if (l.find("Mintaka") != std::string::npos) {
      mintaka = true;
      EXPECT_NE(l.substr(39, 14).find("-0."), std::string::npos) << l;
    }
  EXPECT_TRUE(mintaka);
}

TEST(StarCatalogue, FamousStarsMatchPublishedHipparcosValues) {
  const auto stars = read_catalogue();
  ASSERT_EQ(stars.size(), 99u);
  // Hipparcos catalogue (ESA 1997, I/239) proper motions (mas/yr, mu_alpha*cos
  // delta); parallaxes of ESA 1997 and of the new reduction (van Leeuwen 2007);
  // ICRS positions at epoch J2000.0 as published by SIMBAD from Hipparcos.
  const struct {
    std::size_t number;
    int rh, rm; double rs;
    int dd, dm; double ds;
    double pm_ra, pm_dec, plx1997, plx2007;
  } refs[] = {
      {18, 6, 45, 8.91728, -16, 42, 58.0171, -546.01, -1223.08, 379.21, 379.21},   // Sirius
      {49, 18, 36, 56.33635, 38, 47, 1.2802, 201.02, 287.46, 128.93, 130.23},      // Vega
      {58, 2, 31, 49.09456, 89, 15, 50.7923, 44.22, -11.74, 7.56, 7.54},           // Polaris
      {38, 14, 39, 36.49400, -60, 50, 2.3737, -3678.19, 481.84, 742.12, 754.81},   // Rigil Kent.
  };
  const double deg = 3.141592653589793 / 180.0;
  for (const auto& r : refs) {
    const auto& s = stars[r.number - 1];
    const double ra = r.rh + r.rm / 60.0 + r.rs / 3600.0;
    const double dec = (r.dd < 0 ? -1.0 : 1.0) * (std::abs(r.dd) + r.dm / 60.0 + r.ds / 3600.0);
    EXPECT_NEAR((s.ra_hours - ra) * 15.0 * 3600.0 * std::cos(dec * deg), 0.0, 0.1) << s.name;
    EXPECT_NEAR((s.dec_degrees - dec) * 3600.0, 0.0, 0.1) << s.name;
    EXPECT_NEAR(s.pm_ra, r.pm_ra, 0.5) << s.name;
    EXPECT_NEAR(s.pm_dec, r.pm_dec, 0.5) << s.name;
    EXPECT_TRUE(std::fabs(s.parallax - r.plx1997) < 0.05 || std::fabs(s.parallax - r.plx2007) < 0.05)
        << s.name << " " << s.parallax;
  }
}

// ---------------------------------------------------------------------------
// The shipped tables through the program's own reader.

// Runs a test in a fresh working directory holding copies of the data files.
class WorkDirWithData : public zembrel::testing::ScratchDirectory {
 public:
  WorkDirWithData() {
    copy_data({"JPL_1550-2650_430t", "nutation_IAU1980.dat", "delta_t.iers", "delta_t.dat",
               "estrellas.dat"});
  }
};

TEST(ShippedTables, TimeScalesGiveTtMinusUtcFromTheLeapSecondTable) {
  const WorkDirWithData dir;
  // At 0h UTC of the first of a month both tables hold an entry, and
  // TT - UTC = 32.184 s + (TAI - UTC).  TAI - UTC from IERS Bulletin C.
  const struct { int y, m; double tai_utc; } refs[] = {
      {1980, 1, 19.0}, {2000, 1, 32.0}, {2017, 1, 37.0}, {2022, 11, 37.0},
  };
  for (const auto& r : refs) {
    const double jd_utc = jd0(r.y, r.m, 1);
    const auto t = zembrel::astro::time_scales(jd_utc);
    EXPECT_NEAR((t.jd_tt - jd_utc) * 86400.0, 32.184 + r.tai_utc, 1e-4) << r.y << "-" << r.m;
  }
}

TEST(ShippedTables, CoordReproducesDe440StatesOverTheWholeSpan) {
  const WorkDirWithData dir;
  for (const auto& r : kReferenceStates) {
    const auto got = zembrel::ephem::coord(r.jd, r.body);
    ASSERT_EQ(got.status, 0) << "JD " << r.jd << " body " << r.body;
    for (std::size_t i = 0; i < 6; ++i)
      EXPECT_NEAR(got.state[i], r.state[i], 1e-12) << "JD " << r.jd << " body " << r.body << " value " << i;
  }
  // Nutations and librations are not in the kernel; instants before
  // 1849-12-26 and from 2150-01-22 are outside the file.
  EXPECT_EQ(zembrel::ephem::coord(2451545.0, 12).status, 3);
  EXPECT_EQ(zembrel::ephem::coord(2451545.0, 13).status, 3);
  EXPECT_EQ(zembrel::ephem::coord(kSpanStart, 3).status, 0);
  EXPECT_EQ(zembrel::ephem::coord(kSpanStart - 1e-6, 3).status, 1);
  EXPECT_EQ(zembrel::ephem::coord(kSpanEnd - 1e-6, 10).status, 0);
  EXPECT_EQ(zembrel::ephem::coord(kSpanEnd, 10).status, 1);
}

}  // namespace
