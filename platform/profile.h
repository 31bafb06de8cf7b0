#pragma once
#include <string>

namespace platform {

// INI ("profile") files, read and written in the system ANSI code page.
class Profile {
public:
    virtual ~Profile() = default;
    // The value's leading decimal integer; the default when the key or the file is missing, 0
    // when the value does not begin with a number.
    virtual int getInt(const std::string& path, const std::string& section, const std::string& key,
                       int defaultValue) = 0;
    // The value as text, at most 254 characters; the default when the key is missing.
    virtual std::string getString(const std::string& path, const std::string& section, const std::string& key,
                                  const std::string& defaultValue) = 0;
    // Replaces the key's value in place or adds it, creating the file and the section when
    // missing; other keys stay as they are. False when the file cannot be written.
    virtual bool writeString(const std::string& path, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

}  // namespace platform
