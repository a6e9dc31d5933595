#pragma once

#include <string_view>

namespace veltrix {

// The integer that a number field's text starts with: leading white space, an optional sign and
// decimal digits; 0 when there are no digits. Values beyond int saturate at its limits, so a long
// run of digits never wraps into a small or negative number.
int IntegerValueOfText(std::string_view text);

}  // namespace veltrix
