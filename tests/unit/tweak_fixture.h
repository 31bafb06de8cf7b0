#pragma once
// The main window on a fake machine of a chosen Windows release, with the registry and
// system.ini helpers the tweak pages' tests share.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/unit/main_window_fixture.h"
#include "ui/controls.h"

class TweakTest : public MainWindowTest {
protected:
    using Root = platform::RegistryRoot;
    enum class Release { Win95, Win98, WinMe, Nt4, Win2000, WinXp, Server2003 };

    static constexpr const char* kFileSystem = "SYSTEM\\CurrentControlSet\\Control\\FileSystem";
    static constexpr const char* kMemory = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
    static constexpr const char* kTcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
    static constexpr const char* kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
    static constexpr const char* kInternet = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    static constexpr const char* kUnload = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL";
    static constexpr const char* kSystemIni = "C:\\WINDOWS\\system.ini";

    void runs(Release release) {
        using namespace platform;
        switch (release) {
            case Release::Win95: machine.setVersion(kPlatformWin32Windows, 4, 0, 0x040003B6, ""); break;
            case Release::Win98: machine.setVersion(kPlatformWin32Windows, 4, 10, 0x040A08AE, " A "); break;
            case Release::WinMe: machine.setVersion(kPlatformWin32Windows, 4, 90, 0x045A0BB8, " "); break;
            case Release::Nt4: machine.setVersion(kPlatformWin32Nt, 4, 0, 1381, "Service Pack 6a"); break;
            case Release::Win2000: machine.setVersion(kPlatformWin32Nt, 5, 0, 2195, "Service Pack 4"); break;
            case Release::WinXp: machine.setVersion(kPlatformWin32Nt, 5, 1, 2600, "Service Pack 3"); break;
            case Release::Server2003: machine.setVersion(kPlatformWin32Nt, 5, 2, 3790, "Service Pack 2"); break;
        }
    }

    void putNumber(Root root, const std::string& key, const std::string& name, uint32_t value) {
        machine.putRegistryValue(root, key, name, platform::kRegDword,
                                 {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                  static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
    }
    void putText(Root root, const std::string& key, const std::string& name, const std::string& value) {
        machine.putRegistryValue(root, key, name, platform::kRegSz, std::vector<uint8_t>(value.begin(), value.end()));
    }
    // "missing", "dword N" or "sz TEXT" (the text exactly as stored).
    std::string value(Root root, const std::string& key, const std::string& name) const {
        const auto* found = machine.registryValue(root, key, name);
        if (found == nullptr) return "missing";
        if (found->type == platform::kRegDword && found->data.size() == 4)
            return "dword " + std::to_string(found->data[0] | found->data[1] << 8 | found->data[2] << 16 |
                                             static_cast<uint32_t>(found->data[3]) << 24);
        if (found->type == platform::kRegSz) return "sz " + std::string(found->data.begin(), found->data.end());
        return "type " + std::to_string(found->type);
    }
    // The registry calls that changed something, in order ("set NAME", "delete NAME").
    std::vector<std::string> registryChanges(size_t from = 0) const {
        std::vector<std::string> changes;
        for (size_t i = from; i < machine.registryLog.size(); ++i) {
            const std::string& call = machine.registryLog[i];
            if (call.rfind("set ", 0) == 0 || call.rfind("delete ", 0) == 0) changes.push_back(call);
        }
        return changes;
    }

    // The user's input, on the control's page (shown first from code, as the View menu does).
    void click(const std::string& checkBox) {
        auto& box = get<ui::CheckBox>(checkBox);
        showPageOf(box);
        box.userChanged(!box.checked());
    }
    void type(const std::string& edit, const std::string& text) {
        auto& box = get<ui::Edit>(edit);
        showPageOf(box);
        box.userChanged(text);
    }
    void showPageOf(ui::Control& control) {
        for (ui::Control* c = &control; c != nullptr; c = c->parent())
            if (auto* sheet = dynamic_cast<ui::TabSheet*>(c)) sheet->pageControl().setActivePage(*sheet);
    }
    std::string text(const std::string& edit) { return get<ui::Edit>(edit).text(); }
    bool ticked(const std::string& checkBox) { return get<ui::CheckBox>(checkBox).checked(); }
    bool greyed(const std::string& control) { return !get<ui::Control>(control).enabled(); }
    std::string systemIni(const std::string& section, const std::string& key) const {
        return machine.iniValue(kSystemIni, section, key).value_or("<none>");
    }
};
