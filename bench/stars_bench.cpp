// Star places and the star day search, and the twilight times of a date,
// run in a working directory holding the data files.  Each iteration
// searches the next day, as a search asked again would give the result kept.
#include <benchmark/benchmark.h>

#include "data_directory.h"
#include "ephem/stars.h"
#include "reduction/twilight.h"

namespace {

using zembrel::bench::DataDirectory;

// Catalogue values near those of Sirius.
const zembrel::ephem::CatalogueStar kSirius{1.7677943, -0.2917512, -5.5, -2659.0, -1223.1, 379.2};

void BM_ApparentStar(benchmark::State& state) {
  DataDirectory dir;
  double jd = 2455362.5;
  for (auto _ : state) {
    auto place = zembrel::ephem::apparent_star3x(jd, kSirius);
    benchmark::DoNotOptimize(place);
    jd += 0.001;
  }
}
BENCHMARK(BM_ApparentStar)->Unit(benchmark::kMicrosecond);

void BM_StarEfem(benchmark::State& state) {
  DataDirectory dir;
  int day = 0;
  for (auto _ : state) {
    auto events = zembrel::ephem::star_efem3x(2010, 6, 1 + day++ % 28, -3.7, 40.4, kSirius);
    benchmark::DoNotOptimize(events);
  }
}
BENCHMARK(BM_StarEfem)->Unit(benchmark::kMillisecond);

void BM_Crepusculos(benchmark::State& state) {
  DataDirectory dir;
  int day = 0;
  for (auto _ : state) {
    auto t = zembrel::reduction::crepusculos(2010, 6, 1 + day++ % 28, -3.7, 40.4);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_Crepusculos)->Unit(benchmark::kMillisecond);

}  // namespace
