// Tests of planets3: the centre/body table on a file with constant positions,
// the stop on a failed lookup, and the Earth's position from the shipped file
// against an independent ephemeris.
#include "ephem/planets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "../tests/fixtures/ephem/synthetic_ephemeris.h"
#include "ephem/jpl_file.h"

namespace {

using zembrel::astro::Vec3;
using zembrel::astro::kAuKm;
using zembrel::ephem::planets3;
using zembrel::testing::ScratchDirectory;
using zembrel::testing::SyntheticFile;

constexpr double kEmrat1 = 82.300568221497215;  // 1 + Earth-Moon mass ratio of DE440

// Constant positions (AU): Venus, Earth-Moon barycentre, Moon from the Earth, Sun.
const Vec3 kVenus = {0.31, 0.62, 0.23};
const Vec3 kBary = {0.98, 0.21, 0.09};
const Vec3 kMoon = {0.0021, -0.0013, 0.0006};
const Vec3 kSun = {0.0051, -0.0032, 0.0011};

void expect_vec(const Vec3& got, const Vec3& want, const char* what) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], 1e-14) << what << " [" << i << "]";
}

class ConstantFile : public ::testing::Test {
 protected:
  void SetUp() override {
    file.body_count = 11;
    for (int b : {2, 3, 10, 11}) file.bodies[b] = {2, 1.0};
    file.coef = [](int, int body, int, int c, int j) {
      if (j != 1) return 0.0;
      const Vec3& v = body == 2 ? kVenus : body == 3 ? kBary : body == 10 ? kMoon : kSun;
      return v[c - 1] * kAuKm;
    };
    file.write(zembrel::ephem::kEphemerisFile);
  }
  ScratchDirectory dir;
  SyntheticFile file;
  double jd() const { return file.start + 10.0; }
};

TEST_F(ConstantFile, CentreAndBodyTable) {
  Vec3 earth;
  for (int i = 0; i < 3; ++i) earth[i] = kBary[i] - kMoon[i] / kEmrat1;
  const Vec3 zero = {0.0, 0.0, 0.0};

  auto r = planets3(0, 3, jd());
  expect_vec(r.position, earth, "centre 0, Earth");
  expect_vec(r.sun, kSun, "centre 0, Earth: sun");

  r = planets3(0, 2, jd());
  expect_vec(r.position, kVenus, "centre 0, Venus");
  expect_vec(r.sun, kSun, "centre 0, Venus: sun");

  r = planets3(1, 3, jd());
  expect_vec(r.position, {earth[0] - kSun[0], earth[1] - kSun[1], earth[2] - kSun[2]},
             "centre 1, Earth");
  expect_vec(r.sun, zero, "centre 1, Earth: sun");

  r = planets3(1, 11, jd());  // geocentric Sun
  expect_vec(r.position, {kSun[0] - earth[0], kSun[1] - earth[1], kSun[2] - earth[2]},
             "centre 1, Sun");
  expect_vec(r.sun, kSun, "centre 1, Sun: sun");

  r = planets3(1, 2, jd());
  expect_vec(r.position, {kVenus[0] - kSun[0], kVenus[1] - kSun[1], kVenus[2] - kSun[2]},
             "centre 1, Venus");
  expect_vec(r.sun, zero, "centre 1, Venus: sun");

  for (int centre : {0, 1, 7}) {
    r = planets3(centre, 10, jd());
    expect_vec(r.position, kMoon, "Moon");
    expect_vec(r.sun, zero, "Moon: sun");
  }

  // Any other centre: barycentric, and the Earth-Moon barycentre stays itself.
  r = planets3(2, 3, jd());
  expect_vec(r.position, kBary, "centre 2, barycentre");
  expect_vec(r.sun, kSun, "centre 2: sun");
}

// The status of the stop a planets3 call throws, 0 when it returns.
int stop_status(double jd, int centre, int body) {
  try {
    planets3(centre, body, jd);
  } catch (const zembrel::ephem::CoordError& e) {
    EXPECT_EQ(e.code(), -1);  // "STOP -1", exit status 255
    return e.status();
  }
  return 0;
}

TEST_F(ConstantFile, FailedLookupStopsTheProgram) {
  // Outside the file: status 1 at the very first lookup.
  EXPECT_EQ(stop_status(file.end() + 5.0, 0, 3), 1);
  // Mars has no coefficients in this file: status 3.
  EXPECT_EQ(stop_status(jd(), 1, 4), 3);
  // A body beyond the file: status 2.
  EXPECT_EQ(stop_status(jd(), 0, 12), 2);
}

// The shipped file against ERFA epv00 (python3-erfa 2.0.0), the Earth's
// heliocentric position (h) in AU: epv00 follows DE405 to a few kilometres,
// and DE405 and DE440 agree far better than that for the Earth, so 2e-7 AU
// (30 km) is a safe bound.  The barycentric position (b) is the Earth of
// JPL's kernel itself, de440s.bsp segments 0 -> 3 plus 3 -> 399 (read by
// python3-jplephem 2.18), which the program forms from the Earth-Moon
// barycentre and the Moon with the mass ratio: 1e-14 AU holds only with
// DE440's ratio (DE430's misses by 3e-13 AU).
struct EarthReference {
  double jd;
  Vec3 h, b;
};
const EarthReference kEarth[] = {
    {2451545.0, {-0.1771350728, 0.8874285243, 0.3847428890},
     {-0.18427227843428154, 0.8847811839446423, 0.3838199903352723}},
    {2455000.5, {-0.0571515188, -0.9307208183, -0.4034955093},
     {-0.06014254247443323, -0.9271281567504412, -0.40195058341433004}},
    {2440000.5, {-0.4546344194, -0.8303581862, -0.3600779421},
     {-0.4507143519853548, -0.8316453038663452, -0.3606808635590473}},
};

TEST(ShippedFile, EarthAgreesWithAnIndependentEphemeris) {
  ScratchDirectory dir;
  if (!dir.link_data({zembrel::ephem::kEphemerisFile})) GTEST_SKIP() << "no data file";
  for (const auto& ref : kEarth) {
    const auto bary = planets3(0, 3, ref.jd);
    const auto helio = planets3(1, 3, ref.jd);
    const auto sun = planets3(1, 11, ref.jd);
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(bary.position[i], ref.b[i], 1e-14) << ref.jd;
      EXPECT_NEAR(helio.position[i], ref.h[i], 2e-7) << ref.jd;
      EXPECT_NEAR(sun.position[i], -ref.h[i], 2e-7) << ref.jd;
    }
  }
  // The Earth lies M / 82.300568221497215 from the Earth-Moon barycentre.
  const auto emb = planets3(2, 3, 2451545.0);
  const auto earth = planets3(0, 3, 2451545.0);
  const auto moon = planets3(0, 10, 2451545.0);
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(emb.position[i] - earth.position[i], moon.position[i] / kEmrat1, 1e-15);
  const double r = std::hypot(emb.position[0] - earth.position[0],
                              emb.position[1] - earth.position[1],
                              emb.position[2] - earth.position[2]);
  EXPECT_NEAR(r, 3.1e-5, 0.2e-5);
}

}  // namespace
