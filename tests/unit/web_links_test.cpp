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

TEST(WebLinks, EachCommandOpensItsAddressThroughTheShell) {
    FakeMachine machine;
    machine.program = "C:\\Q\\Quillet.exe";
    machine.setIni("C:\\Q\\Quillet.ini", "Settings", "Web", "http://mirror.example/q/");
    machine.setIni("C:\\Q\\Quillet.ini", "Settings", "Email", "help@mirror.example");
    ui::HeadlessBackend backend;
    platform::Platform os = machine.services();
    app::setAppPaths(app::makeAppPaths(machine.program));
    monitor::detectOs(machine);
    app::TQuilletForm window(os, backend);
    window.create();
    window.show();
    auto& f = window.form();

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

}  // namespace
