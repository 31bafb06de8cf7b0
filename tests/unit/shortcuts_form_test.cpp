// The shortcut builder: the command line it writes and what the runner makes of it, the name,
// folder and amount rules, the link it writes, and what it refuses.
#include "shortcuts/shortcuts_form.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/texts.h"
#include "platform/fake/fake_platform.h"
#include "startup/command_line_run.h"
#include "tests/unit/ui_recording_backend.h"

using shortcuts::buildCommandLine;
using shortcuts::TShortCutsForm;
using platform::fake::FakeMachine;

namespace {

constexpr const char* kAppDir = "C:\\Program Files\\Quillet\\";

struct ShortcutsDialog : ::testing::Test {
    uitest::RecordingBackend backend;
    FakeMachine machine;
    platform::Platform os = machine.services();
    bool closedByItself = false;

    // Runs the dialog from owner (100, 200) with `user` acting on it while it is shown.
    void run(const std::function<void(TShortCutsForm&)>& user) {
        backend.onModal = [&](ui::Form& dialog) {
            auto& form = dynamic_cast<TShortCutsForm&>(dialog);
            user(form);
            closedByItself = form.modalResult() != ui::kModalNone;
        };
        shortcuts::runShortcutsDialog(backend, os, kAppDir, 100, 200);
    }
    // Types a name and leaves the box for the next one, as Tab does.
    static void typeName(TShortCutsForm& form, const std::string& name) {
        form.linkNameEdit().setFocus();
        form.linkNameEdit().userChanged(name);
        form.linkEdit().userEntered();
    }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : machine.messageBoxes) texts.push_back(box.text);
        return texts;
    }
};

}  // namespace

TEST(ShortcutCommandLine, PartsInTheirOrderWithNothingQuoted) {
    EXPECT_EQ(buildCommandLine({"C:\\Program Files\\Editor\\edit", "-x", "64", true}),
              "/p=C:\\Program Files\\Editor\\edit /a=-x /ram=64 /once");
    EXPECT_EQ(buildCommandLine({"", "", "64", true}), "/ram=64 /once");
    EXPECT_EQ(buildCommandLine({"", "", "64", false}), "/ram=64 ");
    EXPECT_EQ(buildCommandLine({"", "", "", false}), "");
    EXPECT_EQ(buildCommandLine({"", "-x", "", true}), "/a=-x /once");
    // Four characters fill the runner's amount: no blank after them.
    EXPECT_EQ(buildCommandLine({"", "", "1000", true}), "/ram=1000/once");
    EXPECT_EQ(buildCommandLine({"C:\\e.exe", "", "9999", false}), "/p=C:\\e.exe /ram=9999");
}

// The builder's command line fed to the runner: each amount the builder takes is recovered,
// exactly, and /once ends the process there.
TEST_F(ShortcutsDialog, EveryAmountTheBuilderTakesIsRecoveredByTheRunner) {
    machine.status.totalPhys = 2048ull << 20;  // 2 GB: up to 1844 MB allowed
    for (const char* amount : {"1", "64", "999", "1000", "1844"}) {
        for (bool once : {true, false}) {
            SCOPED_TRACE(std::string(amount) + (once ? " once" : ""));
            machine.linkWrites.clear();
            machine.folderAnswer = "C:\\WINDOWS\\Desktop";
            machine.openFileAnswer = "C:\\Program Files\\Editor\\edit.exe";
            run([&](TShortCutsForm& form) {
                typeName(form, "Editor");
                form.linkSpeedButton().userClicked();
                form.browseSpeedButton().userClicked();
                form.argumentsEdit().userChanged("-x");
                form.ramEdit().userChanged(amount);
                form.runOnceCheckBox().userChanged(once);
                form.createSpeedButton().userClicked();
            });
            ASSERT_EQ(machine.linkWrites.size(), 1u);

            FakeMachine target;
            target.largestCommit = 0;  // the commit is refused: only its size matters here
            platform::Platform targetOs = target.services();
            const bool finished = startup::runCommandLine(machine.linkWrites[0].link.arguments, targetOs);
            EXPECT_EQ(finished, once);
            ASSERT_EQ(target.commits.size(), 1u);
            EXPECT_EQ(target.commits[0].size, std::stoull(amount) << 20);
            ASSERT_EQ(target.messageBoxes.size(), 1u);
            EXPECT_EQ(target.messageBoxes[0].text, app::kRecoveryFailedText);
            ASSERT_EQ(target.shellCalls.size(), 1u);
            EXPECT_EQ(target.shellCalls[0].file, "C:\\Program Files\\Editor\\edit.exe ");
            EXPECT_EQ(target.shellCalls[0].parameters, "-x ");
        }
    }
}

TEST_F(ShortcutsDialog, TheWrittenLinkStartsThisProgramFromItsFolder) {
    machine.folderAnswer = "C:\\WINDOWS\\Desktop";
    machine.openFileAnswer = "C:\\Program Files\\Editor\\edit";
    run([&](TShortCutsForm& form) {
        EXPECT_EQ(form.bounds(), (ui::Bounds{115, 215, 378, 321}));
        EXPECT_EQ(form.caption(), "创建快捷方式");
        EXPECT_EQ(form.ramEdit().text(), "1");
        EXPECT_TRUE(form.runOnceCheckBox().checked());
        std::vector<std::string> tabs;
        for (ui::Control* c : form.tabSequence()) tabs.push_back(c->name());
        EXPECT_EQ(tabs, (std::vector<std::string>{"LinkNameEdit", "LinkEdit", "NameEdit", "ArgumentsEdit", "RAMEdit",
                                                  "RunOnceCheckBox"}));

        typeName(form, "Editor");
        form.linkSpeedButton().userClicked();
        EXPECT_EQ(form.linkEdit().text(), "C:\\WINDOWS\\Desktop\\Editor.lnk");
        EXPECT_TRUE(form.nameEdit().focused());
        form.browseSpeedButton().userClicked();
        EXPECT_EQ(form.nameEdit().text(), "C:\\Program Files\\Editor\\edit");
        EXPECT_TRUE(form.argumentsEdit().focused());
        form.argumentsEdit().userChanged("-x");
        form.ramEdit().userChanged("64");
        form.createSpeedButton().userClicked();
    });
    EXPECT_TRUE(closedByItself);
    ASSERT_EQ(machine.folderBrowses.size(), 1u);
    EXPECT_EQ(machine.folderBrowses[0].title, "浏览源程序地址      ");
    ASSERT_EQ(machine.openFileCalls.size(), 1u);
    EXPECT_EQ(machine.openFileCalls[0].flags, 0x1810u);
    ASSERT_EQ(machine.linkWrites.size(), 1u);
    const auto& write = machine.linkWrites[0];
    EXPECT_EQ(write.path, "C:\\WINDOWS\\Desktop\\Editor.lnk");
    EXPECT_EQ(write.link.target, "C:\\Program Files\\Quillet\\Quillet.exe");
    EXPECT_EQ(write.link.arguments, "/p=C:\\Program Files\\Editor\\edit /a=-x /ram=64 /once");
    EXPECT_EQ(write.link.iconPath, write.link.target);
    EXPECT_EQ(write.link.iconIndex, 0);
    EXPECT_EQ(write.link.description, "Quillet created shortcut");
    EXPECT_TRUE(machine.messageBoxes.empty());
}

TEST_F(ShortcutsDialog, LeavingTheNameBoxAppendsLnkOnlyWhenMissing) {
    run([&](TShortCutsForm& form) {
        for (auto [typed, kept] : {std::pair{"Editor", "Editor.lnk"}, std::pair{"Editor.lnk", "Editor.lnk"},
                                   std::pair{"my.lnk.backup", "my.lnk.backup"}, std::pair{"A.LNK", "A.LNK.lnk"}}) {
            typeName(form, typed);
            EXPECT_EQ(form.linkNameEdit().text(), kept);
        }
    });
    EXPECT_TRUE(machine.messageBoxes.empty());
}

TEST_F(ShortcutsDialog, AnEmptyNameIsAskedForFirst) {
    run([&](TShortCutsForm& form) {
        form.linkSpeedButton().userClicked();
        form.browseSpeedButton().userClicked();
        form.linkNameEdit().setFocus();
        form.argumentsEdit().userEntered();  // leaving the empty name box: the focus comes back
        EXPECT_TRUE(form.linkNameEdit().focused());
        EXPECT_EQ(form.linkNameEdit().text(), "");
    });
    EXPECT_TRUE(machine.folderBrowses.empty());
    EXPECT_TRUE(machine.openFileCalls.empty());
    ASSERT_EQ(machine.messageBoxes.size(), 3u);
    for (const auto& box : machine.messageBoxes) {
        EXPECT_EQ(box.text, "您必须输入这个快捷方式的名字!             ");
        EXPECT_EQ(box.caption, "创建快捷方式");
        EXPECT_EQ(box.flags, platform::kMbOk);
    }
}

TEST_F(ShortcutsDialog, AmountStaysWithinNinetyPercentOfPhysicalMemory) {
    // 256 MB: trunc(256 x 0.9) + 1 = 231.
    run([&](TShortCutsForm& form) {
        auto& ram = form.ramEdit();
        ram.userChanged("231");
        EXPECT_EQ(ram.text(), "231");
        ram.userChanged("232");
        EXPECT_EQ(ram.text(), "128");
        EXPECT_EQ(backend.updates("RAMEdit").back(), ui::Change::Selection) << "the next key replaces it";
        ram.userChanged("");
        EXPECT_EQ(ram.text(), "1");
        EXPECT_EQ(backend.updates("RAMEdit").back(), ui::Change::Selection);
        ram.userChanged("abc");
        EXPECT_EQ(ram.text(), "1");
        ram.userChanged("-5");  // no shortcut recovers a negative amount
        EXPECT_EQ(ram.text(), "1");
        ram.userChanged("12ab");
        EXPECT_EQ(ram.text(), "12ab");
        ram.userChanged("99999");  // typing stops at four characters
        EXPECT_EQ(ram.text(), "128");
    });
}

TEST_F(ShortcutsDialog, AFolderIsOnlyEverOneTheUserChose) {
    machine.folderAnswer = "";  // cancelled
    run([&](TShortCutsForm& form) {
        typeName(form, "Editor");
        form.linkSpeedButton().userClicked();
        EXPECT_EQ(form.linkEdit().text(), "");  // not "\Editor.lnk", the root of the drive
        form.createSpeedButton().userClicked();
        EXPECT_EQ(form.modalResult(), ui::kModalNone);

        machine.folderAnswer = "C:\\";
        form.linkSpeedButton().userClicked();
        EXPECT_EQ(form.linkEdit().text(), "C:\\\\Editor.lnk");  // no separator trimmed
        // Passing through the path box again does not repeat the name.
        form.linkEdit().userEntered();
        form.nameEdit().userEntered();
        EXPECT_EQ(form.linkEdit().text(), "C:\\\\Editor.lnk");
        // A second browse that is cancelled keeps the folder chosen before.
        machine.folderAnswer = "";
        form.linkSpeedButton().userClicked();
        EXPECT_EQ(form.linkEdit().text(), "C:\\\\Editor.lnk");
        form.createSpeedButton().userClicked();
    });
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{shortcuts::kNoFolderText}));
    ASSERT_EQ(machine.linkWrites.size(), 1u);
    EXPECT_EQ(machine.linkWrites[0].path, "C:\\\\Editor.lnk");
    EXPECT_EQ(machine.linkWrites[0].link.arguments, "/ram=1 /once");
}

// What the builder refuses, field by field, with the message the user reads; after each, the
// dialog is still open and what is accepted is written.
TEST_F(ShortcutsDialog, ShortcutsTheRunnerWouldReadOtherwiseAreRefusedAndTheDialogStays) {
    const std::string program128 = "C:\\" + std::string(121, 'p') + ".exe";
    const std::string switchInArguments =
        "程序参数中不能含有 Quillet 的命令行开关（/?、/p=、/a=、/ram=、/once）：Quillet 会把它们当作自己的开关。";
    const std::string slashInArguments =
        "程序参数中不能含有“/”：Quillet 的命令行读到“/”就认为这一项结束了，参数将无法原样传给程序。";
    std::string chinese111;
    for (int i = 0; i < 111; ++i) chinese111 += "参";
    const struct Case {
        std::string name, program, arguments, amount, told;
    } cases[] = {
        {std::string(252, 'n'), "", "", "1", "快捷方式的名称太长：包括“.lnk”最多只能有 255 个字符。"},
        {std::string(250, 'n'), "", "", "1",
         "快捷方式的完整路径太长：最多只能有 255 个字符。请选择较短的文件夹或名称。"},
        {"a:b", "", "", "1", "快捷方式的名称中不能含有下列字符：\\ / : * ? \" < > |"},
        {"why?", "", "", "1", "快捷方式的名称中不能含有下列字符：\\ / : * ? \" < > |"},
        // The runner keeps 128 characters of each value.
        {"E", "C:\\" + std::string(200, 'p') + ".exe", "", "1",
         "可执行程序的路径太长：Quillet 的命令行最多只能读取 128 个字符。请选择路径较短的程序。"},
        {"E", "C:\\" + std::string(122, 'p') + ".exe", "", "1",
         "可执行程序的路径太长：Quillet 的命令行最多只能读取 128 个字符。请选择路径较短的程序。"},
        {"E", "", std::string(129, 'a'), "1", "程序参数太长：Quillet 的命令行最多只能读取 128 个字符。"},
        // Switches of the runner, in the field that holds them.
        {"E", "", "-x /once", "1", switchInArguments},
        {"E", "", "-x /ram=5", "1", switchInArguments},
        {"E", "", "/?", "1", switchInArguments},
        {"E", "", "/p=x", "1", switchInArguments},
        {"E", "", "x/a=y", "1", switchInArguments},
        {"E", "C:\\tools/once\\e.exe", "", "1",
         "可执行程序的路径中不能含有 Quillet 的命令行开关（/?、/p=、/a=、/ram=、/once）。"},
        {"E", "", "", "1/2", "释放内存的数量中不能含有“/”：Quillet 会把它当作命令行开关的开头。"},
        // A "/" that is no switch still ends the value where the runner reads it.
        {"E", "C:\\e.exe", "/s", "1", slashInArguments},
        {"E", "C:\\e.exe", "-x /min", "1", slashInArguments},
        {"E", "C:\\e.exe", "/a=https://example.org/", "1", switchInArguments},
        {"E", "C:\\e.exe", "https://example.org/", "1", slashInArguments},
        {"E", "C:\\tools/e.exe", "", "1",
         "可执行程序的路径中不能含有“/”：Quillet 的命令行读到“/”就认为这一项结束了，程序将无法按原样启动。"},
        // 260 characters in all: one too many.
        {"E", program128, std::string(112, 'a'), "1",
         "快捷方式的命令行太长：程序、参数和内存数量合起来最多只能有 259 个字符。"},
    };
    machine.folderAnswer = "C:\\Links";
    run([&](TShortCutsForm& form) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.told + " / " + c.name.substr(0, 8) + " / " + c.program.substr(0, 24) + " / " + c.arguments);
            machine.openFileAnswer = c.program;
            typeName(form, c.name);
            form.linkSpeedButton().userClicked();
            form.browseSpeedButton().userClicked();
            form.argumentsEdit().userChanged(c.arguments);
            form.ramEdit().userChanged(c.amount);
            const size_t before = machine.messageBoxes.size();
            form.createSpeedButton().userClicked();
            ASSERT_EQ(machine.messageBoxes.size(), before + 1);
            EXPECT_EQ(machine.messageBoxes.back().text, c.told);
            EXPECT_EQ(form.modalResult(), ui::kModalNone);
        }
        EXPECT_TRUE(machine.linkWrites.empty());
        // 259 characters, each value whole: 128 characters of path, Chinese arguments counted
        // as characters, and a name of 104 characters (312 bytes) with its ".lnk".
        machine.openFileAnswer = program128;
        std::string chineseName;
        for (int i = 0; i < 100; ++i) chineseName += "记";
        typeName(form, chineseName);
        form.linkSpeedButton().userClicked();
        form.browseSpeedButton().userClicked();
        form.argumentsEdit().userChanged(chinese111);
        form.ramEdit().userChanged("1");
        form.createSpeedButton().userClicked();
        EXPECT_NE(form.modalResult(), ui::kModalNone);
    });
    ASSERT_EQ(machine.linkWrites.size(), 1u);
    const std::string& arguments = machine.linkWrites[0].link.arguments;
    EXPECT_EQ(arguments, "/p=" + program128 + " /a=" + chinese111 + " /ram=1 /once");
    FakeMachine target;
    platform::Platform targetOs = target.services();
    EXPECT_TRUE(startup::runCommandLine(arguments, targetOs));
    ASSERT_EQ(target.shellCalls.size(), 1u);
    EXPECT_EQ(target.shellCalls[0].file, program128);  // the blank after it is what the runner cut
    EXPECT_EQ(target.shellCalls[0].parameters, chinese111 + " ");

    // Arguments of exactly 128 characters beside a short path: the runner keeps them whole and
    // cuts only the blank after them.
    const std::string arguments128 = "-" + std::string(127, 'a');
    machine.openFileAnswer = "C:\\e.exe";
    run([&](TShortCutsForm& form) {
        typeName(form, "E");
        form.linkSpeedButton().userClicked();
        form.browseSpeedButton().userClicked();
        form.argumentsEdit().userChanged(arguments128);
        form.createSpeedButton().userClicked();
    });
    ASSERT_EQ(machine.linkWrites.size(), 2u);
    FakeMachine second;
    platform::Platform secondOs = second.services();
    EXPECT_TRUE(startup::runCommandLine(machine.linkWrites[1].link.arguments, secondOs));
    ASSERT_EQ(second.shellCalls.size(), 1u);
    EXPECT_EQ(second.shellCalls[0].file, "C:\\e.exe ");
    EXPECT_EQ(second.shellCalls[0].parameters, arguments128);
}

TEST_F(ShortcutsDialog, AShortcutTheSystemCannotWriteIsToldAndTheDialogStays) {
    machine.folderAnswer = "C:\\Links";
    machine.linkWriteFailure = "拒绝访问。（错误 5）";
    run([&](TShortCutsForm& form) {
        typeName(form, "E");
        form.linkSpeedButton().userClicked();
        form.createSpeedButton().userClicked();
        EXPECT_EQ(form.modalResult(), ui::kModalNone);
        // The folder lets the user write again: the same click writes it.
        machine.linkWriteFailure.clear();
        form.createSpeedButton().userClicked();
    });
    EXPECT_TRUE(closedByItself);
    ASSERT_EQ(boxTexts(), std::vector<std::string>{"无法创建快捷方式：\nC:\\Links\\E.lnk\n\n拒绝访问。（错误 5）"});
    EXPECT_EQ(machine.messageBoxes[0].caption, "创建快捷方式");
    ASSERT_EQ(machine.linkWrites.size(), 1u);
    EXPECT_EQ(machine.linkWrites[0].path, "C:\\Links\\E.lnk");
}

TEST_F(ShortcutsDialog, ANameChangedAfterTheFolderIsTheNameWritten) {
    machine.folderAnswer = "C:\\Links";
    run([&](TShortCutsForm& form) {
        typeName(form, "Old");
        form.linkSpeedButton().userClicked();
        EXPECT_EQ(form.linkEdit().text(), "C:\\Links\\Old.lnk");
        form.linkNameEdit().setFocus();
        form.linkNameEdit().userChanged("New");
        EXPECT_EQ(form.linkEdit().text(), "C:\\Links\\New.lnk");
        form.createSpeedButton().userClicked();  // the flat button leaves the focus in the name box
        EXPECT_EQ(form.linkNameEdit().text(), "New.lnk");
    });
    ASSERT_EQ(machine.linkWrites.size(), 1u);
    EXPECT_EQ(machine.linkWrites[0].path, "C:\\Links\\New.lnk");
}
