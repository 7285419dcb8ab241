// Option 7 against an independent almanac: the expected screens of the planner
// transcripts, and the program itself over a sweep of longitudes and hours,
// are checked by tests/checks/planner_check.py with PyEphem and ERFA (Sun
// events of the local date and the situation, the wait, the event's legal
// time and the dead-reckoning position within a minute and 0.1', every listed
// altitude and azimuth within 0.05 degrees).  Skipped where the system python
// lacks those modules.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "fixtures/scratch_dir.h"

namespace {

const std::string kPython = "/usr/bin/python3";
const std::string kCheck = std::string(ZEMBREL_TEST_DIR) + "/checks/planner_check.py";
const std::string kCatalogue = std::string(ZEMBREL_DATA_DIR) + "/estrellas.dat";

bool have_references() {
  return std::system((kPython + " -c 'import ephem, erfa' >/dev/null 2>&1").c_str()) == 0;
}

// The check's verdict; its report is kept in `report`.
int check(const std::string& input, const std::string& screen, std::string& report) {
  const int status = std::system(
      (kPython + " " + kCheck + " " + kCatalogue + " " + input + " " + screen + " >check.txt 2>&1").c_str());
  std::ifstream in("check.txt");
  std::ostringstream text;
  text << in.rdbuf();
  report = text.str();
  return status;
}

class PlannerAgainstAlmanac : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have_references()) GTEST_SKIP() << "no PyEphem/ERFA for " << kPython;
  }
};

TEST_F(PlannerAgainstAlmanac, TranscriptsHoldTheAlmanacValues) {
  zembrel::testing::ScratchDirectory dir;
  for (const char* name : {"crepusculo_cinco_casos", "crepusculo_fechas_locales", "crepusculo_espera",
                           "crepusculo_alta_latitud", "crepusculo_medianoche_legal",
                           "crepusculo_respuestas_corregidas"}) {
    const std::string prefix = std::string(ZEMBREL_TEST_DIR) + "/transcripts/" + name;
    // The answers as they were taken (without the refused ones).
    const std::string answers = prefix + (std::ifstream(prefix + ".right") ? ".right" : ".in");
    std::string report;
    EXPECT_EQ(check(answers, prefix + ".out", report), 0) << name << "\n" << report;
  }
}

// Every situation far from Greenwich, where the UT day searches and the local
// day differ, both hemispheres, with the ship under way to the west.
TEST_F(PlannerAgainstAlmanac, SweepOfLongitudesAndHours) {
  zembrel::testing::ScratchDirectory dir;
  ASSERT_TRUE(dir.link_data(
      {"JPL_1550-2650_430t", "estrellas.dat", "nutation_IAU1980.dat", "delta_t.iers", "delta_t.dat"}));
  std::ostringstream in;
  in << "7\n";
  for (const char* place : {"35 %d\n10 3 2024", "-35 %d\n15 6 2024"}) {
    for (int longitude = -165; longitude < 180; longitude += 50) {
      for (int hour = 1; hour < 24; hour += 4) {
        char answers[64];
        std::snprintf(answers, sizeof answers, place, longitude);
        in << answers << "\n" << hour << ".20\n12 270\n1\n1\n";
      }
    }
  }
  std::string text = in.str();
  text.replace(text.size() - 2, 2, "0\n0\n");  // no new calculation, leave the menu
  zembrel::testing::ScratchDirectory::write("sweep.in", text);
  ASSERT_EQ(std::system((std::string(ZEMBREL_BINARY) + " <sweep.in >sweep.out").c_str()), 0);
  std::string report;
  EXPECT_EQ(check("sweep.in", "sweep.out", report), 0) << report;
}

}  // namespace
