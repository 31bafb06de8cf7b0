// Menu items (states, access letters, clicks, popups) and timers on the virtual clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/unit/ui_recording_backend.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/timer.h"
#include "ui/timer_schedule.h"

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

// The one system timer the Win32 backend runs its timers off, driven the way the backend
// drives it: a wake-up at the earliest due time runs every due timer once; the monitor-like
// timer switches itself off and on inside its tick.
namespace {

struct Wakeups {
    int count = 0;
    std::vector<uint32_t> runs[2];  // when each timer ran
};

Wakeups simulate(uint32_t start, uint32_t graphInterval, uint32_t graphStart, uint32_t monitorStart, uint32_t span) {
    ui::TimerSchedule schedule;
    Wakeups result;
    schedule.start(0, graphInterval, start + graphStart);
    schedule.start(1, 500, start + monitorStart);
    uint32_t now = start + monitorStart;
    unsigned round = 0;
    while (now - start < span) {
        const auto delay = schedule.nextDelay(now);
        if (!delay) break;
        now += *delay;
        ++result.count;
        ++round;
        std::vector<unsigned> due;
        while (const auto id = schedule.takeDue(now, round)) due.push_back(*id);
        for (unsigned id : due) {
            if (!schedule.takenIn(id, round)) continue;
            result.runs[id].push_back(now);
            if (id == 1) {
                schedule.stop(1);
                schedule.start(1, 500, now);
            }
        }
    }
    return result;
}

}  // namespace

TEST(UiTimerSchedule, TheMonitorTickJoinsTheGraphsBeatAndKeepsItsHalfSecond) {
    struct Case {
        uint32_t start, graph, graphStart, monitorStart;
        int wakeupsPerTenSeconds;
    };
    const Case cases[] = {
        {0, 250, 0, 37, 40},             // default pace: the graph's four wake-ups a second, no more
        {0, 250, 0, 212, 40},
        {0, 500, 0, 130, 20},            // slowest pace: one wake-up for both
        {0xFFFFF000u, 250, 0, 37, 40},   // across the wrap of the 32-bit clock
        {0, 30, 0, 7, 340},              // 500 is no multiple of 30: a graph step is mostly near enough
    };
    for (const Case& c : cases) {
        const Wakeups w = simulate(c.start, c.graph, c.graphStart, c.monitorStart, 10000);
        EXPECT_NEAR(w.count, c.wakeupsPerTenSeconds, 2) << c.graph << " " << c.monitorStart;
        EXPECT_NEAR(static_cast<int>(w.runs[1].size()), 20, 1) << c.graph;
        // After its first tick (the one that falls in with the graph) the monitor ticks every
        // 500 ms, give or take the timer clock's tick.
        for (size_t i = 2; i < w.runs[1].size(); ++i)
            EXPECT_NEAR(static_cast<double>(w.runs[1][i] - w.runs[1][i - 1]), 500.0, ui::TimerSchedule::kCoalesceMs)
                << c.graph << " tick " << i;
        for (size_t i = 1; i < w.runs[0].size(); ++i)
            EXPECT_NEAR(static_cast<double>(w.runs[0][i] - w.runs[0][i - 1]), c.graph, ui::TimerSchedule::kCoalesceMs)
                << c.graph;
    }
}

TEST(UiTimerSchedule, AWakeUpRunsEachTimerOnceWhateverTheIntervals) {
    ui::TimerSchedule schedule;
    schedule.start(1, 1, 0);
    schedule.start(2, 3, 0);
    int runs = 0;
    while (schedule.takeDue(100, 7)) ++runs;  // long overdue, intervals far below the window
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(schedule.takeDue(100, 7));
    EXPECT_EQ(schedule.nextDelay(100), ui::TimerSchedule::kMinimumDelayMs);
    // Taken, then started anew by an earlier handler of the same wake-up: it does not run.
    EXPECT_TRUE(schedule.takenIn(2, 7));
    schedule.start(2, 3, 100);
    EXPECT_FALSE(schedule.takenIn(2, 7));
    schedule.stop(1);
    schedule.stop(2);
    EXPECT_FALSE(schedule.nextDelay(100));
    EXPECT_FALSE(schedule.takeDue(200, 8));
}
