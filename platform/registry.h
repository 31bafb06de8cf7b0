#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The predefined keys every path starts from.
enum class RegistryRoot {
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    DynData,  // the 9x family's dynamic performance data (HKEY_DYN_DATA)
};

// Opaque handle of an open key; null means "none".
struct RegistryKeyTag;
using RegistryKey = RegistryKeyTag*;

// Result codes (Win32 error numbers, passed through unchanged).
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;  // no such key or value
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorInvalidParameter = 87;

// Access rights (Win32 values).
constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeySetValue = 0x0002;
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyWrite = 0x20006;
constexpr uint32_t kKeyAllAccess = 0xF003F;

// Value types (Win32 values).
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

// The system registry. Key paths use "\" between names; names are UTF-8 and compared without
// regard to case. Values are typed bytes; the data of the text types (kRegSz, kRegExpandSz,
// kRegMultiSz) is UTF-8. A text is stored with exactly the zero bytes the caller wrote (one
// written without a terminating zero is stored without one), and, as on NT, one that was
// stored without it is read with a terminating zero added. A kRegDword is 4 bytes, low
// byte first.
class Registry {
public:
    virtual ~Registry() = default;
    // Opens an existing key; on success key holds a handle to close.
    virtual long openKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key) = 0;
    // Opens the key, creating it and any missing keys above it; created tells which happened.
    virtual long createKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key,
                           bool* created = nullptr) = 0;
    // Reads a whole value ("" is the key's default value).
    virtual long queryValue(RegistryKey key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) = 0;
    virtual long setValue(RegistryKey key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) = 0;
    virtual long deleteValue(RegistryKey key, const std::string& name) = 0;
    virtual long closeKey(RegistryKey key) = 0;
};

}  // namespace platform
