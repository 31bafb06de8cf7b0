#include "mainwindow/tray_icon.h"

#include <gtest/gtest.h>

#include "tests/unit/main_window_fixture.h"

#include <memory>
#include <optional>
#include <string>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "ui/headless_backend.h"
#include "ui/menu.h"

using platform::fake::FakeMachine;

namespace {


TEST(TrayIconLook, LevelColourDigitPlaceAndTip) {
    EXPECT_EQ(mainwindow::trayLevelColor(21), 0x00FF00u);
    EXPECT_EQ(mainwindow::trayLevelColor(20), 0x00FFFFu);
    EXPECT_EQ(mainwindow::trayLevelColor(6), 0x00FFFFu);
    EXPECT_EQ(mainwindow::trayLevelColor(5), 0x0000FFu);
    EXPECT_EQ(mainwindow::trayTextX("8"), 6);
    EXPECT_EQ(mainwindow::trayTextX("64"), 3);
    EXPECT_EQ(mainwindow::trayTextX("512"), 1);
    EXPECT_EQ(mainwindow::trayTextX("1536"), 0);
    // At the shell's larger sizes the places grow with the icon.
    EXPECT_EQ(mainwindow::trayTextX("8", 20), 8);
    EXPECT_EQ(mainwindow::trayTextX("64", 24), 5);
    EXPECT_EQ(mainwindow::trayTextX("512", 32), 2);
    EXPECT_EQ(mainwindow::trayTextX("1536", 32), 0);
    EXPECT_EQ(mainwindow::trayTip(1234, 61), "Quillet 可用内存：1,234MB内存荷载：61%");
    EXPECT_EQ(mainwindow::trayTip(8, 5), "Quillet 可用内存：8MB内存荷载：05%");
}

TEST(TrayIconLook, FiguresBeyondFourDigitsStayWithinFourCharacters) {
    const std::pair<uint64_t, const char*> cases[] = {
        {9999, "9999"}, {10000, "9.7"}, {20480, "20.0"}, {20991, "20.4"}, {102399, "99.9"},
        {102400, "100G"}, {1023999, "999G"}, {1024000, "0.9T"}, {1572864, "1.5T"}, {12u << 20, "12T"},
        {UINT64_MAX >> 20, "999T"}};
    for (const auto& [megabytes, shown] : cases) EXPECT_EQ(mainwindow::trayDigits(megabytes), shown) << megabytes;
}

// A recovery's result in words: what free memory did, never a negative "freed" figure, and the
// page file only where its use grew; whole megabytes, truncated, with group separators.
TEST(TrayIconLook, RecoveryResultInWords) {
    constexpr uint64_t MB = 1048576;
    EXPECT_EQ(mainwindow::recoveryResultText(2345 * MB + 999, 3579 * MB + 1, 700 * MB, 700 * MB),
              "可用内存：2,345MB → 3,579MB（增加 1,234MB）");
    EXPECT_EQ(mainwindow::recoveryResultText(2345 * MB, 2301 * MB, 700 * MB, 600 * MB), "可用内存没有增加：2,345MB → 2,301MB");
    EXPECT_EQ(mainwindow::recoveryResultText(2345 * MB, 2345 * MB + 5, 0, 0), "可用内存没有增加：2,345MB → 2,345MB");
    EXPECT_EQ(mainwindow::recoveryResultText(1000 * MB, 1800 * MB, 300 * MB, 812 * MB),
              "可用内存：1,000MB → 1,800MB（增加 800MB）\n页面文件多用了 512MB");
    EXPECT_EQ(mainwindow::recoveryResultText(900 * MB, 850 * MB, 300 * MB, 301 * MB + 7),
              "可用内存没有增加：900MB → 850MB\n页面文件多用了 1MB");
    // Beyond 4 GB, and beyond what 32 bits of megabytes hold.
    EXPECT_EQ(mainwindow::recoveryResultText(6144 * MB, 10240 * MB, 5000 * MB, 9096 * MB),
              "可用内存：6,144MB → 10,240MB（增加 4,096MB）\n页面文件多用了 4,096MB");
    EXPECT_EQ(mainwindow::recoveryResultText(5000000000ull * MB, 5000000001ull * MB, 0, 0),
              "可用内存：5,000,000,000MB → 5,000,000,001MB（增加 1MB）");
    // Where the system does not tell the page files' use, before or after, no guess is made.
    EXPECT_EQ(mainwindow::recoveryResultText(1000 * MB, 1800 * MB, std::nullopt, 812 * MB), "可用内存：1,000MB → 1,800MB（增加 800MB）");
    EXPECT_EQ(mainwindow::recoveryResultText(900 * MB, 850 * MB, 300 * MB, std::nullopt), "可用内存没有增加：900MB → 850MB");

    // Balloons exist from Windows 2000 and ME on.
    const auto release = [](uint32_t platformId, uint32_t major, bool me) {
        monitor::OsDescription os;
        os.versionInfo.platformId = platformId;
        os.versionInfo.majorVersion = major;
        os.isWinMe = me;
        return mainwindow::trayOffersBalloons(os);
    };
    EXPECT_TRUE(release(platform::kPlatformWin32Nt, 5, false));
    EXPECT_TRUE(release(platform::kPlatformWin32Nt, 10, false));
    EXPECT_FALSE(release(platform::kPlatformWin32Nt, 4, false));
    EXPECT_TRUE(release(platform::kPlatformWin32Windows, 4, true));
    EXPECT_FALSE(release(platform::kPlatformWin32Windows, 4, false));
}

class Tray : public MainWindowTest {
protected:
    void create(bool loopRuns = true) {
        machine.status.totalPhys = 2048 * MB;
        machine.status.availPhys = 1536 * MB;
        machine.status.memoryLoad = 25;
        createWindow(false, loopRuns);
    }
    const FakeMachine::TrayEntry* entry() {
        auto found = machine.trayIcons.find({window->window(), 1u});
        return found == machine.trayIcons.end() ? nullptr : &found->second;
    }
    const FakeMachine::DrawnIcon* shown() { return entry() ? machine.drawn(entry()->icon) : nullptr; }
    size_t alive() const {
        size_t n = 0;
        for (const auto& d : machine.drawnIcons) n += d.destroyed ? 0 : 1;
        return n;
    }
    // The balloons asked of the shell, as "TITLE|TEXT" (an empty text takes one away).
    std::vector<std::string> balloons() const {
        std::vector<std::string> out;
        for (const std::string& e : machine.events)
            if (e.rfind("trayBalloon ", 0) == 0) out.push_back(e.substr(12));
        return out;
    }
    // Monitor ticks and the system's clock move on together.
    void wait(uint32_t ms) {
        machine.tick += ms;
        backend.advance(ms);
    }
    // Free memory, and what of page files of 4,096 MB is not in use; the commit charge stays.
    void setFigures(uint64_t freeMB, uint64_t pageFileFreeMB) {
        machine.status.availPhys = freeMB * MB;
        machine.pageFileUse = (4096 - pageFileFreeMB) * MB;
    }

};

TEST_F(Tray, AddedAtCreationThenDrawnFromTheFigures) {
    create();
    ASSERT_NE(entry(), nullptr);
    EXPECT_EQ(entry()->callbackMessage, 1025u);
    const auto& e = machine.events;
    // One call to the shell (a round trip to another process): the add brings the figures.
    const auto isTrayCall = [](const std::string& event) { return event.rfind("tray", 0) == 0; };
    EXPECT_EQ(std::count_if(e.begin(), e.end(), isTrayCall), 1);
    EXPECT_NE(std::find(e.begin(), e.end(), "trayAdd Quillet 可用内存：1,536MB内存荷载：25%"), e.end());
    EXPECT_EQ(entry()->tip, "Quillet 可用内存：1,536MB内存荷载：25%");
    ASSERT_NE(shown(), nullptr);
    EXPECT_EQ(shown()->digits, "1536");
    EXPECT_EQ(shown()->textX, 0);
    EXPECT_EQ(shown()->lineColor, 0x00FF00u);
    EXPECT_FALSE(shown()->redDot);

    window->DisableAutoRecover1Click();
    machine.status.availPhys = 8 * MB;
    backend.advance(500);
    EXPECT_EQ(shown()->digits, "8");
    EXPECT_EQ(shown()->lineColor, 0x0000FFu);
    EXPECT_TRUE(shown()->redDot);
    EXPECT_EQ(alive(), 1u) << "each new image replaces the last";

    // Ticks that change neither picture nor tip leave the shell alone.
    const size_t drawn = machine.drawnIcons.size(), calls = machine.events.size();
    backend.advance(5000);
    EXPECT_EQ(machine.drawnIcons.size(), drawn);
    EXPECT_EQ(std::count(machine.events.begin() + static_cast<long>(calls), machine.events.end(), "trayModify " + entry()->tip), 0);
    const int iconsGiven = entry()->iconsGiven;
    const platform::Icon icon = entry()->icon;
    machine.status.memoryLoad = 26;  // the tip alone changes: the shell gets the tip alone
    backend.advance(500);
    EXPECT_EQ(machine.drawnIcons.size(), drawn);
    EXPECT_EQ(entry()->tip, "Quillet 可用内存：8MB内存荷载：26%");
    EXPECT_EQ(entry()->iconsGiven, iconsGiven);
    EXPECT_EQ(entry()->icon, icon);
    machine.status.availPhys = 9 * MB;  // a new picture goes with its tip
    backend.advance(500);
    EXPECT_EQ(entry()->iconsGiven, iconsGiven + 1);
    EXPECT_EQ(shown()->digits, "9");
}

TEST_F(Tray, RecoveriesLeaveNoDrawnIconBehind) {
    create();
    machine.largestCommit = 0;
    for (int i = 0; i < 50; ++i) {
        machine.status.availPhys = (1000 + i) * MB;  // a new picture every time, no alarm
        window->startRecovery(MB);
        finishRecovery();
        backend.advance(500);
    }
    EXPECT_GE(machine.drawnIcons.size(), 50u);
    EXPECT_EQ(alive(), 1u);
}

TEST_F(Tray, ARecoveryShowsTheProgramIconUntilTheNextRefresh) {
    create();
    machine.largestCommit = 0;
    window->startRecovery(MB);
    EXPECT_EQ(entry()->icon, machine.programIconHandle());
    EXPECT_EQ(entry()->tip, "Quillet - 正在释放内存……");
    backend.advance(500);
    EXPECT_EQ(entry()->tip, "Quillet - 正在释放内存……") << "figures stay while it runs";
    machine.runThreads();
    machine.deliverPosted();
    backend.advance(500);
    EXPECT_NE(machine.drawn(entry()->icon), nullptr);
}

TEST_F(Tray, ANewTaskbarGetsTheIconBackAndExitRemovesIt) {
    create();
    const platform::Icon last = entry()->icon;
    const uint32_t taskbarCreated = window->state().taskbarCreatedMessage;
    machine.trayIcons.clear();  // Explorer restarted with an empty notification area
    EXPECT_EQ(machine.send(window->window(), taskbarCreated), 0);
    ASSERT_EQ(machine.trayIcons.size(), 1u);
    EXPECT_EQ(entry()->icon, last);
    EXPECT_EQ(entry()->tip, "Quillet");

    window->HideSpeedButtonClick();
    window->Exit1Click();
    EXPECT_TRUE(machine.trayIcons.empty());
    EXPECT_FALSE(window->state().windowHidden);
}

// The icon is drawn at the size the shell shows it at, that of the notification area's display
// scale, and again whenever that size may have changed: a changed metric or screen, a new
// taskbar. The main window moved to a monitor of another scale leaves it as it is.
TEST_F(Tray, DrawnAtTheShellsIconSizeAndAgainWhenItChanges) {
    machine.trayIconPixels = 24;
    create();
    ASSERT_NE(shown(), nullptr);
    EXPECT_EQ(shown()->size, 24);
    EXPECT_EQ(shown()->digits, "1536");
    const std::pair<uint32_t, int> changes[] = {
        {0x001A, 32},  // WM_SETTINGCHANGE
        {0x007E, 20},  // WM_DISPLAYCHANGE
        {0x007E, 24},
    };
    for (const auto& [message, pixels] : changes) {
        machine.trayIconPixels = pixels;
        machine.send(window->window(), message);
        EXPECT_EQ(shown()->size, pixels) << message;
        EXPECT_EQ(shown()->digits, "1536");
        EXPECT_EQ(entry()->tip, "Quillet 可用内存：1,536MB内存荷载：25%");
    }
    EXPECT_EQ(alive(), 1u);
    size_t drawn = machine.drawnIcons.size();
    machine.send(window->window(), 0x001A);  // nothing changed for the icon
    EXPECT_EQ(machine.drawnIcons.size(), drawn);

    // The main window dragged to a monitor of 192 dpi and back, the taskbar's staying at its
    // scale: the icon keeps its size through the moves and the ticks after them.
    for (const int dpi : {192, 96}) {
        window->form().setDpi(dpi);
        machine.send(window->window(), 0x02E0, static_cast<uintptr_t>(dpi | dpi << 16));  // WM_DPICHANGED
        wait(500);
        EXPECT_EQ(shown()->size, 24) << dpi;
        EXPECT_EQ(machine.drawnIcons.size(), drawn) << dpi;
    }
    // A new scale of the taskbar's monitor, told as a changed display.
    machine.trayIconPixels = 32;
    machine.send(window->window(), 0x007E);
    EXPECT_EQ(shown()->size, 32);
    EXPECT_EQ(machine.drawnIcons.size(), ++drawn);
    machine.trayIconPixels = 24;
    machine.send(window->window(), 0x007E);
    EXPECT_EQ(shown()->size, 24);

    // A new taskbar at another scale gets the icon back at its size.
    machine.trayIconPixels = 16;
    machine.trayIcons.clear();
    machine.send(window->window(), window->state().taskbarCreatedMessage);
    ASSERT_EQ(machine.trayIcons.size(), 1u);
    EXPECT_EQ(shown()->size, 16);
    EXPECT_EQ(shown()->textX, 0);
    EXPECT_EQ(alive(), 1u);

    // While a recovery shows the program's icon nothing is drawn; the next refresh after it
    // draws at the size of then.
    machine.largestCommit = 0;
    window->startRecovery(MB);
    machine.trayIconPixels = 32;
    machine.send(window->window(), 0x001A);
    EXPECT_EQ(entry()->icon, machine.programIconHandle());
    finishRecovery();
    backend.advance(500);
    ASSERT_NE(shown(), nullptr);
    EXPECT_EQ(shown()->size, 32);
}

// A recovery the user started tells its result once, in a balloon, at the first monitor tick a
// second or more after its end; the next one takes its place; automatic ones say nothing.
TEST_F(Tray, AUserStartedRecoveryTellsItsResultOnceAutomaticOnesNever) {
    create();
    machine.largestCommit = 0;
    setFigures(1000, 3000);
    window->RecoverRAM1Click();
    setFigures(1500, 2488);
    finishRecovery();
    wait(500);
    EXPECT_TRUE(balloons().empty()) << "half a second after the end the figures may still move";
    wait(500);
    const std::string first = "Quillet|可用内存：1,000MB → 1,500MB（增加 500MB）\n页面文件多用了 512MB";
    EXPECT_EQ(balloons(), std::vector<std::string>{first});
    EXPECT_EQ(entry()->balloonText, "可用内存：1,000MB → 1,500MB（增加 500MB）\n页面文件多用了 512MB");
    wait(5000);
    EXPECT_EQ(balloons().size(), 1u);

    // The tray's share items too; the showing balloon goes when it starts, the new one follows.
    window->recoverShare(1);
    EXPECT_EQ(balloons(), (std::vector<std::string>{first, "Quillet|"}));
    setFigures(1400, 2488);
    finishRecovery();
    wait(1000);
    EXPECT_EQ(balloons(), (std::vector<std::string>{first, "Quillet|", "Quillet|可用内存没有增加：1,500MB → 1,400MB"}));

    // The alarm's recovery: nothing.
    setFigures(50, 2488);
    wait(500);
    ASSERT_TRUE(window->recoveryRunning()) << "the alarm level starts a recovery";
    setFigures(1800, 2488);
    finishRecovery();
    wait(3000);
    EXPECT_EQ(balloons().size(), 3u);

    // The alarm fires in the second after a user's recovery: the user still hears of theirs,
    // once, after the automatic one.
    window->RecoverRAM1Click();
    EXPECT_EQ(balloons().size(), 4u);  // the showing balloon goes
    setFigures(2000, 2488);
    finishRecovery();
    setFigures(50, 2488);
    wait(500);
    ASSERT_TRUE(window->recoveryRunning()) << "the alarm level starts a recovery";
    setFigures(2100, 2488);
    finishRecovery();
    wait(3000);
    EXPECT_EQ(balloons(), (std::vector<std::string>{first, "Quillet|", "Quillet|可用内存没有增加：1,500MB → 1,400MB",
                                                    "Quillet|", "Quillet|可用内存：1,800MB → 2,100MB（增加 300MB）"}));
    window->SaveSettings();
    EXPECT_EQ(machine.iniValue(app::makeAppPaths(machine.program).iniPath, "Settings", "ShowRecoveryResult"), "1");
}

// The second line tells how much more of the page files is in use, the pages the recovery
// pushed out of memory: not the commit charge, and nothing where the system does not tell.
// The icon waits for the window to be ready for input; a recovery started before that moment
// brings it at once, and its balloon with it.
TEST_F(Tray, ARecoveryBeforeTheIconCameBringsItAndTellsItsResult) {
    create(false);
    EXPECT_EQ(entry(), nullptr);
    machine.largestCommit = 0;
    setFigures(1000, 3000);
    window->RecoverRAM1Click();
    ASSERT_NE(entry(), nullptr);
    setFigures(1500, 2488);
    finishRecovery();  // the waiting add arrives too: still one icon
    wait(1000);
    EXPECT_EQ(balloons(), std::vector<std::string>{"Quillet|可用内存：1,000MB → 1,500MB（增加 500MB）\n页面文件多用了 512MB"});
    EXPECT_EQ(machine.trayIcons.size(), 1u);
}

TEST_F(Tray, TheResultsPageFileLineIsThePageFilesOwnUse) {
    create();
    machine.largestCommit = 0;
    machine.status.totalPageFile = 6144 * MB;
    const struct Row {
        const char* what;
        std::optional<uint64_t> pageFileBefore, pageFileAfter;  // MB in use
        uint64_t commitFreeBefore, commitFreeAfter;             // MB
        const char* line;
    } rows[] = {
        {"page files grow, commit flat", 700, 1212, 3000, 3000, "\n页面文件多用了 512MB"},
        {"commit grows, page files flat", 700, 700, 3000, 2000, ""},
        {"not told at all", std::nullopt, std::nullopt, 3000, 2000, ""},
    };
    const auto inMB = [](std::optional<uint64_t> mb) { return mb ? std::optional<uint64_t>(*mb * MB) : std::nullopt; };
    for (const Row& row : rows) {
        machine.status.availPhys = 1000 * MB;
        machine.pageFileUse = inMB(row.pageFileBefore);
        machine.status.availPageFile = row.commitFreeBefore * MB;
        window->RecoverRAM1Click();
        machine.status.availPhys = 1500 * MB;
        machine.pageFileUse = inMB(row.pageFileAfter);
        machine.status.availPageFile = row.commitFreeAfter * MB;
        finishRecovery();
        wait(1000);
        EXPECT_EQ(entry()->balloonText, std::string("可用内存：1,000MB → 1,500MB（增加 500MB）") + row.line) << row.what;
    }
}

TEST_F(Tray, ShowRecoveryResultZeroShowsNoneAndIsKept) {
    setIni("ShowRecoveryResult", "0");
    create();
    machine.largestCommit = 0;
    window->RecoverRAM1Click();
    finishRecovery();
    wait(3000);
    EXPECT_TRUE(balloons().empty());
    window->SaveSettings();
    EXPECT_EQ(machine.iniValue(app::makeAppPaths(machine.program).iniPath, "Settings", "ShowRecoveryResult"), "0");
}

TEST_F(Tray, WithoutANotificationAreaNothingIsAskedOfIt) {
    machine.trayPresent = false;
    create();
    backend.advance(1000);
    EXPECT_TRUE(machine.trayIcons.empty());
    EXPECT_TRUE(machine.drawnIcons.empty());
}

}  // namespace
