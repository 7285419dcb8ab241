// Day search for rise, set and transits of the Moon (about 1000 apparent
// places and their horizon transforms), and one apparent place, run in a
// working directory holding the data files.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ephem/apparent_planets.h"

namespace {

// Makes a temporary working directory with links to the data files.
class DataDirectory {
 public:
  DataDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zembrel-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    for (const char* name : {"JPL_1550-2650_430t", "nutation_IAU1980.dat"}) {
      std::filesystem::create_symlink(std::filesystem::path(ZEMBREL_DATA_DIR) / name,
                                      path_ / name);
    }
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~DataDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }

 private:
  std::filesystem::path path_, previous_;
};

void BM_PlanetaryEfemMoon(benchmark::State& state) {
  DataDirectory dir;
  for (auto _ : state) {
    auto events = zembrel::ephem::planetary_efem3x(2010, 6, 15, 10, -3.7, 40.4);
    benchmark::DoNotOptimize(events);
  }
}
BENCHMARK(BM_PlanetaryEfemMoon)->Unit(benchmark::kMillisecond);

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
