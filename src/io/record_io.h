// Record-oriented console and file I/O: every output statement writes one
// line, every input statement starts on a new line.  Output is either
// list-directed or driven by a Fortran-style format string such as
// "(a42,1x,i2,1x,i2,1x,i4,2x,f7.4)"; keyboard answers are read list-directed.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "io/stops.h"

namespace zembrel::io {

// Channel numbers used throughout the program.
inline constexpr int kKeyboard = 5;
inline constexpr int kScreen = 6;
inline constexpr int kResults = 200;

// One item of an output statement: a text, a 32-bit integer or a double.
class Item {
 public:
  enum class Kind { text, integer, real };
  Item(const char* s) : kind_(Kind::text), text_(s) {}
  Item(std::string_view s) : kind_(Kind::text), text_(s) {}
  Item(const std::string& s) : kind_(Kind::text), text_(s) {}
  Item(int i) : kind_(Kind::integer), int_(i) {}
  Item(double d) : kind_(Kind::real), real_(d) {}
  Item(char) = delete;  // a single character would silently become an integer

  Kind kind() const { return kind_; }
  const std::string& text() const { return text_; }
  int integer() const { return int_; }
  double real() const { return real_; }

 private:
  Kind kind_;
  std::string text_;
  int int_ = 0;
  double real_ = 0.0;
};

using Items = std::initializer_list<Item>;

// Rendering (no line end).  A format string that the engine cannot interpret
// or that runs out of items is a programming error and throws
// std::invalid_argument.
std::string list_record(Items items);
std::string format_record(std::string_view format, Items items);
// The same for items assembled at run time.
std::string list_items(std::span<const Item> items);
std::string format_items(std::string_view format, std::span<const Item> items);

// Writing one record to a channel (kScreen or kResults).
void write_list(int channel, Items items = {});
void write_fmt(int channel, std::string_view format, Items items);

// Results file "Resultados.txt" in the working directory.  connect_results()
// creates it empty when it is missing and otherwise leaves it untouched; the
// first record written then replaces its whole content, later records are
// appended.  Repeated calls change nothing.  Every record is flushed at once.
// A file that cannot be opened or written throws RuntimeError.
void connect_results();
void close_results();

// Targets of a read statement.
using Target = std::variant<int*, double*>;
using Targets = std::initializer_list<Target>;

// The values of a read's targets when it began, to give them back to a
// read whose answer is not taken.
class SavedTargets {
 public:
  explicit SavedTargets(Targets targets);
  void restore() const;

 private:
  std::vector<std::pair<Target, std::variant<int, double>>> saved_;
};

enum class ReadStatus { ok, end_of_file, bad_integer, bad_real, decimal_comma };
struct ReadResult {
  ReadResult() = default;
  ReadResult(ReadStatus s, int i, std::string n = {}) : status(s), item(i), number(std::move(n)) {}
  ReadStatus status = ReadStatus::ok;
  int item = 0;  // 1-based item at fault for bad_integer / bad_real, or the
                 // item that met the end of file (1: the read found no value)
  std::string number;  // decimal_comma: the first number typed with a comma,
                       // written with a point ("40.25")
};

// List-directed reader over any text stream (the keyboard or a data file).
// Each read starts on a new line; values are separated by blanks, commas or
// line ends; "/" ends the read; an empty value between commas and r* leave
// the variable unchanged; r*c repeats c.  Text left on the last line is dropped.
//
// With refuse_decimal_comma, a line that holds more values than the read
// still takes and that has a comma between two digits ("40,25 -3,42" to a
// read of two reals, "1,5" to a read of one) is taken for numbers typed with
// a decimal comma: the line is dropped, the targets get back the values they
// had before the read, and the read ends with decimal_comma.  A line holding
// just the values asked ("20,3,2024") is read as always.
class ListReader {
 public:
  explicit ListReader(std::istream& in) : in_(in) {}
  ReadResult read(Targets targets, bool refuse_decimal_comma = false);
  // Skips one record (a read with no items); false at end of file.
  bool skip_record();

 private:
  // The input one character at a time, a line at a time underneath: the end
  // of each line reads as '\n', the end of the input as EOF.
  int peek();
  int get();
  void drop_line();  // the rest of the current line, its end included
  bool assign_repeated(const std::vector<Target>& t, std::size_t& item, std::string_view token,
                       std::size_t star);
  std::istream& in_;
  std::string line_;
  std::size_t pos_ = 0;
  bool open_ = false;   // line_ is being read
  bool fresh_ = false;  // line_ was just taken from the stream
};

// Keyboard reads: an unreadable answer or the end of input throws
// RuntimeError (the run-time error report, exit status 2; io/stops.h).  The targets are the
// dialogue's own variables, which live for the whole call of a utility: a "/"
// or an empty value between commas leaves them as they were.  A read that
// takes a real refuses a decimal comma (ListReader above): the screen gets
// " Use el punto decimal, no la coma: 40.25" and the same read is made again.
// A read of integers only (the menu, a yes-or-no answer) has no decimals to
// mistype and reads such a line as always.
void read_keyboard(Targets targets);

// Formatted input of one record of a data file.  Supports iN, fW.D (implied
// decimals, blanks ignored), DW.D / EW.D (any real form), aN, nX and repeat
// groups.  Returns ok or bad_integer / bad_real with the item number.
using FormattedTarget = std::variant<int*, double*, std::string*>;
ReadResult read_formatted(std::string_view format, std::string_view record,
                          std::initializer_list<FormattedTarget> targets);

// Message text of a failed read, as printed in the run-time error report:
// "Bad integer for item %d in list input", "Bad real number in item %d of
// list input" or "End of file"; for a decimal comma, the line the screen
// gets instead ("Use el punto decimal, no la coma: 40.25").
std::string read_error_message(const ReadResult& r);

// Flushes the screen and the results file (before a report on the error
// stream).
void flush_channels();

}  // namespace zembrel::io
