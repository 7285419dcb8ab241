// zembrel: celestial-navigation utilities.  Command-line arguments are ignored.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

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

int main() {
  reserve_standard_descriptors();
  return zembrel::main::run_program();
}
