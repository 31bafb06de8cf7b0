#pragma once
// What the tweak pages work with: the main window's controls, the system's services, the
// window that owns their questions and the flag of a pending cache change.
#include <functional>
#include <string>

#include "platform/platform.h"
#include "ui/form.h"

namespace tweaks {

struct TweakContext {
    ui::Form& form;
    platform::Platform& os;
    std::function<platform::Window()> owner;  // the main window (known once it exists)
    bool& cacheChangePending;                 // a cache setting changed: a restart question is due

    template <class T>
    T& get(const std::string& name) const {
        return form.get<T>(name);
    }
};

// Marks the stretch in which the pages show what the system holds: the handlers that setting
// a control runs then show, but write nothing back. Only the user's own clicks and edits change
// the system.
class ReadingGuard {
public:
    explicit ReadingGuard(bool& reading) : reading_(reading), before_(reading) { reading_ = true; }
    ~ReadingGuard() { reading_ = before_; }
    ReadingGuard(const ReadingGuard&) = delete;
    ReadingGuard& operator=(const ReadingGuard&) = delete;

private:
    bool& reading_;
    bool before_;
};

}  // namespace tweaks
