// Menu option 4: line of position from one sight.
#include "utilities/frame.h"
#include "utilities/utilities.h"

namespace zembrel::utilities {

void recta_altura() { not_available(); }

}  // namespace zembrel::utilities
