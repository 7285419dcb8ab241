// How the program stops before the menu ends it.
//
// A routine that cannot go on (an unreadable keyboard answer or the end of
// input, a missing or damaged data file, a results file that cannot be
// written, an instant the ephemeris does not cover) throws one of the types
// below instead of ending the process where it stands.  Nothing is printed on
// the way: the program's main catches the stop, reports it with report_stop
// and ends with the exit status that report_stop returns.  Every record
// already written is in the results file (each is flushed as it is written),
// so a stop loses nothing.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace zembrel::io {

// The run-time error report: where it happened and the message
// ("Bad integer for item 1 in list input", "End of file", "cannot open data
// file ...").  Exit status 2.
class RuntimeError : public std::exception {
 public:
  RuntimeError(std::string_view where, std::string_view message);
  const std::string& where() const { return where_; }
  const std::string& message() const { return message_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::string where_, message_, what_;
};

// The program's STOP statement: "STOP <code>" on the error stream, exit
// status the code modulo 256 (255 for -1).
class Stop : public std::exception {
 public:
  explicit Stop(int code);
  int code() const { return code_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int code_;
  std::string what_;
};

// Throws RuntimeError(where, message).
[[noreturn]] void runtime_error(std::string_view where, std::string_view message);

// The reports, on the error stream after the screen and the results file are
// flushed: "<where>" and "Runtime error: <message>" on two lines, or
// "STOP <code>".  Each returns the exit status.
int report_stop(const RuntimeError& e);
int report_stop(const Stop& s);

}  // namespace zembrel::io
