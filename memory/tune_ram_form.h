#pragma once
// The "Tune RAM" dialog: two track bars, in megabytes, for how much memory a manual release
// aims to free (the target) and the free-memory level below which memory is released
// automatically (the level). The level always stays below the target: moving one past the
// other pushes the other along. Each move shows the figure with its share of physical memory
// and moves the matching base line of the main window's graph (the white one for the target,
// the red one for the level). There is no OK or Cancel: however the dialog is closed, its
// values are taken.
#include <functional>

#include "platform/memory.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace memory {

// What the dialog drives on the main window's graph. Any member may be left empty.
struct TuneRamGraphLink {
    // Pause and resume the graph around every base-line change.
    std::function<void()> holdGraph;
    std::function<void()> releaseGraph;
    // The graph's white (target) and red (level) base lines, in percent of physical memory.
    std::function<void(int percent)> setBaseline1;
    std::function<void(int percent)> setBaseline2;
};

class TTuneRamForm : public ui::Form {
public:
    static constexpr int kClientWidth = 378;
    static constexpr int kClientHeight = 49;
    // The dialog's top-left lies this far right of and below its owner's.
    static constexpr int kOwnerOffset = 15;

    // The link is copied. `memory` is read afresh for every percentage and must outlive the
    // form.
    TTuneRamForm(ui::Backend& backend, platform::Memory& memory, TuneRamGraphLink graph);

    // Puts the dialog's top-left kOwnerOffset pixels (at 96 dpi; scaled to the screen's DPI)
    // right of and below the given screen point (the owner's top-left).
    void placeBeside(int ownerLeft, int ownerTop);

    ui::TrackBar& targetFreeRamTrackBar() const { return targetBar_; }
    ui::TrackBar& autoRecoverLevelTrackBar() const { return levelBar_; }
    ui::Label& targetFreeRamValLabel() const { return targetValLabel_; }
    ui::Label& autoRecoverLevelValLabel() const { return levelValLabel_; }

private:
    // The bars' change handlers.
    void targetFreeRamTrackBarChange();
    void autoRecoverLevelTrackBarChange();
    // `megabytes` in whole percent of the physical memory the system reports now.
    int percentOfPhysical(int megabytes) const;
    // Moves one base line with the graph held, releasing it even if the move throws.
    void moveBaseline(const std::function<void(int)>& setBaseline, int percent) const;

    platform::Memory& memory_;
    TuneRamGraphLink graph_;

    ui::Label& targetCaptionLabel_;
    ui::TrackBar& targetBar_;
    ui::Label& targetValLabel_;
    ui::Label& levelCaptionLabel_;
    ui::TrackBar& levelBar_;
    ui::Label& levelValLabel_;
};

// The two bars' ranges and positions, in megabytes.
struct TuneRamValues {
    int targetMax = 0;
    int levelMax = 0;
    int target = 0;
    int level = 0;
};

// Runs the dialog for the main window whose top-left is (ownerLeft, ownerTop): the bars take
// the ranges and positions of `start` (each position through its handler), the dialog is
// shown modally, and once it is closed, however that happens, the values the user left in it
// are returned (the maxima as given, the positions as the bars hold them). The form is gone
// when this returns.
TuneRamValues runTuneRamDialog(ui::Backend& backend, platform::Memory& memory, const TuneRamGraphLink& graph,
                               int ownerLeft, int ownerTop, const TuneRamValues& start);

}  // namespace memory
