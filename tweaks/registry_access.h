#pragma once
// One registry key held open while a tweak reads or writes its values (with full access unless
// the tweak asks for less).
#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace tweaks {

class RegistryKeyAccess {
public:
    enum class Mode {
        Open,    // the key must exist
        Create,  // the key is made when missing
    };
    RegistryKeyAccess(platform::Registry& registry, platform::RegistryRoot root, const std::string& path,
                      Mode mode = Mode::Open, uint32_t access = platform::kKeyAllAccess);
    ~RegistryKeyAccess();
    RegistryKeyAccess(const RegistryKeyAccess&) = delete;
    RegistryKeyAccess& operator=(const RegistryKeyAccess&) = delete;

    bool opened() const { return key_ != nullptr; }

    // A REG_DWORD value; none when it is missing, of another type or cannot be read.
    std::optional<uint32_t> number(const std::string& name);
    // A text value up to its first zero; "" when it is missing or not a text.
    std::string text(const std::string& name);

    // The writes answer false when the system refused them.
    bool setNumber(const std::string& name, uint32_t value);
    // The text's characters, without a terminating zero.
    bool setText(const std::string& name, const std::string& value);
    bool remove(const std::string& name);

private:
    platform::Registry& registry_;
    platform::RegistryKey key_ = nullptr;
};

}  // namespace tweaks
