// Where the program finds its data files.
//
// A data file is taken from the first of these places that holds it:
//   1. the working directory (so a file put there replaces the installed one);
//   2. the directory named by the environment variable ZEMBREL_DATA, when set
//      and not empty;
//   3. the installed data directory (share/zembrel under the installation
//      prefix), fixed when the program is built and set by the program at
//      start; library users that do not set it skip this place.
// The results file is not a data file: it always lives in the working
// directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zembrel::io {

// The environment variable that names an extra data directory.
inline constexpr const char* kDataEnvironment = "ZEMBREL_DATA";

// Sets (or, with an empty text, clears) the installed data directory.
void set_installed_data_dir(std::string dir);
const std::string& installed_data_dir();

// The path of data file `name` as it is to be opened: `name` itself when the
// working directory holds it, otherwise the file in ZEMBREL_DATA or in the
// installed data directory.  When no place holds it, io::RuntimeError (the
// run-time error report, exit status 2) is thrown under `where`, naming the file and
// every place looked in.
std::string data_file_path(const std::string& name, std::string_view where = "data_file_path");

// The same look-up without the stop: the path, or nothing when no place
// holds the file.  Nothing is remembered.
std::optional<std::string> find_data_file(const std::string& name);

}  // namespace zembrel::io
