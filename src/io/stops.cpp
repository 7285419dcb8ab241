#include "io/stops.h"

#include <cstdio>

#include "io/record_io.h"

namespace zembrel::io {

RuntimeError::RuntimeError(std::string_view where, std::string_view message)
    : where_(where), message_(message), what_(where_ + ": " + message_) {}

Stop::Stop(int code) : code_(code), what_("STOP " + std::to_string(code)) {}

void runtime_error(std::string_view where, std::string_view message) {
  throw RuntimeError(where, message);
}

int report_stop(const RuntimeError& e) {
  flush_channels();
  std::fprintf(stderr, "%s\nRuntime error: %s\n", e.where().c_str(), e.message().c_str());
  std::fflush(stderr);
  return 2;
}

int report_stop(const Stop& s) {
  flush_channels();
  std::fprintf(stderr, "STOP %d\n", s.code());
  std::fflush(stderr);
  return s.code() & 0xff;
}

}  // namespace zembrel::io
