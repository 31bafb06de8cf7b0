// Part of the Win32 backend of the control layer (ui_backend.h): main menus, popup menus and
// their items.
#include "win32/controls/win32_peers.h"

#include <string>

#include "win32/services/wide_text.h"
#include "ui/form.h"
#include "ui/menu.h"

namespace win32::ui_peers {

namespace {

class MenuItemPeer;

class MenuPeerBase : public ui::Peer {
public:
    explicit MenuPeerBase(HMENU menu) : menu_(menu) {}
    virtual HMENU menu() { return menu_; }

protected:
    HMENU menu_;
};

MenuPeerBase* menuPeerOf(const ui::Component& component) { return dynamic_cast<MenuPeerBase*>(component.peer()); }

class MenuItemPeer : public MenuPeerBase {
public:
    MenuItemPeer(Win32UiBackend& backend, ui::MenuItem& item)
        : MenuPeerBase(nullptr), backend_(backend), item_(item), id_(backend.newCommandId(item)) {
        MenuPeerBase* parent = item.parent() != nullptr ? menuPeerOf(*item.parent()) : nullptr;
        parentMenu_ = parent != nullptr ? parent->menu() : nullptr;
        pending_ = this;
        rebuildChain(*item.parent());
        pending_ = nullptr;
    }
    ~MenuItemPeer() override {
        if (parentMenu_ != nullptr) {
            for (int i = GetMenuItemCount(parentMenu_) - 1; i >= 0; --i) {
                MENUITEMINFOW info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_ID | MIIM_SUBMENU;
                if (GetMenuItemInfoW(parentMenu_, static_cast<UINT>(i), TRUE, &info) &&
                    ((menu_ != nullptr && info.hSubMenu == menu_) || (info.hSubMenu == nullptr && info.wID == id_)))
                    RemoveMenu(parentMenu_, static_cast<UINT>(i), MF_BYPOSITION);
            }
        }
        if (menu_ != nullptr) DestroyMenu(menu_);
        backend_.releaseCommandId(id_);
    }
    // An item's submenu is made when it first holds an item: most items never do, and under Wine
    // every menu made is a request to the server.
    HMENU menu() override {
        if (menu_ == nullptr) menu_ = CreatePopupMenu();
        return menu_;
    }
    void update(Change what) override {
        if (what == Change::Hint) return;
        if (item_.parent() != nullptr) rebuildChain(*item_.parent());
    }
    UINT id() const { return id_; }

    // Fills the menu of `node` from its items, then the menus above it (an item that gained
    // its first item becomes a submenu); redraws the menu bar of a form showing it.
    static void rebuildChain(ui::MenuNode& node);

private:
    static MenuItemPeer* pending_;  // an item whose peer is being made (not yet its component's)
    Win32UiBackend& backend_;
    ui::MenuItem& item_;
    UINT id_;
    HMENU parentMenu_ = nullptr;

    friend void rebuild(ui::MenuNode& node, HMENU menu);
    friend MenuItemPeer* itemPeerOf(const ui::MenuItem& item);
};
MenuItemPeer* MenuItemPeer::pending_ = nullptr;

MenuItemPeer* itemPeerOf(const ui::MenuItem& item) {
    if (MenuItemPeer::pending_ != nullptr && &MenuItemPeer::pending_->item_ == &item) return MenuItemPeer::pending_;
    return dynamic_cast<MenuItemPeer*>(item.peer());
}

void rebuild(ui::MenuNode& node, HMENU menu) {
    while (GetMenuItemCount(menu) > 0) RemoveMenu(menu, 0, MF_BYPOSITION);
    int position = 0;
    int defaultPosition = -1;
    for (const auto& child : node.items()) {
        MenuItemPeer* peer = itemPeerOf(*child);
        if (peer == nullptr || !child->visible()) continue;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
        info.wID = peer->id();
        std::wstring text;
        if (child->separator()) {
            info.fType = MFT_SEPARATOR;
        } else {
            text = widen(child->caption());
            info.fMask |= MIIM_STRING;
            info.fType = MFT_STRING;
            info.dwTypeData = text.data();
            info.fState = (child->checked() ? MFS_CHECKED : 0) | (child->enabled() ? 0 : MFS_GRAYED) |
                          (child->isDefault() ? MFS_DEFAULT : 0);
            bool hasItems = false;
            for (const auto& grandchild : child->items())
                if (itemPeerOf(*grandchild) != nullptr) hasItems = true;
            if (hasItems) {
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = peer->menu();
            }
        }
        InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &info);
        if (child->isDefault() && !child->separator()) defaultPosition = position;
        ++position;
    }
    SetMenuDefaultItem(menu, static_cast<UINT>(defaultPosition), TRUE);
}

MenuPeerBase* nodePeer(ui::MenuNode& node) {
    if (node.kind() == Kind::MenuItem) return itemPeerOf(static_cast<ui::MenuItem&>(node));
    return menuPeerOf(node);
}

// Whether the entry of `item` in its parent's menu opens a submenu other than it should: the
// item has gained its first item or lost its last.
bool submenuChanged(ui::MenuItem& item, UINT id) {
    bool hasItems = false;
    for (const auto& child : item.items())
        if (itemPeerOf(*child) != nullptr) hasItems = true;
    MenuPeerBase* parent = item.parent() != nullptr ? nodePeer(*item.parent()) : nullptr;
    if (parent == nullptr) return false;
    const int count = GetMenuItemCount(parent->menu());
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU;
        if (GetMenuItemInfoW(parent->menu(), static_cast<UINT>(i), TRUE, &info) && info.wID == id)
            return (info.hSubMenu != nullptr) != hasItems;
    }
    return item.visible();  // a shown item without its entry yet
}

void MenuItemPeer::rebuildChain(ui::MenuNode& start) {
    for (ui::MenuNode* node = &start; node != nullptr;) {
        MenuPeerBase* peer = nodePeer(*node);
        if (peer == nullptr) return;
        rebuild(*node, peer->menu());
        if (node->kind() != Kind::MenuItem) {
            if (node->kind() == Kind::MainMenu && node->form() != nullptr) {
                menuBarChanged(*node->form());
            }
            return;
        }
        // The menu above holds this item's entry, made from the item's own state: it is made
        // again only when the entry must open a submenu or no longer (a caption changed deep in
        // a menu leaves the menus above it, and the bar, as they are).
        auto& item = static_cast<ui::MenuItem&>(*node);
        if (!submenuChanged(item, static_cast<MenuItemPeer*>(peer)->id())) return;
        node = item.parent();
    }
}

class MenuPeer : public MenuPeerBase {
public:
    explicit MenuPeer(bool bar) : MenuPeerBase(bar ? CreateMenu() : CreatePopupMenu()) {}
    ~MenuPeer() override {
        if (attachedTo_ != nullptr && IsWindow(attachedTo_) && GetMenu(attachedTo_) == menu_) SetMenu(attachedTo_, nullptr);
        DestroyMenu(menu_);
    }
    void update(Change) override {}
    void attachedTo(HWND window) { attachedTo_ = window; }

private:
    HWND attachedTo_ = nullptr;
};

}  // namespace

HMENU attachMenuBar(ui::Component& menu, HWND window) {
    auto* peer = dynamic_cast<MenuPeer*>(menu.peer());
    if (peer == nullptr) return nullptr;
    peer->attachedTo(window);
    return peer->menu();
}

std::unique_ptr<ui::Peer> makeMenuPeer(bool bar) { return std::make_unique<MenuPeer>(bar); }

std::unique_ptr<ui::Peer> makeMenuItemPeer(Win32UiBackend& backend, ui::MenuItem& item) {
    return std::make_unique<MenuItemPeer>(backend, item);
}

}  // namespace win32::ui_peers

namespace win32 {

void* Win32UiBackend::menuOf(const ui::Component& component) {
    ui_peers::MenuPeerBase* peer = ui_peers::menuPeerOf(component);
    return peer != nullptr ? peer->menu() : nullptr;
}

unsigned Win32UiBackend::commandOf(const ui::Component& component) {
    auto* peer = dynamic_cast<ui_peers::MenuItemPeer*>(component.peer());
    return peer != nullptr ? peer->id() : 0;
}

}  // namespace win32
