// The tweaks page (增强选项): the modem/DSL tuned sets, connections per server and Explorer's
// library unloading; starting the program changes nothing of them.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/unit/tweak_fixture.h"
#include "ui/controls.h"

namespace {

class TweaksPage : public TweakTest {
protected:
    void putTunedNt5(const std::string& except) {
        const std::pair<const char*, uint32_t> tuned[] = {
            {"DefaultTTL", 128}, {"EnablePMTUBHDetect", 0}, {"EnablePMTUDiscovery", 1},       {"SackOpts", 1},
            {"Tcp1323Opts", 1},  {"TcpWindowSize", 32767},  {"GlobalMaxTcpWindowSize", 32767},
        };
        for (const auto& [name, number] : tuned)
            if (except != name) putNumber(Root::LocalMachine, kTcpip, name, number);
    }
};

TEST_F(TweaksPage, StartingChangesNothingInTheSystem) {
    runs(Release::WinXp);
    putNumber(Root::CurrentUser, kInternet, "MaxConnectionsPerServer", 2);
    putNumber(Root::CurrentUser, kInternet, "MaxConnectionsPer1_0Server", 8);
    putNumber(Root::LocalMachine, kFileSystem, "ContigFileAllocSize", 256);
    putNumber(Root::LocalMachine, kFileSystem, "NtfsDisableLastAccessUpdate", 2);
    putText(Root::LocalMachine, kUnload, "", "1");
    putTunedNt5("");
    createWindow();
    EXPECT_EQ(registryChanges(), std::vector<std::string>{});
    EXPECT_EQ(value(Root::CurrentUser, kInternet, "MaxConnectionsPerServer"), "dword 2");
    EXPECT_EQ(value(Root::CurrentUser, kInternet, "MaxConnectionsPer1_0Server"), "dword 8");
    EXPECT_EQ(value(Root::LocalMachine, kFileSystem, "ContigFileAllocSize"), "dword 256");
    EXPECT_EQ(value(Root::LocalMachine, kFileSystem, "NtfsDisableLastAccessUpdate"), "dword 2");
    // The boxes show what the registry holds.
    EXPECT_FALSE(ticked("SimultaneousConnectionsCheckBox"));
    EXPECT_EQ(text("SimultaneousConnectionsEdit"), "8");
    EXPECT_TRUE(ticked("ContigFileAllocSizeCheckBox"));
    EXPECT_TRUE(ticked("DisableLastAccessTimeStampCheckBox"));
    EXPECT_TRUE(ticked("AlwaysUnloadDLLCheckBox"));
    EXPECT_TRUE(ticked("CableDSLModemCheckBox"));
    EXPECT_EQ(machine.openRegistryKeys(), 0u);
}

// ---- the modem/DSL tuned sets ----

TEST_F(TweaksPage, XpWithOneTunedValueMissingReadsOff) {
    putTunedNt5("GlobalMaxTcpWindowSize");
    createWindow();
    EXPECT_FALSE(ticked("CableDSLModemCheckBox"));
    click("CableDSLModemCheckBox");
    EXPECT_EQ(registryChanges(),
              (std::vector<std::string>{"set DefaultTTL", "set EnablePMTUBHDetect", "set EnablePMTUDiscovery", "set SackOpts",
                                        "set Tcp1323Opts", "set TcpWindowSize", "set GlobalMaxTcpWindowSize"}));
    EXPECT_EQ(value(Root::LocalMachine, kTcpip, "GlobalMaxTcpWindowSize"), "dword 32767");
    EXPECT_EQ(value(Root::LocalMachine, kTcpip, "EnablePMTUBHDetect"), "dword 0");
}

TEST_F(TweaksPage, Windows2000WithoutTheBlackHoleValueReadsOn) {
    runs(Release::Win2000);
    putTunedNt5("EnablePMTUBHDetect");  // missing reads as 0, which is the tuned number
    createWindow();
    EXPECT_TRUE(ticked("CableDSLModemCheckBox"));
}

TEST_F(TweaksPage, NtFourWritesItsOwnSetAndAnUnopenableKeyGreysTheBox) {
    runs(Release::Nt4);
    createWindow();
    click("CableDSLModemCheckBox");
    EXPECT_EQ(registryChanges(), (std::vector<std::string>{"set DefaultTTL", "set EnablePMTUBHDetect",
                                                           "set EnablePMTUDiscovery", "set TcpWindowSize"}));
    EXPECT_EQ(value(Root::LocalMachine, kTcpip, "TcpWindowSize"), "dword 64240");
    EXPECT_FALSE(greyed("CableDSLModemCheckBox"));
    // The right to change the key is gone: the next click greys the box.
    machine.deniedRegistryKeys.insert(std::string("HKEY_LOCAL_MACHINE\\") + kTcpip);
    click("CableDSLModemCheckBox");
    EXPECT_TRUE(greyed("CableDSLModemCheckBox"));
    EXPECT_EQ(value(Root::LocalMachine, kTcpip, "TcpWindowSize"), "dword 64240");

    // Without the right from the start, the box is greyed as the window is made, on every NT.
    for (Release release : {Release::Nt4, Release::Win2000, Release::WinXp}) {
        runs(release);
        window.reset();
        createWindow();
        EXPECT_TRUE(greyed("CableDSLModemCheckBox")) << static_cast<int>(release);
    }
}

TEST_F(TweaksPage, Windows98ReadsTextsAndClearingRemovesAllSixValues) {
    runs(Release::Win98);
    putNumber(Root::LocalMachine, kMstcp, "DefaultTTL", 128);  // the right number, but not a text
    for (const auto& [name, text] : {std::pair<const char*, const char*>{"DefaultRcvWindow", "32767"},
                                     {"PMTUBlackHoleDetect", "0"}, {"PMTUDiscovery", "1"}, {"SackOpts", "1"}})
        putText(Root::LocalMachine, kMstcp, name, text);
    putNumber(Root::LocalMachine, kMstcp, "Tcp1323Opts", 3);
    createWindow();
    EXPECT_FALSE(ticked("CableDSLModemCheckBox"));
    click("CableDSLModemCheckBox");
    EXPECT_EQ(value(Root::LocalMachine, kMstcp, "DefaultTTL"), "sz 128");  // without a terminating zero
    EXPECT_EQ(value(Root::LocalMachine, kMstcp, "Tcp1323Opts"), "dword 3");
    const size_t before = machine.registryLog.size();
    click("CableDSLModemCheckBox");
    EXPECT_EQ(registryChanges(before),
              (std::vector<std::string>{"delete DefaultTTL", "delete DefaultRcvWindow", "delete PMTUBlackHoleDetect",
                                        "delete PMTUDiscovery", "delete SackOpts", "delete Tcp1323Opts"}));
    EXPECT_EQ(machine.registryKeys[std::string("HKEY_LOCAL_MACHINE\\") + kMstcp].size(), 0u);
}

TEST_F(TweaksPage, An9xKeyThatCannotBeOpenedOnlyReadsOff) {
    runs(Release::WinMe);
    machine.deniedRegistryKeys.insert(std::string("HKEY_LOCAL_MACHINE\\") + kMstcp);
    createWindow();
    EXPECT_FALSE(ticked("CableDSLModemCheckBox"));
    EXPECT_FALSE(greyed("CableDSLModemCheckBox"));
    click("CableDSLModemCheckBox");
    EXPECT_TRUE(registryChanges().empty());
}

TEST_F(TweaksPage, AReleaseWithoutATunedSetChangesNothing) {
    runs(Release::Server2003);
    putTunedNt5("");
    createWindow();
    EXPECT_FALSE(ticked("CableDSLModemCheckBox"));
    click("CableDSLModemCheckBox");
    click("CableDSLModemCheckBox");
    EXPECT_TRUE(registryChanges().empty());
}

// ---- connections per server ----

struct ConnectionPair {
    uint32_t perServer, per10Server;
    bool on;
    const char* shown;
};

void PrintTo(const ConnectionPair& pair, std::ostream* out) {
    *out << pair.perServer << "/" << pair.per10Server;
}

class ConnectionPairs : public TweakTest, public ::testing::WithParamInterface<ConnectionPair> {};

TEST_P(ConnectionPairs, ReadAsThePairSaysWithoutRewritingIt) {
    const ConnectionPair pair = GetParam();
    putNumber(Root::CurrentUser, kInternet, "MaxConnectionsPerServer", pair.perServer);
    putNumber(Root::CurrentUser, kInternet, "MaxConnectionsPer1_0Server", pair.per10Server);
    createWindow();
    EXPECT_EQ(ticked("SimultaneousConnectionsCheckBox"), pair.on);
    EXPECT_EQ(text("SimultaneousConnectionsEdit"), pair.shown);
    EXPECT_TRUE(registryChanges().empty());
}

INSTANTIATE_TEST_SUITE_P(TweaksPage, ConnectionPairs,
                         ::testing::Values(ConnectionPair{2, 4, false, "4"}, ConnectionPair{8, 8, true, "8"},
                                           ConnectionPair{2, 8, false, "8"}, ConnectionPair{8, 4, true, "4"},
                                           ConnectionPair{2, 50, false, "32"}));

TEST_F(TweaksPage, TheConnectionsEditClampsAndEveryChangeWritesOrRemovesBothValues) {
    createWindow();
    EXPECT_EQ(text("SimultaneousConnectionsEdit"), "4");  // nothing stored
    click("SimultaneousConnectionsCheckBox");
    EXPECT_EQ(value(Root::CurrentUser, kInternet, "MaxConnectionsPerServer"), "dword 4");
    EXPECT_EQ(value(Root::CurrentUser, kInternet, "MaxConnectionsPer1_0Server"), "dword 4");
    for (const auto& [typed, shown] : {std::pair<const char*, const char*>{"50", "32"}, {"", "1"}, {"0", "1"}, {"x", "1"},
                                       {"-3", "1"}, {"12", "12"}}) {
        type("SimultaneousConnectionsEdit", typed);
        EXPECT_EQ(text("SimultaneousConnectionsEdit"), shown) << typed;
        EXPECT_EQ(value(Root::CurrentUser, kInternet, "MaxConnectionsPer1_0Server"), std::string("dword ") + shown) << typed;
        EXPECT_EQ(value(Root::CurrentUser, kInternet, "MaxConnectionsPerServer"), std::string("dword ") + shown) << typed;
    }
    click("SimultaneousConnectionsCheckBox");
    EXPECT_EQ(value(Root::CurrentUser, kInternet, "MaxConnectionsPerServer"), "missing");
    EXPECT_EQ(value(Root::CurrentUser, kInternet, "MaxConnectionsPer1_0Server"), "missing");
    const size_t before = machine.registryLog.size();
    type("SimultaneousConnectionsEdit", "7");  // while cleared, a change removes them again
    EXPECT_EQ(registryChanges(before),
              (std::vector<std::string>{"delete MaxConnectionsPerServer", "delete MaxConnectionsPer1_0Server"}));
}

// ---- Explorer's library unloading ----

TEST_F(TweaksPage, UnloadingReadsExactlyOneAndClicksWriteOneOrZero) {
    createWindow();
    // The missing key is made, empty: the box reads cleared and nothing is written.
    EXPECT_EQ(machine.registryKeys.count(std::string("HKEY_LOCAL_MACHINE\\") + kUnload), 1u);
    EXPECT_EQ(value(Root::LocalMachine, kUnload, ""), "missing");
    EXPECT_FALSE(ticked("AlwaysUnloadDLLCheckBox"));
    click("AlwaysUnloadDLLCheckBox");
    EXPECT_EQ(value(Root::LocalMachine, kUnload, ""), "sz 1");
    click("AlwaysUnloadDLLCheckBox");
    EXPECT_EQ(value(Root::LocalMachine, kUnload, ""), "sz 0");  // the value stays

    for (const char* stored : {"01", " 1", "1 "}) {
        putText(Root::LocalMachine, kUnload, "", stored);
        window.reset();
        createWindow();
        EXPECT_FALSE(ticked("AlwaysUnloadDLLCheckBox")) << stored;
    }
    machine.deniedRegistryKeys.insert(std::string("HKEY_LOCAL_MACHINE\\") + kUnload);
    window.reset();
    createWindow();
    EXPECT_TRUE(greyed("AlwaysUnloadDLLCheckBox"));
}

}  // namespace
