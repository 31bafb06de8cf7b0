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

namespace mainwindow {

namespace {
constexpr platform::Color kGraphSeriesColor = 0x00FFFF;  // yellow

// "1,234MB (61%)"
std::string megabytesAndShare(uint64_t bytes, uint32_t percent) {
    return memory::formatThousands(memory::toMB(bytes)) + "MB (" + std::to_string(percent) + "%)";
}
}  // namespace

void TQuilletForm::MainTimerTimer() {
    auto& timer = c_.mainTimer;
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
    // While a recovery runs the figures of before it stay; only the up-time moves.
    if (!recoveryRunning()) {
        const memory::MemoryFigures figures = memory::MemoryStatus(os_.memory).figures();
        state_.figures = figures;
        state_.figuresRead = true;
        state_.freeRamPercent = static_cast<int32_t>(memory::percentOf(figures.availPhys, figures.totalPhys));
        const auto freePercent = static_cast<uint32_t>(state_.freeRamPercent);
        // The labels' windows get a new text only while the window shows (ui::Control::holdsBack).
        c_.freeRamValLabel.setCaption(megabytesAndShare(figures.availPhys, freePercent));
        // Processor load, unless its monitor is switched off (the rules read it, shown or not).
        if (state_.recovery.cpuMonitorOff) {
            state_.lastCpuUsage = 0;
        } else {
            state_.lastCpuUsage = cpuUsageSampler_.sampleCpuUsage();
        }
        // Free commit.
        const uint32_t percent = memory::percentOf(figures.availPageFile, figures.totalPageFile);
        c_.freePageFileValLabel.setCaption(megabytesAndShare(figures.availPageFile, percent));
        c_.memLoadValLabel.setCaption(std::to_string(figures.memoryLoad) + "%");
        // The bars are drawn only while the window shows, and as it shows again.
        if (form_->visible()) showStatusBars();
        // The free system resources (the 9x family's) and their alarm.
        refreshFreeResources();
        refreshTrayFigures(figures);
    }
    // Time since the system started.
    const monitor::Uptime up = monitor::formatUptime(os_.clock.tickCount());
    c_.elapsedLabel.setCaption(std::string(app::kUptimePrefix) + up.text + app::kUptimeSuffix);
}

void TQuilletForm::showStatusBars() {
    if (!state_.figuresRead) return;
    auto& stress = c_.stressGradient.gradient();
    stress.SetPosition(state_.freeRamPercent);
    stress.SetText(c_.freeRamValLabel.caption());
    c_.stressMemLoadGradient.gradient().SetPosition(static_cast<int32_t>(state_.figures.memoryLoad));
    c_.cpuProgressBar.gradient().SetPosition(state_.lastCpuUsage);
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
    graphTimer_.setInterval(static_cast<uint32_t>(std::max(state_.graphPeriodMs, 1)));
    graphTimer_.setEnabled(graphExists_ && graphSuspensions_ == 0);
}

void TQuilletForm::graphTick() {
    const memory::MemoryFigures figures = memory::MemoryStatus(os_.memory).figures();
    const auto percent = static_cast<int32_t>(memory::percentOf(figures.availPhys, figures.totalPhys));
    widgets::TPerformanceGraph& graph = c_.performanceGraph.graph();
    graph.DataPoint(kGraphSeriesColor, percent);
    graph.Update();
}

// ---- handlers that shape the display ----

void TQuilletForm::GraphSpeedRadioGroupClick(int index) {
    auto& timer = c_.mainTimer;
    timer.setEnabled(false);
    suspendGraph();
    switch (index) {
        case 0: state_.graphPeriodMs = 30; break;
        case 1: state_.graphPeriodMs = 60; break;
        case 2: state_.graphPeriodMs = 250; break;
        default: state_.graphPeriodMs = 500; break;
    }
    timer.setEnabled(true);
    resumeGraph();
}

void TQuilletForm::GraphColorComboBoxChange(int index) {
    platform::Color panel = 0x00FF00, grid = 0x008000;  // green
    switch (index) {
        case 1: panel = 0x0000FF, grid = 0x000080; break;  // red
        case 2: panel = 0xFFFF00, grid = 0xFF0000; break;  // blue
        case 3: panel = 0xFFFFFF, grid = 0x808080; break;  // white
        default: break;
    }
    c_.graphBackPanel.setColor(panel);
    c_.performanceGraph.graph().SetForeColor(grid);
}

void TQuilletForm::FormResize() {
    // The scale labels stand at 0, 25, 50, 75 and 100 percent of the graph's panel.
    const auto& panel = c_.graphBackPanel;
    for (size_t quarters = 0; quarters < c_.scaleLabels.size(); ++quarters) {
        auto& label = *c_.scaleLabels[quarters];
        const double share = static_cast<double>(quarters) / 4;
        const int top = panel.top() + panel.height() - static_cast<int>(std::trunc(panel.height() * share)) -
                        label.height() / 2;
        label.setPosition(label.left(), top);
    }
}

void TQuilletForm::DisableCPUMonitorCheckBoxClick(bool monitorOff) {
    state_.recovery.cpuMonitorOff = monitorOff;
    auto& belowCpu = c_.recoverBelowCPUUsageCheckBox;
    belowCpu.setEnabled(!monitorOff);
    c_.percentLabel.setEnabled(!monitorOff);
    c_.recoverBelowCPUUsageEdit.setEnabled(!monitorOff && belowCpu.checked());
}

void TQuilletForm::refreshTrayFigures() {
    // Nothing to draw without a notification area.
    if (trayIcon() == nullptr || !trayIcon()->present()) return;
    refreshTrayFigures(memory::MemoryStatus(os_.memory).figures());
}

void TQuilletForm::refreshTrayFigures(const memory::MemoryFigures& figures) {
    if (trayIcon() == nullptr || !trayIcon()->present()) return;
    refreshTrayIcon(memory::toMB(figures.availPhys), state_.freeRamPercent, figures.memoryLoad,
                    c_.disableAutoRecover1.checked());
}

std::string TQuilletForm::drawTrayFigures() {
    const memory::MemoryFigures figures = memory::MemoryStatus(os_.memory).figures();
    return drawTrayPicture(memory::toMB(figures.availPhys), state_.freeRamPercent, figures.memoryLoad,
                           c_.disableAutoRecover1.checked());
}

}  // namespace mainwindow
