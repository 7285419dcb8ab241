// IAU 1976 precession, IAU 1980 nutation and mean obliquity against ERFA.
#include "astro/precession_nutation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fixtures/scratch_dir.h"
#include "fixtures/stops.h"

namespace zembrel::astro {
namespace {

using zembrel::testing::ScratchDirectory;
using zembrel::testing::StopsWith;

// Reference values from ERFA 2.0.0 (Debian python3-erfa): erfa.obl80(jd, 0),
// erfa.nut80(jd, 0) -> (dpsi, deps), all radians, TT Julian dates.
struct NutationRef {
  double jd, eps0, dpsi, deps;
};
constexpr NutationRef kNutationRefs[] = {
    {2436934.800, 0.40918359065481019, 1.5431284807331397e-06, -4.7765052918756692e-05},
    {2442614.250, 0.40914829940156233, 7.6862787913739729e-05, -2.5541635505685556e-05},
    {2446895.500, 0.40912169604580345, -1.8363890684754518e-05, 4.5778364005102591e-05},
    {2451545.000, 0.40909280422232897, -6.7502476175324775e-05, -2.7992212383770132e-05},
    {2456108.625, 0.4090644459321725, 7.6031999771155394e-05, -2.2518209969612234e-05},
    {2460370.400, 0.40903796334311199, -2.1769532339259626e-05, 4.4443892947189052e-05},
    {2469807.000, 0.40897932495046968, 7.3615818973951039e-05, -2.5778207561520359e-05},
};

// erfa.pmat76(jd, 0): the precession matrix from J2000.0 to the mean frame of jd.
struct PrecessionRef {
  double jd;
  double m[3][3];
};
constexpr PrecessionRef kPrecessionRefs[] = {
    {2436934.800,
     {{0.99995244987367726, 0.0089435860037771209, 0.0038871919201332464},
      {-0.0089435860084231059, 0.99996000518379646, -1.7381935716248613e-05},
      {-0.0038871919094438426, -1.7384326065949474e-05, 0.9999924446898808}}},
    {2442614.250,
     {{0.99998223164560451, 0.0054672410237677164, 0.0023760615869070881},
      {-0.0054672410244163451, 0.99998505450501396, -6.4950354131899184e-06},
      {-0.0023760615854146161, -6.4955813773793477e-06, 0.99999717714059055}}},
    {2446895.500,
     {{0.99999518376938745, 0.0028464517698683278, 0.0012369924617843839},
      {-0.0028464517699159772, 0.99999594884640508, -1.7604854099362908e-06},
      {-0.0012369924616747365, -1.7605624511863148e-06, 0.99999923492298237}}},
    {2456108.625,
     {{0.99999535951816854, -0.0027940921320136051, -0.0012140804284417037},
      {0.0027940921319693814, 0.99999609651552201, -1.6961666476885177e-06},
      {0.0012140804285434813, -1.6960937960289739e-06, 0.99999926300264652}}},
    {2460370.400,
     {{0.99998264464760545, -0.0054035437413949526, -0.002347790155768865},
      {0.0054035437407764422, 0.99998540073083131, -6.3435118883150491e-06},
      {0.0023477901571923921, -6.3429850064305927e-06, 0.99999724391677414}}},
    {2469807.000,
     {{0.99992567981955849, -0.01118197026300094, -0.0048578162204065559},
      {0.011181970251661823, 0.9999374794473127, -2.7163321737277178e-05},
      {0.0048578162465075124, -2.7158653510322107e-05, 0.99998820037224578}}},
};

constexpr double kTol = 1e-11;  // radians

TEST(MeanObliquity, AgreesWithErfaObl80) {
  for (const auto& r : kNutationRefs) EXPECT_NEAR(mean_obliquity(r.jd), r.eps0, 1e-14) << r.jd;
  // 84381.448 arcseconds at J2000.0.
  EXPECT_NEAR(mean_obliquity(2451545.0) * 180.0 / kPi, 23.4392911, 5e-8);
}

TEST(Precession, AgreesWithErfaPmat76FromJ2000) {
  for (const auto& r : kPrecessionRefs) {
    for (int col = 0; col < 3; ++col) {
      Vec3 e{};
      e[col] = 1.0;
      const Vec3 w = precession_ecuatoriales(2451545.0, r.jd, e);
      for (int row = 0; row < 3; ++row) EXPECT_NEAR(w[row], r.m[row][col], kTol) << r.jd;
    }
  }
}

TEST(Precession, ZeroIntervalLeavesTheVectorUnchanged) {
  const Vec3 v{0.3, -0.5, 0.8};
  const Vec3 w = precession_ecuatoriales(2451545.0, 2451545.0, v);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(w[i], v[i], 1e-15);
  // And from a date other than J2000.0 to itself.
  const Vec3 u = precession_ecuatoriales(2460000.5, 2460000.5, v);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(u[i], v[i], 1e-15);
}

TEST(NutationRotation, AgreesWithErfaNumat) {
  // erfa.numat(obl80, dpsi, deps) at jd 2456108.625 (values of kNutationRefs[4]).
  constexpr double m[3][3] = {
      {0.99999999710956755, -6.9758853500269367e-05, -3.0241814369998737e-05},
      {6.9759534474108859e-05, 0.99999999731329259, 2.251715514028918e-05},
      {3.0240243517821158e-05, -2.2519264730069821e-05, 0.99999999928920524}};
  const NutationRef& r = kNutationRefs[4];
  for (int col = 0; col < 3; ++col) {
    Vec3 e{};
    e[col] = 1.0;
    const Vec3 w = nutation_ecuatoriales(r.eps0, r.eps0 + r.deps, r.dpsi, e);
    for (int row = 0; row < 3; ++row) EXPECT_NEAR(w[row], m[row][col], 1e-15);
  }
}

class NutationFileTest : public ::testing::Test {
 protected:
  static std::string fixture() {
    std::ifstream in(std::string(ZEMBREL_TEST_DIR) + "/fixtures/frames/nutation_IAU1980.dat");
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  ScratchDirectory dir_;
};

TEST_F(NutationFileTest, AgreesWithErfaNut80) {
  // The fixture holds the 106 terms with the sine and cosine coefficients
  // written without a decimal point (implied ".1") and the rates with one.
  ScratchDirectory::copy_fixture("nutation_IAU1980.dat");
  for (const auto& r : kNutationRefs) {
    const Nutation n = nutation_parameters(r.jd);
    EXPECT_NEAR(n.dpsi, r.dpsi, kTol) << r.jd;
    EXPECT_NEAR(n.deps, r.deps, kTol) << r.jd;
    EXPECT_NEAR(n.eps0, r.eps0, 1e-14) << r.jd;
    EXPECT_DOUBLE_EQ(n.eps, n.eps0 + n.deps);
  }
}

TEST_F(NutationFileTest, SuppliedDataFileAgreesWithErfaNut80) {
  const std::string data = std::string(ZEMBREL_DATA_DIR) + "/nutation_IAU1980.dat";
  if (!std::filesystem::exists(data)) GTEST_SKIP() << "no " << data;
  std::filesystem::copy_file(data, "nutation_IAU1980.dat");
  for (const auto& r : kNutationRefs) {
    const Nutation n = nutation_parameters(r.jd);
    EXPECT_NEAR(n.dpsi, r.dpsi, kTol) << r.jd;
    EXPECT_NEAR(n.deps, r.deps, kTol) << r.jd;
  }
}

TEST_F(NutationFileTest, AFileReplacedBetweenCallsTakesEffectAtOnce) {
  ScratchDirectory::copy_fixture("nutation_IAU1980.dat");
  const Nutation before = nutation_parameters(2451545.0);
  // Same file with the largest term's longitude coefficient doubled, written
  // in place (same size, same inode).
  std::string text = fixture();
  const auto pos = text.find("  -1719960");
  ASSERT_NE(pos, std::string::npos);
  text.replace(pos, 10, "  -3439920");
  ScratchDirectory::write("nutation_IAU1980.dat", text);
  const Nutation after = nutation_parameters(2451545.0);
  // The term is -171996.0e-4" sin(Omega), Omega = 125.0445222 deg at J2000.0.
  const double term = -171996.0e-4 / 3600.0 * kPi / 180.0 * std::sin(125.0445222 * kPi / 180.0);
  EXPECT_NEAR(after.dpsi - before.dpsi, term, 1e-10);
  EXPECT_EQ(after.deps, before.deps);
}

TEST_F(NutationFileTest, LinesAfterThe106thAreIgnored) {
  ScratchDirectory::write("nutation_IAU1980.dat", fixture() + "garbage that is never read\n");
  EXPECT_NEAR(nutation_parameters(kNutationRefs[0].jd).dpsi, kNutationRefs[0].dpsi, kTol);
}

TEST_F(NutationFileTest, MissingShortOrMalformedFilesStop) {
  // A missing file is reported, naming it, and not created.
  EXPECT_TRUE(StopsWith([] { nutation_parameters(2451545.0); }, "nutation_IAU1980\\.dat"));
  EXPECT_FALSE(std::filesystem::exists("nutation_IAU1980.dat"));

  // 105 records: the end-of-file stop.
  std::string text = fixture();
  std::string short_text = text.substr(0, text.rfind('\n', text.size() - 2) + 1);
  ScratchDirectory::write("nutation_IAU1980.dat", short_text);
  EXPECT_TRUE(StopsWith([] { nutation_parameters(2451545.0); }, "End of file"));

  // A letter in a numeric field.
  std::string bad = text;
  bad[30] = 'x';  // inside the first record's A field (columns 24-33)
  ScratchDirectory::write("nutation_IAU1980.dat", bad);
  EXPECT_TRUE(StopsWith([] { nutation_parameters(2451545.0); }, "Bad value"));
}

}  // namespace
}  // namespace zembrel::astro
