#pragma once
// INI files as whole texts, read and written by the rules of the system's profile functions: the
// fake machine keeps its INI files so, and the fuzz targets hand the program arbitrary ones.
// - a line ends at "\n"; blanks (and a "\r") around a line, a section name, a key and a value
//   are ignored;
// - "[name]" opens a section (the name runs to the line's last "]"); lines before the first
//   section belong to none; a line without "=" holds no key;
// - names match without regard to ASCII case; the first matching section, and in it the first
//   matching key, is the one read and written;
// - a value in matching single or double quotes is read without them; a value is read up to a
//   zero byte (without the blanks before it) and cut at 254 UTF-16 units (the program's buffer);
// - a write replaces the key's line in place by "key=value", or adds that line after the
//   section's last line that is not blank, or adds the section at the end; every other line
//   stays byte for byte. A line replaced keeps its line break ("\r\n" or "\n"); a line added
//   ends with "\r\n", and so does the text's last line before it when it had no break.
// The texts are what the program sees (UTF-8); the files' code page is the caller's business.
//
// Each file is kept as its lines, each taken apart once when it is set or written, so that the
// many reads and writes of one load or save do not go through the whole text again.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/profile.h"

namespace platform::fake {

class TextProfile : public platform::Profile {
public:
    // The file's whole text, replacing what it held (made when missing).
    void setText(const std::string& path, const std::string& text);
    // The file's whole text; empty when there is no such file.
    const std::string& text(const std::string& path) const;
    // Whether the file has the key.
    bool hasKey(const std::string& path, const std::string& section, const std::string& key) const;
    // The key's value as the file holds it (the blanks around it left out; quotes and length as
    // they are); none when the reader finds no such key.
    std::optional<std::string> storedValue(const std::string& path, const std::string& section,
                                           const std::string& key) const;
    // Every key the reader finds (the first section of each name, in it the first key of each
    // name), by "section|key" as the file spells them, with its value as the file holds it.
    std::map<std::string, std::string> entries(const std::string& path) const;
    // Every file gone.
    void clear() { files_.clear(); }

    int getInt(const std::string& path, const std::string& section, const std::string& key, int defaultValue) override;
    std::string getString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue) override;
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
    // The entries of the first section of that name, as the file holds them.
    std::optional<Entries> sectionEntries(const std::string& path, const std::string& section) override;
    bool fileExists(const std::string& path) override { return files_.count(path) != 0; }
    bool copyFile(const std::string& from, const std::string& to) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override {
        files_.erase(path);
        return true;
    }
    // Files here live in no folders: every folder exists.
    bool createFolder(const std::string&) override { return true; }

    // One line of a file, taken apart.
    struct Line {
        std::string raw;              // without its line break ("\r\n", "\n" or a last "\r")
        bool newline = false;         // ends with "\n" (only a text's last line may not)
        bool carriageReturn = false;  // ends with "\r" (before its "\n", if it has one)
        enum Kind { kBlank, kSection, kEntry, kOther } kind = kBlank;
        size_t nameStart = 0, nameLength = 0;    // a section's or a key's name in raw, blanks removed
        size_t valueStart = 0, valueLength = 0;  // an entry's value in raw, blanks removed
    };
    struct File {
        std::vector<Line> lines;
        mutable std::string text;  // the lines joined, made when asked for
        mutable bool textStale = false;
    };

private:
    std::map<std::string, File> files_;  // path -> file
};

// The lines of a text (without their "\n" and a "\r" before it), leaving out the first line of
// each written key in the first section of its name, and that section's head: what the program
// does not own. The lines are views into text.
std::vector<std::string_view> linesNotOwned(const std::string& text, const std::set<std::pair<std::string, std::string>>& owned);

}  // namespace platform::fake
