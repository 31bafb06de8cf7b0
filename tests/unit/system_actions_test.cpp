#include "commands/system_actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

using platform::fake::FakeMachine;

namespace {

// The system-command requests among the machine's events, in order.
std::vector<std::string> systemRequests(const FakeMachine& machine) {
    std::vector<std::string> out;
    for (const std::string& e : machine.events)
        if (e == "emptyClipboard" || e == "clearRecentDocuments" || e == "enableShutdownPrivilege" ||
            e.rfind("exitWindows", 0) == 0)
            out.push_back(e);
    return out;
}

using Command = void (*)(platform::Platform&);

struct EndSessionCase {
    uint32_t platformId, major, minor, build;
    Command command;
    std::vector<std::string> expected;
};

TEST(SystemCommands, RestartAndShutDownAskTheRightFlagAndEnableThePrivilegeOnlyOnNt) {
    const std::vector<EndSessionCase> cases = {
        {platform::kPlatformWin32Nt, 5, 1, 2600, commands::restartComputer, {"enableShutdownPrivilege", "exitWindows 2"}},
        {platform::kPlatformWin32Nt, 4, 0, 1381, commands::shutDownComputer, {"enableShutdownPrivilege", "exitWindows 1"}},
        {platform::kPlatformWin32Windows, 4, 10, 2222, commands::restartComputer, {"exitWindows 2"}},
        {platform::kPlatformWin32Windows, 4, 90, 3000, commands::shutDownComputer, {"exitWindows 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.platformId) + " " + std::to_string(c.major) + "." + std::to_string(c.minor));
        FakeMachine machine;
        machine.setVersion(c.platformId, c.major, c.minor, c.build, "");
        platform::Platform os = machine.services();
        c.command(os);
        EXPECT_EQ(systemRequests(machine), c.expected);
        EXPECT_TRUE(machine.messageBoxes.empty());
    }
}

TEST(SystemCommands, ClipboardAndRecentDocumentsTouchNothingElseAndStaySilent) {
    FakeMachine machine;
    platform::Platform os = machine.services();

    machine.clipboardBusy = true;  // another program has it open
    commands::emptyClipboard(os);
    EXPECT_EQ(machine.clipboardEmptied, 0);

    machine.clipboardBusy = false;
    commands::emptyClipboard(os);
    EXPECT_EQ(machine.clipboardEmptied, 1);

    commands::clearRecentDocuments(os);
    EXPECT_EQ(machine.recentDocumentsCleared, 1);

    EXPECT_EQ(systemRequests(machine),
              (std::vector<std::string>{"emptyClipboard", "emptyClipboard", "clearRecentDocuments"}));
    EXPECT_TRUE(machine.messageBoxes.empty());
    EXPECT_TRUE(machine.exitWindowsCalls.empty());
}

}  // namespace
