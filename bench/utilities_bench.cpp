// Whole calculations of the menu utilities as the user meets them, from the
// first answer to the "Nuevo calculo" question: the dialogue, the searches
// and every line written (the screen to /dev/null, the results file in a
// working directory holding the data files).
#include <benchmark/benchmark.h>

#include "data_directory.h"
#include "dialogue.h"
#include "utilities/utilities.h"

namespace {

using zembrel::bench::DataDirectory;
using zembrel::bench::Dialogue;

template <class Utility>
void run_calculation(benchmark::State& state, const char* answers, Utility utility) {
  DataDirectory dir;
  Dialogue dialogue;
  for (auto _ : state) dialogue.run(answers, utility);
}

// Option 2 for the Moon from 33 54 S 151 12 E on 8 January 2025 at 11 h legal
// time: the coordinates, then rise, set and transits of the local date, which
// lies a day after the Greenwich date of some events (searches of the
// neighbouring Greenwich dates).
void BM_Option2Moon(benchmark::State& state) {
  run_calculation(state, "-33.54 151.12\n0\n0\n0\n8 1 2025\n11.00\n101\n0\n", zembrel::utilities::efem);
}
BENCHMARK(BM_Option2Moon)->Unit(benchmark::kMillisecond);

// Option 2 for the Sun, with its twilights, from 40 25 N 3 42 W.
void BM_Option2Sun(benchmark::State& state) {
  run_calculation(state, "40.25 -3.42\n10\n1.5\n0\n20 3 2024\n10.30\n100\n0\n", zembrel::utilities::efem);
}
BENCHMARK(BM_Option2Sun)->Unit(benchmark::kMillisecond);

// Option 7, the calculations of its transcripts: at 20 knots toward the
// sunset (the advance searched again at each new position), at 12 knots
// toward the nautical twilight, and at rest before the twilight.
void BM_Option7SunsetAt20Knots(benchmark::State& state) {
  run_calculation(state, "36 15\n10 3 2024\n8\n20 90\n1\n0\n", zembrel::utilities::prepara_crepusculo);
}
BENCHMARK(BM_Option7SunsetAt20Knots)->Unit(benchmark::kMillisecond);

void BM_Option7TwilightAt12Knots(benchmark::State& state) {
  run_calculation(state, "34 -120\n10 3 2024\n3\n12 270\n1\n0\n", zembrel::utilities::prepara_crepusculo);
}
BENCHMARK(BM_Option7TwilightAt12Knots)->Unit(benchmark::kMillisecond);

void BM_Option7TwilightAtRest(benchmark::State& state) {
  run_calculation(state, "40 -3\n21 3 2024\n4.00\n0 0\n1\n0\n", zembrel::utilities::prepara_crepusculo);
}
BENCHMARK(BM_Option7TwilightAtRest)->Unit(benchmark::kMillisecond);

// Option 5, three sights on 20 March 2024, the first of an unknown body
// (recognised from its azimuth), the fix chosen by the third.
void BM_Option5ThreeSights(benchmark::State& state) {
  run_calculation(state,
                  "0\n0\n0\n0 0\n3\n20 3 2024\n120\n-1\n0\n1\n19.3000 58.033107160\n38.0 -15.0\n145\n7\n0\n1\n"
                  "19.3000 58.033107160\n38.0 -15.0\n235\n20 3 2024\n26\n1\n19.3000 33.502839556\n20 3 2024\n27\n"
                  "1\n19.3000 42.040999709\n0\n",
                  zembrel::utilities::zembrel);
}
BENCHMARK(BM_Option5ThreeSights)->Unit(benchmark::kMillisecond);

}  // namespace
