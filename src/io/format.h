// Format strings and field rendering behind the record I/O engine: parsing of
// "(a42,1x,i2,1x,i2,1x,i4,2x,f7.4)"-style formats into a flat descriptor list,
// the edit descriptors A, I, F, E, D and X on output, and the list-directed
// renderings of integers and doubles.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zembrel::io::format {

struct Descriptor {
  enum class Op { a, i, f, e, d, x, literal, slash };
  Op op = Op::x;
  int width = 0;         // field width (A without a width: 0 and has_width false)
  int decimals = 0;      // digits after the point for F, E and D
  bool has_width = false;
  std::string text;      // the characters of a quoted literal

  bool is_data() const { return op == Op::a || op == Op::i || op == Op::f || op == Op::e || op == Op::d; }
};

// A format with its groups and repeat counts expanded.  When items remain at
// the end of the list, processing starts a new record and resumes at
// `reversion` (the last top-level group, or the start when there is none).
struct Format {
  std::vector<Descriptor> list;
  std::size_t reversion = 0;
  bool data_in_reversion = false;  // a data descriptor at or after `reversion`
};

// Parses a format string; blanks outside quoted literals are insignificant and
// letters may be of either case.  Throws std::invalid_argument on anything
// it cannot interpret.  Parsed formats are kept for later calls.
const Format& parse_format(std::string_view text);

// Output fields.
std::string render_text(std::string_view s, const Descriptor& d);
std::string render_integer(int value, const Descriptor& d);
std::string render_fixed(double value, int width, int decimals);
std::string render_exponential(double value, int width, int decimals, char letter);
// The narrowest width, from `width` up, in which fW.D shows the value
// instead of asterisks; `width` itself when none up to 32 more does.
int fitting_width(double value, int width, int decimals);

// List-directed renderings (without the separator blank).
std::string list_integer(int value);  // right-justified in 11
std::string list_real(double value);  // 17 significant digits in 25

// Parsing of numeric input.  The list-directed forms must be the whole token;
// the field forms follow formatted-input rules (blanks ignored, implied
// decimals when no point is written, an empty field is zero).
bool parse_list_integer(std::string_view token, int& out);
bool parse_list_real(std::string_view token, double& out);
bool parse_field_integer(std::string_view field, int& out);
bool parse_field_real(std::string_view field, int decimals, double& out);

}  // namespace zembrel::io::format
