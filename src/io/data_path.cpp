#include "io/data_path.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <utility>

#include "io/file_cache.h"
#include "io/record_io.h"

namespace zembrel::io {

namespace {

std::string& installed_dir() {
  static std::string dir;
  return dir;
}

// Present means anything the name resolves to; a file that is there but
// cannot be read stops the program at its open, naming that path, rather
// than being silently passed over for another copy.
bool present(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::string join(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}


std::string environment_dir() {
  const char* env = std::getenv(kDataEnvironment);
  return env != nullptr ? env : "";
}

std::string look_up(const std::string& name, std::string_view where) {
  if (std::optional<std::string> path = find_data_file(name)) return *path;

  const std::string env_dir = environment_dir();
  const std::string& installed = installed_data_dir();
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  std::string m = "data file " + name + " not found; looked in:\n  " +
                  (ec ? std::string("./") + name : join(cwd.string(), name)) +
                  "  (working directory)\n  ";
  if (env_dir.empty()) {
    m += std::string(kDataEnvironment) + " is not set";
  } else {
    m += join(env_dir, name) + "  (" + kDataEnvironment + ")";
  }
  if (!installed.empty()) m += "\n  " + join(installed, name) + "  (installed data)";
  runtime_error(where, m);
}

// Where each file was found, and at which keyboard answer: like the files'
// stamps, a place found is trusted until the next answer.
struct Found {
  std::string path;
  std::uint64_t checked_at = 0;
};

std::map<std::string, Found>& found() {
  static std::map<std::string, Found> places;
  return places;
}

}  // namespace

void set_installed_data_dir(std::string dir) { installed_dir() = std::move(dir); }

const std::string& installed_data_dir() { return installed_dir(); }

std::optional<std::string> find_data_file(const std::string& name) {
  if (present(name)) return name;
  const std::string env_dir = environment_dir();
  if (!env_dir.empty() && present(join(env_dir, name))) return join(env_dir, name);
  const std::string& installed = installed_data_dir();
  if (!installed.empty() && present(join(installed, name))) return join(installed, name);
  return std::nullopt;
}

std::string data_file_path(const std::string& name, std::string_view where) {
  if (!caches_enabled()) return look_up(name, where);
  Found& f = found()[name];
  if (stamp_still_trusted(f.checked_at)) return f.path;
  f.path = look_up(name, where);
  f.checked_at = answer_count();
  return f.path;
}

}  // namespace zembrel::io
