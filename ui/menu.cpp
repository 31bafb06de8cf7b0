#include "ui/menu.h"

#include "ui/form.h"

namespace ui {

namespace {

// The length of the UTF-8 character starting with this byte.
size_t characterLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

// ---- MenuNode ----

MenuItem& MenuNode::add(const std::string& name, const std::string& caption) {
    if (form() != nullptr) form()->checkName(name);
    auto item = std::make_unique<MenuItem>();
    MenuItem& result = *item;
    result.setIdentity(name, form());
    result.parent_ = this;
    result.caption_ = caption;
    items_.push_back(std::move(item));
    if (form() != nullptr) form()->registerName(name, result);
    if (realized() && form() != nullptr) result.realizeTree(form()->backend());
    return result;
}

MenuItem& MenuNode::addSeparator(const std::string& name) {
    MenuItem& item = add(name, "-");
    item.separator_ = true;
    return item;
}

MenuItem* MenuNode::defaultItem() const {
    for (const auto& item : items_)
        if (item->isDefault()) return item.get();
    return nullptr;
}

void MenuNode::realizeTree(Backend& backend) {
    Component::realizeTree(backend);
    for (auto& item : items_) item->realizeTree(backend);
}

void MenuNode::unrealizeTree() {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) (*it)->unrealizeTree();
    Component::unrealizeTree();
}

// ---- MenuItem ----

std::string MenuItem::accessKey() const {
    for (size_t i = 0; i + 1 < caption_.size(); ++i) {
        if (caption_[i] != '&') continue;
        if (caption_[i + 1] == '&') {
            ++i;  // a shown "&"
            continue;
        }
        return caption_.substr(i + 1, characterLength(static_cast<unsigned char>(caption_[i + 1])));
    }
    return "";
}

std::string MenuItem::displayCaption() const {
    std::string shown;
    for (size_t i = 0; i < caption_.size(); ++i) {
        if (caption_[i] == '&') {
            if (i + 1 < caption_.size() && caption_[i + 1] == '&') {
                shown += '&';
                ++i;
            }
            continue;  // a single "&" marks the next character and is not shown
        }
        shown += caption_[i];
    }
    return shown;
}

void MenuItem::setDefault(bool value) {
    if (value == default_) return;
    if (value && parent_ != nullptr) {
        for (auto& sibling : parent_->items_) {
            if (sibling.get() != this && sibling->default_) {
                sibling->default_ = false;
                sibling->push(Change::Default);
            }
        }
    }
    default_ = value;
    push(Change::Default);
}

bool MenuItem::acceptsUserInput() const {
    if (!Component::acceptsUserInput() || separator_) return false;
    for (const MenuNode* node = this; node != nullptr;) {
        if (node->kind() != Kind::MenuItem) break;
        const auto* item = static_cast<const MenuItem*>(node);
        if (!item->enabled_ || !item->visible_) return false;
        node = item->parent_;
    }
    return true;
}

bool MenuItem::userClicked() {
    if (!acceptsUserInput()) return false;
    run(onClick);
    return true;
}

// ---- PopupMenu ----

void PopupMenu::popup(int x, int y) {
    run(onPopup);
    if (form() == nullptr) return;
    form()->realize();
    form()->backend().popup(*this, x, y);
}

}  // namespace ui
