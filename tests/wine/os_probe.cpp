// Checks the platform layer's version, NT system-information and registry services, and the
// OS description and CPU sampler built on them, on the Windows release Wine is set to emulate;
// and the library search the program restricts at start. The probe carries the program's own
// manifest, so it is told the version the program is told.
// Usage: os_probe <win95|win98|winme|nt40|win2k|winxp|vista|win7|win8|win81|win10|default>.
// Exit code 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "monitor/cpu_usage.h"
#include "tests/wine/check_report.h"
#include "monitor/os_detection.h"
#include "win32/services/system_dll.h"
#include "win32/services/win32_services.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

using checks::check;
using checks::checkText;

// --- what each emulated release reports ------------------------------------------------------

struct Release {
    const char* wineVersion;
    uint32_t platformId;
    uint32_t major, minor;  // 0.0 where Wine's own release is meant
    const char* name;       // null: any name (Wine's default release changes with Wine's version)
    const char* flag;
    // The version line and the About page's line, or null where they follow from the reported
    // record (Wine's default release, and the build Wine gives Windows 10).
    const char* versionText;
    const char* aboutLine;
    // The server of the same version, where Wine may hand that record instead: Wine 8 gives
    // its win7 setting the record of Server 2008 R2 (product type 3), and the name must follow
    // the product type.
    const char* serverName = nullptr;
};

const Release kReleases[] = {
    {"win95", 1, 4, 0, "微软公司 Windows 95 ", "95", "", "微软公司 Windows 95 , "},
    // Wine reports " A ", the second edition.
    {"win98", 1, 4, 10, "微软公司 Windows 98SE ", "98", "", "微软公司 Windows 98SE , "},
    {"winme", 1, 4, 90, "微软公司 Windows ME ", "ME", "", "微软公司 Windows ME , "},
    {"nt40", 2, 4, 0, "微软公司 Windows NT ", "NT", "版本 4.0 Service Pack 6a (Build 1381)\n   ",
     "微软公司 Windows NT , 版本 4.0 Service Pack 6a (Build 1381)\n   "},
    {"win2k", 2, 5, 0, "微软公司 Windows 2000 ", "2000", "Service Pack 4 (Build 2195)\n",
     "微软公司 Windows 2000 , Service Pack 4 (Build 2195)\n"},
    {"winxp", 2, 5, 1, "微软公司 Windows XP ", "XP", "Service Pack 3 (Build 2600)\n",
     "微软公司 Windows XP , Service Pack 3 (Build 2600)\n"},
    // The releases after XP are named but carry no flag. 8.1 and 10 report their true version
    // only to a program whose manifest names them.
    {"vista", 2, 6, 0, "微软公司 Windows Vista ", "", "Service Pack 2 (Build 6002)\n",
     "微软公司 Windows Vista , Service Pack 2 (Build 6002)\n"},
    {"win7", 2, 6, 1, "微软公司 Windows 7 ", "", "Service Pack 1 (Build 7601)\n",
     "微软公司 Windows 7 , Service Pack 1 (Build 7601)\n", "微软公司 Windows Server 2008 R2 "},
    {"win8", 2, 6, 2, "微软公司 Windows 8 ", "", " (Build 9200)\n", "微软公司 Windows 8 ,  (Build 9200)\n"},
    {"win81", 2, 6, 3, "微软公司 Windows 8.1 ", "", " (Build 9600)\n", "微软公司 Windows 8.1 ,  (Build 9600)\n"},
    {"win10", 2, 10, 0, "微软公司 Windows 10 ", "", nullptr, nullptr},
    {"default", 2, 0, 0, nullptr, "", nullptr, nullptr},
};

std::string flagsOf(const monitor::OsDescription& d) {
    std::string set;
    if (d.isWin95) set += "95";
    if (d.isWin98) set += "98";
    if (d.isWinMe) set += "ME";
    if (d.isWinNt) set += "NT";
    if (d.isWin2000) set += "2000";
    if (d.isWinXp) set += "XP";
    return set;
}

void checkDescription(win32::Win32Services& os, const Release& release) {
    monitor::OsDescription d;
    check(monitor::describeOs(os.osVersion, d), "describeOs answers");
    const platform::OsVersionRecord& v = d.versionInfo;
    std::printf("     reported %u.%u build %u platform %u product type %u service pack \"%s\"\n", v.majorVersion,
                v.minorVersion, v.buildNumber, v.platformId, v.productType, v.servicePack);
    check(v.size == platform::kOsVersionInfoExSize, "the extended record is accepted");
    check(v.platformId == release.platformId, "platform identifier");
    check(monitor::isNtFamily(os.osVersion) == (release.platformId == platform::kPlatformWin32Nt), "isNtFamily");
    if (release.major != 0) {
        check(v.majorVersion == release.major && v.minorVersion == release.minor, "major and minor version");
    } else {
        check(v.majorVersion > 5 || (v.majorVersion == 5 && v.minorVersion > 1), "a release after XP");
    }
    const bool asServer = release.serverName != nullptr && v.productType != 1;
    if (asServer) {
        std::printf("     Wine gives this release the server's record\n");
        checkText(d.name, release.serverName, "name (of the server)");
    } else if (release.name != nullptr) {
        checkText(d.name, release.name, "name");
    } else {
        check(!d.name.empty(), "Wine's own release is one the program names", d.name);
    }
    checkText(flagsOf(d), release.flag, "release flag");
    const std::string expectedText =
        release.versionText != nullptr
            ? release.versionText
            : std::string(v.servicePack) + " (Build " + std::to_string(v.buildNumber & 0xFFFF) + ")\n";
    checkText(d.versionText, expectedText, "version text");
    if (release.major == 10) {
        // Windows 10's builds run from 10240; 11 starts at 22000.
        const uint32_t build = v.buildNumber & 0xFFFF;
        check(build >= 10240 && build < 22000, "a Windows 10 build", std::to_string(build));
    }

    // The About page: the version numbers, and the release's name with its version line.
    if (release.major != 0) {
        checkText(monitor::versionNumbers(d), std::to_string(release.major) + "." + std::to_string(release.minor),
                  "About page: version");
    }
    checkText(monitor::releaseLine(d),
              release.aboutLine != nullptr && !asServer ? std::string(release.aboutLine) : d.name + ", " + expectedText,
              "About page: the release's line");

    // The short record says the same.
    platform::OsVersionRecord shortRecord{};
    shortRecord.size = platform::kOsVersionInfoSize;
    check(os.osVersion.getVersionEx(shortRecord) && shortRecord.majorVersion == v.majorVersion &&
              shortRecord.minorVersion == v.minorVersion && shortRecord.buildNumber == v.buildNumber &&
              std::string(shortRecord.servicePack) == v.servicePack,
          "the short record agrees");
}

// --- CPU usage -------------------------------------------------------------------------------

constexpr const char* kCpuUsage = "KERNEL\\CPUUsage";

void spin(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    volatile unsigned counter = 0;
    while (GetTickCount() - start < milliseconds) counter = counter + 1;
}

void checkMeasuredLoad(monitor::CpuUsageSampler& sampler) {
    check(sampler.sampleCpuUsage() == 0, "the first CPU sample is 0");
    for (int i = 0; i < 2; ++i) {
        spin(300);
        Sleep(200);
        const int32_t load = sampler.sampleCpuUsage();
        std::printf("     CPU load over 500 ms: %d%%\n", load);
        check(load >= -1 && load <= 101, "a later CPU sample lies in 0 ... 100", std::to_string(load));
    }
}

// Writes (or with a negative figure removes) the kernel's CPU figure under one PerfStats key.
bool publish(win32::Win32Services& os, const char* key, long long figure) {
    RegistryKey handle = nullptr;
    const std::string path = std::string("PerfStats\\") + key;
    if (figure < 0) {
        if (os.registry.openKey(RegistryRoot::DynData, path, platform::kKeyAllAccess, handle) != platform::kErrorSuccess) {
            return true;
        }
        const long result = os.registry.deleteValue(handle, kCpuUsage);
        os.registry.closeKey(handle);
        return result == platform::kErrorSuccess || result == platform::kErrorFileNotFound;
    }
    if (os.registry.createKey(RegistryRoot::DynData, path, platform::kKeyAllAccess, handle) != platform::kErrorSuccess) {
        return false;
    }
    const auto value = static_cast<uint32_t>(figure);
    const std::vector<uint8_t> bytes{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                     static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    const long result = os.registry.setValue(handle, kCpuUsage, platform::kRegBinary, bytes);
    os.registry.closeKey(handle);
    return result == platform::kErrorSuccess;
}

void checkKernelFigure(win32::Win32Services& os, monitor::CpuUsageSampler& sampler) {
    RegistryKey handle = nullptr;
    const bool perfStats =
        os.registry.openKey(RegistryRoot::DynData, "PerfStats", platform::kKeyRead, handle) == platform::kErrorSuccess;
    if (perfStats) os.registry.closeKey(handle);
    check(perfStats, "HKEY_DYN_DATA has PerfStats");

    // Leftovers of an interrupted run would stand in for the system's own (missing) figure.
    check(publish(os, "StartStat", -1) && publish(os, "StatData", -1), "no figure of an earlier run is left");
    const int32_t own = sampler.sampleCpuUsage();
    std::printf("     the system's own CPU figure reads as %d\n", own);
    check(own == 0, "without a kernel figure the CPU sample is 0", std::to_string(own));

    check(publish(os, "StartStat", 12) && publish(os, "StatData", 73), "a kernel figure can be published");
    check(sampler.sampleCpuUsage() == 73, "the figure comes back unchanged");
    check(sampler.sampleCpuUsage() == 73, "and again: no first-sample rule");
    check(publish(os, "StatData", 250), "a figure over 100 can be published");
    check(sampler.sampleCpuUsage() == 250, "a figure over 100 comes back unchanged");
    check(publish(os, "StatData", -1) && publish(os, "StartStat", -1), "the published figures are removed");
    check(sampler.sampleCpuUsage() == 0, "with the figures gone the sample is 0 again");
}

// --- the registry itself ---------------------------------------------------------------------

void checkRegistry(win32::Win32Services& os) {
    const std::string path = "Software\\Quillet 测试\\探针";
    RegistryKey key = nullptr;
    bool created = false;
    check(os.registry.createKey(RegistryRoot::CurrentUser, path, platform::kKeyAllAccess, key, &created) == 0,
          "registry: create a key with a Chinese name");
    RegistryKey again = nullptr;
    bool createdAgain = true;
    check(os.registry.createKey(RegistryRoot::CurrentUser, path, platform::kKeyRead, again, &createdAgain) == 0 &&
              !createdAgain,
          "registry: creating it again opens it");
    os.registry.closeKey(again);

    const std::string text = "宋体 C:\\程序\\Quillet.exe";
    const std::vector<uint8_t> bare(text.begin(), text.end());
    std::vector<uint8_t> terminated = bare;
    terminated.push_back(0);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    check(os.registry.setValue(key, "路径", platform::kRegSz, bare) == 0, "registry: set a text without a terminating zero");
    check(os.registry.queryValue(key, "路径", type, data) == 0 && type == platform::kRegSz && data == terminated,
          "registry: the text comes back, with a terminating zero added");
    check(os.registry.setValue(key, "路径", platform::kRegSz, terminated) == 0 &&
              os.registry.queryValue(key, "路径", type, data) == 0 && data == terminated,
          "registry: a terminating zero comes back too");
    const std::vector<uint8_t> dword{0x78, 0x56, 0x34, 0x12};
    check(os.registry.setValue(key, "Number", platform::kRegDword, dword) == 0 && os.registry.queryValue(key, "number", type, data) == 0 &&
              type == platform::kRegDword && data == dword,
          "registry: a number, its name found without regard to case");
    const std::vector<uint8_t> large(100000, 0x5A);
    check(os.registry.setValue(key, "Large", platform::kRegBinary, large) == 0 && os.registry.queryValue(key, "Large", type, data) == 0 &&
              data == large,
          "registry: a large value is read whole");

    check(os.registry.deleteValue(key, "Number") == 0, "registry: delete a value");
    check(os.registry.queryValue(key, "Number", type, data) == platform::kErrorFileNotFound, "registry: a deleted value is 2");
    check(os.registry.deleteValue(key, "Number") == platform::kErrorFileNotFound, "registry: deleting it again is 2");
    os.registry.deleteValue(key, "路径");
    os.registry.deleteValue(key, "Large");
    check(os.registry.closeKey(key) == 0, "registry: close");

    RegistryKey readOnly = nullptr;
    check(os.registry.openKey(RegistryRoot::CurrentUser, path, platform::kKeyRead, readOnly) == 0,
          "registry: open for reading");
    check(os.registry.setValue(readOnly, "x", platform::kRegDword, dword) == platform::kErrorAccessDenied,
          "registry: writing through a read-only handle is 5");
    os.registry.closeKey(readOnly);
    RegistryKey missing = nullptr;
    check(os.registry.openKey(RegistryRoot::LocalMachine, "Software\\Quillet no such key", platform::kKeyRead, missing) ==
              platform::kErrorFileNotFound,
          "registry: a missing key is 2");
}

// A DLL planted beside the program is found by its name until the program restricts the
// library search, and never after; the system's own libraries still load.
void checkLibrarySearch() {
    HMODULE planted = LoadLibraryW(L"qplanted.dll");
    check(planted != nullptr, "library search: the DLL planted beside the probe loads by name at first");
    if (planted != nullptr) FreeLibrary(planted);
    win32::restrictLibrarySearch();
    check(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories") != nullptr,
          "library search: this system can keep it to the system folder");
    planted = LoadLibraryW(L"qplanted.dll");
    check(planted == nullptr, "library search: once restricted, the planted DLL is not found");
    check(LoadLibraryW(L"winmm.dll") != nullptr, "library search: a system DLL still loads by name");
    check(win32::systemProcedure(L"wininet.dll", "InternetOpenW") != nullptr,
          "library search: an on-demand library loads from the system folder");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: os_probe <win95|win98|winme|nt40|win2k|winxp|vista|win7|win8|win81|win10|default>\n");
        return 2;
    }
    const std::string wanted = argv[1];
    const Release* release = nullptr;
    for (const Release& r : kReleases) {
        if (wanted == r.wineVersion) release = &r;
    }
    if (release == nullptr) {
        std::printf("unknown release %s\n", wanted.c_str());
        return 2;
    }

    win32::Win32Services os("");
    checkDescription(os, *release);

    const bool ntQuery = os.ntSystem.findNtQuerySystemInformation();
    std::printf("     NtQuerySystemInformation %s\n", ntQuery ? "found" : "missing");
    monitor::CpuUsageSampler sampler(os.osVersion, os.ntSystem, os.registry);
    if (release->platformId == platform::kPlatformWin32Nt) {
        check(ntQuery, "NtQuerySystemInformation is found in ntdll");
        checkMeasuredLoad(sampler);
    } else {
        checkKernelFigure(os, sampler);
    }
    checkRegistry(os);
    checkLibrarySearch();

    return checks::summary();
}
