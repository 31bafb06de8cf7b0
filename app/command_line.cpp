#include "app/command_line.h"

#include "text/utf8_text.h"

namespace app {

namespace {

std::optional<std::string> switchValue(std::string_view text, std::string_view name) {
    const size_t at = text.find(name);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view value = text.substr(at + name.size());
    value = value.substr(0, value.find('/'));
    value = value.substr(0, text::utf8PrefixBytes(value, kMaxSwitchValueChars));
    return std::string(value);
}

}  // namespace

CommandLine parseCommandLine(std::string_view text) {
    CommandLine args;
    args.usage = text.find("/?") != std::string_view::npos;
    args.program = switchValue(text, "/p=");
    args.arguments = switchValue(text, "/a=");
    args.amount = switchValue(text, "/ram=");
    args.once = text.find("/once") != std::string_view::npos;
    return args;
}

}  // namespace app
