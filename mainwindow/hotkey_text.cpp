#include "mainwindow/hotkey_text.h"

#include <array>

namespace mainwindow {

namespace {

// 0x20 to 0x28, in code order.
constexpr std::array<const char*, 9> kNavigationNames = {"Space", "PgUp", "PgDn", "End", "Home",
                                                         "Left",  "Up",   "Right", "Down"};

struct Prefix {
    std::string_view word;  // followed by "+" (blanks allowed before it); "^" stands alone
    ui::Shortcut bit;
};
constexpr std::array<Prefix, 3> kPrefixes = {{
    {"Shift", ui::kShortcutShift},
    {"Ctrl", ui::kShortcutCtrl},
    {"Alt", ui::kShortcutAlt},
}};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

size_t skipBlanks(std::string_view text, size_t pos) {
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    return pos;
}

// ASCII letters only: names from the layout beyond ASCII are compared byte for byte.
char foldCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    }
    return true;
}

// The end of a modifier prefix at pos, or 0 (a prefix is never empty) when none starts there.
// bit receives the prefix's modifier.
size_t prefixEnd(std::string_view text, size_t pos, ui::Shortcut& bit) {
    if (text[pos] == '^') {
        bit = ui::kShortcutCtrl;
        return pos + 1;
    }
    for (const Prefix& prefix : kPrefixes) {
        if (!sameIgnoringCase(text.substr(pos, prefix.word.size()), prefix.word)) continue;
        const size_t plus = skipBlanks(text, pos + prefix.word.size());
        if (plus < text.size() && text[plus] == '+') {
            bit = prefix.bit;
            return plus + 1;
        }
    }
    return 0;
}

// A layout's name is used only when it is one visible character: a blank or a control
// character would not survive the settings file, nor the blanks that reading ignores.
bool usableLayoutName(const std::string& name) {
    if (name.size() != 1) return false;
    const auto c = static_cast<unsigned char>(name[0]);
    return c > 0x20 && c != 0x7F;
}

}  // namespace

std::string keyName(uint16_t virtualKey, const KeyNameLookup& layout) {
    const uint16_t k = virtualKey;
    if (k == 0x08) return "BkSp";
    if (k == 0x09) return "Tab";
    if (k == 0x0D) return "Enter";
    if (k == 0x1B) return "Esc";
    if (k >= 0x20 && k <= 0x28) return kNavigationNames[k - 0x20];
    if (k == 0x2D) return "Ins";
    if (k == 0x2E) return "Del";
    if (k >= 0x30 && k <= 0x39) return std::string(1, static_cast<char>('0' + (k - 0x30)));
    if (k >= 0x41 && k <= 0x5A) return std::string(1, static_cast<char>('A' + (k - 0x41)));
    if (k >= 0x60 && k <= 0x69) return std::string(1, static_cast<char>('0' + (k - 0x60)));
    if (k >= 0x70 && k <= 0x87) return "F" + std::to_string(k - 0x70 + 1);
    // Keys below kFirstNamedKey would never be found again when the text is read, and codes
    // above kLastNamedKey are no keys at all.
    if (k < kFirstNamedKey || k > kLastNamedKey || !layout) return {};
    std::string name = layout(k);
    return usableLayoutName(name) ? name : std::string();
}

std::string hotKeyText(ui::Shortcut shortcut, const KeyNameLookup& layout) {
    const std::string name = keyName(shortcut & ui::kShortcutKeyMask, layout);
    if (name.empty()) return {};
    std::string text;
    if ((shortcut & ui::kShortcutShift) != 0) text += "Shift+";
    if ((shortcut & ui::kShortcutCtrl) != 0) text += "Ctrl+";
    if ((shortcut & ui::kShortcutAlt) != 0) text += "Alt+";
    return text + name;
}

ui::Shortcut parseHotKeyText(std::string_view text, const KeyNameLookup& layout) {
    ui::Shortcut modifiers = 0;
    size_t pos = skipBlanks(text, 0);
    while (pos < text.size()) {
        ui::Shortcut bit = 0;
        const size_t end = prefixEnd(text, pos, bit);
        if (end == 0) break;
        const size_t next = skipBlanks(text, end);
        // Nothing after it: this is the key's own name ("^", or "+" after a prefix).
        if (next == text.size()) break;
        modifiers |= bit;
        pos = next;
    }
    size_t last = text.size();
    while (last > pos && isBlank(text[last - 1])) --last;
    const std::string_view name = text.substr(pos, last - pos);
    if (name.empty()) return 0;

    // Only one-character names come from the layout, so longer ones need not ask it.
    static const KeyNameLookup noLayout;
    const KeyNameLookup& names = name.size() == 1 ? layout : noLayout;
    for (uint16_t key = kFirstNamedKey; key <= kLastNamedKey; ++key) {
        if (sameIgnoringCase(keyName(key, names), name)) return static_cast<ui::Shortcut>(modifiers | key);
    }
    return 0;
}

bool isKeepHotKeyText(std::string_view text) {
    const size_t first = skipBlanks(text, 0);
    size_t last = text.size();
    while (last > first && isBlank(text[last - 1])) --last;
    return sameIgnoringCase(text.substr(first, last - first), "None");
}

bool hasCtrlOrAlt(ui::Shortcut shortcut) { return (shortcut & (ui::kShortcutCtrl | ui::kShortcutAlt)) != 0; }

uint16_t hotKeyVirtualKey(ui::Shortcut shortcut) { return shortcut & ui::kShortcutKeyMask; }

uint32_t hotKeyModifiers(ui::Shortcut shortcut) {
    uint32_t flags = 0;
    if ((shortcut & ui::kShortcutAlt) != 0) flags |= kHotKeyModAlt;
    if ((shortcut & ui::kShortcutCtrl) != 0) flags |= kHotKeyModControl;
    if ((shortcut & ui::kShortcutShift) != 0) flags |= kHotKeyModShift;
    return flags;
}

}  // namespace mainwindow
