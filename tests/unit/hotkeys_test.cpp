#include <gtest/gtest.h>

#include "tests/unit/main_window_fixture.h"

#include <memory>
#include <string>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "ui/controls.h"
#include "ui/headless_backend.h"
#include "ui/menu.h"

using platform::fake::FakeMachine;

namespace {

const std::string kIni = "C:\\Q\\Quillet.ini";
constexpr uint32_t kCtrlAlt = 3;

class HotKeys : public MainWindowTest {
protected:
    HotKeys() { machine.program = "C:\\Q\\Quillet.exe"; }
    void create() {
        createWindow();
    }
    // The combination registered under an id, as modifiers << 16 | key, or 0.
    uint32_t registered(int id) { return machine.hotKeys.count(id) != 0 ? machine.hotKeys[id] : 0; }

};

TEST_F(HotKeys, StoredCombinationsAreReadInAnySpellingAndSavedInOne) {
    setIni("EnableRecoverHotkey", "1");
    setIni("RecoverHotkey", "alt+ctrl+f13");
    setIni("DisableHotkey", "^R");  // Ctrl+R, kept but not registered: its box is cleared
    create();
    EXPECT_EQ(registered(0), kCtrlAlt << 16 | 0x7C);
    EXPECT_EQ(registered(1), 0u);
    EXPECT_EQ(get<ui::HotKeyBox>("DisableAutoRecoverHotKey").shortcut(), 0x4052);
    EXPECT_FALSE(get<ui::HotKeyBox>("DisableAutoRecoverHotKey").enabled());
    window->SaveSettings();
    EXPECT_EQ(machine.iniValue(kIni, "Settings", "RecoverHotkey"), "Ctrl+Alt+F13");
    EXPECT_EQ(machine.iniValue(kIni, "Settings", "DisableHotkey"), "Ctrl+R");
    EXPECT_EQ(registered(0), kCtrlAlt << 16 | 0x7C) << "saving registers the ticked key afresh";
}

TEST_F(HotKeys, NoneKeepsTheDesignKeyAndAnEmptyTextRegistersNothing) {
    setIni("EnableRecoverHotkey", "1");
    setIni("RecoverHotkey", "None");
    setIni("DisableAutoRecoverHotkey", "1");
    setIni("DisableHotkey", "");
    create();
    EXPECT_EQ(get<ui::HotKeyBox>("RecoverHotKey").shortcut(), 0xC052);
    EXPECT_EQ(registered(0), kCtrlAlt << 16 | 'R');
    EXPECT_EQ(get<ui::HotKeyBox>("DisableAutoRecoverHotKey").shortcut(), 0);
    EXPECT_EQ(registered(1), 0u);
}

TEST_F(HotKeys, TheBoxRegistersAndUnregistersAndTypingDoesNotFireTheOldKey) {
    create();
    auto& box = get<ui::CheckBox>("HotkeyCheckBox");
    window->Options1Click();
    box.userChanged(true);
    EXPECT_EQ(registered(0), kCtrlAlt << 16 | 'R');
    EXPECT_TRUE(get<ui::HotKeyBox>("RecoverHotKey").enabled());
    window->RecoverHotKeyEnter();
    EXPECT_EQ(registered(0), 0u);
    box.userChanged(false);
    EXPECT_EQ(registered(0), 0u);
    EXPECT_FALSE(get<ui::HotKeyBox>("RecoverHotKey").enabled());

    machine.takenHotKeys.insert(kCtrlAlt << 16 | 'R');  // another program holds it: silently not ours
    box.userChanged(true);
    EXPECT_EQ(registered(0), 0u);
    EXPECT_TRUE(box.checked());
    EXPECT_TRUE(machine.messageBoxes.empty());
}

TEST_F(HotKeys, AStoredKeyWithoutCtrlOrAltIsRefused) {
    setIni("EnableRecoverHotkey", "1");
    setIni("RecoverHotkey", "Space");
    setIni("DisableAutoRecoverHotkey", "1");
    setIni("DisableHotkey", "Shift+F5");
    create();
    EXPECT_EQ(registered(0), kCtrlAlt << 16 | 'R') << "the box keeps its own combination";
    EXPECT_EQ(registered(1), kCtrlAlt << 16 | 'D');
    EXPECT_EQ(window->hotKeyTextOf(0), "Ctrl+Alt+R");
}

TEST_F(HotKeys, PressingThemRecoversAndSwitchesAutomaticRecovery) {
    setIni("EnableRecoverHotkey", "1");
    setIni("DisableAutoRecoverHotkey", "1");
    create();
    machine.largestCommit = 0;
    machine.send(window->window(), platform::kWmHotKey, 1);
    EXPECT_TRUE(get<ui::MenuItem>("DisableAutoRecover1").checked());
    machine.send(window->window(), platform::kWmHotKey, 1);
    EXPECT_FALSE(get<ui::MenuItem>("DisableAutoRecover1").checked());
    machine.send(window->window(), platform::kWmHotKey, 7);
    EXPECT_TRUE(machine.threads.empty());
    machine.send(window->window(), platform::kWmHotKey, 0);
    EXPECT_EQ(machine.threads.size(), 1u);

    window->Exit1Click();
    EXPECT_TRUE(machine.hotKeys.empty()) << "both given back at exit";
}

}  // namespace
