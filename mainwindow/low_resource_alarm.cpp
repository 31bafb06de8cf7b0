// The low-resource alarm: the 9x family's free system resources on the resource page, the
// warning dialog they open when one falls below the user's threshold, and the options' handlers.
#include <optional>
#include <string>

#include "text/parse_int.h"
#include "app/texts.h"
#include "mainwindow/main_form.h"
#include "monitor/low_res_form.h"
#include "monitor/os_detection.h"
#include "ui/controls.h"

namespace mainwindow {

namespace {
// The threshold cannot be set above this.
constexpr int32_t kHighestThreshold = 90;
}  // namespace

void TQuilletForm::refreshFreeResources() {
    // The NT family has no such figures, and neither has a system this build cannot ask.
    std::optional<monitor::FreeResourceFigures> figures;
    if (!monitor::isNtFamily(os_.osVersion)) figures = monitor::readFreeResources(os_.freeResources);
    if (!figures) {
        for (ui::Label* label : c_.freeResourceLabels) label->setCaption(app::kNotAvailable);
        return;
    }
    const int32_t values[] = {figures->gdi, figures->system, figures->user};
    for (size_t i = 0; i < 3; ++i) c_.freeResourceLabels[i]->setCaption(std::to_string(values[i]) + "%");
    checkLowResources(figures->gdi, figures->system, figures->user);
}

void TQuilletForm::checkLowResources(int32_t gdi, int32_t system, int32_t user) {
    // Below the threshold, not at it; an empty or non-numeric threshold is 0 and never warns.
    const int32_t threshold = state_.lowResourceThreshold;
    if (!c_.lowResourceCheckBox.checked() || state_.lowResourceAlarmShowing) return;
    if (gdi >= threshold && system >= threshold && user >= threshold) return;

    // One warning at a time: a refresh while it is open (a tick of the first one, opened during
    // the window's creation, when the timer still runs) passes it by.
    struct Showing {
        bool& flag;
        explicit Showing(bool& f) : flag(f) { flag = true; }
        ~Showing() { flag = false; }
        Showing(const Showing&) = delete;
        Showing& operator=(const Showing&) = delete;
    } showing(state_.lowResourceAlarmShowing);

    int left = 0, top = 0;
    os_.windows.clientOrigin(window_, left, top);
    monitor::TLowResForm dialog(form_->backend(), os_.freeResources, left, top);
    dialog.gdiLabel().setCaption(c_.freeResourceLabels[0]->caption());
    dialog.systemLabel().setCaption(c_.freeResourceLabels[1]->caption());
    dialog.userLabel().setCaption(c_.freeResourceLabels[2]->caption());
    dialog.showModal();
}

void TQuilletForm::LowResourceCheckBoxClick(bool on) { c_.lowResourceEdit.setEnabled(on); }

void TQuilletForm::LowResourceEditChange(const std::string& text) {
    const int32_t threshold = text::parseInt(text);
    if (threshold > kHighestThreshold) return correctEdit(c_.lowResourceEdit, std::to_string(kHighestThreshold));
    state_.lowResourceThreshold = threshold;
}

}  // namespace mainwindow
