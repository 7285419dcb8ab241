#include "io/format.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <unordered_map>

namespace zembrel::io::format {

namespace {

// Upper bound on the descriptors of one expanded format and on field widths;
// far beyond any layout the program uses, it keeps a mistyped repeat count
// from exhausting memory.
constexpr std::size_t kMaxDescriptors = 100000;
constexpr long kMaxNumber = 100000;

[[noreturn]] void bad_format(std::string_view text, std::string_view why) {
  throw std::invalid_argument("format \"" + std::string(text) + "\": " + std::string(why));
}

// Recursive-descent parser over the format with insignificant blanks removed
// and letters folded to lower case (quoted literals kept as written).
class Parser {
 public:
  explicit Parser(std::string_view original) : original_(original) {
    char quote = 0;
    for (char c : original) {
      if (quote != 0) {
        s_ += c;
        if (c == quote) quote = 0;
      } else if (c == '\'' || c == '"') {
        quote = c;
        s_ += c;
      } else if (c != ' ' && c != '\t') {
        s_ += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      }
    }
    if (quote != 0) fail("unterminated literal");
  }

  Format parse() {
    Format f;
    expect('(');
    std::size_t last_group = 0;
    bool has_group = false;
    parse_list(f.list, 0, &last_group, &has_group);
    expect(')');
    if (pos_ != s_.size()) fail("text after the closing parenthesis");
    f.reversion = has_group ? last_group : 0;
    for (std::size_t k = f.reversion; k < f.list.size(); ++k) {
      if (f.list[k].is_data()) f.data_in_reversion = true;
    }
    return f;
  }

 private:
  [[noreturn]] void fail(std::string_view why) const { bad_format(original_, why); }

  bool at_end() const { return pos_ >= s_.size(); }
  char peek() const { return at_end() ? '\0' : s_[pos_]; }
  void expect(char c) {
    if (peek() != c) fail(std::string("expected '") + c + "'");
    ++pos_;
  }
  bool digit() const { return std::isdigit(static_cast<unsigned char>(peek())) != 0; }

  long number() {
    if (!digit()) fail("expected a number");
    long v = 0;
    while (digit()) {
      v = v * 10 + (s_[pos_++] - '0');
      if (v > kMaxNumber) fail("number too large");
    }
    return v;
  }

  void append(std::vector<Descriptor>& out, const std::vector<Descriptor>& part, long times) {
    for (long t = 0; t < times; ++t) {
      if (out.size() + part.size() > kMaxDescriptors) fail("format too long");
      out.insert(out.end(), part.begin(), part.end());
    }
  }

  // A quoted literal, from its opening quote (a doubled quote stands for one).
  Descriptor parse_literal() {
    const char quote = s_[pos_++];
    Descriptor d;
    d.op = Descriptor::Op::literal;
    while (true) {
      if (at_end()) fail("unterminated literal");
      char c = s_[pos_++];
      if (c == quote) {
        if (peek() == quote) {
          d.text += quote;
          ++pos_;
          continue;
        }
        break;
      }
      d.text += c;
    }
    return d;
  }

  // A data edit descriptor (A, I, F, E, D) with its width and decimals, from
  // its letter.
  Descriptor parse_data_descriptor(long repeat) {
    const char c = peek();
    if (c == 'p') fail("scale factors are not supported");
    Descriptor d;
    switch (c) {
      case 'a': d.op = Descriptor::Op::a; break;
      case 'i': d.op = Descriptor::Op::i; break;
      case 'f': d.op = Descriptor::Op::f; break;
      case 'e': d.op = Descriptor::Op::e; break;
      case 'd': d.op = Descriptor::Op::d; break;
      default: fail(std::string("unknown edit descriptor '") + (c == '\0' ? std::string("end") : std::string(1, c)) + "'");
    }
    ++pos_;
    if (repeat == 0) fail("zero repeat count");
    if (digit()) {
      d.width = static_cast<int>(number());
      d.has_width = true;
    } else if (d.op != Descriptor::Op::a) {
      fail("missing field width");
    }
    if (d.op == Descriptor::Op::f || d.op == Descriptor::Op::e || d.op == Descriptor::Op::d) {
      expect('.');
      d.decimals = static_cast<int>(number());
      if (d.op != Descriptor::Op::f && d.decimals == 0) fail("exponential field without digits");
    }
    if (d.has_width && d.width == 0 && d.op != Descriptor::Op::i) fail("zero field width");
    return d;
  }

  // Parses items up to the closing parenthesis of the current level.  At the
  // top level (depth 0) it records where the last group starts.
  void parse_list(std::vector<Descriptor>& out, int depth, std::size_t* last_group, bool* has_group) {
    if (depth > 50) fail("groups nested too deeply");
    while (!at_end() && peek() != ')') {
      if (peek() == ',') {
        ++pos_;
        continue;
      }
      if (peek() == '/') {
        ++pos_;
        Descriptor d;
        d.op = Descriptor::Op::slash;
        out.push_back(d);
        continue;
      }
      if (peek() == '\'' || peek() == '"') {
        out.push_back(parse_literal());
        continue;
      }
      long repeat = 1;
      bool has_repeat = false;
      if (digit()) {
        repeat = number();
        has_repeat = true;
      }
      if (peek() == '(') {
        if (repeat == 0) fail("zero repeat count");
        ++pos_;
        std::vector<Descriptor> inner;
        parse_list(inner, depth + 1, nullptr, nullptr);
        expect(')');
        if (last_group != nullptr) {
          *last_group = out.size();
          *has_group = true;
        }
        append(out, inner, repeat);
      } else if (peek() == 'x') {
        ++pos_;
        Descriptor d;
        d.op = Descriptor::Op::x;
        d.width = has_repeat ? static_cast<int>(repeat) : 1;
        out.push_back(d);
      } else {
        append(out, {parse_data_descriptor(repeat)}, repeat);
      }
    }
  }

  std::string_view original_;
  std::string s_;
  std::size_t pos_ = 0;
};

std::string stars(int width) { return std::string(static_cast<std::size_t>(width), '*'); }

std::string right_justify(const std::string& s, int width) {
  if (static_cast<int>(s.size()) >= width) return s;
  return std::string(static_cast<std::size_t>(width) - s.size(), ' ') + s;
}

// "Inf", "Infinity" or "NaN" in a numeric field, asterisks when too narrow.
std::string render_infnan(double value, int width) {
  if (width < 3) return stars(width);
  if (std::isnan(value)) return right_justify("NaN", width);
  const bool negative = std::signbit(value);
  if (negative && width < 4) return stars(width);
  std::string s;
  if (width >= (negative ? 9 : 8)) {
    s = "Infinity";
  } else {
    s = "Inf";
  }
  if (negative) s = "-" + s;
  return right_justify(s, width);
}

// printf into a std::string (exact decimal conversion in glibc).
template <typename... Args>
std::string sprintf_string(const char* fmt, Args... args) {
  char small[128];
  const int n = std::snprintf(small, sizeof small, fmt, args...);
  if (n < 0) return {};
  if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, static_cast<std::size_t>(n));
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(s.data(), s.size(), fmt, args...);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

// The exact decimal value of v rounded to `decimals` places, as "%.*f"
// writes it (std::to_chars gives the same digits, several times faster).
std::string fixed_digits(double v, int decimals) {
  char buf[512];
  if (decimals >= 0 && decimals <= 160) {
    const auto [end, error] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (error == std::errc{}) return std::string(buf, end);
  }
  return sprintf_string("%.*f", decimals, v);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (std::tolower(static_cast<unsigned char>(a[k])) != b[k]) return false;
  }
  return true;
}

// Converts a validated decimal number: mantissa digits (with or without one
// point) and a decimal exponent.  Overflow gives an infinity, underflow zero.
double decimal_to_double(bool negative, std::string_view mantissa, long exponent) {
  std::string s = std::string(mantissa) + "e" + std::to_string(exponent);
  double v = 0.0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    // The decimal exponent of the leading nonzero digit decides which way it
    // went (the mantissa is not all zeros, or the value would be in range).
    long lead = 0;
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::size_t first = whole.find_first_not_of('0');
    if (first != std::string_view::npos) {
      lead = static_cast<long>(whole.size() - first) - 1;
    } else if (point != std::string_view::npos) {
      const std::string_view frac = mantissa.substr(point + 1);
      lead = -static_cast<long>(frac.find_first_not_of('0')) - 1;
    }
    v = (lead + exponent > 0) ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -v : v;
}

// Exponent after a mantissa: a letter e, d or q with an optional sign and
// digits, or a bare sign and digits.  Returns false when malformed.
bool parse_exponent(std::string_view s, long& exponent) {
  std::size_t k = 0;
  if (s.empty()) {
    exponent = 0;
    return true;
  }
  const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[0])));
  if (c == 'e' || c == 'd' || c == 'q') ++k;
  bool negative = false;
  if (k < s.size() && (s[k] == '+' || s[k] == '-')) {
    negative = s[k] == '-';
    ++k;
  } else if (k == 0) {
    return false;  // neither a letter nor a sign
  }
  if (k >= s.size()) return false;
  long v = 0;
  for (; k < s.size(); ++k) {
    if (!is_digit(s[k])) return false;
    if (v < 100000000) v = v * 10 + (s[k] - '0');  // saturates far outside double range
  }
  exponent = negative ? -v : v;
  return true;
}

}  // namespace

const Format& parse_format(std::string_view text) {
  static std::unordered_map<std::string, Format> cache;
  auto it = cache.find(std::string(text));
  if (it != cache.end()) return it->second;
  Format f = Parser(text).parse();
  return cache.emplace(std::string(text), std::move(f)).first->second;
}

std::string render_text(std::string_view s, const Descriptor& d) {
  if (!d.has_width) return std::string(s);
  const auto w = static_cast<std::size_t>(d.width);
  if (s.size() >= w) return std::string(s.substr(0, w));
  return std::string(w - s.size(), ' ') + std::string(s);
}

std::string render_integer(int value, const Descriptor& d) {
  std::string s = std::to_string(value);
  if (d.width == 0) return s;
  if (static_cast<int>(s.size()) > d.width) return stars(d.width);
  return right_justify(s, d.width);
}

std::string render_fixed(double value, int width, int decimals) {
  if (!std::isfinite(value)) return render_infnan(value, width);
  const bool negative = std::signbit(value);
  std::string digits = fixed_digits(std::fabs(value), decimals);
  if (decimals == 0) digits += '.';
  // The zero before the point is optional when decimals follow it.
  const bool optional_zero = decimals > 0 && digits[0] == '0' && digits[1] == '.';
  const int sign = negative ? 1 : 0;
  const int full = sign + static_cast<int>(digits.size());
  std::string body;
  if (full <= width) {
    body = digits;
  } else if (optional_zero && full - 1 <= width) {
    body = digits.substr(1);
  } else {
    return stars(width);
  }
  if (negative) body = "-" + body;
  return right_justify(body, width);
}

int fitting_width(double value, int width, int decimals) {
  for (int w = width; w <= width + 32; ++w) {
    if (render_fixed(value, w, decimals).find('*') == std::string::npos) return w;
  }
  return width;
}

std::string render_exponential(double value, int width, int decimals, char letter) {
  if (!std::isfinite(value)) return render_infnan(value, width);
  const bool negative = std::signbit(value);
  std::string digits(static_cast<std::size_t>(decimals), '0');
  long exponent = 0;
  if (value != 0.0) {
    // d significant digits: d.ddd e±x, then 0.dddd with the exponent plus one.
    const std::string s = sprintf_string("%.*e", decimals - 1, std::fabs(value));
    const std::size_t e = s.find('e');
    digits.clear();
    for (std::size_t k = 0; k < e; ++k) {
      if (s[k] != '.') digits += s[k];
    }
    exponent = std::stol(s.substr(e + 1)) + 1;
  }
  std::string exp;
  const long mag = exponent < 0 ? -exponent : exponent;
  if (mag <= 99) {
    exp = sprintf_string("%c%c%02ld", letter, exponent < 0 ? '-' : '+', mag);
  } else if (mag <= 999) {
    exp = sprintf_string("%c%03ld", exponent < 0 ? '-' : '+', mag);
  } else {
    return stars(width);
  }
  const int sign = negative ? 1 : 0;
  const int without_zero = sign + 1 + decimals + static_cast<int>(exp.size());
  std::string body;
  if (without_zero + 1 <= width) {
    body = "0." + digits + exp;
  } else if (without_zero <= width) {
    body = "." + digits + exp;
  } else {
    return stars(width);
  }
  if (negative) body = "-" + body;
  return right_justify(body, width);
}

std::string list_integer(int value) { return right_justify(std::to_string(value), 11); }

std::string list_real(double value) {
  if (!std::isfinite(value)) return render_infnan(value, 25);
  const double mag = std::fabs(value);
  if (value == 0.0 || (mag >= 0.1 && mag < 1e17)) {
    int decimals = 16;  // zero and 1 <= |x| < 10 show one digit before the point
    if (value != 0.0) {
      const std::string s = sprintf_string("%.16e", mag);
      const int e10 = std::stoi(s.substr(s.find('e') + 1));
      decimals = e10 >= 0 ? 16 - e10 : 17;
    }
    std::string s = fixed_digits(mag, decimals);
    if (decimals == 0) s += '.';
    if (std::signbit(value)) s = "-" + s;
    return right_justify(s, 20) + "     ";
  }
  // Scientific: d.dddddddddddddddd E±eee.
  const std::string s = sprintf_string("%.16E", value);
  const std::size_t e = s.find('E');
  const int e10 = std::stoi(s.substr(e + 1));
  const std::string out = s.substr(0, e) + sprintf_string("E%c%03d", e10 < 0 ? '-' : '+', e10 < 0 ? -e10 : e10);
  return right_justify(out, 25);
}

bool parse_list_integer(std::string_view token, int& out) {
  std::size_t k = 0;
  bool negative = false;
  if (k < token.size() && (token[k] == '+' || token[k] == '-')) {
    negative = token[k] == '-';
    ++k;
  }
  if (k >= token.size()) return false;
  long long v = 0;
  for (; k < token.size(); ++k) {
    if (!is_digit(token[k])) return false;
    v = v * 10 + (token[k] - '0');
    if (v > 2147483648LL) return false;  // overflow
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
  out = static_cast<int>(v);
  return true;
}

bool parse_list_real(std::string_view token, double& out) {
  std::size_t k = 0;
  bool negative = false;
  if (k < token.size() && (token[k] == '+' || token[k] == '-')) {
    negative = token[k] == '-';
    ++k;
  }
  const std::string_view rest = token.substr(k);
  if (iequals(rest, "inf") || iequals(rest, "infinity")) {
    out = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return true;
  }
  if (rest.size() >= 3 && iequals(rest.substr(0, 3), "nan")) {
    const std::string_view tail = rest.substr(3);
    if (tail.empty() || (tail.front() == '(' && tail.back() == ')' && tail.find(')') == tail.size() - 1)) {
      out = std::numeric_limits<double>::quiet_NaN();
      return true;
    }
    return false;
  }
  std::size_t m = 0;
  int digits = 0;
  bool point = false;
  while (m < rest.size()) {
    if (is_digit(rest[m])) {
      ++digits;
    } else if (rest[m] == '.' && !point) {
      point = true;
    } else {
      break;
    }
    ++m;
  }
  if (digits == 0) return false;
  long exponent = 0;
  if (!parse_exponent(rest.substr(m), exponent)) return false;
  out = decimal_to_double(negative, rest.substr(0, m), exponent);
  return true;
}

bool parse_field_integer(std::string_view field, int& out) {
  std::string s;
  for (char c : field) {
    if (c != ' ') s += c;
  }
  if (s.empty()) {
    out = 0;
    return true;
  }
  if (s == "+" || s == "-") return false;
  return parse_list_integer(s, out);
}

bool parse_field_real(std::string_view field, int decimals, double& out) {
  std::string s;
  for (char c : field) {
    if (c != ' ') s += c;
  }
  std::size_t k = 0;
  bool negative = false;
  if (k < s.size() && (s[k] == '+' || s[k] == '-')) {
    negative = s[k] == '-';
    ++k;
  }
  const std::string_view rest = std::string_view(s).substr(k);
  if (iequals(rest, "inf") || iequals(rest, "infinity") || iequals(rest, "nan")) {
    return parse_list_real(s, out);
  }
  std::size_t m = 0;
  bool point = false;
  std::string mantissa;
  while (m < rest.size()) {
    if (is_digit(rest[m])) {
      mantissa += rest[m];
    } else if (rest[m] == '.' && !point) {
      point = true;
      mantissa += '.';
    } else {
      break;
    }
    ++m;
  }
  long exponent = 0;
  if (!parse_exponent(rest.substr(m), exponent)) return false;
  bool any_digit = false;
  for (char c : mantissa) any_digit = any_digit || is_digit(c);
  if (!any_digit) {
    // No digits: zero.  A lone sign is unsigned zero; with anything after the
    // sign (a point, an exponent) the sign is kept.
    out = (negative && !rest.empty()) ? -0.0 : 0.0;
    return true;
  }
  if (!point) exponent -= decimals;  // implied decimal point
  out = decimal_to_double(negative, mantissa, exponent);
  return true;
}

}  // namespace zembrel::io::format
