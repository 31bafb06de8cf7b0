#include "ui/component.h"

#include <algorithm>
#include <stdexcept>

#include "ui/form.h"

namespace ui {

std::string shortHint(const std::string& hint) {
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string longHint(const std::string& hint) {
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// ---- Component ----

Component::~Component() = default;

void Component::push(Change what) {
    if (!peer_ || holdsBack(what)) return;
    struct Depth {
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
        int& depth;
    } depth(pushDepth_);
    peer_->update(what);
}

void Component::run(const Handler& handler) {
    if (!handler) return;
    const Handler copy = handler;
    copy();
}

void Component::realizeTree(Backend& backend) {
    if (realized_) return;
    realized_ = true;
    peer_ = backend.createPeer(*this);
    peerCreated();
}

void Component::unrealizeTree() {
    if (!realized_) return;
    peerDestroying();
    peer_.reset();
    realized_ = false;
}

// ---- Control: tree ----

Control::~Control() {
    tabList_.clear();
    children_.clear();  // children (and their peers) go before this control's own peer
}

bool Control::acceptsChild(const Control&) const { return false; }

void Control::adopt(std::unique_ptr<Control> child, const std::string& name) {
    if (!acceptsChild(*child)) throw std::logic_error("this control cannot hold a control of that kind: " + name);
    Form* owner = form();
    if (owner != nullptr) owner->checkName(name);

    Control& c = *child;
    c.setIdentity(name, owner);
    c.parent_ = this;
    children_.push_back(std::move(child));
    if (c.windowed()) tabList_.push_back(&c);
    if (owner != nullptr) owner->registerName(name, c);
    c.attached();
    childAdded(c);
    if (c.align_ != Align::None) realign();
    if (realized() && owner != nullptr) c.realizeTree(owner->backend());
}

void Control::realizeTree(Backend& backend) {
    Component::realizeTree(backend);
    realizeChildren(backend);
}

void Control::realizeChildren(Backend& backend) {
    for (auto& child : children_) child->realizeTree(backend);
}

void Control::unrealizeTree() {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) (*it)->unrealizeTree();
    Component::unrealizeTree();
}

// ---- Control: text ----

bool Control::changeText(const std::string& value, Origin origin) {
    static const ChangeHandler<std::string> none;
    const ChangeHandler<std::string>* handler = textHandler();
    const ChangeHandler<std::string>& h = handler != nullptr ? *handler : none;
    if (origin == Origin::Code) return applyChange(text_, value, Change::Text, origin, h);
    if (!acceptsUserInput()) return false;
    std::string valid = validUserText(value);
    const bool altered = valid != value;
    return applyChange(text_, std::move(valid), Change::Text, origin, h, altered);
}

// ---- Control: layout ----

void Control::applyBounds(Bounds value, Origin origin) {
    value.width = std::max(value.width, 0);
    value.height = std::max(value.height, 0);
    if (value == bounds_) return;
    const Bounds old = bounds_;
    bounds_ = value;
    if (origin == Origin::Code) push(Change::Bounds);
    boundsChanged(old);
    if (align_ != Align::None && parent_ != nullptr) parent_->realign();
}

void Control::boundsChanged(const Bounds& old) {
    // A container sized for the first time (from nothing) leaves its children where they were
    // put; afterwards each follows its anchors.
    const int dw = old.width > 0 ? bounds_.width - old.width : 0;
    const int dh = old.height > 0 ? bounds_.height - old.height : 0;
    if (dw != 0 || dh != 0) {
        for (auto& child : children_) {
            if (child->align_ != Align::None) continue;
            const Anchors& a = child->anchors_;
            Bounds b = child->bounds_;
            if (a.left && a.right) b.width += dw;
            else if (a.right) b.left += dw;
            else if (!a.left) b.left += dw / 2;
            if (a.top && a.bottom) b.height += dh;
            else if (a.bottom) b.top += dh;
            else if (!a.top) b.top += dh / 2;
            child->applyBounds(b, Origin::Code);
        }
    }
    if (old.width != bounds_.width || old.height != bounds_.height) realign();
}

void Control::realign() {
    if (aligning_) return;
    aligning_ = true;
    struct Done {
        explicit Done(bool& f) : flag(f) {}
        ~Done() { flag = false; }
        bool& flag;
    } done(aligning_);

    int l = 0, t = 0, r = bounds_.width, b = bounds_.height;
    for (const Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
        for (auto& child : children_) {
            if (child->align_ != pass || !child->visible_) continue;
            const int w = child->bounds_.width;
            const int h = child->bounds_.height;
            switch (pass) {
            case Align::Top:
                child->applyBounds(Bounds{l, t, r - l, h}, Origin::Code);
                t += child->bounds_.height;
                break;
            case Align::Bottom:
                child->applyBounds(Bounds{l, b - h, r - l, h}, Origin::Code);
                b -= child->bounds_.height;
                break;
            case Align::Left:
                child->applyBounds(Bounds{l, t, w, b - t}, Origin::Code);
                l += child->bounds_.width;
                break;
            case Align::Right:
                child->applyBounds(Bounds{r - w, t, w, b - t}, Origin::Code);
                r -= child->bounds_.width;
                break;
            case Align::Client:
                child->applyBounds(Bounds{l, t, r - l, b - t}, Origin::Code);
                break;
            case Align::None:
                break;
            }
        }
    }
}

void Control::setAlign(Align value) {
    if (value == align_) return;
    align_ = value;
    if (parent_ != nullptr) parent_->realign();
}

// ---- Control: state ----

bool Control::enabledInChain() const {
    for (const Control* c = this; c != nullptr; c = c->parent_)
        if (!c->enabled_) return false;
    return true;
}

void Control::setVisible(bool value) {
    if (value && !visible_ && parent_ == nullptr) {
        // A window about to show first gives its labels the texts they held back while it was
        // hidden: each is sized to its text and painted once, as the window appears, instead
        // of being painted, resized and painted again.
        struct Releasing {
            explicit Releasing(bool& flag) : flag(flag) { flag = true; }
            ~Releasing() { flag = false; }
            bool& flag;
        } releasing(releasingTexts_);
        sendWaitingTexts();
    }
    if (!applyState(visible_, value, Change::Visible)) return;
    if (align_ != Align::None && parent_ != nullptr) parent_->realign();
}

bool Control::holdsBack(Change what) {
    if (what != Change::Text || (kind() != Kind::Label && kind() != Kind::LinkLabel)) return false;
    const Control* top = parent_;
    if (top == nullptr) return false;
    while (top->parent_ != nullptr) top = top->parent_;
    if (top->visible_ || top->releasingTexts_) return false;
    textWaits_ = true;
    return true;
}

void Control::sendWaitingTexts() {
    if (textWaits_) {
        textWaits_ = false;
        push(Change::Text);
    }
    for (auto& child : children_) child->sendWaitingTexts();
}

bool Control::showing() const {
    if (!visible_) return false;
    return parent_ == nullptr || parent_->showing();
}

bool Control::acceptsUserInput() const {
    return Component::acceptsUserInput() && showing() && enabledInChain();
}

void Control::pushInherited(Change what, bool Control::*inherits) {
    push(what);
    for (auto& child : children_)
        if ((*child).*inherits) child->pushInherited(what, inherits);
}

const Font& Control::font() const {
    return parentFont_ && parent_ != nullptr ? parent_->font() : font_;
}

void Control::setFont(const Font& value) {
    const bool looksDifferent = font() != value;
    font_ = value;
    parentFont_ = false;
    if (looksDifferent) pushInherited(Change::Font, &Control::parentFont_);
}

void Control::setFontColor(Color value) {
    Font f = font();
    f.color = value;
    setFont(f);
}

void Control::setParentFont(bool value) {
    if (value == parentFont_) return;
    const Font before = font();
    parentFont_ = value;
    if (!value) font_ = before;  // keeps showing what it showed
    if (font() != before) pushInherited(Change::Font, &Control::parentFont_);
}

Color Control::color() const {
    return parentColor_ && parent_ != nullptr ? parent_->color() : color_;
}

void Control::setColor(Color value) {
    const bool looksDifferent = color() != value;
    color_ = value;
    parentColor_ = false;
    if (looksDifferent) pushInherited(Change::Color, &Control::parentColor_);
}

void Control::setParentColor(bool value) {
    if (value == parentColor_) return;
    const Color before = color();
    parentColor_ = value;
    if (!value) color_ = before;
    if (color() != before) pushInherited(Change::Color, &Control::parentColor_);
}

const std::string& Control::effectiveHint() const {
    for (const Control* c = this; c != nullptr; c = c->parent_)
        if (!c->hint_.empty()) return c->hint_;
    return hint_;
}

// ---- Control: tab order and focus ----

int Control::tabOrder() const {
    if (parent_ == nullptr || !windowed()) return -1;
    const auto& list = parent_->tabList_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void Control::setTabOrder(int value) {
    if (parent_ == nullptr || !windowed()) return;
    auto& list = parent_->tabList_;
    const int last = static_cast<int>(list.size()) - 1;
    value = std::clamp(value, 0, last);
    const int current = tabOrder();
    if (value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + value, this);
    parent_->push(Change::TabOrder);
}

bool Control::focused() const { return form() != nullptr && form()->activeControl() == this; }

bool Control::setFocus() { return form() != nullptr && form()->moveFocus(this, Origin::Code); }

bool Control::userEntered() { return form() != nullptr && form()->moveFocus(this, Origin::User); }

}  // namespace ui
