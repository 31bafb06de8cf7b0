#include "monitor/os_detection.h"

#include <cstring>
#include <string>

namespace monitor {

namespace {

std::string servicePackText(const platform::OsVersionRecord& record) {
    // The system's text need not end inside the field: never read past it.
    const void* end = std::memchr(record.servicePack, '\0', sizeof record.servicePack);
    const size_t length = end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - record.servicePack)
                                         : sizeof record.servicePack;
    return std::string(record.servicePack, length);
}

// Cuts text to the field's capacity without splitting a UTF-8 character.
std::string fitted(std::string text) {
    if (text.size() <= kOsTextCapacity) return text;
    size_t cut = kOsTextCapacity;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text;
}

void describe9x(const platform::OsVersionRecord& record, const std::string& servicePack, OsDescription& out) {
    if (record.majorVersion != 4) return;
    switch (record.minorVersion) {
        case 0:
            out.name = "微软公司 Windows 95 ";
            out.isWin95 = true;
            break;
        case 10:
            // The second edition reports " A ": only its second character is looked at.
            out.name = servicePack.size() > 1 && servicePack[1] == 'A' ? "微软公司 Windows 98SE " : "微软公司 Windows 98 ";
            out.isWin98 = true;
            break;
        case 90:
            out.name = "微软公司 Windows ME ";
            out.isWinMe = true;
            break;
        default:
            break;
    }
}

// The releases after XP, by version, build and whether the system is a server. They carry no
// release flag: nothing but the About page tells them apart. Null for a version no release has.
const char* laterReleaseName(uint32_t major, uint32_t minor, uint32_t build, bool server) {
    if (major == 6) {
        switch (minor) {
            case 0: return server ? "微软公司 Windows Server 2008 " : "微软公司 Windows Vista ";
            case 1: return server ? "微软公司 Windows Server 2008 R2 " : "微软公司 Windows 7 ";
            case 2: return server ? "微软公司 Windows Server 2012 " : "微软公司 Windows 8 ";
            case 3: return server ? "微软公司 Windows Server 2012 R2 " : "微软公司 Windows 8.1 ";
            default: return nullptr;
        }
    }
    if (major == 10 && minor == 0) {
        // Windows 11 and the servers since 2016 all report 10.0: only the build tells them apart.
        if (!server) return build >= 22000 ? "微软公司 Windows 11 " : "微软公司 Windows 10 ";
        // Microsoft's table: the long-term servers by year, the semi-annual ones between them by
        // version. A build between two releases (a preview) takes the name of the one before it.
        struct ServerRelease {
            uint32_t firstBuild;
            const char* name;
        };
        static constexpr ServerRelease kServers[] = {
            {26100, "微软公司 Windows Server 2025 "},     {25398, "微软公司 Windows Server 版本 23H2 "},
            {20348, "微软公司 Windows Server 2022 "},     {19042, "微软公司 Windows Server 版本 20H2 "},
            {19041, "微软公司 Windows Server 版本 2004 "}, {18363, "微软公司 Windows Server 版本 1909 "},
            {18362, "微软公司 Windows Server 版本 1903 "}, {17763, "微软公司 Windows Server 2019 "},
            {17134, "微软公司 Windows Server 版本 1803 "}, {16299, "微软公司 Windows Server 版本 1709 "},
        };
        for (const ServerRelease& release : kServers) {
            if (build >= release.firstBuild) return release.name;
        }
        return "微软公司 Windows Server 2016 ";
    }
    return nullptr;
}

void describeNt(const platform::OsVersionRecord& record, const std::string& servicePack, OsDescription& out) {
    const uint32_t major = record.majorVersion;
    const uint32_t minor = record.minorVersion;
    const uint32_t buildNumber = record.buildNumber & 0xFFFFu;
    if (major <= 4) {
        out.name = "微软公司 Windows NT ";
        out.isWinNt = true;
    } else if (major == 5 && minor == 0) {
        out.name = "微软公司 Windows 2000 ";
        out.isWin2000 = true;
    } else if (major == 5 && minor == 1) {
        out.name = "微软公司 Windows XP ";
        out.isWinXp = true;
    } else {
        // A short record has no product type: such a system is taken for a desktop one.
        const bool server = record.productType == platform::kProductServer ||
                            record.productType == platform::kProductDomainController;
        if (const char* name = laterReleaseName(major, minor, buildNumber, server)) out.name = name;
    }
    const std::string build = std::to_string(buildNumber);
    if (major > 4) {
        out.versionText = fitted(servicePack + " (Build " + build + ")\n");
    } else {
        out.versionText = fitted("版本 " + std::to_string(major) + "." + std::to_string(minor) + " " + servicePack +
                                 " (Build " + build + ")\n   ");
    }
}

OsDescription& storedDescription() {
    static OsDescription description;
    return description;
}

}  // namespace

OsFamily osFamily(platform::OsVersion& os) {
    platform::OsVersionRecord record{};
    record.size = platform::kOsVersionInfoSize;
    os.getVersionEx(record);  // a refusal leaves the zeroed record: the 9x family
    return record.platformId == platform::kPlatformWin32Nt ? OsFamily::Nt : OsFamily::Windows9x;
}

bool isNtFamily(platform::OsVersion& os) { return osFamily(os) == OsFamily::Nt; }

bool describeOs(platform::OsVersion& os, OsDescription& out) {
    platform::OsVersionRecord record{};
    record.size = platform::kOsVersionInfoExSize;
    if (!os.getVersionEx(record)) {
        // Systems before NT 4 SP6 accept only the short record.
        record = platform::OsVersionRecord{};
        record.size = platform::kOsVersionInfoSize;
        if (!os.getVersionEx(record)) return false;
    }

    out = OsDescription{};
    out.versionInfo = record;
    const std::string servicePack = servicePackText(record);
    if (record.platformId == platform::kPlatformWin32Windows) {
        describe9x(record, servicePack, out);
    } else if (record.platformId == platform::kPlatformWin32Nt) {
        describeNt(record, servicePack, out);
    }
    return true;
}

std::string releaseLine(const OsDescription& description) {
    if (!description.name.empty()) return description.name + ", " + description.versionText;
    const platform::OsVersionRecord& record = description.versionInfo;
    std::string name = "Windows";
    if (record.platformId == platform::kPlatformWin32Windows || record.platformId == platform::kPlatformWin32Nt)
        name += " " + std::to_string(record.majorVersion) + "." + std::to_string(record.minorVersion);
    // Without a service pack the version line starts with the blank before "(Build".
    const size_t start = description.versionText.find_first_not_of(' ');
    if (start == std::string::npos) return name;
    const std::string version = description.versionText.substr(start);
    return name + (version[0] == '(' ? " " : ", ") + version;
}

std::string versionNumbers(const OsDescription& description) {
    return std::to_string(description.versionInfo.majorVersion) + "." +
           std::to_string(description.versionInfo.minorVersion);
}

const OsDescription& osDescription() { return storedDescription(); }

void detectOs(platform::OsVersion& os) {
    // A system that gives no version leaves the description empty; start-up goes on.
    OsDescription description;
    describeOs(os, description);
    storedDescription() = description;
}

}  // namespace monitor
