#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "ui/component.h"
#include "ui/controls.h"

// The main window as data: every control of TQuilletForm with its kind, place, design values,
// texts and the names of the handlers it is bound to, and the items of the two menus. The
// control layer builds the window from these tables; nothing here knows how a control is drawn.
//
// Coordinates are design pixels relative to the parent's client area (inside a group box:
// relative to the box). A width or height of 0 means the control sizes itself to its text
// (labels). Texts are UTF-8; the Win32 side converts them to the Chinese code page.
namespace mainwindow {

// Names of the components that are not controls of the tables below.
inline constexpr const char* kMainFormName = "QuilletForm";
inline constexpr const char* kMainMenuName = "MainMenu1";
inline constexpr const char* kTrayMenuName = "TrayPopupMenu";

// The ownership notice of the About page; window creation puts it into CopyRightAboutLabel.
inline constexpr const char* kOwnershipNotice = "版权所有 (C) Quillet 开发组。保留所有权利。";

// Controls that hold other controls.
bool isContainer(ui::Kind kind);

// What a paint box of the tables shows: one of the program's drawings.
enum class Drawing { None, GradientBar, PerformanceGraph };

// A colour with the top bit set names a system colour by its GetSysColor index (low byte), as
// the control layer's colours do; any other value is a fixed 0x00BBGGRR colour.
using ui::isSystemColor;
using ui::kSystemColorFlag;
constexpr platform::Color systemColor(unsigned index) { return kSystemColorFlag | index; }
constexpr unsigned systemColorIndex(platform::Color color) { return color & 0xFFu; }
inline constexpr platform::Color kWindowTextColor = ui::kColorWindowText;
inline constexpr platform::Color kButtonFaceColor = ui::kColorButtonFace;

inline constexpr platform::Color kBlack = ui::kColorBlack;
inline constexpr platform::Color kWhite = ui::kColorWhite;
inline constexpr platform::Color kLime = ui::kColorLime;
inline constexpr platform::Color kYellow = ui::kColorYellow;
inline constexpr platform::Color kRed = ui::kColorRed;
inline constexpr platform::Color kBlue = 0xFF0000;
inline constexpr platform::Color kOlive = ui::kColorOlive;
inline constexpr platform::Color kGrey = ui::kColorGray;

struct ControlLayout {
    std::string name;
    ui::Kind kind = ui::Kind::Label;  // paint boxes: `drawing` says which drawing they host
    std::string parent;  // empty only for the form

    int left = 0;
    int top = 0;
    int width = 0;   // 0: sized to the text
    int height = 0;  // 0: sized to the text
    ui::Align align = ui::Align::None;
    ui::Anchors anchors;  // left and top

    std::string text;  // caption, or an edit's design text
    // Hint as written, leading blanks included; a "|" would separate the short part (tool tip)
    // from the long part (hint panel), and without one both are the whole text.
    std::string hint;
    int tabOrder = -1;  // position in the parent's tab sequence; -1: not a tab stop

    std::optional<ui::Font> font;          // empty: the parent's font
    std::optional<platform::Color> color;  // background; empty: the parent's or the kind's own
    bool enabled = true;
    bool visible = true;

    // Labels and panels.
    ui::TextAlignment alignment = ui::TextAlignment::Left;
    bool wordWrap = false;
    ui::BevelCut bevel = ui::BevelCut::None;  // panels' outer bevel (None: flat) and bevels' cut

    bool checked = false;  // check boxes
    int maxLength = 0;     // edits; 0: no limit

    // Drop-down lists and radio groups: items and selection (-1: none). Page control: the
    // page shown first. Radio group: columns.
    std::vector<std::string> items;
    int itemIndex = -1;
    int columns = 1;

    // Track bars and gradient bars.
    int minimum = 0;
    int maximum = 10;
    int position = 0;
    int pageSize = 2;
    ui::TickStyle tickStyle = ui::TickStyle::Auto;  // None draws none; Auto one per step of the range
    ui::TickMarks tickMarks = ui::TickMarks::BottomRight;
    int thumbLength = 20;

    // Gradient bars (the background is `color`).
    platform::Color startColor = kBlue;
    platform::Color endColor = kRed;
    bool showPercent = true;
    bool centerText = false;

    Drawing drawing = Drawing::None;  // paint boxes

    // The performance graph.
    int gridSize = 0;
    int stepSize = 0;
    int scale = 0;
    int gradient = 0;
    int penWidth = 0;

    uint16_t hotKey = 0;          // hot-key boxes: bits 0-12 key, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt
    std::string picture;          // pictures and flat buttons: a name of app::resources::, empty for none
    std::vector<int> panelWidths;  // status bar panels
    int interval = 0;             // timers, milliseconds

    // Names of the TQuilletForm handlers bound to the control's events; empty: not bound.
    std::string onClick;
    std::string onChange;
    std::string onEnter;
    std::string onChanging;  // page control: asked before the page changes
    std::string onTimer;
    std::string onCreate;  // form
    std::string onClose;   // form
    std::string onResize;  // form
};

struct MenuItemLayout {
    std::string name;
    std::string parent;  // the menu's name (kMainMenuName, kTrayMenuName) or a submenu item
    std::string caption;  // "&" marks the access letter; "-" for a separator
    std::string hint;
    std::string onClick;
    bool separator = false;
    bool isDefault = false;  // shown bold; the tray icon's double click does the same
    bool checked = false;
    bool enabled = true;
};

// The form first, then every control after its parent; a parent's children in creation order
// (the pages of the page control in page order).
const std::vector<ControlLayout>& mainFormControls();
// The same rows in the same order, each made as it is visited and gone after: the window is
// built from these, so that no table of some 100 KB is ever held (its block, freed in the middle
// of the heap below the controls made from it, would stay committed for the whole run).
void forEachControl(const std::function<void(const ControlLayout&)>& visit);
// MainMenu1: the four menus and their items, each submenu after its parent.
const std::vector<MenuItemLayout>& mainMenuItems();
// TrayPopupMenu, shown by the tray icon.
const std::vector<MenuItemLayout>& trayMenuItems();
// The tables are made on first use and kept until this drops them (the window, once built and
// bound, needs them no more); a later use makes them anew. References and pointers into them
// are invalid afterwards.
void releaseLayoutTables();

// Lookups by name; null when there is no such control or item (menus: either menu).
const ControlLayout* findControl(std::string_view name);
const MenuItemLayout* findMenuItem(std::string_view name);
// Direct children in table order.
std::vector<const ControlLayout*> childControls(std::string_view parent);
std::vector<const MenuItemLayout*> childMenuItems(std::string_view parent);

}  // namespace mainwindow
