#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/component.h"

namespace ui {

class MainMenu;

// What a dialog's showModal() answers: 0 while it is open, else how it ended (the Windows
// dialog answers).
enum ModalResult : int { kModalNone = 0, kModalOk = 1, kModalCancel = 2, kModalYes = 6, kModalNo = 7 };

enum class BorderStyle { Sizeable, Dialog, Single, None };
enum class FormPosition { Default, DesktopCenter, Designed };
enum class CloseAction { None, Hide };

// The buttons of a form's title bar: the system menu (which carries the close box), minimise
// and maximise. A form without a border has no title bar, so it shows none of them whatever
// they say.
struct BorderIcons {
    bool systemMenu = true;
    bool minimize = true;
    bool maximize = true;
    static BorderIcons none() { return {false, false, false}; }
    bool operator==(const BorderIcons& o) const {
        return systemMenu == o.systemMenu && minimize == o.minimize && maximize == o.maximize;
    }
    bool operator!=(const BorderIcons& o) const { return !(*this == o); }
};

// A top-level window: the main window or a dialog. It owns everything on it: its controls
// (the tree under it), its menus and timers, each registered under its name, which is unique
// in the form. A form is made hidden and unrealised; realize() (or show/showModal, which
// realise first) has the backend make the real windows.
class Form : public Control {
public:
    // The form's own name is not registered: find() looks up what it owns.
    explicit Form(Backend& backend, const std::string& name = "");
    ~Form() override;

    Kind kind() const override { return Kind::Form; }
    Backend& backend() const { return backend_; }

    // Makes the peers of the form and everything on it, parents first (once). Components
    // added later are realised as they are added.
    void realize();
    // Destroys every peer, children first. The destructor does this too.
    void unrealize();

    // Makes a menu or a timer owned by the form. The first main menu becomes the form's menu.
    template <class T>
    T& addComponent(const std::string& name) {
        static_assert(std::is_base_of_v<Component, T> && !std::is_base_of_v<Control, T>,
                      "controls are added with add()");
        auto component = std::make_unique<T>();
        T& result = *component;
        adoptComponent(std::move(component), name);
        return result;
    }

    // The component of that name, or null.
    Component* find(const std::string& name) const;
    // The component of that name as a T. Throws std::out_of_range when there is none,
    // std::invalid_argument when it is of another kind.
    template <class T>
    T& get(const std::string& name) const {
        Component* component = find(name);
        if (component == nullptr) throw std::out_of_range("no component named " + name);
        T* typed = dynamic_cast<T*>(component);
        if (typed == nullptr) throw std::invalid_argument(name + " is of another kind");
        return *typed;
    }

    MainMenu* menu() const { return menu_; }

    // The window class name on Windows (the single-instance test finds the main window by it).
    const std::string& className() const { return className_; }
    void setClassName(const std::string& value) { applyState(className_, value, Change::Appearance); }
    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle value) { applyState(borderStyle_, value, Change::Appearance); }
    const BorderIcons& borderIcons() const { return borderIcons_; }
    void setBorderIcons(const BorderIcons& value) { applyState(borderIcons_, value, Change::Appearance); }
    FormPosition position() const { return position_; }
    void setFormPosition(FormPosition value) { applyState(position_, value, Change::Appearance); }
    bool stayOnTop() const { return stayOnTop_; }
    void setStayOnTop(bool value) { applyState(stayOnTop_, value, Change::Appearance); }
    // The client area: the form's bounds hold its size.
    int clientWidth() const { return width(); }
    int clientHeight() const { return height(); }
    void setClientSize(int width, int height) { setSize(width, height); }
    // The smallest client area the user may size the window to (0: no limit).
    int minClientWidth() const { return minClientWidth_; }
    int minClientHeight() const { return minClientHeight_; }
    void setMinClientSize(int width, int height);

    // The DPI the form is laid out for: 96 (the design) until it is realised, then the
    // backend's screenDpi(), then whatever setDpi() gives it.
    int dpi() const { return dpi_; }
    // The display scale's one place (platform/display_scale.h gives the rule): lays the form
    // out anew for `value` dpi from the DPI it has. Scales, by their edges, the bounds of every
    // control on it and the form's client size (not its position on the screen), every font a
    // control holds as its own (inherited ones follow), the smallest client size, and the
    // sizes each kind holds besides (status-bar panels, a track bar's thumb, a page control's
    // frame, a drawing's grid and font). On a realised form the windows follow, parents first
    // (bounds, font, then Change::Dpi); onResize runs when the client size changed. Anchors
    // and docking play no part: every place scales as it stands. Values of 0 or below and the
    // DPI the form has already change nothing.
    void setDpi(int value);

    // A form is created hidden. show() realises it first.
    bool showing() const override { return visible(); }
    void show();
    void hide() { setVisible(false); }

    // Shows the form as a modal dialog and returns its modal result once it ends: the
    // backend's modal loop runs until a button with a modal result is clicked,
    // setModalResult() is called or the dialog is closed. A backend that returns with the
    // dialog still open (the headless one, after its script) ends it as closed (cancel).
    // The form is hidden again afterwards. Throws std::logic_error when already showing
    // modally.
    int showModal();
    bool modal() const { return modal_; }
    int modalResult() const { return modalResult_; }
    void setModalResult(int value) { modalResult_ = value; }

    // A window message of the form's own that no control event covers (WM_QUERYENDSESSION,
    // WM_HOTKEY, messages the program defines or registers): the backend's entry point for
    // every message it does not handle itself. Offers it to onMessage; true when handled, with
    // the answer in `result`; false lets the system's default handling run.
    bool message(uint32_t number, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
        if (!onMessage) return false;
        const auto handler = onMessage;
        return handler(number, wParam, lParam, result);
    }
    std::function<bool(uint32_t number, uintptr_t wParam, intptr_t lParam, intptr_t& result)> onMessage;

    // A close request from code or the user (the title-bar close, Alt+F4: the backend's one
    // entry point for them). onClose may refuse it (CloseAction::None); otherwise a modal
    // form ends with cancel (unless a result is set already) and the form is hidden.
    void close();
    std::function<void(CloseAction&)> onClose;
    // After the client size changed, from code or by the user.
    Handler onResize;

    // The control holding the keyboard focus, or null.
    Control* activeControl() const { return activeControl_; }

    // The hint currently shown for the control or menu item under the mouse. onHint runs
    // when it changes (the main window shows longHint() of it in its hint panel).
    const std::string& currentHint() const { return currentHint_; }
    // The mouse is over this control (null: over none of the form's) / this menu item.
    void userPointedAt(const Control* control);
    void userPointedAt(const MenuItem& item);
    std::function<void(const std::string& hint)> onHint;

    // Every control with a tab stop, in the order the Tab key visits them when all are
    // enabled and shown: each container's windowed children in tab order, depth first, the
    // pages of a page control one after the other.
    std::vector<Control*> tabSequence() const;

protected:
    bool acceptsChild(const Control& child) const override;
    void boundsChanged(const Bounds& old) override;

private:
    friend class Control;
    friend class MenuNode;

    void registerName(const std::string& name, Component& component);
    void checkName(const std::string& name) const;
    void adoptComponent(std::unique_ptr<Component> component, const std::string& name);
    bool moveFocus(Control* control, Origin origin);
    void setCurrentHint(const std::string& hint);

    Backend& backend_;
    std::unordered_map<std::string, Component*> names_;
    std::vector<std::unique_ptr<Component>> components_;
    MainMenu* menu_ = nullptr;
    bool formRealized_ = false;

    std::string className_;
    BorderStyle borderStyle_ = BorderStyle::Sizeable;
    BorderIcons borderIcons_;
    FormPosition position_ = FormPosition::Default;
    bool stayOnTop_ = false;
    int minClientWidth_ = 0;
    int minClientHeight_ = 0;
    platform::DesignScaled<int> designMinClientWidth_, designMinClientHeight_;
    int dpi_ = platform::kDesignDpi;

    bool modal_ = false;
    int modalResult_ = kModalNone;
    Control* activeControl_ = nullptr;
    std::string currentHint_;
};

}  // namespace ui
