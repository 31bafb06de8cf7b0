// The low-resource alarm: the 9x family's free system resources on the resource page, the
// warning dialog they open when one falls below the user's threshold, and the options' handlers.
#include <optional>
#include <string>

#include "app/parse_int.h"
#include "app/texts.h"
#include "mainwindow/main_form.h"
#include "monitor/low_res_form.h"
#include "monitor/os_detection.h"
#include "ui/controls.h"

namespace app {

namespace {
constexpr const char* kFigureLabels[] = {"GDIFreeValLabel", "SystemFreeValLabel", "UserFreeValLabel"};
// The threshold cannot be set above this.
constexpr int32_t kHighestThreshold = 90;
}  // namespace

void TQuilletForm::refreshFreeResources() {
    // The NT family has no such figures, and neither has a system this build cannot ask.
    std::optional<monitor::FreeResourceFigures> figures;
    if (!monitor::isNtFamily(os_.osVersion)) figures = monitor::readFreeResources(os_.freeResources);
    if (!figures) {
        for (const char* name : kFigureLabels) get<ui::Label>(name).setCaption(kNotAvailable);
        return;
    }
    const int32_t values[] = {figures->gdi, figures->system, figures->user};
    for (int i = 0; i < 3; ++i) get<ui::Label>(kFigureLabels[i]).setCaption(std::to_string(values[i]) + "%");
    checkLowResources(figures->gdi, figures->system, figures->user);
}

void TQuilletForm::checkLowResources(int32_t gdi, int32_t system, int32_t user) {
    // Below the threshold, not at it; an empty or non-numeric threshold is 0 and never warns.
    const int32_t threshold = parseInt(get<ui::Edit>("LowResourceEdit").text());
    if (!get<ui::CheckBox>("LowResourceCheckBox").checked() || state_.lowResourceAlarmShowing) return;
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
    dialog.gdiLabel().setCaption(get<ui::Label>("GDIFreeValLabel").caption());
    dialog.systemLabel().setCaption(get<ui::Label>("SystemFreeValLabel").caption());
    dialog.userLabel().setCaption(get<ui::Label>("UserFreeValLabel").caption());
    dialog.showModal();
}

void TQuilletForm::LowResourceCheckBoxClick() {
    get<ui::Edit>("LowResourceEdit").setEnabled(get<ui::CheckBox>("LowResourceCheckBox").checked());
}

void TQuilletForm::LowResourceEditChange() {
    if (parseInt(get<ui::Edit>("LowResourceEdit").text()) > kHighestThreshold)
        correctEdit("LowResourceEdit", std::to_string(kHighestThreshold));
}

}  // namespace app
