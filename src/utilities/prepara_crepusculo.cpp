// Menu option 7: planning of twilight star sights.
#include "utilities/frame.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

void prepara_crepusculo() { not_available(); }

}  // namespace zembrel::utilities
