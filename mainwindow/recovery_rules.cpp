// Automatic recovery: the start-up, interval and alarm rules evaluated at every monitor tick,
// the master switch, and the handlers that clamp and apply the rules' numbers.
#include <algorithm>
#include <cstdint>
#include <string>

#include "text/parse_int.h"
#include "mainwindow/main_form.h"
#include "memory/conversions.h"
#include "memory/memory_status.h"
#include "ui/controls.h"
#include "ui/menu.h"
#include "widgets/widget_controls.h"

namespace mainwindow {

namespace {
// Due once the clock has passed the due time.
bool passed(uint64_t now, uint64_t due) { return now > due; }

uint64_t minutesInMs(int32_t minutes) { return static_cast<uint64_t>(std::max(minutes, 0)) * 60000u; }

}  // namespace

bool TQuilletForm::cpuAllowsRecovery() {
    const RecoverySettings& r = state_.recovery;
    if (r.cpuMonitorOff || !r.belowCpuUsage) return true;
    return r.belowCpuPercent > state_.lastCpuUsage;
}

void TQuilletForm::scheduleStartupRecovery() {
    const RecoverySettings& r = state_.recovery;
    // The edits hold no negative numbers (their handlers correct them).
    state_.startupRecoveryAmount = r.afterStartup ? static_cast<uint32_t>(std::max(r.startupAmountMB, 0)) : 0;
    state_.startupRecoveryWait = r.afterStartup ? static_cast<uint32_t>(std::max(r.startupWaitSeconds, 0)) : 0;
    state_.startupRecoveryDue = now() + uint64_t{state_.startupRecoveryWait} * 1000u;
}

void TQuilletForm::runRecoveryRules() {
    const uint64_t now = this->now();
    const RecoverySettings& r = state_.recovery;
    // The start-up rule: while it is pending nothing else is looked at.
    if (r.afterStartup && state_.startupRecoveryAmount > 1 && state_.startupRecoveryWait > 1 && r.onAlarmLevel) {
        if (passed(now, state_.startupRecoveryDue)) {
            state_.startupRecoveryWait = 0;  // once per run
            startRecovery(memory::megabytesToBytes(state_.startupRecoveryAmount));
        }
        return;
    }
    // The interval rule: at most once per interval, even when the CPU held it back.
    if (r.intervalMinutes != 0 && r.everyXMinutes && passed(now, state_.nextIntervalTick)) {
        memory::MemoryStatus status(os_.memory);
        const uint64_t avail = status.availPhys();
        const auto freePercent = static_cast<int32_t>(memory::percentOf(avail, status.totalPhys()));
        if (r.intervalPercent > freePercent && cpuAllowsRecovery()) recoverToTarget(false);
        state_.nextIntervalTick = now + minutesInMs(r.intervalMinutes);
    }
    // The alarm rule: free memory below the alarm level.
    memory::MemoryStatus status(os_.memory);
    const auto level = static_cast<uint64_t>(std::max(r.alarmLevelMB, 0));
    if (memory::toMB(status.availPhys()) < level && r.onAlarmLevel && cpuAllowsRecovery()) recoverToTarget(false);
}

void TQuilletForm::DisableAutoRecover1Click() {
    auto& item = c_.disableAutoRecover1;
    auto& button = c_.disableAutoRecoverSpeedButton;
    auto& alarm = c_.autoRecoverCheckBox;
    auto& interval = c_.recoverEveryXMinutesCheckBox;
    if (!item.checked()) {
        // Off: the rules' boxes are cleared and greyed, their states kept for later.
        item.setChecked(true);
        button.setCaption("启用自动释放功能");
        button.setFontColor(0x0000FF);
        button.setGlyph(c_.disableImage.picture());
        state_.savedAutoRecover = alarm.checked();
        state_.savedRecoverEveryXMinutes = interval.checked();
        alarm.setChecked(false);
        alarm.setEnabled(false);
        interval.setChecked(false);
        interval.setEnabled(false);
    } else {
        // On again: the boxes as the user left them.
        item.setChecked(false);
        button.setCaption("停用自动释放功能");
        button.setFontColor(0x00FF00);
        button.setGlyph(c_.enableImage.picture());
        alarm.setChecked(state_.savedAutoRecover);
        alarm.setEnabled(true);
        interval.setChecked(state_.savedRecoverEveryXMinutes);
        interval.setEnabled(true);
        state_.savedAutoRecover = false;
        state_.savedRecoverEveryXMinutes = false;
    }
}

// ---- the options' handlers ----

void TQuilletForm::AutoRecoverLevelTrackBarChange(int megabytes) {
    state_.recovery.alarmLevelMB = megabytes;
    auto& level = c_.autoRecoverLevelTrackBar;
    // The target stays above the alarm level (its own handler runs).
    if (megabytes >= c_.targetFreeRamTrackBar.position()) c_.targetFreeRamTrackBar.setPosition(megabytes + 1);
    // The value, the highlighted range and the graph's red base line, as the bar now stands.
    const int shown = level.position();
    memory::MemoryStatus status(os_.memory);
    const uint32_t percent =
        memory::percentOf(static_cast<uint64_t>(std::max(shown, 0)), memory::toMB(status.totalPhys()));
    c_.autoRecoverLevelValLabel.setCaption(std::to_string(shown) + " Mb (" + std::to_string(percent) + "%)");
    level.setSelection(level.selStart(), shown);
    suspendGraph();
    c_.performanceGraph.graph().SetBaseLine2Value(static_cast<int32_t>(percent));
    resumeGraph();
}

void TQuilletForm::RecoverEveryXMinutesCheckBoxClick(bool on) {
    state_.recovery.everyXMinutes = on;
    c_.recoverEveryXMinutesEdit.setEnabled(on);
    c_.recoverEveryXMinutesPercentEdit.setEnabled(on);
}

// Puts a corrected value back into the edit (which runs its handler once more, with the
// corrected text) and selects it, so the user's next key replaces it.
void TQuilletForm::correctEdit(ui::Edit& edit, const std::string& value) {
    edit.setText(value);
    edit.selectAll();
}

void TQuilletForm::RecoverEveryXMinutesEditChange(const std::string& text) {
    const int32_t minutes = text::parseInt(text);
    if (minutes >= 1000) return correctEdit(c_.recoverEveryXMinutesEdit, "999");
    if (minutes < 0) return correctEdit(c_.recoverEveryXMinutesEdit, "0");
    // Every change starts the interval anew.
    state_.recovery.intervalMinutes = minutes;
    state_.nextIntervalTick = now() + minutesInMs(minutes);
}

void TQuilletForm::RecoverEveryXMinutesPercentEditChange(const std::string& text) {
    const int32_t value = text::parseInt(text);
    if (value > 90) return correctEdit(c_.recoverEveryXMinutesPercentEdit, "90");
    if (value <= 0) return correctEdit(c_.recoverEveryXMinutesPercentEdit, "1");
    state_.recovery.intervalPercent = value;
}

void TQuilletForm::RecoverBelowCPUUsageCheckBoxClick(bool on) {
    state_.recovery.belowCpuUsage = on;
    c_.recoverBelowCPUUsageEdit.setEnabled(on && !state_.recovery.cpuMonitorOff);
}

void TQuilletForm::RecoverBelowCPUUsageEditChange(const std::string& text) {
    const int32_t percent = text::parseInt(text);
    if (percent > 100) return correctEdit(c_.recoverBelowCPUUsageEdit, "100");
    state_.recovery.belowCpuPercent = percent;
}

void TQuilletForm::ReleaseAfterStartupCheckBoxClick(bool on) {
    state_.recovery.afterStartup = on;
    c_.releaseAfterStartupEdit.setEnabled(on);
    c_.releaseAfterStartupWaitEdit.setEnabled(on);
}

void TQuilletForm::ReleaseAfterStartupEditChange(const std::string& text) {
    memory::MemoryStatus status(os_.memory);
    const uint64_t most = memory::capMB(status.totalPhys(), 0.9);
    const int32_t value = text::parseInt(text);
    if (value < 0) return correctEdit(c_.releaseAfterStartupEdit, "0");
    if (static_cast<uint64_t>(value) > most) return correctEdit(c_.releaseAfterStartupEdit, std::to_string(most));
    state_.recovery.startupAmountMB = value;
}

void TQuilletForm::ReleaseAfterStartupWaitEditChange(const std::string& text) {
    const int32_t seconds = text::parseInt(text);
    if (seconds >= 1000) return correctEdit(c_.releaseAfterStartupWaitEdit, "999");
    if (seconds < 0) return correctEdit(c_.releaseAfterStartupWaitEdit, "0");
    state_.recovery.startupWaitSeconds = seconds;
}

}  // namespace mainwindow
