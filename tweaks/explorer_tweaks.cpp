#include "tweaks/explorer_tweaks.h"

#include "tweaks/registry_access.h"
#include "ui/controls.h"

namespace tweaks {

namespace {

constexpr const char* kUnloadKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL";
constexpr const char* kUnloadBox = "AlwaysUnloadDLLCheckBox";

}  // namespace

void ExplorerTweaks::bindHandlers(ui::FormHandlers& table) {
    table.handlers["AlwaysUnloadDLLCheckBoxClick"] = [this] { AlwaysUnloadDLLCheckBoxClick(); };
}

void ExplorerTweaks::readState() {
    const ReadingGuard guard(reading_);
    c_.get<ui::CheckBox>(kUnloadBox).setChecked(ReadAlwaysUnloadDLLState());
}

// The key is made when missing (it then holds no value, which reads as cleared); a key that
// cannot be made or opened greys the box.
bool ExplorerTweaks::ReadAlwaysUnloadDLLState() {
    RegistryKeyAccess key(c_.os.registry, platform::RegistryRoot::LocalMachine, kUnloadKey,
                          RegistryKeyAccess::Mode::Create);
    if (!key.opened()) {
        c_.get<ui::CheckBox>(kUnloadBox).setEnabled(false);
        return false;
    }
    return key.text("") == "1";
}

void ExplorerTweaks::WriteAlwaysUnloadDLL(bool on) {
    RegistryKeyAccess key(c_.os.registry, platform::RegistryRoot::LocalMachine, kUnloadKey,
                          RegistryKeyAccess::Mode::Create);
    if (!key.opened()) {
        c_.get<ui::CheckBox>(kUnloadBox).setEnabled(false);
        return;
    }
    // Cleared writes "0": the value stays.
    key.setText("", on ? "1" : "0");
}

void ExplorerTweaks::AlwaysUnloadDLLCheckBoxClick() {
    if (reading_) return;
    WriteAlwaysUnloadDLL(c_.get<ui::CheckBox>(kUnloadBox).checked());
}

}  // namespace tweaks
