#include "mainwindow/main_controls.h"

#include <string>

#include "mainwindow/main_form_layout.h"

namespace mainwindow {

namespace {

// The cache tweaks of one family and the low-resource alarm, which the NT family lacks.
constexpr const char* kNotOnNt[] = {
    "Win9xMEGroupBox", "Label3", "MinimumDiskCacheEdit", "Label4", "MinimumDiskCacheCheckBox", "Label5",
    "MaximumDiskCacheEdit", "Label6", "MaximumDiskCacheCheckBox", "Label7", "ChunkSizeEdit", "Label8",
    "ChunkSizeCheckBox", "Label9", "CacheSchemeComboBox", "ConserveSwapFileCheckBox", "LowResourceCheckBox",
    "LowResourceEdit", "Label18",
};
constexpr const char* kNotOn9x[] = {
    "WinNT2000XPCacheGroupBox",       "Label10", "Disable83NameCreationCheckBox", "DisableLastAccessTimeStampCheckBox",
    "DisablePagingExecutiveCheckBox", "LargeSystemCacheCheckBox",
};

template <size_t N>
std::vector<ui::Control*> controlsNamed(ui::Form& form, const char* const (&names)[N]) {
    std::vector<ui::Control*> controls;
    for (const char* name : names) controls.push_back(&form.get<ui::Control>(name));
    return controls;
}

std::array<ui::MenuItem*, 9> shareItemsOf(ui::Form& form) {
    std::array<ui::MenuItem*, 9> items{};
    for (size_t i = 0; i < items.size(); ++i)
        items[i] = &form.get<ui::MenuItem>("N" + std::to_string((i + 1) * 10) + "RAM1");
    return items;
}

}  // namespace

MainControls::MainControls(ui::Form& f)
    : mainPageControl(f.get<ui::PageControl>("MainPageControl")),
      memoryTabSheet(f.get<ui::TabSheet>("MemoryTabSheet")),
      optionsTabSheet(f.get<ui::TabSheet>("OptionsTabSheet")),
      tweaksTabSheet(f.get<ui::TabSheet>("TweaksTabSheet")),
      cacheTabSheet(f.get<ui::TabSheet>("CacheTabSheet")),
      aboutTabSheet(f.get<ui::TabSheet>("AboutTabSheet")),
      trayMenu(f.get<ui::PopupMenu>(kTrayMenuName)),
      disableAutoRecover1(f.get<ui::MenuItem>("DisableAutoRecover1")),
      userAccount1(f.get<ui::MenuItem>("UserAccount1")),
      shareItems(shareItemsOf(f)),
      mainTimer(f.get<ui::Timer>("MainTimer")),
      hintLabel(f.get<ui::Label>("HintLabel")),
      freeRamValLabel(f.get<ui::Label>("FreeRamValLabel")),
      freePageFileValLabel(f.get<ui::Label>("FreePageFileValLabel")),
      memLoadValLabel(f.get<ui::Label>("MemLoadValLabel")),
      elapsedLabel(f.get<ui::Label>("ElapsedLabel")),
      freeResourceLabels{&f.get<ui::Label>("GDIFreeValLabel"), &f.get<ui::Label>("SystemFreeValLabel"),
                         &f.get<ui::Label>("UserFreeValLabel")},
      cpuProgressBar(f.get<widgets::GradientControl>("CPUProgressBar")),
      performanceGraph(f.get<widgets::PerformanceGraphControl>("PerformanceGraph")),
      graphBackPanel(f.get<ui::Panel>("GraphBackPanel")),
      scaleLabels{&f.get<ui::Label>("Ram0Label"), &f.get<ui::Label>("Ram25Label"), &f.get<ui::Label>("Ram50Label"),
                  &f.get<ui::Label>("Ram75Label"), &f.get<ui::Label>("Ram100Label")},
      disableAutoRecoverSpeedButton(f.get<ui::FlatButton>("DisableAutoRecoverSpeedButton")),
      enableImage(f.get<ui::Picture>("EnableImage")),
      disableImage(f.get<ui::Picture>("DisableImage")),
      releaseAfterStartupCheckBox(f.get<ui::CheckBox>("ReleaseAfterStartupCheckBox")),
      releaseAfterStartupEdit(f.get<ui::Edit>("ReleaseAfterStartupEdit")),
      releaseAfterStartupWaitEdit(f.get<ui::Edit>("ReleaseAfterStartupWaitEdit")),
      startMinimizedCheckBox(f.get<ui::CheckBox>("StartMinimizedCheckBox")),
      autoRecoverCheckBox(f.get<ui::CheckBox>("AutoRecoverCheckBox")),
      recoverEveryXMinutesCheckBox(f.get<ui::CheckBox>("RecoverEveryXMinutesCheckBox")),
      recoverEveryXMinutesEdit(f.get<ui::Edit>("RecoverEveryXMinutesEdit")),
      recoverEveryXMinutesPercentEdit(f.get<ui::Edit>("RecoverEveryXMinutesPercentEdit")),
      disableCPUMonitorCheckBox(f.get<ui::CheckBox>("DisableCPUMonitorCheckBox")),
      recoverBelowCPUUsageCheckBox(f.get<ui::CheckBox>("RecoverBelowCPUUsageCheckBox")),
      recoverBelowCPUUsageEdit(f.get<ui::Edit>("RecoverBelowCPUUsageEdit")),
      percentLabel(f.get<ui::Label>("PercentLabel")),
      hotKeyCheckBoxes{&f.get<ui::CheckBox>("HotkeyCheckBox"), &f.get<ui::CheckBox>("DisableAutoRecoverCheckBox")},
      hotKeyBoxes{&f.get<ui::HotKeyBox>("RecoverHotKey"), &f.get<ui::HotKeyBox>("DisableAutoRecoverHotKey")},
      targetFreeRamTrackBar(f.get<ui::TrackBar>("TargetFreeRamTrackBar")),
      targetFreeRamValLabel(f.get<ui::Label>("TargetFreeRamValLabel")),
      autoRecoverLevelTrackBar(f.get<ui::TrackBar>("AutoRecoverLevelTrackBar")),
      autoRecoverLevelValLabel(f.get<ui::Label>("AutoRecoverLevelValLabel")),
      lowResourceCheckBox(f.get<ui::CheckBox>("LowResourceCheckBox")),
      lowResourceEdit(f.get<ui::Edit>("LowResourceEdit")),
      startSplashCheckBox(f.get<ui::CheckBox>("StartSplashCheckBox")),
      translucentCheckBox(f.get<ui::CheckBox>("TranslucentCheckBox")),
      translucentTrackBar(f.get<ui::TrackBar>("TranslucentTrackBar")),
      recoverSndCheckBox(f.get<ui::CheckBox>("RecoverSndCheckBox")),
      recoverSoundFileEdit(f.get<ui::Edit>("RecoverSoundFileEdit")),
      recoverSndFileSpeedButton(f.get<ui::Button>("RecoverSndFileSpeedButton")),
      graphColorComboBox(f.get<ui::ComboBox>("GraphColorComboBox")),
      tabStyleComboBox(f.get<ui::ComboBox>("TabStyleComboBox")),
      graphSpeedRadioGroup(f.get<ui::RadioGroup>("GraphSpeedRadioGroup")),
      cacheSchemeComboBox(f.get<ui::ComboBox>("CacheSchemeComboBox")),
      reduceRAMCheckBox(f.get<ui::CheckBox>("ReduceRAMCheckBox")),
      reduceRAMEdit(f.get<ui::Edit>("ReduceRAMEdit")),
      stressGradient(f.get<widgets::GradientControl>("StressGradient")),
      stressMemLoadGradient(f.get<widgets::GradientControl>("StressMemLoadGradient")),
      copyRightAboutLabel(f.get<ui::Label>("CopyRightAboutLabel")),
      versionAboutValLabel(f.get<ui::Label>("VersionAboutValLabel")),
      totalPhysicalRamAboutValLabel(f.get<ui::Label>("TotalPhysicalRamAboutValLabel")),
      totalPageFileAboutValLabel(f.get<ui::Label>("TotalPageFileAboutValLabel")),
      operatingSystemAboutValLabel(f.get<ui::Label>("OperatingSystemAboutValLabel")),
      osVersionAboutValLabel(f.get<ui::Label>("OSVersionAboutValLabel")),
      osNameAboutLabel(f.get<ui::Label>("OSNAMEAboutLabel")),
      webAboutValLabel(f.get<ui::Label>("WebAboutValLabel")),
      emailAboutValLabel(f.get<ui::Label>("EmailAboutValLabel")),
      homePageLabel(f.get<ui::Label>("HomePageLabel")),
      notOnNt(controlsNamed(f, kNotOnNt)),
      notOn9x(controlsNamed(f, kNotOn9x)) {}

}  // namespace mainwindow
