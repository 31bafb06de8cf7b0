// The in-memory registry answers as the system's does (the same cases run against the real
// one under Wine in os_probe), so tests of registry users can trust its result codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

using platform::RegistryKey;
using platform::RegistryRoot;
using platform::fake::FakeMachine;

TEST(FakeRegistry, AnswersWithTheSystemsResultCodes) {
    FakeMachine machine;
    platform::Registry& registry = machine;
    RegistryKey key = nullptr;
    RegistryKey other = nullptr;
    uint32_t type = 0;
    std::vector<uint8_t> data;

    EXPECT_EQ(registry.openKey(RegistryRoot::CurrentUser, "Software\\Q\\A", platform::kKeyRead, key), 2);
    bool created = false;
    ASSERT_EQ(registry.createKey(RegistryRoot::CurrentUser, "Software\\Q\\A", platform::kKeyAllAccess, key, &created), 0);
    EXPECT_TRUE(created);
    ASSERT_EQ(registry.createKey(RegistryRoot::CurrentUser, "software\\q\\a", platform::kKeyRead, other, &created), 0);
    EXPECT_FALSE(created);
    EXPECT_EQ(registry.closeKey(other), 0);
    EXPECT_EQ(registry.openKey(RegistryRoot::CurrentUser, "Software\\Q", platform::kKeyRead, other), 0);
    EXPECT_EQ(registry.closeKey(other), 0);
    EXPECT_EQ(registry.openKey(RegistryRoot::LocalMachine, "Software\\Q", platform::kKeyRead, other), 2);

    const std::string text = "C:\\程序\\Quillet.exe";
    const std::vector<uint8_t> bare(text.begin(), text.end());
    std::vector<uint8_t> terminated = bare;
    terminated.push_back(0);
    EXPECT_EQ(registry.setValue(key, "Run", platform::kRegSz, bare), 0);
    EXPECT_EQ(machine.registryValue(RegistryRoot::CurrentUser, "Software\\Q\\A", "run")->data, bare);
    EXPECT_EQ(registry.queryValue(key, "RUN", type, data), 0);
    EXPECT_EQ(type, platform::kRegSz);
    EXPECT_EQ(data, terminated);
    const std::vector<uint8_t> dword{0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(registry.setValue(key, "Number", platform::kRegDword, dword), 0);
    EXPECT_EQ(registry.queryValue(key, "Number", type, data), 0);
    EXPECT_EQ(data, dword);

    EXPECT_EQ(registry.deleteValue(key, "Number"), 0);
    EXPECT_EQ(registry.queryValue(key, "Number", type, data), 2);
    EXPECT_EQ(registry.deleteValue(key, "Number"), 2);
    EXPECT_EQ(registry.closeKey(key), 0);
    EXPECT_EQ(registry.queryValue(key, "Run", type, data), 6);  // a closed handle
    EXPECT_EQ(registry.closeKey(key), 6);

    ASSERT_EQ(registry.openKey(RegistryRoot::CurrentUser, "Software\\Q\\A", platform::kKeyRead, key), 0);
    EXPECT_EQ(registry.setValue(key, "x", platform::kRegDword, dword), 5);
    EXPECT_EQ(registry.deleteValue(key, "Run"), 5);
    EXPECT_EQ(registry.closeKey(key), 0);
    machine.deniedRegistryKeys.insert("HKEY_CURRENT_USER\\Software\\Q\\A");
    EXPECT_EQ(registry.openKey(RegistryRoot::CurrentUser, "Software\\Q\\A", platform::kKeyRead, key), 5);

    // A standard user: the machine's keys read, but neither change nor grow.
    machine.readOnlyRegistryKeys.insert("HKEY_LOCAL_MACHINE");
    machine.putRegistryValue(RegistryRoot::LocalMachine, "Software\\Q", "Run", platform::kRegSz, bare);
    EXPECT_EQ(registry.openKey(RegistryRoot::LocalMachine, "software\\q", platform::kKeySetValue, key), 5);
    EXPECT_EQ(registry.openKey(RegistryRoot::LocalMachine, "Software\\Q", platform::kKeyAllAccess, key), 5);
    EXPECT_EQ(registry.createKey(RegistryRoot::LocalMachine, "Software\\Q", platform::kKeyWrite, key), 5);
    EXPECT_EQ(registry.createKey(RegistryRoot::LocalMachine, "Software\\Q\\New", platform::kKeyRead, key), 5);
    EXPECT_EQ(machine.registryKeys.count("HKEY_LOCAL_MACHINE\\Software\\Q\\New"), 0u);
    EXPECT_EQ(registry.openKey(RegistryRoot::LocalMachine, "Software\\Q\\New", platform::kKeyRead, key), 2);
    ASSERT_EQ(registry.openKey(RegistryRoot::LocalMachine, "Software\\Q", platform::kKeyRead, key), 0);
    EXPECT_EQ(registry.queryValue(key, "Run", type, data), 0);
    EXPECT_EQ(registry.closeKey(key), 0);
    ASSERT_EQ(registry.createKey(RegistryRoot::CurrentUser, "Software\\Q\\B", platform::kKeySetValue, key), 0);
    EXPECT_EQ(registry.setValue(key, "Run", platform::kRegSz, bare), 0);
    EXPECT_EQ(registry.closeKey(key), 0);
    EXPECT_EQ(machine.openRegistryKeys(), 0u);
}
