// The cache page (缓存) and the contiguous-allocation box: schemes, edit limits, system.ini on
// the 9x family, the NT registry boxes, and the restart question.
#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <string>
#include <vector>

#include "tests/unit/tweak_fixture.h"
#include "tweaks/cache_tweaks.h"
#include "ui/controls.h"
#include "ui/menu.h"

using tweaks::CacheFigures;

namespace {

constexpr uint64_t k128Mb = 134217728;
constexpr uint64_t k256Mb = 268435456;
constexpr int kMemoryPage = 0, kCachePage = 3;

TEST(CacheSchemes, RowsFollowPhysicalMemory) {
    const CacheFigures rows128[] = {{2048, 32768, 512}, {16384, 16384, 256}, {16384, 32768, 512},
                                    {2048, 16384, 256}, {4096, 12288, 1024}, {2048, 12288, 256}};
    const CacheFigures rows256[] = {{2048, 65536, 512}, {32768, 32768, 256}, {32768, 65536, 512},
                                    {4096, 32768, 256}, {8192, 24576, 1024}, {4096, 24576, 256}};
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(tweaks::cacheSchemeValues(row, k128Mb), rows128[row]) << "128 MB, row " << row;
        EXPECT_EQ(tweaks::cacheSchemeValues(row, k256Mb), rows256[row]) << "256 MB, row " << row;
    }
    // No choice, or one beyond the rows: the standard row.
    EXPECT_EQ(tweaks::cacheSchemeValues(-1, k128Mb), rows128[0]);
    EXPECT_EQ(tweaks::cacheSchemeValues(6, k128Mb), rows128[0]);
    EXPECT_EQ(tweaks::largestDiskCache(k128Mb), 65536u);
    EXPECT_EQ(tweaks::largestDiskCache(k128Mb + 1023), 65536u);  // a fraction of a kilobyte is dropped
}

TEST(CacheSchemes, EditNumbersAreDecimalsTruncatedAndNegativesExceedEveryLimit) {
    constexpr uint64_t above = std::numeric_limits<uint64_t>::max();
    const std::pair<const char*, uint64_t> cases[] = {
        {"65536", 65536}, {"  12abc", 12}, {"1.9", 1},  {"1e3", 1000}, {"+2E+2x", 200}, {"5e", 5},     {".5", 0},
        {"abc", 0},       {"", 0},         {"0x10", 0}, {"-0.5", 0},   {"-5", above},   {"9e99", above},
        // Truncated exactly, however many digits: no rounding through a binary fraction.
        {"9007199254740993", 9007199254740993u}, {"18446744073709551614", above - 1}, {"18446744073709551616", above},
        {"123.456e2", 12345}, {"1234e-2", 12}, {"7e-99999999999", 0}, {"1e99999999999", above}, {"-0e5", 0},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(tweaks::cacheEditValue(text), expected) << text;
}

class CachePage : public TweakTest {
protected:
    ui::PageControl& pages() { return get<ui::PageControl>("MainPageControl"); }
    void openCachePage() { pages().userChanged(kCachePage); }
    size_t questions() const {
        size_t asked = 0;
        for (const auto& box : machine.messageBoxes)
            asked += box.text == "缓存设置发生变化，您需要重新启动计算机吗?                                ";
        return asked;
    }
};

TEST_F(CachePage, ASchemeFillsTheEditsAndLeavingThePageAsksOncePerChange) {
    runs(Release::Win98);
    createWindow();
    openCachePage();
    EXPECT_EQ(questions(), 0u);
    get<ui::ComboBox>("CacheSchemeComboBox").userChanged(5);  // 游戏玩家 on 256 MB
    EXPECT_EQ(text("MinimumDiskCacheEdit"), "4096");
    EXPECT_EQ(text("MaximumDiskCacheEdit"), "24576");
    EXPECT_EQ(text("ChunkSizeEdit"), "256");
    EXPECT_TRUE(ticked("MinimumDiskCacheCheckBox") && ticked("MaximumDiskCacheCheckBox") && ticked("ChunkSizeCheckBox"));
    EXPECT_TRUE(window->state().cacheChangePending);

    machine.messageBoxAnswer = platform::kIdNo;
    pages().userChanged(kMemoryPage);
    ASSERT_EQ(questions(), 1u);
    const auto& question = machine.messageBoxes.back();
    EXPECT_EQ(question.caption, "Quillet");
    EXPECT_EQ(question.flags, platform::kMbYesNo | platform::kMbIconWarning);
    EXPECT_EQ(question.owner, window->window());
    EXPECT_EQ(pages().activePageIndex(), kMemoryPage);  // the page changes whatever the answer
    EXPECT_TRUE(machine.exitWindowsCalls.empty());
    // Asked once: leaving the page again asks nothing.
    openCachePage();
    pages().userChanged(kMemoryPage);
    EXPECT_EQ(questions(), 1u);

    // A new change, and Yes restarts at once.
    openCachePage();
    type("ChunkSizeEdit", "512");
    machine.messageBoxAnswer = platform::kIdYes;
    pages().userChanged(kMemoryPage);
    EXPECT_EQ(questions(), 2u);
    EXPECT_EQ(machine.exitWindowsCalls, std::vector<uint32_t>{platform::kEwxReboot});
}

TEST_F(CachePage, PageChangesFromCodeAndRecoveriesNeverAsk) {
    runs(Release::Win98);
    createWindow();
    openCachePage();
    type("MinimumDiskCacheEdit", "1024");
    // The View menu changes pages from code.
    get<ui::MenuItem>("FreeMemory1").click();
    get<ui::MenuItem>("Cache1").click();
    get<ui::MenuItem>("Options1").click();
    EXPECT_EQ(questions(), 0u);
    EXPECT_TRUE(window->state().cacheChangePending);
    // Leaving another page by its tab asks nothing either: only leaving the cache page does.
    pages().userChanged(kMemoryPage);
    EXPECT_EQ(questions(), 0u);
    EXPECT_TRUE(window->state().cacheChangePending);

    // A recovery shows the resource page and drops the question.
    get<ui::MenuItem>("Cache1").click();
    get<ui::MenuItem>("RecoverRAM1").click();
    finishRecovery();
    EXPECT_EQ(pages().activePageIndex(), kMemoryPage);
    openCachePage();
    pages().userChanged(kMemoryPage);
    EXPECT_EQ(questions(), 0u);
}

TEST_F(CachePage, EditsKeepTheirLimitsAndTheMaximumNeverBelowTheMinimum) {
    runs(Release::Win98);
    machine.status.totalPhys = k128Mb;  // the limit is 65536 KB
    createWindow();
    // Typing in any of the three edits is a change that asks for the restart.
    for (const auto& [edit, typed] : {std::pair{"MinimumDiskCacheEdit", "512"}, std::pair{"MaximumDiskCacheEdit", "1024"},
                                      std::pair{"ChunkSizeEdit", "256"}}) {
        window->state().cacheChangePending = false;
        type(edit, typed);
        EXPECT_TRUE(window->state().cacheChangePending) << edit;
    }
    // A corrected text is selected whole, so the next key replaces it.
    auto lastPushed = [&](const char* edit) { return backend.updates(edit).back(); };
    type("MaximumDiskCacheEdit", "32768");
    type("MinimumDiskCacheEdit", "100000");
    EXPECT_EQ(text("MinimumDiskCacheEdit"), "65536");
    EXPECT_EQ(lastPushed("MinimumDiskCacheEdit"), ui::Change::Selection);
    EXPECT_EQ(text("MaximumDiskCacheEdit"), "65536");
    type("MaximumDiskCacheEdit", "40000");  // below the minimum: the minimum follows
    EXPECT_EQ(text("MinimumDiskCacheEdit"), "40000");
    type("MaximumDiskCacheEdit", "-5");
    EXPECT_EQ(text("MaximumDiskCacheEdit"), "65536");
    EXPECT_EQ(lastPushed("MaximumDiskCacheEdit"), ui::Change::Selection);
    EXPECT_EQ(text("MinimumDiskCacheEdit"), "40000");
    type("ChunkSizeEdit", "2048");
    EXPECT_EQ(text("ChunkSizeEdit"), "1024");
    EXPECT_EQ(lastPushed("ChunkSizeEdit"), ui::Change::Selection);
    type("ChunkSizeEdit", "1023");
    type("ChunkSizeEdit", "1024");
    EXPECT_EQ(text("ChunkSizeEdit"), "1024");
}

TEST_F(CachePage, SystemIniFillsThePageAndASaveWritesItAfterTheSettingsFile) {
    runs(Release::Win98);
    machine.setIni(kSystemIni, "vcache", "minfilecache", "4096");
    machine.setIni(kSystemIni, "vcache", "maxfilecache", "0");
    machine.setIni(kSystemIni, "vcache", "chunksize", "2048");
    machine.setIni(kSystemIni, "386Enh", "ConservativeSwapfileUsage", "1");
    machine.setIni(kSystemIni, "386Enh", "PagingDrive", "C:");
    machine.setIni(kSystemIni, "boot", "shell", "Explorer.exe");
    setIni("DiskCacheScheme", "4");
    createWindow();
    EXPECT_EQ(get<ui::ComboBox>("CacheSchemeComboBox").itemIndex(), 4);  // selected, not applied
    EXPECT_TRUE(ticked("MinimumDiskCacheCheckBox"));
    EXPECT_EQ(text("MinimumDiskCacheEdit"), "4096");
    EXPECT_FALSE(ticked("MaximumDiskCacheCheckBox"));
    EXPECT_EQ(text("MaximumDiskCacheEdit"), "0");  // each edit shows its own entry
    EXPECT_EQ(text("ChunkSizeEdit"), "1024");
    EXPECT_TRUE(ticked("ConserveSwapFileCheckBox"));
    EXPECT_FALSE(greyed("ConserveSwapFileCheckBox"));
    EXPECT_FALSE(window->state().cacheChangePending);
    EXPECT_EQ(systemIni("vcache", "chunksize"), "2048");  // loading wrote nothing

    type("MaximumDiskCacheEdit", "8192");  // its 应用 box stays cleared: "0" is saved
    click("ConserveSwapFileCheckBox");
    get<ui::MenuItem>("SaveSettings1").click();
    EXPECT_EQ(systemIni("vcache", "minfilecache"), "4096");
    EXPECT_EQ(systemIni("vcache", "maxfilecache"), "0");
    EXPECT_EQ(systemIni("vcache", "chunksize"), "2048");  // shown cut to its limit, but never changed
    EXPECT_EQ(systemIni("386Enh", "ConservativeSwapfileUsage"), "0");
    EXPECT_EQ(systemIni("386Enh", "PagingDrive"), "C:");
    EXPECT_EQ(systemIni("boot", "shell"), "Explorer.exe");
    EXPECT_FALSE(machine.fileExists(std::string(kSystemIni) + ".new"));
    const std::vector<std::string> replaced(machine.events.end() - 2, machine.events.end());
    EXPECT_EQ(replaced, (std::vector<std::string>{"replaceFile C:\\Program Files\\Quillet\\Quillet.ini",
                                                  "replaceFile C:\\WINDOWS\\system.ini"}));
}

// What a save does to system.ini when the page was not touched, or touched in one place.
TEST_F(CachePage, OnlyEntriesTheUserChangedAreWrittenAndAnUntouchedPageNeverTouchesTheFile) {
    runs(Release::Win98);
    machine.status.totalPhys = k128Mb;  // the limit is 65536 KB
    machine.setIni(kSystemIni, "vcache", "chunksize", "2048");
    machine.setIni(kSystemIni, "vcache", "maxfilecache", "200000");
    machine.setIni(kSystemIni, "boot", "shell", "Explorer.exe");
    const std::map<std::string, std::string> before = machine.iniFile(kSystemIni);
    auto systemIniWrites = [&] {
        std::vector<std::string> writes;
        for (const std::string& event : machine.events)
            if (event == "replaceFile C:\\WINDOWS\\system.ini") writes.push_back(event);
        for (const std::string& write : machine.iniWrites)
            if (write.rfind("Settings|", 0) != 0) writes.push_back(write);
        return writes;
    };
    createWindow();
    EXPECT_EQ(text("ChunkSizeEdit"), "1024");  // shown within the page's limits
    EXPECT_EQ(text("MaximumDiskCacheEdit"), "65536");
    get<ui::MenuItem>("SaveSettings1").click();
    openCachePage();
    pages().userChanged(kMemoryPage);
    window->Exit1Click();
    EXPECT_EQ(machine.iniFile(kSystemIni), before);
    EXPECT_EQ(systemIniWrites(), std::vector<std::string>{});
    EXPECT_TRUE(machine.messageBoxes.empty());

    // The next run: the user lowers the maximum, nothing else.
    window.reset();
    machine.events.clear();
    createWindow();
    type("MaximumDiskCacheEdit", "30000");
    get<ui::MenuItem>("SaveSettings1").click();
    EXPECT_EQ(systemIniWrites(), (std::vector<std::string>{"replaceFile C:\\WINDOWS\\system.ini",
                                                           "vcache|maxfilecache=30000"}));
    EXPECT_EQ(machine.iniFile(kSystemIni),
              (std::map<std::string, std::string>{{"boot|shell", "Explorer.exe"},
                                                  {"vcache|chunksize", "2048"},
                                                  {"vcache|maxfilecache", "30000"}}));
    // Written once: the exit's save has nothing left to write.
    window->Exit1Click();
    EXPECT_EQ(systemIniWrites().size(), 2u);
}

TEST_F(CachePage, Windows95NeitherReadsNorWritesTheSwapPolicy) {
    runs(Release::Win95);
    machine.setIni(kSystemIni, "386Enh", "ConservativeSwapfileUsage", "1");
    createWindow();
    EXPECT_FALSE(ticked("ConserveSwapFileCheckBox"));
    EXPECT_TRUE(greyed("ConserveSwapFileCheckBox"));
    click("MinimumDiskCacheCheckBox");
    type("MinimumDiskCacheEdit", "1024");
    get<ui::MenuItem>("SaveSettings1").click();
    EXPECT_EQ(systemIni("vcache", "minfilecache"), "1024");
    for (const std::string& write : machine.iniWrites) EXPECT_EQ(write.find("ConservativeSwapfileUsage"), std::string::npos);
}

TEST_F(CachePage, EachFileThatCannotBeWrittenStaysWholeIsToldAndNeverCostsTheOther) {
    runs(Release::WinMe);
    machine.setIni(kSystemIni, "vcache", "minfilecache", "2048");
    machine.setIni(kSystemIni, "boot", "shell", "Explorer.exe");
    machine.readOnlyFiles.insert(kSystemIni);
    createWindow();
    get<ui::MenuItem>("SaveSettings1").click();
    EXPECT_TRUE(machine.messageBoxes.empty()) << "nothing of system.ini was due";
    type("MinimumDiskCacheEdit", "8192");
    get<ui::MenuItem>("SaveSettings1").click();
    EXPECT_NE(machine.iniFile(app::appPaths().iniPath).count("Settings|DiskCacheScheme"), 0u);  // the settings landed
    EXPECT_EQ(machine.iniFile(kSystemIni),
              (std::map<std::string, std::string>{{"boot|shell", "Explorer.exe"}, {"vcache|minfilecache", "2048"}}));
    EXPECT_FALSE(machine.fileExists(std::string(kSystemIni) + ".new"));
    const std::string cacheNotWritten =
        "缓存设置没有写入！请确认 system.ini 不是只读的，并且您有权写入 Windows 文件夹：\nC:\\WINDOWS\\system.ini";
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text, cacheNotWritten);
    EXPECT_EQ(machine.messageBoxes[0].caption, "Quillet");
    EXPECT_EQ(machine.messageBoxes[0].owner, window->window());

    // A settings file that cannot be written: the cache changes, still due, land all the same.
    machine.readOnlyFiles = {app::appPaths().iniPath};
    machine.readOnlyFiles.insert(app::appPaths().iniPath + ".new");
    get<ui::MenuItem>("SaveSettings1").click();
    EXPECT_EQ(systemIni("vcache", "minfilecache"), "8192");
    ASSERT_EQ(machine.messageBoxes.size(), 2u);
    EXPECT_EQ(machine.messageBoxes[1].text,
              "无法保存设置！请确认设置文件不是只读的，并且您有权写入它所在的文件夹：\n"
              "C:\\Program Files\\Quillet\\Quillet.ini");

    // The exit's save tells it too.
    machine.readOnlyFiles = {kSystemIni};
    type("ChunkSizeEdit", "512");
    click("ChunkSizeCheckBox");
    window->Exit1Click();
    ASSERT_EQ(machine.messageBoxes.size(), 3u);
    EXPECT_EQ(machine.messageBoxes[2].text, cacheNotWritten);
    EXPECT_EQ(systemIni("vcache", "chunksize"), "<none>");
}

// ---- the NT registry boxes ----

TEST_F(CachePage, RegistryBoxesShowTheRegistryAsItIsAndClicksWriteTheirValues) {
    runs(Release::WinXp);
    putNumber(Root::LocalMachine, kFileSystem, "NtfsDisable8dot3NameCreation", 2);
    putNumber(Root::LocalMachine, kMemory, "LargeSystemCache", 1);
    createWindow();
    EXPECT_TRUE(ticked("Disable83NameCreationCheckBox"));
    EXPECT_FALSE(ticked("DisableLastAccessTimeStampCheckBox"));
    EXPECT_FALSE(ticked("DisablePagingExecutiveCheckBox"));
    EXPECT_TRUE(ticked("LargeSystemCacheCheckBox"));
    EXPECT_TRUE(registryChanges().empty());
    EXPECT_EQ(value(Root::LocalMachine, kFileSystem, "NtfsDisable8dot3NameCreation"), "dword 2");

    click("Disable83NameCreationCheckBox");
    EXPECT_EQ(value(Root::LocalMachine, kFileSystem, "NtfsDisable8dot3NameCreation"), "dword 0");
    EXPECT_TRUE(window->state().cacheChangePending);
    click("Disable83NameCreationCheckBox");
    EXPECT_EQ(value(Root::LocalMachine, kFileSystem, "NtfsDisable8dot3NameCreation"), "dword 1");
    click("DisableLastAccessTimeStampCheckBox");
    click("DisablePagingExecutiveCheckBox");
    click("LargeSystemCacheCheckBox");
    EXPECT_EQ(value(Root::LocalMachine, kFileSystem, "NtfsDisableLastAccessUpdate"), "dword 1");
    EXPECT_EQ(value(Root::LocalMachine, kMemory, "DisablePagingExecutive"), "dword 1");
    EXPECT_EQ(value(Root::LocalMachine, kMemory, "LargeSystemCache"), "dword 0");

    // Contiguous allocation: 512, or no value at all; no restart is due for it.
    window->state().cacheChangePending = false;
    click("ContigFileAllocSizeCheckBox");
    EXPECT_EQ(value(Root::LocalMachine, kFileSystem, "ContigFileAllocSize"), "dword 512");
    click("ContigFileAllocSizeCheckBox");
    EXPECT_EQ(value(Root::LocalMachine, kFileSystem, "ContigFileAllocSize"), "missing");
    EXPECT_FALSE(window->state().cacheChangePending);
    EXPECT_EQ(machine.openRegistryKeys(), 0u);
}

TEST_F(CachePage, AKeyThatCannotBeOpenedGreysItsBoxes) {
    runs(Release::Win2000);
    machine.deniedRegistryKeys.insert(std::string("HKEY_LOCAL_MACHINE\\") + kMemory);
    createWindow();
    EXPECT_TRUE(greyed("DisablePagingExecutiveCheckBox"));
    EXPECT_TRUE(greyed("LargeSystemCacheCheckBox"));
    EXPECT_FALSE(greyed("Disable83NameCreationCheckBox"));
    EXPECT_FALSE(greyed("ContigFileAllocSizeCheckBox"));

    // Contiguous allocation on the 9x family too.
    runs(Release::Win98);
    machine.deniedRegistryKeys.insert(std::string("HKEY_LOCAL_MACHINE\\") + kFileSystem);
    window.reset();
    createWindow();
    EXPECT_TRUE(greyed("ContigFileAllocSizeCheckBox"));
}

}  // namespace
