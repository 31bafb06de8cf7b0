#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "ui/controls.h"
#include "ui/headless_backend.h"
#include "ui/menu.h"

using platform::fake::FakeMachine;

namespace {

// The main window of a copy in C:\Q whose settings file names the home page and the e-mail address.
struct MainWindowWithWeb {
    explicit MainWindowWithWeb(const std::string& web) {
        machine.program = "C:\\Q\\Quillet.exe";
        machine.setIni("C:\\Q\\Quillet.ini", "Settings", "Web", web);
        machine.setIni("C:\\Q\\Quillet.ini", "Settings", "Email", "help@mirror.example");
        app::setAppPaths(app::makeAppPaths(machine.program));
        monitor::detectOs(machine);
        window = std::make_unique<app::TQuilletForm>(os, backend);
        window->create();
    }
    FakeMachine machine;
    ui::HeadlessBackend backend;
    platform::Platform os = machine.services();
    std::unique_ptr<app::TQuilletForm> window;
};

TEST(WebLinks, EachCommandOpensItsAddressThroughTheShell) {
    MainWindowWithWeb w("http://mirror.example/q/");
    auto& machine = w.machine;
    w.window->show();
    auto& f = w.window->form();

    f.get<ui::Label>("HomePageLabel").userClicked();
    f.get<ui::MenuItem>("Quilletwebsite1").click();
    f.get<ui::MenuItem>("JoinourfreeNewsletter1").click();
    f.get<ui::MenuItem>("Login1").click();
    f.get<ui::MenuItem>("Forgottenyourpassword1").click();
    f.get<ui::MenuItem>("QuilletHelpTopics1").click();
    f.get<ui::MenuItem>("AboutQuillet1").click();
    EXPECT_EQ(f.get<ui::PageControl>("MainPageControl").activePage()->name(), "AboutTabSheet");
    f.get<ui::Label>("WebAboutValLabel").userClicked();
    f.get<ui::Label>("EmailAboutValLabel").userClicked();

    std::vector<std::string> opened;
    for (const auto& call : machine.shellCalls) {
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.showCommand, platform::kSwShowNormal);
        opened.push_back(call.file);
    }
    EXPECT_EQ(opened, (std::vector<std::string>{
                          "http://mirror.example/q/", "http://mirror.example/q/",
                          "http://lists.quillet.org/lists/Quillet/",
                          "http://mirror.example/q/cgi-bin/login/db.pl",
                          "http://mirror.example/q/cgi-bin/login/db.pl?db=default&lookup_form=1",
                          "C:\\Q\\documentation\\index.html", "http://mirror.example/q/", "mailto:help@mirror.example"}));
}

// A settings file beside a portable copy may name any Web value: only a web address reaches
// the shell, and the labels show what the links open.
TEST(WebLinks, AWebValueThatIsNoWebAddressGivesTheBuiltInOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"https://secure.example/", "https://secure.example/"},
        {"HTTP://Upper.example/", "HTTP://Upper.example/"},
        {"file:///C:/WINDOWS/system32/calc.exe", "http://www.quillet.org/"},
        {"C:\\WINDOWS\\system32\\calc.exe", "http://www.quillet.org/"},
        {"\\\\server\\share\\tool.exe", "http://www.quillet.org/"},
        {"calc", "http://www.quillet.org/"},
        {"javascript:alert(1)//", "http://www.quillet.org/"},
        {"http:calc.exe", "http://www.quillet.org/"},
        {"http://", "http://www.quillet.org/"},
        {"http:///C:/x.exe", "http://www.quillet.org/"},
        {"http://a.example/\"--new-window", "http://www.quillet.org/"},
        {"http://a.example/ x", "http://www.quillet.org/"},
    };
    for (const auto& [web, opened] : cases) {
        SCOPED_TRACE(web);
        MainWindowWithWeb w(web);
        auto& machine = w.machine;
        auto& f = w.window->form();
        EXPECT_EQ(f.get<ui::Label>("HomePageLabel").caption(), opened);
        EXPECT_EQ(f.get<ui::Label>("WebAboutValLabel").caption(), opened);
        f.get<ui::MenuItem>("Quilletwebsite1").click();
        f.get<ui::MenuItem>("Login1").click();
        ASSERT_EQ(machine.shellCalls.size(), 2u);
        EXPECT_EQ(machine.shellCalls[0].file, opened);
        EXPECT_EQ(machine.shellCalls[1].file, std::string(opened) + "cgi-bin/login/db.pl");
    }
}

}  // namespace
