#pragma once
// Explorer's unloading of libraries that no program uses any more (增强选项): the default value
// of its key, "1" or "0", written as the box is clicked.
#include "mainwindow/main_form_builder.h"
#include "tweaks/tweak_context.h"

namespace tweaks {

class ExplorerTweaks {
public:
    explicit ExplorerTweaks(const TweakContext& context) : c_(context) {}
    void bindHandlers(settings::FormHandlers& table);

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
