// What the running window sends to its real windows while nothing happens: the program spends
// most of its life this way, so every push that changes nothing on screen is a cost for naught.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "mainwindow/tray_icon.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "tests/unit/ui_recording_backend.h"
#include "ui/controls.h"
#include "ui/paint_control.h"
#include "widgets/widget_controls.h"

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

TEST_F(IdleRedraw, AHiddenWindowDrawsOnlyTheTrayIconAndShowsAgainWhatItWouldHaveShown) {
    auto& graph = window->form().get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
    window->HideSpeedButtonClick();
    backend.log.clear();
    machine.status.availPhys = 999 * MB;
    machine.status.memoryLoad = 51;
    machine.tick += 3000;
    const int current = graph.currentIndex();
    const std::vector<uint32_t> picture = [&] {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < graph.image().height(); ++y)
            for (int x = 0; x < graph.image().width(); ++x) pixels.push_back(graph.image().pixel(x, y));
        return pixels;
    }();
    backend.advance(3000);
    EXPECT_EQ(pushesToControls(), std::vector<std::string>{}) << "no label, bar or graph of a hidden window";
    EXPECT_EQ((graph.currentIndex() - current + graph.historyCapacity()) % graph.historyCapacity(), 12)
        << "the graph goes on gathering";
    ASSERT_EQ(machine.trayIcons.size(), 1u);
    EXPECT_EQ(machine.trayIcons.begin()->second.tip, mainwindow::trayTip(999, 51)) << "the tray icon stays live";

    // Shown: the labels' texts and the bars of the last refresh, and the graph's steps.
    window->Open1Click();
    EXPECT_EQ(window->form().get<ui::Label>("FreeRamValLabel").caption(), "999MB (49%)");
    EXPECT_EQ(window->form().get<ui::Label>("MemLoadValLabel").caption(), "51%");
    EXPECT_EQ(window->form().get<widgets::GradientControl>("StressMemLoadGradient").gradient().CurrentPosition(), 51);
    EXPECT_EQ(window->form().get<ui::Label>("ElapsedLabel").caption(),
              "软件运行总时间估计为： 01/02:03:07 （天/小时:分钟:秒钟）");
    const int right = graph.image().width() - 1;
    int changed = 0;
    for (int y = 0; y < graph.image().height(); ++y)
        changed += graph.image().pixel(right, y) != picture[static_cast<size_t>(y * graph.image().width() + right)];
    EXPECT_GT(changed, 0) << "the steps taken while hidden are drawn";
    const auto pushes = pushesToControls();
    EXPECT_EQ(std::count(pushes.begin(), pushes.end(), graphPaint()), 1);
    const std::string text = ":" + std::to_string(static_cast<int>(ui::Change::Text));
    // Each label has its text before the window shows, so it is painted once, with it.
    const auto at = [&](const std::string& push) { return std::find(pushes.begin(), pushes.end(), push) - pushes.begin(); };
    const auto shown = at(std::string(mainwindow::kMainFormName) + ":" + std::to_string(static_cast<int>(ui::Change::Visible)));
    ASSERT_LT(shown, static_cast<std::ptrdiff_t>(pushes.size()));
    for (const char* label : {"FreeRamValLabel", "MemLoadValLabel"}) {
        EXPECT_EQ(std::count(pushes.begin(), pushes.end(), label + text), 1) << label << " gets its text as it shows";
        EXPECT_LT(at(label + text), shown) << label;
    }
}
