#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace win32 {

// The registry's keys and values; texts cross as UTF-8, stored as the system's wide texts.
class Win32Registry : public platform::Registry {
public:
    long openKey(platform::RegistryRoot root, const std::string& path, uint32_t access, platform::RegistryKey& key) override;
    long createKey(platform::RegistryRoot root, const std::string& path, uint32_t access, platform::RegistryKey& key,
                   bool* created = nullptr) override;
    long queryValue(platform::RegistryKey key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) override;
    long setValue(platform::RegistryKey key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override;
    long deleteValue(platform::RegistryKey key, const std::string& name) override;
    long closeKey(platform::RegistryKey key) override;
};

}  // namespace win32
