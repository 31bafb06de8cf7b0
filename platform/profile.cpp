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

std::optional<std::string_view> SectionReader::listed(const std::string& key) {
    if (!read_) {
        read_ = true;
        entries_ = profile_.sectionEntries(path_, section_);
    }
    if (!entries_) return std::nullopt;
    std::optional<std::string_view> found;
    for (const auto& [name, value] : *entries_) {
        if (!sameName(trimmed(name), key)) continue;
        if (found) return std::nullopt;  // listed twice: the system decides which one counts
        found = value;
    }
    return found;
}

int SectionReader::getInt(const std::string& key, int defaultValue) {
    if (const auto value = listed(key)) {
        std::string_view digits = *value;
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

std::string SectionReader::getString(const std::string& key, const std::string& defaultValue) {
    if (const auto value = listed(key)) {
        const bool plain = !value->empty() && value->find('\0') == std::string_view::npos && !isBlank(value->front()) &&
                           !isBlank(value->back()) && value->front() != '"' && value->front() != '\'' &&
                           utf16Units(*value) <= 254;
        if (plain) return std::string(*value);
    }
    return profile_.getString(path_, section_, key, defaultValue);
}

}  // namespace platform
