// zembrel: celestial-navigation utilities.  Command-line arguments are ignored.
#include "main/menu.h"

int main() { return zembrel::main::run_program(); }
