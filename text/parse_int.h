#pragma once
#include <cstdint>
#include <string_view>

namespace text {

// Reads a number the way every edit box's text is read: leading white space, an optional
// sign, then decimal digits up to the first non-digit. Never fails: no digits gives 0.
// Values beyond the 32-bit range saturate.
int32_t parseInt(std::string_view text);

}  // namespace text
