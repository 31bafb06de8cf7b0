// Any byte string as a command line: the runner must neither crash nor touch memory outside
// its buffers, and what it parses must keep its own rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/utf8_text.h"
#include "platform/fake/fake_platform.h"
#include "startup/command_line_run.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

void checkValue(const std::optional<std::string>& value, std::string_view text, std::string_view name) {
    if (!value) {
        require(text.find(name) == std::string_view::npos);
        return;
    }
    require(value->find('/') == std::string::npos);
    require(app::utf8Length(*value) <= app::kMaxSwitchValueChars);
    // The value is the text right after the first occurrence of the switch.
    const size_t at = text.find(name);
    require(at != std::string_view::npos);
    require(text.substr(at + name.size(), value->size()) == *value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const app::CommandLine args = app::parseCommandLine(text);
    checkValue(args.program, text, "/p=");
    checkValue(args.arguments, text, "/a=");
    checkValue(args.amount, text, "/ram=");

    platform::fake::FakeMachine machine;
    machine.largestCommit = 0;  // every commit refused: the parse is what is under test here
    platform::Platform os = machine.services();
    const bool finished = app::runCommandLine(text, os);

    require(machine.commits.size() <= 1);
    require(machine.messageBoxes.size() <= 1);
    require(machine.shellCalls.size() <= 1);
    if (!args.usage && !args.amount) require(!finished && machine.events.empty());
    for (const auto& window : machine.windows) require(window.destroyed);
    return 0;
}
