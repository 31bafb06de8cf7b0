#pragma once
// The start-up window: the product picture, name, version and notice line on white, for two
// seconds while the main window is being created. Its creator shows it modally (showModal());
// the first tick of its timer closes it, which ends the modal display, and the creator then
// destroys it. It takes no input: no buttons, and the timer alone ends it.
#include <cstdint>

#include "app/version.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace mainwindow {

// The program-wide version text (the About page and the upgrade check show the same).
using app::kProgramVersion;
// Put before the version on the splash: a full-width colon and one blank.
inline constexpr const char* kSplashVersionPrefix = "版本： ";

class TSplashForm : public ui::Form {
public:
    static constexpr int kClientWidth = 329;
    static constexpr int kClientHeight = 121;
    // How long the splash stays up: the timer's interval, closed by its first tick.
    static constexpr uint32_t kShowMilliseconds = 2000;

    // Builds the window with its controls and runs its creation step (texts, timer armed).
    // The timer counts from the moment the form is realised, which showModal() does first.
    explicit TSplashForm(ui::Backend& backend);

    ui::Panel& panel() const { return panel_; }
    ui::Picture& image() const { return image_; }
    ui::Label& progNameLabel() const { return progNameLabel_; }
    ui::Label& versionLabel() const { return versionLabel_; }
    ui::Label& copyrightLabel() const { return copyrightLabel_; }
    ui::Timer& timer() const { return timer_; }

private:
    // The creation step: the three labels' texts, the timer's interval, the timer enabled.
    void formCreate();
    // The timer's tick: closes the form, ending its modal display.
    void timerTimer();

    ui::Panel& panel_;
    ui::Picture& image_;
    ui::Label& progNameLabel_;
    ui::Label& versionLabel_;
    ui::Label& copyrightLabel_;
    ui::Timer& timer_;
};

}  // namespace mainwindow
