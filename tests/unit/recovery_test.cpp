#include "memory/recovery.h"

#include <gtest/gtest.h>

#include "tests/unit/main_window_fixture.h"

#include <memory>
#include <string>
#include <vector>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "ui/controls.h"
#include "ui/headless_backend.h"
#include "ui/menu.h"
#include "widgets/widget_controls.h"

using platform::fake::FakeMachine;

namespace {

constexpr uint32_t MB = 1048576;

uint32_t sized(uint32_t totalMb, uint32_t freeMb, uint32_t requestMb) {
    FakeMachine machine;
    machine.status.totalPhys = totalMb * MB;
    machine.status.availPhys = freeMb * MB;
    memory::MemoryStatus status(machine);
    return memory::sizeRecovery(requestMb * MB, status);
}

TEST(RecoverySizing, SmallRequestsTakeAllFreeMemoryUnlessNinetyPercentIsFree) {
    EXPECT_EQ(sized(512, 100, 50), 102 * MB);
    EXPECT_EQ(sized(512, 470, 50), 50 * MB);   // over 90 % free: as asked
    EXPECT_EQ(sized(512, 460, 50), 462 * MB);  // 89.8 % free
    EXPECT_EQ(sized(512, 100, 300), 300 * MB);  // more than is free: as asked
    EXPECT_EQ(sized(512, 100, 100), 100 * MB);  // exactly what is free: as asked
    EXPECT_EQ(sized(4095, 3000, 1), 3002 * MB);
}

// The main window on a small machine (64 MB, 10 MB free) whose worker threads run when the
// test says.
class Recovery : public MainWindowTest {
protected:
    void SetUp() override {
        machine.status.totalPhys = 64 * MB;
        machine.status.availPhys = 10 * MB;
        machine.largestCommit = 40 * MB;
        createWindow();
        machine.events.clear();
    }
    ui::Control& graph() { return window->form().get<ui::Control>("PerformanceGraph"); }

};

TEST_F(Recovery, RunsOnABelowNormalWorkerAndShowsTheRunningStateUntilDone) {
    auto& pages = window->form().get<ui::PageControl>("MainPageControl");
    window->Cache1Click();
    window->state().cacheChangePending = true;
    window->startRecovery(5 * MB);

    EXPECT_TRUE(window->recoveryRunning());
    EXPECT_EQ(pages.activePage()->name(), "MemoryTabSheet");
    EXPECT_FALSE(window->state().cacheChangePending);
    EXPECT_FALSE(graph().visible());  // the panel behind reads "正在释放内存..."
    EXPECT_TRUE(backend.busyCursor());
    ASSERT_EQ(machine.threads.size(), 1u);
    EXPECT_TRUE(machine.threads.front().belowNormal);
    EXPECT_EQ(machine.threads.front().suspendCount, 0);
    EXPECT_TRUE(machine.commits.empty()) << "the block is written by the worker, not the window";

    finishRecovery();
    ASSERT_EQ(machine.commits.size(), 1u);
    EXPECT_EQ(machine.commits[0].size, 12 * MB);  // sized by the worker
    EXPECT_EQ(machine.threads.front().exitCode, 1u);
    EXPECT_EQ(machine.releases.size(), 1u);
    EXPECT_FALSE(window->recoveryRunning());
    EXPECT_TRUE(graph().visible());
    EXPECT_FALSE(backend.busyCursor());
    EXPECT_TRUE(machine.threads.front().closed);
}

TEST_F(Recovery, ASecondRequestWhileOneRunsDoesNothing) {
    auto& sound = window->form().get<ui::CheckBox>("RecoverSndCheckBox");
    window->form().get<ui::Edit>("RecoverSoundFileEdit").setText("C:\\sounds\\optimize.wav");
    sound.setChecked(true);
    window->startRecovery(5 * MB);
    window->Options1Click();
    window->startRecovery(30 * MB);
    EXPECT_EQ(machine.threads.size(), 1u);
    EXPECT_EQ(machine.sounds.size(), 1u);
    EXPECT_EQ(window->form().get<ui::PageControl>("MainPageControl").activePage()->name(), "OptionsTabSheet");
    finishRecovery();
    EXPECT_EQ(machine.commits.size(), 1u);
    window->startRecovery(30 * MB);  // idle again: a new one starts
    EXPECT_EQ(machine.threads.size(), 2u);
}

TEST_F(Recovery, SoundPlaysAsynchronouslyOnlyWhenTickedAndNamed) {
    auto& box = window->form().get<ui::CheckBox>("RecoverSndCheckBox");
    auto& file = window->form().get<ui::Edit>("RecoverSoundFileEdit");
    box.setChecked(false);
    file.setText("C:\\sounds\\optimize.wav");
    window->startRecovery(MB);  // box cleared
    finishRecovery();
    box.setChecked(true);
    file.setText("");
    window->startRecovery(MB);  // no file named
    finishRecovery();
    EXPECT_TRUE(machine.sounds.empty());
    file.setText("C:\\sounds\\optimize.wav");
    window->startRecovery(MB);
    ASSERT_EQ(machine.sounds.size(), 1u);
    EXPECT_EQ(machine.sounds[0].file, "C:\\sounds\\optimize.wav");
    EXPECT_EQ(machine.sounds[0].flags, 0x22013u);
}

TEST_F(Recovery, ARefusedBlockOrAMissingThreadEndsQuietly) {
    machine.largestCommit = 0;
    window->startRecovery(50 * MB);
    finishRecovery();
    EXPECT_EQ(machine.threads.front().exitCode, 0u);
    EXPECT_TRUE(machine.messageBoxes.empty());
    EXPECT_FALSE(window->recoveryRunning());
    EXPECT_TRUE(graph().visible());
    EXPECT_FALSE(backend.busyCursor());

    // Without a thread the window is idle again at once, and nothing on its way can end the
    // next recovery while that one's worker runs.
    machine.threadsRefused = true;
    window->startRecovery(50 * MB);
    EXPECT_FALSE(window->recoveryRunning());
    EXPECT_TRUE(graph().visible());
    EXPECT_FALSE(backend.busyCursor());
    EXPECT_TRUE(machine.messageBoxes.empty());
    machine.threadsRefused = false;
    window->startRecovery(50 * MB);
    machine.deliverPosted();
    EXPECT_TRUE(window->recoveryRunning());
    window->startRecovery(50 * MB);
    EXPECT_EQ(machine.threads.size(), 2u) << "one worker at a time";
    finishRecovery();
    EXPECT_FALSE(window->recoveryRunning());
    EXPECT_TRUE(graph().visible());
}

// ---- the commands that start a recovery ----

class RecoveryCommands : public MainWindowTest {
protected:
    void create(uint32_t totalBytes, uint32_t freeBytes) {
        machine.status.totalPhys = totalBytes;
        machine.status.availPhys = freeBytes;
        machine.largestCommit = 0;  // every block refused: only the asked sizes matter here
        createWindow();
    }
    // The size of the block the last recovery asked for.
    uint64_t lastAsked() { return finishRecoveryAsked(); }

};

TEST_F(RecoveryCommands, RecoverAsksForTheTargetFromButtonAndBothMenus) {
    create(268435456, 250 * MB);  // over 90 % free: no resizing
    get<ui::TrackBar>("TargetFreeRamTrackBar").setPosition(100);
    get<ui::FlatButton>("RecoverSpeedButton").click();
    EXPECT_EQ(lastAsked(), 100 * MB);
    get<ui::TrackBar>("TargetFreeRamTrackBar").setPosition(40);
    get<ui::MenuItem>("RecoverRAM1").click();
    EXPECT_EQ(lastAsked(), 40 * MB);
    get<ui::MenuItem>("Optimize1").click();
    EXPECT_EQ(lastAsked(), 40 * MB);
    EXPECT_EQ(machine.threads.size(), 3u);
}

TEST_F(RecoveryCommands, TrayShareItemsAskForTheirShareOfTheMemoryOfTheMoment) {
    create(268435456, 250 * MB);
    get<ui::MenuItem>("N50RAM1").click();
    EXPECT_EQ(lastAsked(), 135266304u);  // 129 MB
    machine.status.totalPhys = 536346624;  // read at the click, not at start-up
    machine.status.availPhys = 500 * MB;
    get<ui::MenuItem>("N10RAM1").click();
    EXPECT_EQ(lastAsked(), 52 * MB);
}

TEST_F(RecoveryCommands, TargetShowsItsShareAndStaysAboveTheAlarmLevel) {
    create(536346624, 100 * MB);  // 511 whole megabytes
    auto& target = get<ui::TrackBar>("TargetFreeRamTrackBar");
    auto& level = get<ui::TrackBar>("AutoRecoverLevelTrackBar");
    auto& graph = get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
    // Without a settings file: half the memory, an alarm level of a sixteenth.
    EXPECT_EQ(get<ui::Label>("TargetFreeRamValLabel").caption(), "256 Mb (50%)");
    EXPECT_EQ(level.position(), 32);

    target.setPosition(128);
    EXPECT_EQ(get<ui::Label>("TargetFreeRamValLabel").caption(), "128 Mb (25%)");
    EXPECT_EQ(graph.Baseline1Value(), 25);
    EXPECT_EQ(target.selEnd(), 128);

    level.setPosition(60);
    target.setPosition(40);
    EXPECT_EQ(level.position(), 39);
    // The level's own handler ran: its label and the red base line follow.
    EXPECT_EQ(get<ui::Label>("AutoRecoverLevelValLabel").caption(), "39 Mb (7%)");
    EXPECT_EQ(graph.Baseline2Value(), 7);
    EXPECT_EQ(level.selEnd(), 39);

    level.setPosition(1);
    target.setPosition(300);  // an alarm level of exactly 1: nothing follows
    EXPECT_EQ(get<ui::Label>("TargetFreeRamValLabel").caption(), "40 Mb (7%)");
    EXPECT_EQ(graph.Baseline1Value(), 7);
    EXPECT_EQ(target.selEnd(), 40);
}

TEST_F(RecoveryCommands, ATargetOfZeroTakesAllFreeMemoryOrNothing) {
    create(512 * MB, 100 * MB);
    get<ui::TrackBar>("AutoRecoverLevelTrackBar").setPosition(0);
    get<ui::TrackBar>("TargetFreeRamTrackBar").setPosition(0);
    window->RecoverRAM1Click();
    EXPECT_EQ(lastAsked(), 102 * MB) << "all that is free and two megabytes more";
    machine.status.availPhys = 500 * MB;  // over 90 % free: nothing is enlarged
    window->RecoverRAM1Click();
    EXPECT_EQ(lastAsked(), 0u);
    EXPECT_EQ(machine.commits.back().size, 0u) << "a block of nothing is refused and not shrunk further";
    EXPECT_FALSE(window->recoveryRunning());
    EXPECT_TRUE(machine.messageBoxes.empty());
}

TEST_F(RecoveryCommands, TuneRamDialogMovesBothLevelsAndTheGraphFollowsLive) {
    create(536346624, 100 * MB);
    auto& graph = get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
    int baselineWhileOpen = -1;
    backend.onModal = [&](ui::Form& dialog) {
        EXPECT_EQ(dialog.caption(), "调节内存");
        dialog.get<ui::TrackBar>("TargetFreeRamTrackBar").userChanged(128);
        baselineWhileOpen = graph.Baseline1Value();
        EXPECT_EQ(get<ui::TrackBar>("TargetFreeRamTrackBar").position(), 256) << "the window's bar waits";
        dialog.get<ui::TrackBar>("AutoRecoverLevelTrackBar").userChanged(64);
        dialog.close();
    };
    get<ui::FlatButton>("TuneRamSpeedButton").click();
    EXPECT_EQ(baselineWhileOpen, 25);
    EXPECT_EQ(get<ui::TrackBar>("TargetFreeRamTrackBar").position(), 128);
    EXPECT_EQ(get<ui::TrackBar>("AutoRecoverLevelTrackBar").position(), 64);
    EXPECT_EQ(get<ui::Label>("TargetFreeRamValLabel").caption(), "128 Mb (25%)");
    EXPECT_EQ(graph.Baseline2Value(), 12);
    EXPECT_TRUE(window->graphRunning()) << "every hold was released";
}

}  // namespace
