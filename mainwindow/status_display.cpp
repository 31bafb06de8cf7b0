// The main window's live figures: the monitor tick, the display refresh, the graph's steps and
// the handlers that shape the display (scale labels, graph speed and colours, CPU switch).
#include <algorithm>
#include <cmath>
#include <string>

#include "app/texts.h"
#include "mainwindow/main_form.h"
#include "memory/conversions.h"
#include "memory/memory_status.h"
#include "monitor/uptime.h"
#include "ui/controls.h"
#include "ui/menu.h"
#include "ui/timer.h"
#include "widgets/widget_controls.h"

namespace app {

namespace {
constexpr platform::Color kGraphSeriesColor = 0x00FFFF;  // yellow

// "1,234MB (61%)"
std::string megabytesAndShare(uint64_t bytes, uint32_t percent) {
    return memory::formatThousands(memory::toMB(bytes)) + "MB (" + std::to_string(percent) + "%)";
}
}  // namespace

void TQuilletForm::MainTimerTimer() {
    auto& timer = get<ui::Timer>("MainTimer");
    // Nothing in a tick (a dialog it opens included) is entered twice by the timer; and
    // whatever goes wrong in one, the next one comes.
    struct Rearm {
        ui::Timer& timer;
        ~Rearm() { timer.setEnabled(true); }
    } rearm{timer};
    timer.setEnabled(false);
    // The rules read the CPU figure the previous refresh left.
    runRecoveryRules();
    updateStatusDisplay();
    // A user's recovery that ended a second ago or more says what it did.
    showRecoveryResultWhenDue();
}

void TQuilletForm::updateStatusDisplay() {
    // 1. While a recovery runs the figures of before it stay; only the up-time moves.
    if (!recoveryRunning()) {
        // 2. - 3. Free physical memory.
        {
            memory::MemoryStatus status(os_.memory);
            const uint64_t avail = status.availPhys();
            state_.freeRamPercent = static_cast<int32_t>(memory::percentOf(avail, status.totalPhys()));
        }
        const auto freePercent = static_cast<uint32_t>(state_.freeRamPercent);
        {
            memory::MemoryStatus status(os_.memory);
            get<ui::Label>("FreeRamValLabel").setCaption(megabytesAndShare(status.availPhys(), freePercent));
        }
        // 4. - 5. The stress page's bars.
        auto& stress = get<widgets::GradientControl>("StressGradient").gradient();
        stress.SetPosition(state_.freeRamPercent);
        {
            memory::MemoryStatus status(os_.memory);
            stress.SetText(megabytesAndShare(status.availPhys(), freePercent));
        }
        {
            memory::MemoryStatus status(os_.memory);
            get<widgets::GradientControl>("StressMemLoadGradient").gradient().SetPosition(
                static_cast<int32_t>(status.memoryLoad()));
        }
        // 6. Processor load, unless its monitor is switched off.
        if (get<ui::CheckBox>("DisableCPUMonitorCheckBox").checked()) {
            state_.lastCpuUsage = 0;
        } else {
            state_.lastCpuUsage = cpuUsageSampler_.sampleCpuUsage();
        }
        get<widgets::GradientControl>("CPUProgressBar").gradient().SetPosition(state_.lastCpuUsage);
        // 7. - 8. Free commit.
        {
            memory::MemoryStatus status(os_.memory);
            const uint64_t availPageFile = status.availPageFile();
            const uint32_t percent = memory::percentOf(availPageFile, status.totalPageFile());
            get<ui::Label>("FreePageFileValLabel").setCaption(megabytesAndShare(availPageFile, percent));
        }
        // 9. Memory load.
        {
            memory::MemoryStatus status(os_.memory);
            get<ui::Label>("MemLoadValLabel").setCaption(std::to_string(status.memoryLoad()) + "%");
        }
        // 10. The free system resources (the 9x family's) and their alarm.
        refreshFreeResources();
        // 11. The tray icon and its tip.
        refreshTrayFigures();
    }
    // 12. Time since the system started.
    const monitor::Uptime up = monitor::formatUptime(os_.clock.tickCount());
    get<ui::Label>("ElapsedLabel").setCaption(std::string(kUptimePrefix) + up.text + kUptimeSuffix);
}

// ---- the graph's pace ----

void TQuilletForm::startGraph() {
    graphExists_ = true;
    applyGraphPace();
}

void TQuilletForm::stopGraph() {
    graphExists_ = false;
    applyGraphPace();
}

void TQuilletForm::suspendGraph() {
    if (!graphExists_) return;
    ++graphSuspensions_;
    applyGraphPace();
}

void TQuilletForm::resumeGraph() {
    if (!graphExists_ || graphSuspensions_ == 0) return;
    --graphSuspensions_;
    applyGraphPace();
}

// The graph steps on the main thread, where the graph lives, driven by a timer of its own
// whose interval is the chosen pace; suspending it stops the timer.
void TQuilletForm::applyGraphPace() {
    auto& timer = get<ui::Timer>(kGraphTimerName);
    timer.setInterval(static_cast<uint32_t>(std::max(state_.graphPeriodMs, 1)));
    timer.setEnabled(graphExists_ && graphSuspensions_ == 0);
}

void TQuilletForm::graphTick() {
    memory::MemoryStatus status(os_.memory);
    const uint64_t avail = status.availPhys();
    const auto percent = static_cast<int32_t>(memory::percentOf(avail, status.totalPhys()));
    widgets::TPerformanceGraph& graph = get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
    graph.DataPoint(kGraphSeriesColor, percent);
    graph.Update();
}

// ---- handlers that shape the display ----

void TQuilletForm::GraphSpeedRadioGroupClick() {
    auto& timer = get<ui::Timer>("MainTimer");
    timer.setEnabled(false);
    suspendGraph();
    switch (get<ui::RadioGroup>("GraphSpeedRadioGroup").itemIndex()) {
        case 0: state_.graphPeriodMs = 30; break;
        case 1: state_.graphPeriodMs = 60; break;
        case 2: state_.graphPeriodMs = 250; break;
        default: state_.graphPeriodMs = 500; break;
    }
    timer.setEnabled(true);
    resumeGraph();
}

void TQuilletForm::GraphColorComboBoxChange() {
    platform::Color panel = 0x00FF00, grid = 0x008000;  // green
    switch (get<ui::ComboBox>("GraphColorComboBox").itemIndex()) {
        case 1: panel = 0x0000FF, grid = 0x000080; break;  // red
        case 2: panel = 0xFFFF00, grid = 0xFF0000; break;  // blue
        case 3: panel = 0xFFFFFF, grid = 0x808080; break;  // white
        default: break;
    }
    get<ui::Panel>("GraphBackPanel").setColor(panel);
    get<widgets::PerformanceGraphControl>("PerformanceGraph").graph().SetForeColor(grid);
}

void TQuilletForm::FormResize() {
    // The scale labels stand at 0, 25, 50, 75 and 100 percent of the graph's panel.
    const auto& panel = get<ui::Panel>("GraphBackPanel");
    const std::pair<const char*, double> scale[] = {
        {"Ram0Label", 0.0}, {"Ram25Label", 0.25}, {"Ram50Label", 0.5}, {"Ram75Label", 0.75}, {"Ram100Label", 1.0}};
    for (const auto& [name, share] : scale) {
        auto& label = get<ui::Label>(name);
        const int top = panel.top() + panel.height() - static_cast<int>(std::trunc(panel.height() * share)) -
                        label.height() / 2;
        label.setPosition(label.left(), top);
    }
}

void TQuilletForm::DisableCPUMonitorCheckBoxClick() {
    const bool monitorOff = get<ui::CheckBox>("DisableCPUMonitorCheckBox").checked();
    auto& belowCpu = get<ui::CheckBox>("RecoverBelowCPUUsageCheckBox");
    belowCpu.setEnabled(!monitorOff);
    get<ui::Label>("PercentLabel").setEnabled(!monitorOff);
    get<ui::Edit>("RecoverBelowCPUUsageEdit").setEnabled(!monitorOff && belowCpu.checked());
}

void TQuilletForm::refreshTrayFigures() {
    // Nothing to draw without a notification area.
    if (trayIcon() == nullptr || !trayIcon()->present()) return;
    memory::MemoryStatus status(os_.memory);
    const uint64_t freeMB = memory::toMB(status.availPhys());
    memory::MemoryStatus loadStatus(os_.memory);
    refreshTrayIcon(freeMB, state_.freeRamPercent, loadStatus.memoryLoad(),
                    get<ui::MenuItem>("DisableAutoRecover1").checked());
}

}  // namespace app
