// Any byte string as the hot-key text of the settings file: reading it must not crash, and a
// combination it yields must be written and read back unchanged. The same holds with a
// keyboard layout that names a few more keys, among them the prefix-like "+" and "^".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "mainwindow/hotkey_text.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

std::string layout(uint16_t key) {
    switch (key) {
    case 0xBA: return ";";
    case 0xBB: return "+";
    case 0xBC: return ",";
    case 0xBD: return "-";
    case 0xC0: return "`";
    case 0xDC: return "^";
    case 0xDE: return " ";   // unusable: a blank
    case 0xE2: return "<>";  // unusable: too long
    default: return {};
    }
}

void check(std::string_view text, const app::KeyNameLookup& names) {
    const ui::Shortcut shortcut = app::parseHotKeyText(text, names);
    const std::string written = app::hotKeyText(shortcut, names);
    // Reading gives no combination or a named one: never modifiers without a key.
    require((shortcut == 0) == written.empty());
    if (!written.empty()) {
        require(app::parseHotKeyText(written, names) == shortcut);
        require(app::hotKeyText(app::parseHotKeyText(written, names), names) == written);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(text, {});
    check(text, layout);

    // The first two bytes as a combination: a named one reads back with the same modifiers
    // and the same text.
    if (size >= 2) {
        const auto shortcut = static_cast<ui::Shortcut>(data[0] | data[1] << 8);
        const std::string written = app::hotKeyText(shortcut, layout);
        if (!written.empty()) {
            const ui::Shortcut readBack = app::parseHotKeyText(written, layout);
            require((readBack & ~ui::kShortcutKeyMask) == (shortcut & ~ui::kShortcutKeyMask));
            require(app::hotKeyText(readBack, layout) == written);
        }
    }
    return 0;
}
