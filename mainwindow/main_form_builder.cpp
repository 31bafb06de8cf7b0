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

// The container a row's control is added to.
ui::Control& parentOf(ui::Form& form, const ControlLayout& row) {
    if (row.parent == kMainFormName) return form;
    return form.get<ui::Control>(row.parent);
}

// Makes the control of one row under its parent (the form's own row makes nothing).
ui::Control* makeControl(ui::Form& form, const ControlLayout& row) {
    if (row.kind == ui::Kind::Form) return &form;
    if (row.kind == ui::Kind::Timer) return nullptr;  // a component, made with the menus
    ui::Control& parent = parentOf(form, row);
    switch (row.kind) {
        case ui::Kind::PageControl: return &parent.add<ui::PageControl>(row.name);
        case ui::Kind::TabSheet: {
            auto* pages = dynamic_cast<ui::PageControl*>(&parent);
            if (pages == nullptr) throw std::logic_error(row.name + ": a page outside a page control");
            return &pages->addPage(row.name, row.text);
        }
        case ui::Kind::Panel: return &parent.add<ui::Panel>(row.name);
        case ui::Kind::GroupBox: return &parent.add<ui::GroupBox>(row.name);
        case ui::Kind::Label: return &parent.add<ui::Label>(row.name);
        case ui::Kind::LinkLabel: return &parent.add<ui::LinkLabel>(row.name);
        case ui::Kind::Button: return &parent.add<ui::Button>(row.name);
        case ui::Kind::FlatButton: return &parent.add<ui::FlatButton>(row.name);
        case ui::Kind::CheckBox: return &parent.add<ui::CheckBox>(row.name);
        case ui::Kind::Edit: return &parent.add<ui::Edit>(row.name);
        case ui::Kind::TrackBar: return &parent.add<ui::TrackBar>(row.name);
        case ui::Kind::ComboBox: return &parent.add<ui::ComboBox>(row.name);
        case ui::Kind::RadioGroup: return &parent.add<ui::RadioGroup>(row.name);
        case ui::Kind::HotKeyBox: return &parent.add<ui::HotKeyBox>(row.name);
        case ui::Kind::Picture: return &parent.add<ui::Picture>(row.name);
        case ui::Kind::Bevel: return &parent.add<ui::Bevel>(row.name);
        case ui::Kind::StatusBar: return &parent.add<ui::StatusBar>(row.name);
        case ui::Kind::PaintBox:
            if (row.drawing == Drawing::GradientBar) return &parent.add<widgets::GradientControl>(row.name);
            if (row.drawing == Drawing::PerformanceGraph) return &parent.add<widgets::PerformanceGraphControl>(row.name);
            break;
        default: break;
    }
    throw std::logic_error(row.name + ": unknown kind");
}

// The properties every control shares, then those of its kind. Values under the
// control-change rule are set here while no handler is bound yet.
void applyProperties(ui::Form& form, ui::Control& c, const ControlLayout& row) {
    if (row.kind == ui::Kind::Form) {
        form.setClientSize(row.width, row.height);
    } else if (row.kind != ui::Kind::TabSheet) {  // a page fills its page control's display area
        c.setBounds(row.left, row.top, row.width, row.height);
        c.setAnchors(row.anchors);
        if (row.align != ui::Align::None) c.setAlign(row.align);
    }
    if (row.kind != ui::Kind::TabSheet && row.kind != ui::Kind::Edit) c.setText(row.text);
    c.setHint(row.hint);
    if (row.font) c.setFont(*row.font);
    if (row.color) c.setColor(*row.color);
    c.setEnabled(row.enabled);
    if (row.kind != ui::Kind::Form) c.setVisible(row.visible);
    // A windowed control without a place in the tab order is passed over by the Tab key.
    if (c.windowed() && row.tabOrder < 0 && row.kind != ui::Kind::Form) c.setTabStop(false);

    switch (row.kind) {
        case ui::Kind::PageControl: {
            auto& pages = static_cast<ui::PageControl&>(c);
            if (row.itemIndex >= 0) pages.setActivePageIndex(row.itemIndex);
            break;
        }
        case ui::Kind::Panel: {
            auto& panel = static_cast<ui::Panel&>(c);
            panel.setBevelOuter(row.bevel);
            panel.setAlignment(row.alignment);
            break;
        }
        case ui::Kind::Label:
        case ui::Kind::LinkLabel: {
            auto& label = static_cast<ui::Label&>(c);
            label.setAlignment(row.alignment);
            label.setWordWrap(row.wordWrap);
            // A label with a designed size keeps it; the others size themselves to their text.
            label.setAutoSize(row.width == 0 && row.height == 0);
            break;
        }
        case ui::Kind::FlatButton: static_cast<ui::FlatButton&>(c).setGlyph(row.picture); break;
        case ui::Kind::CheckBox: static_cast<ui::CheckBox&>(c).setChecked(row.checked); break;
        case ui::Kind::Edit: {
            auto& edit = static_cast<ui::Edit&>(c);
            edit.setMaxLength(row.maxLength);
            edit.setText(row.text);
            break;
        }
        case ui::Kind::TrackBar: {
            auto& bar = static_cast<ui::TrackBar&>(c);
            bar.setRange(row.minimum, row.maximum);
            bar.setPosition(row.position);
            bar.setPageSize(row.pageSize);
            bar.setTickStyle(row.tickStyle);
            bar.setTickMarks(row.tickMarks);
            bar.setThumbLength(row.thumbLength);
            break;
        }
        case ui::Kind::ComboBox: {
            auto& list = static_cast<ui::ComboBox&>(c);
            list.setItems(row.items);
            list.setItemIndex(row.itemIndex);
            break;
        }
        case ui::Kind::RadioGroup: {
            auto& group = static_cast<ui::RadioGroup&>(c);
            group.setItems(row.items);
            group.setColumns(row.columns);
            group.setItemIndex(row.itemIndex);
            break;
        }
        case ui::Kind::HotKeyBox: static_cast<ui::HotKeyBox&>(c).setShortcut(row.hotKey); break;
        case ui::Kind::Picture: static_cast<ui::Picture&>(c).setPicture(row.picture); break;
        case ui::Kind::Bevel: {
            auto& bevel = static_cast<ui::Bevel&>(c);
            bevel.setStyle(row.bevel);
            // The tables draw separators as bevels two pixels thin: a line along their length.
            if (row.height <= 2) bevel.setShape(ui::BevelShape::TopLine);
            else if (row.width <= 2) bevel.setShape(ui::BevelShape::LeftLine);
            break;
        }
        case ui::Kind::StatusBar: {
            auto& bar = static_cast<ui::StatusBar&>(c);
            std::vector<ui::StatusBar::Panel> panels;
            for (int width : row.panelWidths) panels.push_back(ui::StatusBar::Panel{"", width});
            bar.setPanels(panels);
            break;
        }
        case ui::Kind::PaintBox:
            if (row.drawing == Drawing::GradientBar) {
                widgets::TGradient& g = static_cast<widgets::GradientControl&>(c).gradient();
                g.SetStartColor(row.startColor);
                g.SetEndColor(row.endColor);
                if (row.color) g.SetBkGround(*row.color);
                g.SetShowPercent(row.showPercent);
                g.SetCenterText(row.centerText);
                g.SetLower(row.minimum);
                g.SetUpper(row.maximum);
                g.SetPosition(row.position);
                if (row.font) g.SetFont(*row.font);
            } else if (row.drawing == Drawing::PerformanceGraph) {
                widgets::TPerformanceGraph& g = static_cast<widgets::PerformanceGraphControl&>(c).graph();
                g.SetGridSize(row.gridSize);
                g.SetStepSize(row.stepSize);
                g.SetGradient(row.gradient);
                g.SetScale(row.scale);
                g.SetPenWidth(row.penWidth);
            }
            break;
        default: break;
    }
}

// The tab orders of the tables, applied once every sibling exists: in ascending order within
// each parent, so that each control lands on its place for good.
void applyTabOrders(ui::Form& form) {
    struct TabStop {
        std::string parent;
        int tabOrder;
        ui::Control* control;
    };
    std::vector<TabStop> stops;
    forEachControl([&](const ControlLayout& row) {
        if (row.tabOrder >= 0 && row.kind != ui::Kind::Form && row.kind != ui::Kind::Timer)
            stops.push_back({row.parent, row.tabOrder, &form.get<ui::Control>(row.name)});
    });
    std::stable_sort(stops.begin(), stops.end(), [](const TabStop& a, const TabStop& b) {
        return a.parent != b.parent ? a.parent < b.parent : a.tabOrder < b.tabOrder;
    });
    for (const TabStop& stop : stops) stop.control->setTabOrder(stop.tabOrder);
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
    forEachControl([&](const ControlLayout& row) {
        if (ui::Control* control = makeControl(*form, row)) applyProperties(*form, *control, row);
    });
    applyTabOrders(*form);

    form->addComponent<ui::MainMenu>(kMainMenuName);
    addMenuItems(*form, mainMenuItems());
    form->addComponent<ui::PopupMenu>(kTrayMenuName);
    addMenuItems(*form, trayMenuItems());

    forEachControl([&](const ControlLayout& row) {
        if (row.kind != ui::Kind::Timer) return;
        auto& timer = form->addComponent<ui::Timer>(row.name);
        timer.setInterval(static_cast<uint32_t>(row.interval));
        timer.setEnabled(row.enabled);
    });
    return form;
}

BindingReport bindMainFormHandlers(ui::Form& form, const ui::FormHandlers& handlers) {
    BindingReport report;
    forEachControl([&](const ControlLayout& row) {
        const auto& h = handlers.handlers;
        switch (row.kind) {
            case ui::Kind::Form: {
                bindOne(form.onClose, row.name, "onClose", row.onClose, handlers.closing, report);
                bindOne(form.onResize, row.name, "onResize", row.onResize, h, report);
                return;
            }
            case ui::Kind::Timer:
                bindOne(form.get<ui::Timer>(row.name).onTimer, row.name, "onTimer", row.onTimer, h, report);
                return;
            default: break;
        }
        ui::Control& c = form.get<ui::Control>(row.name);
        bindOne(c.onEnter, row.name, "onEnter", row.onEnter, h, report);
        switch (row.kind) {
            case ui::Kind::PageControl: {
                auto& pages = static_cast<ui::PageControl&>(c);
                bindOne(pages.onChanging, row.name, "onChanging", row.onChanging, handlers.changing, report);
                bindChange(pages.onChange, row.name, "onChange", row.onChange, handlers.indices, handlers, report);
                break;
            }
            case ui::Kind::Label:
            case ui::Kind::LinkLabel:
                bindOne(static_cast<ui::Label&>(c).onClick, row.name, "onClick", row.onClick, h, report);
                break;
            case ui::Kind::Button:
                bindOne(static_cast<ui::Button&>(c).onClick, row.name, "onClick", row.onClick, h, report);
                break;
            case ui::Kind::FlatButton:
                bindOne(static_cast<ui::FlatButton&>(c).onClick, row.name, "onClick", row.onClick, h, report);
                break;
            case ui::Kind::CheckBox:
                bindChange(static_cast<ui::CheckBox&>(c).onClick, row.name, "onClick", row.onClick, handlers.checks, handlers,
                           report);
                break;
            case ui::Kind::RadioGroup:
                bindChange(static_cast<ui::RadioGroup&>(c).onClick, row.name, "onClick", row.onClick, handlers.indices,
                           handlers, report);
                break;
            case ui::Kind::Edit:
                bindChange(static_cast<ui::Edit&>(c).onChange, row.name, "onChange", row.onChange, handlers.texts, handlers,
                           report);
                break;
            case ui::Kind::TrackBar:
                bindChange(static_cast<ui::TrackBar&>(c).onChange, row.name, "onChange", row.onChange, handlers.indices,
                           handlers, report);
                break;
            case ui::Kind::ComboBox:
                bindChange(static_cast<ui::ComboBox&>(c).onChange, row.name, "onChange", row.onChange, handlers.indices,
                           handlers, report);
                break;
            case ui::Kind::HotKeyBox:
                bindChange(static_cast<ui::HotKeyBox&>(c).onChange, row.name, "onChange", row.onChange, handlers.shortcuts,
                           handlers, report);
                break;
            default: break;
        }
    });
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
