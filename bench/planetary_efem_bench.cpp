// Day searches for rise, set and transits of the Sun, the Moon and a planet,
// and one apparent place, run in a working directory holding the data files.
// Each iteration searches the next day, as a search asked again would give
// the result kept.
#include <benchmark/benchmark.h>

#include "data_directory.h"
#include "ephem/apparent_planets.h"

namespace {

using zembrel::bench::DataDirectory;

void BM_PlanetaryEfem(benchmark::State& state, int body) {
  DataDirectory dir;
  int day = 0;
  for (auto _ : state) {
    auto events = zembrel::ephem::planetary_efem3x(2010, 6, 1 + day++ % 28, body, -3.7, 40.4);
    benchmark::DoNotOptimize(events);
  }
}
BENCHMARK_CAPTURE(BM_PlanetaryEfem, Moon, 10)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlanetaryEfem, Sun, 11)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlanetaryEfem, Mars, 4)->Unit(benchmark::kMillisecond);

void BM_ApparentPlaceMoon(benchmark::State& state) {
  DataDirectory dir;
  double jd = 2455362.5;
  for (auto _ : state) {
    auto place = zembrel::ephem::apparent_planets_geo3(jd, 10);
    benchmark::DoNotOptimize(place);
    jd += 0.001;
  }
}
BENCHMARK(BM_ApparentPlaceMoon)->Unit(benchmark::kMicrosecond);

}  // namespace
