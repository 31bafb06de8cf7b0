#pragma once
// The standard controls. Each follows the control-change rule of ui/component.h; the notes
// here say only what each kind adds to it.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/component.h"

namespace ui {

enum class TextAlignment { Left, Right, Center };

// ---- containers ----

enum class BevelCut { None, Lowered, Raised };
enum class BorderLine { None, Single };

class Panel : public Control {
public:
    Panel() { setParentColor(false); }
    Kind kind() const override { return Kind::Panel; }
    bool windowed() const override { return true; }

    BevelCut bevelOuter() const { return bevelOuter_; }
    void setBevelOuter(BevelCut value) { applyState(bevelOuter_, value, Change::Appearance); }
    BevelCut bevelInner() const { return bevelInner_; }
    void setBevelInner(BevelCut value) { applyState(bevelInner_, value, Change::Appearance); }
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int value) { applyState(bevelWidth_, value < 1 ? 1 : value, Change::Appearance); }
    BorderLine borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderLine value) { applyState(borderStyle_, value, Change::Appearance); }
    // Where the caption stands (always centred vertically).
    TextAlignment alignment() const { return alignment_; }
    void setAlignment(TextAlignment value) { applyState(alignment_, value, Change::Appearance); }

protected:
    bool acceptsChild(const Control& child) const override;

private:
    BevelCut bevelOuter_ = BevelCut::Raised;
    BevelCut bevelInner_ = BevelCut::None;
    int bevelWidth_ = 1;
    BorderLine borderStyle_ = BorderLine::None;
    TextAlignment alignment_ = TextAlignment::Center;
};

class GroupBox : public Control {
public:
    Kind kind() const override { return Kind::GroupBox; }
    bool windowed() const override { return true; }

protected:
    bool acceptsChild(const Control& child) const override;
};

class PageControl;

// One page of a page control; its caption is the tab's text. It fills the page control's
// display area and shows only while it is the active page.
class TabSheet : public Control {
public:
    Kind kind() const override { return Kind::TabSheet; }
    bool windowed() const override { return true; }
    bool showing() const override;

    PageControl& pageControl() const;
    int pageIndex() const;
    // Realises the controls on the sheet, if the sheet is realised (once).
    void realizeContents();

protected:
    bool acceptsChild(const Control& child) const override;
    // The sheet's own window at once, the controls on it when it is first shown: pages the
    // user never opens cost nothing at start-up.
    void realizeTree(Backend& backend) override;
};

enum class TabStyle { Tabs, Buttons, FlatButtons };

// Pages under tabs. The active page is under the rule: set from code (-1 … pages-1; other
// values change nothing) it runs onChange when it changes, and never asks onChanging. A
// user's choice first asks onChanging, which may refuse it: the page stays and the peer is
// told to show it again. The first page added becomes the active page, as the layout's
// starting state (no handler).
class PageControl : public Control {
public:
    Kind kind() const override { return Kind::PageControl; }
    bool windowed() const override { return true; }
    PageControl() { setDefaultTabStop(true); }

    TabSheet& addPage(const std::string& name, const std::string& caption);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    TabSheet& page(int index) const { return *pages_.at(static_cast<size_t>(index)); }
    int indexOf(const TabSheet& sheet) const;

    int activePageIndex() const { return active_; }
    TabSheet* activePage() const { return active_ < 0 ? nullptr : pages_[static_cast<size_t>(active_)]; }
    bool setActivePageIndex(int index);
    bool setActivePage(TabSheet& sheet) { return setActivePageIndex(indexOf(sheet)); }
    // The user picked the tab of page `index`.
    bool userChanged(int index);

    TabStyle tabStyle() const { return tabStyle_; }
    void setTabStyle(TabStyle value) { applyState(tabStyle_, value, Change::TabStyle); }

    // The part of the control the pages fill, in its client coordinates. Until the backend
    // tells the real one (it depends on the tab style and font), the tabs are taken to be
    // 24 pixels high above a 4-pixel frame.
    Bounds displayArea() const;
    void setDisplayArea(const Bounds& area);

    std::function<void(bool& allowChange)> onChanging;
    ChangeHandler<int> onChange;  // told the active page's index

protected:
    bool acceptsChild(const Control& child) const override;
    void childAdded(Control& child) override;
    void boundsChanged(const Bounds& old) override;
    void rescale(int fromDpi, int toDpi, const Bounds& before) override;

private:
    void layoutPages();

    std::vector<TabSheet*> pages_;
    int active_ = -1;
    TabStyle tabStyle_ = TabStyle::Tabs;
    // Frame widths between the control's edges and its display area.
    int insetLeft_ = 4, insetTop_ = 28, insetRight_ = 4, insetBottom_ = 4;
    platform::DesignScaled<Bounds> designArea_;  // the frame's inner edges, as designed
};

// ---- static controls ----

// Text on the parent's background. A label takes clicks (the link label's purpose) but no
// focus.
class Label : public Control {
public:
    Kind kind() const override { return Kind::Label; }

    TextAlignment alignment() const { return alignment_; }
    void setAlignment(TextAlignment value) { applyState(alignment_, value, Change::Appearance); }
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool value) { applyState(wordWrap_, value, Change::Appearance); }
    // Sizes itself to its text: the backend measures it and reports the size through
    // boundsFromSystem().
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool value) { applyState(autoSize_, value, Change::Appearance); }

    // Runs onClick as a user's click does.
    void click() { run(onClick); }
    bool userClicked();
    Handler onClick;

private:
    TextAlignment alignment_ = TextAlignment::Left;
    bool wordWrap_ = false;
    bool autoSize_ = true;
};

// A label shown as a web link: underlined, with the hand cursor.
class LinkLabel : public Label {
public:
    LinkLabel() { setCursor(Cursor::Hand); }
    Kind kind() const override { return Kind::LinkLabel; }

protected:
    // Takes its container's font, underlined.
    void attached() override;
};

// A picture named by its resource id.
class Picture : public Control {
public:
    Kind kind() const override { return Kind::Picture; }

    const std::string& picture() const { return picture_; }
    void setPicture(const std::string& id) { applyState(picture_, id, Change::Appearance); }
    // Sizes itself to its picture (reported by the backend through boundsFromSystem()).
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool value) { applyState(autoSize_, value, Change::Appearance); }
    bool stretch() const { return stretch_; }
    void setStretch(bool value) { applyState(stretch_, value, Change::Appearance); }
    bool center() const { return center_; }
    void setCenter(bool value) { applyState(center_, value, Change::Appearance); }

private:
    std::string picture_;
    bool autoSize_ = false;
    bool stretch_ = false;
    bool center_ = false;
};

enum class BevelShape { Box, Frame, TopLine, BottomLine, LeftLine, RightLine, Spacer };

// An etched box or line.
class Bevel : public Control {
public:
    Kind kind() const override { return Kind::Bevel; }
    BevelShape shape() const { return shape_; }
    void setShape(BevelShape value) { applyState(shape_, value, Change::Appearance); }
    BevelCut style() const { return style_; }
    void setStyle(BevelCut value) { applyState(style_, value, Change::Appearance); }

private:
    BevelShape shape_ = BevelShape::Box;
    BevelCut style_ = BevelCut::Lowered;
};

// A strip of panels along the bottom of its form: docked at the bottom, 19 pixels high.
class StatusBar : public Control {
public:
    struct Panel {
        std::string text;
        int width = 50;
        bool operator==(const Panel& o) const { return text == o.text && width == o.width; }
    };

    StatusBar();
    Kind kind() const override { return Kind::StatusBar; }
    bool windowed() const override { return true; }

    const std::vector<Panel>& panels() const { return panels_; }
    void setPanels(const std::vector<Panel>& value) { applyState(panels_, value, Change::Items); }
    void addPanel(int width);
    // Throws std::out_of_range for a panel it does not have.
    void setPanelText(int index, const std::string& text);
    bool sizeGrip() const { return sizeGrip_; }
    void setSizeGrip(bool value) { applyState(sizeGrip_, value, Change::Appearance); }

protected:
    void rescale(int fromDpi, int toDpi, const Bounds& before) override;

private:
    std::vector<Panel> panels_;
    platform::DesignScaled<std::vector<int>> designWidths_;  // the panels' widths, as designed
    bool sizeGrip_ = true;
};

// ---- buttons ----

// A push button. click() from code and the user's click run onClick alike. A button with a
// modal result gives it to its form first (ending a modal dialog); onClick may set the
// form's result back to none to keep the dialog open.
class Button : public Control {
public:
    Button() { setDefaultTabStop(true); }
    Kind kind() const override { return Kind::Button; }
    bool windowed() const override { return true; }

    int modalResult() const { return modalResult_; }
    void setModalResult(int value) { modalResult_ = value; }
    // Enter presses the default button of a dialog, Escape its cancel button.
    bool isDefault() const { return default_; }
    void setDefault(bool value) { applyState(default_, value, Change::Appearance); }
    bool cancel() const { return cancel_; }
    void setCancel(bool value) { applyState(cancel_, value, Change::Appearance); }

    void click();
    bool userClicked();
    Handler onClick;

private:
    int modalResult_ = 0;
    bool default_ = false;
    bool cancel_ = false;
};

// A flat button with a picture (its glyph, named by resource id) beside the caption. It takes
// no focus.
class FlatButton : public Control {
public:
    Kind kind() const override { return Kind::FlatButton; }

    const std::string& glyph() const { return glyph_; }
    void setGlyph(const std::string& id) { applyState(glyph_, id, Change::Appearance); }
    bool flat() const { return flat_; }
    void setFlat(bool value) { applyState(flat_, value, Change::Appearance); }

    void click() { run(onClick); }
    bool userClicked();
    Handler onClick;

private:
    std::string glyph_;
    bool flat_ = true;
};

// ---- value controls ----

// Checked state under the rule; onClick is its handler (the check box's "click").
class CheckBox : public Control {
public:
    CheckBox() { setDefaultTabStop(true); }
    Kind kind() const override { return Kind::CheckBox; }
    bool windowed() const override { return true; }

    bool checked() const { return checked_; }
    bool setChecked(bool value) { return applyChange(checked_, value, Change::Checked, Origin::Code, onClick); }
    // The user ticked or cleared the box.
    bool userChanged(bool value);
    ChangeHandler<bool> onClick;  // told the checked state

private:
    bool checked_ = false;
};

// One-line text under the rule (onChange). The maximum length, in characters, limits what
// the user types (0: no limit); text set from code is taken whole, as Windows' edit takes it.
class Edit : public Control {
public:
    Edit();
    Kind kind() const override { return Kind::Edit; }
    bool windowed() const override { return true; }

    int maxLength() const { return maxLength_; }
    void setMaxLength(int value) { applyState(maxLength_, value < 0 ? 0 : value, Change::Appearance); }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool value) { applyState(readOnly_, value, Change::Appearance); }

    // The text the user's typing left in the box (cut to the maximum length).
    bool userChanged(const std::string& text) { return changeText(text, Origin::User); }
    ChangeHandler<std::string> onChange;  // told the text
    // Selects the whole text (after a correction, so the user's next key replaces it).
    void selectAll() { push(Change::Selection); }

protected:
    const ChangeHandler<std::string>* textHandler() const override { return &onChange; }
    std::string validUserText(const std::string& value) const override;
    bool acceptsUserInput() const override { return !readOnly_ && Control::acceptsUserInput(); }

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
};

enum class Orientation { Horizontal, Vertical };
enum class TickStyle { None, Auto, Manual };
enum class TickMarks { BottomRight, TopLeft, Both };

// Position under the rule (onChange), clamped to min … max first. Changing the range clamps
// the position and runs onChange only if that moved it. A new minimum above the maximum
// takes the maximum with it, a new maximum below the minimum the minimum.
class TrackBar : public Control {
public:
    TrackBar() { setDefaultTabStop(true); }
    Kind kind() const override { return Kind::TrackBar; }
    bool windowed() const override { return true; }

    int min() const { return min_; }
    int max() const { return max_; }
    int position() const { return position_; }
    void setMin(int value);
    void setMax(int value);
    void setRange(int minimum, int maximum);
    bool setPosition(int value);
    // The user dragged the thumb or used the keys.
    bool userChanged(int value);

    int pageSize() const { return pageSize_; }
    void setPageSize(int value) { applyState(pageSize_, value, Change::Range); }
    int lineSize() const { return lineSize_; }
    void setLineSize(int value) { applyState(lineSize_, value, Change::Range); }
    int frequency() const { return frequency_; }
    void setFrequency(int value) { applyState(frequency_, value < 1 ? 1 : value, Change::Range); }
    int selStart() const { return selStart_; }
    int selEnd() const { return selEnd_; }
    void setSelection(int start, int end);

    TickStyle tickStyle() const { return tickStyle_; }
    void setTickStyle(TickStyle value) { applyState(tickStyle_, value, Change::Appearance); }
    TickMarks tickMarks() const { return tickMarks_; }
    void setTickMarks(TickMarks value) { applyState(tickMarks_, value, Change::Appearance); }
    int thumbLength() const { return thumbLength_; }
    void setThumbLength(int value) { applyState(thumbLength_, value, Change::Appearance); }
    Orientation orientation() const { return orientation_; }
    void setOrientation(Orientation value) { applyState(orientation_, value, Change::Appearance); }

    ChangeHandler<int> onChange;  // told the position

protected:
    void rescale(int fromDpi, int toDpi, const Bounds&) override {
        thumbLength_ = designThumbLength_.rescale(thumbLength_, fromDpi, toDpi, platform::kScaleLength);
    }

private:
    int clamp(int value) const;
    void rangeChanged();

    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int pageSize_ = 2;
    int lineSize_ = 1;
    int frequency_ = 1;
    int selStart_ = 0;
    int selEnd_ = 0;
    TickStyle tickStyle_ = TickStyle::Auto;
    TickMarks tickMarks_ = TickMarks::BottomRight;
    int thumbLength_ = 20;
    platform::DesignScaled<int> designThumbLength_;
    Orientation orientation_ = Orientation::Horizontal;
};

// A drop-down list to choose one item from. Its selection set from code runs no handler;
// an index outside the items means no selection (-1). The user's choice of an item runs
// onChange; a user cannot choose no item.
class ComboBox : public Control {
public:
    ComboBox();
    Kind kind() const override { return Kind::ComboBox; }
    bool windowed() const override { return true; }

    const std::vector<std::string>& items() const { return items_; }
    // New items; a selection they no longer hold becomes -1 (silently).
    void setItems(const std::vector<std::string>& value);
    int itemIndex() const { return itemIndex_; }
    bool setItemIndex(int value);
    // The user chose item `index`.
    bool userChanged(int index);
    // The selected item's text, or "".
    std::string selectedText() const;

    ChangeHandler<int> onChange;  // told the chosen index

private:
    int valid(int index) const;

    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

// Radio buttons in a captioned frame, laid out in columns. The index is under the rule
// (onClick), clamped to -1 … items-1 first; new items clamp it the same way.
class RadioGroup : public Control {
public:
    RadioGroup() { setDefaultTabStop(true); }
    Kind kind() const override { return Kind::RadioGroup; }
    bool windowed() const override { return true; }

    const std::vector<std::string>& items() const { return items_; }
    void setItems(const std::vector<std::string>& value);
    int columns() const { return columns_; }
    // At least 1.
    void setColumns(int value) { applyState(columns_, value < 1 ? 1 : value, Change::Appearance); }
    int itemIndex() const { return itemIndex_; }
    bool setItemIndex(int value);
    // The user chose button `index` (outside the items: refused).
    bool userChanged(int index);

    ChangeHandler<int> onClick;  // told the index

private:
    int clamp(int value) const;

    std::vector<std::string> items_;
    int columns_ = 1;
    int itemIndex_ = -1;
};

// ---- hot-key box ----

// A key combination in the program's 16-bit form: bits 0 to 12 the virtual-key code,
// 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt. 0 is no combination.
using Shortcut = uint16_t;
constexpr Shortcut kShortcutKeyMask = 0x1FFF;
constexpr Shortcut kShortcutShift = 0x2000;
constexpr Shortcut kShortcutCtrl = 0x4000;
constexpr Shortcut kShortcutAlt = 0x8000;

// A box that captures a key combination. What the user types follows the box's rule: a key
// with no modifier, or with Shift alone, is taken as Ctrl+Alt plus that key; a modifier key
// by itself (or no key) leaves the box empty. Combinations set from code are held as given.
// The combination is under the control-change rule (onChange); onEnter runs when the box
// gains the focus. A backend gives its real control the same rule, so that what the control
// shows while the user types already follows it.
class HotKeyBox : public Control {
public:
    HotKeyBox();
    Kind kind() const override { return Kind::HotKeyBox; }
    bool windowed() const override { return true; }

    Shortcut shortcut() const { return shortcut_; }
    bool setShortcut(Shortcut value) { return applyChange(shortcut_, value, Change::Shortcut, Origin::Code, onChange); }
    // The combination the user typed, before the box's rule.
    bool userChanged(Shortcut typed);
    ChangeHandler<Shortcut> onChange;  // told the combination

    // The box's rule applied to a typed combination.
    static Shortcut applyRule(Shortcut typed);

    // The Windows hot-key control's own 16-bit form: the virtual key in the low byte, in the
    // high byte 1 Shift, 2 Ctrl, 4 Alt, 8 extended key (the navigation keys, which it would
    // otherwise show as keypad keys). 0 for a key code that does not fit a byte.
    static uint16_t toHotKeyControlValue(Shortcut shortcut);
    static Shortcut fromHotKeyControlValue(uint16_t value);

private:
    Shortcut shortcut_ = 0;
};

}  // namespace ui
