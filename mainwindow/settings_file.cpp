// The settings file: the main window's controls are the settings, copied from the INI file once
// while the window is made and back into it by 保存设置 and on exit.
#include <string>
#include <utility>

#include "text/parse_int.h"
#include "app/paths.h"
#include "text/text_format.h"
#include "app/texts.h"
#include "text/utf8_text.h"
#include "mainwindow/main_form.h"
#include "memory/conversions.h"
#include "memory/memory_status.h"
#include "monitor/os_detection.h"
#include "tweaks/system_tweaks.h"
#include "ui/controls.h"
#include "ui/menu.h"

namespace mainwindow {

namespace {

constexpr const char* kSection = "Settings";
constexpr size_t kWebLength = 159;       // characters of the Web key that are used

// The system's reader drops the blanks around a value (a carriage return, a vertical tab or a
// form feed among them) and one pair of matching quotes around it: a value that has either is
// written inside double quotes, so that it reads back as typed.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string storedForm(const std::string& value) {
    if (value.empty()) return value;
    const char first = value.front(), last = value.back();
    const bool blankAround = isBlank(first) || isBlank(last);
    const bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && last == first;
    return blankAround || quoted ? "\"" + value + "\"" : value;
}

class SettingsFile {
public:
    SettingsFile(platform::Profile& profile, std::string path)
        : profile_(profile), path_(std::move(path)), reader_(profile_, path_, kSection) {}
    // A load reads the section once (platform::SectionReader); nothing writes the file meanwhile.
    int integer(const char* key, int defaultValue) { return reader_.getInt(key, defaultValue); }
    bool flag(const char* key, bool defaultValue) { return integer(key, defaultValue ? 1 : 0) != 0; }
    std::string text(const char* key, const std::string& defaultValue) { return reader_.getString(key, defaultValue); }
    // After the first write that fails nothing more is tried.
    void write(const char* key, const std::string& value) {
        ok_ = ok_ && profile_.writeString(path_, kSection, key, storedForm(value));
    }
    void write(const char* key, int value) { write(key, std::to_string(value)); }
    void writeFlag(const char* key, bool value) { write(key, value ? "1" : "0"); }
    bool ok() const { return ok_; }

private:
    platform::Profile& profile_;
    std::string path_;
    platform::SectionReader reader_;
    bool ok_ = true;
};

std::string megabytesOf(platform::Memory& os, double share) {
    memory::MemoryStatus status(os);
    return std::to_string(memory::capMB(status.totalPhys(), share));
}

}  // namespace

void TQuilletForm::LoadSettings() {
    SettingsFile file(os_.profile, app::appPaths().iniPath);
    ui::Form& f = *form_;
    f.setPosition(file.integer("Left", 0), file.integer("Top", 0));
    // Started with Windows when a Run value starts this copy.
    tweaks_->startup.readState();
    // Each handler is also run by hand where setting a value may change nothing (the design
    // value stands) but its consequences must still be drawn: greyed boxes, a clamped amount.
    auto& afterStartup = c_.releaseAfterStartupCheckBox;
    afterStartup.setChecked(file.flag("ReleaseAfterStartup", false));
    c_.releaseAfterStartupEdit.setText(file.text("ReleaseAfterStartupAmount", megabytesOf(os_.memory, 0.5)));
    c_.releaseAfterStartupWaitEdit.setText(file.text("ReleaseAfterStartupWait", "60"));
    ReleaseAfterStartupCheckBoxClick(afterStartup.checked());
    ReleaseAfterStartupEditChange(c_.releaseAfterStartupEdit.text());
    c_.recoverSoundFileEdit.setText(file.text("RecoverSoundFile", app::appPaths().soundsDir + "optimize.wav"));
    c_.startMinimizedCheckBox.setChecked(file.flag("StartMinimized", false));
    // The display. A drop-down list set from code runs no handler.
    c_.disableCPUMonitorCheckBox.setChecked(file.flag("DisableCPUMonitor", true));
    DisableCPUMonitorCheckBoxClick(c_.disableCPUMonitorCheckBox.checked());
    c_.graphColorComboBox.setItemIndex(file.integer("GraphColor", 0));
    GraphColorComboBoxChange(c_.graphColorComboBox.itemIndex());
    c_.graphSpeedRadioGroup.setItemIndex(file.integer("GraphSpeed", 2));
    // The automatic-recovery rules.
    c_.recoverEveryXMinutesCheckBox.setChecked(file.flag("RecoverEveryXMinutes", false));
    RecoverEveryXMinutesCheckBoxClick(c_.recoverEveryXMinutesCheckBox.checked());
    c_.recoverEveryXMinutesEdit.setText(file.text("XMinutes", "30"));
    // The period starts now, and a stored value is clamped.
    RecoverEveryXMinutesEditChange(c_.recoverEveryXMinutesEdit.text());
    c_.recoverEveryXMinutesPercentEdit.setText(file.text("XMinutesPercent", "10"));
    c_.recoverBelowCPUUsageCheckBox.setChecked(file.flag("RecoverBelowCPUUsage", false));
    RecoverBelowCPUUsageCheckBoxClick(c_.recoverBelowCPUUsageCheckBox.checked());
    c_.recoverBelowCPUUsageEdit.setText(file.text("RecoverBelowCPUUsagePercent", "75"));
    c_.autoRecoverCheckBox.setChecked(file.flag("AutoRecoverOnAlarmLevel", true));
    // The hot keys: each box with the design combination first, then the stored one.
    c_.hotKeyCheckBoxes[0]->setChecked(file.flag("EnableRecoverHotkey", false));
    HotkeyCheckBoxClick(c_.hotKeyCheckBoxes[0]->checked());
    ApplyRecoverHotkey(file.text("RecoverHotkey", "Ctrl+Alt+R"));
    c_.hotKeyCheckBoxes[1]->setChecked(file.flag("DisableAutoRecoverHotkey", false));
    DisableAutoRecoverCheckBoxClick(c_.hotKeyCheckBoxes[1]->checked());
    ApplyDisableHotkey(file.text("DisableHotkey", "Ctrl+Alt+D"));
    // The network and Explorer tweaks show what the registry holds.
    tweaks_->readTweaksPage();
    c_.recoverSndCheckBox.setChecked(file.flag("UseRecoverSound", true));
    RecoverSndCheckBoxClick(c_.recoverSndCheckBox.checked());
    // The low-resource alarm, where the family has one.
    auto& lowResource = c_.lowResourceCheckBox;
    if (lowResource.enabled()) {
        lowResource.setChecked(file.flag("LowReourceAlarm", true));
        c_.lowResourceEdit.setText(file.text("LowReourceAlarmPercent", "10"));
        LowResourceCheckBoxClick(lowResource.checked());
    }
    // The memory levels (clamped to the ranges set at creation).
    {
        memory::MemoryStatus status(os_.memory);
        c_.targetFreeRamTrackBar.setPosition(
            file.integer("TargetFreeRam", memory::toIntMB(memory::capMB(status.totalPhys(), 0.5))));
    }
    {
        memory::MemoryStatus status(os_.memory);
        c_.autoRecoverLevelTrackBar.setPosition(
            file.integer("AutoRecoverLevel", memory::toIntMB(memory::capMB(status.totalPhys(), 0.0625))));
    }
    c_.tabStyleComboBox.setItemIndex(file.integer("TabStyle", 0));
    TabStyleComboBoxChange(c_.tabStyleComboBox.itemIndex());
    // The web and mail addresses. A file may point them elsewhere, but the web links only to
    // a web address: anything else the shell would open (a program, a file, a network share)
    // gives the built-in one; the mail link likewise only to a mail address.
    const std::string web = file.text("Web", app::kDefaultLinkBase);
    const std::string linkBase = web.substr(0, text::utf8PrefixBytes(web, kWebLength));
    state_.linkBase = text::isWebAddress(linkBase) ? linkBase : app::kDefaultLinkBase;
    c_.webAboutValLabel.setCaption(state_.linkBase);
    c_.homePageLabel.setCaption(state_.linkBase);
    const std::string email = file.text("Email", app::kDefaultSupportAddress);
    state_.supportAddress = text::isEmailAddress(email) ? email : app::kDefaultSupportAddress;
    c_.emailAboutValLabel.setCaption(state_.supportAddress);
    // The balloon after a recovery the user started (no control: the file's key alone).
    state_.showRecoveryResult = file.flag("ShowRecoveryResult", true);
    // The cache settings of the family (on 9x the scheme is only selected, not applied: the
    // edits show what system.ini holds), then contiguous allocation.
    const bool ntFamily = monitor::isNtFamily(os_.osVersion);
    if (!ntFamily) c_.cacheSchemeComboBox.setItemIndex(file.integer("DiskCacheScheme", 0));
    tweaks_->readCachePage(ntFamily);
    settingsLoaded_ = true;
}

bool TQuilletForm::SaveSettings() {
    // Before the settings were loaded the controls hold design values, not the user's.
    if (!settingsLoaded_) return true;
    const bool saved = writeSettingsFile();
    // Start with Windows lives in the registry and the 9x cache page's changes in system.ini:
    // each is written whether or not the settings file could be (and the other way round). A
    // failure costs only its own place, and the user hears of it, whether the save was asked
    // for or comes with the exit (not while Windows ends the session: nobody is there to read it).
    const bool allUsersEntryStays = tweaks_->startup.writeState();
    if (!saved && !state_.sessionEnding)
        os_.windows.messageBox(window_, app::kSaveFailedText + app::appPaths().iniPath, app::kProductName, platform::kMbOk);
    if (!monitor::isNtFamily(os_.osVersion) && !tweaks_->cache.writeCacheIni()) {
        const std::string systemIni = tweaks_->cache.systemIniPath();
        os_.windows.messageBox(window_, app::kCacheNotWrittenText + (systemIni.empty() ? "system.ini" : systemIni),
                               app::kProductName, platform::kMbOk);
    }
    if (allUsersEntryStays && !state_.sessionEnding) tweaks_->startup.tellAllUsersEntryStays();
    return saved;
}

bool TQuilletForm::writeSettingsFile() {
    // All or nothing: the keys are written into a copy of the file (so the keys the program
    // does not write stay), which then takes the file's place in one step. Until then the
    // file is as it was, whatever happens to the program or the disk.
    const std::string& path = app::appPaths().iniPath;
    const std::string draft = path + ".new";
    if (!app::prepareSettingsFolder(os_.profile, path)) return false;
    os_.profile.deleteFile(draft);
    if (os_.profile.fileExists(path) && !os_.profile.copyFile(path, draft)) return false;
    SettingsFile file(os_.profile, draft);
    const ui::Form& f = *form_;
    // While automatic recovery is paused its boxes are cleared: the user's own states are
    // those kept for the end of the pause.
    const bool paused = c_.disableAutoRecover1.checked();
    file.write("Left", f.left());
    file.write("Top", f.top());
    // The options, in the file's order.
    file.writeFlag("ReleaseAfterStartup", c_.releaseAfterStartupCheckBox.checked());
    file.write("ReleaseAfterStartupAmount", c_.releaseAfterStartupEdit.text());
    file.write("ReleaseAfterStartupWait", c_.releaseAfterStartupWaitEdit.text());
    file.write("RecoverSoundFile", c_.recoverSoundFileEdit.text());
    file.writeFlag("StartMinimized", c_.startMinimizedCheckBox.checked());
    file.writeFlag("DisableCPUMonitor", c_.disableCPUMonitorCheckBox.checked());
    file.write("GraphColor", c_.graphColorComboBox.itemIndex());
    file.write("GraphSpeed", c_.graphSpeedRadioGroup.itemIndex());
    file.writeFlag("RecoverEveryXMinutes",
                   paused ? state_.savedRecoverEveryXMinutes : c_.recoverEveryXMinutesCheckBox.checked());
    file.write("XMinutes", c_.recoverEveryXMinutesEdit.text());
    file.write("XMinutesPercent", c_.recoverEveryXMinutesPercentEdit.text());
    file.writeFlag("RecoverBelowCPUUsage", c_.recoverBelowCPUUsageCheckBox.checked());
    file.write("RecoverBelowCPUUsagePercent", c_.recoverBelowCPUUsageEdit.text());
    file.writeFlag("AutoRecoverOnAlarmLevel", paused ? state_.savedAutoRecover : c_.autoRecoverCheckBox.checked());
    file.writeFlag("EnableRecoverHotkey", c_.hotKeyCheckBoxes[0]->checked());
    file.write("RecoverHotkey", hotKeyTextOf(0));
    file.writeFlag("DisableAutoRecoverHotkey", c_.hotKeyCheckBoxes[1]->checked());
    file.write("DisableHotkey", hotKeyTextOf(1));
    file.writeFlag("ShowSplash", c_.startSplashCheckBox.checked());
    // The low-resource alarm, where the family has one.
    if (c_.lowResourceCheckBox.enabled()) {
        file.writeFlag("LowReourceAlarm", c_.lowResourceCheckBox.checked());
        file.write("LowReourceAlarmPercent", c_.lowResourceEdit.text());
    }
    // The ticked hot keys are registered afresh with the combinations now shown.
    if (c_.hotKeyCheckBoxes[0]->checked()) {
        UnregisterRecoverHotkey();
        ApplyRecoverHotkey(hotKeyTextOf(0));
    }
    if (c_.hotKeyCheckBoxes[1]->checked()) {
        UnregisterDisableHotkey();
        ApplyDisableHotkey(hotKeyTextOf(1));
    }
    file.writeFlag("UseRecoverSound", c_.recoverSndCheckBox.checked());
    file.write("TargetFreeRam", c_.targetFreeRamTrackBar.position());
    file.write("AutoRecoverLevel", c_.autoRecoverLevelTrackBar.position());
    file.write("TabStyle", c_.tabStyleComboBox.itemIndex());
    file.writeFlag("ShowRecoveryResult", state_.showRecoveryResult);
    // The 9x cache scheme.
    if (!monitor::isNtFamily(os_.osVersion)) file.write("DiskCacheScheme", c_.cacheSchemeComboBox.itemIndex());
    const bool saved = file.ok() && os_.profile.replaceFile(draft, path);
    if (!saved) os_.profile.deleteFile(draft);
    return saved;
}

void TQuilletForm::SaveSettings1Click() { SaveSettings(); }

}  // namespace mainwindow
