#pragma once
// The network options of the tweaks page (增强选项): the TCP/IP values tuned for modems and
// DSL, a set per Windows release, and the number of connections the browser opens to one
// server. Both act at once on the registry; the program's settings file keeps nothing of them.
#include <cstddef>
#include <cstdint>

#include "monitor/os_detection.h"
#include "platform/registry.h"
#include "tweaks/tweak_context.h"
#include "ui/form_handlers.h"

namespace tweaks {

// One value of a tuned set: a text (REG_SZ) or a number (REG_DWORD).
struct TunedValue {
    const char* name;
    const char* text;  // null: the value is a number
    uint32_t number;
};

// A release's tuned set, in the order its values are written and removed.
struct TunedSet {
    const char* key;  // under HKEY_LOCAL_MACHINE
    const TunedValue* values;
    size_t count;
    bool greysWhenLocked;  // a key that cannot be opened greys the box (NT: no administrator)
};

// The set of the running release; null for a release that has none (Windows Server 2003,
// Vista and later, or a release not recognised).
const TunedSet* tunedSetFor(const monitor::OsDescription& system);

class NetworkTweaks {
public:
    explicit NetworkTweaks(const TweakContext& context) : c_(context) {}
    void bindHandlers(ui::FormHandlers& table);

    // The settings load: both boxes and the edit show what the registry holds; nothing is
    // written.
    void readState();

    bool ReadCableDSLModemState();
    void WriteCableDSLModem(bool on);
    bool ReadSimultaneousConnectionsState();
    void WriteSimultaneousConnections(bool on);

    void CableDSLModemCheckBoxClick();
    void SimultaneousConnectionsCheckBoxClick();
    void SimultaneousConnectionsEditChange();

private:
    TweakContext c_;
    bool reading_ = false;
};

}  // namespace tweaks
