#pragma once
#include <string>

#include "platform/profile.h"

namespace win32 {

// The settings files: INI files through the system's profile functions, and the file
// operations a save needs.
class Win32Profile : public platform::Profile {
public:
    int getInt(const std::string& path, const std::string& section, const std::string& key, int defaultValue) override;
    std::string getString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue) override;
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::optional<Entries> sectionEntries(const std::string& path, const std::string& section) override;
    bool fileExists(const std::string& path) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool createFolder(const std::string& path) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
};

}  // namespace win32
