#include "tweaks/registry_access.h"

#include <vector>

namespace tweaks {

RegistryKeyAccess::RegistryKeyAccess(platform::Registry& registry, platform::RegistryRoot root,
                                     const std::string& path, Mode mode, uint32_t access)
    : registry_(registry) {
    platform::RegistryKey key = nullptr;
    const long result = mode == Mode::Create ? registry.createKey(root, path, access, key)
                                             : registry.openKey(root, path, access, key);
    if (result == platform::kErrorSuccess) key_ = key;
}

RegistryKeyAccess::~RegistryKeyAccess() {
    if (key_ != nullptr) registry_.closeKey(key_);
}

std::optional<uint32_t> RegistryKeyAccess::number(const std::string& name) {
    if (key_ == nullptr) return std::nullopt;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (registry_.queryValue(key_, name, type, data) != platform::kErrorSuccess) return std::nullopt;
    if (type != platform::kRegDword || data.size() != 4) return std::nullopt;
    return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 | static_cast<uint32_t>(data[2]) << 16 |
           static_cast<uint32_t>(data[3]) << 24;
}

std::string RegistryKeyAccess::text(const std::string& name) {
    if (key_ == nullptr) return "";
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (registry_.queryValue(key_, name, type, data) != platform::kErrorSuccess) return "";
    if (type != platform::kRegSz && type != platform::kRegExpandSz) return "";
    std::string value(data.begin(), data.end());
    return value.substr(0, value.find('\0'));
}

bool RegistryKeyAccess::setNumber(const std::string& name, uint32_t value) {
    if (key_ == nullptr) return false;
    const std::vector<uint8_t> data = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                       static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return registry_.setValue(key_, name, platform::kRegDword, data) == platform::kErrorSuccess;
}

bool RegistryKeyAccess::setText(const std::string& name, const std::string& value) {
    if (key_ == nullptr) return false;
    return registry_.setValue(key_, name, platform::kRegSz, std::vector<uint8_t>(value.begin(), value.end())) ==
           platform::kErrorSuccess;
}

bool RegistryKeyAccess::remove(const std::string& name) {
    if (key_ == nullptr) return false;
    return registry_.deleteValue(key_, name) == platform::kErrorSuccess;
}

}  // namespace tweaks
