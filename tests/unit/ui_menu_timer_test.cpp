// Menu items (states, access letters, clicks, popups) and timers on the virtual clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/unit/ui_recording_backend.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/timer.h"

using ui::Change;
using uitest::Counter;
using uitest::RecordingBackend;

TEST(UiMenu, CaptionsMarkTheirAccessLetter) {
    ui::MenuItem item;
    const auto check = [&](const std::string& caption, const std::string& key, const std::string& shown) {
        item.setCaption(caption);
        EXPECT_EQ(item.accessKey(), key) << caption;
        EXPECT_EQ(item.displayCaption(), shown) << caption;
    };
    check("退出(&X)", "X", "退出(X)");
    check("&文件", "文", "文件");
    check("R&&D", "", "R&D");
    check("R&&&D", "D", "R&D");
    check("释放内存", "", "释放内存");
    check("end&", "", "end");
}

TEST(UiMenu, ItemStatesArePushedAndOneItemIsTheDefault) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& tray = form.addComponent<ui::PopupMenu>("TrayPopupMenu");
    auto& open = tray.add("Open1", "打开");
    auto& pause = tray.add("DisableAutoRecover1", "停用自动释放功能");
    form.realize();
    backend.log.clear();

    open.setDefault(true);
    EXPECT_EQ(tray.defaultItem(), &open);
    pause.setDefault(true);
    EXPECT_FALSE(open.isDefault()) << "a menu has one default item";
    EXPECT_EQ(tray.defaultItem(), &pause);
    EXPECT_EQ(backend.updates("Open1"), (std::vector<Change>{Change::Default, Change::Default}));

    Counter clicks;
    pause.onClick = clicks.handler();
    pause.setChecked(true);
    pause.setChecked(true);
    pause.setEnabled(false);
    pause.setCaption("恢复自动释放功能");
    EXPECT_EQ(backend.updates("DisableAutoRecover1"),
              (std::vector<Change>{Change::Default, Change::Checked, Change::Enabled, Change::Text}));
    EXPECT_EQ(clicks.runs, 0) << "a check mark is display state";
}

TEST(UiMenu, UserClicksReachOnlyItemsTheUserCanChoose) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& tray = form.addComponent<ui::PopupMenu>("Tray");
    auto& tryTo = tray.add("TryToRecover1", "尝试释放");
    auto& tenPercent = tryTo.add("N10RAM1", "10% RAM");
    auto& separator = tray.addSeparator("N2");
    Counter clicks;
    tenPercent.onClick = separator.onClick = clicks.handler();

    EXPECT_TRUE(separator.separator());
    EXPECT_FALSE(separator.userClicked());
    EXPECT_TRUE(tenPercent.userClicked());
    tryTo.setEnabled(false);
    EXPECT_FALSE(tenPercent.userClicked()) << "under a disabled submenu";
    tryTo.setEnabled(true);
    tenPercent.setVisible(false);
    EXPECT_FALSE(tenPercent.userClicked());
    tenPercent.click();
    EXPECT_EQ(clicks.runs, 2);
}

TEST(UiMenu, PopupRunsOnPopupThenLetsTheUserChoose) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& tray = form.addComponent<ui::PopupMenu>("Tray");
    auto& open = tray.add("Open1", "打开");
    std::vector<std::string> events;
    tray.onPopup = [&] { events.push_back("popup"); };
    open.onClick = [&] { events.push_back("open"); };
    backend.onPopup = [&](ui::PopupMenu& menu, int x, int y) {
        EXPECT_TRUE(menu.realized());
        events.push_back("shown at " + std::to_string(x) + "," + std::to_string(y));
        menu.item(0).userClicked();
    };
    tray.popup(600, 440);
    EXPECT_EQ(events, (std::vector<std::string>{"popup", "shown at 600,440", "open"}));
}

TEST(UiTimer, TicksEveryIntervalWhileRunning) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& timer = form.addComponent<ui::Timer>("MainTimer");
    timer.setInterval(500);
    std::vector<uint64_t> ticks;
    timer.onTimer = [&] { ticks.push_back(backend.now()); };
    form.realize();

    backend.advance(1499);
    EXPECT_EQ(ticks, (std::vector<uint64_t>{500, 1000}));

    timer.setEnabled(false);
    backend.advance(5000);
    EXPECT_EQ(ticks.size(), 2u);
    EXPECT_FALSE(timer.elapsed()) << "a tick queued before it stopped runs nothing";
    EXPECT_EQ(ticks.size(), 2u);

    timer.setEnabled(true);  // at 6499: counts from now
    backend.advance(500);
    EXPECT_EQ(ticks.back(), 6999u);

    timer.setInterval(0);
    EXPECT_FALSE(timer.running());
    backend.advance(10000);
    EXPECT_EQ(ticks.size(), 3u);
}

TEST(UiTimer, SwitchingOffAndOnInsideTheTickRestartsTheCount) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& timer = form.addComponent<ui::Timer>("MainTimer");
    timer.setInterval(500);
    std::vector<uint64_t> ticks;
    timer.onTimer = [&] {
        timer.setEnabled(false);
        ticks.push_back(backend.now());
        backend.advance(120);  // the tick's work takes time
        timer.setEnabled(true);
    };
    form.realize();
    backend.advance(1200);
    EXPECT_EQ(ticks, (std::vector<uint64_t>{500, 1120}));
    EXPECT_EQ(backend.now(), 1240u) << "the last tick's own time counts";

    timer.setEnabled(true);
    timer.setInterval(500);
    EXPECT_EQ(backend.updates("MainTimer").size(), 4u) << "two switches per tick; equal values push nothing";
}

TEST(UiTimer, TimersFireInTimeOrderAndMayDestroyTheirForm) {
    RecordingBackend backend;
    ui::Form main(backend);
    auto& fast = main.addComponent<ui::Timer>("Fast");
    auto& slow = main.addComponent<ui::Timer>("Slow");
    fast.setInterval(300);
    slow.setInterval(500);
    std::vector<std::string> order;
    fast.onTimer = [&] { order.push_back("fast " + std::to_string(backend.now())); };
    slow.onTimer = [&] { order.push_back("slow " + std::to_string(backend.now())); };

    auto dialog = std::make_unique<ui::Form>(backend);
    auto& once = dialog->addComponent<ui::Timer>("Once");
    once.setInterval(700);
    once.onTimer = [&] {
        order.push_back("dialog " + std::to_string(backend.now()));
        dialog.reset();
    };
    main.realize();
    dialog->realize();
    backend.advance(1000);
    EXPECT_EQ(order, (std::vector<std::string>{"fast 300", "slow 500", "fast 600", "dialog 700", "fast 900",
                                               "slow 1000"}));
}

TEST(UiTimer, UnrealisedTimersDoNotRun) {
    RecordingBackend backend;
    ui::Form form(backend);
    Counter ticks;
    auto& timer = form.addComponent<ui::Timer>("T");
    timer.onTimer = ticks.handler();
    backend.advance(5000);
    EXPECT_EQ(ticks.runs, 0);
    form.realize();
    backend.advance(1000);
    EXPECT_EQ(ticks.runs, 1);
    form.unrealize();
    backend.advance(5000);
    EXPECT_EQ(ticks.runs, 1);
}
