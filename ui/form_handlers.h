#pragma once
// A form's handler methods by the names its tables give them: what a form built from tables
// binds its events to, and what each part of the program adds its own handlers to.
#include <functional>
#include <map>
#include <string>

#include "ui/form.h"

namespace ui {

struct FormHandlers {
    std::map<std::string, Handler> handlers;                                   // clicks, changes, enter, timer, resize
    std::map<std::string, std::function<void(bool& allowChange)>> changing;    // page control: asked before a change
    std::map<std::string, std::function<void(CloseAction& action)>> closing;  // the form's close request
};

}  // namespace ui
