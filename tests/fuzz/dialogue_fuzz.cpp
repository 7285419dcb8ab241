// Dialogue fuzzer: drives the program through every menu option with
// generated answers, plausible and malformed, and checks what must hold
// whatever is typed:
//  - the run ends with status 0, 2 (unreadable answer or end of input) or 255
//    (instant outside the ephemeris), within a time bound;
//  - no sanitizer report appears on stderr;
//  - the results file is never lost: the same dialogue cut short at a random
//    answer leaves a results file that is a prefix of the full run's;
//  - answers refused and asked again (decimal commas, impossible dates,
//    times and positions) never keep a run going: a dialogue of nothing but
//    refused answers ends at the end of its input with "End of file" and
//    status 2.
//
// Usage: dialogue_fuzz BINARY DATA_DIR WORK_DIR SEED COUNT [TIMEOUT_S]
// Seeded and reproducible; a failing dialogue is kept in WORK_DIR/failures.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kDataFiles[] = {"JPL_1550-2650_430t", "estrellas.dat", "nutation_IAU1980.dat",
                                  "delta_t.iers", "delta_t.dat"};

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : rng_(seed) {}

  // One whole dialogue: a few menu passes, each with the answers of its
  // utility, possibly ending with 0 (farewell) and otherwise running out.
  std::vector<std::string> dialogue() {
    std::vector<std::string> lines;
    const int passes = uniform(1, 3);
    for (int p = 0; p < passes; ++p) {
      const int option = chance(0.9) ? uniform(1, 7) : pick<int>({0, 8, -1, 99});
      lines.push_back(maybe_malformed(std::to_string(option), 0.03));
      for (std::string& line : utility(option)) lines.push_back(std::move(line));
    }
    if (chance(0.5)) lines.push_back("0");
    return lines;
  }

 private:
  std::mt19937_64 rng_;

  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
  bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
  template <class T>
  T pick(std::initializer_list<T> values) {
    auto it = values.begin();
    std::advance(it, uniform(0, static_cast<int>(values.size()) - 1));
    return *it;
  }

  static std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
  }

  // Answers that no reader accepts as it stands, or that a list-directed read
  // treats specially.
  std::string malformed() {
    return pick<std::string>({"abc", "x", "1.5.3", "--2", "", "/", ",,", ",", "3*", "2*1", "1e999",
                              "-1e999", "nan", "inf", "99999999999", "1d400", "+", ".", "12:30",
                              "\t", "1,2,3,4,5,6,7,8", "40,25 -3,42", "1,5", "10,30", "2,5 1"});
  }
  std::string maybe_malformed(std::string answer, double p = 0.06) {
    return chance(p) ? malformed() : answer;
  }

  std::string packed_angle(double lo, double hi) {
    if (chance(0.05)) return pick<std::string>({"90", "-90", "89.5959", "180", "-180", "0"});
    if (chance(0.04)) return pick<std::string>({"10.75", "40.61", "12.0060", "95.00", "-181", "-90.0001", "3,30"});
    const double v = real(lo, hi);
    const double a = std::abs(v);
    const int d = static_cast<int>(a);
    const int m = uniform(0, 59);
    const int s = uniform(0, 59);
    return fixed((v < 0 ? -1 : 1) * (d + m / 100.0 + s / 10000.0), 4);
  }
  std::string latlon() { return packed_angle(-89.9, 89.9) + " " + packed_angle(-179.9, 179.9); }
  std::string time() {
    if (chance(0.08)) {
      return pick<std::string>({"24.00", "-1", "23.5959", "0", "25.3", "10.75", "23.60", "24.01", "-0.30",
                                "10,30", "12.0060"});
    }
    return fixed(uniform(0, 23) + uniform(0, 59) / 100.0 + uniform(0, 59) / 10000.0, 4);
  }
  std::string date() {
    if (chance(0.08)) {
      return pick<std::string>({"1 1 1500", "31 12 2100", "0 0 0", "31 2 2024", "1 13 2020",
                                "29 2 2023", "1 1 -4000", "1 1 3000000", "32 1 2024", "31 4 2024",
                                "20 13 2024", "0 5 2024", "29 2 1900", "29 2 1500", "10 10 1582"});
    }
    return std::to_string(uniform(1, 28)) + " " + std::to_string(uniform(1, 12)) + " " +
           std::to_string(uniform(1962, 2055));
  }
  std::string body(bool unknown_allowed) {
    if (chance(0.08)) return std::to_string(pick<int>({-5, 106, 119, 120, 121, 500, 0}));
    if (unknown_allowed && chance(0.15)) return "0";
    return std::to_string(chance(0.5) ? uniform(1, 99) : uniform(100, 105));
  }
  std::string count() {
    if (chance(0.1)) return std::to_string(pick<int>({0, -3, 7, 1000}));
    return std::to_string(uniform(1, 6));
  }
  std::string height() {
    if (chance(0.05)) return pick<std::string>({"-5", "0", "1e6", "1,5", "-0.1", "nan"});
    return fixed(real(0, 30), 1);
  }
  std::string yes_no() { return chance(0.1) ? pick<std::string>({"2", "-1", "7"}) : std::to_string(uniform(0, 1)); }
  std::string azimuth() {
    if (chance(0.05)) return pick<std::string>({"361", "-1", "360", "120,5", "inf"});
    return fixed(real(0, 360), 2);
  }
  std::string speed_course() {
    if (chance(0.05)) return pick<std::string>({"10 400", "10 -90", "10,5 270", "12 360"});
    return fixed(real(0, 25), 1) + " " + fixed(real(0, 360), 1);
  }

  // The observation conditions: height, index error, weather (and pressure
  // and temperature when the weather answer is 1).
  void conditions(std::vector<std::string>& out) {
    out.push_back(height());
    out.push_back(fixed(real(-5, 5), 1));
    const std::string weather = yes_no();
    out.push_back(weather);
    if (weather == "1") {
      out.push_back(chance(0.1) ? pick<std::string>({"750 10", "1013 70", "1013,5 20", "1100 -60"})
                                : fixed(real(950, 1050), 0) + " " + fixed(real(-30, 40), 0));
    }
  }
  void readings(std::vector<std::string>& out) {
    const std::string n = count();
    out.push_back(n);
    const int k = std::max(0, std::min(std::stoi(n), 6));
    for (int i = 0; i < k; ++i) out.push_back(time() + " " + packed_angle(-1, 89));
    if (k == 0) {  // a refused count is asked again
      out.push_back(std::to_string(uniform(1, 3)));
      out.push_back(time() + " " + packed_angle(5, 80));
    }
  }

  // The answers of one utility's dialogue, in the order its prompts come.
  std::vector<std::string> utility(int option) {
    std::vector<std::string> out;
    const int calculations = uniform(1, 2);
    for (int c = 0; c < calculations; ++c) {
      switch (option) {
        case 1:
          out.push_back(packed_angle(-179.9, 179.9));
          out.push_back(pick<std::string>({"1", "2", "3"}));
          out.push_back(date());
          out.push_back(time());
          break;
        case 2:
          out.push_back(latlon());
          conditions(out);
          out.push_back(date());
          out.push_back(time());
          out.push_back(body(false));
          if (chance(0.1)) out.push_back(body(false));  // in case the first was refused
          break;
        case 3:
          conditions(out);
          out.push_back(latlon());
          out.push_back(date());
          readings(out);
          out.push_back(azimuth());
          if (chance(0.3)) out.push_back(yes_no());
          break;
        case 4: {
          conditions(out);
          out.push_back(latlon());
          out.push_back(date());
          const std::string b = body(true);
          out.push_back(b);
          if (b == "0") {
            out.push_back(latlon());
            out.push_back(azimuth());
          }
          readings(out);
          if (b == "101") out.push_back(pick<std::string>({"-1", "1", "5"}));
          break;
        }
        case 5: {
          conditions(out);
          out.push_back(speed_course());
          const std::string n = pick<std::string>({"2", "3", "3", "7"});
          out.push_back(n);
          for (int s = 0; s < (n == "2" ? 2 : 3); ++s) {
            out.push_back(date());
            const std::string b = body(true);
            out.push_back(b);
            readings(out);
            if (b == "0") {
              if (s < 2) out.push_back(latlon());
              out.push_back(azimuth());
            }
            if (b == "101") out.push_back(pick<std::string>({"-1", "1"}));
            if (chance(0.3)) out.push_back(azimuth());
          }
          break;
        }
        case 6:
          out.push_back(date());
          out.push_back(time());
          break;
        case 7:
          out.push_back(latlon());
          out.push_back(date());
          out.push_back(time());
          out.push_back(speed_course());
          out.push_back(yes_no());
          break;
        default:
          return out;
      }
      out.push_back(c + 1 < calculations ? "1" : pick<std::string>({"0", "0", "/", "2"}));
    }
    for (std::string& line : out) line = maybe_malformed(std::move(line));
    return out;
  }
};

struct Run {
  int status = -1;  // exit status, or -1 when killed or signalled
  bool timed_out = false;
  std::string stderr_text;
  std::string results;
};

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

Run run_program(const std::string& binary, const fs::path& data, const fs::path& dir,
                const std::vector<std::string>& lines, int timeout_s) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const char* f : kDataFiles) fs::create_symlink(data / f, dir / f);
  {
    std::ofstream in(dir / "answers.txt", std::ios::binary);
    for (const std::string& l : lines) in << l << '\n';
  }
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(120);
    const int in = open("answers.txt", O_RDONLY);
    const int out = open("screen.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(121);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
    _exit(122);
  }
  Run r;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_s);
  int wstatus = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &wstatus, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &wstatus, 0);
      r.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!r.timed_out && WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
  r.stderr_text = slurp(dir / "stderr.txt");
  r.results = slurp(dir / "Resultados.txt");
  return r;
}

// What is wrong with one run, or an empty string.
std::string fault(const Run& r) {
  if (r.timed_out) return "did not end within the time bound";
  if (r.status != 0 && r.status != 2 && r.status != 255) {
    return "exit status " + std::to_string(r.status);
  }
  if (r.stderr_text.find("Sanitizer") != std::string::npos ||
      r.stderr_text.find(" runtime error: ") != std::string::npos) {
    return "sanitizer report";
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::cerr << "usage: dialogue_fuzz BINARY DATA_DIR WORK_DIR SEED COUNT [TIMEOUT_S]\n";
    return 64;
  }
  const std::string binary = fs::absolute(argv[1]).string();
  const fs::path data = fs::absolute(argv[2]);
  const fs::path work = fs::absolute(argv[3]);
  const std::uint64_t seed = std::stoull(argv[4]);
  const int count = std::stoi(argv[5]);
  const int timeout_s = argc > 6 ? std::stoi(argv[6]) : 120;

  // Each option, then its first question answered with an answer it
  // refuses, over and over, until the input ends.
  const char* const kRefusedFirst[] = {"200", "95 0", "-5", "-5", "-5", "32 1 2024", "95 0"};
  for (int option = 1; option <= 7; ++option) {
    std::vector<std::string> lines{std::to_string(option)};
    lines.insert(lines.end(), 50, kRefusedFirst[option - 1]);
    const Run r = run_program(binary, data, work / "refused", lines, timeout_s);
    if (r.timed_out || r.status != 2 || r.stderr_text.find("End of file") == std::string::npos) {
      std::cout << "option " << option << " answered only with refused answers: "
                << (r.timed_out ? std::string("no end") : "status " + std::to_string(r.status)) << "\n";
      return 1;
    }
  }

  Generator gen(seed);
  std::mt19937_64 cut_rng(seed ^ 0x9e3779b97f4a7c15ULL);
  int failures = 0;
  int statuses[256] = {};
  for (int i = 0; i < count; ++i) {
    const std::vector<std::string> lines = gen.dialogue();
    const Run full = run_program(binary, data, work / "full", lines, timeout_s);
    std::string problem = fault(full);
    if (problem.empty()) {
      const std::size_t cut =
          std::uniform_int_distribution<std::size_t>(0, lines.size())(cut_rng);
      const std::vector<std::string> shorter(lines.begin(), lines.begin() + cut);
      const Run part = run_program(binary, data, work / "cut", shorter, timeout_s);
      problem = fault(part);
      if (problem.empty() && full.results.compare(0, part.results.size(), part.results) != 0) {
        problem = "results of the run cut after " + std::to_string(cut) +
                  " answers are not a prefix of the full run's";
      }
    }
    if (full.status >= 0) ++statuses[full.status];
    if (!problem.empty()) {
      ++failures;
      const fs::path keep = work / "failures" / ("dialogue-" + std::to_string(i) + ".in");
      fs::create_directories(keep.parent_path());
      std::ofstream out(keep, std::ios::binary);
      for (const std::string& l : lines) out << l << '\n';
      std::cout << "dialogue " << i << " (seed " << seed << "): " << problem << "; kept in "
                << keep << "\n";
    }
  }
  std::cout << count << " dialogues, seed " << seed << ": " << statuses[0] << " ended by the menu, "
            << statuses[2] << " by an unreadable answer or end of input, " << statuses[255]
            << " by the ephemeris-range stop; " << failures << " faulty\n";
  return failures == 0 ? 0 : 1;
}
