// Menu option 2: ephemeris of a body with its rise, set, twilight and transit tables.
#include "utilities/frame.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

void efem() { not_available(); }

}  // namespace zembrel::utilities
