#include "io/plain_records.h"

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "io/format.h"

namespace zembrel::io {

namespace {

constexpr std::size_t kBlock = 1 << 16;
// Characters readable after the last line of a block, for the eight-character
// reads that start inside the line.
constexpr std::size_t kSpare = 16;

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// Eight characters as one word, the first in the lowest byte.
std::uint64_t word_at(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
  return w;
}

// Characters before the first one flagged (high bit set in its byte).
int before_flagged(std::uint64_t flagged) { return flagged ? std::countr_zero(flagged) >> 3 : 8; }

// Flags the characters that are not ASCII digits.  For an ASCII character c,
// c + 0x50 reaches the high bit when c >= '0' and c + 0x46 when c > '9',
// with no carry into the next byte; a character with the high bit already
// set is flagged by itself, and its carries reach only the bytes after it.
std::uint64_t non_digits(std::uint64_t w) { return (~(w + 0x50 * kOnes) | (w + 0x46 * kOnes) | w) & kHighs; }

// Flags the characters that are not spaces (exactly, byte by byte).
std::uint64_t non_spaces(std::uint64_t w) {
  const std::uint64_t x = w ^ (0x20 * kOnes);
  return (((x & ~kHighs) + ~kHighs) | x) & kHighs;
}

// The digits at p.
std::size_t digit_run(const char* p) {
  std::size_t n = 0;
  for (;;) {
    const int k = before_flagged(non_digits(word_at(p + n)));
    n += static_cast<std::size_t>(k);
    if (k < 8) return n;
  }
}

// A blank or the line end ends a value: ' ', '\t', '\r' and '\n'.
bool ends_value(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u <= 32 && ((0x100002600ull >> u) & 1) != 0;
}

// Past the blanks at p (never past the line end).
const char* skip_blanks(const char* p) {
  for (;;) {
    const std::uint64_t flagged = non_spaces(word_at(p));
    if (flagged == 0) {
      p += 8;
      continue;
    }
    p += std::countr_zero(flagged) >> 3;
    if (*p != '\t' && *p != '\r') return p;
    ++p;
  }
}

// Past a plain number at p (sign, digits, point, digits, at least one digit,
// then a blank or the line end); nullptr when p does not start one.
const char* past_number(const char* p) {
  p += (*p == '-') | (*p == '+');
  const std::size_t whole = digit_run(p);
  p += whole;
  std::size_t decimals = 0;
  if (*p == '.') {
    decimals = digit_run(p + 1);
    p += 1 + decimals;
  }
  return whole + decimals > 0 && ends_value(*p) ? p : nullptr;
}

// A 32-bit integer written without a point at p, as the list-directed reader
// takes it; p moves past it.
bool read_integer(const char*& p, int& out) {
  const char* start = p;
  const bool negative = *p == '-';
  p += negative | (*p == '+');
  const std::size_t digits = digit_run(p);
  const char* end = p + digits;
  if (digits == 0 || !ends_value(*end)) return false;
  if (digits > 9) {
    p = end;
    return format::parse_list_integer(std::string_view(start, end - start), out);
  }
  int v = 0;
  for (; p < end; ++p) v = v * 10 + (*p - '0');
  out = negative ? -v : v;
  return true;
}

// A plain real at p, correctly rounded; p moves past it.  With at most 15
// digits, the digits and the power of ten are exact doubles and their
// quotient is rounded once; longer ones go to the list-directed conversion.
bool read_real(const char*& p, double& out) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* start = p;
  const char* end = past_number(p);
  if (end == nullptr) return false;
  p = end;
  const bool negative = *start == '-';
  const char* q = start + (negative | (*start == '+'));
  std::uint64_t m = 0;
  std::size_t digits = 0, decimals = 0;
  bool point = false;
  for (; q < end; ++q) {
    if (*q == '.') {
      point = true;
      continue;
    }
    m = m * 10 + static_cast<std::uint64_t>(*q - '0');
    ++digits;
    decimals += point;
  }
  if (digits > 15) return format::parse_list_real(std::string_view(start, end - start), out);
  const double v = static_cast<double>(m) / kPowers[decimals];
  out = negative ? -v : v;
  return true;
}

enum class Line { record, empty, other };

// One line (its characters up to its line end): a record, an empty line, or
// a line this reader does not take.
Line read_line(const char* p, const PlainLayout& layout, PlainRecord& r) {
  p = skip_blanks(p);
  if (*p == '\n') return Line::empty;
  const int kept = layout.integers + layout.kept_real;
  for (int item = 0; item < layout.values; ++item) {
    if (item > 0) {
      p = skip_blanks(p);
      if (*p == '\n') return Line::other;  // the record runs on
    }
    if (item < layout.integers) {
      if (!read_integer(p, r.integer[item])) return Line::other;
    } else if (item == kept) {
      if (!read_real(p, r.real)) return Line::other;
    } else if ((p = past_number(p)) == nullptr) {
      return Line::other;
    }
  }
  return Line::record;
}

}  // namespace

PlainReader::PlainReader(const std::string& path, const PlainLayout& layout, int max_records)
    : layout_(layout), max_records_(max_records), header_left_(layout.header_lines) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    taken_ = false;
    return;
  }
  block_.resize(kBlock + kSpare);
}

PlainReader::~PlainReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool PlainReader::fill() {
  held_ -= lines_;
  std::memmove(block_.data(), block_.data() + lines_, held_);
  lines_ = at_ = 0;
  for (;;) {
    if (!at_end_) {
      ssize_t got;
      do got = ::read(fd_, block_.data() + held_, kBlock - held_);
      while (got < 0 && errno == EINTR);
      if (got < 0) return taken_ = false;
      at_end_ = got == 0;
      held_ += static_cast<std::size_t>(got);
    }
    const char* last = held_ > 0 ? static_cast<const char*>(::memrchr(block_.data(), '\n', held_)) : nullptr;
    if (last != nullptr) {
      lines_ = static_cast<std::size_t>(last - block_.data()) + 1;
      return true;
    }
    if (at_end_) {
      if (held_ == 0) return false;
      block_[held_++] = '\n';  // the last line, without its line end
      lines_ = held_;
      return true;
    }
    if (held_ == kBlock) return taken_ = false;  // a line longer than the block
  }
}

bool PlainReader::next(PlainRecord& r) {
  if (!taken_) return false;
  for (;;) {
    if (at_ == lines_ && !fill()) return false;
    const char* p = block_.data() + at_;
    const char* end = static_cast<const char*>(std::memchr(p, '\n', lines_ - at_));
    at_ = static_cast<std::size_t>(end - block_.data()) + 1;
    if (header_left_ > 0) {
      --header_left_;
      continue;
    }
    r = PlainRecord{};
    const Line line = read_line(p, layout_, r);
    if (line == Line::empty) continue;
    if (line == Line::other || ++records_ > max_records_) return taken_ = false;
    return true;
  }
}

}  // namespace zembrel::io
