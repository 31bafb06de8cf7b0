#pragma once
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/main_form_layout.h"
#include "ui/form.h"
#include "ui/form_handlers.h"

// Makes the main window of the control layer from the layout tables of main_form_layout.h:
// every control with all its design properties, the main menu, the tray menu and the main
// timer; then binds the handler names written in the tables to the form's handler methods.
namespace mainwindow {

// Builds the form, unrealised and hidden. Controls are created parents first in table order;
// their design values are set before any handler is bound, so building runs no handler.
std::unique_ptr<ui::Form> buildMainForm(ui::Backend& backend);

// What the binding did: for every event named in the tables, the handler's name with the
// event it belongs to ("Exit1.onClick=Exit1Click"), bound or not (no such handler supplied).
// The form's create event (FormCreate) is not an event of ui::Form: the form's owner runs it
// once the form is built, so it appears in neither list.
struct BindingReport {
    std::vector<std::string> bound;
    std::vector<std::string> unbound;
    // The distinct handler names of each list.
    std::vector<std::string> boundHandlerNames() const;
    std::vector<std::string> unboundHandlerNames() const;
};

// Binds every event of the tables whose handler name is in `handlers`; the others are left
// empty. Throws std::out_of_range when the form lacks a component of the tables.
BindingReport bindMainFormHandlers(ui::Form& form, const ui::FormHandlers& handlers);

}  // namespace mainwindow
