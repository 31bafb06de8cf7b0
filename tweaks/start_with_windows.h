#pragma once
// Starting the program with Windows (the options page's first box): a Run value under the
// program's name, either for all users (HKEY_LOCAL_MACHINE, where the installer puts it) or for
// the user alone (HKEY_CURRENT_USER, which every user may change). The box acts only when the
// settings are saved.
//
// A value under the program's name that starts another copy (another folder) belongs to that
// copy: it does not tick the box and a cleared box never removes it. Ticking the box makes this
// copy the one that starts, in the place where it is written.
#include <string>
#include <string_view>

#include "platform/process.h"
#include "platform/registry.h"
#include "tweaks/tweak_context.h"

namespace tweaks {

// The program a Run value's command names first, without its quotes: inside double quotes, up
// to the closing one; without, up to the first blank after ".exe" (arguments follow), or the
// whole command. The installer's uninstaller reads the value by the same rule.
std::string_view commandProgram(std::string_view command);

// Whether the command of a Run value starts the program at this path: the program it names,
// in its long form where the file exists (a short 8.3 path starts the same file), is the
// program's own long path, with letters in any case.
bool commandStartsProgram(std::string_view command, const std::string& program, platform::Process& process);

class StartWithWindows {
public:
    explicit StartWithWindows(const TweakContext& context) : c_(context) {}

    // The settings load: the box is ticked when either place starts this copy.
    void readState();
    // The settings save. Ticked: unless a place starts this copy already, the value is written
    // for all users where the user may, otherwise for the user alone. Cleared: this copy's
    // values are removed where the user may. The box then shows what is left. Answers true
    // when the box was cleared but the entry for all users stays (only an administrator may
    // remove it).
    bool writeState();
    // Tells the user, in the main window, that the entry for all users stays.
    void tellAllUsersEntryStays();

private:
    bool startsThisCopy(platform::RegistryRoot root);
    bool writeValue(platform::RegistryRoot root);
    void removeValue(platform::RegistryRoot root);

    TweakContext c_;
};

}  // namespace tweaks
