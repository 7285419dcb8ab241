// Invisible caching of data files parsed from the working directory.
//
// The program reads its data files at every call, so that a file replaced
// between two calculations takes effect at once.  FileCache keeps the result
// of the last parse together with the identity of the file it came from
// (device, inode, size and modification time in nanoseconds) and parses again
// whenever that identity changes, so callers see exactly what a fresh read
// would give.
//
// A parse is reused only when the file did not change while it was read and
// its modification time lies well before the moment of reading (file times
// come from a coarse clock, so a file rewritten in place within the same tick
// could otherwise keep its old stamp).  Such a "too recent" file is simply
// parsed again at the next call.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace zembrel::io {

struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t mtime_ns = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at `path` now, or nothing when it cannot be stat'ed.
std::optional<FileStamp> file_stamp(const std::string& path);

// "cannot open data file NAME: reason", the reason taken from errno as left
// by the failed open.
std::string cannot_open_message(const std::string& path);

// Current wall-clock time in nanoseconds since the epoch (the clock of file
// modification times).
std::int64_t wall_clock_ns();

// A file modified less than this before a parse started is parsed again at
// the next call.
inline constexpr std::int64_t kRacyMarginNs = 2'000'000'000;

// One cached parse.  `load(path)` must read the file at `path` and return the
// value (it may stop the program on a missing or bad file; nothing is cached
// then).  The reference returned by get() stays valid until the next get() or
// clear() on the same cache.
template <class T>
class FileCache {
 public:
  template <class Load>
  const T& get(const std::string& path, Load&& load) {
    const std::optional<FileStamp> before = file_stamp(path);
    if (value_ && reusable_ && before && path == path_ && *before == stamp_) return *value_;

    const std::int64_t started = wall_clock_ns();
    value_.reset();
    value_.emplace(std::forward<Load>(load)(path));
    const std::optional<FileStamp> after = file_stamp(path);
    path_ = path;
    reusable_ = before && after && *before == *after &&
                after->mtime_ns < started - kRacyMarginNs;
    if (after) stamp_ = *after;
    return *value_;
  }

  void clear() {
    value_.reset();
    reusable_ = false;
  }

 private:
  std::optional<T> value_;
  std::string path_;
  FileStamp stamp_;
  bool reusable_ = false;
};

}  // namespace zembrel::io
