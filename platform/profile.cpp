#include "platform/profile.h"

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// UTF-16 units of a UTF-8 text.
size_t utf16Units(std::string_view text) {
    size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

}  // namespace

SectionReader::SectionReader(Profile& profile, std::string path, std::string section)
    : profile_(profile), path_(std::move(path)), section_(std::move(section)) {}

SectionReader::Listing SectionReader::listing(const std::string& key) {
    if (!read_) {
        read_ = true;
        entries_ = profile_.sectionEntries(path_, section_);
    }
    Listing listing;
    if (!entries_) return listing;
    listing.known = true;
    for (const auto& [name, value] : *entries_) {
        if (!sameName(trimmed(name), key)) continue;
        ++listing.times;
        listing.value = value;
    }
    return listing;
}

int SectionReader::getInt(const std::string& key, int defaultValue) {
    const Listing found = listing(key);
    if (found.known && found.times == 0) return defaultValue;
    if (found.times == 1) {
        std::string_view digits = found.value;
        const bool negative = !digits.empty() && digits.front() == '-';
        if (negative) digits.remove_prefix(1);
        // Without a leading zero too: "010" is left to the system's own reading of numbers.
        bool plain = !digits.empty() && digits.size() <= 9 && (digits.size() == 1 || digits.front() != '0');
        for (const char c : digits) plain = plain && c >= '0' && c <= '9';
        if (plain) {
            int number = 0;
            for (const char c : digits) number = number * 10 + (c - '0');
            return negative ? -number : number;
        }
    }
    return profile_.getInt(path_, section_, key, defaultValue);
}

namespace {

// A text the system hands over as it is, value or default: no NUL, no blank at either end, no
// quote at its start (the system takes a quoted text out of its quotes), at most 254 characters.
bool handedOverAsItIs(std::string_view text) {
    return text.find('\0') == std::string_view::npos &&
           (text.empty() || (!isBlank(text.front()) && !isBlank(text.back()) && text.front() != '"' &&
                             text.front() != '\'')) &&
           utf16Units(text) <= 254;
}

}  // namespace

std::string SectionReader::getString(const std::string& key, const std::string& defaultValue) {
    const Listing found = listing(key);
    if (found.known && found.times == 0 && handedOverAsItIs(defaultValue)) return defaultValue;
    if (found.times == 1) {
        const std::string_view value = found.value;
        if (!value.empty() && handedOverAsItIs(value)) return std::string(value);
    }
    return profile_.getString(path_, section_, key, defaultValue);
}

}  // namespace platform
