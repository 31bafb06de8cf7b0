#include <gtest/gtest.h>

#include "tests/unit/main_window_fixture.h"

#include <memory>
#include <string>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "ui/controls.h"
#include "ui/headless_backend.h"

using platform::fake::FakeMachine;

namespace {


class StressPage : public MainWindowTest {
protected:
    void SetUp() override {
        machine.status.totalPhys = 256 * MB;
        machine.status.availPhys = 100 * MB;
        machine.largestCommit = 80 * MB;
        createWindow();
        window->form().get<ui::PageControl>("MainPageControl").setActivePageIndex(4);  // the stress page
    }
    ui::Edit& amount() { return window->form().get<ui::Edit>("ReduceRAMEdit"); }
    ui::CheckBox& box() { return window->form().get<ui::CheckBox>("ReduceRAMCheckBox"); }
    std::string page() { return window->form().get<ui::PageControl>("MainPageControl").activePage()->name(); }

};

TEST_F(StressPage, TheAmountStaysWithinFreeMemoryAndAboveZero) {
    amount().userChanged("250");
    EXPECT_EQ(amount().text(), "100");
    amount().userChanged("-5");
    EXPECT_EQ(amount().text(), "100");
    amount().userChanged("");
    EXPECT_EQ(amount().text(), "1");
    amount().userChanged("64");
    EXPECT_EQ(amount().text(), "64");
}

TEST_F(StressPage, WithLessThanAMegabyteFreeTheCorrectionsEnd) {
    machine.status.availPhys = 512 * 1024;
    amount().userChanged("5");
    EXPECT_EQ(amount().text(), "0");
    amount().userChanged("");
    EXPECT_EQ(amount().text(), "") << "no megabyte to offer: nothing to put in";
    machine.status.availPhys = 3 * MB;
    amount().userChanged("0");
    EXPECT_EQ(amount().text(), "1");
}

TEST_F(StressPage, TickingHoldsAWrittenBlockUntilCleared) {
    box().userChanged(true);  // design amount "0": refused, nothing held
    EXPECT_EQ(window->heldBlock(), nullptr);
    EXPECT_TRUE(box().checked());
    box().userChanged(false);

    amount().userChanged("64");
    box().userChanged(true);
    ASSERT_NE(window->heldBlock(), nullptr);
    EXPECT_EQ(machine.commits.back().size, 64 * MB);
    EXPECT_EQ(machine.commits.back().protect, 0x204u);
    EXPECT_EQ(page(), "MemoryTabSheet");
    EXPECT_FALSE(backend.busyCursor());
    EXPECT_TRUE(machine.releases.empty());

    window->form().get<ui::PageControl>("MainPageControl").setActivePageIndex(4);
    box().userChanged(false);
    EXPECT_EQ(window->heldBlock(), nullptr);
    ASSERT_EQ(machine.releases.size(), 1u);
    EXPECT_TRUE(machine.releases[0].uniform && machine.releases[0].firstByte == 0);
    EXPECT_EQ(page(), "MemoryTabSheet");

    // A block still held when the window goes is given back with it.
    window->form().get<ui::PageControl>("MainPageControl").setActivePageIndex(4);
    box().userChanged(true);
    ASSERT_NE(window->heldBlock(), nullptr);
    window.reset();
    EXPECT_EQ(machine.releases.size(), 2u);
}

TEST_F(StressPage, DuringARecoveryTheBoxClearsAndAHeldBlockIsNotLost) {
    amount().userChanged("10");
    box().userChanged(true);
    void* held = window->heldBlock();
    window->form().get<ui::PageControl>("MainPageControl").setActivePageIndex(4);
    machine.largestCommit = 0;
    window->startRecovery(MB);
    window->form().get<ui::PageControl>("MainPageControl").setActivePageIndex(4);
    box().userChanged(false);
    EXPECT_FALSE(box().checked());
    EXPECT_EQ(window->heldBlock(), held) << "still held";
    machine.runThreads();
    machine.deliverPosted();
    machine.largestCommit = 80 * MB;
    box().userChanged(true);  // the old block is given back before a new one is taken
    EXPECT_EQ(machine.releases.size(), 1u);
    EXPECT_NE(window->heldBlock(), nullptr);
}

}  // namespace
