// Evaluates the converted ephemeris file through the program's own reader,
// zembrel::ephem::coord, at the instants of a file of reference states and
// reports, body by body, the largest difference in position and in rate.
// Exits 1 when a difference exceeds the tolerance, a lookup fails, or an
// instant just outside the file's span is not refused.
//
// The reference file (written by spk_reference_states.py from the kernel):
// one line per state, "jd body x y z vx vy vz", TDB Julian date, JPL body
// number, AU and AU/day.
//
// Usage: ephemeris_crosscheck DIR REFERENCES [TOLERANCE]
//   DIR holds JPL_1550-2650_430t; TOLERANCE defaults to 1e-12 (AU, AU/day).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "ephem/jpl_file.h"

namespace {

struct Worst {
  double position = 0.0, rate = 0.0;
  double position_jd = 0.0, rate_jd = 0.0;
  int states = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DIR REFERENCES [TOLERANCE]\n", argv[0]);
    return 2;
  }
  const std::string references = std::filesystem::absolute(argv[2]).string();
  const double tolerance = argc > 3 ? std::atof(argv[3]) : 1e-12;
  std::filesystem::current_path(argv[1]);

  std::ifstream in(references);
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", references.c_str());
    return 2;
  }
  std::map<int, Worst> worst;
  double first = 1e300, last = -1e300;
  int failures = 0;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    double jd, ref[6];
    int body;
    if (!(f >> jd >> body >> ref[0] >> ref[1] >> ref[2] >> ref[3] >> ref[4] >> ref[5])) {
      std::fprintf(stderr, "bad reference line: %s\n", line.c_str());
      return 2;
    }
    first = std::fmin(first, jd);
    last = std::fmax(last, jd);
    const zembrel::ephem::CoordResult r = zembrel::ephem::coord(jd, body);
    if (r.status != 0) {
      std::fprintf(stderr, "JD %.9f body %d: coord status %d\n", jd, body, r.status);
      ++failures;
      continue;
    }
    double dp = 0.0, dv = 0.0;
    for (int i = 0; i < 3; ++i) {
      dp = std::fmax(dp, std::fabs(r.state[i] - ref[i]));
      dv = std::fmax(dv, std::fabs(r.state[i + 3] - ref[i + 3]));
    }
    Worst& w = worst[body];
    ++w.states;
    if (dp > w.position) w.position = dp, w.position_jd = jd;
    if (dv > w.rate) w.rate = dv, w.rate_jd = jd;
  }

  // The references run from the span's first instant to its last
  // microsecond: instants just outside them are refused.
  for (double jd : {first - 1e-6, last + 1e-5}) {
    if (zembrel::ephem::coord(jd, 3).status != 1) {
      std::fprintf(stderr, "JD %.9f: expected status 1 (outside the file)\n", jd);
      ++failures;
    }
  }

  int states = 0;
  for (const auto& [body, w] : worst) {
    states += w.states;
    std::printf("body %2d: %5d states, largest differences %.2e AU (JD %.6f), %.2e AU/day (JD %.6f)\n",
                body, w.states, w.position, w.position_jd, w.rate, w.rate_jd);
    if (w.position > tolerance || w.rate > tolerance) ++failures;
  }
  std::printf("%d states, JD %.6f to %.6f, tolerance %.0e: %s\n", states, first, last, tolerance,
              failures == 0 ? "all agree" : "FAILED");
  return failures == 0 ? 0 : 1;
}
