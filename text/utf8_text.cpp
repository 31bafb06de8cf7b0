#include "text/utf8_text.h"

namespace text {

namespace {
// End of the character that starts at byte i.
size_t characterEnd(std::string_view text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 1;
    if ((lead & 0xE0) == 0xC0) length = 2;
    else if ((lead & 0xF0) == 0xE0) length = 3;
    else if ((lead & 0xF8) == 0xF0) length = 4;
    size_t end = i + 1;
    while (end < text.size() && end < i + length && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return end;
}
}  // namespace

size_t utf8Length(std::string_view text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); i = characterEnd(text, i)) ++count;
    return count;
}

size_t utf16Length(std::string_view text) {
    size_t units = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t end = characterEnd(text, i);
        units += end - i == 4 ? 2 : 1;
        i = end;
    }
    return units;
}

size_t utf8PrefixBytes(std::string_view text, size_t maxChars) {
    size_t i = 0;
    for (size_t n = 0; n < maxChars && i < text.size(); ++n) i = characterEnd(text, i);
    return i;
}

}  // namespace text
