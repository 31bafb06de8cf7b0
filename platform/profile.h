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

    // The files themselves, so that a set of writes can land all at once: made in a copy, then
    // put in place of the file in one step.
    virtual bool fileExists(const std::string& path) = 0;
    // False when the source is missing or the copy cannot be made.
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    // Puts from in place of to (created when missing); when that fails, to stays as it was. A
    // read-only file is never replaced.
    virtual bool replaceFile(const std::string& from, const std::string& to) = 0;
    // Removes the file, read-only or not; true when it is gone.
    virtual bool deleteFile(const std::string& path) = 0;
    // Makes the folder (its parent must exist); true when it exists afterwards, made now or
    // before.
    virtual bool createFolder(const std::string& path) = 0;
};

}  // namespace platform
