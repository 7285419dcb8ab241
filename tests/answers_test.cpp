// The checked answers at the edges of their ranges: each reader is fed
// answers it must refuse, then one it must take, and the screen must hold
// exactly one refusal line per refused answer.  The edges: 24.00 h, the
// poles and the date line, 0 and 360 degrees, a height of 0, the weather
// limits, February in a Julian, a Gregorian and a Gregorian century year,
// and packed values that the nearest double holds a little below what was
// typed (10.30, 40.5959).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "fixtures/scratch_dir.h"
#include "utilities/answers.h"

namespace zembrel::utilities {
namespace {

// Runs `reads` in a child process with `answers` as the keyboard and the
// screen in screen.txt; the child's status says whether `reads` found the
// values it expected.  Returns the screen.
std::string dialogue(const std::string& answers, const std::function<bool()>& reads) {
  testing::ScratchDirectory::write("answers.txt", answers);
  EXPECT_EXIT(
      {
        if (std::freopen("answers.txt", "r", stdin) == nullptr) std::exit(9);
        if (std::freopen("screen.txt", "w", stdout) == nullptr) std::exit(9);
        const bool ok = reads();
        std::fflush(stdout);
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  std::ostringstream s;
  s << std::ifstream("screen.txt").rdbuf();
  return s.str();
}

TEST(Answers, TimesAtTheEdges) {
  testing::ScratchDirectory dir;
  const std::string screen = dialogue("24.0001\n-0.30\n23.60\n23.5960\n10,30\n24.00\n10.30\n23.5959\n", [] {
    double t = 0.0, u = 0.0, v = 0.0;
    read_time(t);
    read_time(u);
    read_time(v);
    return t == 24.0 && u == 10.30 && v == 23.5959;
  });
  EXPECT_EQ(screen,
            " Hora fuera de rango (0 a 24): vuelva a escribir la hora\n"
            " Hora fuera de rango (0 a 24): vuelva a escribir la hora\n"
            " Minutos de la hora fuera de rango (0 a 59): vuelva a escribir la hora\n"
            " Segundos de la hora fuera de rango (menos de 60): vuelva a escribir la hora\n"
            " Use el punto decimal, no la coma: 10.30\n");
}

TEST(Answers, PositionsAtThePolesAndTheDateLine) {
  testing::ScratchDirectory dir;
  const std::string screen =
      dialogue("90.0001 0\n-90.00 180.0001\n40.5960 0\nnan 0\n90.00 -180.00\n-90.00 180.00\n40.5959 -3.0059\n"
               "180.0060\n-180.00\n",
               [] {
                 double a = 1.0, b = 1.0, c = 1.0, d = 1.0, e = 1.0, f = 1.0, g = 1.0;
                 read_position(a, b);
                 read_position(c, d);
                 read_position(e, f);
                 read_longitude(g);
                 return a == 90.0 && b == -180.0 && c == -90.0 && d == 180.0 && e == 40.5959 && f == -3.0059 &&
                        g == -180.0;
               });
  EXPECT_EQ(screen,
            " Latitud fuera de rango (-90 a 90): vuelva a escribir latitud y longitud\n"
            " Longitud fuera de rango (-180 a 180): vuelva a escribir latitud y longitud\n"
            " Segundos de la latitud fuera de rango (menos de 60): vuelva a escribir latitud y longitud\n"
            " Latitud fuera de rango (-90 a 90): vuelva a escribir latitud y longitud\n"
            " Segundos de la longitud fuera de rango (menos de 60): vuelva a escribir la longitud\n");
}

TEST(Answers, ReadingsAzimuthsAndCourses) {
  testing::ScratchDirectory dir;
  const std::string screen =
      dialogue("24.30 10\n10.30 10.60\n10.30 90.05\n360.0001\n-0.0001\n360\n10 361\n-5 0\n", [] {
        double time = 0.0, altitude = 0.0, azimuth = 0.0, speed = 0.0, course = 0.0;
        read_reading(time, altitude);
        read_azimuth(azimuth);
        read_speed_and_course(speed, course);
        // Near the zenith a reading passes 90; the speed is not checked.
        return time == 10.30 && altitude == 90.05 && azimuth == 360.0 && speed == -5.0 && course == 0.0;
      });
  EXPECT_EQ(screen,
            " Hora fuera de rango (0 a 24): vuelva a escribir la medida\n"
            " Minutos de la altura fuera de rango (0 a 59): vuelva a escribir la medida\n"
            " Azimut fuera de rango (0 a 360): vuelva a escribir el azimut\n"
            " Azimut fuera de rango (0 a 360): vuelva a escribir el azimut\n"
            " Rumbo fuera de rango (0 a 360): vuelva a escribir velocidad y rumbo\n");
}

TEST(Answers, HeightAndWeather) {
  testing::ScratchDirectory dir;
  const std::string screen =
      dialogue("-0.0001\nnan\n0\n799.9 10\n1100 60.1\n800 -60\n1100 60\n", [] {
        double height = 5.0, p = 1.0, t = 1.0, q = 1.0, u = 1.0;
        read_height(height);
        read_weather(p, t);
        read_weather(q, u);
        return height == 0.0 && p == 800.0 && t == -60.0 && q == 1100.0 && u == 60.0;
      });
  EXPECT_EQ(screen,
            " Altura del observador fuera de rango (0 metros o mas): vuelva a escribir la altura\n"
            " Altura del observador fuera de rango (0 metros o mas): vuelva a escribir la altura\n"
            " Presion fuera de rango (800 a 1100 hPa): vuelva a escribir presion y temperatura\n"
            " Temperatura fuera de rango (-60 a 60 C): vuelva a escribir presion y temperatura\n");
}

// A refused answer leaves the date as it was: "/" next keeps the last one
// taken.
TEST(Answers, DatesOfBothCalendars) {
  testing::ScratchDirectory dir;
  const std::string screen =
      dialogue("29 2 1900\n29 2 2000\n31 4 2024\n1 13 2024\n/\n29 2 1500\n10 10 1582\n", [] {
        int d = 0, m = 0, y = 0, d2 = 0, m2 = 0, y2 = 0, d3 = 0, m3 = 0, y3 = 0;
        read_date(d, m, y);
        const bool first = d == 29 && m == 2 && y == 2000;
        read_date(d, m, y);
        read_date(d2, m2, y2);
        read_date(d3, m3, y3);
        return first && d == 29 && m == 2 && y == 2000 && d2 == 29 && y2 == 1500 && d3 == 10 && m3 == 10;
      });
  EXPECT_EQ(screen,
            " Dia fuera de rango (1 a 28): vuelva a escribir la fecha\n"
            " Dia fuera de rango (1 a 30): vuelva a escribir la fecha\n"
            " Mes fuera de rango (1 a 12): vuelva a escribir la fecha\n");
}

}  // namespace
}  // namespace zembrel::utilities
