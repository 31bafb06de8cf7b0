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
#include "ui/menu.h"
#include "widgets/widget_controls.h"

using platform::fake::FakeMachine;

namespace {

const std::string kIni = "C:\\Q\\Quillet.ini";

// A machine of exactly 512 MB; recoveries are counted by the worker threads they start (the
// workers never run, so a started recovery stays running until finish()).
class RecoveryRules : public MainWindowTest {
protected:
    RecoveryRules() {
        machine.program = "C:\\Q\\Quillet.exe";
        machine.status.totalPhys = 512 * MB;
        machine.status.availPhys = 300 * MB;
        machine.largestCommit = 0;
        machine.tick = 1000000;
    }
    void create() {
        createWindow();
    }
    // Moves the clock on by ticks of the monitor.
    void wait(uint32_t ms) {
        machine.tick += ms;
        backend.advance(ms);
    }
    size_t recoveries() const { return machine.threads.size(); }

};

TEST_F(RecoveryRules, StartupRuleHoldsTheOthersBackThenFiresOnce) {
    setIni("ReleaseAfterStartup", "1");  // wait 60 s
    setIni("ReleaseAfterStartupAmount", "100");  // the alarm rule asks for the target, 257 MB
    machine.status.availPhys = 10 * MB;  // far below the alarm level of 33 MB
    create();
    wait(59500);
    EXPECT_EQ(recoveries(), 0u);
    wait(1000);
    ASSERT_EQ(recoveries(), 1u);
    EXPECT_EQ(finishRecoveryAsked(), 100 * MB + 0u) << "the start-up amount: more than the 10 MB free";
    wait(500);
    EXPECT_EQ(recoveries(), 2u) << "then the alarm rule takes over";
    EXPECT_EQ(finishRecoveryAsked(), 257 * MB + 0u);
    wait(500);
    EXPECT_EQ(recoveries(), 3u);
    EXPECT_EQ(finishRecoveryAsked(), 257 * MB + 0u) << "the start-up rule is done for this run";
}

TEST_F(RecoveryRules, AStartupWaitOfOneSecondNeverFiresNorBlocks) {
    setIni("ReleaseAfterStartup", "1");
    setIni("ReleaseAfterStartupWait", "1");
    machine.status.availPhys = 10 * MB;
    create();
    wait(500);
    EXPECT_EQ(recoveries(), 1u);  // the alarm rule
    EXPECT_EQ(finishRecoveryAsked(), 257 * MB + 0u);  // the target, not the start-up amount
}

TEST_F(RecoveryRules, AlarmRuleIsStrictAndHeldBackByABusyCpu) {
    create();
    const int level = get<ui::TrackBar>("AutoRecoverLevelTrackBar").position();  // 33
    machine.status.availPhys = static_cast<uint32_t>(level) * MB;
    wait(500);
    EXPECT_EQ(recoveries(), 0u);
    machine.status.availPhys = static_cast<uint32_t>(level - 1) * MB;
    get<ui::CheckBox>("DisableCPUMonitorCheckBox").setChecked(false);
    get<ui::CheckBox>("RecoverBelowCPUUsageCheckBox").setChecked(true);
    window->state().lastCpuUsage = 75;  // limit 75: held back
    EXPECT_FALSE(window->cpuAllowsRecovery());
    window->state().lastCpuUsage = 74;
    EXPECT_TRUE(window->cpuAllowsRecovery());
    get<ui::CheckBox>("DisableCPUMonitorCheckBox").setChecked(true);
    window->state().lastCpuUsage = 99;
    EXPECT_TRUE(window->cpuAllowsRecovery()) << "without CPU monitoring the condition is ignored";
    wait(500);
    EXPECT_EQ(recoveries(), 1u);
}

TEST_F(RecoveryRules, ABusyCpuHoldsBackTheAlarmAndTheIntervalRule) {
    setIni("DisableCPUMonitor", "0");
    setIni("RecoverBelowCPUUsage", "1");  // below 75 %
    setIni("RecoverEveryXMinutes", "1");
    setIni("XMinutes", "1");
    setIni("XMinutesPercent", "50");
    create();
    machine.status.availPhys = 10 * MB;  // below the alarm level and below the interval's share
    // Each tick's rules read the CPU figure the refresh before them left.
    const auto tickWithCpu = [&](int cpu) {
        window->state().lastCpuUsage = cpu;
        wait(500);
    };
    for (int i = 0; i < 130; ++i) tickWithCpu(90);  // past the interval's minute, busy all along
    EXPECT_EQ(recoveries(), 0u);
    get<ui::CheckBox>("AutoRecoverCheckBox").setChecked(false);  // the interval rule alone now
    tickWithCpu(10);
    EXPECT_EQ(recoveries(), 0u) << "held back at its due time, the interval rule waits a whole interval";
    for (int i = 0; i < 120; ++i) tickWithCpu(10);
    EXPECT_EQ(recoveries(), 1u);
    finishRecovery();
    get<ui::CheckBox>("AutoRecoverCheckBox").setChecked(true);
    tickWithCpu(10);
    EXPECT_EQ(recoveries(), 2u) << "an idle CPU lets the alarm rule act";
}

TEST_F(RecoveryRules, AStartupRuleRefusedOrSwitchedOffIsNotRetried) {
    setIni("ReleaseAfterStartup", "1");
    setIni("ReleaseAfterStartupAmount", "100");
    setIni("AutoRecoverOnAlarmLevel", "1");
    create();
    window->startRecovery(MB);  // a recovery runs when the start-up one falls due
    wait(61000);
    EXPECT_EQ(recoveries(), 1u);
    finishRecovery();
    wait(5000);
    EXPECT_EQ(recoveries(), 1u) << "dropped while the other ran, and not asked again";
}

TEST_F(RecoveryRules, TheMasterSwitchStopsAPendingStartupRule) {
    setIni("ReleaseAfterStartup", "1");
    setIni("ReleaseAfterStartupAmount", "100");
    create();
    get<ui::MenuItem>("DisableAutoRecover1").click();
    wait(120000);
    EXPECT_EQ(recoveries(), 0u);
}

TEST_F(RecoveryRules, IntervalRuleFiresOncePerIntervalBelowItsShare) {
    setIni("RecoverEveryXMinutes", "1");
    setIni("XMinutes", "2");
    setIni("XMinutesPercent", "10");
    setIni("AutoRecoverOnAlarmLevel", "0");
    machine.status.availPhys = 52 * MB;  // 10 % (10.2): not below
    create();
    wait(120500);
    EXPECT_EQ(recoveries(), 0u);
    machine.status.availPhys = 40 * MB;  // 7 %
    wait(60000);
    EXPECT_EQ(recoveries(), 0u) << "the last evaluation restarted the interval";
    wait(60500);
    EXPECT_EQ(recoveries(), 1u);
    finishRecovery();
    wait(1000);
    EXPECT_EQ(recoveries(), 1u);

    get<ui::Edit>("RecoverEveryXMinutesEdit").setText("0");  // off even with its box ticked
    wait(600000);
    EXPECT_EQ(recoveries(), 1u);
}

TEST_F(RecoveryRules, EditsAreClampedAndSelected) {
    create();
    auto& minutes = get<ui::Edit>("RecoverEveryXMinutesEdit");
    minutes.setText("1500");
    EXPECT_EQ(minutes.text(), "999");
    EXPECT_EQ(window->state().recovery.intervalMinutes, 999);
    auto& percent = get<ui::Edit>("RecoverEveryXMinutesPercentEdit");
    percent.setText("95");
    EXPECT_EQ(percent.text(), "90");
    percent.setText("-3");
    EXPECT_EQ(percent.text(), "1");
    auto& cpu = get<ui::Edit>("RecoverBelowCPUUsageEdit");
    cpu.setText("101");
    EXPECT_EQ(cpu.text(), "100");
    cpu.setText("0");
    EXPECT_EQ(cpu.text(), "0");
    auto& amount = get<ui::Edit>("ReleaseAfterStartupEdit");
    amount.setText("5000");
    EXPECT_EQ(amount.text(), "461");  // capMB of 90 %
    get<ui::Edit>("ReleaseAfterStartupWaitEdit").setText("1000");
    EXPECT_EQ(get<ui::Edit>("ReleaseAfterStartupWaitEdit").text(), "999");
    // Nothing below zero: a negative interval would recover at every tick, a negative amount
    // ask for gigabytes, a negative wait fire at once.
    for (const char* name : {"RecoverEveryXMinutesEdit", "ReleaseAfterStartupEdit", "ReleaseAfterStartupWaitEdit"}) {
        get<ui::Edit>(name).setText("-5");
        EXPECT_EQ(get<ui::Edit>(name).text(), "0") << name;
    }
    EXPECT_EQ(window->state().recovery.intervalMinutes, 0);

    auto& level = get<ui::TrackBar>("AutoRecoverLevelTrackBar");
    get<ui::TrackBar>("TargetFreeRamTrackBar").setPosition(50);
    level.setPosition(100);
    EXPECT_EQ(get<ui::TrackBar>("TargetFreeRamTrackBar").position(), 101);
    EXPECT_EQ(get<ui::Label>("AutoRecoverLevelValLabel").caption(), "100 Mb (19%)");
    EXPECT_EQ(get<widgets::PerformanceGraphControl>("PerformanceGraph").graph().Baseline2Value(), 19);
}

TEST_F(RecoveryRules, APauseLongerThanHalfTheTickCountSilencesNoRule) {
    setIni("ReleaseAfterStartup", "1");  // due after 60 s
    setIni("ReleaseAfterStartupAmount", "100");
    create();
    get<ui::MenuItem>("DisableAutoRecover1").click();
    machine.status.availPhys = 10 * MB;  // below the alarm level all along
    for (int day = 0; day < 30; ++day) {  // a month, the tick count wrapping on the way
        machine.tick += 86400000;
        backend.advance(500);
    }
    EXPECT_EQ(recoveries(), 0u);
    get<ui::MenuItem>("DisableAutoRecover1").click();
    wait(500);
    ASSERT_EQ(recoveries(), 1u);
    EXPECT_EQ(finishRecoveryAsked(), 100 * MB) << "the start-up rule, overdue";
    wait(500);
    EXPECT_EQ(recoveries(), 2u) << "then the alarm rule";
}

TEST_F(RecoveryRules, MasterSwitchPausesTheRulesAndExitSavesTheUsersChoices) {
    setIni("RecoverEveryXMinutes", "1");
    create();
    auto& alarm = get<ui::CheckBox>("AutoRecoverCheckBox");
    auto& interval = get<ui::CheckBox>("RecoverEveryXMinutesCheckBox");
    auto& button = get<ui::FlatButton>("DisableAutoRecoverSpeedButton");
    get<ui::MenuItem>("DisableAutoRecover1").click();
    EXPECT_TRUE(get<ui::MenuItem>("DisableAutoRecover1").checked());
    EXPECT_EQ(button.caption(), "启用自动释放功能");
    EXPECT_EQ(button.font().color, 0x0000FFu);
    EXPECT_FALSE(alarm.checked() || alarm.enabled() || interval.checked() || interval.enabled());
    machine.status.availPhys = 1 * MB;
    wait(500);
    EXPECT_EQ(recoveries(), 0u);

    window->Exit1Click();
    EXPECT_EQ(machine.iniValue(kIni, "Settings", "AutoRecoverOnAlarmLevel"), "1");
    EXPECT_EQ(machine.iniValue(kIni, "Settings", "RecoverEveryXMinutes"), "1");
    EXPECT_FALSE(get<ui::MenuItem>("DisableAutoRecover1").checked());
    EXPECT_EQ(button.caption(), "停用自动释放功能");
    EXPECT_TRUE(alarm.checked() && alarm.enabled() && interval.checked());
}

}  // namespace
