#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// Switches are found by a case-sensitive substring search anywhere in the text; the first
// occurrence counts. A value runs from after "=" to the next "/" or the end, blanks
// included, and is cut at kMaxSwitchValueChars characters.
constexpr size_t kMaxSwitchValueChars = 128;
constexpr size_t kMaxAmountChars = 4;

struct CommandLine {
    bool usage = false;                    // "/?"
    std::optional<std::string> program;    // "/p="
    std::optional<std::string> arguments;  // "/a="
    std::optional<std::string> amount;     // "/ram=", the text as typed
    bool once = false;                     // "/once"
};

CommandLine parseCommandLine(std::string_view text);

}  // namespace app
