// Whole calculations of the menu utilities as the user meets them, from the
// first answer to the "Nuevo calculo" question: the dialogue, the searches
// and every line written (the screen to /dev/null, the results file in a
// working directory holding the data files).  Each iteration takes the next
// of 64 dates a week apart, so that no search of one calculation is asked
// again by another: what a calculation costs the first time.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "astro/calendar.h"
#include "data_directory.h"
#include "dialogue.h"
#include "utilities/utilities.h"

namespace {

using zembrel::bench::DataDirectory;
using zembrel::bench::Dialogue;

// The answers of a calculation, "DATE" standing for the date (dd mm yyyy),
// for 64 dates a week apart from year-month-day.
std::vector<std::string> weekly(const std::string& answers, int year, int month, int day) {
  std::vector<std::string> out;
  const double jd0 = zembrel::astro::julian_date(year, month, day, 12.0);
  for (int k = 0; k < 64; ++k) {
    const zembrel::astro::CalendarDate c = zembrel::astro::gregorian_date(jd0 + 7.0 * k);
    std::string a = answers;
    a.replace(a.find("DATE"), 4, std::to_string(c.day) + " " + std::to_string(c.month) + " " + std::to_string(c.year));
    out.push_back(a);
  }
  return out;
}

template <class Utility>
void run_calculations(benchmark::State& state, const std::vector<std::string>& answers, Utility utility) {
  DataDirectory dir;
  Dialogue dialogue;
  std::size_t k = 0;
  for (auto _ : state) dialogue.run(answers[k++ % answers.size()], utility);
}

// Option 2 for the Moon from 33 54 S 151 12 E at 11 h legal time from 8
// January 2025: the coordinates, then rise, set and transits of the local
// date, whose events fall partly on the neighbouring Greenwich dates.
void BM_Option2Moon(benchmark::State& state) {
  run_calculations(state, weekly("-33.54 151.12\n0\n0\n0\nDATE\n11.00\n101\n0\n", 2025, 1, 8),
                   zembrel::utilities::efem);
}
BENCHMARK(BM_Option2Moon)->Unit(benchmark::kMillisecond);

// Option 2 for the Sun, with its twilights, from 40 25 N 3 42 W.
void BM_Option2Sun(benchmark::State& state) {
  run_calculations(state, weekly("40.25 -3.42\n10\n1.5\n0\nDATE\n10.30\n100\n0\n", 2024, 3, 20),
                   zembrel::utilities::efem);
}
BENCHMARK(BM_Option2Sun)->Unit(benchmark::kMillisecond);

// Option 7, the calculations of its transcripts: at 20 knots toward the
// sunset (the advance searched again at each new position), at 12 knots
// toward the nautical twilight, and at rest before the twilight.
void BM_Option7SunsetAt20Knots(benchmark::State& state) {
  run_calculations(state, weekly("36 15\nDATE\n8\n20 90\n1\n0\n", 2024, 3, 10), zembrel::utilities::prepara_crepusculo);
}
BENCHMARK(BM_Option7SunsetAt20Knots)->Unit(benchmark::kMillisecond);

void BM_Option7TwilightAt12Knots(benchmark::State& state) {
  run_calculations(state, weekly("34 -120\nDATE\n3\n12 270\n1\n0\n", 2024, 3, 10),
                   zembrel::utilities::prepara_crepusculo);
}
BENCHMARK(BM_Option7TwilightAt12Knots)->Unit(benchmark::kMillisecond);

void BM_Option7TwilightAtRest(benchmark::State& state) {
  run_calculations(state, weekly("40 -3\nDATE\n4.00\n0 0\n1\n0\n", 2024, 3, 21), zembrel::utilities::prepara_crepusculo);
}
BENCHMARK(BM_Option7TwilightAtRest)->Unit(benchmark::kMillisecond);

// Option 5, three sights on 20 March 2024, the first of an unknown body
// (recognised from its azimuth), the fix chosen by the third.
void BM_Option5ThreeSights(benchmark::State& state) {
  run_calculations(state,
                   {"0\n0\n0\n0 0\n3\n20 3 2024\n120\n-1\n0\n1\n19.3000 58.033107160\n38.0 -15.0\n145\n7\n0\n1\n"
                    "19.3000 58.033107160\n38.0 -15.0\n235\n20 3 2024\n26\n1\n19.3000 33.502839556\n20 3 2024\n27\n"
                    "1\n19.3000 42.040999709\n0\n"},
                   zembrel::utilities::zembrel);
}
BENCHMARK(BM_Option5ThreeSights)->Unit(benchmark::kMillisecond);

}  // namespace
