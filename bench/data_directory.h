// A temporary working directory with links to the data files, for the
// benchmarks; the process changes into it and back.  It also counts as one
// keyboard answer, as the program reads one before every calculation (data
// file stamps are then checked once per answer).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "io/file_cache.h"

namespace zembrel::bench {

class DataDirectory {
 public:
  DataDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zembrel-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    for (const char* name : {"JPL_1550-2650_430t", "nutation_IAU1980.dat", "estrellas.dat",
                             "delta_t.iers", "delta_t.dat"}) {
      const std::filesystem::path source = std::filesystem::path(ZEMBREL_DATA_DIR) / name;
      if (std::filesystem::exists(source)) std::filesystem::create_symlink(source, path_ / name);
    }
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
    io::note_keyboard_answer();
  }
  ~DataDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  DataDirectory(const DataDirectory&) = delete;
  DataDirectory& operator=(const DataDirectory&) = delete;

 private:
  std::filesystem::path path_, previous_;
};

}  // namespace zembrel::bench
