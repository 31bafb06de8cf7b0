// Hot-key text: writing a combination for the settings file and reading it back.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "mainwindow/hotkey_text.h"

using mainwindow::hotKeyText;
using mainwindow::parseHotKeyText;
using ui::Shortcut;

namespace {

constexpr Shortcut kShift = ui::kShortcutShift, kCtrl = ui::kShortcutCtrl, kAlt = ui::kShortcutAlt;

// A layout with a few names of its own, some of them unusable.
std::string testLayout(uint16_t key) {
    switch (key) {
    case 0xBA: return ";";
    case 0xBB: return "+";
    case 0xDC: return "^";
    case 0xBC: return "Comma";
    case 0xBD: return " ";
    case 0xBE: return std::string(1, '\x01');
    default: return {};
    }
}

}  // namespace

TEST(HotKeyText, DesignDefaultsBothWays) {
    EXPECT_EQ(hotKeyText(0xC052), "Ctrl+Alt+R");
    EXPECT_EQ(hotKeyText(0xC044), "Ctrl+Alt+D");
    EXPECT_EQ(parseHotKeyText("Ctrl+Alt+R"), 0xC052);
    EXPECT_EQ(parseHotKeyText("Ctrl+Alt+D"), 0xC044);
}

TEST(HotKeyText, ModifiersAreWrittenShiftCtrlAltAndReadInAnyOrder) {
    EXPECT_EQ(hotKeyText(kShift | kCtrl | kAlt | 0x70), "Shift+Ctrl+Alt+F1");
    EXPECT_EQ(hotKeyText(kShift | kAlt | 0x2E), "Shift+Alt+Del");
    EXPECT_EQ(hotKeyText(0x1B), "Esc");
    EXPECT_EQ(parseHotKeyText("Alt+Ctrl+R"), 0xC052);
    EXPECT_EQ(hotKeyText(parseHotKeyText("Alt+Ctrl+R")), "Ctrl+Alt+R");
    EXPECT_EQ(parseHotKeyText("Alt+Shift+Alt+Ctrl+R"), kShift | kCtrl | kAlt | 0x52) << "repeats are harmless";
    EXPECT_EQ(parseHotKeyText("^R"), kCtrl | 0x52);
    EXPECT_EQ(parseHotKeyText("Alt+^R"), kCtrl | kAlt | 0x52);
}

TEST(HotKeyText, TableNames) {
    const std::pair<uint16_t, const char*> names[] = {
        {0x08, "BkSp"}, {0x09, "Tab"},  {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"}, {0x21, "PgUp"},
        {0x22, "PgDn"}, {0x23, "End"},  {0x24, "Home"},  {0x25, "Left"}, {0x26, "Up"},    {0x27, "Right"},
        {0x28, "Down"}, {0x2D, "Ins"},  {0x2E, "Del"},   {0x30, "0"},    {0x39, "9"},     {0x41, "A"},
        {0x5A, "Z"},    {0x60, "0"},    {0x65, "5"},     {0x69, "9"},    {0x70, "F1"},    {0x7C, "F13"},
        {0x87, "F24"}};
    for (const auto& [key, name] : names) EXPECT_EQ(mainwindow::keyName(key), name) << key;
    // Neighbours of the named ranges, and codes that are no key.
    for (const uint16_t key : {0x00, 0x07, 0x0A, 0x1C, 0x29, 0x2C, 0x2F, 0x3A, 0x40, 0x5B, 0x6A, 0x6F, 0x88, 0xBA,
                               0xFF, 0x100, 0x1FFF})
        EXPECT_EQ(mainwindow::keyName(key), "") << key;
}

TEST(HotKeyText, EveryNamedKeyRoundTripsWithEveryModifierSet) {
    int named = 0;
    for (uint16_t key = 0; key <= 0x1FFF; ++key) {
        if (mainwindow::keyName(key).empty()) continue;
        ++named;
        // The keypad digits share the main-row names and read back as those keys.
        const uint16_t readBack = key >= 0x60 && key <= 0x69 ? static_cast<uint16_t>(key - 0x30) : key;
        for (const Shortcut modifiers : {0, 0x2000, 0x4000, 0x6000, 0x8000, 0xA000, 0xC000, 0xE000}) {
            const auto shortcut = static_cast<Shortcut>(modifiers | key);
            ASSERT_EQ(parseHotKeyText(hotKeyText(shortcut)), modifiers | readBack) << hotKeyText(shortcut);
        }
    }
    EXPECT_EQ(named, 2 + 1 + 1 + 9 + 2 + 10 + 26 + 10 + 24);
    EXPECT_EQ(hotKeyText(kCtrl | kAlt | 0x65), "Ctrl+Alt+5");
}

TEST(HotKeyText, ReadingIgnoresCaseAndBlanks) {
    EXPECT_EQ(parseHotKeyText("ctrl+alt+r"), 0xC052);
    EXPECT_EQ(parseHotKeyText("SHIFT+ALT+pgdn"), kShift | kAlt | 0x22);
    EXPECT_EQ(parseHotKeyText("Ctrl+Alt+f13"), kCtrl | kAlt | 0x7C);
    EXPECT_EQ(parseHotKeyText("  Ctrl + Alt +R\t"), 0xC052);
    EXPECT_EQ(parseHotKeyText("^ r"), kCtrl | 0x52);
}

TEST(HotKeyText, TextNamingNoKeyGivesNoCombination) {
    for (const char* text : {"", "   ", "Ctrl+Alt+Foo", "Ctrl+Alt+", "Ctrl+Alt+ ", "Ctrl+", "^", "Shift", "None",
                             "Ctrl+Alt+R+", "Ctrl+Alt+RR", "Ctrl-Alt-R", "Ctrl+Alt+Page Up", "Win+R", "F25", "F0",
                             "Ctrl+Alt+;"})
        EXPECT_EQ(parseHotKeyText(text), 0) << '"' << text << '"';
    EXPECT_EQ(parseHotKeyText(std::string_view("R\0", 2)), 0) << "an embedded NUL is no blank";
    // A key without a name has no text, whatever its modifiers.
    EXPECT_EQ(hotKeyText(0), "");
    EXPECT_EQ(hotKeyText(kCtrl | kAlt), "");
    EXPECT_EQ(hotKeyText(kCtrl | kAlt | 0x0A), "");
    EXPECT_EQ(hotKeyText(kCtrl | kAlt | 0xBA), "") << "no layout given";
}

TEST(HotKeyText, LayoutNamesOtherKeysWhenOneVisibleCharacter) {
    EXPECT_EQ(hotKeyText(kCtrl | kAlt | 0xBA, testLayout), "Ctrl+Alt+;");
    EXPECT_EQ(parseHotKeyText("Ctrl+Alt+;", testLayout), kCtrl | kAlt | 0xBA);
    for (const uint16_t unusable : {0xBC, 0xBD, 0xBE, 0xC0}) EXPECT_EQ(hotKeyText(unusable, testLayout), "");
    // Names that look like a prefix still read back as the key.
    EXPECT_EQ(hotKeyText(kCtrl | kAlt | 0xBB, testLayout), "Ctrl+Alt++");
    EXPECT_EQ(parseHotKeyText("Ctrl+Alt++", testLayout), kCtrl | kAlt | 0xBB);
    EXPECT_EQ(parseHotKeyText("Ctrl+Alt+^", testLayout), kCtrl | kAlt | 0xDC);
    EXPECT_EQ(parseHotKeyText("^^", testLayout), kCtrl | 0xDC);
    EXPECT_EQ(parseHotKeyText("^", testLayout), 0xDC);
    // The table's keys are never asked of the layout.
    std::set<uint16_t> asked;
    parseHotKeyText("X", [&](uint16_t key) {
        asked.insert(key);
        return std::string("X");
    });
    EXPECT_EQ(asked.count(0x58), 0u);
    EXPECT_EQ(hotKeyText(0x58, [](uint16_t) { return std::string("?"); }), "X");
}

TEST(HotKeyText, KeepTextAndRegistrationParts) {
    for (const char* keep : {"None", "none", " NONE "}) EXPECT_TRUE(mainwindow::isKeepHotKeyText(keep)) << keep;
    for (const char* other : {"", "Non", "None+R", "Ctrl+Alt+R"}) EXPECT_FALSE(mainwindow::isKeepHotKeyText(other)) << other;

    EXPECT_EQ(mainwindow::hotKeyModifiers(0xC052), mainwindow::kHotKeyModAlt | mainwindow::kHotKeyModControl);
    EXPECT_EQ(mainwindow::hotKeyModifiers(kShift | 0x52), mainwindow::kHotKeyModShift);
    EXPECT_EQ(mainwindow::hotKeyModifiers(0xE052), 7u);
    EXPECT_EQ(mainwindow::hotKeyVirtualKey(0xC052), 0x52);
    EXPECT_EQ(mainwindow::hotKeyVirtualKey(0xFFFF), 0x1FFF);

    EXPECT_TRUE(mainwindow::hasCtrlOrAlt(kCtrl | 0x52));
    EXPECT_TRUE(mainwindow::hasCtrlOrAlt(kAlt | 0x52));
    EXPECT_FALSE(mainwindow::hasCtrlOrAlt(kShift | 0x52));
    EXPECT_FALSE(mainwindow::hasCtrlOrAlt(0x52));
}
