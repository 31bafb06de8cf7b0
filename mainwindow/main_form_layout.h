#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

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

enum class ControlKind {
    Form,
    PageControl,
    TabSheet,
    Panel,
    GroupBox,
    Label,
    LinkLabel,  // a label that opens a link: hand cursor, click handler
    Button,      // a plain push button that never takes the focus
    FlatButton,  // a flat button with an optional picture; never takes the focus
    CheckBox,
    Edit,
    TrackBar,
    DropDownList,  // a combo box whose text is only chosen from its items
    RadioGroup,
    HotKey,  // takes only combinations with Ctrl or Alt; others become Ctrl+Alt plus the key
    Picture,
    Bevel,
    StatusBar,
    GradientBar,       // widgets::TGradient
    PerformanceGraph,  // widgets::TPerformanceGraph
    Timer,
};

// Controls that hold other controls.
bool isContainer(ControlKind kind);
const char* kindName(ControlKind kind);

// Anchors: the edges of the parent that a control keeps its distance to when the parent grows.
enum Anchor : unsigned {
    kAnchorLeft = 1,
    kAnchorTop = 2,
    kAnchorRight = 4,
    kAnchorBottom = 8,
    kAnchorsAll = 15,
};

// A control that fills a side of its parent (or all of it) instead of keeping its bounds.
enum class Align { None, Top, Bottom, Left, Right, Client };
// Horizontal placement of a label's or panel's text.
enum class TextAlign { Left, Right, Center };
enum class BevelStyle { None, Raised, Lowered };
// Track-bar ticks: None draws none; Auto draws one per step of the range.
enum class TickStyle { None, Auto };
enum class TickMarks { BottomRight, TopLeft, Both };

// A colour with the top bit set names a system colour by its GetSysColor index (low byte), as
// the control layer's colours do; any other value is a fixed 0x00BBGGRR colour.
inline constexpr platform::Color kSystemColorFlag = 0x80000000u;
constexpr platform::Color systemColor(unsigned index) { return kSystemColorFlag | index; }
constexpr bool isSystemColor(platform::Color color) { return (color & kSystemColorFlag) != 0; }
constexpr unsigned systemColorIndex(platform::Color color) { return color & 0xFFu; }
inline constexpr platform::Color kWindowTextColor = systemColor(8);  // COLOR_WINDOWTEXT
inline constexpr platform::Color kButtonFaceColor = systemColor(15);  // COLOR_BTNFACE

inline constexpr platform::Color kBlack = 0x000000;
inline constexpr platform::Color kWhite = 0xFFFFFF;
inline constexpr platform::Color kLime = 0x00FF00;
inline constexpr platform::Color kYellow = 0x00FFFF;
inline constexpr platform::Color kRed = 0x0000FF;
inline constexpr platform::Color kBlue = 0xFF0000;
inline constexpr platform::Color kOlive = 0x008080;
inline constexpr platform::Color kGrey = 0x808080;

struct FontLayout {
    std::string face = "宋体";
    int height = -12;  // negative: character height in pixels (-12 is 9 points at 96 dpi)
    bool bold = false;
    bool underline = false;
    platform::Color color = kWindowTextColor;

    // The drawing font of the canvas (which has no underline).
    platform::Font toFont() const { return platform::Font{face, height, bold, color}; }
    bool operator==(const FontLayout& o) const {
        return face == o.face && height == o.height && bold == o.bold && underline == o.underline &&
               color == o.color;
    }
};

struct ControlLayout {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string parent;  // empty only for the form

    int left = 0;
    int top = 0;
    int width = 0;   // 0: sized to the text
    int height = 0;  // 0: sized to the text
    Align align = Align::None;
    unsigned anchors = kAnchorLeft | kAnchorTop;

    std::string text;  // caption, or an edit's design text
    // Hint as written, leading blanks included; a "|" would separate the short part (tool tip)
    // from the long part (hint panel), and without one both are the whole text.
    std::string hint;
    int tabOrder = -1;  // position in the parent's tab sequence; -1: not a tab stop

    std::optional<FontLayout> font;      // empty: the parent's font
    std::optional<platform::Color> color;  // background; empty: the parent's or the kind's own
    bool enabled = true;
    bool visible = true;

    // Labels and panels.
    TextAlign alignment = TextAlign::Left;
    bool wordWrap = false;
    BevelStyle bevel = BevelStyle::None;  // panels' outer bevel (None: flat) and bevels' cut

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
    TickStyle tickStyle = TickStyle::Auto;
    TickMarks tickMarks = TickMarks::BottomRight;
    int thumbLength = 20;

    // Gradient bars (the background is `color`).
    platform::Color startColor = kBlue;
    platform::Color endColor = kRed;
    bool showPercent = true;
    bool centerText = false;

    // The performance graph.
    int gridSize = 0;
    int stepSize = 0;
    int scale = 0;
    int gradient = 0;
    int penWidth = 0;

    uint16_t hotKey = 0;          // hot-key boxes: bits 0-12 key, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt
    std::string picture;          // pictures and flat buttons: a name of resources::, empty for none
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
// MainMenu1: the four menus and their items, each submenu after its parent.
const std::vector<MenuItemLayout>& mainMenuItems();
// TrayPopupMenu, shown by the tray icon.
const std::vector<MenuItemLayout>& trayMenuItems();

// Lookups by name; null when there is no such control or item (menus: either menu).
const ControlLayout* findControl(std::string_view name);
const MenuItemLayout* findMenuItem(std::string_view name);
// Direct children in table order.
std::vector<const ControlLayout*> childControls(std::string_view parent);
std::vector<const MenuItemLayout*> childMenuItems(std::string_view parent);

}  // namespace mainwindow
