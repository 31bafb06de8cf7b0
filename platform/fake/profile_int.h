// The leading decimal integer of a settings value, as the system's profile reader takes it:
// an optional sign, then digits up to the first other character; 0 without digits.
#pragma once

#include <string>

namespace platform::fake {

inline int leadingProfileInt(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 0x7FFFFFFF) value = value * 10 + (text[i++] - '0');
    return static_cast<int>(negative ? -value : value);
}

}  // namespace platform::fake
