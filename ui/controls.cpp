#include "ui/controls.h"

#include <algorithm>
#include <stdexcept>

#include "ui/form.h"

namespace ui {

namespace {

bool isContainerChild(const Control& child) {
    return child.kind() != Kind::TabSheet && child.kind() != Kind::Form;
}

// The first `count` characters of UTF-8 text (a character starts at every byte that is not
// a continuation byte).
std::string firstCharacters(const std::string& text, size_t count) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) {
            if (characters == count) return text.substr(0, i);
            ++characters;
        }
    }
    return text;
}

}  // namespace

// ---- containers ----

bool Panel::acceptsChild(const Control& child) const { return isContainerChild(child); }
bool GroupBox::acceptsChild(const Control& child) const { return isContainerChild(child); }
bool TabSheet::acceptsChild(const Control& child) const { return isContainerChild(child); }

// A sheet is only ever made by its page control (no other control accepts one).
PageControl& TabSheet::pageControl() const { return static_cast<PageControl&>(*parent()); }

int TabSheet::pageIndex() const { return parent() == nullptr ? -1 : pageControl().indexOf(*this); }

void TabSheet::realizeTree(Backend& backend) {
    Component::realizeTree(backend);
    if (parent() == nullptr || pageControl().activePage() == this) realizeChildren(backend);
}

void TabSheet::realizeContents() {
    if (realized() && form() != nullptr) realizeChildren(form()->backend());
}

bool TabSheet::showing() const {
    if (parent() == nullptr) return Control::showing();
    return pageControl().activePage() == this && Control::showing();
}

bool PageControl::acceptsChild(const Control& child) const { return child.kind() == Kind::TabSheet; }

TabSheet& PageControl::addPage(const std::string& name, const std::string& caption) {
    TabSheet& sheet = add<TabSheet>(name);
    sheet.setCaption(caption);
    return sheet;
}

void PageControl::childAdded(Control& child) {
    auto& sheet = static_cast<TabSheet&>(child);
    pages_.push_back(&sheet);
    const Bounds area = displayArea();
    sheet.setBounds(area);
    if (active_ < 0) active_ = 0;  // the layout's starting page; nothing to run or push yet
}

int PageControl::indexOf(const TabSheet& sheet) const {
    const auto it = std::find(pages_.begin(), pages_.end(), &sheet);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

bool PageControl::setActivePageIndex(int index) {
    if (index < -1 || index >= pageCount()) return false;
    if (index >= 0) page(index).realizeContents();  // before it shows
    return applyChange(active_, index, Change::Selection, Origin::Code, onChange);
}

bool PageControl::userChanged(int index) {
    if (!acceptsUserInput()) return false;
    if (index == active_) return false;
    if (index < 0 || index >= pageCount()) {
        push(Change::Selection);  // whatever the tabs show, the held page is the one shown
        return false;
    }
    bool allow = true;
    if (onChanging) {
        const auto handler = onChanging;
        handler(allow);
    }
    if (!allow) {
        push(Change::Selection);
        return false;
    }
    page(index).realizeContents();  // before it shows
    return applyChange(active_, index, Change::Selection, Origin::User, onChange);
}

Bounds PageControl::displayArea() const {
    return Bounds{insetLeft_, insetTop_, width() - insetLeft_ - insetRight_, height() - insetTop_ - insetBottom_};
}

void PageControl::setDisplayArea(const Bounds& area) {
    insetLeft_ = area.left;
    insetTop_ = area.top;
    insetRight_ = width() - area.left - area.width;
    insetBottom_ = height() - area.top - area.height;
    layoutPages();
}

void PageControl::boundsChanged(const Bounds& old) {
    Control::boundsChanged(old);
    layoutPages();
}

void PageControl::rescale(int fromDpi, int toDpi, const Bounds& before) {
    // The frame scales by its edges, as the pages inside it do.
    const Bounds old{insetLeft_, insetTop_, before.width - insetLeft_ - insetRight_,
                     before.height - insetTop_ - insetBottom_};
    const Bounds area = designArea_.rescale(
        old, fromDpi, toDpi, [](const Bounds& b, int to, int from) { return scaledBounds(b, to, from); });
    insetLeft_ = area.left;
    insetTop_ = area.top;
    insetRight_ = width() - area.left - area.width;
    insetBottom_ = height() - area.top - area.height;
}

void PageControl::layoutPages() {
    const Bounds area = displayArea();
    for (TabSheet* sheet : pages_) sheet->setBounds(area);
}

// ---- static controls ----

bool Label::userClicked() {
    if (!acceptsUserInput()) return false;
    run(onClick);
    return true;
}

void LinkLabel::attached() {
    Font f = font();
    f.underline = true;
    setFont(f);
}

StatusBar::StatusBar() {
    setAlign(Align::Bottom);
    setSize(0, 19);
}

void StatusBar::rescale(int fromDpi, int toDpi, const Bounds&) {
    // The panels' edges scale: each ends where it ended.
    std::vector<int> widths;
    for (const Panel& panel : panels_) widths.push_back(panel.width);
    widths = designWidths_.rescale(widths, fromDpi, toDpi, [](const std::vector<int>& from, int to, int fromDpi2) {
        std::vector<int> scaled;
        int left = 0;
        for (int width : from) {
            scaled.push_back(platform::scaledSpan(left, width, to, fromDpi2));
            left += width;
        }
        return scaled;
    });
    for (size_t i = 0; i < panels_.size() && i < widths.size(); ++i) panels_[i].width = widths[i];
}

void StatusBar::addPanel(int width) {
    auto panels = panels_;
    panels.push_back(Panel{"", width});
    setPanels(panels);
}

void StatusBar::setPanelText(int index, const std::string& text) {
    auto panels = panels_;
    panels.at(static_cast<size_t>(index)).text = text;
    setPanels(panels);
}

// ---- buttons ----

void Button::click() {
    if (modalResult_ != kModalNone && form() != nullptr) form()->setModalResult(modalResult_);
    run(onClick);
}

bool Button::userClicked() {
    if (!acceptsUserInput()) return false;
    click();
    return true;
}

bool FlatButton::userClicked() {
    if (!acceptsUserInput()) return false;
    run(onClick);
    return true;
}

// ---- value controls ----

bool CheckBox::userChanged(bool value) {
    if (!acceptsUserInput()) return false;
    return applyChange(checked_, value, Change::Checked, Origin::User, onClick);
}

Edit::Edit() {
    setDefaultTabStop(true);
    setColor(kColorWindow);
}

std::string Edit::validUserText(const std::string& value) const {
    if (maxLength_ <= 0) return value;
    return firstCharacters(value, static_cast<size_t>(maxLength_));
}

int TrackBar::clamp(int value) const { return std::clamp(value, min_, max_); }

bool TrackBar::setPosition(int value) {
    return applyChange(position_, clamp(value), Change::Position, Origin::Code, onChange);
}

bool TrackBar::userChanged(int value) {
    if (!acceptsUserInput()) return false;
    const int valid = clamp(value);
    return applyChange(position_, valid, Change::Position, Origin::User, onChange, valid != value);
}

void TrackBar::setMin(int value) { setRange(value, std::max(value, max_)); }

void TrackBar::setMax(int value) { setRange(std::min(value, min_), value); }

void TrackBar::setRange(int minimum, int maximum) {
    if (maximum < minimum) maximum = minimum;
    if (minimum == min_ && maximum == max_) return;
    min_ = minimum;
    max_ = maximum;
    push(Change::Range);
    rangeChanged();
}

void TrackBar::rangeChanged() {
    applyChange(position_, clamp(position_), Change::Position, Origin::Code, onChange);
}

void TrackBar::setSelection(int start, int end) {
    if (start == selStart_ && end == selEnd_) return;
    selStart_ = start;
    selEnd_ = end;
    push(Change::Range);
}

ComboBox::ComboBox() {
    setDefaultTabStop(true);
    setColor(kColorWindow);
}

int ComboBox::valid(int index) const { return index >= 0 && index < static_cast<int>(items_.size()) ? index : -1; }

void ComboBox::setItems(const std::vector<std::string>& value) {
    if (value == items_) return;
    items_ = value;
    push(Change::Items);
    applyChange(itemIndex_, valid(itemIndex_), Change::Selection, Origin::Code, ChangeHandler<int>());
}

bool ComboBox::setItemIndex(int value) {
    return applyChange(itemIndex_, valid(value), Change::Selection, Origin::Code, ChangeHandler<int>());
}

bool ComboBox::userChanged(int index) {
    if (!acceptsUserInput()) return false;
    if (valid(index) != index || index < 0) {
        push(Change::Selection);  // no such item: the list shows the held selection again
        return false;
    }
    return applyChange(itemIndex_, index, Change::Selection, Origin::User, onChange);
}

std::string ComboBox::selectedText() const {
    return itemIndex_ < 0 ? std::string() : items_[static_cast<size_t>(itemIndex_)];
}

int RadioGroup::clamp(int value) const {
    return std::clamp(value, -1, static_cast<int>(items_.size()) - 1);
}

void RadioGroup::setItems(const std::vector<std::string>& value) {
    if (value == items_) return;
    items_ = value;
    push(Change::Items);
    applyChange(itemIndex_, clamp(itemIndex_), Change::Selection, Origin::Code, onClick);
}

bool RadioGroup::setItemIndex(int value) {
    return applyChange(itemIndex_, clamp(value), Change::Selection, Origin::Code, onClick);
}

bool RadioGroup::userChanged(int index) {
    if (!acceptsUserInput()) return false;
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        push(Change::Selection);
        return false;
    }
    return applyChange(itemIndex_, index, Change::Selection, Origin::User, onClick);
}

// ---- hot-key box ----

namespace {

constexpr uint16_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;
constexpr uint16_t kVkLeftWin = 0x5B, kVkRightWin = 0x5C;
constexpr uint16_t kVkLeftShift = 0xA0, kVkRightMenu = 0xA5;

bool isModifierKey(uint16_t key) {
    return key == kVkShift || key == kVkControl || key == kVkMenu || key == kVkLeftWin || key == kVkRightWin ||
           (key >= kVkLeftShift && key <= kVkRightMenu);
}

// Keys the Windows hot-key control marks as extended: the navigation block, the keypad's
// divide key, the application key and Num Lock.
bool isExtendedKey(uint16_t key) {
    return (key >= 0x21 && key <= 0x28) || key == 0x2D || key == 0x2E || key == 0x5D || key == 0x6F || key == 0x90;
}

constexpr uint16_t kHotKeyShift = 0x01, kHotKeyControl = 0x02, kHotKeyAlt = 0x04, kHotKeyExtended = 0x08;

}  // namespace

HotKeyBox::HotKeyBox() {
    setDefaultTabStop(true);
    setColor(kColorWindow);
}

Shortcut HotKeyBox::applyRule(Shortcut typed) {
    const Shortcut key = typed & kShortcutKeyMask;
    if (key == 0 || key > 0xFF || isModifierKey(key)) return 0;
    Shortcut modifiers = typed & static_cast<Shortcut>(~kShortcutKeyMask);
    if ((modifiers & (kShortcutCtrl | kShortcutAlt)) == 0) modifiers = kShortcutCtrl | kShortcutAlt;
    return static_cast<Shortcut>(modifiers | key);
}

bool HotKeyBox::userChanged(Shortcut typed) {
    if (!acceptsUserInput()) return false;
    const Shortcut valid = applyRule(typed);
    return applyChange(shortcut_, valid, Change::Shortcut, Origin::User, onChange, valid != typed);
}

uint16_t HotKeyBox::toHotKeyControlValue(Shortcut shortcut) {
    const uint16_t key = shortcut & kShortcutKeyMask;
    if (key == 0 || key > 0xFF) return 0;
    uint16_t flags = 0;
    if ((shortcut & kShortcutShift) != 0) flags |= kHotKeyShift;
    if ((shortcut & kShortcutCtrl) != 0) flags |= kHotKeyControl;
    if ((shortcut & kShortcutAlt) != 0) flags |= kHotKeyAlt;
    if (isExtendedKey(key)) flags |= kHotKeyExtended;
    return static_cast<uint16_t>(flags << 8 | key);
}

Shortcut HotKeyBox::fromHotKeyControlValue(uint16_t value) {
    const uint16_t key = value & 0xFF;
    if (key == 0) return 0;
    const uint16_t flags = value >> 8;
    Shortcut shortcut = key;
    if ((flags & kHotKeyShift) != 0) shortcut |= kShortcutShift;
    if ((flags & kHotKeyControl) != 0) shortcut |= kShortcutCtrl;
    if ((flags & kHotKeyAlt) != 0) shortcut |= kShortcutAlt;
    return shortcut;
}

}  // namespace ui
