// Menu option 5: fix from two or three sights without dead reckoning.
#include "utilities/frame.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

void zembrel() { not_available(); }

}  // namespace zembrel::utilities
