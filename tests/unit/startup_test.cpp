#include "startup/startup.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/paths.h"
#include "text/text_format.h"
#include "app/texts.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "ui/headless_backend.h"

using platform::fake::FakeMachine;

namespace {

int start(FakeMachine& machine) {
    platform::Platform os = machine.services();
    ui::HeadlessBackend backend;
    return startup::runQuillet(os, backend);
}

const FakeMachine::FakeWindow* mainWindow(FakeMachine& machine) {
    for (const auto& w : machine.windows) {
        if (!w.foreign && w.layout.className == "TQuilletForm") return &w;
    }
    return nullptr;
}

}  // namespace

TEST(Startup, CreatesAndShowsTheMainWindow) {
    FakeMachine machine;
    machine.program = "C:\\Q\\Quillet.exe";
    bool visibleInLoop = false;
    machine.onMessageLoop = [&] { visibleInLoop = mainWindow(machine)->visible; };
    EXPECT_EQ(start(machine), 0);
    EXPECT_EQ(app::appPaths().iniPath, "C:\\Q\\Quillet.ini");
    const auto* form = mainWindow(machine);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->layout.caption, "Quillet");
    EXPECT_EQ(form->layout.clientWidth, 402);
    EXPECT_EQ(form->layout.clientHeight, 434);
    EXPECT_TRUE(visibleInLoop);
    EXPECT_TRUE(form->destroyed);  // the window goes with the loop's end
    EXPECT_TRUE(machine.messageBoxes.empty());
}

TEST(Startup, DescribesTheSystemOnceBeforeTheMessageLoop) {
    FakeMachine machine;
    machine.setVersion(platform::kPlatformWin32Windows, 4, 10, 0x040A08AE, " A ");
    std::string nameInLoop;
    machine.onMessageLoop = [&] { nameInLoop = monitor::osDescription().name; };
    EXPECT_EQ(start(machine), 0);
    EXPECT_EQ(nameInLoop, "微软公司 Windows 98SE ");
    EXPECT_TRUE(monitor::osDescription().isWin98);
    // The description asks once with the extended record; the main window's creation then
    // asks the family afresh with the short one (and so does each display refresh).
    ASSERT_GE(machine.versionQueries.size(), 2u);
    EXPECT_EQ(machine.versionQueries[0], 156u);
    EXPECT_EQ(machine.versionQueries[1], 148u);

    // A system that gives no version leaves an empty description, and the program runs on.
    FakeMachine silent;
    silent.refuseExtendedVersion = true;
    silent.refuseShortVersion = true;
    EXPECT_EQ(start(silent), 0);
    EXPECT_NE(mainWindow(silent), nullptr);
    EXPECT_EQ(monitor::osDescription().name, "");
    EXPECT_FALSE(monitor::osDescription().isWin98);
    EXPECT_EQ(monitor::osDescription().versionInfo.platformId, 0u);
}

TEST(Startup, StartMinimizedKeepsTheWindowHidden) {
    FakeMachine machine;
    machine.program = "C:\\Q\\Quillet.exe";
    machine.setIni("C:\\Q\\Quillet.ini", "Settings", "StartMinimized", "1");
    bool visibleInLoop = true;
    machine.onMessageLoop = [&] { visibleInLoop = mainWindow(machine)->visible; };
    EXPECT_EQ(start(machine), 0);
    ASSERT_NE(mainWindow(machine), nullptr);
    EXPECT_FALSE(visibleInLoop);
}

// An installed copy reads the start-up choice where it keeps its settings, not beside itself.
TEST(Startup, AnInstalledCopyReadsItsSettingsFromTheApplicationDataFolder) {
    FakeMachine machine;
    machine.program = "C:\\Program Files\\Quillet\\Quillet.exe";
    machine.appDataPath = "C:\\Users\\李\\AppData\\Roaming";
    machine.setIni("C:\\Program Files\\Quillet\\Quillet.installed", "Quillet", "Settings", "AppData");
    machine.setIni("C:\\Program Files\\Quillet\\Quillet.ini", "Settings", "StartMinimized", "0");
    machine.setIni("C:\\Users\\李\\AppData\\Roaming\\Quillet\\Quillet.ini", "Settings", "StartMinimized", "1");
    bool visibleInLoop = true;
    machine.onMessageLoop = [&] { visibleInLoop = mainWindow(machine)->visible; };
    EXPECT_EQ(start(machine), 0);
    EXPECT_FALSE(visibleInLoop);
    EXPECT_EQ(app::appPaths().iniPath, "C:\\Users\\李\\AppData\\Roaming\\Quillet\\Quillet.ini");
}

TEST(Startup, SecondCopyIsRefusedWithAWarningOwnedByTheFirst) {
    FakeMachine machine;
    platform::Window running = machine.addForeignWindow("TQuilletForm");
    EXPECT_EQ(start(machine), 0);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    const auto& box = machine.messageBoxes[0];
    EXPECT_EQ(box.owner, running);
    EXPECT_EQ(box.text, text::formatText(app::kAlreadyRunningFormat, {"Quillet", "Quillet"}));
    EXPECT_EQ(box.caption, "Quillet");
    EXPECT_EQ(box.flags, 0x30u);
    EXPECT_EQ(mainWindow(machine), nullptr);
    EXPECT_EQ(machine.events, std::vector<std::string>{"messageBox"});
    EXPECT_TRUE(machine.versionQueries.empty());  // a refused copy does not look at the system
}

TEST(Startup, CommandLineRunWorksBesideARunningCopy) {
    FakeMachine machine;
    machine.addForeignWindow("TQuilletForm");
    machine.arguments = "/ram=8 /once";
    EXPECT_EQ(start(machine), 0);
    EXPECT_TRUE(machine.messageBoxes.empty());
    EXPECT_EQ(machine.releases.size(), 1u);
}

TEST(Startup, WithoutOnceTheWarningFollowsTheRecovery) {
    FakeMachine machine;
    machine.addForeignWindow("TQuilletForm");
    machine.arguments = "/ram=8";
    EXPECT_EQ(start(machine), 0);
    EXPECT_EQ(machine.releases.size(), 1u);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].flags, 0x30u);
    EXPECT_EQ(machine.events.back(), "messageBox");
}

TEST(Startup, FinishedCommandLineRunCreatesNoWindow) {
    FakeMachine machine;
    machine.arguments = "/?";
    EXPECT_EQ(start(machine), 0);
    EXPECT_EQ(mainWindow(machine), nullptr);
    EXPECT_EQ(machine.messageBoxes.size(), 1u);
}

TEST(Startup, ErrorsAreShownAndTheProcessStillEndsWithZero) {
    FakeMachine machine;
    machine.onMessageLoop = [] { throw std::runtime_error("出错了"); };
    EXPECT_EQ(start(machine), 0);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text, "出错了");
    EXPECT_EQ(machine.messageBoxes[0].caption, "Quillet");
    EXPECT_EQ(machine.messageBoxes[0].flags, 0x10u);
}

TEST(Startup, HandlerErrorsGoToTheErrorBox) {
    FakeMachine machine;
    machine.onMessageLoop = [&] { machine.errorReporter("句柄无效"); };
    EXPECT_EQ(start(machine), 0);
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text, "句柄无效");
    EXPECT_EQ(machine.messageBoxes[0].flags, 0x10u);
}

TEST(MainWindow, EndingTheSessionEndsTheProgram) {
    FakeMachine machine;
    intptr_t answer = 0;
    machine.onMessageLoop = [&] {
        for (auto& w : machine.windows) {
            if (w.layout.className == "TQuilletForm")
                answer = machine.send(reinterpret_cast<platform::Window>(&w), platform::kWmQueryEndSession);
        }
    };
    start(machine);
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(machine.quitRequested);
}

TEST(MainWindow, CloseHidesTheWindowAndOtherMessagesPassThrough) {
    FakeMachine machine;
    intptr_t other = 0;
    bool visibleAfterClose = true;
    machine.onMessageLoop = [&] {
        auto* w = mainWindow(machine);
        auto* handle = reinterpret_cast<platform::Window>(const_cast<FakeMachine::FakeWindow*>(w));
        other = machine.send(handle, 0x0005);  // WM_SIZE
        EXPECT_FALSE(machine.quitRequested);
        EXPECT_EQ(machine.send(handle, platform::kWmClose), 0);
        visibleAfterClose = w->visible;
    };
    start(machine);
    EXPECT_EQ(other, -1);
    // Closing hides to the notification area; the program goes on running.
    EXPECT_FALSE(machine.quitRequested);
    EXPECT_FALSE(visibleAfterClose);
}
