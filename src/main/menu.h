// The program: banner, menu loop and dispatch to the utilities.
#pragma once

namespace zembrel::main {

// Runs the whole dialogue and returns the exit status of a normal end.
int run_program();

}  // namespace zembrel::main
