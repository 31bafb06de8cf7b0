#include "platform/fake/text_profile.h"

#include <string_view>

namespace platform::fake {

namespace {

using Line = TextProfile::Line;
using File = TextProfile::File;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

char lowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names compared without regard to ASCII case, character by character: the profile is asked
// thousands of times for each input, and a memcmp would be one more comparison libFuzzer follows.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i])) return false;
    return true;
}

// What a line (without its line break) holds, as places in it.
struct Parts {
    Line::Kind kind = Line::kBlank;
    size_t nameStart = 0, nameLength = 0, valueStart = 0, valueLength = 0;
};

Parts partsOf(std::string_view raw) {
    Parts parts;
    const std::string_view text = trimmed(raw);
    if (text.empty()) return parts;
    auto place = [raw](std::string_view part, size_t& start, size_t& length) {
        start = static_cast<size_t>(part.data() - raw.data());
        length = part.size();
    };
    const size_t close = text.front() == '[' ? text.rfind(']') : std::string_view::npos;
    if (close != std::string_view::npos && close > 0) {
        parts.kind = Line::kSection;
        place(trimmed(text.substr(1, close - 1)), parts.nameStart, parts.nameLength);
        return parts;
    }
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        parts.kind = Line::kOther;
        return parts;
    }
    parts.kind = Line::kEntry;
    place(trimmed(text.substr(0, equals)), parts.nameStart, parts.nameLength);
    place(trimmed(text.substr(equals + 1)), parts.valueStart, parts.valueLength);
    return parts;
}

void takeApart(Line& line) {
    const Parts parts = partsOf(line.raw);
    line.kind = parts.kind;
    line.nameStart = parts.nameStart;
    line.nameLength = parts.nameLength;
    line.valueStart = parts.valueStart;
    line.valueLength = parts.valueLength;
}

std::string_view nameOf(const Line& line) { return std::string_view(line.raw).substr(line.nameStart, line.nameLength); }

// Calls each(line, newline) for the lines of a text, each ended by "\n" but perhaps the last,
// without the "\n".
template <typename Each>
void forEachLine(std::string_view text, Each each) {
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        const bool newline = end != std::string_view::npos;
        if (!newline) end = text.size();
        each(text.substr(start, end - start), newline);
        start = end + 1;
    }
}

std::vector<Line> split(std::string_view text) {
    std::vector<Line> lines;
    size_t count = 1;
    for (char c : text) count += c == '\n';
    lines.reserve(count);
    forEachLine(text, [&lines](std::string_view raw, bool newline) {
        Line& line = lines.emplace_back();
        line.newline = newline;
        line.carriageReturn = !raw.empty() && raw.back() == '\r';
        if (line.carriageReturn) raw.remove_suffix(1);
        line.raw = std::string(raw);
        takeApart(line);
    });
    return lines;
}

const std::string& joined(const File& file) {
    if (file.textStale) {
        file.text.clear();
        for (const Line& line : file.lines) {
            file.text += line.raw;
            if (line.carriageReturn) file.text += '\r';
            if (line.newline) file.text += '\n';
        }
        file.textStale = false;
    }
    return file.text;
}

File fileOf(const std::string& text) {
    File file;
    file.lines = split(text);
    file.text = text;
    return file;
}

// Where a key lives in a file, or where it would be added.
struct Place {
    bool sectionFound = false;
    bool keyFound = false;
    size_t line = 0;                // the key's line
    size_t insertAt = 0;            // after the section's last line that is not blank
    bool insertNeedsBreak = false;  // that line has no "\n" of its own (the text's end)
};

Place locate(const File& file, const std::string& section, const std::string& key) {
    Place place;
    bool inSection = false;  // inside the first section of that name
    for (size_t i = 0; i < file.lines.size(); ++i) {
        const Line& line = file.lines[i];
        if (line.kind == Line::kSection) {
            if (inSection) break;  // the first matching section ended
            if (sameName(nameOf(line), section)) {
                inSection = place.sectionFound = true;
                place.insertAt = i + 1;
                place.insertNeedsBreak = !line.newline;
            }
        } else if (inSection && line.kind != Line::kBlank) {
            place.insertAt = i + 1;
            place.insertNeedsBreak = !line.newline;
            if (line.kind == Line::kEntry && sameName(nameOf(line), key)) {
                place.keyFound = true;
                place.line = i;
                return place;
            }
        }
    }
    return place;
}

// The leading decimal integer of a value, as the reader takes it: an optional sign, then digits
// up to the first other character; 0 without digits.
int leadingInt(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 0x7FFFFFFF) value = value * 10 + (text[i++] - '0');
    return static_cast<int>(negative ? -value : value);
}

std::string_view rawValue(const Line& line) {
    return std::string_view(line.raw).substr(line.valueStart, line.valueLength);
}

// The value as the reader hands it over: up to a zero byte (blanks before it removed too),
// quotes removed, at most 254 UTF-16 units (a character is never split).
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

// The last line, which has no "\n", is given a line break: its "\r" is kept as the first half
// of the break, or a whole "\r\n" is added.
void endLastLine(File& file) {
    Line& last = file.lines.back();
    last.newline = last.carriageReturn = true;
}

// A line added, with a "\r\n" of its own.
Line& addLine(File& file, size_t at) {
    Line& line = *file.lines.emplace(file.lines.begin() + static_cast<std::ptrdiff_t>(at));
    line.newline = line.carriageReturn = true;
    return line;
}

}  // namespace

void TextProfile::setText(const std::string& path, const std::string& text) { files_[path] = fileOf(text); }

const std::string& TextProfile::text(const std::string& path) const {
    static const std::string none;
    auto file = files_.find(path);
    return file == files_.end() ? none : joined(file->second);
}

bool TextProfile::hasKey(const std::string& path, const std::string& section, const std::string& key) const {
    auto file = files_.find(path);
    return file != files_.end() && locate(file->second, section, key).keyFound;
}

std::optional<std::string> TextProfile::storedValue(const std::string& path, const std::string& section,
                                                    const std::string& key) const {
    auto file = files_.find(path);
    if (file == files_.end()) return std::nullopt;
    const Place place = locate(file->second, section, key);
    if (!place.keyFound) return std::nullopt;
    return std::string(rawValue(file->second.lines[place.line]));
}

std::map<std::string, std::string> TextProfile::entries(const std::string& path) const {
    std::map<std::string, std::string> found;
    auto file = files_.find(path);
    if (file == files_.end()) return found;
    auto seenBefore = [](const std::vector<std::string_view>& seen, std::string_view name) {
        for (std::string_view before : seen)
            if (sameName(before, name)) return true;
        return false;
    };
    std::vector<std::string_view> sections, keys;  // seen before, in this section
    std::string_view section;
    bool firstOfItsName = false;
    for (const Line& line : file->second.lines) {
        if (line.kind == Line::kSection) {
            section = nameOf(line);
            firstOfItsName = !seenBefore(sections, section);
            sections.push_back(section);
            keys.clear();
        } else if (firstOfItsName && line.kind == Line::kEntry && !seenBefore(keys, nameOf(line))) {
            keys.push_back(nameOf(line));
            found.emplace(std::string(section) + "|" + std::string(nameOf(line)), std::string(rawValue(line)));
        }
    }
    return found;
}

int TextProfile::getInt(const std::string& path, const std::string& section, const std::string& key,
                        int defaultValue) {
    auto file = files_.find(path);
    if (file == files_.end()) return defaultValue;
    const Place place = locate(file->second, section, key);
    if (!place.keyFound) return defaultValue;
    return leadingInt(readValue(rawValue(file->second.lines[place.line])));
}

std::string TextProfile::getString(const std::string& path, const std::string& section, const std::string& key,
                                   const std::string& defaultValue) {
    auto file = files_.find(path);
    if (file == files_.end()) return defaultValue;
    const Place place = locate(file->second, section, key);
    return place.keyFound ? readValue(rawValue(file->second.lines[place.line])) : defaultValue;
}

std::optional<platform::Profile::Entries> TextProfile::sectionEntries(const std::string& path,
                                                                    const std::string& section) {
    Entries entries;
    auto file = files_.find(path);
    if (file == files_.end()) return entries;
    bool inSection = false;
    for (const Line& line : file->second.lines) {
        if (line.kind == Line::kSection) {
            if (inSection) break;
            inSection = sameName(nameOf(line), section);
        } else if (inSection && line.kind == Line::kEntry) {
            entries.emplace_back(std::string(nameOf(line)), std::string(rawValue(line)));
        } else if (inSection && line.kind == Line::kOther) {
            entries.emplace_back(std::string(trimmed(line.raw)), std::string());
        }
    }
    return entries;
}

bool TextProfile::writeString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& value) {
    File& file = files_[path];
    const Place place = locate(file, section, key);
    size_t at = place.line;  // the line written; a line replaced keeps its own line break
    if (!place.keyFound && place.sectionFound) {
        if (place.insertNeedsBreak) endLastLine(file);
        addLine(file, at = place.insertAt);
    } else if (!place.keyFound) {
        if (!file.lines.empty() && !file.lines.back().newline) endLastLine(file);
        Line& head = addLine(file, file.lines.size());
        head.raw = "[" + section + "]";
        takeApart(head);
        addLine(file, at = file.lines.size());
    }
    Line& line = file.lines[at];
    line.raw.assign(key);
    line.raw += '=';
    line.raw += value;
    takeApart(line);
    if (line.raw.find('\n') != std::string::npos) {
        // A value with a "\n" in it makes more than one line.
        std::vector<Line> lines = split(line.raw + (line.carriageReturn ? "\r" : "") + (line.newline ? "\n" : ""));
        file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(at));
        file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(lines.begin()),
                          std::make_move_iterator(lines.end()));
    }
    file.textStale = true;
    return true;
}

bool TextProfile::copyFile(const std::string& from, const std::string& to) {
    auto file = files_.find(from);
    if (file == files_.end()) return false;
    const File copy = file->second;
    files_[to] = copy;
    return true;
}

bool TextProfile::replaceFile(const std::string& from, const std::string& to) {
    auto file = files_.find(from);
    if (file == files_.end()) return false;
    File moved = std::move(file->second);
    files_.erase(file);
    files_[to] = std::move(moved);
    return true;
}

std::vector<std::string_view> linesNotOwned(const std::string& text,
                                            const std::set<std::pair<std::string, std::string>>& owned) {
    struct Owned {
        std::string_view section, key;
        bool seen;
    };
    std::vector<Owned> wanted;
    for (const auto& [section, key] : owned) wanted.push_back({section, key, false});
    std::vector<std::string_view> sectionsSeen;
    std::string_view current;
    bool firstOfItsName = false;
    std::vector<std::string_view> lines;
    lines.reserve(64);
    forEachLine(text, [&](std::string_view raw, bool) {
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        const Parts parts = partsOf(raw);
        const std::string_view name = raw.substr(parts.nameStart, parts.nameLength);
        if (parts.kind == Line::kSection) {
            current = name;
            firstOfItsName = true;
            for (std::string_view seen : sectionsSeen)
                if (sameName(seen, current)) firstOfItsName = false;
            if (firstOfItsName) {
                sectionsSeen.push_back(current);
                // A section the program writes to may be added by it.
                for (const Owned& entry : wanted)
                    if (sameName(current, entry.section)) return;
            }
        } else if (firstOfItsName && parts.kind == Line::kEntry) {
            // The first line of an owned key (its names in any case) is the program's.
            bool first = false;
            for (Owned& entry : wanted)
                if (!entry.seen && sameName(current, entry.section) && sameName(name, entry.key))
                    first = entry.seen = true;
            if (first) return;
        }
        lines.push_back(raw);
    });
    return lines;
}

}  // namespace platform::fake
