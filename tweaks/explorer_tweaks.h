#pragma once
// Explorer's unloading of libraries that no program uses any more (增强选项): the default value
// of its key, "1" or "0", written as the box is clicked.
#include "tweaks/tweak_context.h"
#include "ui/form_handlers.h"

namespace tweaks {

class ExplorerTweaks {
public:
    explicit ExplorerTweaks(const TweakContext& context) : c_(context) {}
    void bindHandlers(ui::FormHandlers& table);

    // The settings load: the box shows whether the value is exactly "1"; nothing is written.
    void readState();

    bool ReadAlwaysUnloadDLLState();
    void WriteAlwaysUnloadDLL(bool on);
    void AlwaysUnloadDLLCheckBoxClick();

private:
    TweakContext c_;
    bool reading_ = false;
};

}  // namespace tweaks
