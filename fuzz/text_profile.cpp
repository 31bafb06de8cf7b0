#include "fuzz/text_profile.h"

#include <optional>
#include <string_view>

namespace fuzzing {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

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

// Where a key lives in a text, or where it would be added.
struct Place {
    bool sectionFound = false;
    bool keyFound = false;
    size_t lineStart = 0, lineEnd = 0;  // the key's line, without its "\n"
    size_t insertAt = 0;                // after the section's last line that is not blank
    bool insertNeedsBreak = false;      // that line has no "\n" of its own (the text's end)
    std::string_view value;             // the key's value, blanks removed
};

Place locate(const std::string& text, std::string_view section, std::string_view key) {
    Place place;
    bool inSection = false;  // inside the first section of that name
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        const bool lastLine = end == std::string::npos;
        if (lastLine) end = text.size();
        const size_t next = lastLine ? end : end + 1;
        const std::string_view line = trimmed(std::string_view(text).substr(start, end - start));
        size_t close = std::string_view::npos;
        if (!line.empty() && line.front() == '[') close = line.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            if (inSection) break;  // the first matching section ended
            if (sameName(trimmed(line.substr(1, close - 1)), section)) {
                inSection = place.sectionFound = true;
                place.insertAt = next;
                place.insertNeedsBreak = lastLine;
            }
        } else if (inSection && !line.empty()) {
            place.insertAt = next;
            place.insertNeedsBreak = lastLine;
            const size_t equals = line.find('=');
            if (equals != std::string_view::npos && sameName(trimmed(line.substr(0, equals)), key)) {
                place.keyFound = true;
                place.lineStart = start;
                place.lineEnd = end;
                place.value = trimmed(line.substr(equals + 1));
                return place;
            }
        }
        start = next;
    }
    return place;
}

// The value as the reader hands it over: up to a zero byte (blanks before it removed too),
// quotes removed, at most 254 UTF-16
// units (a character is never split).
std::string readValue(std::string_view value) {
    if (value.find('\0') != std::string_view::npos) value = trimmed(value.substr(0, value.find('\0')));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    size_t end = 0;
    for (size_t units = 0; end < value.size(); ++end) {
        const auto byte = static_cast<unsigned char>(value[end]);
        if ((byte & 0xC0) == 0x80) continue;  // inside a character
        units += byte >= 0xF0 ? 2 : 1;
        if (units > 254) break;
    }
    return std::string(value.substr(0, end));
}

// What ends a last line that has no "\n": its "\r" is kept as the first half of the break.
std::string lineBreakAfter(const std::string& text) { return text.back() == '\r' ? "\n" : "\r\n"; }

}  // namespace

bool findRawValue(const std::string& text, const std::string& section, const std::string& key, std::string& value) {
    const Place place = locate(text, section, key);
    if (place.keyFound) value = std::string(place.value);
    return place.keyFound;
}

int TextProfile::getInt(const std::string& path, const std::string& section, const std::string& key,
                        int defaultValue) {
    auto file = files.find(path);
    if (file == files.end()) return defaultValue;
    const Place place = locate(file->second, section, key);
    if (!place.keyFound) return defaultValue;
    // The leading decimal integer.
    const std::string text = readValue(place.value);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 0x7FFFFFFF) value = value * 10 + (text[i++] - '0');
    return static_cast<int>(negative ? -value : value);
}

std::string TextProfile::getString(const std::string& path, const std::string& section, const std::string& key,
                                   const std::string& defaultValue) {
    auto file = files.find(path);
    if (file == files.end()) return defaultValue;
    const Place place = locate(file->second, section, key);
    return place.keyFound ? readValue(place.value) : defaultValue;
}

bool TextProfile::writeString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& value) {
    if (writesFail) return false;
    std::string& text = files[path];
    const Place place = locate(text, section, key);
    const std::string line = key + "=" + value;
    if (place.keyFound) {
        // The line keeps its own "\r", if it had one.
        const bool carriageReturn = place.lineEnd > place.lineStart && text[place.lineEnd - 1] == '\r';
        text.replace(place.lineStart, place.lineEnd - place.lineStart, carriageReturn ? line + "\r" : line);
    } else if (place.sectionFound) {
        text.insert(place.insertAt, (place.insertNeedsBreak ? lineBreakAfter(text) : "") + line + "\r\n");
    } else {
        if (!text.empty() && text.back() != '\n') text += lineBreakAfter(text);
        text += "[" + section + "]\r\n" + line + "\r\n";
    }
    return true;
}

bool TextProfile::copyFile(const std::string& from, const std::string& to) {
    auto file = files.find(from);
    if (writesFail || file == files.end()) return false;
    const std::string text = file->second;
    files[to] = text;
    return true;
}

bool TextProfile::replaceFile(const std::string& from, const std::string& to) {
    auto file = files.find(from);
    if (writesFail || file == files.end()) return false;
    std::string text = std::move(file->second);
    files.erase(file);
    files[to] = std::move(text);
    return true;
}

}  // namespace fuzzing
