#include "io/file_cache.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace zembrel::io {

namespace {
std::uint64_t answers = 0;
}  // namespace

std::optional<FileStamp> file_stamp(const char* path) {
  struct stat st {};
  if (::stat(path, &st) != 0) return std::nullopt;
  FileStamp s;
  s.device = static_cast<std::uint64_t>(st.st_dev);
  s.inode = static_cast<std::uint64_t>(st.st_ino);
  s.size = static_cast<std::int64_t>(st.st_size);
  s.mtime_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 +
               static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return s;
}

std::string cannot_open_message(const std::string& path) {
  const int err = errno;
  std::string m = "cannot open data file " + path;
  if (err != 0) m += std::string(": ") + std::strerror(err);
  return m;
}

std::int64_t wall_clock_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool caches_enabled() {
  static const bool enabled = [] {
    const char* v = std::getenv("ZEMBREL_NO_CACHE");
    return v == nullptr || v[0] == '\0' || std::strcmp(v, "0") == 0;
  }();
  return enabled;
}

std::uint64_t answer_count() { return answers; }

void note_keyboard_answer() { ++answers; }

}  // namespace zembrel::io
