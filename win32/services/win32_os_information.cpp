#include "win32/services/win32_os_information.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "win32/services/wide_text.h"

namespace win32 {

namespace {

static_assert(sizeof(OSVERSIONINFOA) == platform::kOsVersionInfoSize, "short version record");
static_assert(sizeof(OSVERSIONINFOEXA) == platform::kOsVersionInfoExSize, "extended version record");

// Text from the system's ANSI code page as UTF-8.
std::string fromAnsi(const char* text, size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, size, wide.data(), wideLength);
    return narrow(wide);
}

}  // namespace

// --- Operating-system version ------------------------------------------------

bool Win32OsVersion::getVersionEx(platform::OsVersionRecord& record) {
    // Only the two sizes the system knows: the call writes as much as the size field says.
    if (record.size != platform::kOsVersionInfoSize && record.size != platform::kOsVersionInfoExSize) return false;
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = record.size;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
    record.majorVersion = info.dwMajorVersion;
    record.minorVersion = info.dwMinorVersion;
    record.buildNumber = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    const size_t ansiLength = strnlen(info.szCSDVersion, sizeof info.szCSDVersion);
    std::string servicePack = fromAnsi(info.szCSDVersion, ansiLength);
    size_t length = std::min(servicePack.size(), sizeof record.servicePack - 1);
    while (length < servicePack.size() && length > 0 && (static_cast<unsigned char>(servicePack[length]) & 0xC0) == 0x80) {
        --length;  // never cut a character in two
    }
    std::memset(record.servicePack, 0, sizeof record.servicePack);
    std::memcpy(record.servicePack, servicePack.data(), length);
    if (record.size == platform::kOsVersionInfoExSize) {
        record.servicePackMajor = info.wServicePackMajor;
        record.servicePackMinor = info.wServicePackMinor;
        record.suiteMask = info.wSuiteMask;
        record.productType = info.wProductType;
        record.reserved = info.wReserved;
    }
    return true;
}

// --- NT system information ---------------------------------------------------

bool Win32NtSystemInformation::findNtQuerySystemInformation() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll");
    ntQuery_ = ntdll != nullptr ? reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")) : nullptr;
    return ntQuery_ != nullptr;
}

int32_t Win32NtSystemInformation::ntQuerySystemInformation(uint32_t infoClass, void* buffer, uint32_t size) {
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    if (ntQuery_ == nullptr) return platform::kStatusProcedureNotFound;
    return static_cast<int32_t>(reinterpret_cast<Query>(ntQuery_)(infoClass, buffer, size, nullptr));
}

}  // namespace win32
