#include <gtest/gtest.h>

#include "tests/unit/main_window_fixture.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/paths.h"
#include "text/utf8_text.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/text_profile.h"
#include "platform/profile.h"
#include "ui/controls.h"
#include "ui/headless_backend.h"
#include "ui/menu.h"
#include "ui/paint_control.h"

using platform::RegistryRoot;
using platform::fake::FakeMachine;

namespace {

const std::string kIni = "C:\\Q\\Quillet.ini";
const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A 511.5 MB machine (536,346,624 bytes) with the program in C:\Q.
class SettingsFile : public MainWindowTest {
protected:
    SettingsFile() {
        machine.program = "C:\\Q\\Quillet.exe";
        machine.status.totalPhys = 536346624;
        machine.status.availPhys = 100u << 20;
    }
    void create() {
        createWindow(false);
    }
    std::string ini(const std::string& key) {
        return machine.iniValue(kIni, "Settings", key).value_or("<none>");
    }
    void runKey(const std::string& data, RegistryRoot root = RegistryRoot::LocalMachine) {
        machine.putRegistryValue(root, kRun, "Quillet", platform::kRegSz, std::vector<uint8_t>(data.begin(), data.end()));
    }
    // The Run value under the program's name, exactly as stored.
    std::string runValue(RegistryRoot root) const {
        const auto* value = machine.registryValue(root, kRun, "Quillet");
        return value == nullptr ? "<none>" : std::string(value->data.begin(), value->data.end());
    }
    // A standard user: the machine's keys read, but do not change.
    void standardUser() { machine.readOnlyRegistryKeys.insert("HKEY_LOCAL_MACHINE"); }

};

TEST_F(SettingsFile, WithoutAFileEverythingTakesItsDefault) {
    create();
    EXPECT_EQ(get<ui::Edit>("ReleaseAfterStartupEdit").text(), "256");
    EXPECT_EQ(get<ui::Edit>("ReleaseAfterStartupWaitEdit").text(), "60");
    EXPECT_EQ(get<ui::TrackBar>("TargetFreeRamTrackBar").position(), 256);
    EXPECT_EQ(get<ui::TrackBar>("AutoRecoverLevelTrackBar").position(), 32);
    EXPECT_EQ(get<ui::Edit>("RecoverSoundFileEdit").text(), "C:\\Q\\sounds\\optimize.wav");
    EXPECT_TRUE(get<ui::CheckBox>("DisableCPUMonitorCheckBox").checked());
    EXPECT_TRUE(get<ui::CheckBox>("AutoRecoverCheckBox").checked());
    EXPECT_TRUE(get<ui::CheckBox>("RecoverSndCheckBox").checked());
    EXPECT_TRUE(get<ui::CheckBox>("StartSplashCheckBox").checked());
    EXPECT_FALSE(get<ui::CheckBox>("StartWithWindowsCheckBox").checked());
    EXPECT_EQ(get<ui::RadioGroup>("GraphSpeedRadioGroup").itemIndex(), 2);
    EXPECT_EQ(window->state().graphPeriodMs, 250);
    EXPECT_EQ(get<ui::Edit>("RecoverEveryXMinutesEdit").text(), "30");
    EXPECT_EQ(window->state().nextIntervalTick, machine.tick + 30u * 60000u);
    EXPECT_EQ(get<ui::Label>("WebAboutValLabel").caption(), window->state().linkBase);
    EXPECT_EQ(window->state().linkBase.back(), '/');
}

TEST_F(SettingsFile, ValuesOutsideTheirControlsRangesAreClampedAndSavedSo) {
    setIni("TargetFreeRam", "99999");
    setIni("GraphColor", "7");
    setIni("TabStyle", "1");
    setIni("GraphSpeed", "9");
    setIni("ReleaseAfterStartup", "yes");  // not a number: 0
    setIni("RecoverSoundFile", std::string(300, 'x'));
    create();
    EXPECT_EQ(get<ui::TrackBar>("TargetFreeRamTrackBar").position(), 461);  // the bar's maximum
    EXPECT_EQ(get<ui::ComboBox>("GraphColorComboBox").itemIndex(), -1);
    EXPECT_EQ(get<ui::Panel>("GraphBackPanel").color(), 0x00FF00u);  // no choice: green
    EXPECT_EQ(get<ui::PageControl>("MainPageControl").tabStyle(), ui::TabStyle::Buttons);
    EXPECT_EQ(get<ui::RadioGroup>("GraphSpeedRadioGroup").itemIndex(), 3);
    EXPECT_EQ(window->state().graphPeriodMs, 500);
    EXPECT_FALSE(get<ui::CheckBox>("ReleaseAfterStartupCheckBox").checked());
    EXPECT_EQ(get<ui::Edit>("RecoverSoundFileEdit").text().size(), 254u);

    window->SaveSettings();
    EXPECT_EQ(ini("TargetFreeRam"), "461");
    EXPECT_EQ(ini("GraphColor"), "-1");
    EXPECT_EQ(ini("GraphSpeed"), "3");
    EXPECT_EQ(ini("ReleaseAfterStartup"), "0");
}

TEST_F(SettingsFile, SaveWritesEveryKeyInOrderAndLeavesTheRestAlone) {
    setIni("Web", "http://mirror.example/q/");
    setIni("LowReourceAlarm", "0");  // the NT family neither reads nor writes it
    setIni("UseProxy", "1");
    create();
    EXPECT_EQ(get<ui::Label>("HomePageLabel").caption(), "http://mirror.example/q/");
    get<ui::CheckBox>("StartMinimizedCheckBox").setChecked(true);
    get<ui::Edit>("RecoverEveryXMinutesEdit").setText("45");
    window->form().setPosition(120, 80);
    machine.iniWrites.clear();
    window->SaveSettings();

    std::vector<std::string> keys;
    for (const std::string& write : machine.iniWrites) keys.push_back(write.substr(9, write.find('=') - 9));
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "Left", "Top", "ReleaseAfterStartup", "ReleaseAfterStartupAmount", "ReleaseAfterStartupWait",
                        "RecoverSoundFile", "StartMinimized", "DisableCPUMonitor", "GraphColor", "GraphSpeed",
                        "RecoverEveryXMinutes", "XMinutes", "XMinutesPercent", "RecoverBelowCPUUsage",
                        "RecoverBelowCPUUsagePercent", "AutoRecoverOnAlarmLevel", "EnableRecoverHotkey", "RecoverHotkey",
                        "DisableAutoRecoverHotkey", "DisableHotkey", "ShowSplash", "UseRecoverSound", "TargetFreeRam",
                        "AutoRecoverLevel", "TabStyle", "ShowRecoveryResult"}));
    EXPECT_EQ(ini("Left"), "120");
    EXPECT_EQ(ini("StartMinimized"), "1");
    EXPECT_EQ(ini("XMinutes"), "45");
    EXPECT_EQ(ini("ShowSplash"), "1");
    EXPECT_EQ(ini("ShowRecoveryResult"), "1");
    EXPECT_EQ(ini("Web"), "http://mirror.example/q/");
    EXPECT_EQ(ini("LowReourceAlarm"), "0");
    EXPECT_EQ(ini("UseProxy"), "1");
}

TEST_F(SettingsFile, TheNinexFamilyKeepsItsAlarmAndCacheScheme) {
    machine.setVersion(platform::kPlatformWin32Windows, 4, 10, 0x040A08AE, " A ");
    setIni("LowReourceAlarmPercent", "25");
    setIni("DiskCacheScheme", "3");
    create();
    EXPECT_TRUE(get<ui::CheckBox>("LowResourceCheckBox").checked());
    EXPECT_EQ(get<ui::Edit>("LowResourceEdit").text(), "25");
    EXPECT_EQ(get<ui::ComboBox>("CacheSchemeComboBox").itemIndex(), 3);
    window->SaveSettings();
    EXPECT_EQ(ini("LowReourceAlarm"), "1");
    EXPECT_EQ(ini("DiskCacheScheme"), "3");
}

TEST_F(SettingsFile, StartWithWindowsFollowsTheRunValue) {
    runKey("D:\\old\\Quillet.exe");  // another copy's entry: this copy does not start
    create();
    auto& box = get<ui::CheckBox>("StartWithWindowsCheckBox");
    EXPECT_FALSE(box.checked());
    window->SaveSettings();  // a cleared box leaves the other copy's entry alone
    EXPECT_EQ(runValue(RegistryRoot::LocalMachine), "D:\\old\\Quillet.exe");
    box.setChecked(true);
    window->SaveSettings();  // ticked: this copy takes the entry over
    const auto* value = machine.registryValue(RegistryRoot::LocalMachine, kRun, "Quillet");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, platform::kRegSz);
    EXPECT_EQ(std::string(value->data.begin(), value->data.end()), "C:\\Q\\Quillet.exe");  // no terminating zero
    EXPECT_EQ(runValue(RegistryRoot::CurrentUser), "<none>");
    box.setChecked(false);
    window->SaveSettings();
    EXPECT_EQ(machine.registryValue(RegistryRoot::LocalMachine, kRun, "Quillet"), nullptr);

    runKey(std::string(300, 'x'));  // not this copy: not starting with Windows
    window->LoadSettings();
    EXPECT_FALSE(box.checked());
    machine.deniedRegistryKeys.insert(FakeMachine::registryPath(RegistryRoot::LocalMachine, kRun));
    box.setChecked(true);
    window->SaveSettings();  // the key for all users cannot be opened: nothing written there
    EXPECT_EQ(machine.registryValue(RegistryRoot::LocalMachine, kRun, "Quillet")->data.size(), 300u);
    EXPECT_EQ(runValue(RegistryRoot::CurrentUser), "C:\\Q\\Quillet.exe");
    EXPECT_TRUE(machine.messageBoxes.empty());
}

// A standard user's portable copy in a folder they may not write: the box still starts this
// copy with Windows from the user's own Run key, and the file's failure is told at the exit too.
TEST_F(SettingsFile, StartWithWindowsIsWrittenWhenTheSettingsFileCannotBe) {
    standardUser();
    create();
    machine.readOnlyFiles = {kIni, kIni + ".new"};
    get<ui::CheckBox>("StartWithWindowsCheckBox").setChecked(true);
    window->Exit1Click();
    EXPECT_EQ(runValue(RegistryRoot::CurrentUser), "C:\\Q\\Quillet.exe");
    EXPECT_EQ(runValue(RegistryRoot::LocalMachine), "<none>");
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text,
              "无法保存设置！请确认设置文件不是只读的，并且您有权写入它所在的文件夹：\nC:\\Q\\Quillet.ini");
}

// The entry is recognised as Windows users write paths: in any case, with or without quotes,
// with arguments, by the short 8.3 path; wherever it is, a save leaves it as it was written.
// The program is the one named first: another program handed this one's path does not count.
TEST_F(SettingsFile, OnlyAnEntryThatStartsThisCopyTicksTheBox) {
    machine.longPaths = {{"C:\\Q\\QUILLE~1.EXE", "C:\\Q\\Quillet.exe"},
                         {"C:\\Q\\QUILLE~2.EXE", "C:\\Q\\Quillet.exe.old"},
                         {"C:\\PROGRA~1\\Q\\QUILLE~1.EXE", "C:\\Program Files\\Q\\Quillet.exe"}};
    create();
    auto& box = get<ui::CheckBox>("StartWithWindowsCheckBox");
    const std::pair<const char*, bool> commands[] = {
        {"C:\\Q\\Quillet.exe", true},        {"c:\\q\\QUILLET.EXE", true},
        {"\"C:\\Q\\Quillet.exe\"", true},    {" \"c:\\Q\\quillet.exe\" /min", true},
        {"C:\\Q\\Quillet.exe /min", true},   {"D:\\Q\\Quillet.exe", false},
        {"C:\\Q\\Quillet.exe.old", false},   {"\"C:\\Q\\Quillet\" .exe", false},
        {"C:\\Q", false},                      {"", false},
        {"C:\\Q\\QUILLE~1.EXE", true},       {"\"c:\\q\\quille~1.exe\" /min", true},
        {"C:\\Q\\QUILLE~1.EXE\t/min", true}, {"C:\\Q\\QUILLE~2.EXE", false},
        {"C:\\Q\\Other.exe C:\\Q\\Quillet.exe", false},
        {"\"C:\\Q\\Other.exe\" \"C:\\Q\\Quillet.exe\"", false},
        {"\"C:\\Q\\Quillet.exe /min", false},  // no closing quote: all of it is the name
    };
    for (const RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        for (const auto& [command, thisCopy] : commands) {
            runKey(command, root);
            window->LoadSettings();
            EXPECT_EQ(box.checked(), thisCopy) << command;
            window->SaveSettings();
            EXPECT_EQ(runValue(root), command);
            EXPECT_EQ(runValue(root == RegistryRoot::LocalMachine ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine),
                      "<none>")
                << command;
        }
        machine.registryKeys.erase(FakeMachine::registryPath(root, kRun));
    }

    // A folder with blanks, the program started by its short path: the long path, unquoted
    // with arguments, starts it, and so does the short one; a cleared box removes either.
    machine.program = "C:\\PROGRA~1\\Q\\QUILLE~1.EXE";
    for (const char* command : {"C:\\Program Files\\Q\\Quillet.exe /min", "c:\\progra~1\\q\\QUILLE~1.EXE -x"}) {
        runKey(command);
        window->LoadSettings();
        EXPECT_TRUE(box.checked()) << command;
        box.setChecked(false);
        window->SaveSettings();
        EXPECT_EQ(runValue(RegistryRoot::LocalMachine), "<none>") << command;
    }
    runKey("C:\\Program Files\\Q\\Other.exe /min");
    window->LoadSettings();
    EXPECT_FALSE(box.checked());
}

TEST_F(SettingsFile, AStandardUserStartsWithWindowsThroughTheirOwnEntry) {
    standardUser();
    create();
    EXPECT_FALSE(get<ui::CheckBox>("StartWithWindowsCheckBox").checked());
    get<ui::CheckBox>("StartWithWindowsCheckBox").setChecked(true);
    window->SaveSettings();
    EXPECT_EQ(runValue(RegistryRoot::CurrentUser), "C:\\Q\\Quillet.exe");
    EXPECT_EQ(runValue(RegistryRoot::LocalMachine), "<none>");

    window.reset();  // started again
    create();
    EXPECT_TRUE(get<ui::CheckBox>("StartWithWindowsCheckBox").checked());
    get<ui::CheckBox>("StartWithWindowsCheckBox").setChecked(false);
    window->SaveSettings();
    EXPECT_EQ(runValue(RegistryRoot::CurrentUser), "<none>");
    EXPECT_FALSE(get<ui::CheckBox>("StartWithWindowsCheckBox").checked());
    EXPECT_TRUE(machine.messageBoxes.empty());
    window.reset();
    create();
    EXPECT_FALSE(get<ui::CheckBox>("StartWithWindowsCheckBox").checked());
}

TEST_F(SettingsFile, ClearingKeepsWhatOnlyAnAdministratorMayRemoveAndSaysSo) {
    standardUser();
    runKey("\"c:\\q\\QUILLET.exe\"");  // the installer's entry for all users
    runKey("C:\\Q\\Quillet.exe", RegistryRoot::CurrentUser);
    create();
    auto& box = get<ui::CheckBox>("StartWithWindowsCheckBox");
    EXPECT_TRUE(box.checked());
    box.setChecked(false);
    get<ui::MenuItem>("SaveSettings1").click();
    EXPECT_EQ(runValue(RegistryRoot::CurrentUser), "<none>");
    EXPECT_EQ(runValue(RegistryRoot::LocalMachine), "\"c:\\q\\QUILLET.exe\"");
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].text,
              "为所有用户设置的 Quillet 启动项只有管理员才能删除，因此 Quillet 仍会随 Windows 一同启动。");
    EXPECT_EQ(machine.messageBoxes[0].caption, "Quillet");
    EXPECT_EQ(machine.messageBoxes[0].owner, window->window());
    EXPECT_TRUE(box.checked());  // what stays
    EXPECT_EQ(ini("Left"), "0");  // the file was saved all the same
    window->SaveSettings();
    EXPECT_EQ(machine.messageBoxes.size(), 1u);  // said once

    // Cleared again and Windows ends the session: nobody is there to be told.
    box.setChecked(false);
    machine.send(window->window(), platform::kWmQueryEndSession);
    EXPECT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(runValue(RegistryRoot::LocalMachine), "\"c:\\q\\QUILLET.exe\"");
}

TEST_F(SettingsFile, LeavingTheProgramSavesTheSettings) {
    create();
    get<ui::Edit>("RecoverEveryXMinutesPercentEdit").setText("20");
    machine.send(window->window(), platform::kWmQueryEndSession);
    EXPECT_EQ(ini("XMinutesPercent"), "20");
}

}  // namespace

namespace {

TEST_F(SettingsFile, NothingIsSavedBeforeTheSettingsWereLoaded) {
    setIni("XMinutes", "45");
    setIni("ShowSplash", "0");  // the splash shows, in a modal loop of its own
    runKey("C:\\Q\\Quillet.exe");
    backend.onModal = [this](ui::Form&) { machine.send(window->window(), platform::kWmQueryEndSession); };
    create();
    EXPECT_EQ(ini("XMinutes"), "45");
    EXPECT_EQ(ini("ShowSplash"), "0");
    EXPECT_NE(machine.registryValue(RegistryRoot::LocalMachine, kRun, "Quillet"), nullptr);
}

TEST_F(SettingsFile, ARunValueIsMeasuredInTheSystemsCharacters) {
    std::string folder;
    for (int i = 0; i < 90; ++i) folder += "内";  // 270 bytes of UTF-8, 90 characters
    machine.program = "C:\\" + folder + "\\Quillet.exe";
    runKey(machine.program);
    create();
    EXPECT_TRUE(get<ui::CheckBox>("StartWithWindowsCheckBox").checked());
    window->SaveSettings();
    EXPECT_NE(machine.registryValue(RegistryRoot::LocalMachine, kRun, "Quillet"), nullptr);
}

TEST_F(SettingsFile, ASaveLandsWholeOrNotAtAllAndKeepsWhatTheProgramDoesNotOwn) {
    setIni("XMinutes", "45");
    setIni("Web", "http://mirror.example/q/");
    setIni("ProxyAddress", "10.0.0.1");
    setIni("SomethingElse", "kept");
    create();
    get<ui::Edit>("RecoverEveryXMinutesEdit").setText("50");
    get<ui::TrackBar>("TargetFreeRamTrackBar").setPosition(300);
    const auto before = machine.iniFile(kIni);
    machine.iniWritesLeft = 5;  // the disk fills up in the middle
    EXPECT_FALSE(window->SaveSettings());
    EXPECT_EQ(machine.iniFile(kIni), before);
    EXPECT_TRUE(machine.iniFile(kIni + ".new").empty()) << "no half-written copy left behind";

    machine.iniWritesLeft = -1;
    EXPECT_TRUE(window->SaveSettings());
    EXPECT_EQ(ini("XMinutes"), "50");
    EXPECT_EQ(ini("TargetFreeRam"), "300");
    EXPECT_EQ(ini("Web"), "http://mirror.example/q/");
    EXPECT_EQ(ini("ProxyAddress"), "10.0.0.1");
    EXPECT_EQ(ini("SomethingElse"), "kept");
    EXPECT_TRUE(machine.iniFile(kIni + ".new").empty());
}

TEST_F(SettingsFile, ASaveRewritesItsOwnLinesInPlaceAndLeavesTheUsersLinesAsTheyWere) {
    machine.setIniText(kIni,
                       "; 我的设置\r\n[Settings]\r\nXMinutes=45\r\n; 声音是我自己的\r\nMyOwnKey = kept \r\n"
                       "RecoverSoundFile=C:\\old.wav\n\r\n[Other]\r\nXMinutes=7");
    create();
    get<ui::Edit>("RecoverSoundFileEdit").setText("  C:\\我的 声音.wav");
    ASSERT_TRUE(window->SaveSettings());
    const std::string saved = machine.iniText(kIni);
    EXPECT_EQ(saved,
              "; 我的设置\r\n[Settings]\r\nXMinutes=45\r\n; 声音是我自己的\r\nMyOwnKey = kept \r\n"
              "RecoverSoundFile=\"  C:\\我的 声音.wav\"\n"  // in quotes, or the reader drops the blanks
              "Left=0\r\nTop=0\r\nReleaseAfterStartup=0\r\nReleaseAfterStartupAmount=256\r\n"
              "ReleaseAfterStartupWait=60\r\nStartMinimized=0\r\nDisableCPUMonitor=1\r\nGraphColor=0\r\n"
              "GraphSpeed=2\r\nRecoverEveryXMinutes=0\r\nXMinutesPercent=10\r\nRecoverBelowCPUUsage=0\r\n"
              "RecoverBelowCPUUsagePercent=75\r\nAutoRecoverOnAlarmLevel=1\r\nEnableRecoverHotkey=0\r\n"
              "RecoverHotkey=Ctrl+Alt+R\r\nDisableAutoRecoverHotkey=0\r\nDisableHotkey=Ctrl+Alt+D\r\n"
              "ShowSplash=1\r\nUseRecoverSound=1\r\nTargetFreeRam=256\r\nAutoRecoverLevel=32\r\nTabStyle=0\r\nShowRecoveryResult=1\r\n"
              "\r\n[Other]\r\nXMinutes=7");
    window->LoadSettings();
    EXPECT_EQ(get<ui::Edit>("RecoverSoundFileEdit").text(), "  C:\\我的 声音.wav");
    ASSERT_TRUE(window->SaveSettings());
    EXPECT_EQ(machine.iniText(kIni), saved);
}

TEST_F(SettingsFile, AnExplicitSaveThatFailsIsToldTheExitStaysSilent) {
    create();
    machine.iniReadOnly = true;
    get<ui::MenuItem>("SaveSettings1").click();
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_EQ(machine.messageBoxes[0].caption, "Quillet");
    EXPECT_NE(machine.messageBoxes[0].text.find(kIni), std::string::npos);
    EXPECT_EQ(machine.messageBoxes[0].owner, window->window());
    machine.iniReadOnly = false;
    machine.iniReplaceFails = true;  // the file cannot be replaced: a failure too
    get<ui::MenuItem>("SaveSettings1").click();
    EXPECT_EQ(machine.messageBoxes.size(), 2u);
    machine.send(window->window(), platform::kWmQueryEndSession);
    EXPECT_EQ(machine.messageBoxes.size(), 2u);
}

TEST_F(SettingsFile, APauseOfAutomaticRecoveryIsNotSavedAsTheUsersChoice) {
    setIni("RecoverEveryXMinutes", "1");
    create();
    window->DisableAutoRecover1Click();
    ASSERT_FALSE(get<ui::CheckBox>("AutoRecoverCheckBox").checked());
    get<ui::MenuItem>("SaveSettings1").click();
    EXPECT_EQ(ini("AutoRecoverOnAlarmLevel"), "1");
    EXPECT_EQ(ini("RecoverEveryXMinutes"), "1");
    EXPECT_FALSE(get<ui::CheckBox>("AutoRecoverCheckBox").checked()) << "the pause goes on";
}

TEST_F(SettingsFile, StoredValuesOutsideTheirEditsRangesLoadAndSaveClamped) {
    setIni("XMinutes", "5000");
    setIni("XMinutesPercent", "0");
    setIni("ReleaseAfterStartup", "1");
    setIni("ReleaseAfterStartupAmount", "99999");
    setIni("ReleaseAfterStartupWait", "-5");
    setIni("RecoverBelowCPUUsagePercent", "300");
    std::string web = "http://例子.example/";
    for (int i = 0; i < 200; ++i) web += "页";  // 218 characters: longer than used, shorter than read
    setIni("Web", web);
    create();
    window->SaveSettings();
    EXPECT_EQ(ini("XMinutes"), "999");
    EXPECT_EQ(ini("XMinutesPercent"), "1");
    EXPECT_EQ(ini("ReleaseAfterStartupAmount"), "461");
    EXPECT_EQ(ini("ReleaseAfterStartupWait"), "0");
    EXPECT_EQ(ini("RecoverBelowCPUUsagePercent"), "100");
    // The address is cut between characters, at 159 of them.
    const std::string& base = window->state().linkBase;
    EXPECT_EQ(text::utf8Length(base), 159u);
    EXPECT_EQ(base, web.substr(0, base.size()));
    EXPECT_NE(static_cast<unsigned char>(web[base.size()]) & 0xC0, 0x80u) << "ends on a whole character";
}

TEST_F(SettingsFile, AValueTheReaderWouldChangeIsSavedInQuotes) {
    create();
    // The reader drops blanks around a value and a pair of quotes around it: such texts are
    // saved in double quotes; others as they are.
    const std::pair<const char*, const char*> cases[] = {
        {"'C:\\a.wav'", "\"'C:\\a.wav'\""},
        {"\"x\"", "\"\"x\"\""},
        {" C:\\b.wav", "\" C:\\b.wav\""},
        {"C:\\c.wav\t", "\"C:\\c.wav\t\""},
        {"C:\\e.wav\r", "\"C:\\e.wav\r\""},
        {"\fC:\\f.wav", "\"\fC:\\f.wav\""},
        {"\"C:\\d.wav", "\"C:\\d.wav"},
        {"C:\\我的 声音.wav", "C:\\我的 声音.wav"},
    };
    for (const auto& [typed, stored] : cases) {
        get<ui::Edit>("RecoverSoundFileEdit").setText(typed);
        ASSERT_TRUE(window->SaveSettings());
        EXPECT_EQ(ini("RecoverSoundFile"), stored) << typed;
    }
    EXPECT_EQ(ini("Left"), "0");
}

}  // namespace

namespace {

// Installed under Program Files: the settings live in the user's application-data folder,
// whose "Quillet" folder the first save makes.
TEST_F(MainWindowTest, AnInstalledCopysFirstSaveMakesItsFolderInTheApplicationData) {
    const std::string dir = "C:\\Program Files\\Quillet\\";
    const std::string folder = "C:\\AppData\\Roaming\\Quillet";
    machine.program = dir + "Quillet.exe";
    machine.appDataPath = "C:\\AppData\\Roaming";
    machine.setIni(dir + app::kInstalledMarkerName, "Quillet", "Settings", "AppData");
    machine.missingFolders.insert(folder);
    machine.unmakeableFolders.insert(folder);
    createWindow();
    get<ui::CheckBox>("RecoverSndCheckBox").setChecked(false);

    get<ui::MenuItem>("SaveSettings1").click();  // the folder cannot be made: told, with the path
    ASSERT_EQ(machine.messageBoxes.size(), 1u);
    EXPECT_NE(machine.messageBoxes[0].text.find(folder + "\\Quillet.ini"), std::string::npos);

    machine.unmakeableFolders.clear();
    machine.send(window->window(), platform::kWmQueryEndSession);
    EXPECT_EQ(machine.iniFile(folder + "\\Quillet.ini").at("Settings|UseRecoverSound"), "0");
    EXPECT_TRUE(machine.iniFile(dir + "Quillet.ini").empty()) << "nothing written beside the program";
}

}  // namespace

// A load reads its section once and answers every key exactly as the key-by-key reads would;
// only plain values are taken from the section's list, anything unusual is asked key by key.
TEST(SectionReader, AnswersAsTheKeyByKeyReadsAndAsksThemOnlyForUnusualValues) {
    struct Counting : platform::Profile {
        platform::fake::TextProfile file;
        std::vector<std::string> askedInt, askedString;
        int getInt(const std::string& p, const std::string& s, const std::string& k, int d) override {
            askedInt.push_back(k);
            return file.getInt(p, s, k, d);
        }
        std::string getString(const std::string& p, const std::string& s, const std::string& k,
                              const std::string& d) override {
            askedString.push_back(k);
            return file.getString(p, s, k, d);
        }
        std::optional<Entries> sectionEntries(const std::string& p, const std::string& s) override {
            return file.sectionEntries(p, s);
        }
        bool writeString(const std::string&, const std::string&, const std::string&, const std::string&) override {
            return false;
        }
        bool fileExists(const std::string&) override { return true; }
        bool copyFile(const std::string&, const std::string&) override { return false; }
        bool replaceFile(const std::string&, const std::string&) override { return false; }
        bool deleteFile(const std::string&) override { return false; }
        bool createFolder(const std::string&) override { return false; }
    } profile;
    profile.file.setText("f.ini", "[S]\r\nnum=42\r\nneg=-7\r\nzero=0\r\nlead=010\r\nhex=0x10\r\nplus=+3\r\nempty=\r\n"
                                  "ten=1234567890\r\nquoted=\"12\"\r\nsq='a b'\r\n  spaced  =  v w  \r\ntext=可用内存\r\n"
                                  "dup=1\r\nDUP=2\r\nnokey\r\nlong=" + std::string(300, 'x') +
                                  "\r\n[Other]\r\nother=5\r\n[S]\r\nlater=9\r\n");
    const std::vector<std::string> keys = {"num",  "NEG", "zero", "lead", "hex",  "plus", "empty", "ten", "quoted", "sq",
                                           "spaced", "text", "dup", "nokey", "long", "other", "later", "missing"};
    platform::SectionReader reader(profile, "f.ini", "s");
    for (const std::string& key : keys) {
        EXPECT_EQ(reader.getInt(key, 77), profile.file.getInt("f.ini", "S", key, 77)) << key;
        EXPECT_EQ(reader.getString(key, "<none>"), profile.file.getString("f.ini", "S", key, "<none>")) << key;
    }
    // Keys the section does not name (in another section, in a second one of the same name, or
    // nowhere) get their defaults without a read; so does an empty text default.
    EXPECT_EQ(profile.askedInt, std::vector<std::string>({"lead", "hex", "plus", "empty", "ten", "quoted", "sq", "spaced", "text",
                                                          "dup", "nokey", "long"}));
    EXPECT_EQ(profile.askedString, std::vector<std::string>({"empty", "quoted", "sq", "dup", "nokey", "long"}));
    profile.askedString.clear();
    for (const std::string& def : std::vector<std::string>{"", "可用内存", " x", "x ", "\"q\"", "'q'", std::string(255, 'y')})
        EXPECT_EQ(reader.getString("missing", def), profile.file.getString("f.ini", "S", "missing", def)) << def;
    // A default the system would not hand back as it is (blanks, quotes, too long) is asked.
    EXPECT_EQ(profile.askedString.size(), 5u);
}
