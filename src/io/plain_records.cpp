#include "io/plain_records.h"

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "io/format.h"

namespace zembrel::io {

namespace {

// The block holds up to kBlock characters; the classification reads whole
// chunks of 64, so kChunk more are kept readable after them.
constexpr std::size_t kChunk = 64;
constexpr std::size_t kBlock = std::size_t{1} << 16;

bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// The classes of 64 characters, a bit each (bit i for the character i).
struct Classes {
  std::uint64_t line_end = 0, blank = 0, digit = 0, point = 0, sign = 0;
};

#if defined(__SSE2__)
// Sixteen characters at a time: each class one comparison of all sixteen
// and the mask of its results (a digit d is one whose d - '0', as unsigned,
// is at most 9).
inline std::uint64_t mask(__m128i m, int k) {
  return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(m))} << (16 * k);
}

Classes classify(const char* p) {
  Classes c;
  const __m128i line_end = _mm_set1_epi8('\n'), space = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t'),
                cr = _mm_set1_epi8('\r'), zero = _mm_set1_epi8('0'), nine = _mm_set1_epi8(9),
                point = _mm_set1_epi8('.'), minus = _mm_set1_epi8('-'), plus = _mm_set1_epi8('+');
  for (int k = 0; k < 4; ++k) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    const __m128i d = _mm_sub_epi8(x, zero);
    c.line_end |= mask(_mm_cmpeq_epi8(x, line_end), k);
    c.blank |= mask(_mm_or_si128(_mm_cmpeq_epi8(x, space), _mm_or_si128(_mm_cmpeq_epi8(x, tab), _mm_cmpeq_epi8(x, cr))), k);
    c.digit |= mask(_mm_cmpeq_epi8(_mm_min_epu8(d, nine), d), k);
    c.point |= mask(_mm_cmpeq_epi8(x, point), k);
    c.sign |= mask(_mm_or_si128(_mm_cmpeq_epi8(x, minus), _mm_cmpeq_epi8(x, plus)), k);
  }
  return c;
}
#else
Classes classify(const char* p) {
  Classes c;
  for (int i = 0; i < 64; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << i;
    const char ch = p[i];
    if (ch == '\n') c.line_end |= bit;
    if (ch == ' ' || ch == '\t' || ch == '\r') c.blank |= bit;
    if (is_digit(ch)) c.digit |= bit;
    if (ch == '.') c.point |= bit;
    if (ch == '-' || ch == '+') c.sign |= bit;
  }
  return c;
}
#endif

}  // namespace

// Every character of the complete lines [0, n) of the block a separator or
// one a plain number may hold, and every token a plain number: a sign only
// at its start, and then a digit or a point; a point without a digit before
// it followed by one; no two points with only digits between them.  Sets
// the token starts and the line ends.  For the last check, adding 1 at the
// digit after each point carries through the run of digits it starts and
// lands on the character after the run.
bool PlainReader::scan(std::size_t n) {
  std::uint64_t in_number = 0, digit = 0, sign = 0, bare_point = 0, point = 0, carry = 0;  // of the character before
  const std::size_t chunks = (n + kChunk - 1) / kChunk;
  for (std::size_t k = 0; k < chunks; ++k) {
    Classes c = classify(block_.data() + k * kChunk);
    if (const std::size_t rest = n - k * kChunk; rest < kChunk) {
      const std::uint64_t held = (std::uint64_t{1} << rest) - 1;
      c = {c.line_end & held, c.blank & held, c.digit & held, c.point & held, c.sign & held};
      c.blank |= ~held;  // nothing after the lines
    }
    const std::uint64_t number = c.digit | c.point | c.sign;
    const std::uint64_t start = number & ~((number << 1) | in_number);
    const std::uint64_t after_sign = (c.sign << 1) | sign;
    const std::uint64_t bare = c.point & ~((c.digit << 1) | digit);
    const std::uint64_t after_bare = (bare << 1) | bare_point;
    const std::uint64_t after_point = (c.point << 1) | point;
    std::uint64_t sum;
    const bool out = __builtin_add_overflow(c.digit, after_point & c.digit, &sum) |
                     __builtin_add_overflow(sum, carry, &sum);
    const std::uint64_t past_run = (sum | after_point) & ~c.digit;
    if ((~(number | c.blank | c.line_end)) | (c.sign & ~start) | (after_sign & ~(c.digit | c.point)) |
        (after_bare & ~c.digit) | (past_run & c.point)) {
      return false;
    }
    in_number = number >> 63;
    digit = c.digit >> 63;
    sign = c.sign >> 63;
    bare_point = bare >> 63;
    point = c.point >> 63;
    carry = out ? 1 : 0;
    starts_[k] = start;
    ends_[k] = c.line_end;
  }
  return true;
}

namespace {

// The token at p (a plain number, checked): its end.
const char* token_end(const char* p) {
  while (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') ++p;
  return p;
}

// A 32-bit integer written without a point, as the list-directed reader
// takes it.
bool integer_at(const char* p, int& out) {
  const char* start = p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int v = 0, digits = 0;
  for (; is_digit(*p); ++p, ++digits) v = v * 10 + (*p - '0');
  if (*p == '.') return false;
  if (digits > 9) return format::parse_list_integer(std::string_view(start, token_end(p) - start), out);
  out = negative ? -v : v;
  return true;
}

// The real at p, correctly rounded: with at most 15 digits the digits and
// the power of ten are exact doubles and their quotient is rounded once;
// longer ones go to the list-directed conversion.
double real_at(const char* p) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* start = p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  std::uint64_t m = 0;
  int digits = 0, decimals = 0;
  for (; is_digit(*p); ++p, ++digits) m = m * 10 + static_cast<std::uint64_t>(*p - '0');
  if (*p == '.') {
    for (++p; is_digit(*p); ++p, ++digits, ++decimals) m = m * 10 + static_cast<std::uint64_t>(*p - '0');
  }
  if (digits > 15) {
    double v = 0.0;
    format::parse_list_real(std::string_view(start, p - start), v);
    return v;
  }
  const double v = static_cast<double>(m) / kPowers[decimals];
  return negative ? -v : v;
}

}  // namespace

PlainReader::PlainReader(const std::string& path, const PlainLayout& layout, int max_records)
    : layout_(layout), max_records_(max_records), header_left_(layout.header_lines) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    taken_ = false;
    return;
  }
  block_.resize(kBlock + kChunk);
  starts_.resize(kBlock / kChunk + 1);
  ends_.resize(kBlock / kChunk + 1);
}

PlainReader::~PlainReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool PlainReader::fill() {
  held_ -= lines_;
  std::memmove(block_.data(), block_.data() + lines_, held_);
  lines_ = 0;
  std::size_t at = 0;
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
    } else if (at_end_) {
      if (held_ == 0) return false;
      block_[held_++] = '\n';  // the last line, without its line end
      lines_ = held_;
    } else if (held_ == kBlock) {
      return taken_ = false;  // a line longer than the block
    } else {
      continue;
    }
    // The header lines first, then the records of the block checked at once.
    while (header_left_ > 0 && at < lines_) {
      at = static_cast<std::size_t>(static_cast<const char*>(std::memchr(block_.data() + at, '\n', lines_ - at)) -
                                    block_.data()) + 1;
      --header_left_;
    }
    std::memmove(block_.data(), block_.data() + at, held_ - at);
    held_ -= at;
    lines_ -= at;
    next_record_ = 0;
    if (!scan(lines_) || !take_records()) return taken_ = false;
    return true;
  }
}

// The records of the block's lines, in the order of the text: the token
// starts and line ends of each chunk taken bit by bit, a record complete at
// its line end.
bool PlainReader::take_records() {
  records_.clear();
  const int kept = layout_.integers + layout_.kept_real;
  const std::size_t chunks = (lines_ + kChunk - 1) / kChunk;
  // The block holds whole lines: each record begins and ends in it.
  int item = 0;
  PlainRecord r;
  for (std::size_t k = 0; k < chunks; ++k) {
    const std::uint64_t ends = ends_[k];
    const char* chunk = block_.data() + k * kChunk;
    for (std::uint64_t bits = starts_[k] | ends; bits != 0; bits &= bits - 1) {
      const int b = std::countr_zero(bits);
      if ((ends >> b) & 1) {
        if (item == 0) continue;  // an empty line
        // A record cut short, or running over several lines: another reader's.
        if (item < layout_.values) return false;
        records_.push_back(r);
        r = PlainRecord{};
        item = 0;
        continue;
      }
      if (item < layout_.integers) {
        if (!integer_at(chunk + b, r.integer[item])) return false;
      } else if (item == kept) {
        r.real = real_at(chunk + b);
      }
      ++item;
    }
  }
  return true;
}

bool PlainReader::next(PlainRecord& r) {
  while (next_record_ == records_.size()) {
    if (!taken_ || !fill()) return false;
  }
  if (++taken_records_ > max_records_) return taken_ = false;
  r = records_[next_record_++];
  return true;
}

}  // namespace zembrel::io
