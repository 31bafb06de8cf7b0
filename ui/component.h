#pragma once
// The control-change rule
// =======================
// Every control that holds a value follows one rule, carried out in one place
// (Component::applyChange below):
//
//   * Setting a value from code runs the control's change or click handler exactly as a
//     user's change would, but only when the value actually changes. Setting the value the
//     control already holds does nothing at all: no handler, nothing sent to the window.
//   * The value is made valid before it is compared: a track bar clamps a position to its
//     range, a radio group clamps an index to -1 ... items-1, a drop-down list takes any index
//     outside its items as -1 (no selection). Changing a track bar's range or a list's items
//     clamps the held value the same way, and runs the handler only when that moved it (the
//     drop-down list's none).
//   * The exception: a drop-down list's selection set from code runs no handler (a user's
//     choice does).
//   * The order is always: store the new value, mirror it to the real window (a change from
//     code only), run the handler. A handler therefore sees the new value everywhere, and a
//     handler that sets the same control again (an edit writing back a clamped number)
//     simply starts the rule anew.
//   * A change handler is told the value the control now holds (ChangeHandler below): a
//     check box its checked state, an edit its text, a track bar its position, a radio group
//     or drop-down list its index, a page control its active page, a hot-key box its
//     combination. It is the valid value (clamped, cut), a copy taken before the handler runs,
//     so a handler that sets the control again still holds what it was told. A handler that
//     needs no value may be written without one. Clicks tell nothing.
//
// The values under the rule: edit text, check-box state, track-bar position, radio-group
// index, drop-down selection, hot-key combination, active page, and clicks (buttons, flat
// buttons, labels and menu items, whose click() from code runs onClick as a user's click).
// Everything else (captions, bounds, colours, enabled, ...) is plain state: stored and
// mirrored when it differs, and no handler runs.
//
// Mirroring to real windows
// =========================
// A control is portable state. A Backend mirrors it: when a form is realised, the backend
// creates one Peer per component (form, control, menu, menu item, timer), parents before
// children; the peer creates the real window and shows the component's full current state.
// From then on every change made from code is pushed to the peer with Peer::update(what),
// after the new state is stored. Peers are destroyed children first, before their
// components. Without a backend's peer (headless) nothing is mirrored and nothing else
// changes.
//
// User input comes back through one entry point per kind:
//   userChanged(value)  check box, edit, track bar, drop-down list, radio group, hot-key box,
//                       page control (which first asks onChanging)
//   userClicked()       button, flat button, label and link label, menu item
//   userEntered()       any windowed control gaining the focus (onExit, onEnter)
//   boundsFromSystem()  any control the system sized or moved (the user resizing the window)
//   Form::close()       the title-bar close; Form::userPointedAt() the mouse over a control or
//                       menu item (the hint display); Timer::elapsed() a timer's tick
// Each entry point makes the reported value valid, stores it and runs the same handler as a
// change from code, once, and only when the value changed.
// It does not push the value back, since the real window already shows it, unless making it
// valid altered it or the change was refused, in which case the peer is told to show the
// held state again.
//
// A change from code must not run its handler twice: when a peer pushes a value, the real
// control may notify its parent as if the user had changed it (an edit's EN_CHANGE after
// WM_SETTEXT). Such an echo is harmless twice over: the portable state already holds the
// pushed value, so the reported value is equal and runs nothing; and while a push is under
// way the component refuses every user entry point (pushing() is true). A user entry point
// is likewise refused while the control cannot take input: disabled or hidden, itself or
// any container around it, or on a page that is not the active one.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/canvas.h"
#include "platform/display_scale.h"
#include "platform/window_system.h"

namespace ui {

class Backend;
class Component;
class Control;
class Form;
class MenuItem;
class PopupMenu;

using Handler = std::function<void()>;
using platform::Color;

// The change handler of a control holding a T: told the value the control now holds. It is
// made from anything callable with that value, or with nothing (the value is then dropped);
// an empty std::function or null pointer makes an empty handler.
template <class T>
class ChangeHandler {
public:
    ChangeHandler() = default;
    ChangeHandler(std::nullptr_t) {}
    template <class F, std::enable_if_t<!std::is_same_v<std::decay_t<F>, ChangeHandler> &&
                                            !std::is_same_v<std::decay_t<F>, std::nullptr_t>,
                                        int> = 0>
    ChangeHandler(F f) {
        if constexpr (std::is_constructible_v<bool, const F&>) {
            if (!static_cast<bool>(f)) return;
        }
        if constexpr (std::is_invocable_v<F&, const T&>) {
            call_ = std::move(f);
        } else {
            static_assert(std::is_invocable_v<F&>, "a change handler takes the new value or nothing");
            call_ = [g = std::move(f)](const T&) mutable { g(); };
        }
    }

    explicit operator bool() const { return static_cast<bool>(call_); }
    void operator()(const T& value) const { call_(value); }

private:
    std::function<void(const T&)> call_;
};

// Colours with the top bit set name a system colour by its Windows index; the backend
// resolves them. Others are 0x00BBGGRR values.
constexpr Color kSystemColorFlag = 0x80000000u;
constexpr Color kColorWindow = kSystemColorFlag | 5;
constexpr Color kColorWindowText = kSystemColorFlag | 8;
constexpr Color kColorButtonFace = kSystemColorFlag | 15;
constexpr Color kColorGrayText = kSystemColorFlag | 17;
constexpr bool isSystemColor(Color c) { return (c & kSystemColorFlag) != 0; }

constexpr Color kColorBlack = 0x000000;
constexpr Color kColorWhite = 0xFFFFFF;
constexpr Color kColorLime = 0x00FF00;
constexpr Color kColorYellow = 0x00FFFF;
constexpr Color kColorRed = 0x0000FF;
constexpr Color kColorOlive = 0x008080;
constexpr Color kColorGray = 0x808080;

// A control's font: the drawing font plus the styles only controls use.
struct Font : platform::Font {
    Font() {
        height = -12;  // 9 points at 96 dpi, the program's window font
        color = kColorWindowText;
    }
    bool underline = false;
    bool italic = false;
    bool operator==(const Font& o) const {
        return platform::Font::operator==(o) && underline == o.underline && italic == o.italic;
    }
    bool operator!=(const Font& o) const { return !(*this == o); }
};

// The font of the program's dialogs: 宋体 at 9 points.
inline Font dialogFont(bool bold = false) {
    Font font;
    font.face = "宋体";
    font.bold = bold;
    return font;
}

// Position and size in the parent's client coordinates. For a form: the window's screen
// position and the size of its client area.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Bounds& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
    bool operator!=(const Bounds& o) const { return !(*this == o); }
};

// A place scaled by its edges (platform/display_scale.h).
constexpr Bounds scaledBounds(const Bounds& b, int toDpi, int fromDpi = platform::kDesignDpi) {
    return Bounds{platform::scaledLength(b.left, toDpi, fromDpi), platform::scaledLength(b.top, toDpi, fromDpi),
                  platform::scaledSpan(b.left, b.width, toDpi, fromDpi),
                  platform::scaledSpan(b.top, b.height, toDpi, fromDpi)};
}

// Which edges of the parent a control keeps its distance to when the parent is resized.
// Neither left nor right: the control keeps its place relative to the middle (likewise
// for top and bottom).
struct Anchors {
    bool left = true;
    bool top = true;
    bool right = false;
    bool bottom = false;
    static Anchors all() { return {true, true, true, true}; }
    bool operator==(const Anchors& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Anchors& o) const { return !(*this == o); }
};

// A docked control fills a strip of its parent (top, bottom, left, right, in that order of
// precedence) or what remains of it (client). Docked controls ignore their anchors.
enum class Align { None, Top, Bottom, Left, Right, Client };

enum class Cursor { Default, Hand, HourGlass };

// The hint's two parts: before the first "|" (short: tool tips) and after it (long: the
// hint display). A hint without "|" is both.
std::string shortHint(const std::string& hint);
std::string longHint(const std::string& hint);

// Every kind of component, for backends and for finding components by name.
enum class Kind {
    Form,
    PageControl,
    TabSheet,
    Panel,
    GroupBox,
    Label,
    LinkLabel,
    Button,
    FlatButton,
    CheckBox,
    Edit,
    TrackBar,
    ComboBox,
    RadioGroup,
    HotKeyBox,
    Picture,
    Bevel,
    StatusBar,
    PaintBox,
    MainMenu,
    PopupMenu,
    MenuItem,
    Timer,
};

// What a push tells a peer to show again; the peer reads the new state from its component.
enum class Change {
    Text,        // caption or text (control, form, tab, menu item)
    Checked,     // check box; menu item check mark
    Position,    // track-bar position
    Range,       // track-bar minimum, maximum, page size, line size, tick frequency, selection
    Items,       // drop-down or radio-group items, status-bar panels and their texts
    Selection,   // drop-down or radio-group index, page control's active page
    Shortcut,    // hot-key box combination
    Enabled,
    Visible,
    Bounds,
    Font,        // the effective font changed (own or inherited)
    Color,       // the effective background colour changed
    Hint,
    TabOrder,    // pushed to a container: its windowed children were reordered
    TabStyle,    // page control
    Default,     // menu item shown bold as its menu's default
    Appearance,  // any other look: alignment, word wrap, auto size, bevels, border, picture or
                 // glyph, cursor, maximum length, columns, ticks, thumb length, button roles,
                 // separator, form border, position, stay-on-top, minimum size, class name
    Focus,       // the control became its form's active control from code
    Menu,        // pushed to a form: its main menu was attached
    Timer,       // interval or enabled state; the system timer starts counting anew
    Paint,       // a custom-painted control's surface was drawn
    Dpi,         // the form's DPI changed (after the new bounds and fonts): pictures are chosen
                 // again for it, and every size the kind holds besides its bounds is shown again
};

// The real counterpart of one component. Created by a Backend at realisation with the
// component's full state, destroyed before the component (children's peers first). Its
// destructor destroys the real window and must not read the component.
class Peer {
public:
    virtual ~Peer() = default;
    // Shows the component's current state of `what`. Must leave the real window showing the
    // portable state in full (for example, the selection again after new items). A
    // notification the real window sends meanwhile may be handed to the component's user entry
    // point: it is refused (see pushing()).
    virtual void update(Change what) = 0;
    // The drawing surface of a custom-painted control: the control's face on screen, so what
    // is drawn on it is what the user sees; it has the control's size. Null for other kinds.
    virtual platform::Canvas* surface() { return nullptr; }
    // The real window of a form's peer, for the platform services that act on a window
    // (owner of a dialog, foreground, translucency); null for other kinds and headless.
    virtual platform::Window window() const { return nullptr; }
};

// Makes the real counterparts of components. The headless backend (ui/headless_backend.h)
// makes none, except what its tests need to simulate time and drawing.
class Backend {
public:
    virtual ~Backend() = default;
    // The peer of one component, its parent's peer existing already. May return null: the
    // component then is not mirrored.
    virtual std::unique_ptr<Peer> createPeer(Component& component) = 0;
    // An off-screen image that a surface of this backend can be copied from.
    virtual std::unique_ptr<platform::Canvas> createImage(int width, int height) = 0;
    // Shows the realised dialog modally and returns once dialog.modalResult() is not 0 (a
    // backend that cannot wait may return earlier: showModal then closes the dialog itself).
    // On Windows: a nested message loop with the other windows of the thread disabled.
    virtual void runModal(Form& dialog) = 0;
    // Shows the realised popup menu at a screen position and returns when it has closed,
    // after the chosen item's userClicked() ran.
    virtual void popup(PopupMenu& menu, int x, int y) = 0;
    // While busy, every window of the program shows the hourglass instead of its own cursor.
    virtual void setBusyCursor(bool busy) = 0;
    // The DPI a form is laid out for when it is realised (a window may then report another:
    // Form::setDpi).
    virtual int screenDpi() const { return platform::kDesignDpi; }
};

// Anything a form owns under a name: controls, menus, menu items, timers.
class Component {
public:
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
    virtual ~Component();

    virtual Kind kind() const = 0;
    const std::string& name() const { return name_; }
    // The form that owns the component; null for a control built outside any form.
    Form* form() const { return form_; }
    Peer* peer() const { return peer_.get(); }
    bool realized() const { return realized_; }
    // True while a change is being pushed to the peer: user entry points are refused then.
    bool pushing() const { return pushDepth_ > 0; }

protected:
    Component() = default;

    enum class Origin { Code, User };

    // The control-change rule (see the top of this file), the one place it is carried out.
    // `value` is already made valid. A code change stores, pushes `what` and runs the handler
    // with the stored value (`handler` may be empty: nothing runs); a user change stores and
    // runs the handler, and pushes only when `userValueAltered` says the reported value had to
    // be made valid (then also when it came out equal to the held value, so the window shows
    // the held one again).
    template <class T>
    bool applyChange(T& field, T value, Change what, Origin origin, const ChangeHandler<T>& handler,
                     bool userValueAltered = false) {
        if (field == value) {
            if (origin == Origin::User && userValueAltered) push(what);
            return false;
        }
        field = std::move(value);
        if (origin == Origin::Code || userValueAltered) push(what);
        if (handler) {
            // Copies of both: the handler may rebind itself or change the field again.
            const ChangeHandler<T> copy = handler;
            const T told = field;
            copy(told);
        }
        return true;
    }

    // Plain state: stored and pushed when it differs; no handler.
    template <class T>
    bool applyState(T& field, T value, Change what) {
        if (field == value) return false;
        field = std::move(value);
        push(what);
        return true;
    }

    // Tells the peer (if any) to show `what` again, unless the change waits (holdsBack).
    void push(Change what);
    // Whether the change waits until it can be seen; the control then sends it itself.
    virtual bool holdsBack(Change /*what*/) { return false; }
    // Runs a handler, if bound. The handler is copied first: it may rebind itself.
    static void run(const Handler& handler);

    // Whether a user entry point may act now.
    virtual bool acceptsUserInput() const { return !pushing(); }

    // Creates this component's peer, then its children's; and the reverse.
    virtual void realizeTree(Backend& backend);
    virtual void unrealizeTree();
    // After the peer exists (or the backend chose none) / before it is destroyed.
    virtual void peerCreated() {}
    virtual void peerDestroying() {}
    // Once the component has its place and its form: its name is registered.
    virtual void attached() {}

    void setIdentity(const std::string& name, Form* form) {
        name_ = name;
        form_ = form;
    }

private:
    friend class Control;
    friend class Form;
    friend class MenuNode;

    std::string name_;
    Form* form_ = nullptr;
    std::unique_ptr<Peer> peer_;
    bool realized_ = false;
    int pushDepth_ = 0;
};

// A visible element of a form: state every control shares, the parent and children tree,
// tab order, focus, hint and layout (anchors, docking).
class Control : public Component {
public:
    ~Control() override;

    Control* parent() const { return parent_; }
    const std::vector<std::unique_ptr<Control>>& children() const { return children_; }

    // Makes a child control of kind T, owned by this one, and registers its name with the
    // form (an empty name registers nothing). Throws std::logic_error when this control cannot
    // hold a T, std::invalid_argument when the form already has a component of that name.
    template <class T>
    T& add(const std::string& name) {
        static_assert(std::is_base_of_v<Control, T>, "add() makes controls");
        auto child = std::make_unique<T>();
        T& result = *child;
        adopt(std::move(child), name);
        return result;
    }

    // Caption or text. Plain state, except where a kind names a handler for it (the edit).
    const std::string& text() const { return text_; }
    bool setText(const std::string& value) { return changeText(value, Origin::Code); }
    const std::string& caption() const { return text_; }
    bool setCaption(const std::string& value) { return setText(value); }

    const Bounds& bounds() const { return bounds_; }
    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return bounds_.width; }
    int height() const { return bounds_.height; }
    // Negative sizes become 0. A docked control keeps the place its docking gives it.
    void setBounds(const Bounds& value) { applyBounds(value, Origin::Code); }
    void setBounds(int left, int top, int width, int height) { setBounds(Bounds{left, top, width, height}); }
    void setPosition(int left, int top) { setBounds(Bounds{left, top, bounds_.width, bounds_.height}); }
    void setSize(int width, int height) { setBounds(Bounds{bounds_.left, bounds_.top, width, height}); }
    // Bounds the system gave the control (the user resized the window, a label sized itself
    // to its text, a tab sheet to its page control): stored without a push; children follow.
    void boundsFromSystem(const Bounds& value) { applyBounds(value, Origin::User); }

    const Anchors& anchors() const { return anchors_; }
    void setAnchors(const Anchors& value) { anchors_ = value; }
    Align align() const { return align_; }
    void setAlign(Align value);

    bool enabled() const { return enabled_; }
    void setEnabled(bool value) { applyState(enabled_, value, Change::Enabled); }
    // Enabled itself and every container around it.
    bool enabledInChain() const;
    bool visible() const { return visible_; }
    void setVisible(bool value);
    // Visible itself and every container around it, on the active page of a page control.
    virtual bool showing() const;

    // The font the control shows: its own, or its parent's while parentFont() is true.
    // Setting a font ends the inheritance.
    const Font& font() const;
    void setFont(const Font& value);
    void setFontColor(Color value);
    bool parentFont() const { return parentFont_; }
    void setParentFont(bool value);
    // The background colour, inherited the same way.
    Color color() const;
    void setColor(Color value);
    bool parentColor() const { return parentColor_; }
    void setParentColor(bool value);

    const std::string& hint() const { return hint_; }
    void setHint(const std::string& value) { applyState(hint_, value, Change::Hint); }
    // The control's hint, or the nearest container's when it has none.
    const std::string& effectiveHint() const;

    Cursor cursor() const { return cursor_; }
    void setCursor(Cursor value) { applyState(cursor_, value, Change::Appearance); }

    // Windowed controls take part in their container's tab order; others answer -1.
    virtual bool windowed() const { return false; }
    int tabOrder() const;
    // Moves the control to that place among its windowed siblings (clamped); the others
    // keep their order.
    void setTabOrder(int value);
    bool tabStop() const { return tabStop_; }
    void setTabStop(bool value) { applyState(tabStop_, value, Change::Appearance); }

    // Keyboard focus. setFocus (code) and userEntered (the user, or the system, moved the
    // focus here) both run the previous control's onExit and this one's onEnter, once, when
    // the focus actually moves. Refused (false) for a control that cannot take input.
    bool focused() const;
    bool setFocus();
    bool userEntered();
    Handler onEnter;
    Handler onExit;

protected:
    Control() = default;

    bool acceptsUserInput() const override;

    // The handler a text change runs; none by default.
    virtual const ChangeHandler<std::string>* textHandler() const { return nullptr; }
    bool changeText(const std::string& value, Origin origin);
    // Makes a user-reported text valid (the edit's maximum length).
    virtual std::string validUserText(const std::string& value) const { return value; }

    // Which children this kind holds; none by default.
    virtual bool acceptsChild(const Control& child) const;
    virtual void childAdded(Control&) {}
    // After the bounds changed (stored and pushed): children follow their anchors and docking.
    virtual void boundsChanged(const Bounds& old);
    void applyBounds(Bounds value, Origin origin);
    // Lays out docked children.
    void realign();

    void realizeTree(Backend& backend) override;
    // Realises the children (each only once).
    void realizeChildren(Backend& backend);
    void unrealizeTree() override;

    // Pushes a font or colour change to this control and every descendant inheriting it.
    void pushInherited(Change what, bool Control::*inherits);
    // A label's text waits while its form is hidden: the window it goes to shows nothing then,
    // and a monitor's labels change every second. The form sends what waited as it shows.
    bool holdsBack(Change what) override;

    void setDefaultTabStop(bool value) { tabStop_ = value; }

    // The form's DPI changes from `fromDpi` to `toDpi` (Form::setDpi): the kind scales the
    // sizes it holds besides its bounds and own font, from their design (platform::
    // DesignScaled). The bounds are scaled already; `before` are those it had. Runs before any
    // window follows.
    virtual void rescale(int /*fromDpi*/, int /*toDpi*/, const Bounds& /*before*/) {}
    // Runs once the windows show the new DPI.
    virtual void rescaled() {}

private:
    friend class Form;

    void adopt(std::unique_ptr<Control> child, const std::string& name);

    Control* parent_ = nullptr;
    std::vector<std::unique_ptr<Control>> children_;
    std::vector<Control*> tabList_;  // windowed children in tab order

    std::string text_;
    Bounds bounds_;
    Anchors anchors_;
    Align align_ = Align::None;
    bool enabled_ = true;
    bool visible_ = true;
    Font font_;
    bool parentFont_ = true;
    // The place and font height as designed, which each change of DPI scales from.
    platform::DesignScaled<Bounds> designBounds_;
    platform::DesignScaled<int> designFontHeight_;
    Color color_ = kColorButtonFace;
    bool parentColor_ = true;
    std::string hint_;
    Cursor cursor_ = Cursor::Default;
    bool tabStop_ = false;
    bool aligning_ = false;
    bool textWaits_ = false;  // a text change held back (holdsBack) is still to be sent
    bool releasingTexts_ = false;  // a window about to show: its labels' texts go through

    // Sends every held-back text of this control and its descendants.
    void sendWaitingTexts();
};

}  // namespace ui
