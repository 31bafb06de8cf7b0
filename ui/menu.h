#pragma once
// Menus: the form's main menu, popup menus and their items. An item's check mark, enabled
// state, default (bold) state and caption are display state: setting them runs no handler.
// A click, from code (click()) or from the user (userClicked()), runs onClick.
#include <memory>
#include <string>
#include <vector>

#include "ui/component.h"

namespace ui {

// A menu or a menu item: something that holds items.
class MenuNode : public Component {
public:
    // Appends an item, registered with the form under `name` like every component. Throws
    // std::invalid_argument for a name the form already holds.
    MenuItem& add(const std::string& name, const std::string& caption);
    MenuItem& addSeparator(const std::string& name);

    int count() const { return static_cast<int>(items_.size()); }
    MenuItem& item(int index) const { return *items_.at(static_cast<size_t>(index)); }
    const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }
    // The item shown bold as this menu's default, or null.
    MenuItem* defaultItem() const;

protected:
    MenuNode() = default;
    void realizeTree(Backend& backend) override;
    void unrealizeTree() override;

private:
    friend class MenuItem;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

class MenuItem : public MenuNode {
public:
    MenuItem() = default;
    Kind kind() const override { return Kind::MenuItem; }
    // The menu or item this one belongs to.
    MenuNode* parent() const { return parent_; }

    // "&" marks the access letter; "&&" shows one "&".
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& value) { applyState(caption_, value, Change::Text); }
    // The access letter (one character), or "" when the caption marks none.
    std::string accessKey() const;
    // The caption as shown, without its marks.
    std::string displayCaption() const;

    const std::string& hint() const { return hint_; }
    void setHint(const std::string& value) { applyState(hint_, value, Change::Hint); }
    bool checked() const { return checked_; }
    void setChecked(bool value) { applyState(checked_, value, Change::Checked); }
    bool enabled() const { return enabled_; }
    void setEnabled(bool value) { applyState(enabled_, value, Change::Enabled); }
    bool visible() const { return visible_; }
    void setVisible(bool value) { applyState(visible_, value, Change::Visible); }
    // A menu has at most one default item: making one the default clears the others.
    bool isDefault() const { return default_; }
    void setDefault(bool value);
    bool separator() const { return separator_; }

    // Runs onClick as a user's click does.
    void click() { run(onClick); }
    // The user chose the item: refused for a separator and for an item that is disabled or
    // hidden, or under one that is.
    bool userClicked();
    Handler onClick;

protected:
    bool acceptsUserInput() const override;

private:
    friend class MenuNode;

    MenuNode* parent_ = nullptr;
    std::string caption_;
    std::string hint_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    bool separator_ = false;
};

class MainMenu : public MenuNode {
public:
    MainMenu() = default;
    Kind kind() const override { return Kind::MainMenu; }
};

class PopupMenu : public MenuNode {
public:
    PopupMenu() = default;
    Kind kind() const override { return Kind::PopupMenu; }

    // Runs onPopup, then shows the menu at a screen position until it closes (the backend
    // runs the chosen item's click). The form is realised first.
    void popup(int x, int y);
    Handler onPopup;
};

}  // namespace ui
