#include "app/command_line.h"
#include "startup/command_line_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/texts.h"
#include "memory/conversions.h"
#include "platform/fake/fake_platform.h"

using app::parseCommandLine;
using startup::runCommandLine;
using platform::fake::FakeMachine;

namespace {

struct CommandLineRunResult {
    FakeMachine machine;
    bool finished = false;

    explicit CommandLineRunResult(const std::string& text, uint64_t largestCommit = 128u << 20,
                                  uint64_t availVirtual = 2000000000u, uint64_t largestFreeRange = UINT64_MAX) {
        machine.largestCommit = largestCommit;
        machine.largestFreeRange = largestFreeRange;
        machine.status.availVirtual = availVirtual;
        platform::Platform os = machine.services();
        finished = runCommandLine(text, os);
    }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : machine.messageBoxes) texts.push_back(box.text);
        return texts;
    }
};

}  // namespace

TEST(CommandLineParse, ValuesRunToTheNextSlash) {
    const auto args = parseCommandLine("/p=c:\\edit.exe /a=list.txt /ram=80 /once");
    EXPECT_EQ(args.program, "c:\\edit.exe ");
    EXPECT_EQ(args.arguments, "list.txt ");
    EXPECT_EQ(args.amount, "80 ");
    EXPECT_TRUE(args.once);
    EXPECT_FALSE(args.usage);

    EXPECT_EQ(parseCommandLine("/p=c:/tools/x.exe").program, "c:");  // a path with "/" is cut
    EXPECT_EQ(parseCommandLine("/ram=").amount, "");
    EXPECT_EQ(parseCommandLine("x /ram=5").amount, "5");
}

TEST(CommandLineParse, FirstOccurrenceAnywhereCaseSensitive) {
    const auto args = parseCommandLine("/once/ram=1/ram=2 /p=a/p=b");
    EXPECT_EQ(args.amount, "1");
    EXPECT_EQ(args.program, "a");
    EXPECT_TRUE(args.once);

    const auto upper = parseCommandLine("/RAM=80 /ONCE /P=x");
    EXPECT_FALSE(upper.amount.has_value());
    EXPECT_FALSE(upper.program.has_value());
    EXPECT_FALSE(upper.once);
    EXPECT_FALSE(parseCommandLine("").amount.has_value());
    // "/a=" inside another value is still found by the plain search.
    EXPECT_EQ(parseCommandLine("/p=/a=zz").arguments, "zz");
}

TEST(CommandLineParse, ValuesAreCutAt128Characters) {
    EXPECT_EQ(parseCommandLine("/p=" + std::string(300, 'x')).program, std::string(128, 'x'));
    EXPECT_EQ(parseCommandLine("/p=" + std::string(128, 'x') + "/").program->size(), 128u);
    // Characters, not bytes: a Chinese path keeps 128 whole characters.
    std::string chinese;
    for (int i = 0; i < 200; ++i) chinese += "内";
    EXPECT_EQ(*parseCommandLine("/p=" + chinese).program, chinese.substr(0, 128 * 3));
}

TEST(CommandLineRun, RecoversExactlyTheAmountBehindAProgressWindow) {
    CommandLineRunResult run("/ram=80 /once");
    EXPECT_TRUE(run.finished);
    ASSERT_EQ(run.machine.commits.size(), 1u);
    EXPECT_EQ(run.machine.commits[0].size, 80u << 20);
    ASSERT_EQ(run.machine.releases.size(), 1u);
    EXPECT_TRUE(run.machine.messageBoxes.empty());
    EXPECT_TRUE(run.machine.shellCalls.empty());
    const std::vector<std::string> expected{"create TShortcutPopupForm", "show TShortcutPopupForm",
                                            "paint TShortcutPopupForm",  "commit",
                                            "release",                   "destroy TShortcutPopupForm"};
    EXPECT_EQ(run.machine.events, expected);

    const auto& popup = run.machine.windows.front();
    EXPECT_EQ(popup.layout.caption, "Quillet - Preparing to run shortcut");
    EXPECT_EQ(popup.layout.clientWidth, 306);
    EXPECT_EQ(popup.layout.clientHeight, 19);
    EXPECT_EQ(popup.layout.frame, platform::Frame::Dialog);
    EXPECT_TRUE(popup.layout.centredOnDesktop);
}

TEST(CommandLineRun, OpensTheProgramAfterTheRecovery) {
    CommandLineRunResult run("/p=c:\\edit.exe /a=list.txt /ram=80 /once");
    EXPECT_TRUE(run.finished);
    ASSERT_EQ(run.machine.shellCalls.size(), 1u);
    const auto& call = run.machine.shellCalls[0];
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_EQ(call.verb, "open");
    EXPECT_EQ(call.file, "c:\\edit.exe ");
    EXPECT_EQ(call.parameters, "list.txt ");
    EXPECT_EQ(call.directory, "");
    EXPECT_EQ(call.showCommand, 1);
    EXPECT_EQ(run.machine.events.back(), "shellExecute");
    EXPECT_EQ(run.machine.events[run.machine.events.size() - 2], "destroy TShortcutPopupForm");
}

TEST(CommandLineRun, WithoutOnceTheNormalStartFollows) {
    CommandLineRunResult run("/ram=5 /p=notepad.exe");
    EXPECT_FALSE(run.finished);
    EXPECT_EQ(run.machine.commits.size(), 1u);
    ASSERT_EQ(run.machine.shellCalls.size(), 1u);
    EXPECT_EQ(run.machine.shellCalls[0].parameters, "");
}

TEST(CommandLineRun, NothingHappensWithoutRam) {
    for (const char* text : {"", "/p=c:\\edit.exe /once", "/RAM=80 /once", "/ram80", "ram=80"}) {
        CommandLineRunResult run(text);
        EXPECT_FALSE(run.finished) << text;
        EXPECT_TRUE(run.machine.events.empty()) << text;
    }
}

TEST(CommandLineRun, UsageWinsOverEverythingElse) {
    CommandLineRunResult run("/ram=80 /once /?");
    EXPECT_TRUE(run.finished);
    ASSERT_EQ(run.machine.messageBoxes.size(), 1u);
    const auto& box = run.machine.messageBoxes[0];
    EXPECT_EQ(box.text, app::kUsageText);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.caption, "Quillet");
    EXPECT_EQ(box.flags, 0u);
    EXPECT_TRUE(run.machine.commits.empty());
}

TEST(CommandLineRun, AmountRules) {
    struct Case {
        const char* text;
        bool valid;
        uint32_t megabytes;
    };
    const Case cases[] = {
        {"/ram=1024 /once", false, 0},  // "1024 " is five characters
        {"/once /ram=1024", true, 1024},
        {"/once /ram=12ab", true, 12},
        {"/ram=12ab /once", false, 0},  // "12ab " is five characters
        {"/ram= 80 /once", true, 80},
        {"/ram=abc /once", false, 0},
        {"/ram= /once", false, 0},
        {"/ram=/once", false, 0},
        {"/ram=0 /once", false, 0},
        {"/ram=-1 /once", false, 0},  // the builder writes nothing below one megabyte
        {"/once /ram=-20", false, 0},
        {"/ram=12345", false, 0},
        {"/ram=内存 /once", false, 0},  // three characters, no digits
    };
    for (const Case& c : cases) {
        CommandLineRunResult run(c.text);
        EXPECT_TRUE(run.finished) << c.text;
        if (c.valid) {
            ASSERT_EQ(run.machine.commits.size(), 1u) << c.text;
            EXPECT_EQ(run.machine.commits[0].size, c.megabytes << 20) << c.text;
            for (const auto& text : run.boxTexts()) EXPECT_NE(text, app::kInvalidAmountText) << c.text;
        } else {
            EXPECT_TRUE(run.machine.commits.empty()) << c.text;
            EXPECT_EQ(run.boxTexts(), std::vector<std::string>{app::kInvalidAmountText}) << c.text;
            EXPECT_TRUE(run.machine.windows.empty()) << c.text;
        }
    }
}

TEST(CommandLineRun, RefusedCommitIsReportedAndTheRunGoesOn) {
    // 500 MB fit the process's address space, so the system's refusal is final.
    CommandLineRunResult run("/ram=500 /p=x.exe /once");
    EXPECT_TRUE(run.finished);
    ASSERT_EQ(run.machine.commits.size(), 1u);
    EXPECT_EQ(run.machine.commits[0].size, 500u << 20);
    EXPECT_FALSE(run.machine.commits[0].granted);
    EXPECT_TRUE(run.machine.releases.empty());
    EXPECT_EQ(run.boxTexts(), std::vector<std::string>{"释放内存失败...         "});
    EXPECT_EQ(run.machine.messageBoxes[0].owner, nullptr);
    // The message shows while the progress window is still up; the program starts afterwards.
    const std::vector<std::string> expected{"create TShortcutPopupForm", "show TShortcutPopupForm",
                                            "paint TShortcutPopupForm",  "commit",
                                            "messageBox",                "destroy TShortcutPopupForm",
                                            "shellExecute"};
    EXPECT_EQ(run.machine.events, expected);
}

TEST(CommandLineRun, EmptyProgramValueStartsNothing) {
    CommandLineRunResult run("/p=/ram=3 /once");
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.machine.commits.size(), 1u);
    EXPECT_TRUE(run.machine.shellCalls.empty());
}

// Within the free address space but in no one free range of it (a 32-bit process on 64-bit
// Windows: 3.9 GB free, 1.5 GB the largest piece): the largest block, as beyond it. Refused by
// the commit limit although a range holds it: a failure, and nothing else is tried.
TEST(CommandLineRun, AnAmountNoFreeRangeHoldsGivesTheLargestBlockTheCommitLimitAFailure) {
    constexpr uint64_t MB = 1u << 20;
    CommandLineRunResult pieces("/p=x.exe /once /ram=2000", 1500 * MB, 3900 * MB, 1500 * MB);
    ASSERT_EQ(pieces.machine.releases.size(), 1u);
    const uint64_t written = pieces.machine.releases[0].size;
    EXPECT_TRUE(written <= 1500 * MB && written > 1400 * MB) << written;
    EXPECT_EQ(pieces.boxTexts(), std::vector<std::string>{"所要求的 2,000 MB 超出了本程序的地址空间一次能容纳的大小，\n只释放了 " +
                                                           memory::formatThousands(written / MB) + " MB 内存。"});
    EXPECT_EQ(pieces.machine.shellCalls.size(), 1u);

    CommandLineRunResult limit("/p=x.exe /once /ram=2000", 1500 * MB, 3900 * MB);
    EXPECT_EQ(limit.machine.commits.size(), 1u);
    EXPECT_TRUE(limit.machine.releases.empty());
    EXPECT_EQ(limit.boxTexts(), std::vector<std::string>{app::kRecoveryFailedText});
    EXPECT_EQ(limit.machine.shellCalls.size(), 1u);
}

// An amount beyond what the process's address space holds (a shortcut made by the 32-bit copy
// for a machine with more memory than one 32-bit process gets): the largest block is written
// and the user told how much; nothing at all is still a failure; a 64-bit process takes it whole.
TEST(CommandLineRun, BeyondTheAddressSpaceTheLargestBlockIsWritten) {
    constexpr uint64_t MB = 1u << 20;
    struct Case {
        const char* text;
        uint64_t largestCommit;
        uint64_t availVirtual;
        uint64_t asked;    // the first commit, in bytes
        uint64_t written;  // bytes written and released; 0: none
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        // 32-bit on 64-bit Windows: 3.9 GB of address space, little of it in one piece.
        {"/p=x.exe /once /ram=5000", 40 * MB, 3900 * MB, 5000 * MB, 41843233u,
         {"所要求的 5,000 MB 超出了本程序的地址空间一次能容纳的大小，\n只释放了 39 MB 内存。"}},
        // All the address space there is, in one piece.
        {"/p=x.exe /once /ram=90", 60 * MB, 60 * MB, 90 * MB, 60 * MB,
         {"所要求的 90 MB 超出了本程序的地址空间一次能容纳的大小，\n只释放了 60 MB 内存。"}},
        // Not even a megabyte to be had.
        {"/p=x.exe /once /ram=5000", 0, 3900 * MB, 5000 * MB, 0, {app::kRecoveryFailedText}},
        // A 64-bit process: the whole amount, nothing said.
        {"/p=x.exe /once /ram=90", 100 * MB, 128ull << 40, 90 * MB, 90 * MB, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + std::string(" with ") + std::to_string(c.largestCommit / MB) + " MB in one piece");
        CommandLineRunResult run(c.text, c.largestCommit, c.availVirtual);
        EXPECT_TRUE(run.finished);
        ASSERT_FALSE(run.machine.commits.empty());
        EXPECT_EQ(run.machine.commits[0].size, c.asked);
        if (c.written != 0) {
            ASSERT_EQ(run.machine.releases.size(), 1u);
            EXPECT_EQ(run.machine.releases[0].size, c.written);
            EXPECT_TRUE(run.machine.releases[0].uniform);
            if (c.written < run.machine.commits[0].size) {
                ASSERT_GE(run.machine.commits.size(), 2u);
                EXPECT_EQ(run.machine.commits[1].size, std::min(c.asked, c.availVirtual)) << "none beyond the address space";
            }
        } else {
            EXPECT_TRUE(run.machine.releases.empty());
        }
        EXPECT_EQ(run.boxTexts(), c.boxes);
        // Whatever was freed, the program still starts afterwards.
        ASSERT_EQ(run.machine.shellCalls.size(), 1u);
        EXPECT_EQ(run.machine.events.back(), "shellExecute");
    }
}
