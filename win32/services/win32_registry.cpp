#include "win32/services/win32_registry.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/services/registry_view.h"
#include "win32/services/wide_text.h"

namespace win32 {

namespace {

HKEY toHkey(platform::RegistryKey key) { return reinterpret_cast<HKEY>(key); }

HKEY rootKey(platform::RegistryRoot root) {
    switch (root) {
        case platform::RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case platform::RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
        case platform::RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case platform::RegistryRoot::Users: return HKEY_USERS;
        case platform::RegistryRoot::DynData: return HKEY_DYN_DATA;  // 0x80000006
    }
    return nullptr;
}

bool isTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

long Win32Registry::openKey(platform::RegistryRoot root, const std::string& path, uint32_t access, platform::RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(rootKey(root), widen(path).c_str(), 0, access | registryViewAccess(), &opened);
    if (result == ERROR_SUCCESS) key = reinterpret_cast<platform::RegistryKey>(opened);
    return result;
}

long Win32Registry::createKey(platform::RegistryRoot root, const std::string& path, uint32_t access, platform::RegistryKey& key,
                              bool* created) {
    HKEY opened = nullptr;
    DWORD disposition = 0;
    const LONG result = RegCreateKeyExW(rootKey(root), widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access | registryViewAccess(), nullptr, &opened, &disposition);
    if (result == ERROR_SUCCESS) {
        key = reinterpret_cast<platform::RegistryKey>(opened);
        if (created != nullptr) *created = disposition == REG_CREATED_NEW_KEY;
    }
    return result;
}

long Win32Registry::queryValue(platform::RegistryKey key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) {
    const std::wstring wideName = widen(name);
    DWORD valueType = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExW(toHkey(key), wideName.c_str(), nullptr, &valueType, nullptr, &size);
    if (result != ERROR_SUCCESS) return result;
    std::vector<BYTE> buffer;
    // A value can grow between the two calls: ask again with the new size a few times.
    for (int attempt = 0; attempt < 8; ++attempt) {
        buffer.resize(std::max<DWORD>(size, 1));
        DWORD got = static_cast<DWORD>(buffer.size());
        result = RegQueryValueExW(toHkey(key), wideName.c_str(), nullptr, &valueType, buffer.data(), &got);
        if (result == ERROR_MORE_DATA) {
            size = std::max<DWORD>(got, static_cast<DWORD>(buffer.size()) * 2);
            continue;
        }
        if (result != ERROR_SUCCESS) return result;
        buffer.resize(got);
        type = valueType;
        if (isTextType(valueType)) {
            const auto* units = reinterpret_cast<const wchar_t*>(buffer.data());
            const std::string text = narrow(std::wstring_view(units, buffer.size() / sizeof(wchar_t)));
            data.assign(text.begin(), text.end());
        } else {
            data.assign(buffer.begin(), buffer.end());
        }
        return ERROR_SUCCESS;
    }
    return result;
}

long Win32Registry::setValue(platform::RegistryKey key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
    static const BYTE nothing = 0;
    const std::wstring wideName = widen(name);
    if (isTextType(type)) {
        const std::wstring text = widen(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
        return RegSetValueExW(toHkey(key), wideName.c_str(), 0, type,
                              text.empty() ? &nothing : reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    }
    return RegSetValueExW(toHkey(key), wideName.c_str(), 0, type, data.empty() ? &nothing : data.data(),
                          static_cast<DWORD>(data.size()));
}

long Win32Registry::deleteValue(platform::RegistryKey key, const std::string& name) {
    return RegDeleteValueW(toHkey(key), widen(name).c_str());
}

long Win32Registry::closeKey(platform::RegistryKey key) { return RegCloseKey(toHkey(key)); }

}  // namespace win32
