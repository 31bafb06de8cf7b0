#pragma once
// The system tweaks of the main window's tweaks and cache pages, and the start with Windows of
// its options page, as the window reaches them: their handlers, their share of the settings
// load and of the settings save.
#include "tweaks/cache_tweaks.h"
#include "tweaks/explorer_tweaks.h"
#include "tweaks/network_tweaks.h"
#include "tweaks/start_with_windows.h"
#include "tweaks/tweak_context.h"
#include "ui/form_handlers.h"

namespace tweaks {

class SystemTweaks {
public:
    explicit SystemTweaks(const TweakContext& context)
        : cache(context), network(context), explorer(context), startup(context) {}
    SystemTweaks(const SystemTweaks&) = delete;
    SystemTweaks& operator=(const SystemTweaks&) = delete;

    void bindHandlers(ui::FormHandlers& table) {
        cache.bindHandlers(table);
        network.bindHandlers(table);
        explorer.bindHandlers(table);
    }
    // The settings load, with the options: the network and Explorer boxes.
    void readTweaksPage() {
        network.readState();
        explorer.readState();
    }
    // The settings load, last: the family's cache settings (on the 9x family once the scheme is
    // selected), then the contiguous-allocation box.
    void readCachePage(bool ntFamily) {
        if (ntFamily) {
            cache.readNtBoxes();
        } else {
            cache.readCacheIni();
        }
        cache.readContigFileAlloc();
    }

    CacheTweaks cache;
    NetworkTweaks network;
    ExplorerTweaks explorer;
    StartWithWindows startup;
};

}  // namespace tweaks
