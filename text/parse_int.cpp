#include "text/parse_int.h"

#include <limits>

namespace text {

namespace {
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

int32_t parseInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is out of range.
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        if (magnitude <= limit) magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (negative) return magnitude >= limit ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(-magnitude);
    return magnitude >= limit ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(magnitude);
}

}  // namespace text
