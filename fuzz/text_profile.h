#pragma once
// INI files as whole texts, read and written by the rules of the system's profile functions, for
// the fuzz targets that hand the program an arbitrary settings file or system.ini:
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
//   stays byte for byte.
// The texts are what the program sees (UTF-8); the files' code page is the harness's business.
#include <map>
#include <string>

#include "platform/profile.h"

namespace fuzzing {

class TextProfile : public platform::Profile {
public:
    std::map<std::string, std::string> files;  // path -> text
    bool writesFail = false;                   // every write, copy and replace fails

    int getInt(const std::string& path, const std::string& section, const std::string& key, int defaultValue) override;
    std::string getString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue) override;
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool fileExists(const std::string& path) override { return files.count(path) != 0; }
    bool copyFile(const std::string& from, const std::string& to) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override {
        files.erase(path);
        return true;
    }
};

// The value of the key as the profile functions find it, before quotes and the cut; false
// when the file has no such key.
bool findRawValue(const std::string& text, const std::string& section, const std::string& key, std::string& value);

}  // namespace fuzzing
