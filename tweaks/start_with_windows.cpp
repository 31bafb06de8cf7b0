#include "tweaks/start_with_windows.h"

#include "app/texts.h"
#include "tweaks/registry_access.h"
#include "ui/controls.h"

namespace tweaks {

namespace {

// Where Windows finds the programs it starts with a user's session.
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kBox = "StartWithWindowsCheckBox";
constexpr platform::RegistryRoot kAllUsers = platform::RegistryRoot::LocalMachine;
constexpr platform::RegistryRoot kThisUser = platform::RegistryRoot::CurrentUser;

// Told when the box was cleared but the entry for all users stays.
constexpr const char* kAdministratorOnlyText =
    "为所有用户设置的 Quillet 启动项只有管理员才能删除，因此 Quillet 仍会随 Windows 一同启动。";

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string_view commandProgram(std::string_view command) {
    command = trimmed(command);
    if (!command.empty() && command.front() == '"') {
        command.remove_prefix(1);
        return command.substr(0, command.find('"'));
    }
    for (size_t dot = 0; dot + 4 < command.size(); ++dot) {
        if (sameIgnoringCase(command.substr(dot, 4), ".exe") && (command[dot + 4] == ' ' || command[dot + 4] == '\t'))
            return command.substr(0, dot + 4);
    }
    return command;
}

bool commandStartsProgram(std::string_view command, const std::string& program, platform::Process& process) {
    const std::string_view named = commandProgram(command);
    if (named.empty() || program.empty()) return false;
    return sameIgnoringCase(process.longPathName(std::string(named)), process.longPathName(program));
}

bool StartWithWindows::startsThisCopy(platform::RegistryRoot root) {
    RegistryKeyAccess key(c_.os.registry, root, kRunKey, RegistryKeyAccess::Mode::Open, platform::kKeyRead);
    return key.opened() &&
           commandStartsProgram(key.text(app::kProductName), c_.os.process.programPath(), c_.os.process);
}

// The program's full path, as the installer writes it too.
bool StartWithWindows::writeValue(platform::RegistryRoot root) {
    RegistryKeyAccess key(c_.os.registry, root, kRunKey, RegistryKeyAccess::Mode::Create, platform::kKeySetValue);
    return key.setText(app::kProductName, c_.os.process.programPath());
}

void StartWithWindows::removeValue(platform::RegistryRoot root) {
    RegistryKeyAccess key(c_.os.registry, root, kRunKey, RegistryKeyAccess::Mode::Open, platform::kKeySetValue);
    key.remove(app::kProductName);
}

void StartWithWindows::readState() {
    c_.get<ui::CheckBox>(kBox).setChecked(startsThisCopy(kAllUsers) || startsThisCopy(kThisUser));
}

bool StartWithWindows::writeState() {
    auto& box = c_.get<ui::CheckBox>(kBox);
    if (box.checked()) {
        if (startsThisCopy(kAllUsers) || startsThisCopy(kThisUser)) return false;
        // Where neither place takes the value, the box shows that nothing starts.
        if (!writeValue(kAllUsers) && !writeValue(kThisUser)) box.setChecked(false);
        return false;
    }
    for (const platform::RegistryRoot root : {kAllUsers, kThisUser})
        if (startsThisCopy(root)) removeValue(root);
    const bool allUsersStays = startsThisCopy(kAllUsers);
    box.setChecked(allUsersStays || startsThisCopy(kThisUser));
    return allUsersStays;
}

void StartWithWindows::tellAllUsersEntryStays() {
    c_.os.windows.messageBox(c_.owner(), kAdministratorOnlyText, app::kProductName,
                             platform::kMbOk | platform::kMbIconWarning);
}

}  // namespace tweaks
