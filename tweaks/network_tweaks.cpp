#include "tweaks/network_tweaks.h"

#include <iterator>
#include <string>

#include "text/parse_int.h"
#include "tweaks/registry_access.h"
#include "ui/controls.h"

namespace tweaks {

namespace {

using platform::RegistryRoot;

// Windows 95, 98 and ME: the texts of the MSTCP driver, and one number.
constexpr TunedValue k9xValues[] = {
    {"DefaultTTL", "128", 0},        {"DefaultRcvWindow", "32767", 0}, {"PMTUBlackHoleDetect", "0", 0},
    {"PMTUDiscovery", "1", 0},       {"SackOpts", "1", 0},             {"Tcp1323Opts", nullptr, 3},
};
// Windows NT 4.
constexpr TunedValue kNt4Values[] = {
    {"DefaultTTL", nullptr, 128},
    {"EnablePMTUBHDetect", nullptr, 0},
    {"EnablePMTUDiscovery", nullptr, 1},
    {"TcpWindowSize", nullptr, 64240},
};
// Windows 2000 and XP.
constexpr TunedValue kNt5Values[] = {
    {"DefaultTTL", nullptr, 128},         {"EnablePMTUBHDetect", nullptr, 0}, {"EnablePMTUDiscovery", nullptr, 1},
    {"SackOpts", nullptr, 1},             {"Tcp1323Opts", nullptr, 1},        {"TcpWindowSize", nullptr, 32767},
    {"GlobalMaxTcpWindowSize", nullptr, 32767},
};

constexpr const char* kMstcpKey = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
constexpr const char* kTcpipKey = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

constexpr TunedSet k9xSet{kMstcpKey, k9xValues, std::size(k9xValues), false};
constexpr TunedSet kNt4Set{kTcpipKey, kNt4Values, std::size(kNt4Values), true};
constexpr TunedSet kNt5Set{kTcpipKey, kNt5Values, std::size(kNt5Values), true};

// The browser's connections to one server, both values the edit's number.
constexpr const char* kInternetSettingsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* kPerServer = "MaxConnectionsPerServer";
constexpr const char* kPer10Server = "MaxConnectionsPer1_0Server";
constexpr uint32_t kBrowserPerServer = 2;    // the browser's own default
constexpr uint32_t kBrowserPer10Server = 4;  // the browser's own default
constexpr const char* kDefaultConnections = "4";
constexpr int32_t kMostConnections = 32;

constexpr const char* kModemBox = "CableDSLModemCheckBox";
constexpr const char* kConnectionsBox = "SimultaneousConnectionsCheckBox";
constexpr const char* kConnectionsEdit = "SimultaneousConnectionsEdit";

}  // namespace

const TunedSet* tunedSetFor(const monitor::OsDescription& system) {
    if (system.isWin95 || system.isWin98 || system.isWinMe) return &k9xSet;
    if (system.isWinNt) return &kNt4Set;
    if (system.isWin2000 || system.isWinXp) return &kNt5Set;
    return nullptr;
}

void NetworkTweaks::bindHandlers(ui::FormHandlers& table) {
    auto& h = table.handlers;
    h["CableDSLModemCheckBoxClick"] = [this] { CableDSLModemCheckBoxClick(); };
    h["SimultaneousConnectionsCheckBoxClick"] = [this] { SimultaneousConnectionsCheckBoxClick(); };
    h["SimultaneousConnectionsEditChange"] = [this] { SimultaneousConnectionsEditChange(); };
}

void NetworkTweaks::readState() {
    const ReadingGuard guard(reading_);
    c_.get<ui::CheckBox>(kModemBox).setChecked(ReadCableDSLModemState());
    c_.get<ui::CheckBox>(kConnectionsBox).setChecked(ReadSimultaneousConnectionsState());
}

// ---- the tuned set ----

bool NetworkTweaks::ReadCableDSLModemState() {
    const TunedSet* set = tunedSetFor(monitor::osDescription());
    if (set == nullptr) return false;
    RegistryKeyAccess key(c_.os.registry, RegistryRoot::LocalMachine, set->key);
    if (!key.opened()) {
        if (set->greysWhenLocked) c_.get<ui::CheckBox>(kModemBox).setEnabled(false);
        return false;
    }
    for (size_t i = 0; i < set->count; ++i) {
        const TunedValue& value = set->values[i];
        // A missing number reads as 0; a missing text as "".
        const bool matches = value.text != nullptr ? key.text(value.name) == value.text
                                                   : key.number(value.name).value_or(0) == value.number;
        if (!matches) return false;
    }
    return true;
}

void NetworkTweaks::WriteCableDSLModem(bool on) {
    const TunedSet* set = tunedSetFor(monitor::osDescription());
    if (set == nullptr) return;
    RegistryKeyAccess key(c_.os.registry, RegistryRoot::LocalMachine, set->key);
    if (!key.opened()) {
        if (set->greysWhenLocked) c_.get<ui::CheckBox>(kModemBox).setEnabled(false);
        return;
    }
    for (size_t i = 0; i < set->count; ++i) {
        const TunedValue& value = set->values[i];
        if (!on) {
            key.remove(value.name);
        } else if (value.text != nullptr) {
            key.setText(value.name, value.text);
        } else {
            key.setNumber(value.name, value.number);
        }
    }
}

void NetworkTweaks::CableDSLModemCheckBoxClick() {
    if (reading_) return;
    WriteCableDSLModem(c_.get<ui::CheckBox>(kModemBox).checked());
}

// ---- connections per server ----

bool NetworkTweaks::ReadSimultaneousConnectionsState() {
    auto& edit = c_.get<ui::Edit>(kConnectionsEdit);
    RegistryKeyAccess key(c_.os.registry, RegistryRoot::CurrentUser, kInternetSettingsKey);
    if (!key.opened()) {
        edit.setText(kDefaultConnections);
        return false;
    }
    // On only when both values exist and the per-server one is not the browser's default; the
    // edit shows the per-1.0-server number.
    bool perServerOn = false;
    if (const auto perServer = key.number(kPerServer)) {
        perServerOn = *perServer != kBrowserPerServer;
    } else {
        edit.setText(kDefaultConnections);
    }
    bool per10ServerOn = false;
    if (const auto per10Server = key.number(kPer10Server)) {
        per10ServerOn = *per10Server != kBrowserPer10Server || perServerOn;
        edit.setText(std::to_string(*per10Server));
    } else {
        edit.setText(kDefaultConnections);
    }
    return perServerOn && per10ServerOn;
}

void NetworkTweaks::WriteSimultaneousConnections(bool on) {
    RegistryKeyAccess key(c_.os.registry, RegistryRoot::CurrentUser, kInternetSettingsKey);
    if (!key.opened()) return;
    if (on) {
        const auto connections = static_cast<uint32_t>(text::parseInt(c_.get<ui::Edit>(kConnectionsEdit).text()));
        key.setNumber(kPerServer, connections);
        key.setNumber(kPer10Server, connections);
    } else {
        key.remove(kPerServer);
        key.remove(kPer10Server);
    }
}

void NetworkTweaks::SimultaneousConnectionsCheckBoxClick() {
    if (reading_) return;
    WriteSimultaneousConnections(c_.get<ui::CheckBox>(kConnectionsBox).checked());
}

void NetworkTweaks::SimultaneousConnectionsEditChange() {
    auto& edit = c_.get<ui::Edit>(kConnectionsEdit);
    const int32_t connections = text::parseInt(edit.text());
    const char* corrected = connections > kMostConnections ? "32" : connections <= 0 ? "1" : nullptr;
    if (corrected != nullptr) {
        // The corrected text runs this handler again, which writes it.
        edit.setText(corrected);
        edit.selectAll();
        return;
    }
    if (reading_) return;
    WriteSimultaneousConnections(c_.get<ui::CheckBox>(kConnectionsBox).checked());
}

}  // namespace tweaks
