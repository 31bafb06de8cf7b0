#pragma once
#include <string>

namespace platform {

// INI ("profile") files, read and written in the system ANSI code page.
class Profile {
public:
    virtual ~Profile() = default;
    virtual int getInt(const std::string& path, const std::string& section, const std::string& key,
                       int defaultValue) = 0;
};

}  // namespace platform
