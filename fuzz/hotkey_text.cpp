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

void check(std::string_view text, const mainwindow::KeyNameLookup& names, bool caseAndBlanks) {
    const ui::Shortcut shortcut = mainwindow::parseHotKeyText(text, names);
    // Only a key that can have a name, and only the three modifier bits.
    const uint16_t key = shortcut & ui::kShortcutKeyMask;
    require(shortcut == 0 || (key >= mainwindow::kFirstNamedKey && key <= mainwindow::kLastNamedKey));
    require((shortcut & ~ui::kShortcutKeyMask & ~(0x2000 | 0x4000 | 0x8000)) == 0);
    // Case and blanks around the text do not matter.
    if (caseAndBlanks) {
        std::string upper(text);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        require(mainwindow::parseHotKeyText(upper, names) == shortcut);
        require(mainwindow::parseHotKeyText(" " + std::string(text) + "\t", names) == shortcut);
    }
    const std::string written = mainwindow::hotKeyText(shortcut, names);
    // Reading gives no combination or a named one: never modifiers without a key.
    require((shortcut == 0) == written.empty());
    if (!written.empty()) {
        const ui::Shortcut readBack = mainwindow::parseHotKeyText(written, names);
        require(readBack == shortcut);
        require(mainwindow::hotKeyText(readBack, names) == written);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(text, {}, false);
    check(text, layout, true);

    // The first two bytes as a combination: a named one reads back with the same modifiers
    // and the same text.
    if (size >= 2) {
        const auto shortcut = static_cast<ui::Shortcut>(data[0] | data[1] << 8);
        const std::string written = mainwindow::hotKeyText(shortcut, layout);
        if (!written.empty()) {
            const ui::Shortcut readBack = mainwindow::parseHotKeyText(written, layout);
            require((readBack & ~ui::kShortcutKeyMask) == (shortcut & ~ui::kShortcutKeyMask));
            require(mainwindow::hotKeyText(readBack, layout) == written);
        }
    }
    return 0;
}
