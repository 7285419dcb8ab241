#include "io/record_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "io/file_cache.h"
#include "io/format.h"

namespace zembrel::io {

namespace {

using format::Descriptor;

const char* kind_name(Item::Kind k) {
  switch (k) {
    case Item::Kind::text: return "text";
    case Item::Kind::integer: return "integer";
    case Item::Kind::real: return "double";
  }
  return "?";
}

[[noreturn]] void type_mismatch(std::string_view fmt, std::size_t item, const char* expected, const char* got) {
  throw std::invalid_argument("format \"" + std::string(fmt) + "\": item " + std::to_string(item) +
                              " is " + got + " where " + expected + " is expected");
}

std::string render_item(std::string_view fmt, const Descriptor& d, const Item& item, std::size_t number) {
  switch (d.op) {
    case Descriptor::Op::a:
      if (item.kind() != Item::Kind::text) type_mismatch(fmt, number, "text", kind_name(item.kind()));
      return format::render_text(item.text(), d);
    case Descriptor::Op::i:
      if (item.kind() != Item::Kind::integer) type_mismatch(fmt, number, "integer", kind_name(item.kind()));
      return format::render_integer(item.integer(), d);
    case Descriptor::Op::f:
      if (item.kind() != Item::Kind::real) type_mismatch(fmt, number, "double", kind_name(item.kind()));
      return format::render_fixed(item.real(), d.width, d.decimals);
    case Descriptor::Op::e:
    case Descriptor::Op::d:
      if (item.kind() != Item::Kind::real) type_mismatch(fmt, number, "double", kind_name(item.kind()));
      return format::render_exponential(item.real(), d.width, d.decimals, d.op == Descriptor::Op::e ? 'E' : 'D');
    default:
      break;
  }
  return {};
}

// ---------------------------------------------------------------------------
// Results file.

constexpr const char* kResultsName = "Resultados.txt";

struct ResultsFile {
  std::FILE* file = nullptr;
  std::string path;        // absolute, fixed at connection
  bool replace = false;    // an existing file: the first record replaces it
};

ResultsFile& results() {
  static ResultsFile r;
  return r;
}

}  // namespace

void flush_channels() {
  std::fflush(stdout);
  if (results().file != nullptr) std::fflush(results().file);
}

namespace {

[[noreturn]] void results_failure(const std::string& what) {
  runtime_error("File '" + std::string(kResultsName) + "' (unit = " + std::to_string(kResults) + ")",
                what + ": " + std::strerror(errno));
}

void write_results_line(const std::string& line) {
  ResultsFile& r = results();
  if (r.file == nullptr) connect_results();
  if (r.replace) {
    r.replace = false;
    errno = 0;
    r.file = std::freopen(r.path.c_str(), "w", r.file);
    if (r.file == nullptr) results_failure("Cannot rewrite file");
  }
  errno = 0;
  if (std::fwrite(line.data(), 1, line.size(), r.file) != line.size() || std::fputc('\n', r.file) == EOF ||
      std::fflush(r.file) != 0) {
    results_failure("Cannot write to file");
  }
}

void write_record(int channel, const std::string& line) {
  if (channel == kScreen) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  } else if (channel == kResults) {
    write_results_line(line);
  } else {
    throw std::invalid_argument("no output channel " + std::to_string(channel));
  }
}

// ---------------------------------------------------------------------------
// List-directed input helpers.

using Traits = std::char_traits<char>;

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool ends_value(int c) {
  return c == Traits::eof() || is_blank(c) || c == ',' || c == ';' || c == '/';
}

ReadStatus bad_status(const Target& t) {
  return std::holds_alternative<int*>(t) ? ReadStatus::bad_integer : ReadStatus::bad_real;
}

bool assign(const Target& t, std::string_view token) {
  if (auto* p = std::get_if<int*>(&t)) {
    int v = 0;
    if (!format::parse_list_integer(token, v)) return false;
    **p = v;
    return true;
  }
  double v = 0.0;
  if (!format::parse_list_real(token, v)) return false;
  *std::get<double*>(t) = v;
  return true;
}

ListReader& keyboard() {
  static ListReader reader(std::cin);
  return reader;
}

}  // namespace

// ---------------------------------------------------------------------------
// Output.

std::string list_record(Items items) { return list_items(std::span<const Item>(items.begin(), items.size())); }

std::string format_record(std::string_view fmt, Items items) {
  return format_items(fmt, std::span<const Item>(items.begin(), items.size()));
}

std::string list_items(std::span<const Item> items) {
  if (items.empty()) return {};
  std::string out = " ";
  bool first = true;
  bool previous_text = false;
  for (const Item& item : items) {
    const bool text = item.kind() == Item::Kind::text;
    // The record's own leading blank separates the first item.
    if (!first && !(text && previous_text)) out += ' ';
    switch (item.kind()) {
      case Item::Kind::text: out += item.text(); break;
      case Item::Kind::integer: out += format::list_integer(item.integer()); break;
      case Item::Kind::real: out += format::list_real(item.real()); break;
    }
    first = false;
    previous_text = text;
  }
  return out;
}

std::string format_items(std::string_view fmt, std::span<const Item> list) {
  const format::Format& f = format::parse_format(fmt);
  std::string out;
  std::size_t next = 0;     // next item
  std::size_t pending = 0;  // blanks of X descriptors not yet written
  std::size_t k = 0;
  while (true) {
    if (k == f.list.size()) {
      if (next == list.size()) break;
      if (!f.data_in_reversion) {
        throw std::invalid_argument("format \"" + std::string(fmt) + "\" has no edit descriptor for item " +
                                    std::to_string(next + 1));
      }
      // Format reversion: the record ends, its trailing X blanks are dropped.
      out += '\n';
      pending = 0;
      k = f.reversion;
      continue;
    }
    const Descriptor& d = f.list[k++];
    switch (d.op) {
      case Descriptor::Op::x:
        pending += static_cast<std::size_t>(d.width);
        continue;
      case Descriptor::Op::slash:
        out += '\n';
        pending = 0;
        continue;
      case Descriptor::Op::literal:
        out.append(pending, ' ');
        pending = 0;
        out += d.text;
        continue;
      default:
        break;
    }
    if (next == list.size()) break;  // output ends at the first unused data descriptor
    std::string field = render_item(fmt, d, list[next], next + 1);
    ++next;
    out.append(pending, ' ');
    pending = 0;
    out += field;
  }
  return out;
}

void write_list(int channel, Items items) { write_record(channel, list_record(items)); }

void write_fmt(int channel, std::string_view format, Items items) {
  write_record(channel, format_record(format, items));
}

// ---------------------------------------------------------------------------
// Results file.

void connect_results() {
  ResultsFile& r = results();
  if (r.file != nullptr) return;
  std::error_code ec;
  const std::filesystem::path path = std::filesystem::absolute(kResultsName, ec);
  r.path = ec ? std::string(kResultsName) : path.string();
  const bool exists = std::filesystem::exists(r.path, ec);
  errno = 0;
  // An existing file stays as it is until the first record replaces it.
  r.file = std::fopen(r.path.c_str(), exists ? "r+" : "w");
  if (r.file == nullptr) {
    const int err = errno;
    runtime_error("Opening file '" + std::string(kResultsName) + "' (unit = " + std::to_string(kResults) + ")",
                  "Cannot open file '" + std::string(kResultsName) + "': " + std::strerror(err));
  }
  r.replace = exists;
}

void close_results() {
  ResultsFile& r = results();
  if (r.file == nullptr) return;
  std::fclose(r.file);
  r.file = nullptr;
  r.replace = false;
}

// ---------------------------------------------------------------------------
// List-directed input.

namespace {

// The r of an r*c value: a positive count of decimal digits (held below
// 10^10), or 0 when it is not one.
long repeat_count(std::string_view count) {
  long repeat = 0;
  if (count.empty()) return 0;
  for (char ch : count) {
    if (ch < '0' || ch > '9') return 0;
    if (repeat < 1000000000L) repeat = repeat * 10 + (ch - '0');
  }
  return repeat;
}

}  // namespace

SavedTargets::SavedTargets(Targets targets) {
  for (const Target& t : targets) {
    if (auto* p = std::get_if<int*>(&t)) {
      saved_.emplace_back(t, **p);
    } else {
      saved_.emplace_back(t, *std::get<double*>(t));
    }
  }
}

void SavedTargets::restore() const {
  for (const auto& [target, value] : saved_) {
    if (auto* p = std::get_if<int*>(&target)) {
      **p = std::get<int>(value);
    } else {
      *std::get<double*>(target) = std::get<double>(value);
    }
  }
}

int ListReader::peek() {
  if (!open_) {
    if (!std::getline(in_, line_)) {
      fresh_ = false;
      return Traits::eof();
    }
    open_ = true;
    fresh_ = true;
    pos_ = 0;
  }
  return pos_ < line_.size() ? static_cast<unsigned char>(line_[pos_]) : '\n';
}

int ListReader::get() {
  const int c = peek();
  if (c == Traits::eof()) return c;
  if (pos_ < line_.size()) {
    ++pos_;
  } else {
    open_ = false;
  }
  return c;
}

void ListReader::drop_line() {
  open_ = false;
  fresh_ = false;
}

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// How many values a line gives a read that takes them all, up to a "/":
// null values and each of the r of r*c count.  value_open: the line
// continues a read whose last value has not met its separator yet (a comma
// first then only closes that value).
long long values_in_line(std::string_view line, bool value_open) {
  long long count = 0;
  std::size_t k = 0;
  while (k < line.size()) {
    const char c = line[k];
    if (is_blank(c)) {
      ++k;
    } else if (c == ',' || c == ';') {
      if (!value_open) ++count;
      value_open = false;
      ++k;
    } else if (c == '/') {
      break;
    } else {
      const std::size_t begin = k;
      while (k < line.size() && !ends_value(static_cast<unsigned char>(line[k]))) ++k;
      const std::string_view token = line.substr(begin, k - begin);
      const std::size_t star = token.find('*');
      const long repeat = star == std::string_view::npos ? 1 : repeat_count(token.substr(0, star));
      count += repeat > 0 ? repeat : 1;
      value_open = true;
    }
  }
  return count;
}

// The first number of a line (before any "/") with a comma between two
// digits, written with a point; empty when there is none.
std::string comma_number(std::string_view line) {
  const std::size_t end = std::min(line.find('/'), line.size());
  for (std::size_t k = 1; k + 1 < end; ++k) {
    if (line[k] != ',' || !is_digit(line[k - 1]) || !is_digit(line[k + 1])) continue;
    std::size_t begin = k;
    while (begin > 0 && !ends_value(static_cast<unsigned char>(line[begin - 1]))) --begin;
    std::size_t after = k + 1;
    while (after < end && !ends_value(static_cast<unsigned char>(line[after]))) ++after;
    return std::string(line.substr(begin, k - begin)) + "." + std::string(line.substr(k + 1, after - k - 1));
  }
  return {};
}

}  // namespace

ReadResult ListReader::read(Targets targets, bool refuse_decimal_comma) {
  const std::vector<Target> t(targets);
  if (t.empty()) {
    return skip_record() ? ReadResult{} : ReadResult{ReadStatus::end_of_file, 0};
  }
  std::optional<SavedTargets> before;
  if (refuse_decimal_comma) before.emplace(targets);
  std::size_t item = 0;
  bool value_open = false;  // a value was read and its separator not yet seen
  while (item < t.size()) {
    const int c = peek();
    if (fresh_) {
      fresh_ = false;
      const auto left = static_cast<long long>(t.size() - item);
      if (refuse_decimal_comma && values_in_line(line_, value_open) > left) {
        std::string number = comma_number(line_);
        if (!number.empty()) {
          drop_line();
          before->restore();
          return {ReadStatus::decimal_comma, static_cast<int>(item + 1), std::move(number)};
        }
      }
    }
    if (is_blank(c)) {
      get();
      continue;
    }
    if (c == Traits::eof()) return {ReadStatus::end_of_file, static_cast<int>(item + 1)};
    if (c == ',' || c == ';') {
      get();
      if (value_open) {
        value_open = false;
      } else {
        ++item;  // null value: the variable keeps its value
      }
      continue;
    }
    if (c == '/') {
      drop_line();
      return {};
    }
    std::string token;
    while (!ends_value(peek())) token += static_cast<char>(get());
    value_open = true;
    const std::size_t star = token.find('*');
    if (star == std::string::npos) {
      if (!assign(t[item], token)) {
        drop_line();
        return {bad_status(t[item]), static_cast<int>(item + 1)};
      }
      ++item;
      continue;
    }
    if (!assign_repeated(t, item, token, star)) {
      drop_line();
      return {bad_status(t[item]), static_cast<int>(item + 1)};
    }
  }
  drop_line();
  return {};
}

// r*c: r copies of c; r* alone: r null values.  False, with item at the
// target that could not take its value, for a bad repeat count or value.
bool ListReader::assign_repeated(const std::vector<Target>& t, std::size_t& item,
                                 std::string_view token, std::size_t star) {
  const long repeat = repeat_count(token.substr(0, star));
  if (repeat == 0) return false;
  const std::string_view value = token.substr(star + 1);
  for (long r = 0; r < repeat && item < t.size(); ++r, ++item) {
    if (!value.empty() && !assign(t[item], value)) return false;
  }
  return true;
}

bool ListReader::skip_record() {
  if (peek() == Traits::eof()) return false;
  drop_line();
  return true;
}

void read_keyboard(Targets targets) {
  bool reals = false;
  for (const Target& t : targets) reals = reals || std::holds_alternative<double*>(t);
  for (;;) {
    std::fflush(stdout);
    const ReadResult r = keyboard().read(targets, reals);
    if (r.status == ReadStatus::decimal_comma) {
      write_list(kScreen, {read_error_message(r)});
      continue;
    }
    if (r.status != ReadStatus::ok) {
      runtime_error("Keyboard read (unit = " + std::to_string(kKeyboard) + ", file = 'stdin')",
                    read_error_message(r));
    }
    // Data files replaced while the user was answering take effect from here.
    note_keyboard_answer();
    return;
  }
}

// ---------------------------------------------------------------------------
// Formatted input.

ReadResult read_formatted(std::string_view fmt, std::string_view record,
                          std::initializer_list<FormattedTarget> targets) {
  const format::Format& f = format::parse_format(fmt);
  const std::vector<FormattedTarget> t(targets);
  std::size_t column = 0;
  std::size_t next = 0;
  auto field_at = [&](std::size_t width) {
    std::string field;
    if (column < record.size()) field = std::string(record.substr(column, width));
    field.resize(width, ' ');  // a short record reads as if padded with blanks
    column += width;
    return field;
  };
  for (const Descriptor& d : f.list) {
    if (d.op == Descriptor::Op::x) {
      column += static_cast<std::size_t>(d.width);
      continue;
    }
    if (!d.is_data()) {
      throw std::invalid_argument("format \"" + std::string(fmt) + "\": only data and X descriptors can be read");
    }
    if (next == t.size()) return {};
    const FormattedTarget& target = t[next];
    const int number = static_cast<int>(next + 1);
    ++next;
    if (d.op == Descriptor::Op::a) {
      auto* s = std::get_if<std::string*>(&target);
      if (s == nullptr) throw std::invalid_argument("format \"" + std::string(fmt) + "\": A needs a text target");
      if (d.has_width) {
        **s = field_at(static_cast<std::size_t>(d.width));
      } else {
        **s = column < record.size() ? std::string(record.substr(column)) : std::string();
        column = record.size();
      }
      continue;
    }
    const std::string field = field_at(static_cast<std::size_t>(d.width));
    if (d.op == Descriptor::Op::i) {
      auto* p = std::get_if<int*>(&target);
      if (p == nullptr) throw std::invalid_argument("format \"" + std::string(fmt) + "\": I needs an integer target");
      if (!format::parse_field_integer(field, **p)) return {ReadStatus::bad_integer, number};
      continue;
    }
    auto* p = std::get_if<double*>(&target);
    if (p == nullptr) throw std::invalid_argument("format \"" + std::string(fmt) + "\": F, E, D need a double target");
    if (!format::parse_field_real(field, d.decimals, **p)) return {ReadStatus::bad_real, number};
  }
  if (next < t.size()) {
    throw std::invalid_argument("format \"" + std::string(fmt) + "\" has fewer fields than targets");
  }
  return {};
}

// ---------------------------------------------------------------------------
// Errors.

std::string read_error_message(const ReadResult& r) {
  switch (r.status) {
    case ReadStatus::ok: return {};
    case ReadStatus::end_of_file: return "End of file";
    case ReadStatus::bad_integer: return "Bad integer for item " + std::to_string(r.item) + " in list input";
    case ReadStatus::bad_real: return "Bad real number in item " + std::to_string(r.item) + " of list input";
    case ReadStatus::decimal_comma: return "Use el punto decimal, no la coma: " + r.number;
  }
  return {};
}

}  // namespace zembrel::io
