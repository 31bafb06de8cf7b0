// Automatic recovery: the start-up, interval and alarm rules evaluated at every monitor tick,
// the master switch, and the handlers that clamp and apply the rules' numbers.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/parse_int.h"
#include "mainwindow/main_form.h"
#include "memory/conversions.h"
#include "memory/memory_status.h"
#include "ui/controls.h"
#include "ui/menu.h"
#include "widgets/widget_controls.h"

namespace app {

namespace {
// Due once the clock has passed the due time.
bool passed(uint64_t now, uint64_t due) { return now > due; }

uint64_t minutesInMs(int32_t minutes) { return static_cast<uint64_t>(std::max(minutes, 0)) * 60000u; }

}  // namespace

bool TQuilletForm::cpuAllowsRecovery() {
    if (get<ui::CheckBox>("DisableCPUMonitorCheckBox").checked()) return true;
    if (!get<ui::CheckBox>("RecoverBelowCPUUsageCheckBox").checked()) return true;
    return parseInt(get<ui::Edit>("RecoverBelowCPUUsageEdit").text()) > state_.lastCpuUsage;
}

void TQuilletForm::scheduleStartupRecovery() {
    if (get<ui::Edit>("ReleaseAfterStartupEdit").enabled()) {
        state_.startupRecoveryAmount = static_cast<uint32_t>(parseInt(get<ui::Edit>("ReleaseAfterStartupEdit").text()));
        state_.startupRecoveryWait = static_cast<uint32_t>(parseInt(get<ui::Edit>("ReleaseAfterStartupWaitEdit").text()));
    } else {
        state_.startupRecoveryAmount = 0;
        state_.startupRecoveryWait = 0;
    }
    state_.startupRecoveryDue = now() + uint64_t{state_.startupRecoveryWait} * 1000u;
}

void TQuilletForm::runRecoveryRules() {
    const uint64_t now = this->now();
    // 1. The start-up rule: while it is pending nothing else is looked at.
    if (get<ui::CheckBox>("ReleaseAfterStartupCheckBox").checked() && state_.startupRecoveryAmount > 1 &&
        state_.startupRecoveryWait > 1 && get<ui::CheckBox>("AutoRecoverCheckBox").checked()) {
        if (passed(now, state_.startupRecoveryDue)) {
            state_.startupRecoveryWait = 0;  // once per run
            startRecovery(memory::megabytesToBytes(state_.startupRecoveryAmount));
        }
        return;
    }
    // 2. The interval rule: at most once per interval, even when the CPU held it back.
    if (state_.intervalMinutes != 0 && get<ui::CheckBox>("RecoverEveryXMinutesCheckBox").checked() &&
        passed(now, state_.nextIntervalTick)) {
        memory::MemoryStatus status(os_.memory);
        const uint64_t avail = status.availPhys();
        const auto freePercent = static_cast<int32_t>(memory::percentOf(avail, status.totalPhys()));
        if (parseInt(get<ui::Edit>("RecoverEveryXMinutesPercentEdit").text()) > freePercent && cpuAllowsRecovery())
            recoverToTarget(false);
        state_.nextIntervalTick = now + minutesInMs(state_.intervalMinutes);
    }
    // 3. The alarm rule: free memory below the alarm level.
    memory::MemoryStatus status(os_.memory);
    const auto level = static_cast<uint64_t>(std::max(get<ui::TrackBar>("AutoRecoverLevelTrackBar").position(), 0));
    if (memory::toMB(status.availPhys()) < level && get<ui::CheckBox>("AutoRecoverCheckBox").checked() &&
        cpuAllowsRecovery())
        recoverToTarget(false);
}

void TQuilletForm::DisableAutoRecover1Click() {
    auto& item = get<ui::MenuItem>("DisableAutoRecover1");
    auto& button = get<ui::FlatButton>("DisableAutoRecoverSpeedButton");
    auto& alarm = get<ui::CheckBox>("AutoRecoverCheckBox");
    auto& interval = get<ui::CheckBox>("RecoverEveryXMinutesCheckBox");
    if (!item.checked()) {
        // Off: the rules' boxes are cleared and greyed, their states kept for later.
        item.setChecked(true);
        button.setCaption("启用自动释放功能");
        button.setFontColor(0x0000FF);
        button.setGlyph(get<ui::Picture>("DisableImage").picture());
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
        button.setGlyph(get<ui::Picture>("EnableImage").picture());
        alarm.setChecked(state_.savedAutoRecover);
        alarm.setEnabled(true);
        interval.setChecked(state_.savedRecoverEveryXMinutes);
        interval.setEnabled(true);
        state_.savedAutoRecover = false;
        state_.savedRecoverEveryXMinutes = false;
    }
}

// ---- the options' handlers ----

void TQuilletForm::AutoRecoverLevelTrackBarChange() {
    auto& level = get<ui::TrackBar>("AutoRecoverLevelTrackBar");
    auto& target = get<ui::TrackBar>("TargetFreeRamTrackBar");
    // 1. The target stays above the alarm level (its own handler runs).
    if (level.position() >= target.position()) target.setPosition(level.position() + 1);
    // 2. - 4. The value, the highlighted range and the graph's red base line.
    const int megabytes = level.position();
    memory::MemoryStatus status(os_.memory);
    const uint32_t percent =
        memory::percentOf(static_cast<uint64_t>(std::max(megabytes, 0)), memory::toMB(status.totalPhys()));
    get<ui::Label>("AutoRecoverLevelValLabel")
        .setCaption(std::to_string(megabytes) + " Mb (" + std::to_string(percent) + "%)");
    level.setSelection(level.selStart(), megabytes);
    suspendGraph();
    get<widgets::PerformanceGraphControl>("PerformanceGraph").graph().SetBaseLine2Value(static_cast<int32_t>(percent));
    resumeGraph();
}

void TQuilletForm::RecoverEveryXMinutesCheckBoxClick() {
    const bool on = get<ui::CheckBox>("RecoverEveryXMinutesCheckBox").checked();
    get<ui::Edit>("RecoverEveryXMinutesEdit").setEnabled(on);
    get<ui::Edit>("RecoverEveryXMinutesPercentEdit").setEnabled(on);
}

// Puts a corrected value back into the edit (which runs its handler once more, to no effect)
// and selects it, so the user's next key replaces it.
void TQuilletForm::correctEdit(const char* name, const std::string& value) {
    auto& edit = get<ui::Edit>(name);
    edit.setText(value);
    edit.selectAll();
}

void TQuilletForm::RecoverEveryXMinutesEditChange() {
    auto& edit = get<ui::Edit>("RecoverEveryXMinutesEdit");
    const int32_t minutes = parseInt(edit.text());
    if (minutes >= 1000) correctEdit("RecoverEveryXMinutesEdit", "999");
    else if (minutes < 0) correctEdit("RecoverEveryXMinutesEdit", "0");
    // Every change starts the interval anew.
    state_.intervalMinutes = parseInt(edit.text());
    state_.nextIntervalTick = now() + minutesInMs(state_.intervalMinutes);
}

void TQuilletForm::RecoverEveryXMinutesPercentEditChange() {
    const int32_t value = parseInt(get<ui::Edit>("RecoverEveryXMinutesPercentEdit").text());
    if (value > 90) correctEdit("RecoverEveryXMinutesPercentEdit", "90");
    else if (value <= 0) correctEdit("RecoverEveryXMinutesPercentEdit", "1");
}

void TQuilletForm::RecoverBelowCPUUsageCheckBoxClick() {
    auto& edit = get<ui::Edit>("RecoverBelowCPUUsageEdit");
    edit.setEnabled(get<ui::CheckBox>("RecoverBelowCPUUsageCheckBox").checked());
    if (get<ui::CheckBox>("DisableCPUMonitorCheckBox").checked()) edit.setEnabled(false);
}

void TQuilletForm::RecoverBelowCPUUsageEditChange() {
    if (parseInt(get<ui::Edit>("RecoverBelowCPUUsageEdit").text()) > 100) correctEdit("RecoverBelowCPUUsageEdit", "100");
}

void TQuilletForm::ReleaseAfterStartupCheckBoxClick() {
    const bool on = get<ui::CheckBox>("ReleaseAfterStartupCheckBox").checked();
    get<ui::Edit>("ReleaseAfterStartupEdit").setEnabled(on);
    get<ui::Edit>("ReleaseAfterStartupWaitEdit").setEnabled(on);
}

void TQuilletForm::ReleaseAfterStartupEditChange() {
    memory::MemoryStatus status(os_.memory);
    const uint64_t most = memory::capMB(status.totalPhys(), 0.9);
    const int32_t value = parseInt(get<ui::Edit>("ReleaseAfterStartupEdit").text());
    if (value < 0) correctEdit("ReleaseAfterStartupEdit", "0");
    else if (static_cast<uint64_t>(value) > most) correctEdit("ReleaseAfterStartupEdit", std::to_string(most));
}

void TQuilletForm::ReleaseAfterStartupWaitEditChange() {
    const int32_t seconds = parseInt(get<ui::Edit>("ReleaseAfterStartupWaitEdit").text());
    if (seconds >= 1000) correctEdit("ReleaseAfterStartupWaitEdit", "999");
    else if (seconds < 0) correctEdit("ReleaseAfterStartupWaitEdit", "0");
}

}  // namespace app
