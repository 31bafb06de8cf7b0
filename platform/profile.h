#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
    // The section's entries in one read, as the system lists them: each "name=value" line taken
    // apart at its first "=", in the file's order, and each other line as (line, ""). None when
    // they cannot be listed whole. Only a help for SectionReader, which checks what it takes from
    // them.
    using Entries = std::vector<std::pair<std::string, std::string>>;
    virtual std::optional<Entries> sectionEntries(const std::string& /*path*/, const std::string& /*section*/) {
        return std::nullopt;
    }
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

// Reads many keys of one section with one read of the file where it can (each read through the
// system's profile functions opens the file again), always answering exactly as getInt and
// getString do. A key listed once, with a plain value, is answered from the section's list: a
// decimal number of at most nine digits, without a leading zero, for getInt; for getString a
// value with no blank or quote at either end and at most 254 characters (which the system hands
// over as it is). A key the list does not name at all gets its default, as from the system, when
// the default is one the system hands back as it is (for getString, by the same rule as a value,
// or empty). Every other key (listed twice, or unusual: hexadecimal, quoted, empty, long)
// is asked of getInt or getString themselves.
class SectionReader {
public:
    SectionReader(Profile& profile, std::string path, std::string section);
    int getInt(const std::string& key, int defaultValue);
    std::string getString(const std::string& key, const std::string& defaultValue);

private:
    // What the section's list says of a key.
    struct Listing {
        bool known = false;  // the list was read (when not, every key is asked)
        int times = 0;       // lines of it that name the key
        std::string_view value;
    };
    Listing listing(const std::string& key);

    Profile& profile_;
    std::string path_;
    std::string section_;
    bool read_ = false;
    std::optional<Profile::Entries> entries_;
};

}  // namespace platform
