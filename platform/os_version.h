#pragma once
#include <cstdint>

namespace platform {

// Sizes of the version record the system accepts: the short form (up to the service-pack
// text) and the extended form (NT 4 SP6 and later) with the service-pack numbers and the
// product fields.
constexpr uint32_t kOsVersionInfoSize = 148;
constexpr uint32_t kOsVersionInfoExSize = 156;

// Platform identifiers of the version record.
constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWin32Windows = 1;  // 95, 98, ME
constexpr uint32_t kPlatformWin32Nt = 2;       // NT 4, 2000, XP and every later Windows

// Product types of the extended record: a desktop release, or one of the two server kinds.
constexpr uint8_t kProductWorkstation = 1;
constexpr uint8_t kProductDomainController = 2;
constexpr uint8_t kProductServer = 3;

// The operating system's extended version record, field for field.
struct OsVersionRecord {
    uint32_t size = 0;  // set by the caller: kOsVersionInfoSize or kOsVersionInfoExSize
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
    uint32_t buildNumber = 0;  // on the 9x family the high 16 bits hold major and minor again
    uint32_t platformId = 0;
    char servicePack[128] = {};  // UTF-8, zero-terminated when shorter than 128 bytes
    // Extended form only.
    uint16_t servicePackMajor = 0;
    uint16_t servicePackMinor = 0;
    uint16_t suiteMask = 0;
    uint8_t productType = 0;  // kProductWorkstation, ...; 0 in a short record
    uint8_t reserved = 0;
};
static_assert(sizeof(OsVersionRecord) == kOsVersionInfoExSize, "the record mirrors the system's layout");

class OsVersion {
public:
    virtual ~OsVersion() = default;
    // Fills record in the form its size field asks for; a short record's extended fields are
    // left alone. False when the system refuses that size (or any other size); the record
    // is then not written.
    virtual bool getVersionEx(OsVersionRecord& record) = 0;
};

}  // namespace platform
