#include "memory/tune_ram_form.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "memory/conversions.h"
#include "memory/memory_status.h"

namespace memory {

namespace {


// Two rows, each a caption, a bar and the bar's figure; the labels are centred on their bar.
constexpr int kRow1Top = 4;
constexpr int kRow2Top = 26;
constexpr int kBarHeight = 20;
constexpr int kLabelHeight = 12;
constexpr int kLabelOffset = (kBarHeight - kLabelHeight) / 2;
constexpr int kCaptionLeft = 8;
constexpr int kCaptionWidth = 60;  // five characters of the 9-point font
constexpr int kBarLeft = 72;
constexpr int kTargetBarWidth = 169;
constexpr int kLevelBarWidth = 61;
constexpr int kValueGap = 4;
constexpr int kThumbLength = 14;

void styleBar(ui::TrackBar& bar, int left, int top, int width) {
    bar.setBounds(left, top, width, kBarHeight);
    bar.setTickStyle(ui::TickStyle::None);
    bar.setThumbLength(kThumbLength);
}

std::string figure(int megabytes, int percent) {
    return std::to_string(megabytes) + " Mb (" + std::to_string(percent) + "%)";
}

}  // namespace

TTuneRamForm::TTuneRamForm(ui::Backend& backend, platform::Memory& memory, TuneRamGraphLink graph)
    : ui::Form(backend, "TuneRamForm"),
      memory_(memory),
      graph_(std::move(graph)),
      targetCaptionLabel_(add<ui::Label>("Label1")),
      targetBar_(add<ui::TrackBar>("TargetFreeRamTrackBar")),
      targetValLabel_(add<ui::Label>("TargetFreeRamValLabel")),
      levelCaptionLabel_(add<ui::Label>("Label2")),
      levelBar_(add<ui::TrackBar>("AutoRecoverLevelTrackBar")),
      levelValLabel_(add<ui::Label>("AutoRecoverLevelValLabel")) {
    setClassName("TTuneRamForm");
    setCaption("调节内存");
    setBorderStyle(ui::BorderStyle::Dialog);
    setBorderIcons(ui::BorderIcons{true, false, false});
    setFormPosition(ui::FormPosition::Designed);
    setClientSize(kClientWidth, kClientHeight);
    setFont(ui::dialogFont());

    targetCaptionLabel_.setBounds(kCaptionLeft, kRow1Top + kLabelOffset, kCaptionWidth, kLabelHeight);
    targetCaptionLabel_.setCaption("释放内存到");
    styleBar(targetBar_, kBarLeft, kRow1Top, kTargetBarWidth);
    targetValLabel_.setPosition(kBarLeft + kTargetBarWidth + kValueGap, kRow1Top + kLabelOffset);
    targetValLabel_.setCaption("0M");

    levelCaptionLabel_.setBounds(kCaptionLeft, kRow2Top + kLabelOffset, kCaptionWidth, kLabelHeight);
    levelCaptionLabel_.setCaption("自动释放到");
    styleBar(levelBar_, kBarLeft, kRow2Top, kLevelBarWidth);
    levelValLabel_.setPosition(kBarLeft + kLevelBarWidth + kValueGap, kRow2Top + kLabelOffset);
    levelValLabel_.setCaption("0M");

    targetBar_.onChange = [this] { targetFreeRamTrackBarChange(); };
    levelBar_.onChange = [this] { autoRecoverLevelTrackBarChange(); };
}

void TTuneRamForm::placeBeside(int ownerLeft, int ownerTop) {
    // The offset is a length of the layout: at the DPI the dialog will be laid out for.
    const int offset = platform::scaledLength(kOwnerOffset, backend().screenDpi());
    setPosition(ownerLeft + offset, ownerTop + offset);
}

int TTuneRamForm::percentOfPhysical(int megabytes) const {
    memory::MemoryStatus status(memory_);
    const uint64_t totalMB = memory::toMB(status.totalPhys());
    return static_cast<int>(memory::percentOf(static_cast<uint64_t>(std::max(megabytes, 0)), totalMB));
}

void TTuneRamForm::moveBaseline(const std::function<void(int)>& setBaseline, int percent) const {
    // Released on the way out, whether or not the base line could be set.
    struct Hold {
        const TuneRamGraphLink& graph;
        explicit Hold(const TuneRamGraphLink& g) : graph(g) {
            if (graph.holdGraph) graph.holdGraph();
        }
        ~Hold() {
            if (graph.releaseGraph) graph.releaseGraph();
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    } hold(graph_);
    if (setBaseline) setBaseline(percent);
}

void TTuneRamForm::targetFreeRamTrackBarChange() {
    // A level of exactly 1 MB leaves the target's figure and base line as they are.
    if (levelBar_.position() == 1) return;
    if (levelBar_.position() >= targetBar_.position()) {
        levelBar_.setPosition(targetBar_.position() - 1);
    }
    // Read again, as the main window's bar does: the level's handler may have moved the target.
    const int target = targetBar_.position();
    const int percent = percentOfPhysical(target);
    targetValLabel_.setCaption(figure(target, percent));
    targetBar_.setSelection(targetBar_.selStart(), target);
    moveBaseline(graph_.setBaseline1, percent);
}

void TTuneRamForm::autoRecoverLevelTrackBarChange() {
    if (levelBar_.position() >= targetBar_.position()) {
        targetBar_.setPosition(levelBar_.position() + 1);
    }
    // Read again: the target's handler may have moved the level.
    const int level = levelBar_.position();
    const int percent = percentOfPhysical(level);
    levelValLabel_.setCaption(figure(level, percent));
    levelBar_.setSelection(levelBar_.selStart(), level);
    moveBaseline(graph_.setBaseline2, percent);
}

TuneRamValues runTuneRamDialog(ui::Backend& backend, platform::Memory& memory, const TuneRamGraphLink& graph,
                               int ownerLeft, int ownerTop, const TuneRamValues& start) {
    TTuneRamForm form(backend, memory, graph);
    form.placeBeside(ownerLeft, ownerTop);
    ui::TrackBar& target = form.targetFreeRamTrackBar();
    ui::TrackBar& level = form.autoRecoverLevelTrackBar();
    // One call each: a negative maximum gives the range 0 … 0 rather than dragging the
    // minimum below 0.
    target.setRange(0, start.targetMax);
    level.setRange(0, start.levelMax);
    target.setPosition(start.target);
    level.setPosition(start.level);

    form.showModal();
    return TuneRamValues{target.max(), level.max(), target.position(), level.position()};
}

}  // namespace memory
