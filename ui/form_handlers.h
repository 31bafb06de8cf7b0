#pragma once
// A form's handler methods by the names its tables give them: what a form built from tables
// binds its events to, and what each part of the program adds its own handlers to.
#include <functional>
#include <map>
#include <string>

#include "ui/controls.h"
#include "ui/form.h"

namespace ui {

// A change handler that needs the new value is entered in the map of its value's type; one
// that needs none may stand in `handlers` (the binding looks in the typed map first).
struct FormHandlers {
    std::map<std::string, Handler> handlers;  // clicks, enter, timer, resize; changes told nothing
    std::map<std::string, ChangeHandler<bool>> checks;        // check boxes: the checked state
    std::map<std::string, ChangeHandler<int>> indices;        // track-bar position, radio-group, drop-down or page index
    std::map<std::string, ChangeHandler<std::string>> texts;  // edits: the text
    std::map<std::string, ChangeHandler<Shortcut>> shortcuts;  // hot-key boxes: the combination
    std::map<std::string, std::function<void(bool& allowChange)>> changing;    // page control: asked before a change
    std::map<std::string, std::function<void(CloseAction& action)>> closing;  // the form's close request
};

}  // namespace ui
