// The hot-key box: the Ctrl/Alt rule on what the user types, and the Windows control's
// encoding of a combination.
#include <gtest/gtest.h>

#include <vector>

#include "tests/unit/ui_recording_backend.h"
#include "ui/controls.h"
#include "ui/form.h"

using ui::HotKeyBox;
using ui::Shortcut;
using uitest::Counter;
using uitest::RecordingBackend;

namespace {

constexpr Shortcut kR = 0x52;
constexpr Shortcut kF1 = 0x70;
constexpr Shortcut kCtrlAlt = ui::kShortcutCtrl | ui::kShortcutAlt;

}  // namespace

TEST(UiHotKeyBox, RuleGivesCtrlAltToKeysTypedWithoutCtrlOrAlt) {
    EXPECT_EQ(HotKeyBox::applyRule(kR), kCtrlAlt | kR);
    EXPECT_EQ(HotKeyBox::applyRule(ui::kShortcutShift | kR), kCtrlAlt | kR) << "Shift alone is replaced";
    EXPECT_EQ(HotKeyBox::applyRule(ui::kShortcutCtrl | kR), ui::kShortcutCtrl | kR);
    EXPECT_EQ(HotKeyBox::applyRule(ui::kShortcutAlt | kF1), ui::kShortcutAlt | kF1);
    EXPECT_EQ(HotKeyBox::applyRule(ui::kShortcutShift | ui::kShortcutCtrl | kR),
              ui::kShortcutShift | ui::kShortcutCtrl | kR);
    EXPECT_EQ(HotKeyBox::applyRule(ui::kShortcutShift | ui::kShortcutAlt | kF1),
              ui::kShortcutShift | ui::kShortcutAlt | kF1);
    // No key, or a modifier key by itself: no combination.
    EXPECT_EQ(HotKeyBox::applyRule(0), 0);
    EXPECT_EQ(HotKeyBox::applyRule(kCtrlAlt), 0);
    for (const Shortcut modifierKey : {0x10, 0x11, 0x12, 0x5B, 0x5C, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5})
        EXPECT_EQ(HotKeyBox::applyRule(static_cast<Shortcut>(ui::kShortcutCtrl | modifierKey)), 0) << modifierKey;
    EXPECT_EQ(HotKeyBox::applyRule(kCtrlAlt | 0x100), 0) << "no virtual key is that large";
}

TEST(UiHotKeyBox, UserTypingFollowsTheRuleAndTheBoxShowsTheResult) {
    RecordingBackend backend;
    ui::Form form(backend);
    form.show();
    auto& box = form.add<HotKeyBox>("RecoverHotKey");
    box.setShortcut(0xC052);  // the design default, Ctrl+Alt+R
    Counter changes;
    box.onChange = changes.handler();
    backend.log.clear();

    EXPECT_FALSE(box.userChanged(ui::kShortcutShift | kR)) << "becomes Ctrl+Alt+R, which it holds";
    EXPECT_EQ(backend.updates("RecoverHotKey"), std::vector<ui::Change>{ui::Change::Shortcut})
        << "the window is told to show Ctrl+Alt+R instead of Shift+R";
    EXPECT_TRUE(box.userChanged(kF1));
    EXPECT_EQ(box.shortcut(), kCtrlAlt | kF1);
    EXPECT_TRUE(box.userChanged(ui::kShortcutCtrl | kR));
    EXPECT_EQ(box.shortcut(), ui::kShortcutCtrl | kR);
    EXPECT_EQ(backend.updates("RecoverHotKey").size(), 2u) << "a valid combination is shown as typed";
    EXPECT_TRUE(box.userChanged(0));
    EXPECT_EQ(box.shortcut(), 0) << "cleared";
    EXPECT_EQ(changes.runs, 3);

    // Code sets what it read, unchanged (a stored Shift+F1 stays Shift+F1).
    EXPECT_TRUE(box.setShortcut(ui::kShortcutShift | kF1));
    EXPECT_EQ(box.shortcut(), ui::kShortcutShift | kF1);
}

TEST(UiHotKeyBox, WindowsControlValueCarriesKeyAndModifierBytes) {
    EXPECT_EQ(HotKeyBox::toHotKeyControlValue(0xC052), 0x0652);  // Ctrl+Alt+R
    EXPECT_EQ(HotKeyBox::toHotKeyControlValue(ui::kShortcutShift | kF1), 0x0170);
    EXPECT_EQ(HotKeyBox::toHotKeyControlValue(kCtrlAlt | 0x24), 0x0E24) << "Home is an extended key";
    EXPECT_EQ(HotKeyBox::toHotKeyControlValue(kCtrlAlt | 0x67), 0x0667) << "keypad 7 is not";
    EXPECT_EQ(HotKeyBox::toHotKeyControlValue(0), 0);
    EXPECT_EQ(HotKeyBox::toHotKeyControlValue(kCtrlAlt), 0);
    EXPECT_EQ(HotKeyBox::toHotKeyControlValue(kCtrlAlt | 0x1FFF), 0) << "does not fit the key byte";
    EXPECT_EQ(HotKeyBox::fromHotKeyControlValue(0x0E24), kCtrlAlt | 0x24) << "the extended flag is dropped";
    EXPECT_EQ(HotKeyBox::fromHotKeyControlValue(0x0600), 0);

    for (Shortcut key = 1; key <= 0xFF; ++key) {
        for (const Shortcut modifiers : {Shortcut{0}, ui::kShortcutShift, ui::kShortcutCtrl, ui::kShortcutAlt,
                                         static_cast<Shortcut>(kCtrlAlt | ui::kShortcutShift)}) {
            const auto shortcut = static_cast<Shortcut>(modifiers | key);
            EXPECT_EQ(HotKeyBox::fromHotKeyControlValue(HotKeyBox::toHotKeyControlValue(shortcut)), shortcut)
                << std::hex << shortcut;
        }
    }
}
