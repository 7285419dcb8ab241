// The pieces of an apparent place one by one: the ephemeris lookup, the
// nutation series, precession, time scales, and the cost of a file stamp;
// and the time tables read afresh.
#include <fcntl.h>
#include <sys/stat.h>

#include <benchmark/benchmark.h>

#include <filesystem>

#include "astro/precession_nutation.h"
#include "astro/time_scales.h"
#include "data_directory.h"
#include "ephem/jpl_file.h"
#include "io/file_cache.h"

namespace {

using zembrel::bench::DataDirectory;

void BM_CoordMoon(benchmark::State& state) {
  DataDirectory dir;
  double jd = 2455362.5;
  for (auto _ : state) {
    auto r = zembrel::ephem::coord(jd, 10);
    benchmark::DoNotOptimize(r);
    jd += 0.001;
  }
}
BENCHMARK(BM_CoordMoon)->Unit(benchmark::kMicrosecond);

void BM_Nutation(benchmark::State& state) {
  DataDirectory dir;
  double jd = 2455362.5;
  for (auto _ : state) {
    auto n = zembrel::astro::nutation_parameters(jd);
    benchmark::DoNotOptimize(n);
    jd += 0.001;
  }
}
BENCHMARK(BM_Nutation)->Unit(benchmark::kMicrosecond);

void BM_Precession(benchmark::State& state) {
  double jd = 2455362.5;
  const zembrel::astro::Vec3 v{0.3, 0.4, 0.5};
  for (auto _ : state) {
    auto w = zembrel::astro::precession_ecuatoriales(2451545.0, jd, v);
    benchmark::DoNotOptimize(w);
    jd += 0.001;
  }
}
BENCHMARK(BM_Precession)->Unit(benchmark::kMicrosecond);

void BM_TimeScales(benchmark::State& state) {
  DataDirectory dir;
  int i = 0;
  for (auto _ : state) {
    auto s = zembrel::astro::time_scales(2455362.5 + (i++ % 1000) * 0.01);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_TimeScales)->Unit(benchmark::kMicrosecond);

// Both time tables read and parsed, as at the first calculation of a run:
// copies of them get a new modification time before each lookup, so that
// the parses kept are found out of date.
void BM_TimeTablesLoad(benchmark::State& state) {
  DataDirectory dir;
  for (const char* name : {"delta_t.iers", "delta_t.dat"}) {
    std::filesystem::remove(name);
    std::filesystem::copy_file(std::filesystem::path(ZEMBREL_DATA_DIR) / name, name);
  }
  long stamp = 1000000000;
  for (auto _ : state) {
    ++stamp;
    const struct timespec times[2] = {{stamp, 0}, {stamp, 0}};
    for (const char* name : {"delta_t.iers", "delta_t.dat"}) ::utimensat(AT_FDCWD, name, times, 0);
    zembrel::io::note_keyboard_answer();
    auto s = zembrel::astro::time_scales(2460000.5);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_TimeTablesLoad)->Unit(benchmark::kMillisecond);

void BM_FileStamp(benchmark::State& state) {
  DataDirectory dir;
  const std::string name = "JPL_1550-2650_430t";
  for (auto _ : state) {
    auto s = zembrel::io::file_stamp(name);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_FileStamp)->Unit(benchmark::kMicrosecond);

}  // namespace
