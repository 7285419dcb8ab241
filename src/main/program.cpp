// zembrel: celestial-navigation utilities.  Command-line arguments are ignored.
#include "io/data_path.h"
#include "main/menu.h"

int main() {
  // The data directory of the installation, fixed when the program is built.
  zembrel::io::set_installed_data_dir(ZEMBREL_INSTALLED_DATA_DIR);
  return zembrel::main::run_program();
}
