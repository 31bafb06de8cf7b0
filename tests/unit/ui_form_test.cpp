// Forms: ownership and names, realisation, layout, fonts, tab order, focus, hints and modal
// dialogs.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/unit/ui_recording_backend.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/paint_control.h"
#include "ui/timer.h"

using ui::Change;
using uitest::Counter;
using uitest::RecordingBackend;

using Names = std::vector<std::string>;

TEST(UiForm, FindsEveryComponentByNameAndRefusesDuplicates) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& pages = form.add<ui::PageControl>("MainPageControl");
    auto& sheet = pages.addPage("OptionsTabSheet", "选项");
    auto& box = sheet.add<ui::CheckBox>("HotkeyCheckBox");
    auto& menu = form.addComponent<ui::MainMenu>("MainMenu1");
    auto& file = menu.add("File1", "文件(&F)");
    auto& exit = file.add("Exit1", "退出(&X)");
    auto& timer = form.addComponent<ui::Timer>("MainTimer");

    EXPECT_EQ(&form.get<ui::CheckBox>("HotkeyCheckBox"), &box);
    EXPECT_EQ(&form.get<ui::MenuItem>("Exit1"), &exit);
    EXPECT_EQ(&form.get<ui::Timer>("MainTimer"), &timer);
    EXPECT_EQ(form.find("OptionsTabSheet"), &sheet);
    EXPECT_EQ(form.menu(), &menu);
    EXPECT_EQ(form.find("Nothing"), nullptr);
    EXPECT_THROW(form.get<ui::CheckBox>("Nothing"), std::out_of_range);
    EXPECT_THROW(form.get<ui::Edit>("HotkeyCheckBox"), std::invalid_argument);

    // A taken name is refused before anything is made.
    EXPECT_THROW(form.add<ui::Label>("Exit1"), std::invalid_argument);
    EXPECT_THROW(file.add("HotkeyCheckBox", "x"), std::invalid_argument);
    EXPECT_THROW(form.addComponent<ui::Timer>("MainPageControl"), std::invalid_argument);
    EXPECT_EQ(form.children().size(), 1u);
    EXPECT_EQ(file.count(), 1);
    // Unnamed controls are not registered, so several may exist.
    form.add<ui::Label>("");
    form.add<ui::Label>("");
    EXPECT_EQ(form.children().size(), 3u);
}

TEST(UiForm, EachKindHoldsOnlyTheChildrenItCan) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& pages = form.add<ui::PageControl>("Pages");
    auto& label = form.add<ui::Label>("Label");
    auto& panel = form.add<ui::Panel>("Panel");
    EXPECT_THROW(label.add<ui::Edit>("InLabel"), std::logic_error);
    EXPECT_THROW(pages.add<ui::Edit>("InPages"), std::logic_error) << "a page control holds pages";
    EXPECT_THROW(panel.add<ui::TabSheet>("Sheet"), std::logic_error);
    EXPECT_THROW(form.add<ui::TabSheet>("Sheet"), std::logic_error);
    EXPECT_EQ(form.find("InLabel"), nullptr);
    panel.add<ui::GroupBox>("Group").add<ui::Edit>("InGroup");
    EXPECT_NE(form.find("InGroup"), nullptr);
}

TEST(UiForm, PeersAreMadeParentsFirstAndDestroyedChildrenFirst) {
    RecordingBackend backend;
    {
        ui::Form form(backend);
        auto& panel = form.add<ui::Panel>("Panel");
        panel.add<ui::Edit>("Edit");
        form.addComponent<ui::PopupMenu>("Tray").add("Open1", "打开");
        form.addComponent<ui::Timer>("Timer");
        panel.setCaption("before");
        EXPECT_TRUE(backend.log.empty()) << "nothing is mirrored before the form is realised";

        form.realize();
        form.realize();
        EXPECT_EQ(backend.lifecycle(), (Names{"create:", "create:Panel", "create:Edit", "create:Tray",
                                              "create:Open1", "create:Timer"}));
        backend.log.clear();
        panel.add<ui::Label>("Late");
        EXPECT_EQ(backend.lifecycle(), Names{"create:Late"}) << "made at once on a realised form";
        backend.log.clear();
    }
    EXPECT_EQ(backend.lifecycle(), (Names{"destroy:Timer", "destroy:Open1", "destroy:Tray", "destroy:Late",
                                          "destroy:Edit", "destroy:Panel", "destroy:"}));
}

TEST(UiForm, ControlsOfAPageAreMadeWhenThePageFirstShows) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& pages = form.add<ui::PageControl>("Pages");
    pages.addPage("First", "一").add<ui::Edit>("OnFirst");
    pages.addPage("Second", "二").add<ui::Edit>("OnSecond");
    pages.addPage("Third", "三").add<ui::Edit>("OnThird");
    form.realize();
    EXPECT_EQ(backend.lifecycle(), (Names{"create:", "create:Pages", "create:First", "create:OnFirst", "create:Second",
                                          "create:Third"}));
    auto& onSecond = form.get<ui::Edit>("OnSecond");
    onSecond.setText("kept");  // state set before the window exists is shown once it does
    backend.log.clear();

    form.show();
    bool allow = false;
    pages.onChanging = [&](bool& answer) { answer = allow; };
    pages.userChanged(1);  // refused: nothing is made
    EXPECT_EQ(backend.lifecycle(), Names{});
    allow = true;
    pages.userChanged(1);
    EXPECT_EQ(backend.lifecycle(), Names{"create:OnSecond"});
    EXPECT_TRUE(onSecond.realized());
    EXPECT_EQ(onSecond.text(), "kept");
    pages.setActivePageIndex(2);
    pages.setActivePageIndex(1);  // made once
    EXPECT_EQ(backend.lifecycle(), (Names{"create:OnSecond", "create:OnThird"}));
}

TEST(UiForm, ChildrenFollowAnchorsAndDockingWhenTheWindowIsResized) {
    RecordingBackend backend;
    ui::Form form(backend);
    int resized = 0;
    form.onResize = [&] { ++resized; };
    // Children placed before the window has its size stay where they were put.
    auto& pages = form.add<ui::PageControl>("Pages");
    pages.setBounds(8, 0, 385, 325);
    pages.setAnchors(ui::Anchors::all());
    auto& button = form.add<ui::FlatButton>("Button");
    button.setBounds(320, 332, 60, 25);
    button.setAnchors({false, false, true, true});
    auto& status = form.add<ui::StatusBar>("Status");
    auto& sheet = pages.addPage("Sheet", "资源使用情况");
    auto& graphPanel = sheet.add<ui::Panel>("GraphPanel");
    graphPanel.setBounds(0, 0, 377, 293);
    graphPanel.setAnchors(ui::Anchors::all());
    auto& hintPanel = form.add<ui::Panel>("HintPanel");
    hintPanel.setBounds(8, 368, 385, 45);
    auto& hintLabel = hintPanel.add<ui::Label>("HintLabel");
    hintLabel.setAlign(ui::Align::Client);

    form.setClientSize(402, 434);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(pages.bounds(), (ui::Bounds{8, 0, 385, 325}));
    EXPECT_EQ(button.bounds(), (ui::Bounds{320, 332, 60, 25}));
    EXPECT_EQ(status.bounds(), (ui::Bounds{0, 415, 402, 19})) << "docked at the bottom";
    EXPECT_EQ(sheet.bounds(), (ui::Bounds{4, 28, 377, 293})) << "pages fill the display area";
    EXPECT_EQ(hintLabel.bounds(), (ui::Bounds{0, 0, 385, 45}));

    form.show();
    backend.log.clear();
    form.boundsFromSystem(ui::Bounds{0, 0, 502, 484});  // the user drags the corner
    EXPECT_EQ(resized, 2);
    EXPECT_TRUE(backend.updates("").empty()) << "the window has that size already";
    EXPECT_EQ(pages.bounds(), (ui::Bounds{8, 0, 485, 375}));
    EXPECT_EQ(button.bounds(), (ui::Bounds{420, 382, 60, 25}));
    EXPECT_EQ(status.bounds(), (ui::Bounds{0, 465, 502, 19}));
    EXPECT_EQ(sheet.bounds(), (ui::Bounds{4, 28, 477, 343}));
    EXPECT_EQ(graphPanel.bounds(), (ui::Bounds{0, 0, 477, 343}));
    EXPECT_EQ(hintPanel.bounds(), (ui::Bounds{8, 368, 385, 45})) << "anchored left and top";
    EXPECT_EQ(backend.updates("GraphPanel"), std::vector<Change>{Change::Bounds});

    // The real display area replaces the assumed one.
    pages.setDisplayArea(ui::Bounds{2, 2, 481, 349});
    EXPECT_EQ(sheet.bounds(), (ui::Bounds{2, 2, 481, 349}));
    pages.setSize(385, 325);
    EXPECT_EQ(sheet.bounds(), (ui::Bounds{2, 2, 381, 299}));

    // A hidden docked control gives its strip back.
    status.setVisible(false);
    auto& top = form.add<ui::Panel>("Top");
    top.setSize(0, 30);
    top.setAlign(ui::Align::Bottom);
    EXPECT_EQ(top.bounds(), (ui::Bounds{0, 454, 502, 30}));
    auto& laterStatus = form.add<ui::StatusBar>("LaterStatus");
    EXPECT_EQ(laterStatus.bounds(), (ui::Bounds{0, 435, 502, 19})) << "docked as it is added";
}

TEST(UiForm, FontsAndColoursAreInheritedUntilSetOwn) {
    RecordingBackend backend;
    ui::Form form(backend);
    form.show();
    auto& panel = form.add<ui::Panel>("GraphPanel");
    auto& value = panel.add<ui::Label>("Value");
    auto& title = panel.add<ui::Label>("Title");
    auto& link = panel.add<ui::LinkLabel>("Link");
    EXPECT_EQ(value.font().height, -12);
    EXPECT_EQ(value.font().face, "宋体");
    EXPECT_TRUE(link.font().underline);
    EXPECT_EQ(link.cursor(), ui::Cursor::Hand);

    ui::Font big = title.font();
    big.height = -16;
    big.bold = true;
    title.setFont(big);
    backend.log.clear();

    ui::Font lime = panel.font();
    lime.color = ui::kColorLime;
    panel.setFont(lime);
    panel.setColor(ui::kColorBlack);
    EXPECT_EQ(value.font().color, ui::kColorLime);
    EXPECT_EQ(value.color(), ui::kColorBlack);
    EXPECT_EQ(title.font().color, ui::kColorWindowText) << "its own font stays";
    EXPECT_EQ(title.color(), ui::kColorBlack);
    EXPECT_EQ(backend.updates("Value"), (std::vector<Change>{Change::Font, Change::Color}));
    EXPECT_EQ(backend.updates("Title"), std::vector<Change>{Change::Color});
    EXPECT_TRUE(backend.updates("Link").size() == 1) << "only the colour reaches its own font";

    backend.log.clear();
    panel.setFont(lime);
    value.setParentFont(false);
    EXPECT_TRUE(backend.log.empty()) << "nothing it shows changed";
    title.setParentFont(true);
    EXPECT_EQ(title.font().color, ui::kColorLime);
    EXPECT_EQ(backend.updates("Title"), std::vector<Change>{Change::Font});
}

// A form built in 96-dpi units, realised on a screen of 144 or 192 dpi, then moved to another
// DPI: every place scales by its edges (touching controls still touch), fonts keep their
// point size, and nothing leaves its parent.
TEST(UiForm, IsLaidOutForTheScreensDpiWhenRealisedAndAgainWhenItChanges) {
    using B = ui::Bounds;
    struct Expected {
        int dpi;
        B client, pages, sheet, caption, edit, status, paint;
        std::vector<int> panels;
        int formFont, boldFont, thumb;
    };
    const Expected cases[] = {
        {144, {0, 0, 603, 651}, {12, 0, 578, 488}, {6, 42, 566, 440}, {15, 15, 150, 20}, {165, 12, 75, 32},
         {0, 623, 603, 28}, {12, 495, 150, 30}, {150, 225}, -18, -20, 30},
        {192, {0, 0, 804, 868}, {16, 0, 770, 650}, {8, 56, 754, 586}, {20, 20, 200, 26}, {220, 16, 100, 42},
         {0, 830, 804, 38}, {16, 660, 200, 40}, {200, 300}, -24, -26, 40},
    };
    for (const Expected& x : cases) {
        SCOPED_TRACE("dpi " + std::to_string(x.dpi));
        RecordingBackend backend;
        backend.setScreenDpi(x.dpi);
        ui::Form form(backend);
        int resized = 0;
        form.onResize = [&] { ++resized; };
        form.setClientSize(402, 434);
        form.setMinClientSize(402, 434);
        auto& pages = form.add<ui::PageControl>("Pages");
        pages.setBounds(8, 0, 385, 325);
        pages.setAnchors(ui::Anchors::all());
        auto& sheet = pages.addPage("Sheet", "选项");
        auto& caption = sheet.add<ui::Label>("Caption");  // "释放内存至" and its box beside it
        caption.setBounds(10, 10, 100, 13);
        ui::Font bold = caption.font();
        bold.height = -13;
        bold.bold = true;
        caption.setFont(bold);
        auto& edit = sheet.add<ui::Edit>("Edit");
        edit.setBounds(110, 8, 50, 21);
        auto& bar = sheet.add<ui::TrackBar>("Bar");
        bar.setBounds(10, 40, 200, 30);
        auto& status = form.add<ui::StatusBar>("Status");
        status.setPanels({{"", 100}, {"", 150}});
        auto& paint = form.add<ui::PaintControl>("Paint");
        paint.setBounds(8, 330, 100, 20);
        B painted;
        paint.onPaint = [&](platform::Canvas& face) { painted = B{0, 0, face.width(), face.height()}; };
        EXPECT_EQ(form.dpi(), 96) << "designed at 96 dpi until realised";
        resized = 0;

        form.show();
        EXPECT_EQ(form.dpi(), x.dpi);
        EXPECT_EQ(resized, 1);
        EXPECT_EQ((B{0, 0, form.clientWidth(), form.clientHeight()}), x.client);
        EXPECT_EQ((B{0, 0, form.minClientWidth(), form.minClientHeight()}), x.client);
        EXPECT_EQ(pages.bounds(), x.pages);
        EXPECT_EQ(sheet.bounds(), x.sheet);
        EXPECT_EQ(caption.bounds(), x.caption);
        EXPECT_EQ(edit.bounds(), x.edit);
        EXPECT_EQ(caption.left() + caption.width(), edit.left()) << "the box still touches its caption";
        EXPECT_EQ(status.bounds(), x.status);
        EXPECT_EQ(paint.bounds(), x.paint);
        EXPECT_EQ(painted, (B{0, 0, x.paint.width, x.paint.height})) << "drawn at its size in pixels";
        EXPECT_EQ((std::vector<int>{status.panels()[0].width, status.panels()[1].width}), x.panels);
        EXPECT_EQ(form.font().height, x.formFont);
        EXPECT_EQ(edit.font().height, x.formFont) << "an inherited font follows its parent's";
        EXPECT_EQ(caption.font().height, x.boldFont);
        EXPECT_TRUE(caption.font().bold);
        EXPECT_EQ(bar.thumbLength(), x.thumb);
        const std::function<void(const ui::Control&)> inside = [&](const ui::Control& parent) {
            for (const auto& child : parent.children()) {
                const B& b = child->bounds();
                EXPECT_TRUE(b.left >= 0 && b.top >= 0 && b.left + b.width <= parent.width() &&
                            b.top + b.height <= parent.height())
                    << child->name() << " lies outside " << parent.name();
                inside(*child);
            }
        };
        inside(form);

        // Moved to a screen of 96 dpi and back: each step scales from the design, which comes
        // back exactly.
        backend.log.clear();
        form.setDpi(96);
        EXPECT_EQ(backend.updates("Edit"), (std::vector<Change>{Change::Bounds, Change::Font, Change::Dpi}));
        EXPECT_EQ((B{0, 0, form.clientWidth(), form.clientHeight()}), (B{0, 0, 402, 434}));
        EXPECT_EQ(pages.bounds(), (B{8, 0, 385, 325}));
        EXPECT_EQ(sheet.bounds(), (B{4, 28, 377, 293}));
        EXPECT_EQ(caption.bounds(), (B{10, 10, 100, 13}));
        EXPECT_EQ(edit.bounds(), (B{110, 8, 50, 21}));
        EXPECT_EQ(status.bounds(), (B{0, 415, 402, 19}));
        EXPECT_EQ(painted, (B{0, 0, 100, 20}));
        EXPECT_EQ(status.panels()[1].width, 150);
        EXPECT_EQ(caption.font().height, -13);
        EXPECT_EQ(edit.font().height, -12);
        EXPECT_EQ(resized, 2);
        form.setDpi(x.dpi);
        EXPECT_EQ(pages.bounds(), x.pages);
        EXPECT_EQ(caption.bounds(), x.caption);
        EXPECT_EQ(status.bounds(), x.status);

        // The user's resizing still moves the anchored controls by what the window grew.
        form.boundsFromSystem(B{0, 0, x.client.width + 100, x.client.height + 50});
        EXPECT_EQ(pages.bounds(), (B{x.pages.left, 0, x.pages.width + 100, x.pages.height + 50}));
        EXPECT_EQ(sheet.bounds(), (B{x.sheet.left, x.sheet.top, x.sheet.width + 100, x.sheet.height + 50}));
        EXPECT_EQ(status.bounds(), (B{0, x.status.top + 50, x.client.width + 100, x.status.height}));
    }
}

TEST(UiForm, TabOrderAndTabSequence) {
    RecordingBackend backend;
    ui::Form form(backend);
    auto& pages = form.add<ui::PageControl>("Pages");
    auto& first = pages.addPage("First", "1");
    auto& second = pages.addPage("Second", "2");
    auto& a = first.add<ui::CheckBox>("A");
    first.add<ui::Label>("Label");
    auto& b = first.add<ui::Edit>("B");
    auto& group = first.add<ui::GroupBox>("Group");
    auto& c = group.add<ui::ComboBox>("C");
    auto& d = second.add<ui::TrackBar>("D");
    auto& exit = form.add<ui::Button>("Exit");

    EXPECT_EQ(form.tabSequence(), (std::vector<ui::Control*>{&pages, &a, &b, &c, &d, &exit}));
    EXPECT_EQ(form.get<ui::Label>("Label").tabOrder(), -1) << "labels are not in the tab order";

    form.realize();
    backend.log.clear();
    b.setTabOrder(0);
    EXPECT_EQ(b.tabOrder(), 0);
    EXPECT_EQ(a.tabOrder(), 1);
    EXPECT_EQ(group.tabOrder(), 2);
    EXPECT_EQ(backend.updates("First"), std::vector<Change>{Change::TabOrder});
    group.setTabOrder(99);
    EXPECT_EQ(group.tabOrder(), 2) << "clamped to the last place, which it holds";
    a.setTabOrder(-4);
    EXPECT_EQ(a.tabOrder(), 0);
    EXPECT_EQ(form.tabSequence(), (std::vector<ui::Control*>{&pages, &a, &b, &c, &d, &exit}));
    a.setTabStop(false);
    EXPECT_EQ(form.tabSequence(), (std::vector<ui::Control*>{&pages, &b, &c, &d, &exit}));
}

TEST(UiForm, FocusMovesOnceAndOnlyToControlsThatTakeIt) {
    RecordingBackend backend;
    ui::Form form(backend);
    form.show();
    auto& hotKey = form.add<ui::HotKeyBox>("RecoverHotKey");
    auto& box = form.add<ui::CheckBox>("Box");
    auto& label = form.add<ui::Label>("Label");
    std::vector<std::string> events;
    hotKey.onEnter = [&] { events.push_back("enter hotkey"); };
    hotKey.onExit = [&] { events.push_back("exit hotkey"); };
    box.onEnter = [&] { events.push_back("enter box"); };
    backend.log.clear();

    EXPECT_TRUE(hotKey.userEntered());
    EXPECT_TRUE(hotKey.userEntered());
    EXPECT_TRUE(hotKey.focused());
    EXPECT_TRUE(backend.updates("RecoverHotKey").empty());
    EXPECT_TRUE(box.setFocus());
    EXPECT_EQ(backend.updates("Box"), std::vector<Change>{Change::Focus});
    EXPECT_EQ(events, (Names{"enter hotkey", "exit hotkey", "enter box"}));

    EXPECT_FALSE(label.setFocus()) << "a label takes no focus";
    auto& readOnly = form.add<ui::Edit>("ReadOnly");
    readOnly.setReadOnly(true);
    EXPECT_TRUE(readOnly.userEntered()) << "read-only text can still be selected";
    EXPECT_TRUE(box.setFocus());
    events.clear();
    hotKey.setEnabled(false);
    EXPECT_FALSE(hotKey.userEntered());
    EXPECT_EQ(form.activeControl(), &box);
}

TEST(UiForm, HintsSplitAtTheFirstBarAndReachTheHintDisplayWhenTheyChange) {
    EXPECT_EQ(ui::shortHint(" 释放系统内存"), " 释放系统内存");
    EXPECT_EQ(ui::longHint(" 释放系统内存"), " 释放系统内存");
    EXPECT_EQ(ui::shortHint("Free|Free system memory now"), "Free");
    EXPECT_EQ(ui::longHint("Free|Free system memory now"), "Free system memory now");
    EXPECT_EQ(ui::shortHint("|long only"), "");
    EXPECT_EQ(ui::longHint("short only|"), "");
    EXPECT_EQ(ui::longHint("a|b|c"), "b|c");
    EXPECT_EQ(ui::longHint(""), "");

    RecordingBackend backend;
    ui::Form form(backend);
    form.setHint(" 将光标移动到菜单或按钮上可以查看它的详细说明！");
    auto& panel = form.add<ui::Panel>("Panel");
    auto& button = panel.add<ui::FlatButton>("Recover");
    button.setHint(" 释放系统内存");
    auto& plain = panel.add<ui::CheckBox>("Plain");
    auto& item = form.addComponent<ui::MainMenu>("Menu").add("Exit1", "退出(&X)");
    item.setHint(" 退出 Quillet");

    std::vector<std::string> shown;
    form.onHint = [&](const std::string& hint) { shown.push_back(ui::longHint(hint)); };
    form.userPointedAt(&button);
    form.userPointedAt(&button);
    form.userPointedAt(&plain);
    form.userPointedAt(item);
    form.userPointedAt(nullptr);
    EXPECT_EQ(shown, (Names{" 释放系统内存", " 将光标移动到菜单或按钮上可以查看它的详细说明！", " 退出 Quillet", ""}));
}

TEST(UiForm, ModalDialogEndsByButtonCloseOrScript) {
    RecordingBackend backend;
    ui::Form dialog(backend);
    auto& ok = dialog.add<ui::Button>("OKButton");
    ok.setModalResult(ui::kModalOk);
    auto& cancel = dialog.add<ui::Button>("CancelButton");
    cancel.setModalResult(ui::kModalCancel);
    bool valid = false;
    int okClicks = 0;
    ok.onClick = [&] {
        ++okClicks;
        if (!valid) dialog.setModalResult(ui::kModalNone);  // stays open
    };

    std::vector<int> seen;
    backend.onModal = [&](ui::Form& shown) {
        EXPECT_TRUE(shown.visible());
        EXPECT_TRUE(shown.modal());
        EXPECT_THROW(shown.showModal(), std::logic_error);
        ok.userClicked();
        seen.push_back(shown.modalResult());
        valid = true;
        ok.userClicked();
        seen.push_back(shown.modalResult());
    };
    EXPECT_EQ(dialog.showModal(), ui::kModalOk);
    EXPECT_EQ(seen, (std::vector<int>{ui::kModalNone, ui::kModalOk}));
    EXPECT_EQ(okClicks, 2);
    EXPECT_FALSE(dialog.visible());
    EXPECT_FALSE(dialog.modal());

    backend.onModal = [&](ui::Form&) {};
    EXPECT_EQ(dialog.showModal(), ui::kModalCancel) << "left open: ends as closed";

    ui::CloseAction answer = ui::CloseAction::None;
    dialog.onClose = [&](ui::CloseAction& action) { action = answer; };
    backend.onModal = [&](ui::Form& shown) {
        shown.close();
        seen.push_back(shown.modalResult());
        answer = ui::CloseAction::Hide;
        shown.close();
    };
    seen.clear();
    EXPECT_EQ(dialog.showModal(), ui::kModalCancel);
    EXPECT_EQ(seen, std::vector<int>{ui::kModalNone}) << "the first close was refused";

    backend.onModal = [&](ui::Form&) { throw std::runtime_error("script failed"); };
    EXPECT_THROW(dialog.showModal(), std::runtime_error);
    EXPECT_FALSE(dialog.modal());
    EXPECT_FALSE(dialog.visible());
}

TEST(UiForm, SplashClosedByItsTimerAfterTwoSeconds) {
    RecordingBackend backend;
    ui::Form splash(backend);
    auto& timer = splash.addComponent<ui::Timer>("Timer");
    timer.setEnabled(false);
    timer.onTimer = [&] { splash.close(); };
    timer.setInterval(2000);
    timer.setEnabled(true);

    bool openAfter1999 = false;
    backend.onModal = [&](ui::Form& shown) {
        backend.advance(1999);
        openAfter1999 = shown.modalResult() == ui::kModalNone;
        backend.advance(1);
    };
    EXPECT_EQ(splash.showModal(), ui::kModalCancel);
    EXPECT_TRUE(openAfter1999);
    EXPECT_EQ(backend.now(), 2000u);
}

TEST(UiForm, ClosingAWindowThatRefusesHidesNothing) {
    RecordingBackend backend;
    ui::Form main(backend);
    main.show();
    int closes = 0;
    main.onClose = [&](ui::CloseAction& action) {
        ++closes;
        action = ui::CloseAction::None;
    };
    main.close();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(main.visible()) << "refused: the window stays as it was";

    main.onClose = nullptr;
    main.show();
    main.close();
    EXPECT_FALSE(main.visible()) << "closed: hidden, not destroyed";
}
