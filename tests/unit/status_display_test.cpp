#include <gtest/gtest.h>

#include "tests/unit/main_window_fixture.h"

#include <memory>
#include <string>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "monitor/uptime.h"
#include "platform/fake/fake_platform.h"
#include "ui/controls.h"
#include "ui/headless_backend.h"
#include "ui/timer.h"
#include "widgets/widget_controls.h"

using platform::fake::FakeMachine;

namespace {


TEST(Uptime, DaysHoursMinutesSecondsOfTheTickCount) {
    EXPECT_EQ(monitor::formatUptime(0).text, "00/00:00:00");
    EXPECT_EQ(monitor::formatUptime(93784999).text, "01/02:03:04");  // milliseconds truncated
    const monitor::Uptime last = monitor::formatUptime(0xFFFFFFFFu);  // just before the wrap
    EXPECT_EQ(last.text, "49/17:02:47");
    EXPECT_EQ(last.totalSeconds, 4294967u);
}

// The main window on an NT machine: 2,020 MB of memory, 1,234 MB free, 999 of 3,000 MB commit
// free, load 39 %.
class StatusDisplay : public MainWindowTest {
protected:
    void SetUp() override {
        machine.setVersion(platform::kPlatformWin32Nt, 5, 1, 2600, "");
        machine.status.totalPhys = 2020 * MB;
        machine.status.availPhys = 1234 * MB;
        machine.status.totalPageFile = 3000 * MB;
        machine.status.availPageFile = 999 * MB;
        machine.status.memoryLoad = 39;
        machine.tick = 93784000;
        createWindow();
    }
    std::string caption(const std::string& name) { return get<ui::Label>(name).caption(); }

};

TEST_F(StatusDisplay, CreationShowsTheFiguresOfTheMoment) {
    EXPECT_EQ(caption("FreeRamValLabel"), "1,234MB (61%)");
    EXPECT_EQ(get<widgets::GradientControl>("StressGradient").gradient().CurrentPosition(), 61);
    EXPECT_EQ(get<widgets::GradientControl>("StressGradient").gradient().Text(), "1,234MB (61%)");
    EXPECT_EQ(get<widgets::GradientControl>("StressMemLoadGradient").gradient().CurrentPosition(), 39);
    EXPECT_EQ(caption("FreePageFileValLabel"), "999MB (33%)");
    EXPECT_EQ(caption("MemLoadValLabel"), "39%");
    EXPECT_EQ(caption("GDIFreeValLabel"), "N/A");
    EXPECT_EQ(caption("UserFreeValLabel"), "N/A");
    EXPECT_EQ(caption("ElapsedLabel"), "软件运行总时间估计为： 01/02:03:04 （天/小时:分钟:秒钟）");
    EXPECT_EQ(window->state().freeRamPercent, 61);
}

TEST_F(StatusDisplay, EachTickRefreshesAndARunningRecoveryFreezesAllButTheUptime) {
    machine.status.availPhys = 999 * MB;
    machine.tick += 1000;
    backend.advance(500);
    EXPECT_EQ(caption("FreeRamValLabel"), "999MB (49%)");
    EXPECT_TRUE(get<ui::Timer>("MainTimer").enabled()) << "on again after the tick";

    machine.largestCommit = 0;
    window->startRecovery(MB);  // its worker has not run yet: the recovery is still on
    machine.status.availPhys = 100 * MB;
    machine.tick += 1000;
    backend.advance(500);
    EXPECT_EQ(caption("FreeRamValLabel"), "999MB (49%)");
    EXPECT_EQ(caption("ElapsedLabel"), "软件运行总时间估计为： 01/02:03:06 （天/小时:分钟:秒钟）");
}

TEST_F(StatusDisplay, ATickThatFailsDoesNotStopTheMonitor) {
    window->stopGraph();  // the monitor's own tick is the one that fails
    machine.failingStatusQueries = 1;
    EXPECT_THROW(backend.advance(500), std::runtime_error);
    machine.status.availPhys = 1500 * MB;
    backend.advance(500);
    EXPECT_EQ(get<ui::Label>("FreeRamValLabel").caption(), "1,500MB (74%)");
}

TEST_F(StatusDisplay, CpuMonitorSwitchStopsTheSamplerAndGreysTheCpuCondition) {
    auto& monitorOff = get<ui::CheckBox>("DisableCPUMonitorCheckBox");
    auto& belowCpu = get<ui::CheckBox>("RecoverBelowCPUUsageCheckBox");
    auto& belowCpuEdit = get<ui::Edit>("RecoverBelowCPUUsageEdit");
    monitorOff.setChecked(true);
    EXPECT_FALSE(belowCpu.enabled());
    EXPECT_FALSE(belowCpuEdit.enabled());
    EXPECT_FALSE(get<ui::Label>("PercentLabel").enabled());
    const size_t queries = machine.ntQueries.size();
    backend.advance(500);
    EXPECT_EQ(machine.ntQueries.size(), queries) << "the sampler is not asked";
    EXPECT_EQ(window->state().lastCpuUsage, 0);

    monitorOff.setChecked(false);
    EXPECT_TRUE(belowCpu.enabled());
    EXPECT_FALSE(belowCpuEdit.enabled()) << "its edit only with its box ticked";
    belowCpu.setChecked(true);
    monitorOff.setChecked(true);
    monitorOff.setChecked(false);
    EXPECT_TRUE(belowCpuEdit.enabled());
    backend.advance(500);
    EXPECT_GT(machine.ntQueries.size(), queries);
}

TEST_F(StatusDisplay, GraphStepsAtItsChosenPaceAndHoldsStillDuringARecovery) {
    auto& graph = get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
    auto& speed = get<ui::RadioGroup>("GraphSpeedRadioGroup");
    auto steps = [&](uint64_t ms) {
        const int before = graph.currentIndex();
        backend.advance(ms);
        return (graph.currentIndex() - before + graph.historyCapacity()) % graph.historyCapacity();
    };
    EXPECT_EQ(steps(1000), 4);  // 250 ms before any choice
    speed.setItemIndex(0);
    EXPECT_EQ(steps(300), 10);
    speed.setItemIndex(3);
    EXPECT_EQ(steps(1000), 2);
    speed.setItemIndex(1);
    EXPECT_EQ(steps(600), 10);
    speed.setItemIndex(-1);  // no item chosen: the slowest pace
    EXPECT_EQ(window->state().graphPeriodMs, 500);
    EXPECT_EQ(steps(1000), 2);

    machine.largestCommit = 0;
    window->startRecovery(MB);
    EXPECT_EQ(steps(2000), 0);
    window->form().get<ui::TrackBar>("TargetFreeRamTrackBar").setPosition(10);  // holds and lets go
    EXPECT_EQ(steps(2000), 0) << "still held by the recovery";
    machine.runThreads();
    machine.deliverPosted();
    EXPECT_EQ(steps(1000), 2);
    EXPECT_EQ(graph.column((graph.currentIndex() + graph.historyCapacity() - 1) % graph.historyCapacity()).count,
              1);
}

TEST_F(StatusDisplay, GraphColoursAndScaleLabels) {
    auto& colour = get<ui::ComboBox>("GraphColorComboBox");
    window->Tweaks1Click();
    colour.userChanged(1);
    EXPECT_EQ(get<ui::Panel>("GraphBackPanel").color(), 0x0000FFu);
    EXPECT_EQ(get<widgets::PerformanceGraphControl>("PerformanceGraph").graph().ForeColor(), 0x000080u);
    colour.userChanged(3);
    EXPECT_EQ(get<ui::Panel>("GraphBackPanel").color(), 0xFFFFFFu);
    EXPECT_EQ(get<widgets::PerformanceGraphControl>("PerformanceGraph").graph().ForeColor(), 0x808080u);
    colour.userChanged(2);
    EXPECT_EQ(get<ui::Panel>("GraphBackPanel").color(), 0xFFFF00u);
    EXPECT_EQ(get<widgets::PerformanceGraphControl>("PerformanceGraph").graph().ForeColor(), 0xFF0000u);
    colour.setItemIndex(-1);  // no choice (a stored index outside the list): green
    window->GraphColorComboBoxChange(colour.itemIndex());
    EXPECT_EQ(get<ui::Panel>("GraphBackPanel").color(), 0x00FF00u);
    EXPECT_EQ(get<widgets::PerformanceGraphControl>("PerformanceGraph").graph().ForeColor(), 0x008000u);

    // The panel (top 32, 214 high) and labels 12 high: at 0, 25, 50, 75 and 100 percent.
    EXPECT_EQ(get<ui::Label>("Ram0Label").top(), 240);
    EXPECT_EQ(get<ui::Label>("Ram25Label").top(), 187);
    EXPECT_EQ(get<ui::Label>("Ram50Label").top(), 133);
    EXPECT_EQ(get<ui::Label>("Ram75Label").top(), 80);
    EXPECT_EQ(get<ui::Label>("Ram100Label").top(), 26);
}

}  // namespace
