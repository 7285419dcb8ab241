// A utility run on canned keyboard answers, for the benchmarks: the answers
// stand in for the keyboard, the screen goes to /dev/null while it runs, and
// the results file is connected afresh in the working directory each time
// (so that it holds one run's records, as after a run of the program).
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "io/record_io.h"

namespace zembrel::bench {

class Dialogue {
 public:
  Dialogue() {
    std::fflush(stdout);
    saved_ = ::dup(1);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::close(null);
    previous_ = std::cin.rdbuf();
  }
  ~Dialogue() {
    std::cin.rdbuf(previous_);
    std::cin.clear();
    io::close_results();
    std::fflush(stdout);
    ::dup2(saved_, 1);
    ::close(saved_);
  }
  Dialogue(const Dialogue&) = delete;
  Dialogue& operator=(const Dialogue&) = delete;

  // Runs `utility` with `answers` (one per line) as the keyboard.
  template <class Utility>
  void run(const std::string& answers, Utility utility) {
    io::close_results();
    io::connect_results();
    buffer_.str(answers);
    buffer_.clear();
    std::cin.rdbuf(buffer_.rdbuf());
    std::cin.clear();
    utility();
  }

 private:
  int saved_ = -1;
  std::streambuf* previous_ = nullptr;
  std::istringstream buffer_;
};

}  // namespace zembrel::bench
