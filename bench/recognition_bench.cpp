// One recognition of an unknown body: the catalogue, the places of the 99
// stars and four planets, and the search.  The screen lines the recognition
// writes are sent to /dev/null while it runs.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>

#include "data_directory.h"
#include "reduction/recognition.h"

namespace {

using zembrel::bench::DataDirectory;

void BM_Reconoce(benchmark::State& state) {
  DataDirectory dir;
  zembrel::reduction::ObservationConditions conditions;
  conditions.height = 3.0;
  std::fflush(stdout);
  const int saved = dup(1);
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  double time = 22.0;
  for (auto _ : state) {
    // Sirius from 24 N 75 W on 20 March 2022 (altitude 49.2, azimuth 183).
    auto r = zembrel::reduction::reconoce(24.0, -75.0, 20, 3, 2022, time, 49.2, 183.2, conditions);
    benchmark::DoNotOptimize(r);
    time += 1e-6;
  }
  std::fflush(stdout);
  dup2(saved, 1);
  close(null);
  close(saved);
}
BENCHMARK(BM_Reconoce)->Unit(benchmark::kMicrosecond);

}  // namespace
