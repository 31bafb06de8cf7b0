// The start-up window: its look, its texts, and the two seconds its timer keeps it up.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "mainwindow/main_form_layout.h"
#include "mainwindow/splash_form.h"
#include "tests/unit/ui_recording_backend.h"
#include "ui/headless_backend.h"

using uitest::RecordingBackend;
using mainwindow::TSplashForm;

TEST(SplashForm, WindowIsABorderlessWhiteTopmostBoxInTheMiddleOfTheDesktop) {
    ui::HeadlessBackend backend;
    TSplashForm splash(backend);

    EXPECT_EQ(splash.clientWidth(), 329);
    EXPECT_EQ(splash.clientHeight(), 121);
    EXPECT_EQ(splash.color(), ui::kColorWhite);
    EXPECT_TRUE(splash.stayOnTop());
    EXPECT_EQ(splash.position(), ui::FormPosition::DesktopCenter);
    EXPECT_EQ(splash.borderStyle(), ui::BorderStyle::None);
    EXPECT_EQ(splash.borderIcons(), ui::BorderIcons::none());
    EXPECT_EQ(splash.font().face, "宋体");
    EXPECT_EQ(splash.font().height, -13);
    // Made hidden: nothing appears before the creator shows it.
    EXPECT_FALSE(splash.visible());
    EXPECT_FALSE(splash.realized());
    // No control takes the focus or input: the timer alone ends it.
    EXPECT_TRUE(splash.tabSequence().empty());
}

TEST(SplashForm, PanelAndPictureFillTheTopAndRunPastTheRightEdge) {
    ui::HeadlessBackend backend;
    TSplashForm splash(backend);

    const ui::Panel& panel = splash.get<ui::Panel>("Panel1");
    EXPECT_EQ(&panel, &splash.panel());
    EXPECT_EQ(panel.bounds(), (ui::Bounds{0, 0, 381, 121}));
    EXPECT_GT(panel.width(), splash.clientWidth());
    EXPECT_EQ(panel.color(), ui::kColorWhite);
    EXPECT_EQ(panel.borderStyle(), ui::BorderLine::Single);
    EXPECT_EQ(panel.bevelOuter(), ui::BevelCut::None);
    EXPECT_EQ(panel.bevelInner(), ui::BevelCut::None);
    EXPECT_EQ(panel.cursor(), ui::Cursor::HourGlass);
    EXPECT_EQ(panel.caption(), "");

    const ui::Picture& image = splash.get<ui::Picture>("Image1");
    EXPECT_EQ(image.picture(), "SPLASH");
    EXPECT_TRUE(image.autoSize());
    EXPECT_FALSE(image.stretch());
    EXPECT_EQ(image.bounds(), (ui::Bounds{0, 0, 377, 63}));
}

TEST(SplashForm, LabelsShowNameVersionAndNoticeInTheFormsFontOnWhite) {
    ui::HeadlessBackend backend;
    TSplashForm splash(backend);

    const auto& name = splash.get<ui::Label>("ProgNameLabel");
    const auto& version = splash.get<ui::Label>("VersionLabel");
    const auto& notice = splash.get<ui::Label>("CopyrightLabel");

    EXPECT_EQ(name.caption(), "Quillet");
    // 版本, the full-width colon U+FF1A, exactly one blank, then the version.
    EXPECT_EQ(version.caption(), "\xE7\x89\x88\xE6\x9C\xAC\xEF\xBC\x9A 1.9");
    EXPECT_EQ(version.caption(), "版本： 1.9");
    EXPECT_EQ(version.caption().find("  "), std::string::npos);
    EXPECT_EQ(notice.caption(), mainwindow::kOwnershipNotice);
    EXPECT_FALSE(notice.caption().empty());

    struct Place {
        const ui::Label* label;
        int left, top;
    };
    for (const Place& p : {Place{&name, 8, 64}, Place{&version, 8, 80}, Place{&notice, 8, 104}}) {
        SCOPED_TRACE(p.label->name());
        EXPECT_EQ(p.label->left(), p.left);
        EXPECT_EQ(p.label->top(), p.top);
        EXPECT_TRUE(p.label->autoSize());
        EXPECT_TRUE(p.label->visible());
        EXPECT_EQ(p.label->font(), splash.font());
        EXPECT_EQ(p.label->color(), ui::kColorWhite);
        // Below the picture and inside the visible client area.
        EXPECT_GE(p.label->top(), splash.image().height());
        EXPECT_LT(p.label->top(), splash.clientHeight());
    }
}

TEST(SplashForm, TimerIsArmedForTwoSecondsAtCreation) {
    ui::HeadlessBackend backend;
    TSplashForm splash(backend);
    const ui::Timer& timer = splash.get<ui::Timer>("Timer");
    EXPECT_EQ(timer.interval(), 2000u);
    EXPECT_TRUE(timer.enabled());
    EXPECT_TRUE(timer.running());
}

TEST(SplashForm, ShownModallyItClosesItselfAtTheFirstTickAfterTwoSeconds) {
    ui::HeadlessBackend backend;
    TSplashForm splash(backend);
    // Time passing before it is shown does not shorten its display: the count starts with
    // the showing.
    backend.advance(5000);

    bool sawOpen = false;
    bool sawClosed = false;
    uint64_t shownAt = 0;
    backend.onModal = [&](ui::Form& dialog) {
        EXPECT_EQ(&dialog, &splash);
        shownAt = backend.now();
        EXPECT_TRUE(dialog.modal());
        EXPECT_TRUE(dialog.visible());
        backend.advance(1999);
        sawOpen = dialog.modalResult() == ui::kModalNone;
        backend.advance(1);
        sawClosed = dialog.modalResult() != ui::kModalNone;
    };
    const int result = splash.showModal();

    EXPECT_TRUE(sawOpen) << "closed before 2000 ms";
    EXPECT_TRUE(sawClosed) << "still open at 2000 ms";
    EXPECT_EQ(shownAt, 5000u);
    EXPECT_EQ(result, ui::kModalCancel);
    EXPECT_FALSE(splash.modal());
    EXPECT_FALSE(splash.visible());
}

TEST(SplashForm, LaterTicksOfAClosedSplashChangeNothing) {
    ui::HeadlessBackend backend;
    TSplashForm splash(backend);
    backend.onModal = [&](ui::Form&) { backend.advance(2000); };
    ASSERT_EQ(splash.showModal(), ui::kModalCancel);

    // The creator may destroy it at leisure: ticks meanwhile do not bring it back.
    backend.advance(10000);
    EXPECT_FALSE(splash.visible());
    EXPECT_FALSE(splash.modal());
}

TEST(SplashForm, DestroyingTheShownSplashRemovesAllItsPeers) {
    RecordingBackend backend;
    {
        TSplashForm splash(backend);
        backend.onModal = [&](ui::Form&) { backend.advance(2000); };
        splash.showModal();
    }
    int created = 0;
    int destroyed = 0;
    for (const auto& entry : backend.lifecycle()) {
        if (entry.rfind("create:", 0) == 0) ++created;
        if (entry.rfind("destroy:", 0) == 0) ++destroyed;
    }
    // The form, the panel, the picture, three labels and the timer.
    EXPECT_EQ(created, 7);
    EXPECT_EQ(destroyed, created);
    // After its destruction the clock runs on without a timer to tick.
    backend.advance(10000);
}

TEST(UiFormBorderIcons, AllShownByDefaultAndAChangeIsPushedOnce) {
    RecordingBackend backend;
    ui::Form form(backend, "Dialog");
    EXPECT_EQ(form.borderIcons(), (ui::BorderIcons{true, true, true}));
    form.realize();
    backend.log.clear();

    ui::BorderIcons icons;
    icons.maximize = false;
    form.setBorderIcons(icons);
    form.setBorderIcons(icons);
    EXPECT_EQ(form.borderIcons(), icons);
    EXPECT_NE(form.borderIcons(), ui::BorderIcons{});
    EXPECT_EQ(backend.updates("Dialog"), std::vector<ui::Change>{ui::Change::Appearance});
}
