// The settings file: the main window's controls are the settings, copied from the INI file once
// while the window is made and back into it by 保存设置 and on exit.
#include <string>
#include <utility>

#include "app/parse_int.h"
#include "app/paths.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "app/utf8_text.h"
#include "mainwindow/main_form.h"
#include "memory/conversions.h"
#include "memory/memory_status.h"
#include "monitor/os_detection.h"
#include "tweaks/system_tweaks.h"
#include "ui/controls.h"
#include "ui/menu.h"

namespace app {

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
    SettingsFile(platform::Profile& profile, std::string path) : profile_(profile), path_(std::move(path)) {}
    int integer(const char* key, int defaultValue) { return profile_.getInt(path_, kSection, key, defaultValue); }
    bool flag(const char* key, bool defaultValue) { return integer(key, defaultValue ? 1 : 0) != 0; }
    std::string text(const char* key, const std::string& defaultValue) {
        return profile_.getString(path_, kSection, key, defaultValue);
    }
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
    bool ok_ = true;
};

std::string megabytesOf(platform::Memory& os, double share) {
    memory::MemoryStatus status(os);
    return std::to_string(memory::capMB(status.totalPhys(), share));
}

}  // namespace

void TQuilletForm::LoadSettings() {
    SettingsFile file(os_.profile, appPaths().iniPath);
    ui::Form& f = *form_;
    // 1. The window's place.
    f.setPosition(file.integer("Left", 0), file.integer("Top", 0));
    // 2. Started with Windows when a Run value starts this copy.
    tweaks_->startup.readState();
    // 3. - 6. The recovery after start-up.
    get<ui::CheckBox>("ReleaseAfterStartupCheckBox").setChecked(file.flag("ReleaseAfterStartup", false));
    get<ui::Edit>("ReleaseAfterStartupEdit").setText(file.text("ReleaseAfterStartupAmount", megabytesOf(os_.memory, 0.5)));
    get<ui::Edit>("ReleaseAfterStartupWaitEdit").setText(file.text("ReleaseAfterStartupWait", "60"));
    ReleaseAfterStartupCheckBoxClick();
    ReleaseAfterStartupEditChange();
    // 7. - 8.
    get<ui::Edit>("RecoverSoundFileEdit").setText(file.text("RecoverSoundFile", appPaths().soundsDir + "optimize.wav"));
    get<ui::CheckBox>("StartMinimizedCheckBox").setChecked(file.flag("StartMinimized", false));
    // 9. - 11. The display.
    get<ui::CheckBox>("DisableCPUMonitorCheckBox").setChecked(file.flag("DisableCPUMonitor", true));
    DisableCPUMonitorCheckBoxClick();
    get<ui::ComboBox>("GraphColorComboBox").setItemIndex(file.integer("GraphColor", 0));
    GraphColorComboBoxChange();
    get<ui::RadioGroup>("GraphSpeedRadioGroup").setItemIndex(file.integer("GraphSpeed", 2));
    // 12. - 17. The automatic-recovery rules.
    get<ui::CheckBox>("RecoverEveryXMinutesCheckBox").setChecked(file.flag("RecoverEveryXMinutes", false));
    RecoverEveryXMinutesCheckBoxClick();
    get<ui::Edit>("RecoverEveryXMinutesEdit").setText(file.text("XMinutes", "30"));
    RecoverEveryXMinutesEditChange();  // the period starts now, and a stored value is clamped
    get<ui::Edit>("RecoverEveryXMinutesPercentEdit").setText(file.text("XMinutesPercent", "10"));
    get<ui::CheckBox>("RecoverBelowCPUUsageCheckBox").setChecked(file.flag("RecoverBelowCPUUsage", false));
    RecoverBelowCPUUsageCheckBoxClick();
    get<ui::Edit>("RecoverBelowCPUUsageEdit").setText(file.text("RecoverBelowCPUUsagePercent", "75"));
    get<ui::CheckBox>("AutoRecoverCheckBox").setChecked(file.flag("AutoRecoverOnAlarmLevel", true));
    // 18. - 21. The hot keys: each box with the design combination first, then the stored one.
    get<ui::CheckBox>("HotkeyCheckBox").setChecked(file.flag("EnableRecoverHotkey", false));
    HotkeyCheckBoxClick();
    ApplyRecoverHotkey(file.text("RecoverHotkey", "Ctrl+Alt+R"));
    get<ui::CheckBox>("DisableAutoRecoverCheckBox").setChecked(file.flag("DisableAutoRecoverHotkey", false));
    DisableAutoRecoverCheckBoxClick();
    ApplyDisableHotkey(file.text("DisableHotkey", "Ctrl+Alt+D"));
    // 22. The network and Explorer tweaks show what the registry holds.
    tweaks_->readTweaksPage();
    // 23. The recovery sound.
    get<ui::CheckBox>("RecoverSndCheckBox").setChecked(file.flag("UseRecoverSound", true));
    RecoverSndCheckBoxClick();
    // 24. The low-resource alarm, where the family has one.
    auto& lowResource = get<ui::CheckBox>("LowResourceCheckBox");
    if (lowResource.enabled()) {
        lowResource.setChecked(file.flag("LowReourceAlarm", true));
        get<ui::Edit>("LowResourceEdit").setText(file.text("LowReourceAlarmPercent", "10"));
        LowResourceCheckBoxClick();
    }
    // 25. - 26. The memory levels (clamped to the ranges set at creation).
    {
        memory::MemoryStatus status(os_.memory);
        get<ui::TrackBar>("TargetFreeRamTrackBar")
            .setPosition(file.integer("TargetFreeRam", memory::toIntMB(memory::capMB(status.totalPhys(), 0.5))));
    }
    {
        memory::MemoryStatus status(os_.memory);
        get<ui::TrackBar>("AutoRecoverLevelTrackBar")
            .setPosition(file.integer("AutoRecoverLevel", memory::toIntMB(memory::capMB(status.totalPhys(), 0.0625))));
    }
    // 27. The tab style.
    get<ui::ComboBox>("TabStyleComboBox").setItemIndex(file.integer("TabStyle", 0));
    TabStyleComboBoxChange();
    // 28. - 29. The web and mail addresses. A file may point them elsewhere, but the web links
    //     only to a web address: anything else the shell would open (a program, a file, a
    //     network share) gives the built-in one; the mail link likewise only to a mail address.
    const std::string web = file.text("Web", kDefaultLinkBase);
    const std::string linkBase = web.substr(0, utf8PrefixBytes(web, kWebLength));
    state_.linkBase = isWebAddress(linkBase) ? linkBase : kDefaultLinkBase;
    get<ui::Label>("WebAboutValLabel").setCaption(state_.linkBase);
    get<ui::Label>("HomePageLabel").setCaption(state_.linkBase);
    const std::string email = file.text("Email", kDefaultSupportAddress);
    state_.supportAddress = isEmailAddress(email) ? email : kDefaultSupportAddress;
    get<ui::Label>("EmailAboutValLabel").setCaption(state_.supportAddress);
    // The balloon after a recovery the user started (no control: the file's key alone).
    state_.showRecoveryResult = file.flag("ShowRecoveryResult", true);
    // 30. - 31. The cache settings of the family (on 9x the scheme is only selected, not
    //     applied: the edits show what system.ini holds), then contiguous allocation.
    const bool ntFamily = monitor::isNtFamily(os_.osVersion);
    if (!ntFamily) get<ui::ComboBox>("CacheSchemeComboBox").setItemIndex(file.integer("DiskCacheScheme", 0));
    tweaks_->readCachePage(ntFamily);
    settingsLoaded_ = true;
}

bool TQuilletForm::SaveSettings() {
    // Before the settings were loaded the controls hold design values, not the user's.
    if (!settingsLoaded_) return true;
    const bool saved = writeSettingsFile();
    // 8. The 9x cache page's changes go into system.ini whether or not the settings file could
    //    be written (and the other way round): a failure costs only its own file, and the user
    //    hears of it, whether the save was asked for or comes with the exit.
    if (!monitor::isNtFamily(os_.osVersion) && !tweaks_->cache.writeCacheIni()) {
        const std::string systemIni = tweaks_->cache.systemIniPath();
        os_.windows.messageBox(window_, kCacheNotWrittenText + (systemIni.empty() ? "system.ini" : systemIni),
                               kProductName, platform::kMbOk);
    }
    return saved;
}

bool TQuilletForm::writeSettingsFile() {
    // All or nothing: the keys are written into a copy of the file (so the keys the program
    // does not write stay), which then takes the file's place in one step. Until then the
    // file is as it was, whatever happens to the program or the disk.
    const std::string& path = appPaths().iniPath;
    const std::string draft = path + ".new";
    if (!prepareSettingsFolder(os_.profile, path)) return false;
    os_.profile.deleteFile(draft);
    if (os_.profile.fileExists(path) && !os_.profile.copyFile(path, draft)) return false;
    SettingsFile file(os_.profile, draft);
    const ui::Form& f = *form_;
    // While automatic recovery is paused its boxes are cleared: the user's own states are
    // those kept for the end of the pause.
    const bool paused = get<ui::MenuItem>("DisableAutoRecover1").checked();
    // 1. - 2.
    file.write("Left", f.left());
    file.write("Top", f.top());
    const bool allUsersEntryStays = tweaks_->startup.writeState();
    // 3. The options, in the file's order.
    file.writeFlag("ReleaseAfterStartup", get<ui::CheckBox>("ReleaseAfterStartupCheckBox").checked());
    file.write("ReleaseAfterStartupAmount", get<ui::Edit>("ReleaseAfterStartupEdit").text());
    file.write("ReleaseAfterStartupWait", get<ui::Edit>("ReleaseAfterStartupWaitEdit").text());
    file.write("RecoverSoundFile", get<ui::Edit>("RecoverSoundFileEdit").text());
    file.writeFlag("StartMinimized", get<ui::CheckBox>("StartMinimizedCheckBox").checked());
    file.writeFlag("DisableCPUMonitor", get<ui::CheckBox>("DisableCPUMonitorCheckBox").checked());
    file.write("GraphColor", get<ui::ComboBox>("GraphColorComboBox").itemIndex());
    file.write("GraphSpeed", get<ui::RadioGroup>("GraphSpeedRadioGroup").itemIndex());
    file.writeFlag("RecoverEveryXMinutes",
                   paused ? state_.savedRecoverEveryXMinutes : get<ui::CheckBox>("RecoverEveryXMinutesCheckBox").checked());
    file.write("XMinutes", get<ui::Edit>("RecoverEveryXMinutesEdit").text());
    file.write("XMinutesPercent", get<ui::Edit>("RecoverEveryXMinutesPercentEdit").text());
    file.writeFlag("RecoverBelowCPUUsage", get<ui::CheckBox>("RecoverBelowCPUUsageCheckBox").checked());
    file.write("RecoverBelowCPUUsagePercent", get<ui::Edit>("RecoverBelowCPUUsageEdit").text());
    file.writeFlag("AutoRecoverOnAlarmLevel",
                   paused ? state_.savedAutoRecover : get<ui::CheckBox>("AutoRecoverCheckBox").checked());
    file.writeFlag("EnableRecoverHotkey", get<ui::CheckBox>("HotkeyCheckBox").checked());
    file.write("RecoverHotkey", hotKeyTextOf(0));
    file.writeFlag("DisableAutoRecoverHotkey", get<ui::CheckBox>("DisableAutoRecoverCheckBox").checked());
    file.write("DisableHotkey", hotKeyTextOf(1));
    file.writeFlag("ShowSplash", get<ui::CheckBox>("StartSplashCheckBox").checked());
    // 4. The low-resource alarm, where the family has one.
    if (get<ui::CheckBox>("LowResourceCheckBox").enabled()) {
        file.writeFlag("LowReourceAlarm", get<ui::CheckBox>("LowResourceCheckBox").checked());
        file.write("LowReourceAlarmPercent", get<ui::Edit>("LowResourceEdit").text());
    }
    // 5. The ticked hot keys are registered afresh with the combinations now shown.
    if (get<ui::CheckBox>("HotkeyCheckBox").checked()) {
        UnregisterRecoverHotkey();
        ApplyRecoverHotkey(hotKeyTextOf(0));
    }
    if (get<ui::CheckBox>("DisableAutoRecoverCheckBox").checked()) {
        UnregisterDisableHotkey();
        ApplyDisableHotkey(hotKeyTextOf(1));
    }
    // 6.
    file.writeFlag("UseRecoverSound", get<ui::CheckBox>("RecoverSndCheckBox").checked());
    file.write("TargetFreeRam", get<ui::TrackBar>("TargetFreeRamTrackBar").position());
    file.write("AutoRecoverLevel", get<ui::TrackBar>("AutoRecoverLevelTrackBar").position());
    file.write("TabStyle", get<ui::ComboBox>("TabStyleComboBox").itemIndex());
    file.writeFlag("ShowRecoveryResult", state_.showRecoveryResult);
    // 7. The 9x cache scheme.
    if (!monitor::isNtFamily(os_.osVersion))
        file.write("DiskCacheScheme", get<ui::ComboBox>("CacheSchemeComboBox").itemIndex());
    const bool saved = file.ok() && os_.profile.replaceFile(draft, path);
    if (!saved) os_.profile.deleteFile(draft);
    // Told once the file is in place (a save that runs while the message is open finds it
    // whole), and not while Windows ends the session.
    if (allUsersEntryStays && !state_.sessionEnding) tweaks_->startup.tellAllUsersEntryStays();
    return saved;
}

void TQuilletForm::SaveSettings1Click() {
    if (!SaveSettings()) os_.windows.messageBox(window_, kSaveFailedText + appPaths().iniPath, kProductName, platform::kMbOk);
}

}  // namespace app
