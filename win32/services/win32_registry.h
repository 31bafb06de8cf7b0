#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform::win32 {

// The registry's keys and values; texts cross as UTF-8, stored as the system's wide texts.
class Win32Registry : public Registry {
public:
    long openKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key) override;
    long createKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key,
                   bool* created = nullptr) override;
    long queryValue(RegistryKey key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) override;
    long setValue(RegistryKey key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override;
    long deleteValue(RegistryKey key, const std::string& name) override;
    long closeKey(RegistryKey key) override;
};

}  // namespace platform::win32
