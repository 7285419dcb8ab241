// zembrel: celestial-navigation utilities.  The dialogue takes no arguments;
// --help and --version are answered before it starts (main/command_line.h).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <span>

#include "io/data_path.h"
#include "main/command_line.h"
#include "main/menu.h"

namespace {

// A standard stream that was closed when the program started is opened on
// /dev/null (reading gives end of input, writes vanish) before anything else
// is opened, so that the results file can never take its descriptor: the
// program would otherwise read its own results as keyboard answers, or write
// screen lines into them.
void reserve_standard_descriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  reserve_standard_descriptors();
#ifdef ZEMBREL_INSTALLED_DATA_DIR
  // The installed program also looks for its data files in the data
  // directory of its installation, fixed when it is built.
  zembrel::io::set_installed_data_dir(ZEMBREL_INSTALLED_DATA_DIR);
#endif
  const std::span<char* const> args(argv + (argc > 0 ? 1 : 0), argc > 1 ? argc - 1 : 0);
  if (const std::optional<int> status = zembrel::main::run_command_line(args, ZEMBREL_VERSION)) {
    return *status;
  }
  return zembrel::main::run_program();
}
