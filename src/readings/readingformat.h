#pragma once
// Text of the large heading display, as a plain function of the reading.
#include <QString>

namespace readingformat {

// The heading as the display shows it: "-1.0" for exactly -1 in either unit (the value
// the module reports when it has no heading), otherwise "0000" for mils and "000.0" for
// degrees. Rounding is half away from zero on the float exactly as stored, and there is
// no wrap: 359.96 degrees shows "360.0". Wider values keep all their digits.
QString headingText(float heading, bool mils);

}  // namespace readingformat
