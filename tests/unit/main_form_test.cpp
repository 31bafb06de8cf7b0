#include "mainwindow/main_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/paths.h"
#include "mainwindow/main_form_builder.h"
#include "mainwindow/main_form_layout.h"
#include "mainwindow/splash_form.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "ui/controls.h"
#include "ui/headless_backend.h"
#include "ui/menu.h"
#include "ui/timer.h"
#include "widgets/widget_controls.h"

using platform::fake::FakeMachine;

namespace {

// The controls of one family as the user finds them: a group box of the cache page and all it
// holds, and for the 9x family also the low-resource line of the options page ("当系统资源达到
// 或低于 [ ] %警告我。(限Windows 9x/ME)").
void collect(const ui::Control& control, std::vector<const ui::Control*>& into) {
    into.push_back(&control);
    for (const auto& child : control.children()) collect(*child, into);
}

class MainForm : public ::testing::Test {
protected:
    void create() {
        app::setAppPaths(app::makeAppPaths(machine.program));
        monitor::detectOs(machine);
        window = std::make_unique<mainwindow::TQuilletForm>(os, backend);
        window->create();
        machine.deliverPosted();  // the message loop's first round: the tray icon comes
    }
    template <class T>
    T& get(const std::string& name) {
        return window->form().get<T>(name);
    }
    std::vector<std::string> trayCaptions() {
        std::vector<std::string> out;
        for (int p = 10; p <= 90; p += 10) out.push_back(get<ui::MenuItem>("N" + std::to_string(p) + "RAM1").caption());
        return out;
    }
    intptr_t send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return machine.send(window->window(), message, wParam, lParam);
    }

    FakeMachine machine;
    ui::HeadlessBackend backend;
    platform::Platform os = machine.services();
    std::unique_ptr<mainwindow::TQuilletForm> window;  // destroyed before the backend
};

// ---- the builder ----

TEST(MainFormBuilder, EveryRowAndMenuItemBecomesAComponentOfItsKind) {
    ui::HeadlessBackend backend;
    auto form = mainwindow::buildMainForm(backend);
    for (const auto& row : mainwindow::mainFormControls()) {
        if (row.kind == ui::Kind::Form) continue;
        ui::Component* c = form->find(row.name);
        ASSERT_NE(c, nullptr) << row.name;
        if (row.kind == ui::Kind::Timer) {
            EXPECT_EQ(c->kind(), ui::Kind::Timer);
            continue;
        }
        auto* control = dynamic_cast<ui::Control*>(c);
        ASSERT_NE(control, nullptr) << row.name;
        EXPECT_EQ(control->parent()->name(), row.parent) << row.name;
        EXPECT_EQ(control->enabled(), row.enabled) << row.name;
        EXPECT_EQ(control->visible(), row.visible) << row.name;
        EXPECT_EQ(control->hint(), row.hint) << row.name;
        if (row.tabOrder >= 0) {
            EXPECT_EQ(control->tabOrder(), row.tabOrder) << row.name;
        }
    }
    for (const auto* items : {&mainwindow::mainMenuItems(), &mainwindow::trayMenuItems()}) {
        for (const auto& row : *items) {
            auto& item = form->get<ui::MenuItem>(row.name);
            EXPECT_EQ(item.separator(), row.separator) << row.name;
            if (!row.separator) {
                EXPECT_EQ(item.caption(), row.caption) << row.name;
            }
            EXPECT_EQ(item.enabled(), row.enabled) << row.name;
        }
    }
    EXPECT_EQ(form->get<ui::PopupMenu>(mainwindow::kTrayMenuName).defaultItem()->name(), "Open1");
    EXPECT_EQ(form->menu(), &form->get<ui::MainMenu>(mainwindow::kMainMenuName));
}

TEST(MainFormBuilder, DesignPropertiesOfEachKindArrive) {
    ui::HeadlessBackend backend;
    auto form = mainwindow::buildMainForm(backend);
    EXPECT_EQ(form->clientWidth(), 402);
    EXPECT_EQ(form->clientHeight(), 434);
    EXPECT_EQ(form->caption(), "Quillet 简体中文版");

    auto& translucent = form->get<ui::TrackBar>("TranslucentTrackBar");
    EXPECT_EQ(translucent.min(), 20);
    EXPECT_EQ(translucent.max(), 255);
    EXPECT_EQ(translucent.position(), 255);
    EXPECT_EQ(translucent.pageSize(), 15);
    EXPECT_EQ(translucent.tickStyle(), ui::TickStyle::Auto);
    EXPECT_EQ(form->get<ui::TrackBar>("TargetFreeRamTrackBar").tickStyle(), ui::TickStyle::None);
    EXPECT_EQ(form->get<ui::TrackBar>("TargetFreeRamTrackBar").thumbLength(), 14);

    auto& edit = form->get<ui::Edit>("RecoverEveryXMinutesEdit");
    EXPECT_EQ(edit.text(), "30");
    EXPECT_EQ(edit.maxLength(), 4);
    auto& speed = form->get<ui::RadioGroup>("GraphSpeedRadioGroup");
    EXPECT_EQ(speed.items().size(), 4u);
    EXPECT_EQ(speed.columns(), 4);
    EXPECT_EQ(speed.caption(), "内存曲线速率");
    EXPECT_EQ(form->get<ui::ComboBox>("CacheSchemeComboBox").items().size(), 6u);
    EXPECT_EQ(form->get<ui::HotKeyBox>("RecoverHotKey").shortcut(), 0xC052);

    auto& pages = form->get<ui::PageControl>("MainPageControl");
    EXPECT_EQ(pages.pageCount(), 6);
    EXPECT_EQ(pages.activePage()->name(), "MemoryTabSheet");
    EXPECT_EQ(pages.page(5).caption(), "关于");
    EXPECT_TRUE(pages.anchors().right && pages.anchors().bottom);

    auto& scale = form->get<ui::Label>("Ram100Label");
    EXPECT_EQ(scale.alignment(), ui::TextAlignment::Right);
    EXPECT_FALSE(scale.autoSize());  // a designed width
    EXPECT_TRUE(form->get<ui::Label>("FreeRamLabel").autoSize());
    EXPECT_TRUE(form->get<ui::Label>("FreeRamLabel").font().underline);
    EXPECT_EQ(form->get<ui::Label>("FreeRamLabel").font().color, 0x00FF00u);
    EXPECT_EQ(form->get<ui::Panel>("GraphPanel").color(), 0x000000u);
    EXPECT_EQ(form->get<ui::Panel>("GraphPanel").bevelOuter(), ui::BevelCut::Lowered);
    EXPECT_EQ(form->get<ui::Label>("HintLabel").align(), ui::Align::Client);
    EXPECT_EQ(form->get<ui::FlatButton>("HideSpeedButton").glyph(), mainwindow::findControl("HideSpeedButton")->picture);
    EXPECT_EQ(form->get<ui::StatusBar>("MainStatusBar").panels().size(), 1u);
    EXPECT_EQ(form->get<ui::Bevel>("Bevel1").shape(), ui::BevelShape::TopLine);

    auto& graph = form->get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
    EXPECT_EQ(graph.GridSize(), 16);
    EXPECT_EQ(graph.StepSize(), 1);
    EXPECT_EQ(graph.Gradient(), 100);
    auto& bar = form->get<widgets::GradientControl>("StressGradient").gradient();
    EXPECT_FALSE(bar.ShowPercent());
    EXPECT_TRUE(bar.CenterText());
    EXPECT_EQ(bar.BackGround(), 0x808080u);

    auto& timer = form->get<ui::Timer>("MainTimer");
    EXPECT_EQ(timer.interval(), 500u);
}

TEST(MainFormBuilder, BindsOnlyTheSuppliedHandlersAndReportsTheRest) {
    ui::HeadlessBackend backend;
    auto form = mainwindow::buildMainForm(backend);
    int exits = 0, ticks = 0, asked = 0, closes = 0;
    ui::FormHandlers handlers;
    handlers.handlers["Exit1Click"] = [&] { ++exits; };
    handlers.handlers["MainTimerTimer"] = [&] { ++ticks; };
    handlers.changing["MainPageControlChanging"] = [&](bool&) { ++asked; };
    handlers.closing["FormClose"] = [&](ui::CloseAction& a) {
        ++closes;
        a = ui::CloseAction::None;
    };
    const auto report = mainwindow::bindMainFormHandlers(*form, handlers);
    EXPECT_EQ(report.boundHandlerNames(),
              (std::vector<std::string>{"Exit1Click", "FormClose", "MainPageControlChanging", "MainTimerTimer"}));
    // One handler serves both menus.
    EXPECT_EQ(std::count(report.bound.begin(), report.bound.end(), "CloseQuillet1.onClick=Exit1Click"), 1);
    EXPECT_EQ(std::count(report.bound.begin(), report.bound.end(), "Exit1.onClick=Exit1Click"), 1);
    const auto unbound = report.unboundHandlerNames();
    EXPECT_NE(std::find(unbound.begin(), unbound.end(), "RecoverRAM1Click"), unbound.end());
    EXPECT_NE(std::find(unbound.begin(), unbound.end(), "FormResize"), unbound.end());

    form->show();  // user input reaches a shown form only
    form->get<ui::MenuItem>("CloseQuillet1").click();
    form->get<ui::MenuItem>("Exit1").click();
    form->get<ui::MenuItem>("RecoverRAM1").click();  // unbound: nothing
    form->get<ui::Timer>("MainTimer").elapsed();
    form->get<ui::PageControl>("MainPageControl").userChanged(2);
    form->close();
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(closes, 1);
}

// A window moved between monitors comes back laid out exactly as a window made at that DPI:
// every place and font, the status bar's panels and the graph's grid.
TEST(MainFormBuilder, AnyTripBetweenDpisGivesTheLayoutOfAFreshFormAtTheEnd) {
    using Layout = std::vector<std::string>;
    const auto layoutOf = [](ui::Form& form) {
        Layout out;
        const std::function<void(const ui::Control&)> walk = [&](const ui::Control& c) {
            const ui::Bounds& b = c.bounds();
            out.push_back(c.name() + " " + std::to_string(b.left) + "," + std::to_string(b.top) + " " +
                          std::to_string(b.width) + "x" + std::to_string(b.height) + " font " +
                          std::to_string(c.font().height));
            if (c.kind() == ui::Kind::StatusBar)
                for (const auto& panel : static_cast<const ui::StatusBar&>(c).panels())
                    out.push_back("panel " + std::to_string(panel.width));
            for (const auto& child : c.children()) walk(*child);
        };
        walk(form);
        const auto& graph = form.get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
        out.push_back("grid " + std::to_string(graph.GridSize()) + " step " + std::to_string(graph.StepSize()));
        return out;
    };
    const auto madeAt = [&](int dpi, std::vector<int> trip) {
        ui::HeadlessBackend backend;
        backend.setScreenDpi(dpi);
        auto form = mainwindow::buildMainForm(backend);
        form->show();
        for (int next : trip) form->setDpi(next);
        return layoutOf(*form);
    };
    const struct Trip {
        int start;
        std::vector<int> trip;
    } trips[] = {{144, {120, 144}}, {192, {144, 192}}, {168, {120, 168}}, {144, {120}}, {96, {144, 96}}, {120, {192, 144}}};
    for (const Trip& t : trips) {
        const int end = t.trip.back();
        SCOPED_TRACE("from " + std::to_string(t.start) + " to " + std::to_string(end));
        const Layout fresh = madeAt(end, {});
        const Layout travelled = madeAt(t.start, t.trip);
        ASSERT_EQ(travelled.size(), fresh.size());
        int differing = 0;
        for (size_t i = 0; i < fresh.size(); ++i)
            if (travelled[i] != fresh[i] && ++differing <= 5) ADD_FAILURE() << travelled[i] << " instead of " << fresh[i];
        EXPECT_EQ(differing, 0);
    }
}

// ---- creation ----

TEST_F(MainForm, ScaleCaptionsAndRangesFollowA256MbMachine) {
    create();
    EXPECT_EQ(get<ui::Label>("Ram100Label").caption(), "257M");
    EXPECT_EQ(get<ui::Label>("Ram75Label").caption(), "193M");
    EXPECT_EQ(get<ui::Label>("Ram50Label").caption(), "129M");
    EXPECT_EQ(get<ui::Label>("Ram25Label").caption(), "65M");
    EXPECT_EQ(get<ui::Label>("Ram0Label").caption(), "0M");
    EXPECT_EQ(trayCaptions(), (std::vector<std::string>{"26M (10%)", "52M (20%)", "77M (30%)", "103M (40%)", "129M (50%)",
                                                        "154M (60%)", "180M (70%)", "205M (80%)", "231M (90%)"}));
    auto& target = get<ui::TrackBar>("TargetFreeRamTrackBar");
    auto& level = get<ui::TrackBar>("AutoRecoverLevelTrackBar");
    EXPECT_EQ(target.min(), 0);
    EXPECT_EQ(target.max(), 231);
    EXPECT_EQ(level.min(), 0);
    EXPECT_EQ(level.max(), 65);
}

TEST_F(MainForm, TrayCaptionsOfA512MbMachine) {
    machine.status.totalPhys = 536346624u;
    create();
    EXPECT_EQ(trayCaptions(), (std::vector<std::string>{"52M (10%)", "103M (20%)", "154M (30%)", "205M (40%)",
                                                        "256M (50%)", "307M (60%)", "359M (70%)", "410M (80%)",
                                                        "461M (90%)"}));
    EXPECT_EQ(get<ui::Label>("Ram100Label").caption(), "512M");
}

TEST_F(MainForm, AboutPageDescribesTheMachine) {
    create();
    EXPECT_EQ(get<ui::Label>("CopyRightAboutLabel").caption(), mainwindow::kOwnershipNotice);
    EXPECT_EQ(get<ui::Label>("VersionAboutValLabel").caption(), "1.9");
    EXPECT_EQ(get<ui::Label>("TotalPhysicalRamAboutValLabel").caption(), "262,144 KB");
    EXPECT_EQ(get<ui::Label>("TotalPageFileAboutValLabel").caption(), "786,432 KB");
    EXPECT_EQ(get<ui::Label>("OperatingSystemAboutValLabel").caption(), "Windows NT 系统");
    EXPECT_EQ(get<ui::Label>("OSVersionAboutValLabel").caption(), "5.1");
    const auto& system = monitor::osDescription();
    ASSERT_FALSE(system.name.empty());
    EXPECT_EQ(get<ui::Label>("OSNAMEAboutLabel").caption(), system.name + ", " + system.versionText);
}

TEST_F(MainForm, AboutPageOnThe9xFamily) {
    machine.setVersion(platform::kPlatformWin32Windows, 4, 10, 0x040A08AE, " A ");
    machine.status.totalPageFile = 1023u * 1024u;  // 999 KB and a part
    create();
    EXPECT_EQ(get<ui::Label>("OperatingSystemAboutValLabel").caption(), "Windows 9x 系统");
    EXPECT_EQ(get<ui::Label>("OSVersionAboutValLabel").caption(), "4.10");
    EXPECT_EQ(get<ui::Label>("OSNAMEAboutLabel").caption(), "微软公司 Windows 98SE , ");
    EXPECT_EQ(get<ui::Label>("TotalPageFileAboutValLabel").caption(), "1,023 KB");
}

TEST_F(MainForm, AboutPageNamesAnUnknownReleaseByItsVersion) {
    machine.setVersion(platform::kPlatformWin32Nt, 5, 2, 3790, "Service Pack 2");
    create();
    EXPECT_EQ(get<ui::Label>("OSNAMEAboutLabel").caption(), "Windows 5.2, Service Pack 2 (Build 3790)\n");
}

TEST_F(MainForm, EachFamilyGreysTheControlsOfTheOther) {
    for (const bool ntFamily : {true, false}) {
        SCOPED_TRACE(ntFamily ? "NT" : "9x");
        if (!ntFamily) machine.setVersion(platform::kPlatformWin32Windows, 4, 90, 0x045A0BB8, " ");
        window.reset();
        create();
        std::vector<const ui::Control*> only9x, onlyNt;
        collect(get<ui::Control>("Win9xMEGroupBox"), only9x);
        collect(get<ui::Control>("WinNT2000XPCacheGroupBox"), onlyNt);
        EXPECT_EQ(only9x.size(), 16u) << "the box, its seven labels, three edits, four check boxes and the scheme list";
        EXPECT_EQ(onlyNt.size(), 6u) << "the box, its label and its four check boxes";
        for (const char* name : {"LowResourceCheckBox", "LowResourceEdit", "Label18"})
            only9x.push_back(&get<ui::Control>(name));
        EXPECT_EQ(get<ui::Label>("Label18").caption(), "%警告我。(限Windows 9x/ME)");
        for (const ui::Control* c : only9x) EXPECT_EQ(c->enabled(), !ntFamily) << c->name();
        for (const ui::Control* c : onlyNt) EXPECT_EQ(c->enabled(), ntFamily) << c->name();
    }
}

struct Release {
    uint32_t platformId, major, minor, build;
    bool translucency;
};

TEST(MainFormTranslucency, OfferedOnWindows2000AndXpOnly) {
    const Release releases[] = {
        {platform::kPlatformWin32Nt, 5, 1, 2600, true},   {platform::kPlatformWin32Nt, 5, 0, 2195, true},
        {platform::kPlatformWin32Nt, 4, 0, 1381, false},  {platform::kPlatformWin32Nt, 6, 1, 7601, false},
        {platform::kPlatformWin32Windows, 4, 10, 0x040A08AE, false},
    };
    for (const Release& r : releases) {
        FakeMachine machine;
        machine.setVersion(r.platformId, r.major, r.minor, r.build, "");
        ui::HeadlessBackend backend;
        platform::Platform os = machine.services();
        monitor::detectOs(machine);
        mainwindow::TQuilletForm window(os, backend);
        window.create();
        EXPECT_EQ(window.form().get<ui::CheckBox>("TranslucentCheckBox").enabled(), r.translucency)
            << r.major << "." << r.minor;
        EXPECT_FALSE(window.form().get<ui::TrackBar>("TranslucentTrackBar").enabled());
    }
}

TEST_F(MainForm, NoSettingsFileMeansNoSplash) {
    int splashes = 0;
    backend.onModal = [&](ui::Form&) { ++splashes; };
    create();
    EXPECT_EQ(splashes, 0);
    EXPECT_TRUE(get<ui::CheckBox>("StartSplashCheckBox").checked());
    EXPECT_TRUE(get<ui::CheckBox>("StartSplashCheckBox").enabled());
}

TEST_F(MainForm, SplashComesAfterTheEarlyStepsAndBeforeTheMemoryFigures) {
    machine.program = "C:\\Q\\Quillet.exe";
    machine.setIni("C:\\Q\\Quillet.ini", "Settings", "ShowSplash", "0");
    int splashes = 0;
    backend.onModal = [&](ui::Form& dialog) {
        ++splashes;
        EXPECT_NE(dynamic_cast<mainwindow::TSplashForm*>(&dialog), nullptr);
        // Steps 1 to 6 are done, step 9 not yet.
        EXPECT_EQ(machine.events.front(), "create TQuilletForm");
        EXPECT_EQ(machine.events.at(1), "registerWindowMessage TaskbarCreated");
        EXPECT_EQ(window->form().minClientWidth(), 402);
        EXPECT_EQ(window->form().caption(), "Quillet");
        EXPECT_TRUE(window->form().get<ui::CheckBox>("StartSplashCheckBox").enabled());
        EXPECT_EQ(machine.statusQueries, 0);
        EXPECT_EQ(window->form().get<ui::Label>("Ram100Label").caption(), "1000MB");
    };
    create();
    EXPECT_EQ(splashes, 1);
    EXPECT_FALSE(get<ui::CheckBox>("StartSplashCheckBox").checked());
    EXPECT_EQ(get<ui::Label>("Ram100Label").caption(), "257M");
}

TEST_F(MainForm, TicksWhileTheSplashShowsChangeNothingOutsideTheWindow) {
    machine.program = "C:\\Q\\Quillet.exe";
    machine.setIni("C:\\Q\\Quillet.ini", "Settings", "ShowSplash", "0");
    machine.status.availPhys = 1 * 1048576;  // far below any alarm level
    backend.onModal = [&](ui::Form&) { backend.advance(3000); };
    create();
    EXPECT_TRUE(machine.threads.empty()) << "no rule acts on design values";
    EXPECT_TRUE(machine.iniWrites.empty());
    EXPECT_TRUE(machine.drawnIcons.empty() || machine.trayIcons.size() == 1u);
    backend.advance(500);  // after creation the alarm rule does its work
    EXPECT_EQ(machine.threads.size(), 1u);
}

TEST_F(MainForm, LeftAndTopPlaceTheWindow) {
    machine.program = "C:\\Q\\Quillet.exe";
    machine.setIni("C:\\Q\\Quillet.ini", "Settings", "Left", "120");
    machine.setIni("C:\\Q\\Quillet.ini", "Settings", "Top", "80");
    create();
    EXPECT_EQ(window->form().left(), 120);
    EXPECT_EQ(window->form().top(), 80);
}

TEST_F(MainForm, EarlyCreationSteps) {
    create();
    auto& f = window->form();
    EXPECT_EQ(window->state().taskbarCreatedMessage, machine.registerWindowMessage("TaskbarCreated"));
    EXPECT_GE(window->state().taskbarCreatedMessage, 0xC000u);
    EXPECT_EQ(f.minClientWidth(), 402);
    EXPECT_EQ(f.minClientHeight(), 434);
    EXPECT_EQ(f.className(), "TQuilletForm");
    EXPECT_EQ(f.caption(), "Quillet");
    EXPECT_EQ(get<ui::FlatButton>("DisableAutoRecoverSpeedButton").glyph(), get<ui::Picture>("EnableImage").picture());
    EXPECT_FALSE(get<ui::FlatButton>("DisableAutoRecoverSpeedButton").glyph().empty());
    EXPECT_TRUE(get<ui::MenuItem>("UserAccount1").enabled());
    auto& graph = get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
    EXPECT_EQ(graph.Baseline1Color(), 0xFFFFFFu);
    EXPECT_EQ(graph.Baseline2Color(), 0x0000FFu);
    EXPECT_FALSE(window->state().windowHidden);
    EXPECT_FALSE(window->state().cacheChangePending);
    // The window stays hidden until the start-up shows it.
    EXPECT_FALSE(machine.details(window->window()).visible);
}

TEST_F(MainForm, HintPanelShowsTheLongHintUnderTheMouse) {
    create();
    auto& button = get<ui::FlatButton>("HideSpeedButton");
    window->form().userPointedAt(&button);
    EXPECT_EQ(get<ui::Label>("HintLabel").caption(), ui::longHint(button.hint()));
    EXPECT_FALSE(get<ui::Label>("HintLabel").caption().empty());
}

TEST_F(MainForm, HandlersOfThisWindowAreBound) {
    create();
    const std::vector<std::string> bound = window->bindings().boundHandlerNames();
    for (const char* name : {"Exit1Click", "FormClose", "Open1Click", "RecoverRAM1Click", "N10RAM1Click", "N90RAM1Click",
                             "TargetFreeRamTrackBarChange", "TranslucentCheckBoxClick", "RecoverSndFileSpeedButtonClick",
                             "MainTimerTimer", "SaveSettings1Click", "DisableAutoRecover1Click", "RestartComputer1Click",
                             "FreeWindowsClipboardMemory1Click", "CleartheRecentDocumentsFolder1Click"})
        EXPECT_NE(std::find(bound.begin(), bound.end(), name), bound.end()) << name;
}

// ---- pages and controls ----

TEST_F(MainForm, ViewMenuSwitchesPagesWithoutThePageQuestion) {
    create();
    auto& pages = get<ui::PageControl>("MainPageControl");
    int asked = 0;
    pages.onChanging = [&](bool&) { ++asked; };
    get<ui::MenuItem>("Cache1").click();
    EXPECT_EQ(pages.activePage()->name(), "CacheTabSheet");
    get<ui::MenuItem>("Options1").click();
    EXPECT_EQ(pages.activePage()->name(), "OptionsTabSheet");
    get<ui::MenuItem>("Tweaks1").click();
    EXPECT_EQ(pages.activePage()->name(), "TweaksTabSheet");
    get<ui::MenuItem>("FreeMemory1").click();
    EXPECT_EQ(pages.activePage()->name(), "MemoryTabSheet");
    EXPECT_EQ(asked, 0);
}

TEST_F(MainForm, TabStyleFollowsTheChoice) {
    create();
    auto& pages = get<ui::PageControl>("MainPageControl");
    auto& choice = get<ui::ComboBox>("TabStyleComboBox");
    window->show();
    window->Tweaks1Click();  // the user reaches the list on its page
    choice.userChanged(1);
    EXPECT_EQ(pages.tabStyle(), ui::TabStyle::Buttons);
    choice.userChanged(2);
    EXPECT_EQ(pages.tabStyle(), ui::TabStyle::FlatButtons);
    choice.userChanged(0);
    EXPECT_EQ(pages.tabStyle(), ui::TabStyle::Tabs);
    choice.userChanged(2);
    choice.setItemIndex(-1);  // no handler from code ...
    window->TabStyleComboBoxChange(choice.itemIndex());  // ... and no selection means ordinary tabs
    EXPECT_EQ(pages.tabStyle(), ui::TabStyle::Tabs);
}

TEST_F(MainForm, SoundBoxGreysTheFileControlsAndKeepsTheName) {
    create();
    auto& box = get<ui::CheckBox>("RecoverSndCheckBox");
    auto& file = get<ui::Edit>("RecoverSoundFileEdit");
    auto& browse = get<ui::Button>("RecoverSndFileSpeedButton");
    file.setText("C:\\optimize.wav");
    box.setChecked(true);
    EXPECT_TRUE(file.enabled());
    EXPECT_TRUE(browse.enabled());
    box.setChecked(false);
    EXPECT_FALSE(file.enabled());
    EXPECT_FALSE(browse.enabled());
    EXPECT_EQ(file.text(), "C:\\optimize.wav");
}

TEST_F(MainForm, BrowsingForTheSoundFillsTheEditUnlessCancelled) {
    create();
    auto& file = get<ui::Edit>("RecoverSoundFileEdit");
    file.setText("C:\\old.wav");
    machine.openFileAnswer = "";  // cancelled
    get<ui::Button>("RecoverSndFileSpeedButton").click();
    EXPECT_EQ(file.text(), "C:\\old.wav");
    machine.openFileAnswer = "D:\\声音\\notes.txt";  // any type of file is taken
    get<ui::Button>("RecoverSndFileSpeedButton").click();
    EXPECT_EQ(file.text(), "D:\\声音\\notes.txt");
    ASSERT_EQ(machine.openFileCalls.size(), 2u);
    EXPECT_EQ(machine.openFileCalls[0].owner, window->window());
    EXPECT_EQ(machine.openFileCalls[0].flags, 0x1810u);
}

class MainFormOnXp : public MainForm {
protected:
    void SetUp() override {
        machine.setVersion(platform::kPlatformWin32Nt, 5, 1, 2600, "Service Pack 3");
        create();
        window->show();
        window->Tweaks1Click();  // the page with the translucency controls
    }
    platform::fake::FakeMachine::FakeWindow& realWindow() { return machine.details(window->window()); }
};

TEST_F(MainFormOnXp, TickingMakesTheWindowLayeredAndTopmostAtTheBarsAlpha) {
    auto& box = get<ui::CheckBox>("TranslucentCheckBox");
    auto& bar = get<ui::TrackBar>("TranslucentTrackBar");
    EXPECT_FALSE(realWindow().layered);
    EXPECT_FALSE(window->form().stayOnTop());
    box.userChanged(true);
    EXPECT_TRUE(bar.enabled());
    EXPECT_TRUE(realWindow().layered);
    EXPECT_EQ(realWindow().alpha, 255);  // layered but opaque
    EXPECT_TRUE(window->form().stayOnTop());
    bar.userChanged(0);  // dragged past the end: the bar's minimum
    EXPECT_EQ(realWindow().alpha, 20);
    bar.userChanged(128);
    EXPECT_EQ(realWindow().alpha, 128);

    box.userChanged(false);
    EXPECT_FALSE(bar.enabled());
    EXPECT_FALSE(realWindow().layered);
    EXPECT_FALSE(window->form().stayOnTop());
    EXPECT_EQ(bar.position(), 128);  // kept for the next tick
    box.userChanged(true);
    EXPECT_EQ(realWindow().alpha, 128);
}

TEST_F(MainFormOnXp, WithoutLayeredWindowsOnlyTheTopmostChanges) {
    machine.layeredWindows = false;
    get<ui::CheckBox>("TranslucentCheckBox").userChanged(true);
    EXPECT_FALSE(realWindow().layered);
    EXPECT_TRUE(window->form().stayOnTop());
}

TEST_F(MainForm, SystemCommandsRunFromBothMenus) {
    create();
    get<ui::MenuItem>("FreeWindowsClipboardMemory2").click();
    get<ui::MenuItem>("CleartheRecentDocumentsFolder1").click();
    get<ui::MenuItem>("ShutdownComputer1").click();
    EXPECT_EQ(machine.clipboardEmptied, 1);
    EXPECT_EQ(machine.recentDocumentsCleared, 1);
    EXPECT_EQ(machine.events.back(), "exitWindows 1");
}

TEST_F(MainForm, TrayDoubleClickOpensAndRightClickShowsTheMenuAtThePointer) {
    create();
    window->HideSpeedButtonClick();
    std::vector<std::string> popups;
    backend.onPopup = [&](ui::PopupMenu& menu, int x, int y) {
        popups.push_back(menu.name() + " " + std::to_string(x) + "," + std::to_string(y));
        EXPECT_EQ(machine.events.back(), "bringToFront TQuilletForm");  // in front before it opens
    };
    machine.cursorX = 1000, machine.cursorY = 740;
    send(mainwindow::kTrayCallbackMessage, 1, 0x0200);  // the pointer moving over the icon: nothing
    send(mainwindow::kTrayCallbackMessage, 1, 0x0202);  // single click: nothing
    EXPECT_TRUE(popups.empty());
    EXPECT_TRUE(window->state().windowHidden);
    send(mainwindow::kTrayCallbackMessage, 1, 0x0205);
    EXPECT_EQ(popups, std::vector<std::string>{"TrayPopupMenu 1000,740"});
    EXPECT_TRUE(window->state().windowHidden);

    send(mainwindow::kTrayCallbackMessage, 1, 0x0203);
    EXPECT_FALSE(window->state().windowHidden);
    EXPECT_TRUE(machine.details(window->window()).visible);
    EXPECT_EQ(machine.events.back(), "bringToFront TQuilletForm");
}

// ---- closing, messages, exit ----

TEST_F(MainForm, CloseIsRefusedAndHidesTheWindow) {
    create();
    window->show();
    EXPECT_TRUE(machine.details(window->window()).visible);
    window->form().close();
    EXPECT_TRUE(window->state().windowHidden);
    EXPECT_FALSE(window->form().visible());
    EXPECT_FALSE(machine.details(window->window()).visible);
    EXPECT_FALSE(machine.details(window->window()).destroyed);
    EXPECT_FALSE(machine.quitRequested);

    // The system's close request takes the same way.
    window->show();
    EXPECT_EQ(send(platform::kWmClose), 0);
    EXPECT_FALSE(machine.details(window->window()).visible);
    EXPECT_FALSE(machine.quitRequested);
}

TEST_F(MainForm, TheTrayIconComesWithTheLoopsFirstRoundAndNeverAfterTheExit) {
    const auto count = [&](const std::string& prefix) {
        return std::count_if(machine.events.begin(), machine.events.end(),
                             [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    };
    app::setAppPaths(app::makeAppPaths(machine.program));
    monitor::detectOs(machine);
    window = std::make_unique<mainwindow::TQuilletForm>(os, backend);
    window->create();
    window->show();
    EXPECT_EQ(window->trayIcon(), nullptr);  // the window does not wait for the shell
    machine.deliverPosted();
    ASSERT_NE(window->trayIcon(), nullptr);
    EXPECT_EQ(count("trayAdd Quillet 可用内存："), 1);  // the figures at once, not at the next tick
    EXPECT_EQ(count("trayAdd"), 1);
    EXPECT_EQ(count("trayModify"), 0);

    // An exit (a log-off) handled before the loop's first round leaves no icon behind.
    FakeMachine second;
    platform::Platform secondOs = second.services();
    ui::HeadlessBackend secondBackend;
    mainwindow::TQuilletForm early(secondOs, secondBackend);
    early.create();
    early.Exit1Click();
    second.deliverPosted();
    EXPECT_EQ(early.trayIcon(), nullptr);
    EXPECT_EQ(std::count(second.events.begin(), second.events.end(), "trayDelete"), 0);
    EXPECT_TRUE(std::none_of(second.events.begin(), second.events.end(),
                             [](const std::string& e) { return e.rfind("trayAdd", 0) == 0; }));
}

TEST_F(MainForm, AnEndOfSessionWhileTheShellAddsTheIconLeavesNoIcon) {
    app::setAppPaths(app::makeAppPaths(machine.program));
    monitor::detectOs(machine);
    window = std::make_unique<mainwindow::TQuilletForm>(os, backend);
    window->create();
    window->show();
    // A log-off reaches the window while the shell is still answering the add.
    machine.onTrayAdd = [&] { send(platform::kWmQueryEndSession); };
    machine.deliverPosted();
    EXPECT_EQ(window->trayIcon(), nullptr);
    EXPECT_TRUE(machine.trayIcons.empty());
    EXPECT_EQ(std::count(machine.events.begin(), machine.events.end(), "quit"), 1);
}

TEST_F(MainForm, TheCloseButtonSavesNothing) {
    create();
    window->show();
    machine.events.clear();
    window->form().close();
    send(platform::kWmClose);
    EXPECT_TRUE(machine.iniWrites.empty());
    EXPECT_EQ(std::count(machine.events.begin(), machine.events.end(), "quit"), 0);
}

TEST_F(MainForm, ExitGoesInItsOrderAndLeavesNothingRunning) {
    machine.program = "C:\\Q\\Quillet.exe";
    for (const char* key : {"EnableRecoverHotkey", "DisableAutoRecoverHotkey", "RecoverEveryXMinutes"})
        machine.setIni("C:\\Q\\Quillet.ini", "Settings", key, "1");
    create();
    window->show();
    get<ui::MenuItem>("DisableAutoRecover1").click();  // paused when the user leaves
    window->HideSpeedButtonClick();
    machine.events.clear();
    window->Exit1Click();
    // Where each step last shows (the save registers the hot keys afresh before they go).
    const auto at = [&](const std::string& event) {
        const auto last = std::find(machine.events.rbegin(), machine.events.rend(), event);
        return last == machine.events.rend() ? static_cast<long>(machine.events.size())
                                             : static_cast<long>(machine.events.rend() - last - 1);
    };
    const std::vector<std::string> order{"replaceFile C:\\Q\\Quillet.ini", "trayDelete", "bringToFront TQuilletForm",
                                         "unregisterHotKey 0", "unregisterHotKey 1", "quit"};
    for (size_t i = 0; i < order.size(); ++i) {
        ASSERT_LT(at(order[i]), static_cast<long>(machine.events.size())) << order[i];
        if (i > 0) {
            EXPECT_LT(at(order[i - 1]), at(order[i])) << order[i - 1] << " before " << order[i];
        }
    }
    EXPECT_EQ(machine.iniValue("C:\\Q\\Quillet.ini", "Settings", "AutoRecoverOnAlarmLevel"), "1");
    EXPECT_FALSE(get<ui::MenuItem>("DisableAutoRecover1").checked()) << "the pause is lifted first";
    EXPECT_FALSE(window->state().windowHidden);
    EXPECT_TRUE(machine.trayIcons.empty());
    EXPECT_TRUE(machine.hotKeys.empty());
    EXPECT_FALSE(window->graphRunning());
    EXPECT_FALSE(get<ui::Timer>(mainwindow::kGraphTimerName).enabled()) << "the graph no longer steps";
}

TEST_F(MainForm, HideButtonHidesAndShowBringsBack) {
    create();
    window->show();
    get<ui::FlatButton>("HideSpeedButton").click();
    EXPECT_FALSE(machine.details(window->window()).visible);
    window->show();
    EXPECT_FALSE(window->state().windowHidden);
    EXPECT_TRUE(machine.details(window->window()).visible);
}

TEST_F(MainForm, EndingTheSessionRunsTheExitAndAnswersOne) {
    create();
    EXPECT_EQ(send(platform::kWmQueryEndSession), 1);
    EXPECT_TRUE(machine.quitRequested);
    EXPECT_EQ(machine.events.back(), "quit");
}

TEST_F(MainForm, EveryExitCommandEndsTheLoop) {
    create();
    for (const char* item : {"Exit1", "CloseQuillet1"}) {
        machine.quitRequested = false;
        get<ui::MenuItem>(item).click();
        EXPECT_TRUE(machine.quitRequested) << item;
    }
    machine.quitRequested = false;
    get<ui::FlatButton>("ExitSpeedButton").click();
    EXPECT_TRUE(machine.quitRequested);
}

TEST_F(MainForm, OwnMessagesAreRoutedAndOthersPassThrough) {
    create();
    for (uint32_t message : {platform::kWmHotKey, mainwindow::kTrayCallbackMessage}) {
        EXPECT_EQ(send(message, 0, 515), 0) << message;
    }
    EXPECT_EQ(send(mainwindow::kRecoveryDoneMessage), 1);
    EXPECT_EQ(send(0x0005), -1);  // WM_SIZE: the system's own handling
    EXPECT_FALSE(machine.quitRequested);

    // A backend that mirrors the form hands the same messages to the form's entry point.
    intptr_t result = -1;
    EXPECT_TRUE(window->form().message(mainwindow::kRecoveryDoneMessage, 0, 0, result));
    EXPECT_FALSE(window->form().message(0x0005, 0, 0, result));
    EXPECT_TRUE(window->form().message(platform::kWmQueryEndSession, 0, 0, result));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(machine.quitRequested);
}

}  // namespace
