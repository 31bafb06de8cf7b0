#include "mainwindow/main_form_builder.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <utility>

#include "ui/controls.h"
#include "ui/menu.h"
#include "ui/timer.h"
#include "widgets/widget_controls.h"

namespace mainwindow {

namespace {

ui::Anchors toAnchors(unsigned bits) {
    ui::Anchors a;
    a.left = (bits & kAnchorLeft) != 0;
    a.top = (bits & kAnchorTop) != 0;
    a.right = (bits & kAnchorRight) != 0;
    a.bottom = (bits & kAnchorBottom) != 0;
    return a;
}

ui::Align toAlign(Align align) {
    switch (align) {
        case Align::Top: return ui::Align::Top;
        case Align::Bottom: return ui::Align::Bottom;
        case Align::Left: return ui::Align::Left;
        case Align::Right: return ui::Align::Right;
        case Align::Client: return ui::Align::Client;
        case Align::None: break;
    }
    return ui::Align::None;
}

ui::TextAlignment toAlignment(TextAlign align) {
    switch (align) {
        case TextAlign::Right: return ui::TextAlignment::Right;
        case TextAlign::Center: return ui::TextAlignment::Center;
        case TextAlign::Left: break;
    }
    return ui::TextAlignment::Left;
}

ui::BevelCut toCut(BevelStyle style) {
    switch (style) {
        case BevelStyle::Raised: return ui::BevelCut::Raised;
        case BevelStyle::Lowered: return ui::BevelCut::Lowered;
        case BevelStyle::None: break;
    }
    return ui::BevelCut::None;
}

ui::Font toFont(const FontLayout& layout) {
    ui::Font f;
    f.face = layout.face;
    f.height = layout.height;
    f.bold = layout.bold;
    f.color = layout.color;
    f.underline = layout.underline;
    return f;
}

// The container a row's control is added to.
ui::Control& parentOf(ui::Form& form, const ControlLayout& row) {
    if (row.parent == kMainFormName) return form;
    return form.get<ui::Control>(row.parent);
}

// Makes the control of one row under its parent (the form's own row makes nothing).
ui::Control* makeControl(ui::Form& form, const ControlLayout& row) {
    if (row.kind == ControlKind::Form) return &form;
    if (row.kind == ControlKind::Timer) return nullptr;  // a component, made with the menus
    ui::Control& parent = parentOf(form, row);
    switch (row.kind) {
        case ControlKind::PageControl: return &parent.add<ui::PageControl>(row.name);
        case ControlKind::TabSheet: {
            auto* pages = dynamic_cast<ui::PageControl*>(&parent);
            if (pages == nullptr) throw std::logic_error(row.name + ": a page outside a page control");
            return &pages->addPage(row.name, row.text);
        }
        case ControlKind::Panel: return &parent.add<ui::Panel>(row.name);
        case ControlKind::GroupBox: return &parent.add<ui::GroupBox>(row.name);
        case ControlKind::Label: return &parent.add<ui::Label>(row.name);
        case ControlKind::LinkLabel: return &parent.add<ui::LinkLabel>(row.name);
        case ControlKind::Button: return &parent.add<ui::Button>(row.name);
        case ControlKind::FlatButton: return &parent.add<ui::FlatButton>(row.name);
        case ControlKind::CheckBox: return &parent.add<ui::CheckBox>(row.name);
        case ControlKind::Edit: return &parent.add<ui::Edit>(row.name);
        case ControlKind::TrackBar: return &parent.add<ui::TrackBar>(row.name);
        case ControlKind::DropDownList: return &parent.add<ui::ComboBox>(row.name);
        case ControlKind::RadioGroup: return &parent.add<ui::RadioGroup>(row.name);
        case ControlKind::HotKey: return &parent.add<ui::HotKeyBox>(row.name);
        case ControlKind::Picture: return &parent.add<ui::Picture>(row.name);
        case ControlKind::Bevel: return &parent.add<ui::Bevel>(row.name);
        case ControlKind::StatusBar: return &parent.add<ui::StatusBar>(row.name);
        case ControlKind::GradientBar: return &parent.add<widgets::GradientControl>(row.name);
        case ControlKind::PerformanceGraph: return &parent.add<widgets::PerformanceGraphControl>(row.name);
        case ControlKind::Form:
        case ControlKind::Timer: break;
    }
    throw std::logic_error(row.name + ": unknown kind");
}

// The properties every control shares, then those of its kind. Values under the
// control-change rule are set here while no handler is bound yet.
void applyProperties(ui::Form& form, ui::Control& c, const ControlLayout& row) {
    if (row.kind == ControlKind::Form) {
        form.setClientSize(row.width, row.height);
    } else if (row.kind != ControlKind::TabSheet) {  // a page fills its page control's display area
        c.setBounds(row.left, row.top, row.width, row.height);
        c.setAnchors(toAnchors(row.anchors));
        if (row.align != Align::None) c.setAlign(toAlign(row.align));
    }
    if (row.kind != ControlKind::TabSheet && row.kind != ControlKind::Edit) c.setText(row.text);
    c.setHint(row.hint);
    if (row.font) c.setFont(toFont(*row.font));
    if (row.color) c.setColor(*row.color);
    c.setEnabled(row.enabled);
    if (row.kind != ControlKind::Form) c.setVisible(row.visible);
    // A windowed control without a place in the tab order is passed over by the Tab key.
    if (c.windowed() && row.tabOrder < 0 && row.kind != ControlKind::Form) c.setTabStop(false);

    switch (row.kind) {
        case ControlKind::PageControl: {
            auto& pages = static_cast<ui::PageControl&>(c);
            if (row.itemIndex >= 0) pages.setActivePageIndex(row.itemIndex);
            break;
        }
        case ControlKind::Panel: {
            auto& panel = static_cast<ui::Panel&>(c);
            panel.setBevelOuter(toCut(row.bevel));
            panel.setAlignment(toAlignment(row.alignment));
            break;
        }
        case ControlKind::Label:
        case ControlKind::LinkLabel: {
            auto& label = static_cast<ui::Label&>(c);
            label.setAlignment(toAlignment(row.alignment));
            label.setWordWrap(row.wordWrap);
            // A label with a designed size keeps it; the others size themselves to their text.
            label.setAutoSize(row.width == 0 && row.height == 0);
            break;
        }
        case ControlKind::FlatButton: static_cast<ui::FlatButton&>(c).setGlyph(row.picture); break;
        case ControlKind::CheckBox: static_cast<ui::CheckBox&>(c).setChecked(row.checked); break;
        case ControlKind::Edit: {
            auto& edit = static_cast<ui::Edit&>(c);
            edit.setMaxLength(row.maxLength);
            edit.setText(row.text);
            break;
        }
        case ControlKind::TrackBar: {
            auto& bar = static_cast<ui::TrackBar&>(c);
            bar.setRange(row.minimum, row.maximum);
            bar.setPosition(row.position);
            bar.setPageSize(row.pageSize);
            bar.setTickStyle(row.tickStyle == TickStyle::None ? ui::TickStyle::None : ui::TickStyle::Auto);
            bar.setTickMarks(row.tickMarks == TickMarks::TopLeft ? ui::TickMarks::TopLeft
                             : row.tickMarks == TickMarks::Both  ? ui::TickMarks::Both
                                                                 : ui::TickMarks::BottomRight);
            bar.setThumbLength(row.thumbLength);
            break;
        }
        case ControlKind::DropDownList: {
            auto& list = static_cast<ui::ComboBox&>(c);
            list.setItems(row.items);
            list.setItemIndex(row.itemIndex);
            break;
        }
        case ControlKind::RadioGroup: {
            auto& group = static_cast<ui::RadioGroup&>(c);
            group.setItems(row.items);
            group.setColumns(row.columns);
            group.setItemIndex(row.itemIndex);
            break;
        }
        case ControlKind::HotKey: static_cast<ui::HotKeyBox&>(c).setShortcut(row.hotKey); break;
        case ControlKind::Picture: static_cast<ui::Picture&>(c).setPicture(row.picture); break;
        case ControlKind::Bevel: {
            auto& bevel = static_cast<ui::Bevel&>(c);
            bevel.setStyle(toCut(row.bevel));
            // The tables draw separators as bevels two pixels thin: a line along their length.
            if (row.height <= 2) bevel.setShape(ui::BevelShape::TopLine);
            else if (row.width <= 2) bevel.setShape(ui::BevelShape::LeftLine);
            break;
        }
        case ControlKind::StatusBar: {
            auto& bar = static_cast<ui::StatusBar&>(c);
            std::vector<ui::StatusBar::Panel> panels;
            for (int width : row.panelWidths) panels.push_back(ui::StatusBar::Panel{"", width});
            bar.setPanels(panels);
            break;
        }
        case ControlKind::GradientBar: {
            widgets::TGradient& g = static_cast<widgets::GradientControl&>(c).gradient();
            g.SetStartColor(row.startColor);
            g.SetEndColor(row.endColor);
            if (row.color) g.SetBkGround(*row.color);
            g.SetShowPercent(row.showPercent);
            g.SetCenterText(row.centerText);
            g.SetLower(row.minimum);
            g.SetUpper(row.maximum);
            g.SetPosition(row.position);
            if (row.font) g.SetFont(row.font->toFont());
            break;
        }
        case ControlKind::PerformanceGraph: {
            widgets::TPerformanceGraph& g = static_cast<widgets::PerformanceGraphControl&>(c).graph();
            g.SetGridSize(row.gridSize);
            g.SetStepSize(row.stepSize);
            g.SetGradient(row.gradient);
            g.SetScale(row.scale);
            g.SetPenWidth(row.penWidth);
            break;
        }
        default: break;
    }
}

// The tab orders of the tables, applied once every sibling exists: in ascending order within
// each parent, so that each control lands on its place for good.
void applyTabOrders(ui::Form& form) {
    std::vector<const ControlLayout*> rows;
    for (const ControlLayout& row : mainFormControls()) {
        if (row.tabOrder >= 0 && row.kind != ControlKind::Form && row.kind != ControlKind::Timer) rows.push_back(&row);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const ControlLayout* a, const ControlLayout* b) {
        return a->parent != b->parent ? a->parent < b->parent : a->tabOrder < b->tabOrder;
    });
    for (const ControlLayout* row : rows) form.get<ui::Control>(row->name).setTabOrder(row->tabOrder);
}

void addMenuItems(ui::Form& form, const std::vector<MenuItemLayout>& items) {
    for (const MenuItemLayout& row : items) {
        auto* parent = dynamic_cast<ui::MenuNode*>(form.find(row.parent));
        if (parent == nullptr) throw std::logic_error(row.name + ": no menu named " + row.parent);
        if (row.separator) {
            parent->addSeparator(row.name);
            continue;
        }
        ui::MenuItem& item = parent->add(row.name, row.caption);
        item.setHint(row.hint);
        item.setChecked(row.checked);
        item.setEnabled(row.enabled);
        if (row.isDefault) item.setDefault(true);
    }
}

// One event of the tables: binds `slot` when the handler is supplied and records it.
template <class Slot, class Map>
void bindOne(Slot& slot, const std::string& owner, const char* event, const std::string& handlerName,
             const Map& handlers, BindingReport& report) {
    if (handlerName.empty()) return;
    const std::string entry = owner + "." + event + "=" + handlerName;
    auto found = handlers.find(handlerName);
    if (found == handlers.end()) {
        report.unbound.push_back(entry);
        return;
    }
    slot = found->second;
    report.bound.push_back(entry);
}

// One change event: its handler told the new value when the typed map has it, else one told
// nothing from the plain handlers.
template <class T>
void bindChange(ui::ChangeHandler<T>& slot, const std::string& owner, const char* event, const std::string& handlerName,
                const std::map<std::string, ui::ChangeHandler<T>>& typed, const ui::FormHandlers& handlers,
                BindingReport& report) {
    if (typed.count(handlerName) != 0) bindOne(slot, owner, event, handlerName, typed, report);
    else bindOne(slot, owner, event, handlerName, handlers.handlers, report);
}

std::vector<std::string> handlerNamesOf(const std::vector<std::string>& entries) {
    std::set<std::string> names;
    for (const std::string& entry : entries) names.insert(entry.substr(entry.find('=') + 1));
    return {names.begin(), names.end()};
}

}  // namespace

std::vector<std::string> BindingReport::boundHandlerNames() const { return handlerNamesOf(bound); }
std::vector<std::string> BindingReport::unboundHandlerNames() const { return handlerNamesOf(unbound); }

std::unique_ptr<ui::Form> buildMainForm(ui::Backend& backend) {
    auto form = std::make_unique<ui::Form>(backend, kMainFormName);
    for (const ControlLayout& row : mainFormControls()) {
        if (ui::Control* control = makeControl(*form, row)) applyProperties(*form, *control, row);
    }
    applyTabOrders(*form);

    form->addComponent<ui::MainMenu>(kMainMenuName);
    addMenuItems(*form, mainMenuItems());
    form->addComponent<ui::PopupMenu>(kTrayMenuName);
    addMenuItems(*form, trayMenuItems());

    for (const ControlLayout& row : mainFormControls()) {
        if (row.kind != ControlKind::Timer) continue;
        auto& timer = form->addComponent<ui::Timer>(row.name);
        timer.setInterval(static_cast<uint32_t>(row.interval));
        timer.setEnabled(row.enabled);
    }
    return form;
}

BindingReport bindMainFormHandlers(ui::Form& form, const ui::FormHandlers& handlers) {
    BindingReport report;
    for (const ControlLayout& row : mainFormControls()) {
        const auto& h = handlers.handlers;
        switch (row.kind) {
            case ControlKind::Form: {
                bindOne(form.onClose, row.name, "onClose", row.onClose, handlers.closing, report);
                bindOne(form.onResize, row.name, "onResize", row.onResize, h, report);
                continue;
            }
            case ControlKind::Timer:
                bindOne(form.get<ui::Timer>(row.name).onTimer, row.name, "onTimer", row.onTimer, h, report);
                continue;
            default: break;
        }
        ui::Control& c = form.get<ui::Control>(row.name);
        bindOne(c.onEnter, row.name, "onEnter", row.onEnter, h, report);
        switch (row.kind) {
            case ControlKind::PageControl: {
                auto& pages = static_cast<ui::PageControl&>(c);
                bindOne(pages.onChanging, row.name, "onChanging", row.onChanging, handlers.changing, report);
                bindChange(pages.onChange, row.name, "onChange", row.onChange, handlers.indices, handlers, report);
                break;
            }
            case ControlKind::Label:
            case ControlKind::LinkLabel:
                bindOne(static_cast<ui::Label&>(c).onClick, row.name, "onClick", row.onClick, h, report);
                break;
            case ControlKind::Button:
                bindOne(static_cast<ui::Button&>(c).onClick, row.name, "onClick", row.onClick, h, report);
                break;
            case ControlKind::FlatButton:
                bindOne(static_cast<ui::FlatButton&>(c).onClick, row.name, "onClick", row.onClick, h, report);
                break;
            case ControlKind::CheckBox:
                bindChange(static_cast<ui::CheckBox&>(c).onClick, row.name, "onClick", row.onClick, handlers.checks, handlers,
                           report);
                break;
            case ControlKind::RadioGroup:
                bindChange(static_cast<ui::RadioGroup&>(c).onClick, row.name, "onClick", row.onClick, handlers.indices,
                           handlers, report);
                break;
            case ControlKind::Edit:
                bindChange(static_cast<ui::Edit&>(c).onChange, row.name, "onChange", row.onChange, handlers.texts, handlers,
                           report);
                break;
            case ControlKind::TrackBar:
                bindChange(static_cast<ui::TrackBar&>(c).onChange, row.name, "onChange", row.onChange, handlers.indices,
                           handlers, report);
                break;
            case ControlKind::DropDownList:
                bindChange(static_cast<ui::ComboBox&>(c).onChange, row.name, "onChange", row.onChange, handlers.indices,
                           handlers, report);
                break;
            case ControlKind::HotKey:
                bindChange(static_cast<ui::HotKeyBox&>(c).onChange, row.name, "onChange", row.onChange, handlers.shortcuts,
                           handlers, report);
                break;
            default: break;
        }
    }
    for (const auto* items : {&mainMenuItems(), &trayMenuItems()}) {
        for (const MenuItemLayout& row : *items) {
            if (row.separator) continue;
            bindOne(form.get<ui::MenuItem>(row.name).onClick, row.name, "onClick", row.onClick, handlers.handlers,
                    report);
        }
    }
    return report;
}

}  // namespace mainwindow
