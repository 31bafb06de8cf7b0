#pragma once
// The text form of a hot-key combination, as the settings file stores it, and its reading.
// A combination is a ui::Shortcut: bits 0 to 12 the virtual key, 0x2000 Shift, 0x4000 Ctrl,
// 0x8000 Alt; 0 is no combination.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/controls.h"

namespace mainwindow {

// The keyboard layout's name of a virtual key (as the system's key-name text gives it for the
// key's scan code), for the keys the fixed table below does not name. Only a name of exactly
// one visible character is used; an empty lookup names none of those keys.
using KeyNameLookup = std::function<std::string(uint16_t virtualKey)>;

// The lowest and highest virtual keys that can have a name.
constexpr uint16_t kFirstNamedKey = 0x08;
constexpr uint16_t kLastNamedKey = 0xFE;

// The name of a virtual key: "BkSp", "Tab", "Enter", "Esc", "Space", "PgUp", "PgDn", "End",
// "Home", "Left", "Up", "Right", "Down", "Ins", "Del", the digits (main row and keypad alike),
// the letters, "F1" to "F24"; any other key in kFirstNamedKey…kLastNamedKey by the layout.
// "" when the key has no name.
std::string keyName(uint16_t virtualKey, const KeyNameLookup& layout = {});

// "Shift+", "Ctrl+", "Alt+" (those whose bit is set, in that order) and the key's name;
// "" when the key has no name, whatever the modifiers.
std::string hotKeyText(ui::Shortcut shortcut, const KeyNameLookup& layout = {});

// Reads a hot-key text back. Leading prefixes "Shift+", "Ctrl+" or "^", "Alt+" set their bits,
// in any order and any number of times; the rest must be a key's name, and the lowest key
// code with that name wins (so a digit is always the main-row key). Case does not matter,
// and blanks around the whole text and around each "+" or "^" are ignored. A prefix counts
// only when something follows it, so a key named "^" or "+" reads back as that key. No key,
// or a name no key has, gives 0 with no modifiers.
ui::Shortcut parseHotKeyText(std::string_view text, const KeyNameLookup& layout = {});

// The text "None" (any case, blanks around it ignored) in the settings file leaves the
// combination as it is.
bool isKeepHotKeyText(std::string_view text);

// A combination the hot-key box accepts holds Ctrl or Alt.
bool hasCtrlOrAlt(ui::Shortcut shortcut);

// What the system's hot-key registration takes: the virtual key (bits 0 to 12) and the
// modifier flags, 1 Alt, 2 Ctrl, 4 Shift (never the Windows-logo key).
constexpr uint32_t kHotKeyModAlt = 1, kHotKeyModControl = 2, kHotKeyModShift = 4;
uint16_t hotKeyVirtualKey(ui::Shortcut shortcut);
uint32_t hotKeyModifiers(ui::Shortcut shortcut);

}  // namespace mainwindow
