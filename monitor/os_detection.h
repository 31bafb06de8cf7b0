#pragma once
#include <cstddef>
#include <string>

#include "platform/os_version.h"

namespace monitor {

// The two Windows families, which differ in how CPU load, free resources, the cache page,
// restarting and several tweaks work.
enum class OsFamily {
    Windows9x,  // 95, 98, ME
    Nt,         // NT 4, 2000, XP and later
};

// The longest name or version text, in bytes (the texts are shown in 80-byte fields).
constexpr size_t kOsTextCapacity = 79;

struct OsDescription {
    std::string name;         // display name of a recognised release, ending in one blank; else empty
    std::string versionText;  // version line of the NT family; empty on the 9x family
    bool isWin95 = false;
    bool isWin98 = false;  // first and second edition
    bool isWinMe = false;
    bool isWinNt = false;  // NT family, major version 4 or lower
    bool isWin2000 = false;
    bool isWinXp = false;
    platform::OsVersionRecord versionInfo{};  // the record exactly as the system filled it
};

// Asks the system afresh with the short record. A refused query counts as the 9x family.
OsFamily osFamily(platform::OsVersion& os);
bool isNtFamily(platform::OsVersion& os);

// Describes the running release. False when the system gives no version at all; out is then
// left as it was. At most one release flag is set.
bool describeOs(platform::OsVersion& os, OsDescription& out);

// The About page's line for the release: a recognised release's name and its version line,
// joined by ", ". A release the program does not know by name is called by its version numbers
// ("Windows 5.2, Service Pack 2 (Build 3790)"), and a system that gave no version at all just
// "Windows", so the line never starts with the comma.
std::string releaseLine(const OsDescription& description);

// The About page's version: major and minor version joined by "." ("5.1", "10.0").
std::string versionNumbers(const OsDescription& description);

// The process-wide description, filled once at start-up before the main window exists and
// read-only afterwards. All empty until then, and when the system gave no version.
const OsDescription& osDescription();
void detectOs(platform::OsVersion& os);

}  // namespace monitor
