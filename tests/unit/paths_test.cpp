#include "app/paths.h"

#include <gtest/gtest.h>

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
