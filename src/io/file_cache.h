// Invisible caching of parsed data files (found as io/data_path.h says), and
// the switch that turns every cache of the program off.
//
// A data file replaced between two calculations must take effect at once,
// as if every routine read its file at every call.  FileCache keeps the result
// of the last parse together with the identity of the file it came from
// (device, inode, size and modification time in nanoseconds) and parses again
// whenever that identity changes, so callers see exactly what a fresh read
// would give.
//
// When the identity is looked at: a calculation runs between two keyboard
// answers, and a file replaced while it runs is wanted from the next answer
// on.  So once the program has read its first keyboard answer, a file's stamp
// is checked at its first use after each answer and trusted until the next
// answer.  Before any answer (unit tests, code run outside the dialogue) the
// stamp is checked at every use.
//
// A parse is reused across answers only when the file did not change while it
// was read and its modification time lies well before the moment of reading
// (file times come from a coarse clock, so a file rewritten in place within
// the same tick could otherwise keep its old stamp).  Such a "too recent" file
// is parsed again at the first use after the next answer.
//
// Results computed from data files are kept the same way (ResultMemo below):
// with the arguments they were computed for, compared bit for bit, and the
// generations of the parses they were computed from (FileCache::generation,
// which changes whenever a file is parsed again).  A result is given again
// only for the same arguments and the same parses, so it is what computing it
// again would give, and a data file replaced between two answers takes
// effect as before.
//
// ZEMBREL_NO_CACHE=1 in the environment turns every cache off: each data
// file is read again at every use, and no computed value is reused.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zembrel::io {

struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t mtime_ns = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at `path` now, or nothing when it cannot be stat'ed.
std::optional<FileStamp> file_stamp(const char* path);
inline std::optional<FileStamp> file_stamp(const std::string& path) {
  return file_stamp(path.c_str());
}

// "cannot open data file NAME: reason", the reason taken from errno as left
// by the failed open.
std::string cannot_open_message(const std::string& path);

// Current wall-clock time in nanoseconds since the epoch (the clock of file
// modification times).
std::int64_t wall_clock_ns();

// A file modified less than this before a parse started is parsed again at
// the next check.
inline constexpr std::int64_t kRacyMarginNs = 2'000'000'000;

// False when ZEMBREL_NO_CACHE is set to anything but "" or "0" (looked up
// once).
bool caches_enabled();

// Number of keyboard answers read so far; read_keyboard advances it after
// each answer.
std::uint64_t answer_count();
void note_keyboard_answer();

// Whether a stamp checked while answer_count() was `checked_at` may still be
// trusted without looking at the file again.
inline bool stamp_still_trusted(std::uint64_t checked_at) {
  return checked_at != 0 && checked_at == answer_count();
}

// One cached parse.  `load(path)` must read the file at `path` and return the
// value (it may throw io::RuntimeError on a missing or bad file; nothing is cached
// then).  The reference returned by get() stays valid until the next get() or
// clear() on the same cache.  generation() changes whenever get() parses.
template <class T>
class FileCache {
 public:
  template <class Load>
  const T& get(std::string_view path, Load&& load) {
    if (value_ && path == path_) {
      if (caches_enabled() && stamp_still_trusted(checked_at_)) return *value_;
    }
    const std::uint64_t answer = answer_count();
    if (!caches_enabled()) return parse(path, std::forward<Load>(load), answer);

    const std::string name(path);
    const std::optional<FileStamp> before = file_stamp(name);
    if (value_ && reusable_ && before && path == path_ && *before == stamp_) {
      checked_at_ = answer;
      return *value_;
    }
    const std::int64_t started = wall_clock_ns();
    parse(path, std::forward<Load>(load), answer);
    const std::optional<FileStamp> after = file_stamp(name);
    reusable_ = before && after && *before == *after &&
                after->mtime_ns < started - kRacyMarginNs;
    if (after) stamp_ = *after;
    return *value_;
  }

  // The value kept, when it may be used without looking at the file again
  // (caches on, and its stamp checked since the last keyboard answer): what
  // get() would return for the path it was last given.  Otherwise nullptr.
  const T* trusted() const {
    return value_ && caches_enabled() && stamp_still_trusted(checked_at_) ? &*value_ : nullptr;
  }

  void clear() {
    value_.reset();
    reusable_ = false;
    checked_at_ = 0;
  }

  std::uint64_t generation() const { return generation_; }

 private:
  template <class Load>
  const T& parse(std::string_view path, Load&& load, std::uint64_t answer) {
    value_.reset();
    checked_at_ = 0;
    reusable_ = false;
    ++generation_;
    const std::string name(path);
    value_.emplace(std::forward<Load>(load)(name));
    path_ = name;
    checked_at_ = answer;
    return *value_;
  }

  std::optional<T> value_;
  std::string path_;
  FileStamp stamp_;
  bool reusable_ = false;
  std::uint64_t checked_at_ = 0;
  std::uint64_t generation_ = 0;
};

// The last N results of a computation, each with its key: the arguments
// (doubles as their bits) and the generations of the parses it read.  Key
// needs ==.  Nothing is kept with the caches off.
template <class Key, class Value, std::size_t N>
class ResultMemo {
 public:
  const Value* find(const Key& key) const {
    if (!caches_enabled()) return nullptr;
    for (const Entry& e : entries_) {
      if (e.used && e.key == key) return &e.value;
    }
    return nullptr;
  }
  void store(const Key& key, const Value& value) {
    if (!caches_enabled()) return;
    entries_[next_] = {true, key, value};
    next_ = (next_ + 1) % N;
  }

 private:
  struct Entry {
    bool used = false;
    Key key{};
    Value value{};
  };
  std::array<Entry, N> entries_{};
  std::size_t next_ = 0;
};

// Many results of a computation asked again and again (at the instants of
// the day searches), in N slots (a power of two) chosen by a hash of the
// key: Key needs == and hash().  A result stored replaces the one of its
// slot.  Nothing is kept with the caches off.
template <class Key, class Value, std::size_t N>
class HashedMemo {
  static_assert((N & (N - 1)) == 0, "N is a power of two");

 public:
  const Value* find(const Key& key) const {
    if (!caches_enabled() || entries_.empty()) return nullptr;
    const Entry& e = entries_[key.hash() & (N - 1)];
    return e.used && e.key == key ? &e.value : nullptr;
  }
  void store(const Key& key, const Value& value) {
    if (!caches_enabled()) return;
    if (entries_.empty()) entries_.resize(N);  // at the first result, not at start
    entries_[key.hash() & (N - 1)] = {true, key, value};
  }

 private:
  struct Entry {
    bool used = false;
    Key key{};
    Value value{};
  };
  std::vector<Entry> entries_;
};

}  // namespace zembrel::io
