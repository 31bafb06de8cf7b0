// The control-change rule, kind by kind, from code and from the user, and how changes reach
// the real windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/ui_recording_backend.h"
#include "ui/controls.h"
#include "ui/form.h"

using ui::Change;
using uitest::Counter;
using uitest::RecordingBackend;

namespace {

class UiControlChange : public ::testing::Test {
protected:
    UiControlChange() {
        form.setClientSize(400, 300);
        form.show();
        backend.log.clear();
    }
    std::vector<Change> pushed(const std::string& name) const { return backend.updates(name); }

    RecordingBackend backend;
    ui::Form form{backend};
};

using Changes = std::vector<Change>;

}  // namespace

TEST_F(UiControlChange, HandlerRunsAfterTheValueIsStoredAndOnScreen) {
    auto& box = form.add<ui::CheckBox>("Box");
    bool seenChecked = false;
    Changes seenPushed;
    box.onClick = [&] {
        seenChecked = box.checked();
        seenPushed = pushed("Box");
    };
    EXPECT_TRUE(box.setChecked(true));
    EXPECT_TRUE(seenChecked);
    EXPECT_EQ(seenPushed, Changes{Change::Checked});
}

// Each change handler is told the value the control holds after the change, made valid;
// a handler that corrects its own control keeps what it was told, and the correction is told
// in turn.
TEST_F(UiControlChange, HandlersAreToldTheValidValue) {
    auto& edit = form.add<ui::Edit>("Edit");
    auto& box = form.add<ui::CheckBox>("Box");
    auto& bar = form.add<ui::TrackBar>("Bar");
    auto& combo = form.add<ui::ComboBox>("Combo");
    auto& group = form.add<ui::RadioGroup>("Group");
    auto& hotKey = form.add<ui::HotKeyBox>("HotKey");
    auto& pages = form.add<ui::PageControl>("Pages");
    pages.addPage("P1", "1");
    pages.addPage("P2", "2");
    edit.setMaxLength(3);
    bar.setRange(0, 100);
    combo.setItems({"a", "b"});
    group.setItems({"a", "b", "c"});
    std::vector<std::string> told;
    const auto tell = [&](const char* who) {
        return [&told, who](auto value) { told.push_back(std::string(who) + " " + std::to_string(value)); };
    };
    edit.onChange = [&](const std::string& text) {
        if (text == "bad") edit.setText("ok");
        told.push_back("edit " + text);
    };
    box.onClick = tell("box");
    bar.onChange = tell("bar");
    combo.onChange = tell("combo");
    group.onClick = tell("group");
    hotKey.onChange = tell("hotKey");
    pages.onChange = tell("pages");

    edit.userChanged("abcdef");
    edit.setText("bad");
    box.userChanged(true);
    bar.setPosition(500);
    bar.userChanged(-4);
    combo.userChanged(1);
    group.setItemIndex(9);
    hotKey.userChanged(0x52);  // a plain R is taken as Ctrl+Alt+R
    pages.userChanged(1);
    EXPECT_EQ(told, (std::vector<std::string>{"edit abc", "edit ok", "edit bad", "box 1", "bar 100", "bar 0", "combo 1",
                                              "group 2", "hotKey 49234", "pages 1"}));
}

TEST_F(UiControlChange, CheckBox) {
    auto& box = form.add<ui::CheckBox>("Box");
    Counter clicks;
    box.onClick = clicks.handler();

    EXPECT_TRUE(box.setChecked(true));
    EXPECT_FALSE(box.setChecked(true)) << "the value it holds already";
    EXPECT_EQ(clicks.runs, 1);
    EXPECT_EQ(pushed("Box"), Changes{Change::Checked});

    EXPECT_TRUE(box.setChecked(false));
    EXPECT_EQ(clicks.runs, 2);

    backend.log.clear();
    EXPECT_TRUE(box.userChanged(true));
    EXPECT_FALSE(box.userChanged(true));
    EXPECT_TRUE(box.checked());
    EXPECT_EQ(clicks.runs, 3);
    EXPECT_TRUE(pushed("Box").empty()) << "the box shows the user's tick already";
}

TEST_F(UiControlChange, Edit) {
    auto& edit = form.add<ui::Edit>("Edit");
    Counter changes;
    edit.onChange = changes.handler();

    EXPECT_TRUE(edit.setText("30"));
    EXPECT_FALSE(edit.setText("30"));
    EXPECT_EQ(changes.runs, 1);
    EXPECT_EQ(pushed("Edit"), Changes{Change::Text});

    backend.log.clear();
    EXPECT_TRUE(edit.userChanged("45"));
    EXPECT_FALSE(edit.userChanged("45"));
    EXPECT_EQ(changes.runs, 2);
    EXPECT_TRUE(pushed("Edit").empty());

    // The maximum length limits typing, in characters, and the box is told the shorter text;
    // code may set a longer text.
    edit.setMaxLength(2);
    backend.log.clear();
    EXPECT_TRUE(edit.userChanged("释放内存"));
    EXPECT_EQ(edit.text(), "释放");
    EXPECT_EQ(changes.runs, 3);
    EXPECT_EQ(pushed("Edit"), Changes{Change::Text});
    EXPECT_FALSE(edit.userChanged("释放了")) << "cut to what it holds: no change";
    EXPECT_EQ(changes.runs, 3);
    EXPECT_TRUE(edit.setText("1234"));
    EXPECT_EQ(edit.text(), "1234");
}

TEST_F(UiControlChange, EditHandlerWritingBackAClampStartsTheRuleAnew) {
    auto& edit = form.add<ui::Edit>("XMinutes");
    std::vector<std::string> seen;
    edit.onChange = [&] {
        seen.push_back(edit.text());
        if (edit.text().size() > 3) edit.setText("999");
    };
    EXPECT_TRUE(edit.userChanged("1500"));
    EXPECT_EQ(edit.text(), "999");
    EXPECT_EQ(seen, (std::vector<std::string>{"1500", "999"}));
    EXPECT_EQ(pushed("XMinutes"), Changes{Change::Text}) << "only the clamped text is pushed";
}

TEST_F(UiControlChange, TrackBarClampsBeforeComparing) {
    auto& bar = form.add<ui::TrackBar>("Bar");
    bar.setRange(0, 100);
    Counter changes;
    bar.onChange = changes.handler();
    backend.log.clear();

    EXPECT_TRUE(bar.setPosition(50));
    EXPECT_FALSE(bar.setPosition(50));
    EXPECT_EQ(changes.runs, 1);
    EXPECT_TRUE(bar.setPosition(250));
    EXPECT_EQ(bar.position(), 100);
    EXPECT_FALSE(bar.setPosition(101)) << "clamps to the held maximum";
    EXPECT_TRUE(bar.setPosition(-3));
    EXPECT_EQ(bar.position(), 0);
    EXPECT_EQ(changes.runs, 3);
    EXPECT_EQ(pushed("Bar"), (Changes{Change::Position, Change::Position, Change::Position}));

    backend.log.clear();
    EXPECT_TRUE(bar.userChanged(40));
    EXPECT_TRUE(pushed("Bar").empty());
    EXPECT_TRUE(bar.userChanged(250));
    EXPECT_EQ(bar.position(), 100);
    EXPECT_EQ(pushed("Bar"), Changes{Change::Position}) << "the thumb is put back in range";
    EXPECT_EQ(changes.runs, 5);
}

TEST_F(UiControlChange, TrackBarRangeChangeClampsThePositionAndRunsOnChangeOnlyIfItMoved) {
    auto& bar = form.add<ui::TrackBar>("Bar");
    Counter changes;
    bar.onChange = changes.handler();
    // At start the maximum is set, then the minimum: a bar at 0 does not move.
    bar.setMax(231);
    bar.setMin(0);
    EXPECT_EQ(changes.runs, 0);
    bar.setPosition(200);
    backend.log.clear();

    bar.setMax(65);
    EXPECT_EQ(bar.position(), 65);
    EXPECT_EQ(changes.runs, 2);
    EXPECT_EQ(pushed("Bar"), (Changes{Change::Range, Change::Position}));

    bar.setMax(100);
    EXPECT_EQ(bar.position(), 65);
    EXPECT_EQ(changes.runs, 2);

    bar.setMin(70);
    EXPECT_EQ(bar.position(), 70);
    EXPECT_EQ(changes.runs, 3);

    // A minimum above the maximum carries the maximum along, and the other way round.
    bar.setMin(150);
    EXPECT_EQ(bar.max(), 150);
    EXPECT_EQ(bar.position(), 150);
    bar.setMax(10);
    EXPECT_EQ(bar.min(), 10);
    EXPECT_EQ(bar.position(), 10);
    bar.setRange(50, 20);
    EXPECT_EQ(bar.min(), 50);
    EXPECT_EQ(bar.max(), 50);
    EXPECT_EQ(changes.runs, 6);

    backend.log.clear();
    bar.setRange(50, 50);
    EXPECT_TRUE(pushed("Bar").empty()) << "an unchanged range pushes nothing";
}

TEST_F(UiControlChange, RadioGroupClampsItsIndexAndFollowsItsItems) {
    auto& group = form.add<ui::RadioGroup>("Speed");
    group.setItems({"非常快", "快", "中速", "慢"});
    Counter clicks;
    group.onClick = clicks.handler();

    EXPECT_TRUE(group.setItemIndex(2));
    EXPECT_TRUE(group.setItemIndex(9));
    EXPECT_EQ(group.itemIndex(), 3) << "4 or more selects the last item";
    EXPECT_FALSE(group.setItemIndex(4));
    EXPECT_TRUE(group.setItemIndex(-7));
    EXPECT_EQ(group.itemIndex(), -1);
    EXPECT_FALSE(group.setItemIndex(-1));
    EXPECT_EQ(clicks.runs, 3);

    group.setItemIndex(3);
    group.setItems({"a", "b"});
    EXPECT_EQ(group.itemIndex(), 1);
    EXPECT_EQ(clicks.runs, 5);
    group.setItems({"a", "b", "c"});
    EXPECT_EQ(clicks.runs, 5) << "an index the new items hold stays";

    backend.log.clear();
    EXPECT_TRUE(group.userChanged(0));
    EXPECT_TRUE(pushed("Speed").empty());
    EXPECT_FALSE(group.userChanged(5)) << "no such button";
    EXPECT_EQ(group.itemIndex(), 0);
    EXPECT_EQ(pushed("Speed"), Changes{Change::Selection});
    EXPECT_EQ(clicks.runs, 6);
}

TEST_F(UiControlChange, DropDownSelectionFromCodeRunsNoHandler) {
    auto& combo = form.add<ui::ComboBox>("Color");
    combo.setItems({"绿色", "红色", "蓝色", "白色"});
    Counter changes;
    combo.onChange = changes.handler();
    backend.log.clear();

    EXPECT_TRUE(combo.setItemIndex(2));
    EXPECT_EQ(combo.selectedText(), "蓝色");
    EXPECT_TRUE(combo.setItemIndex(4));
    EXPECT_EQ(combo.itemIndex(), -1) << "outside the items: no selection";
    EXPECT_EQ(combo.selectedText(), "");
    EXPECT_FALSE(combo.setItemIndex(-3));
    EXPECT_EQ(changes.runs, 0);
    EXPECT_EQ(pushed("Color"), (Changes{Change::Selection, Change::Selection}));

    backend.log.clear();
    EXPECT_TRUE(combo.userChanged(1));
    EXPECT_FALSE(combo.userChanged(1));
    EXPECT_EQ(changes.runs, 1);
    EXPECT_TRUE(pushed("Color").empty());
    EXPECT_FALSE(combo.userChanged(-1)) << "no user picks no item";
    EXPECT_FALSE(combo.userChanged(4));
    EXPECT_EQ(combo.itemIndex(), 1);
    EXPECT_EQ(pushed("Color"), (Changes{Change::Selection, Change::Selection}));

    combo.setItems({"only"});
    EXPECT_EQ(combo.itemIndex(), -1);
    EXPECT_EQ(changes.runs, 1);
}

TEST_F(UiControlChange, HotKeyBoxCombination) {
    auto& box = form.add<ui::HotKeyBox>("RecoverHotKey");
    Counter changes;
    box.onChange = changes.handler();
    EXPECT_TRUE(box.setShortcut(0xC052));
    EXPECT_FALSE(box.setShortcut(0xC052));
    EXPECT_EQ(changes.runs, 1);
    EXPECT_EQ(pushed("RecoverHotKey"), Changes{Change::Shortcut});
}

TEST_F(UiControlChange, PageChangesFromCodeNeverAskOnChanging) {
    auto& pages = form.add<ui::PageControl>("Pages");
    pages.addPage("One", "1");
    pages.addPage("Two", "2");
    int asked = 0;
    pages.onChanging = [&](bool& allow) {
        ++asked;
        allow = false;
    };
    Counter changes;
    pages.onChange = changes.handler();
    EXPECT_EQ(pages.activePageIndex(), 0) << "the first page added is shown";

    EXPECT_TRUE(pages.setActivePageIndex(1));
    EXPECT_FALSE(pages.setActivePageIndex(1));
    EXPECT_FALSE(pages.setActivePageIndex(2)) << "no such page";
    EXPECT_TRUE(pages.setActivePage(pages.page(0)));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(changes.runs, 2);
    EXPECT_EQ(pushed("Pages"), (Changes{Change::Selection, Change::Selection}));
}

TEST_F(UiControlChange, UserPageChangesAskOnChangingWhichMayRefuse) {
    auto& pages = form.add<ui::PageControl>("Pages");
    pages.addPage("One", "1");
    pages.addPage("Two", "2");
    bool allowNext = false;
    std::vector<int> askedOn;
    pages.onChanging = [&](bool& allow) {
        askedOn.push_back(pages.activePageIndex());
        allow = allowNext;
    };
    Counter changes;
    pages.onChange = changes.handler();
    backend.log.clear();

    EXPECT_FALSE(pages.userChanged(1));
    EXPECT_EQ(pages.activePageIndex(), 0);
    EXPECT_EQ(changes.runs, 0);
    EXPECT_EQ(pushed("Pages"), Changes{Change::Selection}) << "the tabs show the page that stays";

    allowNext = true;
    backend.log.clear();
    EXPECT_TRUE(pages.userChanged(1));
    EXPECT_EQ(pages.activePageIndex(), 1);
    EXPECT_EQ(changes.runs, 1);
    EXPECT_TRUE(pushed("Pages").empty());
    EXPECT_EQ(askedOn, (std::vector<int>{0, 0})) << "asked while the old page is still active";

    EXPECT_FALSE(pages.userChanged(1)) << "the page shown already: nothing to ask";
    EXPECT_EQ(askedOn.size(), 2u);
}

TEST_F(UiControlChange, ClicksFromCodeRunAsTheUsersDo) {
    auto& button = form.add<ui::Button>("Button");
    auto& flat = form.add<ui::FlatButton>("Flat");
    auto& link = form.add<ui::LinkLabel>("Link");
    Counter b, f, l;
    button.onClick = b.handler();
    flat.onClick = f.handler();
    link.onClick = l.handler();

    button.click();
    button.click();
    flat.click();
    link.click();
    EXPECT_TRUE(button.userClicked());
    EXPECT_TRUE(flat.userClicked());
    EXPECT_TRUE(link.userClicked());
    EXPECT_EQ(b.runs, 3) << "a click has no value: each one runs";
    EXPECT_EQ(f.runs, 2);
    EXPECT_EQ(l.runs, 2);

    button.setEnabled(false);
    flat.setEnabled(false);
    link.setEnabled(false);
    EXPECT_FALSE(button.userClicked());
    EXPECT_FALSE(flat.userClicked());
    EXPECT_FALSE(link.userClicked());
    button.click();
    EXPECT_EQ(b.runs, 4) << "code may click a disabled button";
}

TEST_F(UiControlChange, PlainStateIsPushedWhenItDiffersAndRunsNothing) {
    auto& label = form.add<ui::Label>("Label");
    auto& edit = form.add<ui::Edit>("Edit");
    Counter clicks, changes;
    label.onClick = clicks.handler();
    edit.onChange = changes.handler();
    backend.log.clear();

    label.setCaption("1000MB");
    label.setCaption("1000MB");
    label.setBounds(8, 28, 40, 13);
    label.setBounds(8, 28, 40, 13);
    edit.setEnabled(false);
    edit.setEnabled(false);
    edit.setVisible(false);
    edit.setHint("h");
    edit.setMaxLength(4);
    EXPECT_EQ(pushed("Label"), (Changes{Change::Text, Change::Bounds}));
    EXPECT_EQ(pushed("Edit"), (Changes{Change::Enabled, Change::Visible, Change::Hint, Change::Appearance}));
    EXPECT_EQ(clicks.runs + changes.runs, 0);
}

TEST_F(UiControlChange, EchoesOfPushedValuesNeverRunAHandlerTwice) {
    // A real window notifies its parent while a change is pushed to it, sometimes with the
    // value it showed before. Both must be recognised as no user change.
    auto& edit = form.add<ui::Edit>("Edit");
    auto& box = form.add<ui::CheckBox>("Box");
    auto& bar = form.add<ui::TrackBar>("Bar");
    auto& combo = form.add<ui::ComboBox>("Combo");
    auto& group = form.add<ui::RadioGroup>("Group");
    auto& hotKey = form.add<ui::HotKeyBox>("HotKey");
    auto& pages = form.add<ui::PageControl>("Pages");
    pages.addPage("P1", "1");
    pages.addPage("P2", "2");
    combo.setItems({"a", "b"});
    group.setItems({"a", "b"});
    bar.setRange(0, 100);

    bool stale = false;
    backend.onUpdate = [&](ui::Component& c, Change) {
        if (&c == &edit) edit.userChanged(stale ? "old" : edit.text());
        if (&c == &box) box.userChanged(stale ? !box.checked() : box.checked());
        if (&c == &bar) bar.userChanged(stale ? 3 : bar.position());
        if (&c == &combo) combo.userChanged(stale ? 0 : combo.itemIndex());
        if (&c == &group) group.userChanged(stale ? 0 : group.itemIndex());
        if (&c == &hotKey) hotKey.userChanged(stale ? 0x52 : hotKey.shortcut());
        if (&c == &pages) pages.userChanged(stale ? 0 : pages.activePageIndex());
    };
    Counter runs;
    const ui::Handler run = runs.handler();
    edit.onChange = run;
    box.onClick = run;
    bar.onChange = combo.onChange = group.onClick = pages.onChange = run;
    hotKey.onChange = run;
    int asked = 0;
    pages.onChanging = [&](bool&) { ++asked; };

    for (const bool echoStale : {false, true}) {
        stale = echoStale;
        const int before = runs.runs;
        edit.setText(echoStale ? "b" : "a");
        box.setChecked(!echoStale);
        bar.setPosition(echoStale ? 60 : 50);
        group.setItemIndex(1 - static_cast<int>(echoStale));
        hotKey.setShortcut(echoStale ? 0xC044 : 0xC052);
        pages.setActivePageIndex(echoStale ? 0 : 1);
        combo.setItemIndex(1);
        EXPECT_EQ(runs.runs - before, 6) << "one run per code change; the combo box runs none";
    }
    EXPECT_EQ(edit.text(), "b");
    EXPECT_FALSE(box.checked());
    EXPECT_EQ(bar.position(), 60);
    EXPECT_EQ(group.itemIndex(), 0);
    EXPECT_EQ(hotKey.shortcut(), 0xC044);
    EXPECT_EQ(pages.activePageIndex(), 0);
    EXPECT_EQ(combo.itemIndex(), 1);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(edit.pushing());
}

TEST_F(UiControlChange, UserInputIsRefusedWhereNoUserCanReachTheControl) {
    auto& group = form.add<ui::GroupBox>("Group");
    auto& inGroup = group.add<ui::CheckBox>("InGroup");
    auto& panel = form.add<ui::Panel>("Panel");
    auto& inPanel = panel.add<ui::Edit>("InPanel");
    auto& pages = form.add<ui::PageControl>("Pages");
    pages.addPage("Shown", "1");
    auto& hiddenPage = pages.addPage("Hidden", "2");
    auto& onHiddenPage = hiddenPage.add<ui::TrackBar>("OnHiddenPage");
    auto& readOnly = form.add<ui::Edit>("ReadOnly");
    readOnly.setReadOnly(true);
    auto& disabled = form.add<ui::RadioGroup>("Disabled");
    disabled.setItems({"a", "b"});
    disabled.setEnabled(false);
    group.setEnabled(false);
    panel.setVisible(false);

    EXPECT_FALSE(inGroup.userChanged(true));
    EXPECT_FALSE(inPanel.userChanged("x"));
    EXPECT_FALSE(onHiddenPage.userChanged(5));
    EXPECT_FALSE(readOnly.userChanged("x"));
    EXPECT_FALSE(disabled.userChanged(1));
    EXPECT_FALSE(inGroup.checked());
    EXPECT_EQ(inPanel.text(), "");
    EXPECT_EQ(onHiddenPage.position(), 0);
    EXPECT_EQ(disabled.itemIndex(), -1);

    // Code is not a user: the rule holds everywhere.
    Counter runs;
    inGroup.onClick = runs.handler();
    EXPECT_TRUE(inGroup.setChecked(true));
    EXPECT_EQ(runs.runs, 1);

    pages.setActivePage(hiddenPage);
    EXPECT_TRUE(onHiddenPage.userChanged(5)) << "its page is shown now";
    form.hide();
    EXPECT_FALSE(onHiddenPage.userChanged(6)) << "nothing on a hidden window takes input";
}
