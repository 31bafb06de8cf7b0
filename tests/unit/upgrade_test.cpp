// The upgrade check: reading the reply, the status each outcome leads to, and the dialog's
// request, proxy settings and life beside its worker thread.
#include <gtest/gtest.h>
#include <cstdlib>

#include <string>
#include <vector>

#include "commands/upgrade_check.h"
#include "commands/upgrade_form.h"
#include "main_window_fixture.h"
#include "ui/menu.h"
#include "platform/fake/fake_platform.h"
#include "ui/headless_backend.h"
#include "mainwindow/main_form_layout.h"
#include "mainwindow/splash_form.h"

using commands::TUpgradeForm;
using platform::HttpReply;
using platform::fake::FakeMachine;
using Outcome = platform::HttpReply::Outcome;

namespace {

constexpr const char* kIni = "C:\\Quillet\\Quillet.ini";

HttpReply okReply(const std::string& body, uint32_t status = 200) {
    HttpReply reply;
    reply.outcome = Outcome::Reply;
    reply.status = status;
    reply.body = body;
    return reply;
}

std::string statusOf(const HttpReply& reply) { return commands::checkResultOf(reply).status.value_or("<none>"); }

std::string available(const std::string& version) {
    return "Quillet 版本    " + version + " 是可以下载的!             ";
}

}  // namespace

// The upgrade check, the splash and the About page say the version the packages are named after.
TEST(ProgramVersion, TheProgramsTextsAgreeWithTheBuildsVersion) {
    EXPECT_STREQ(commands::kProgramVersion, QUILLET_BUILD_VERSION);
    EXPECT_STREQ(mainwindow::kProgramVersion, QUILLET_BUILD_VERSION);
    const mainwindow::ControlLayout* label = mainwindow::findControl("VersionAboutValLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, QUILLET_BUILD_VERSION);
}

TEST(UpgradeReply, TheVersionAfterTheThirdCommaComparedAsADecimal) {
    EXPECT_EQ(statusOf(okReply("1,1,1,2.0")), available("2.0"));
    EXPECT_EQ(statusOf(okReply("1,1,1,1.9")), commands::kCurrentText);
    EXPECT_EQ(statusOf(okReply("1,1,1,1.85")), commands::kCurrentText);
    EXPECT_EQ(statusOf(okReply("1,1,1,1.10")), commands::kCurrentText);  // 1.10 < 1.9
    EXPECT_EQ(statusOf(okReply("a,b,c,not a number")), commands::kCurrentText);
    EXPECT_EQ(statusOf(okReply("x,y,z, +1.95rc")), available(" +1.95rc"));
    EXPECT_EQ(statusOf(okReply("1,1,1,2.0,7")), available("2.0,7"));  // the rest of the body
    // A line end is no part of what the status line shows.
    EXPECT_EQ(statusOf(okReply("1,1,1,2.0\r\n")), available("2.0"));
    EXPECT_EQ(statusOf(okReply("1,1,1,2\xff")), available("2?"));

    EXPECT_EQ(commands::decimalVersion("1.9"), 1.9f);
    EXPECT_EQ(commands::decimalVersion("  -.5x"), -0.5f);
    EXPECT_EQ(commands::decimalVersion("1.2.3"), 1.2f);
    EXPECT_EQ(commands::decimalVersion("1e5"), 1.0f);
    EXPECT_EQ(commands::decimalVersion("."), 0.0f);
    EXPECT_EQ(commands::decimalVersion(""), 0.0f);
    // Every version a reply can hold reads as the C library reads the decimal number.
    for (const char* version : {"0.1", "1.15", "2.675", "-1.95", "0.3000000000001", "123456789012345",
                                "9007199254740993", ".000000000000001", "00000000000012.5"})
        EXPECT_EQ(commands::decimalVersion(version), static_cast<float>(std::strtod(version, nullptr))) << version;
}

TEST(UpgradeReply, ShortMalformedLongOrFailedRepliesFail) {
    const std::string nineteen = "1,1,1,2.00000000000";
    ASSERT_EQ(nineteen.size(), 19u);
    EXPECT_EQ(statusOf(okReply(nineteen)), available("2.00000000000"));
    EXPECT_EQ(statusOf(okReply(nineteen + "0")), commands::kFailedText);  // 20 characters
    HttpReply cut = okReply(nineteen);
    cut.bodyTooLong = true;  // the transport stopped reading past 19
    EXPECT_EQ(statusOf(cut), commands::kFailedText);
    EXPECT_EQ(statusOf(okReply("2.0")), commands::kFailedText);
    EXPECT_EQ(statusOf(okReply("1,1,2.0")), commands::kFailedText);
    EXPECT_EQ(statusOf(okReply("")), commands::kFailedText);
    EXPECT_EQ(statusOf(okReply("1,1,1,2.0", 404)), commands::kFailedText);
    EXPECT_EQ(statusOf(okReply("1,1,1,2.0", 302)), commands::kFailedText);  // a redirect not followed
    EXPECT_FALSE(commands::checkResultOf(okReply("", 500)).connectFailedBox);

    HttpReply refused;
    refused.outcome = Outcome::ConnectionFailed;
    EXPECT_EQ(statusOf(refused), commands::kFailedText);
    EXPECT_TRUE(commands::checkResultOf(refused).connectFailedBox);
    HttpReply timedOut;
    timedOut.outcome = Outcome::Error;
    EXPECT_FALSE(commands::checkResultOf(timedOut).status);  // the box alone
    EXPECT_TRUE(commands::checkResultOf(timedOut).connectFailedBox);
    HttpReply aborted;
    aborted.outcome = Outcome::Aborted;
    EXPECT_FALSE(commands::checkResultOf(aborted).status);
    EXPECT_FALSE(commands::checkResultOf(aborted).connectFailedBox);
}

TEST(UpgradeServer, TheHostOfTheWebSite) {
    auto server = commands::upgradeServerOf("http://www.quillet.org/");
    EXPECT_EQ(server.host, "www.quillet.org");
    EXPECT_EQ(server.port, 80);
    server = commands::upgradeServerOf("HTTP://127.0.0.1:8123/site/");
    EXPECT_EQ(server.host, "127.0.0.1");
    EXPECT_EQ(server.port, 8123);
    for (const char* odd : {"ftp://x/", "http:///", "http://a b/", "http://x:0/", "http://x:99999/", "http://x:/", ""})
        EXPECT_EQ(commands::upgradeServerOf(odd).host, "www.quillet.org") << odd;
}

namespace {

struct UpgradeDialog : ::testing::Test {
    ui::HeadlessBackend backend;
    FakeMachine machine;
    platform::Platform os = machine.services();

    void run(const std::function<void(TUpgradeForm&)>& user, const std::string& linkBase = "http://www.quillet.org/") {
        backend.onModal = [&](ui::Form& dialog) { user(dynamic_cast<TUpgradeForm&>(dialog)); };
        commands::runUpgradeDialog(backend, os, kIni, linkBase, 30, 40);
    }
    // The worker thread runs and its reply is delivered, as the message loop would.
    void finishCheck() {
        machine.runThreads();
        machine.deliverPosted();
    }
};

}  // namespace

TEST_F(UpgradeDialog, ACheckRunsOffTheWindowThreadAndItsReplyComesBackAsAMessage) {
    machine.httpAnswer = [](const platform::HttpRequest&) { return okReply("1,1,1,2.0"); };
    run([&](TUpgradeForm& form) {
        EXPECT_EQ(form.bounds(), (ui::Bounds{30, 40, 379, 231}));
        EXPECT_EQ(form.caption(), "Quillet 在线升级");
        EXPECT_EQ(form.statusLabel().caption(), "             ");
        form.checkButton().userClicked();
        EXPECT_EQ(form.statusLabel().caption(), "正在进行升级检查 ..");
        EXPECT_FALSE(form.checkButton().enabled());
        EXPECT_TRUE(machine.httpRequests.empty());  // nothing on this thread
        ASSERT_EQ(machine.threads.size(), 1u);
        EXPECT_EQ(machine.threads.front().suspendCount, 0);
        EXPECT_TRUE(machine.threads.front().closed);

        finishCheck();
        EXPECT_EQ(form.statusLabel().caption(), available("2.0"));
        EXPECT_TRUE(form.checkButton().enabled());
        ASSERT_EQ(machine.httpRequests.size(), 1u);
        const auto& request = machine.httpRequests[0];
        EXPECT_EQ(request.host, "www.quillet.org");
        EXPECT_EQ(request.port, 80);
        EXPECT_EQ(request.path, "/upgrade.bin");
        EXPECT_EQ(request.proxyHost, "");
        EXPECT_EQ(request.timeoutMs, 60000u);
        EXPECT_EQ(request.maxBody, 19u);
    });
    EXPECT_TRUE(machine.messageBoxes.empty());
}

TEST_F(UpgradeDialog, TheProxyBoxesAsTheyStandAtTheCheck) {
    run([&](TUpgradeForm& form) {
        EXPECT_FALSE(form.addressEdit().enabled());
        form.useProxyCheckBox().userChanged(true);
        EXPECT_TRUE(form.addressEdit().enabled() && form.portEdit().enabled());
        form.addressEdit().userChanged("proxy");
        form.portEdit().userChanged("8080");
        form.checkButton().userClicked();
        finishCheck();
        form.useProxyCheckBox().userChanged(false);
        EXPECT_FALSE(form.portEdit().enabled());
        form.checkButton().userClicked();
        finishCheck();
        // A port no connection can go to: refused at once, no thread.
        form.useProxyCheckBox().userChanged(true);
        form.portEdit().userChanged("70000");
        form.checkButton().userClicked();
        EXPECT_EQ(form.statusLabel().caption(), "升级检查失败!        ");
        form.statusLabel().setCaption("");
        form.portEdit().userChanged("0");
        form.checkButton().userClicked();
        EXPECT_EQ(form.statusLabel().caption(), "升级检查失败!        ");
        // A ticked box without an address is no proxy: the check goes straight to the server.
        form.addressEdit().userChanged("");
        form.portEdit().userChanged("8080");
        form.checkButton().userClicked();
        finishCheck();
    });
    ASSERT_EQ(machine.httpRequests.size(), 3u);
    EXPECT_EQ(machine.httpRequests[0].proxyHost, "proxy");
    EXPECT_EQ(machine.httpRequests[0].proxyPort, 8080);
    EXPECT_EQ(machine.httpRequests[0].host, "www.quillet.org");
    EXPECT_EQ(machine.httpRequests[1].proxyHost, "");
    EXPECT_EQ(machine.httpRequests[2].proxyHost, "");
    EXPECT_EQ(machine.httpRequests[2].proxyPort, 0);
    EXPECT_EQ(machine.threads.size(), 3u);
    EXPECT_EQ(machine.messageBoxes.size(), 5u);
}

TEST_F(UpgradeDialog, ProxySettingsAreSavedAtCloseAndReadAtCreation) {
    machine.missingFolders.insert("C:\\Quillet");  // an installed copy's first save makes the folder
    run([&](TUpgradeForm& form) {
        form.useProxyCheckBox().userChanged(true);
        form.addressEdit().userChanged("proxy.example");
        form.portEdit().userChanged("08080");
        form.close();
    });
    EXPECT_EQ(machine.iniFile(kIni), (std::map<std::string, std::string>{{"Settings|ProxyAddress", "proxy.example"},
                                                                       {"Settings|ProxyPort", "08080"},
                                                                       {"Settings|UseProxy", "1"}}));
    run([&](TUpgradeForm& form) {
        EXPECT_TRUE(form.useProxyCheckBox().checked());
        EXPECT_TRUE(form.addressEdit().enabled());  // ticked through its handler
        EXPECT_EQ(form.addressEdit().text(), "proxy.example");
        EXPECT_EQ(form.portEdit().text(), "08080");
        form.useProxyCheckBox().userChanged(false);
    });  // left open: it closes, and saves, all the same
    EXPECT_EQ(machine.iniFile(kIni).at("Settings|UseProxy"), "0");
}

TEST_F(UpgradeDialog, ClosingDuringACheckAbortsItAndForgetsItsReply) {
    machine.httpAnswer = [](const platform::HttpRequest&) { return okReply("1,1,1,2.0"); };
    run([&](TUpgradeForm& form) {
        form.checkButton().userClicked();
        form.close();
        EXPECT_EQ(form.statusLabel().caption(), "关闭的连接...        ");
        EXPECT_EQ(machine.httpAborts, 1);
    });
    // The worker ends after the dialog is gone: its transfer answers aborted, nothing is posted.
    EXPECT_EQ(machine.runThreads(), 1u);
    ASSERT_EQ(machine.httpRequests.size(), 1u);
    EXPECT_TRUE(machine.posted.empty());
    EXPECT_TRUE(machine.messageBoxes.empty());
    EXPECT_EQ(machine.iniFile(kIni).at("Settings|UseProxy"), "0");
}

TEST_F(UpgradeDialog, AStaleReplyOfAnEarlierCheckIsIgnored) {
    machine.httpAnswer = [](const platform::HttpRequest&) { return okReply("1,1,1,1.0"); };
    run([&](TUpgradeForm& form) {
        form.checkButton().userClicked();
        machine.runThreads();
        // A reply message naming another check, then the real one.
        machine.posted.insert(machine.posted.begin(), {form.window(), TUpgradeForm::kReplyMessage, 99, 0});
        machine.deliverPosted();
        EXPECT_EQ(form.statusLabel().caption(), commands::kCurrentText);
        EXPECT_TRUE(form.checkButton().enabled());
    });
}

// The tweaks page's 创建快捷方式 and the Web menu's 检查升级 open their dialogs modally, beside
// the window and at its client origin; the upgrade server is the web site the settings name.
class MainWindowDialogs : public MainWindowTest {};

TEST_F(MainWindowDialogs, TheButtonAndTheMenuItemOpenTheirDialogs) {
    setIni("Web", "http://127.0.0.1:8123/");
    createWindow();
    window->form().setPosition(50, 60);
    machine.clientOriginX = 54;
    machine.clientOriginY = 100;
    std::vector<std::string> opened;
    backend.onModal = [&](ui::Form& dialog) {
        opened.push_back(dialog.className() + " " + std::to_string(dialog.left()) + "," + std::to_string(dialog.top()));
        if (auto* upgrade = dynamic_cast<TUpgradeForm*>(&dialog)) upgrade->checkButton().click();
    };
    get<ui::TabSheet>("TweaksTabSheet").pageControl().setActivePage(get<ui::TabSheet>("TweaksTabSheet"));
    get<ui::FlatButton>("ShortCutsSpeedButton").userClicked();
    get<ui::MenuItem>("CheckforUpgrade1").userClicked();
    EXPECT_EQ(opened, (std::vector<std::string>{"TShortCutsForm 65,75", "TUpgradeForm 54,100"}));
    machine.runThreads();
    ASSERT_EQ(machine.httpRequests.size(), 1u);
    EXPECT_EQ(machine.httpRequests[0].host, "127.0.0.1");
    EXPECT_EQ(machine.httpRequests[0].port, 8123);
}
