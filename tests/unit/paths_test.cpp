#include "app/paths.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_platform.h"

using namespace app;

TEST(AppPaths, FolderKeepsItsBackslash) {
    const AppPaths paths = makeAppPaths("C:\\Program Files\\Quillet\\Quillet.exe");
    EXPECT_EQ(paths.appDir, "C:\\Program Files\\Quillet\\");
    EXPECT_EQ(paths.docDir, "C:\\Program Files\\Quillet\\documentation\\");
    EXPECT_EQ(paths.iniPath, "C:\\Program Files\\Quillet\\Quillet.ini");
    EXPECT_EQ(paths.soundsDir, "C:\\Program Files\\Quillet\\sounds\\");
}

TEST(AppPaths, PlainConcatenationOfAnyFolderName) {
    const AppPaths paths = makeAppPaths("D:\\我的 软件\\内存\\q.exe");
    EXPECT_EQ(paths.appDir, "D:\\我的 软件\\内存\\");
    EXPECT_EQ(paths.iniPath, "D:\\我的 软件\\内存\\Quillet.ini");
    // The file name of the program does not enter the settings file's name.
    EXPECT_EQ(makeAppPaths("C:\\quillet2.exe").iniPath, "C:\\Quillet.ini");
}

TEST(AppPaths, PathWithoutFolder) {
    const AppPaths paths = makeAppPaths("Quillet.exe");
    EXPECT_EQ(paths.appDir, "");
    EXPECT_EQ(paths.iniPath, "Quillet.ini");
    EXPECT_EQ(makeAppPaths("").docDir, "documentation\\");
}

TEST(AppPaths, ProcessWideCopy) {
    setAppPaths(makeAppPaths("E:\\Q\\Quillet.exe"));
    EXPECT_EQ(appPaths().soundsDir, "E:\\Q\\sounds\\");
}

namespace {

const std::string kInstalledDir = "C:\\Program Files\\Quillet\\";
const std::string kAppData = "C:\\Documents and Settings\\王\\Application Data";

struct InstalledCopy : ::testing::Test {
    InstalledCopy() {
        machine.program = kInstalledDir + "Quillet.exe";
        machine.appDataPath = kAppData;
    }
    void markInstalled() { machine.setIni(kInstalledDir + kInstalledMarkerName, "Quillet", "Settings", "AppData"); }
    platform::fake::FakeMachine machine;
};

}  // namespace

// The settings follow the installer's marker; the rest of the program's files stay beside it.
TEST_F(InstalledCopy, SettingsGoToTheApplicationDataFolderOnlyWithTheMarker) {
    EXPECT_EQ(findAppPaths(machine, machine).iniPath, kInstalledDir + "Quillet.ini") << "no marker: a portable copy";

    markInstalled();
    const AppPaths paths = findAppPaths(machine, machine);
    EXPECT_EQ(paths.iniPath, kAppData + "\\Quillet\\Quillet.ini");
    EXPECT_EQ(paths.settingsDir, kAppData + "\\Quillet\\");
    EXPECT_EQ(paths.appDir, kInstalledDir);
    EXPECT_EQ(paths.soundsDir, kInstalledDir + "sounds\\");
    EXPECT_EQ(paths.docDir, kInstalledDir + "documentation\\");

    machine.appDataPath = "D:\\";  // a folder given with its backslash gets no second one
    EXPECT_EQ(findAppPaths(machine, machine).iniPath, "D:\\Quillet\\Quillet.ini");
    machine.appDataPath = "";  // a system without the folder: beside the program after all
    EXPECT_EQ(findAppPaths(machine, machine).iniPath, kInstalledDir + "Quillet.ini");
}

TEST_F(InstalledCopy, TheSettingsFolderIsMadeOnlyWhereOneIsNeeded) {
    EXPECT_TRUE(prepareSettingsFolder(machine, "Quillet.ini"));
    EXPECT_TRUE(prepareSettingsFolder(machine, "C:\\Quillet.ini"));
    EXPECT_TRUE(machine.events.empty());

    const std::string folder = kAppData + "\\Quillet";
    machine.unmakeableFolders.insert(folder);
    EXPECT_FALSE(prepareSettingsFolder(machine, folder + "\\Quillet.ini"));
    machine.unmakeableFolders.clear();
    EXPECT_TRUE(prepareSettingsFolder(machine, folder + "\\Quillet.ini"));
    EXPECT_EQ(machine.events.back(), "createFolder " + folder);
}
