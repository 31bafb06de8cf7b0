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
    explicit MainWindowWithWeb(const std::string& web, const std::string& email = "help@mirror.example") {
        machine.program = "C:\\Q\\Quillet.exe";
        machine.setIni("C:\\Q\\Quillet.ini", "Settings", "Web", web);
        machine.setIni("C:\\Q\\Quillet.ini", "Settings", "Email", email);
        app::setAppPaths(app::makeAppPaths(machine.program));
        monitor::detectOs(machine);
        window = std::make_unique<mainwindow::TQuilletForm>(os, backend);
        window->create();
    }
    FakeMachine machine;
    ui::HeadlessBackend backend;
    platform::Platform os = machine.services();
    std::unique_ptr<mainwindow::TQuilletForm> window;
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
        // A host is required; a backslash makes the address a network share.
        {"http://user@127.0.0.1:8123/", "http://user@127.0.0.1:8123/"},
        {"http://?x", "http://www.quillet.org/"},
        {"http://:80/", "http://www.quillet.org/"},
        {"http://#frag", "http://www.quillet.org/"},
        {"http://@/", "http://www.quillet.org/"},
        {"http://\\\\server\\share\\tool.exe", "http://www.quillet.org/"},
        {"http://a.example\\share/", "http://www.quillet.org/"},
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

// The mail link opens "mailto:" and the address: only local@domain reaches the shell, nothing
// that could end the mail program's command line early.
TEST(WebLinks, AnEmailValueThatIsNoMailAddressGivesTheBuiltInOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"help@mirror.example", "help@mirror.example"},
        {"first.last+q@mail.example", "first.last+q@mail.example"},
        {"help@mirror.example\" /c calc", "support@quillet.org"},
        {"help @mirror.example", "support@quillet.org"},
        {"help@mirror.example\\", "support@quillet.org"},
        {"it's@mirror.example", "support@quillet.org"},
        {"help\t@mirror.example", "support@quillet.org"},
        {"@mirror.example", "support@quillet.org"},
        {"help@", "support@quillet.org"},
        {"help", "support@quillet.org"},
        {"a@b@c", "support@quillet.org"},
    };
    for (const auto& [email, shown] : cases) {
        SCOPED_TRACE(email);
        MainWindowWithWeb w("http://mirror.example/q/", email);
        w.window->show();
        auto& f = w.window->form();
        EXPECT_EQ(f.get<ui::Label>("EmailAboutValLabel").caption(), shown);
        f.get<ui::MenuItem>("AboutQuillet1").click();
        f.get<ui::Label>("EmailAboutValLabel").userClicked();
        ASSERT_EQ(w.machine.shellCalls.size(), 1u);
        EXPECT_EQ(w.machine.shellCalls[0].file, std::string("mailto:") + shown);
    }
}

}  // namespace
