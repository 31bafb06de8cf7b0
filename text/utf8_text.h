#pragma once
#include <cstddef>
#include <string_view>

namespace text {

// Character counts of UTF-8 text. A malformed byte counts as one character of its own,
// so any byte string has a well-defined length and every prefix ends inside the text.
size_t utf8Length(std::string_view text);
// UTF-16 code units the text takes in the system's wide calls (two for a character beyond
// U+FFFF, one for each malformed byte).
size_t utf16Length(std::string_view text);
// Bytes taken by the first maxChars characters of text.
size_t utf8PrefixBytes(std::string_view text, size_t maxChars);

}  // namespace text
