// Menu options whose utilities are not built yet: each says so in one line
// and returns to the menu.  An option leaves this file when its utility lands.
#include "io/record_io.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

namespace {
void not_available() {
  io::write_list(io::kScreen, {"Esta utilidad todavia no esta disponible."});
}
}  // namespace

void efem() { not_available(); }
void reconoce_parlanchin() { not_available(); }
void recta_altura() { not_available(); }
void zembrel() { not_available(); }
void prepara_crepusculo() { not_available(); }

}  // namespace zembrel::utilities
