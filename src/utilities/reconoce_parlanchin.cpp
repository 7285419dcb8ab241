// Menu option 3: recognition of an unknown body.
#include "utilities/frame.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

void reconoce_parlanchin() { not_available(); }

}  // namespace zembrel::utilities
