#pragma once
#include <array>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/timer.h"
#include "widgets/widget_controls.h"

namespace mainwindow {

// The main window's components that its handlers work with, each resolved once by its name
// and kind right after the form is built: a name missing from the tables, or of another
// kind, stops the window's construction (std::out_of_range, std::invalid_argument) instead
// of surfacing the first time some handler runs.
struct MainControls {
    explicit MainControls(ui::Form& form);

    // Pages and menus.
    ui::PageControl& mainPageControl;
    ui::TabSheet& memoryTabSheet;
    ui::TabSheet& optionsTabSheet;
    ui::TabSheet& tweaksTabSheet;
    ui::TabSheet& cacheTabSheet;
    ui::TabSheet& aboutTabSheet;
    ui::PopupMenu& trayMenu;
    ui::MenuItem& disableAutoRecover1;
    ui::MenuItem& userAccount1;
    std::array<ui::MenuItem*, 9> shareItems;  // the tray's "尝试释放" items, 10 % ... 90 %
    ui::Timer& mainTimer;

    // The resource page.
    ui::Label& hintLabel;
    ui::Label& freeRamValLabel;
    ui::Label& freePageFileValLabel;
    ui::Label& memLoadValLabel;
    ui::Label& elapsedLabel;
    std::array<ui::Label*, 3> freeResourceLabels;  // GDI, system, user
    widgets::GradientControl& cpuProgressBar;
    widgets::PerformanceGraphControl& performanceGraph;
    ui::Panel& graphBackPanel;
    std::array<ui::Label*, 5> scaleLabels;  // the graph's scale at 0, 25, 50, 75 and 100 %
    ui::FlatButton& disableAutoRecoverSpeedButton;
    ui::Picture& enableImage;
    ui::Picture& disableImage;

    // The options page.
    ui::CheckBox& releaseAfterStartupCheckBox;
    ui::Edit& releaseAfterStartupEdit;
    ui::Edit& releaseAfterStartupWaitEdit;
    ui::CheckBox& startMinimizedCheckBox;
    ui::CheckBox& autoRecoverCheckBox;
    ui::CheckBox& recoverEveryXMinutesCheckBox;
    ui::Edit& recoverEveryXMinutesEdit;
    ui::Edit& recoverEveryXMinutesPercentEdit;
    ui::CheckBox& disableCPUMonitorCheckBox;
    ui::CheckBox& recoverBelowCPUUsageCheckBox;
    ui::Edit& recoverBelowCPUUsageEdit;
    ui::Label& percentLabel;
    std::array<ui::CheckBox*, 2> hotKeyCheckBoxes;  // id 0 recover now, id 1 automatic recovery off/on
    std::array<ui::HotKeyBox*, 2> hotKeyBoxes;
    ui::TrackBar& targetFreeRamTrackBar;
    ui::Label& targetFreeRamValLabel;
    ui::TrackBar& autoRecoverLevelTrackBar;
    ui::Label& autoRecoverLevelValLabel;
    ui::CheckBox& lowResourceCheckBox;
    ui::Edit& lowResourceEdit;
    ui::CheckBox& startSplashCheckBox;

    // The tweaks page.
    ui::CheckBox& translucentCheckBox;
    ui::TrackBar& translucentTrackBar;
    ui::CheckBox& recoverSndCheckBox;
    ui::Edit& recoverSoundFileEdit;
    ui::Button& recoverSndFileSpeedButton;
    ui::ComboBox& graphColorComboBox;
    ui::ComboBox& tabStyleComboBox;
    ui::RadioGroup& graphSpeedRadioGroup;

    // The cache page (its tweaks keep their own controls).
    ui::ComboBox& cacheSchemeComboBox;

    // The stress page.
    ui::CheckBox& reduceRAMCheckBox;
    ui::Edit& reduceRAMEdit;
    widgets::GradientControl& stressGradient;
    widgets::GradientControl& stressMemLoadGradient;

    // The About page.
    ui::Label& copyRightAboutLabel;
    ui::Label& versionAboutValLabel;
    ui::Label& totalPhysicalRamAboutValLabel;
    ui::Label& totalPageFileAboutValLabel;
    ui::Label& operatingSystemAboutValLabel;
    ui::Label& osVersionAboutValLabel;
    ui::Label& osNameAboutLabel;
    ui::Label& webAboutValLabel;
    ui::Label& emailAboutValLabel;
    ui::Label& homePageLabel;

    // What does not apply to the running family and is greyed at creation.
    std::vector<ui::Control*> notOnNt;
    std::vector<ui::Control*> notOn9x;
};

}  // namespace mainwindow
