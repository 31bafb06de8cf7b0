// Any byte string as a command line: the runner must neither crash nor touch memory outside
// its buffers, and what it parses must keep its own rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "text/parse_int.h"
#include "text/text_format.h"
#include "app/texts.h"
#include "text/utf8_text.h"
#include "memory/conversions.h"
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
    require(text::utf8Length(*value) <= app::kMaxSwitchValueChars);
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

    require(args.usage == (text.find("/?") != std::string_view::npos));
    require(args.once == (text.find("/once") != std::string_view::npos));

    // One machine for every input (making one costs more than a run); what it recorded is
    // forgotten before each.
    static platform::fake::FakeMachine machine;
    static platform::Platform os = machine.services();
    machine.largestCommit = 1u << 20;  // one megabyte is granted, anything larger refused
    machine.commits.clear();
    machine.releases.clear();
    machine.messageBoxes.clear();
    machine.shellCalls.clear();
    machine.windows.clear();
    machine.events.clear();
    const bool finished = startup::runCommandLine(text, os);

    require(machine.messageBoxes.size() <= 1);
    require(machine.shellCalls.size() <= 1);
    for (const auto& window : machine.windows) require(window.destroyed);

    // What the run did follows from the request alone.
    const bool validAmount = args.amount && text::utf8Length(*args.amount) <= app::kMaxAmountChars &&
                             text::parseInt(*args.amount) >= 1;
    if (args.usage) {
        require(finished && machine.commits.empty() && machine.messageBoxes.size() == 1 &&
                machine.messageBoxes[0].text == app::kUsageText);
    } else if (!args.amount) {
        require(!finished && machine.events.empty());
    } else if (!validAmount) {
        require(finished && machine.commits.empty() && machine.messageBoxes.size() == 1 &&
                machine.messageBoxes[0].text == app::kInvalidAmountText);
    } else {
        // Exactly the amount typed (at most four characters: below 10,000 MB), asked first.
        const int32_t megabytes = text::parseInt(*args.amount);
        require(megabytes >= 1 && megabytes < 10000);
        const uint64_t asked = memory::megabytesToBytes(megabytes);
        require(!machine.commits.empty() && machine.commits[0].size == asked);
        if (asked <= machine.status.availVirtual) {
            // It fits the address space, in one free range: the commit limit's answer is final.
            require(machine.commits.size() == 1 && machine.commits[0].granted == (megabytes == 1));
        } else {
            // Beyond the address space: smaller blocks, none beyond it, until one is granted.
            for (size_t i = 1; i < machine.commits.size(); ++i) {
                require(machine.commits[i].size <= machine.status.availVirtual);
                require(machine.commits[i].size < machine.commits[i - 1].size);
                require(machine.commits[i].granted == (i + 1 == machine.commits.size() &&
                                                       machine.commits[i].size <= machine.largestCommit));
            }
        }
        const auto& last = machine.commits.back();
        if (!last.granted) {
            require(machine.releases.empty());
            require(machine.messageBoxes.size() == 1 && machine.messageBoxes[0].text == app::kRecoveryFailedText);
        } else {
            require(machine.releases.size() == 1 && machine.releases[0].size == last.size);
            if (last.size == asked)
                require(machine.messageBoxes.empty());
            else
                require(machine.messageBoxes.size() == 1 &&
                        machine.messageBoxes[0].text ==
                            text::formatText(app::kRecoveryReducedFormat,
                                            {memory::formatThousands(static_cast<uint64_t>(megabytes)),
                                             memory::formatThousands(memory::toMB(last.size))}));
        }
        // The program starts after the recovery, with its arguments, whatever the recovery's outcome.
        const bool starts = args.program && !args.program->empty();
        require(machine.shellCalls.size() == (starts ? 1u : 0u));
        if (starts)
            require(machine.shellCalls[0].file == *args.program &&
                    machine.shellCalls[0].parameters == args.arguments.value_or(std::string()));
        require(finished == args.once);
    }
    return 0;
}
