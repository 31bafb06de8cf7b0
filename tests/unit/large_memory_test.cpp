// Machines with more memory than 32 bits can count, and systems whose figures contradict each
// other: every figure the window shows stays true and every share stays within 0 ... 100.
#include <gtest/gtest.h>

#include "tests/unit/main_window_fixture.h"
#include "ui/controls.h"
#include "ui/menu.h"
#include "widgets/widget_controls.h"

namespace {

constexpr uint64_t GB = 1ull << 30;

class LargeMemory : public MainWindowTest {
protected:
    void create(uint64_t total, uint64_t avail, uint32_t load) {
        machine.status.totalPhys = total;
        machine.status.availPhys = avail;
        machine.status.totalPageFile = 2 * total;
        machine.status.availPageFile = 2 * total - (total - std::min(total, avail));
        machine.status.memoryLoad = load;
        createWindow();
        backend.advance(500);
    }
    std::string caption(const char* name) { return get<ui::Label>(name).caption(); }
    const platform::fake::FakeMachine::DrawnIcon* trayPicture() {
        auto found = machine.trayIcons.find({window->window(), 1u});
        return found == machine.trayIcons.end() ? nullptr : machine.drawn(found->second.icon);
    }
    std::string trayTip() { return machine.trayIcons.at({window->window(), 1u}).tip; }
};

TEST_F(LargeMemory, TwentyFourGigabytesWithTwentyFree) {
    create(24 * GB, 20 * GB, 16);
    EXPECT_EQ(caption("FreeRamValLabel"), "20,480MB (83%)");
    EXPECT_EQ(caption("FreePageFileValLabel"), "45,056MB (91%)");
    EXPECT_EQ(caption("MemLoadValLabel"), "16%");
    EXPECT_EQ(get<widgets::GradientControl>("StressGradient").gradient().Text(), "20,480MB (83%)");
    // Beyond four digits the scale speaks gigabytes, to stay as narrow as four digits.
    EXPECT_EQ(caption("Ram100Label"), "24.0G");
    EXPECT_EQ(caption("Ram75Label"), "18.0G");
    EXPECT_EQ(caption("Ram50Label"), "12.0G");
    EXPECT_EQ(caption("Ram25Label"), "6145M");
    EXPECT_EQ(get<ui::TrackBar>("TargetFreeRamTrackBar").max(), 22119);
    EXPECT_EQ(get<ui::TrackBar>("AutoRecoverLevelTrackBar").max(), 6145);
    EXPECT_EQ(get<ui::MenuItem>("N90RAM1").caption(), "22119M (90%)");
    EXPECT_EQ(caption("TotalPhysicalRamAboutValLabel"), "25,165,824 KB");
    // The default target is half the machine, the level a sixteenth: both beyond 4 GB.
    EXPECT_EQ(get<ui::TrackBar>("TargetFreeRamTrackBar").position(), 12289);
    EXPECT_EQ(caption("TargetFreeRamValLabel"), "12289 Mb (50%)");
    ASSERT_NE(trayPicture(), nullptr);
    EXPECT_EQ(trayPicture()->digits, "20.0");
    EXPECT_EQ(trayPicture()->textX, 0);
    EXPECT_EQ(trayPicture()->lineColor, 0x00FF00u);
    EXPECT_EQ(trayTip(), "Quillet 可用内存：20,480MB内存荷载：16%");
}

TEST_F(LargeMemory, SixOfEightGigabytesFree) {
    create(8 * GB, 6 * GB, 25);
    EXPECT_EQ(caption("FreeRamValLabel"), "6,144MB (75%)");
    EXPECT_EQ(caption("Ram50Label"), "4097M");
    EXPECT_EQ(trayPicture()->digits, "6144");
    EXPECT_EQ(trayTip(), "Quillet 可用内存：6,144MB内存荷载：25%");
}

TEST_F(LargeMemory, MoreFreeThanTotalAsThirtyTwoBitWineReportsIt) {
    // The true total is unknown to the program then: the free figure is true, shares stop at 100.
    create(3600ull << 20, 20 * GB, 4237642516u);
    EXPECT_EQ(caption("FreeRamValLabel"), "20,480MB (100%)");
    EXPECT_EQ(caption("MemLoadValLabel"), "100%");
    EXPECT_EQ(window->state().freeRamPercent, 100);
    EXPECT_EQ(get<widgets::GradientControl>("StressMemLoadGradient").gradient().CurrentPosition(), 100);
    EXPECT_EQ(get<widgets::GradientControl>("StressGradient").gradient().CurrentPosition(), 100);
    EXPECT_EQ(trayPicture()->digits, "20.0");
    EXPECT_EQ(trayTip(), "Quillet 可用内存：20,480MB内存荷载：100%");
}

TEST_F(LargeMemory, ARequestBeyondWhatTheProcessCanHoldGetsTheLargestBlockItCan) {
    machine.largestCommit = 48 * MB;            // what this process's address space still allows
    machine.status.availVirtual = 1800 * MB;
    create(24 * GB, 20 * GB, 16);
    get<ui::TrackBar>("TargetFreeRamTrackBar").setPosition(22000);
    window->RecoverRAM1Click();
    EXPECT_EQ(finishRecoveryAsked(), 22000ull << 20) << "asked whole: more than is free, so not enlarged";
    ASSERT_GE(machine.commits.size(), 3u);
    EXPECT_EQ(machine.commits[1].size, 1800 * MB) << "then no more than the free address space";
    const auto& granted = machine.commits.back();
    EXPECT_TRUE(granted.granted);
    EXPECT_GT(granted.size, 45 * MB);
    ASSERT_EQ(machine.releases.size(), 1u);
    EXPECT_EQ(machine.releases[0].size, granted.size);
    EXPECT_TRUE(machine.releases[0].uniform);
    EXPECT_EQ(machine.threads.back().exitCode, 1u);
    EXPECT_FALSE(window->recoveryRunning());
}

}  // namespace
