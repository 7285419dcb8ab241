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
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ZEMBREL_PLAIN_AVX2 1
#endif

#include "io/format.h"

namespace zembrel::io {

namespace {

// The block holds up to kBlock characters; the classification reads whole
// chunks of 64, so kChunk more are kept readable after them.
constexpr std::size_t kChunk = 64;
constexpr std::size_t kBlock = std::size_t{1} << 16;
// The most values a record may have (the starts of those up to the one
// kept are noted).
constexpr int kMaxKept = 16;

bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// The classes of 64 characters, a bit each (bit i for the character i):
// digits, points, signs, line ends, and the characters that are none of
// these nor a blank (space, tab, carriage return).
struct Classes {
  std::uint64_t digit = 0, point = 0, sign = 0, line_end = 0, other = 0;
};

#if defined(__SSE2__)
// Sixteen characters at a time: each class one comparison of all sixteen
// and the mask of its results (a digit d is one whose d - '0', as unsigned,
// is at most 9).
struct Sse2 {
  static std::uint64_t bits(__m128i m, int k) {
    return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(m))} << (16 * k);
  }
  static Classes classify(const char* p) {
    Classes c;
    const __m128i line_end = _mm_set1_epi8('\n'), space = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t'),
                  cr = _mm_set1_epi8('\r'), zero = _mm_set1_epi8('0'), nine = _mm_set1_epi8(9),
                  point = _mm_set1_epi8('.'), minus = _mm_set1_epi8('-'), plus = _mm_set1_epi8('+');
    std::uint64_t known = 0;
    for (int k = 0; k < 4; ++k) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
      const __m128i d = _mm_sub_epi8(x, zero);
      const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(d, nine), d);
      const __m128i pt = _mm_cmpeq_epi8(x, point);
      const __m128i sign = _mm_or_si128(_mm_cmpeq_epi8(x, minus), _mm_cmpeq_epi8(x, plus));
      const __m128i end = _mm_cmpeq_epi8(x, line_end);
      const __m128i blank =
          _mm_or_si128(_mm_cmpeq_epi8(x, space), _mm_or_si128(_mm_cmpeq_epi8(x, tab), _mm_cmpeq_epi8(x, cr)));
      c.digit |= bits(digit, k);
      c.point |= bits(pt, k);
      c.sign |= bits(sign, k);
      c.line_end |= bits(end, k);
      known |= bits(_mm_or_si128(_mm_or_si128(digit, pt), _mm_or_si128(_mm_or_si128(sign, end), blank)), k);
    }
    c.other = ~known;
    return c;
  }
};
#else
struct Sse2 {  // no SSE2: a character at a time
  static Classes classify(const char* p) {
    Classes c;
    for (int i = 0; i < 64; ++i) {
      const std::uint64_t bit = std::uint64_t{1} << i;
      const char ch = p[i];
      if (is_digit(ch)) {
        c.digit |= bit;
      } else if (ch == '.') {
        c.point |= bit;
      } else if (ch == '-' || ch == '+') {
        c.sign |= bit;
      } else if (ch == '\n') {
        c.line_end |= bit;
      } else if (ch != ' ' && ch != '\t' && ch != '\r') {
        c.other |= bit;
      }
    }
    return c;
  }
};
#endif

#if ZEMBREL_PLAIN_AVX2
// Thirty-two characters at a time, each classed by two table look-ups, one
// by its low four bits and one by its high four, whose common bits are its
// classes: the characters that matter all have high half 0, 2 or 3.  Blanks
// of high half 0 (tab, carriage return) and 2 (space) have bits of their own,
// so that no other character of low half 0 or 9 (a NUL, a ')') gets one.
// Each class bit is then shifted to the top of its byte and gathered.
struct Avx2 {
  static constexpr char kDigit = 1, kPoint = 2, kSign = 4, kSpace = 8, kTabCr = 16, kLineEnd = 32;

  [[gnu::target("avx2")]] static std::uint64_t top_bits(__m256i low, __m256i high, int shift) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_slli_epi16(low, shift))) |
           std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_slli_epi16(high, shift)))} << 32;
  }
  [[gnu::target("avx2")]] static __m256i classes(const char* p) {
    const __m256i by_low = _mm256_setr_epi8(
        kDigit | kSpace, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit | kTabCr,
        kLineEnd, kSign, 0, kSign | kTabCr, kPoint, 0,
        kDigit | kSpace, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit | kTabCr,
        kLineEnd, kSign, 0, kSign | kTabCr, kPoint, 0);
    const __m256i by_high = _mm256_setr_epi8(
        kTabCr | kLineEnd, 0, kPoint | kSign | kSpace, kDigit, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        kTabCr | kLineEnd, 0, kPoint | kSign | kSpace, kDigit, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i low_half = _mm256_set1_epi8(0x0f);
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    return _mm256_and_si256(_mm256_shuffle_epi8(by_low, _mm256_and_si256(x, low_half)),
                            _mm256_shuffle_epi8(by_high, _mm256_and_si256(_mm256_srli_epi16(x, 4), low_half)));
  }
  [[gnu::target("avx2")]] static Classes classify(const char* p) {
    const __m256i low = classes(p), high = classes(p + 32);
    const __m256i none = _mm256_setzero_si256();
    Classes c;
    c.digit = top_bits(low, high, 7);
    c.point = top_bits(low, high, 6);
    c.sign = top_bits(low, high, 5);
    c.line_end = top_bits(low, high, 2);
    c.other = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, none))) |
              std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, none)))} << 32;
    return c;
  }
};
#endif

#if ZEMBREL_PLAIN_AVX2
// All 64 characters at once, each class one comparison into a mask.
struct Avx512 {
  [[gnu::target("avx512bw")]] static std::uint64_t is(__m512i x, char ch) {
    return _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(ch));
  }
  [[gnu::target("avx512bw")]] static Classes classify(const char* p) {
    const __m512i x = _mm512_loadu_si512(p);
    Classes c;
    c.digit = _mm512_cmplt_epu8_mask(_mm512_sub_epi8(x, _mm512_set1_epi8('0')), _mm512_set1_epi8(10));
    c.point = is(x, '.');
    c.sign = is(x, '-') | is(x, '+');
    c.line_end = is(x, '\n');
    c.other = ~(c.digit | c.point | c.sign | c.line_end | is(x, ' ') | is(x, '\t') | is(x, '\r'));
    return c;
  }
};
#endif

// The token at p (a plain number, checked): its end.
const char* token_end(const char* p) {
  while (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') ++p;
  return p;
}

// Digits eight at a time, in a word whose byte i is the character p[i]
// (the text is read in little-endian order, as on every processor the
// program is built for; elsewhere a character at a time).  The digits of a
// checked token run to its first character that is not one, and a token
// ends at a separator well inside the readable characters.
struct Digits {
  int count = 0;            // leading digits, up to 8
  std::uint64_t value = 0;  // their value
};

inline Digits leading_digits(const char* p) {
  Digits d;
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    // Each byte minus '0': a digit's byte is then at most 9, and no borrow
    // leaves it; whatever a later byte holds, the first byte that is not a
    // digit is found exactly (its top bit, or the top bit of it plus 0x76).
    const std::uint64_t v = x - 0x3030303030303030u;
    const std::uint64_t not_digit = (v | (v + 0x7676767676767676u)) & 0x8080808080808080u;
    d.count = std::countr_zero(not_digit) / 8;
    // The digits to the top of the word, the first the most significant,
    // then summed in pairs, fours and eights.
    std::uint64_t w = d.count == 0 ? 0 : v << (64 - 8 * d.count);
    w = (w * 10 + (w >> 8)) & 0x00ff00ff00ff00ffu;
    w = (w * 100 + (w >> 16)) & 0x0000ffff0000ffffu;
    w = (w * 10000 + (w >> 32)) & 0x00000000ffffffffu;
    d.value = w;
  } else {
    for (; d.count < 8 && is_digit(p[d.count]); ++d.count) {
      d.value = d.value * 10 + static_cast<std::uint64_t>(p[d.count] - '0');
    }
  }
  return d;
}

// A 32-bit integer written without a point, as the list-directed reader
// takes it.
inline bool integer_at(const char* p, int& out) {
  const char* start = p;
  const bool negative = *p == '-';
  p += negative || *p == '+';
  const Digits d = leading_digits(p);
  if (d.count == 8 && is_digit(p[8])) {
    return format::parse_list_integer(std::string_view(start, token_end(p) - start), out);
  }
  if (p[d.count] == '.') return false;
  const int v = static_cast<int>(d.value);  // at most eight digits
  out = negative ? -v : v;
  return true;
}

// The real at p, correctly rounded: with at most seven digits before the
// point and seven after it, the digits and the power of ten are exact
// doubles and their quotient is rounded once; longer ones go to the
// list-directed conversion.
inline double real_at(const char* p) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
  static constexpr std::uint64_t kScales[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
  const char* start = p;
  const bool negative = *p == '-';
  p += negative || *p == '+';
  const Digits whole = leading_digits(p);
  Digits fraction = leading_digits(p + whole.count + 1);
  if (p[whole.count] != '.') fraction = Digits{};
  if (whole.count == 8 || fraction.count == 8) {
    // Perhaps more digits: the list-directed conversion.
    double v = 0.0;
    format::parse_list_real(std::string_view(start, token_end(p) - start), v);
    return v;
  }
  const std::uint64_t m = whole.value * kScales[fraction.count] + fraction.value;  // at most 14 digits
  const double v = static_cast<double>(m) / kPowers[fraction.count];
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) ^ (std::uint64_t{negative} << 63));
}

// The first pass over the complete lines text[0, n) (kChunk characters
// after them readable), a chunk at a time.  Every character must be a blank
// or a line end or one a plain number may hold, and every token a plain
// number: a sign only at its start, and then a digit or a point; a point
// without a digit before it followed by one; no two points with only digits
// between them.  For the last check, adding 1 at the digit after each point
// carries through the run of digits it starts and lands on the character
// after the run.  Each check shifts a class by one character, the last
// character of the chunk before coming in at the bottom.  Kept for the
// second pass: each chunk's token starts and the number of token starts
// before it, and where the lines end (two written at once, and counted;
// rarely more).  One chunk of no tokens follows the last.
template <class Simd>
inline bool check_lines(const char* text, std::size_t n, BlockMasks& m) {
  std::uint64_t* const starts = m.starts.data();
  std::uint32_t* const tokens_before = m.tokens_before.data();
  std::uint32_t* const line_ends = m.line_ends.data();
  std::uint64_t number_before = 0, digit_before = 0, sign_before = 0, bare_before = 0, point_before = 0;
  bool carry = false;
  std::uint32_t tokens = 0;
  std::size_t lines = 0, k = 0;
  for (std::size_t at = 0; at < n; at += kChunk, ++k) {
    Classes c = Simd::classify(text + at);
    if (n - at < kChunk) {
      const std::uint64_t held = (std::uint64_t{1} << (n - at)) - 1;
      c = {c.digit & held, c.point & held, c.sign & held, c.line_end & held, c.other & held};
    }
    const std::uint64_t number = c.digit | c.point | c.sign;
    const std::uint64_t start = number & ~((number << 1) | number_before);
    const std::uint64_t after_sign = (c.sign << 1) | sign_before;
    const std::uint64_t bare = c.point & ~((c.digit << 1) | digit_before);
    const std::uint64_t after_bare = (bare << 1) | bare_before;
    const std::uint64_t after_point = (c.point << 1) | point_before;
    std::uint64_t sum;
    const bool out = __builtin_add_overflow(c.digit, after_point & c.digit, &sum) |
                     __builtin_add_overflow(sum, std::uint64_t{carry}, &sum);
    const std::uint64_t past_run = (sum | after_point) & ~c.digit;
    if (c.other | (c.sign & ~start) | (after_sign & ~(c.digit | c.point)) | (after_bare & ~c.digit) |
        (past_run & c.point)) {
      return false;
    }
    number_before = number >> 63;
    digit_before = c.digit >> 63;
    sign_before = c.sign >> 63;
    bare_before = bare >> 63;
    point_before = c.point >> 63;
    carry = out;
    starts[k] = start;
    tokens_before[k] = tokens;
    tokens += static_cast<std::uint32_t>(std::popcount(start));
    const auto first = static_cast<std::uint32_t>(at);
    std::uint64_t ends = c.line_end;
    line_ends[lines] = first + static_cast<std::uint32_t>(std::countr_zero(ends));
    ends &= ends - 1;
    line_ends[lines + 1] = first + static_cast<std::uint32_t>(std::countr_zero(ends));
    ends &= ends - 1;
    for (std::size_t j = lines + 2; ends != 0; ++j, ends &= ends - 1) {
      line_ends[j] = first + static_cast<std::uint32_t>(std::countr_zero(ends));
    }
    lines += static_cast<std::size_t>(std::popcount(c.line_end));
  }
  starts[k] = 0;
  tokens_before[k] = tokens;
  m.lines = lines;
  return true;
}

// The second pass: the records, a line at a time.  A line's tokens are the
// token starts before its end less those before its start (an empty line
// has none; a record cut short, or running over several lines, is another
// reader's).  The starts of the values kept are taken from the 64 bits of
// token starts from the line's start, or, when the line begins with more
// blanks than that, found word by word.  The values after the record's last
// one are dropped.  The layouts of the two tables are compiled out (their
// loops unrolled); any other is read by the same code with its counts
// (kIntegers and kKept -1).
template <int kIntegers, int kKept>
inline bool take_records(const char* text, const BlockMasks& m, const PlainLayout& layout,
                         std::vector<PlainRecord>& out) {
  const int integers = kIntegers >= 0 ? kIntegers : layout.integers;
  const int kept = kKept >= 0 ? kKept : layout.integers + layout.kept_real;
  const auto values = static_cast<std::uint32_t>(layout.values);
  const std::uint64_t* const starts = m.starts.data();
  const std::uint32_t* const tokens_before = m.tokens_before.data();
  const std::uint32_t* const line_ends = m.line_ends.data();
  out.resize(m.lines);
  PlainRecord* const records = out.data();
  std::size_t taken = 0;
  std::uint32_t seen = 0;  // token starts before the line
  std::size_t line = 0;    // its first character
  for (std::size_t i = 0; i < m.lines; ++i) {
    const std::size_t end = line_ends[i];
    const std::size_t k = end / kChunk;
    const std::uint32_t upto =
        tokens_before[k] +
        static_cast<std::uint32_t>(std::popcount(starts[k] & ((std::uint64_t{1} << (end % kChunk)) - 1)));
    const std::uint32_t tokens = upto - seen;
    const std::size_t start = line;
    seen = upto;
    line = end + 1;
    if (tokens == 0) continue;
    if (tokens < values) return false;
    std::size_t at[kMaxKept];
    const std::size_t word = start / kChunk;
    const auto shift = static_cast<int>(start % kChunk);
    std::uint64_t window = starts[word] >> shift;
    if (shift != 0) window |= starts[word + 1] << (64 - shift);
    if (std::popcount(window) > kept) {
      for (int j = 0; j <= kept; ++j, window &= window - 1) {
        at[j] = start + static_cast<std::size_t>(std::countr_zero(window));
      }
    } else {
      std::size_t w = word;
      std::uint64_t bits = starts[w] & ~((std::uint64_t{1} << shift) - 1);
      for (int j = 0; j <= kept; ++j, bits &= bits - 1) {
        while (bits == 0) bits = starts[++w];
        at[j] = w * kChunk + static_cast<std::size_t>(std::countr_zero(bits));
      }
    }
    PlainRecord& r = records[taken++];
    for (int j = 0; j < integers; ++j) {
      if (!integer_at(text + at[j], r.integer[j])) return false;
    }
    r.real = real_at(text + at[kept]);
  }
  out.resize(taken);
  return true;
}

template <class Simd>
inline bool take_lines(const char* text, std::size_t n, const PlainLayout& layout, BlockMasks& m,
                       std::vector<PlainRecord>& out) {
  if (!check_lines<Simd>(text, n, m)) return false;
  if (layout.integers == 4 && layout.kept_real == 2) return take_records<4, 6>(text, m, layout, out);
  if (layout.integers == 3 && layout.kept_real == 2) return take_records<3, 5>(text, m, layout, out);
  return take_records<-1, -1>(text, m, layout, out);
}

#if ZEMBREL_PLAIN_AVX2
// Everything the AVX2 classification is inlined into is compiled for AVX2,
// and runs only on a processor that has it.
[[gnu::target("avx2,popcnt,bmi"), gnu::flatten]] bool take_lines_avx2(const char* text, std::size_t n,
                                                                     const PlainLayout& layout, BlockMasks& m,
                                                                     std::vector<PlainRecord>& out) {
  return take_lines<Avx2>(text, n, layout, m, out);
}

[[gnu::target("avx512bw,avx2,popcnt,bmi"), gnu::flatten]] bool take_lines_avx512(const char* text, std::size_t n,
                                                                     const PlainLayout& layout, BlockMasks& m,
                                                                     std::vector<PlainRecord>& out) {
  return take_lines<Avx512>(text, n, layout, m, out);
}

bool avx2_supported() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi");
}
#endif

PlainScan& scan_in_use() {
  static PlainScan scan = plain_scan_available(PlainScan::avx512) ? PlainScan::avx512
                          : plain_scan_available(PlainScan::avx2) ? PlainScan::avx2
                                                                  : PlainScan::sse2;
  return scan;
}

// The lines of a block, with the classification in use.
bool take_lines_in_use(const char* text, std::size_t n, const PlainLayout& layout, BlockMasks& m,
                       std::vector<PlainRecord>& out) {
  switch (scan_in_use()) {
#if ZEMBREL_PLAIN_AVX2
    case PlainScan::avx512: return take_lines_avx512(text, n, layout, m, out);
    case PlainScan::avx2: return take_lines_avx2(text, n, layout, m, out);
#endif
    default: return take_lines<Sse2>(text, n, layout, m, out);
  }
}

}  // namespace

bool plain_scan_available(PlainScan scan) {
#if ZEMBREL_PLAIN_AVX2
  static const bool avx2 = avx2_supported();
  static const bool avx512 = avx2 && __builtin_cpu_supports("avx512bw");
  return scan == PlainScan::sse2 || (scan == PlainScan::avx2 && avx2) || (scan == PlainScan::avx512 && avx512);
#else
  return scan == PlainScan::sse2;
#endif
}

PlainScan plain_scan() { return scan_in_use(); }

bool set_plain_scan(PlainScan scan) {
  if (!plain_scan_available(scan)) return false;
  scan_in_use() = scan;
  return true;
}

PlainReader::PlainReader(const std::string& path, const PlainLayout& layout, int max_records)
    : layout_(layout), max_records_(max_records), header_left_(layout.header_lines) {
  // A layout this reader cannot hold is left to the list-directed reader.
  const int kept = layout.integers + layout.kept_real;
  if (layout.integers < 0 || layout.integers > 4 || layout.kept_real < 0 || kept >= layout.values ||
      layout.values > kMaxKept) {
    taken_ = false;
    return;
  }
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    taken_ = false;
    return;
  }
  block_.resize(kBlock + kChunk);
  masks_.starts.resize(kBlock / kChunk + 2);
  masks_.tokens_before.resize(kBlock / kChunk + 2);
  masks_.line_ends.resize(kBlock + 2);
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
    if (!take_lines_in_use(block_.data(), lines_, layout_, masks_, records_)) return taken_ = false;
    return true;
  }
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
