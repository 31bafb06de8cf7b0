#include "ui/form.h"

#include "ui/menu.h"

namespace ui {

Form::Form(Backend& backend, const std::string& name) : backend_(backend) {
    setIdentity(name, this);
    visible_ = false;  // made hidden; show() or showModal() shows it
    parentFont_ = false;
    parentColor_ = false;
}

Form::~Form() {
    unrealize();
    names_.clear();
    menu_ = nullptr;
    activeControl_ = nullptr;
    components_.clear();
}

// ---- realisation ----

void Form::realize() {
    if (formRealized_) return;
    setDpi(backend_.screenDpi());  // laid out for the screen before any window is made
    formRealized_ = true;
    try {
        // The menu bar before the window, which is made with it.
        if (menu_ != nullptr) static_cast<Component&>(*menu_).realizeTree(backend_);
        Control::realizeTree(backend_);
        for (auto& component : components_) component->realizeTree(backend_);
        if (menu_ != nullptr) push(Change::Menu);
    } catch (...) {
        unrealize();
        throw;
    }
}

void Form::unrealize() {
    if (!formRealized_) return;
    for (auto it = components_.rbegin(); it != components_.rend(); ++it) (*it)->unrealizeTree();
    Control::unrealizeTree();
    formRealized_ = false;
}

// ---- names ----

void Form::checkName(const std::string& name) const {
    if (!name.empty() && names_.count(name) != 0)
        throw std::invalid_argument("the form already has a component named " + name);
}

void Form::registerName(const std::string& name, Component& component) {
    if (!name.empty()) names_.emplace(name, &component);
}

Component* Form::find(const std::string& name) const {
    const auto it = names_.find(name);
    return it == names_.end() ? nullptr : it->second;
}

void Form::adoptComponent(std::unique_ptr<Component> component, const std::string& name) {
    checkName(name);
    Component& c = *component;
    c.setIdentity(name, this);
    components_.push_back(std::move(component));
    registerName(name, c);
    c.attached();
    if (formRealized_) c.realizeTree(backend_);
    if (c.kind() == Kind::MainMenu && menu_ == nullptr) {
        menu_ = static_cast<MainMenu*>(&c);
        push(Change::Menu);
    }
}

bool Form::acceptsChild(const Control& child) const { return child.kind() != Kind::TabSheet; }

// ---- window ----

void Form::setMinClientSize(int width, int height) {
    if (width == minClientWidth_ && height == minClientHeight_) return;
    minClientWidth_ = width;
    minClientHeight_ = height;
    push(Change::Appearance);
}

// ---- display scale ----

namespace {

template <class Visit>
void eachControl(Control& control, const Visit& visit) {
    visit(control);
    for (const auto& child : control.children()) eachControl(*child, visit);
}

}  // namespace

void Form::setDpi(int value) {
    if (value <= 0 || value == dpi_) return;
    const int from = dpi_;
    dpi_ = value;
    const Bounds before = bounds_;
    const auto scaleBounds = [](const Bounds& b, int to, int fromDpi) { return scaledBounds(b, to, fromDpi); };
    eachControl(*this, [&](Control& c) {
        const Bounds old = c.bounds_;
        if (&c == this) {
            // The form keeps its place on the screen: only its size follows the DPI.
            const Bounds size = designBounds_.rescale(Bounds{0, 0, width(), height()}, from, value, scaleBounds);
            bounds_.width = size.width;
            bounds_.height = size.height;
        } else {
            c.bounds_ = c.designBounds_.rescale(c.bounds_, from, value, scaleBounds);
        }
        if (!c.parentFont_) c.font_.height = c.designFontHeight_.rescale(c.font_.height, from, value, platform::kScaleLength);
        c.rescale(from, value, old);
    });
    minClientWidth_ = designMinClientWidth_.rescale(minClientWidth_, from, value, platform::kScaleLength);
    minClientHeight_ = designMinClientHeight_.rescale(minClientHeight_, from, value, platform::kScaleLength);
    if (formRealized_) {
        eachControl(*this, [](Control& c) {
            c.push(Change::Bounds);
            c.push(Change::Font);
            c.push(Change::Dpi);
        });
    }
    eachControl(*this, [](Control& c) { c.rescaled(); });
    if (before.width != width() || before.height != height()) run(onResize);
}

void Form::boundsChanged(const Bounds& old) {
    Control::boundsChanged(old);
    if (old.width != width() || old.height != height()) run(onResize);
}

void Form::show() {
    realize();
    setVisible(true);
}

int Form::showModal() {
    if (modal_) throw std::logic_error("the dialog is showing already");
    realize();
    modalResult_ = kModalNone;
    modal_ = true;
    try {
        setVisible(true);
        backend_.runModal(*this);
    } catch (...) {
        modal_ = false;
        setVisible(false);
        throw;
    }
    if (modalResult_ == kModalNone) modalResult_ = kModalCancel;
    modal_ = false;
    setVisible(false);
    return modalResult_;
}

void Form::close() {
    CloseAction action = CloseAction::Hide;
    if (onClose) {
        const auto handler = onClose;
        handler(action);
    }
    if (action == CloseAction::None) return;
    if (modal_) {
        if (modalResult_ == kModalNone) modalResult_ = kModalCancel;
        return;  // hidden when its modal loop ends
    }
    hide();
}

// ---- focus and hints ----

bool Form::moveFocus(Control* control, Origin origin) {
    if (control == activeControl_) return true;
    if (control != nullptr) {
        // A read-only edit takes the focus though it takes no typing: the general test.
        if (!control->windowed() || !control->Control::acceptsUserInput()) return false;
    }
    Control* previous = activeControl_;
    activeControl_ = control;
    if (origin == Origin::Code && control != nullptr) control->push(Change::Focus);
    if (previous != nullptr) run(previous->onExit);
    if (control != nullptr) run(control->onEnter);
    return true;
}

void Form::userPointedAt(const Control* control) {
    setCurrentHint(control != nullptr ? control->effectiveHint() : std::string());
}

void Form::userPointedAt(const MenuItem& item) { setCurrentHint(item.hint()); }

void Form::setCurrentHint(const std::string& hint) {
    if (hint == currentHint_) return;
    currentHint_ = hint;
    if (onHint) {
        const auto handler = onHint;
        handler(currentHint_);
    }
}

std::vector<Control*> Form::tabSequence() const {
    std::vector<Control*> sequence;
    const std::function<void(const Control&)> visit = [&](const Control& container) {
        for (Control* c : container.tabList_) {
            if (c->tabStop()) sequence.push_back(c);
            visit(*c);
        }
    };
    visit(*this);
    return sequence;
}

}  // namespace ui
