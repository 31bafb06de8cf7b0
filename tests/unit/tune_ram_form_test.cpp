// The "Tune RAM" dialog: its look and place, the two bars keeping the level below the target,
// the figures and graph base lines they drive, and the values it hands back when closed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "memory/tune_ram_form.h"
#include "platform/fake/fake_platform.h"
#include "ui/headless_backend.h"

using memory::TTuneRamForm;
using memory::TuneRamValues;

namespace {

struct TuneRamDialog : ::testing::Test {
    ui::HeadlessBackend backend;
    platform::fake::FakeMachine machine;
    std::vector<std::string> events;
    memory::TuneRamGraphLink link{[this] { events.push_back("hold"); }, [this] { events.push_back("release"); },
                                   [this](int p) { events.push_back("white " + std::to_string(p)); },
                                   [this](int p) { events.push_back("red " + std::to_string(p)); }};

    TuneRamDialog() { machine.status.totalPhys = 536346624; }  // 511 MB

    // Runs the dialog from owner (100, 200) with `user` acting on it while it is shown.
    TuneRamValues run(TuneRamValues start, const std::function<void(TTuneRamForm&)>& user) {
        backend.onModal = [&](ui::Form& dialog) {
            events.clear();
            user(dynamic_cast<TTuneRamForm&>(dialog));
        };
        return memory::runTuneRamDialog(backend, machine, link, 100, 200, start);
    }
};

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(TuneRamDialog, DialogIsASmallCloseOnlyWindowBesideItsOwner) {
    TTuneRamForm form(backend, machine, link);
    form.placeBeside(100, 200);
    EXPECT_EQ(form.className(), "TTuneRamForm");
    EXPECT_EQ(form.caption(), "调节内存");
    EXPECT_EQ(form.bounds(), (ui::Bounds{115, 215, 378, 49}));
    EXPECT_EQ(form.borderIcons(), (ui::BorderIcons{true, false, false}));
    EXPECT_EQ(form.font(), ui::Font{});  // 宋体 9 pt
    for (auto [name, width] : {std::pair{"TargetFreeRamTrackBar", 169}, std::pair{"AutoRecoverLevelTrackBar", 61}}) {
        const auto& bar = form.get<ui::TrackBar>(name);
        EXPECT_EQ(bar.width(), width) << name;
        EXPECT_EQ(bar.tickStyle(), ui::TickStyle::None) << name;
        EXPECT_EQ(bar.thumbLength(), 14) << name;
        EXPECT_LE(bar.top() + bar.height(), 49) << name;
    }
    EXPECT_EQ(form.get<ui::Label>("AutoRecoverLevelValLabel").caption(), "0M");
}

TEST_F(TuneRamDialog, TargetMoveShowsItsShareAndMovesTheWhiteLineInsideAHold) {
    run({400, 200, 300, 50}, [&](TTuneRamForm& form) {
        form.targetFreeRamTrackBar().userChanged(128);
        EXPECT_EQ(form.targetFreeRamValLabel().caption(), "128 Mb (25%)");
        EXPECT_EQ(form.targetFreeRamTrackBar().selEnd(), 128);
        EXPECT_EQ(events, (Strings{"hold", "white 25", "release"}));
        // Physical memory is read afresh for every figure.
        machine.status.totalPhys = 2048u << 20;
        form.targetFreeRamTrackBar().userChanged(256);
        EXPECT_EQ(form.targetFreeRamValLabel().caption(), "256 Mb (12%)");
    });
}

TEST_F(TuneRamDialog, EachBarPushesTheOtherToKeepTheLevelBelowTheTarget) {
    run({400, 200, 80, 10}, [&](TTuneRamForm& form) {
        form.autoRecoverLevelTrackBar().userChanged(100);
        EXPECT_EQ(form.targetFreeRamTrackBar().position(), 101);
        EXPECT_EQ(form.targetFreeRamValLabel().caption(), "101 Mb (19%)");
        EXPECT_EQ(form.autoRecoverLevelValLabel().caption(), "100 Mb (19%)");
        EXPECT_EQ(form.autoRecoverLevelTrackBar().selEnd(), 100);
        EXPECT_EQ(events, (Strings{"hold", "white 19", "release", "hold", "red 19", "release"}));

        form.targetFreeRamTrackBar().userChanged(60);
        EXPECT_EQ(form.autoRecoverLevelTrackBar().position(), 59);
        EXPECT_EQ(form.autoRecoverLevelValLabel().caption(), "59 Mb (11%)");
    });
}

TEST_F(TuneRamDialog, ALevelOfOneLeavesTargetMovesWithoutFigureOrBaseline) {
    const TuneRamValues end = run({400, 200, 300, 1}, [&](TTuneRamForm& form) {
        const std::string before = form.targetFreeRamValLabel().caption();
        form.targetFreeRamTrackBar().userChanged(128);
        EXPECT_EQ(form.targetFreeRamValLabel().caption(), before);
        EXPECT_NE(form.targetFreeRamTrackBar().selEnd(), 128);
        EXPECT_TRUE(events.empty());
    });
    EXPECT_EQ(end.target, 128);
    EXPECT_EQ(end.level, 1);
}

TEST_F(TuneRamDialog, StartValuesRunTheHandlersAndClosingReturnsWhatTheDialogHolds) {
    bool wasModal = false;
    const TuneRamValues end = run({400, 200, 300, 50}, [&](TTuneRamForm& form) {
        wasModal = form.modal();
        EXPECT_EQ(form.top(), 215);
        EXPECT_EQ(form.targetFreeRamValLabel().caption(), "300 Mb (58%)");
        EXPECT_EQ(form.autoRecoverLevelValLabel().caption(), "50 Mb (9%)");
        form.autoRecoverLevelTrackBar().userChanged(70);
        form.targetFreeRamTrackBar().userChanged(250);
        form.close();
        EXPECT_NE(form.modalResult(), ui::kModalNone);
    });
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(end.target, 250);
    EXPECT_EQ(end.level, 70);
}
