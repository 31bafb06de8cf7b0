#include "monitor/os_detection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

using monitor::describeOs;
using monitor::OsDescription;
using platform::fake::FakeMachine;

namespace {

constexpr uint32_t k9x = platform::kPlatformWin32Windows;
constexpr uint32_t kNt = platform::kPlatformWin32Nt;

OsDescription described(FakeMachine& machine) {
    OsDescription out;
    EXPECT_TRUE(describeOs(machine, out));
    return out;
}

// The set flags by name, so a failure shows which release was taken.
std::string flags(const OsDescription& d) {
    std::string set;
    if (d.isWin95) set += "95 ";
    if (d.isWin98) set += "98 ";
    if (d.isWinMe) set += "ME ";
    if (d.isWinNt) set += "NT ";
    if (d.isWin2000) set += "2000 ";
    if (d.isWinXp) set += "XP ";
    return set;
}

}  // namespace

TEST(OsDetection, Windows9xReleases) {
    struct Case {
        uint32_t minor;
        const char* servicePack;
        const char* name;
        const char* flags;
    };
    const Case cases[] = {
        {0, "", "微软公司 Windows 95 ", "95 "},
        {0, " C", "微软公司 Windows 95 ", "95 "},
        {10, "", "微软公司 Windows 98 ", "98 "},
        {10, " A ", "微软公司 Windows 98SE ", "98 "},  // as the second edition reports it
        {10, " A", "微软公司 Windows 98SE ", "98 "},
        {10, "A", "微软公司 Windows 98 ", "98 "},  // only the second character counts
        {10, "AA", "微软公司 Windows 98SE ", "98 "},
        {10, " a ", "微软公司 Windows 98 ", "98 "},
        {90, " ", "微软公司 Windows ME ", "ME "},
        {3, "", "", ""},  // a 9x minor version no row knows
    };
    for (const Case& c : cases) {
        FakeMachine machine;
        machine.setVersion(k9x, 4, c.minor, (4u << 24) | (c.minor << 16) | 1998, c.servicePack);
        const OsDescription d = described(machine);
        const std::string what = "4." + std::to_string(c.minor) + " \"" + c.servicePack + "\"";
        EXPECT_EQ(d.name, c.name) << what;
        EXPECT_EQ(flags(d), c.flags) << what;
        EXPECT_EQ(d.versionText, "") << what;
        EXPECT_FALSE(monitor::isNtFamily(machine)) << what;
    }
}

TEST(OsDetection, NtReleasesAndTheirVersionTexts) {
    struct Case {
        uint32_t major, minor, build;
        const char* servicePack;
        const char* name;
        const char* flags;
        const char* versionText;
    };
    const Case cases[] = {
        {4, 0, 1381, "Service Pack 6", "微软公司 Windows NT ", "NT ", "版本 4.0 Service Pack 6 (Build 1381)\n   "},
        {3, 51, 1057, "Service Pack 5", "微软公司 Windows NT ", "NT ", "版本 3.51 Service Pack 5 (Build 1057)\n   "},
        {5, 0, 2195, "Service Pack 4", "微软公司 Windows 2000 ", "2000 ", "Service Pack 4 (Build 2195)\n"},
        {5, 1, 2600, "Service Pack 3", "微软公司 Windows XP ", "XP ", "Service Pack 3 (Build 2600)\n"},
        {5, 1, 2600, "", "微软公司 Windows XP ", "XP ", " (Build 2600)\n"},
        // Releases after XP carry no flag; those the program knows are named.
        {5, 2, 3790, "Service Pack 2", "", "", "Service Pack 2 (Build 3790)\n"},
        {6, 0, 6002, "Service Pack 2", "微软公司 Windows Vista ", "", "Service Pack 2 (Build 6002)\n"},
        {6, 1, 7601, "Service Pack 1", "微软公司 Windows 7 ", "", "Service Pack 1 (Build 7601)\n"},
        {5, 3, 0x12345678, "", "", "", " (Build 22136)\n"},  // the build number's low 16 bits
        {4, 0, 0x0001FFFF, "x", "微软公司 Windows NT ", "NT ", "版本 4.0 x (Build 65535)\n   "},
    };
    for (const Case& c : cases) {
        FakeMachine machine;
        machine.setVersion(kNt, c.major, c.minor, c.build, c.servicePack);
        const OsDescription d = described(machine);
        const std::string what = std::to_string(c.major) + "." + std::to_string(c.minor);
        EXPECT_EQ(d.name, c.name) << what;
        EXPECT_EQ(flags(d), c.flags) << what;
        EXPECT_EQ(d.versionText, c.versionText) << what;
        EXPECT_EQ(d.versionInfo.buildNumber, c.build) << what;  // the record itself is kept whole
        EXPECT_TRUE(monitor::isNtFamily(machine)) << what;
    }
}

TEST(OsDetection, OtherPlatformsGetOnlyTheRecord) {
    FakeMachine machine;
    machine.setVersion(platform::kPlatformWin32s, 3, 11, 0, "x");
    const OsDescription d = described(machine);
    EXPECT_EQ(d.name, "");
    EXPECT_EQ(d.versionText, "");
    EXPECT_EQ(flags(d), "");
    EXPECT_EQ(d.versionInfo.majorVersion, 3u);
    EXPECT_FALSE(monitor::isNtFamily(machine));
}

TEST(OsDetection, TheExtendedRecordIsAskedFirstAndKeptAsGiven) {
    FakeMachine machine;  // XP SP3
    const OsDescription d = described(machine);
    EXPECT_EQ(machine.versionQueries, std::vector<uint32_t>{156});
    EXPECT_EQ(d.versionInfo.size, 156u);
    EXPECT_EQ(d.versionInfo.servicePackMajor, 3u);
    EXPECT_EQ(d.versionInfo.suiteMask, 0x100u);
    EXPECT_EQ(d.versionInfo.productType, 1u);
    EXPECT_STREQ(d.versionInfo.servicePack, "Service Pack 3");
}

TEST(OsDetection, FallsBackToTheShortRecord) {
    FakeMachine machine;
    machine.setVersion(kNt, 4, 0, 1381, "Service Pack 5");
    machine.version.servicePackMajor = 5;  // never seen through the short record
    machine.refuseExtendedVersion = true;
    const OsDescription d = described(machine);
    EXPECT_EQ(machine.versionQueries, (std::vector<uint32_t>{156, 148}));
    EXPECT_EQ(d.versionInfo.size, 148u);
    EXPECT_EQ(d.versionInfo.servicePackMajor, 0u);
    EXPECT_EQ(d.name, "微软公司 Windows NT ");
    EXPECT_EQ(d.versionText, "版本 4.0 Service Pack 5 (Build 1381)\n   ");
}

TEST(OsDetection, NoVersionAtAllLeavesTheRecordAlone) {
    FakeMachine machine;
    machine.refuseExtendedVersion = true;
    machine.refuseShortVersion = true;
    OsDescription out;
    out.name = "before";
    out.isWin98 = true;
    out.versionInfo.majorVersion = 77;
    EXPECT_FALSE(describeOs(machine, out));
    EXPECT_EQ(out.name, "before");
    EXPECT_TRUE(out.isWin98);
    EXPECT_EQ(out.versionInfo.majorVersion, 77u);
    EXPECT_FALSE(monitor::isNtFamily(machine));  // a failed query reads as the 9x family
}

TEST(OsDetection, DescribingAgainClearsTheEarlierRelease) {
    FakeMachine machine;  // XP
    OsDescription out = described(machine);
    machine.setVersion(k9x, 4, 90, 0, "");
    ASSERT_TRUE(describeOs(machine, out));
    EXPECT_EQ(flags(out), "ME ");
    EXPECT_EQ(out.versionText, "");
}

TEST(OsDetection, FamilyTestUsesTheShortRecordOnly) {
    FakeMachine machine;
    machine.refuseExtendedVersion = true;  // as NT before SP6
    EXPECT_TRUE(monitor::isNtFamily(machine));
    EXPECT_EQ(monitor::osFamily(machine), monitor::OsFamily::Nt);
    EXPECT_EQ(machine.versionQueries, (std::vector<uint32_t>{148, 148}));
}

TEST(OsDetection, ServicePackTextsNeverOverrunTheVersionLine) {
    FakeMachine machine;
    machine.setVersion(kNt, 4, 0, 1381, "");
    // A text that fills its whole field, with no terminating zero.
    std::memset(machine.version.servicePack, 'S', sizeof machine.version.servicePack);
    OsDescription d = described(machine);
    EXPECT_EQ(d.versionText, "版本 4.0 " + std::string(79 - 11, 'S'));
    // A long text of three-byte characters is cut between characters.
    std::string wide;
    for (int i = 0; i < 40; ++i) wide += "包";
    machine.setVersion(kNt, 6, 0, 6000, wide);
    d = described(machine);
    EXPECT_LE(d.versionText.size(), 79u);
    EXPECT_EQ(d.versionText.size() % 3, 0u);
    EXPECT_EQ(d.versionText, wide.substr(0, d.versionText.size()));
}

// The About page's two lines for the release: its version numbers, and its name with the
// version line (never starting with the comma).
TEST(OsDetection, AboutPageLinesOfEachRelease) {
    constexpr uint8_t kServer = 3, kDomainController = 2, kWorkstation = 1;
    struct Case {
        uint32_t platform, major, minor, build;
        const char* servicePack;
        const char* version;
        const char* line;
        uint8_t productType = 0;  // none, as in a short record
    };
    const Case cases[] = {
        // Recognised releases: the name, ", " and the version line, as they always read.
        {kNt, 5, 1, 2600, "Service Pack 3", "5.1", "微软公司 Windows XP , Service Pack 3 (Build 2600)\n"},
        {kNt, 4, 0, 1381, "Service Pack 6", "4.0", "微软公司 Windows NT , 版本 4.0 Service Pack 6 (Build 1381)\n   "},
        {k9x, 4, 10, 2222, " A ", "4.10", "微软公司 Windows 98SE , "},
        // The releases after XP, by version, build and product type.
        {kNt, 6, 0, 6002, "Service Pack 2", "6.0", "微软公司 Windows Vista , Service Pack 2 (Build 6002)\n",
         kWorkstation},
        {kNt, 6, 1, 7601, "Service Pack 1", "6.1", "微软公司 Windows 7 , Service Pack 1 (Build 7601)\n", kWorkstation},
        {kNt, 6, 1, 7600, "", "6.1", "微软公司 Windows 7 ,  (Build 7600)\n"},  // no product type: a desktop
        {kNt, 6, 2, 9200, "", "6.2", "微软公司 Windows 8 ,  (Build 9200)\n", kWorkstation},
        {kNt, 6, 3, 9600, "", "6.3", "微软公司 Windows 8.1 ,  (Build 9600)\n", kWorkstation},
        {kNt, 10, 0, 10240, "", "10.0", "微软公司 Windows 10 ,  (Build 10240)\n", kWorkstation},
        {kNt, 10, 0, 21999, "", "10.0", "微软公司 Windows 10 ,  (Build 21999)\n", kWorkstation},
        {kNt, 10, 0, 22000, "", "10.0", "微软公司 Windows 11 ,  (Build 22000)\n", kWorkstation},
        {kNt, 10, 0, 26100, "", "10.0", "微软公司 Windows 11 ,  (Build 26100)\n", kWorkstation},
        {kNt, 6, 0, 6001, "Service Pack 1", "6.0", "微软公司 Windows Server 2008 , Service Pack 1 (Build 6001)\n",
         kServer},
        {kNt, 6, 1, 7601, "Service Pack 1", "6.1", "微软公司 Windows Server 2008 R2 , Service Pack 1 (Build 7601)\n",
         kDomainController},
        {kNt, 6, 2, 9200, "", "6.2", "微软公司 Windows Server 2012 ,  (Build 9200)\n", kServer},
        {kNt, 6, 3, 9600, "", "6.3", "微软公司 Windows Server 2012 R2 ,  (Build 9600)\n", kServer},
        {kNt, 10, 0, 14393, "", "10.0", "微软公司 Windows Server 2016 ,  (Build 14393)\n", kServer},
        {kNt, 10, 0, 16298, "", "10.0", "微软公司 Windows Server 2016 ,  (Build 16298)\n", kServer},
        {kNt, 10, 0, 16299, "", "10.0", "微软公司 Windows Server 版本 1709 ,  (Build 16299)\n", kServer},
        {kNt, 10, 0, 17762, "", "10.0", "微软公司 Windows Server 版本 1803 ,  (Build 17762)\n", kServer},
        {kNt, 10, 0, 17763, "", "10.0", "微软公司 Windows Server 2019 ,  (Build 17763)\n", kDomainController},
        {kNt, 10, 0, 19042, "", "10.0", "微软公司 Windows Server 版本 20H2 ,  (Build 19042)\n", kServer},
        {kNt, 10, 0, 20348, "", "10.0", "微软公司 Windows Server 2022 ,  (Build 20348)\n", kServer},
        {kNt, 10, 0, 25398, "", "10.0", "微软公司 Windows Server 版本 23H2 ,  (Build 25398)\n", kServer},
        {kNt, 10, 0, 22000, "", "10.0", "微软公司 Windows Server 2022 ,  (Build 22000)\n", kServer},
        {kNt, 10, 0, 26100, "", "10.0", "微软公司 Windows Server 2025 ,  (Build 26100)\n", kServer},
        // Releases without a name are called by their version numbers.
        {kNt, 5, 2, 3790, "Service Pack 2", "5.2", "Windows 5.2, Service Pack 2 (Build 3790)\n", kServer},
        {kNt, 6, 4, 9841, "", "6.4", "Windows 6.4 (Build 9841)\n", kWorkstation},
        {kNt, 11, 0, 30000, "", "11.0", "Windows 11.0 (Build 30000)\n", kWorkstation},
        {k9x, 4, 3, 1998, "", "4.3", "Windows 4.3"},
        {platform::kPlatformWin32s, 3, 11, 0, "x", "3.11", "Windows"},
    };
    for (const Case& c : cases) {
        FakeMachine machine;
        machine.setVersion(c.platform, c.major, c.minor, c.build, c.servicePack);
        machine.version.productType = c.productType;
        const OsDescription d = described(machine);
        const std::string what = std::to_string(c.major) + "." + std::to_string(c.minor) + " build " +
                                 std::to_string(c.build) + " type " + std::to_string(c.productType);
        EXPECT_EQ(monitor::versionNumbers(d), c.version) << what;
        EXPECT_EQ(monitor::releaseLine(d), c.line) << what;
        // The flags stay those of the releases up to XP: translucency, the cache page and the
        // network tweaks must not take a later release for one of them.
        if (c.major >= 6 || (c.major == 5 && c.minor >= 2)) {
            EXPECT_EQ(flags(d), "") << what;
        }
    }
    // A system that gave no version leaves the description empty.
    EXPECT_EQ(monitor::releaseLine(OsDescription{}), "Windows");
}
