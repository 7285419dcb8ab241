// The program's command line.  The dialogue takes no arguments; the only
// ones accepted are --help (usage, on standard output) and --version (the
// version and what each data file found covers).  Any other argument is
// refused with a one-line error and a hint on standard error.  All of this
// happens before the menu, so the results file is neither created nor
// touched.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace zembrel::main {

// Exit statuses of the command line: 0 after --help or --version, 2 for an
// argument refused or output that could not be written.
inline constexpr int kUsageError = 2;

// Handles the arguments after the program name: nothing when there are none
// (the dialogue is to run), otherwise the exit status once the answer is
// printed.  When several arguments are given, each must be known, and the
// first decides.  `version` is printed by --version.
std::optional<int> run_command_line(std::span<char* const> args, std::string_view version);

}  // namespace zembrel::main
