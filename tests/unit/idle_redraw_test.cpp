// What the running window sends to its real windows while nothing happens: the program spends
// most of its life this way, so every push that changes nothing on screen is a cost for naught.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "tests/unit/ui_recording_backend.h"
#include "ui/controls.h"
#include "ui/paint_control.h"

namespace {

constexpr uint32_t MB = 1048576;

class IdleRedraw : public ::testing::Test {
protected:
    void SetUp() override {
        machine.setVersion(platform::kPlatformWin32Nt, 5, 1, 2600, "");
        machine.status.totalPhys = 2020 * MB;
        machine.status.availPhys = 1234 * MB;
        machine.tick = 93784000;
        app::setAppPaths(app::makeAppPaths(machine.program));
        monitor::detectOs(machine);
        window = std::make_unique<mainwindow::TQuilletForm>(os, backend);
        window->create();
        window->show();
        machine.deliverPosted();  // the message loop's first round: the tray icon comes
        backend.advance(1000);  // the first ticks after start-up
        backend.log.clear();
    }
    // "Name:change" for every push to a control's window, timers left out.
    std::vector<std::string> pushesToControls() const {
        std::vector<std::string> result;
        for (const auto& e : backend.log) {
            if (e.type != uitest::RecordingBackend::Event::Update) continue;
            if (e.name == "MainTimer" || e.name == mainwindow::kGraphTimerName) continue;
            result.push_back(e.name + ":" + std::to_string(static_cast<int>(e.change)));
        }
        return result;
    }
    static std::string graphPaint() { return "PerformanceGraph:" + std::to_string(static_cast<int>(ui::Change::Paint)); }

    platform::fake::FakeMachine machine;
    uitest::RecordingBackend backend;
    platform::Platform os = machine.services();
    std::unique_ptr<mainwindow::TQuilletForm> window;  // destroyed before the backend
};

}  // namespace

TEST_F(IdleRedraw, UnchangedFiguresReachNoWindowAndEachGraphStepPaintsTheGraphOnce) {
    // Two monitor ticks and four graph steps at the default pace, on a machine whose figures
    // hold still: labels, bars and buttons keep what they show.
    backend.advance(1000);
    EXPECT_EQ(pushesToControls(), std::vector<std::string>(4, graphPaint()));

    // A new figure reaches the label that shows it, once, however many ticks follow.
    backend.log.clear();
    machine.status.availPhys = 999 * MB;
    backend.advance(1500);
    std::vector<std::string> labels;
    for (const std::string& push : pushesToControls())
        if (push != graphPaint()) labels.push_back(push);
    EXPECT_EQ(labels, (std::vector<std::string>{"FreeRamValLabel:" + std::to_string(static_cast<int>(ui::Change::Text))}));
}
