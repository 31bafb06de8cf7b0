// The two system-wide hot keys: recover now (id 0) and automatic recovery off/on (id 1). Each
// has a check box that turns it on and a hot-key box that holds its combination.
#include <string>

#include "mainwindow/hotkey_text.h"
#include "mainwindow/main_form.h"
#include "ui/controls.h"

namespace mainwindow {

std::string TQuilletForm::hotKeyTextOf(int id) const {
    const auto layout = [this](uint16_t key) { return os_.windows.keyName(key); };
    return hotKeyText(c_.hotKeyBoxes.at(static_cast<size_t>(id))->shortcut(), layout);
}

void TQuilletForm::applyHotKey(int id, const std::string& text) {
    // "None" keeps the combination and its registration as they are.
    if (isKeepHotKeyText(text)) return;
    const auto layout = [this](uint16_t key) { return os_.windows.keyName(key); };
    const ui::Shortcut shortcut = parseHotKeyText(text, layout);
    // A stored combination the box itself would not take (no Ctrl, no Alt: a plain key taken
    // from every program) is refused; the box keeps what it holds.
    if (shortcut != 0 && !hasCtrlOrAlt(shortcut)) return;
    unregisterHotKey(id);
    c_.hotKeyBoxes.at(static_cast<size_t>(id))->setShortcut(shortcut);
    // Registered while its box is ticked; a combination another program holds is simply not
    // registered.
    if (c_.hotKeyCheckBoxes.at(static_cast<size_t>(id))->checked() && hotKeyVirtualKey(shortcut) != 0)
        os_.windows.registerHotKey(window_, id, hotKeyModifiers(shortcut), hotKeyVirtualKey(shortcut));
}

void TQuilletForm::unregisterHotKey(int id) { os_.windows.unregisterHotKey(window_, id); }

void TQuilletForm::hotKeyCheckBoxClick(int id, bool on) {
    c_.hotKeyBoxes.at(static_cast<size_t>(id))->setEnabled(on);
    const std::string text = hotKeyTextOf(id);
    if (text == "None") return;
    // Unregisters first and registers only while ticked: clearing removes the hot key.
    applyHotKey(id, text);
}

void TQuilletForm::WMHotKey(uintptr_t id) {
    if (id == 0) RecoverRAM1Click();
    else if (id == 1) DisableAutoRecover1Click();
}

}  // namespace mainwindow
