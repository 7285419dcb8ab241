// The program: banner, menu loop and dispatch to the utilities.
#pragma once

namespace zembrel::main {

// Runs the whole dialogue and returns the exit status: 0 when the menu ends
// it, or that of the stop that ended it, after its report (io/stops.h).
int run_program();

}  // namespace zembrel::main
