#pragma once
// The main window on a fake Windows 98 machine whose INI files are whole texts: made once per
// process (making it is far slower than a load and a save), reused by every input.
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mainwindow/main_form.h"
#include "app/paths.h"
#include "fuzz/profile_checks.h"
#include "fuzz/require.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/text_profile.h"
#include "ui/controls.h"
#include "ui/headless_backend.h"

namespace fuzzing {

// The file's bytes in the system code page (936) as the program reads them: GBK decoded, a byte
// that starts no character read as U+FFFD.
inline std::string fromCodePage936(std::string_view bytes) {
    static iconv_t decoder = iconv_open("UTF-8", "GBK");
    require(decoder != reinterpret_cast<iconv_t>(-1));
    std::string out(bytes.size() * 3 + 8, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* to = out.data();
    size_t toLeft = out.size();
    iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (iconv(decoder, &in, &inLeft, &to, &toLeft) != static_cast<size_t>(-1)) break;
        // A byte that does not start a character, or a character cut by the end.
        require(toLeft >= 3);
        *to++ = '\xEF', *to++ = '\xBF', *to++ = '\xBD';
        toLeft -= 3;
        ++in, --inLeft;
        iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - toLeft);
    return out;
}

// Records which keys the program writes, on the INI model itself: the fake machine's failure
// switches and write log would only cost time here.
class RecordingProfile : public platform::fake::TextProfile {
public:
    std::set<std::pair<std::string, std::string>> written;  // section, key
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override {
        written.insert({section, key});
        return platform::fake::TextProfile::writeString(path, section, key, value);
    }
};

class WindowHarness {
public:
    WindowHarness() {
        machine.setVersion(platform::kPlatformWin32Windows, 4, 10, 0x040A08AE, " A ");
        app::setAppPaths(app::makeAppPaths(machine.program));
        monitor::detectOs(machine);
        window = std::make_unique<mainwindow::TQuilletForm>(os, backend);
        window->create();
        iniPath = app::makeAppPaths(machine.program).iniPath;
        systemIniPath = machine.windowsPath + "\\system.ini";
        // The keys a save writes, taken from the program itself. system.ini gets only the
        // entries of the cache page that changed since the load: here every one of them.
        window->LoadSettings();
        changeCachePage(1);
        require(window->SaveSettings());
        keys = profile.written;
        profile.clear();
    }
    ~WindowHarness() { window.reset(); }

    // Forgets what the machine recorded, so that its logs do not grow from input to input.
    void forgetLogs() {
        machine.events.clear();
        machine.registryLog.clear();
        machine.messageBoxes.clear();
        machine.shellCalls.clear();
        machine.sounds.clear();
        machine.versionQueries.clear();
        machine.ntQueries.clear();
        machine.freeResourceQueries.clear();
        profile.written.clear();
    }

    // The cache page as the user may change it: the scheme of that row chosen, and the
    // swap-file policy the other way.
    void changeCachePage(int scheme) {
        auto& schemes = window->form().get<ui::ComboBox>("CacheSchemeComboBox");
        schemes.setItemIndex(scheme);
        if (schemes.onChange) schemes.onChange(schemes.itemIndex());
        auto& swap = window->form().get<ui::CheckBox>("ConserveSwapFileCheckBox");
        swap.setChecked(!swap.checked());
    }

    // The keys a save writes in one section.
    std::set<std::pair<std::string, std::string>> keysIn(const std::string& section) const {
        std::set<std::pair<std::string, std::string>> in;
        for (const auto& entry : keys)
            if (entry.first == section) in.insert(entry);
        return in;
    }

    // Every control's state, in the form's order, as one text; checks each value lies within
    // its control's range.
    std::string controlsState() const {
        std::string state;
        walk(window->form(), state);
        return state;
    }

    platform::fake::FakeMachine machine;
    RecordingProfile profile;
    ui::HeadlessBackend backend;
    platform::Platform os{machine, machine, machine, machine, machine, profile, machine, machine,
                          machine, machine, machine, machine, machine, machine, machine};
    std::unique_ptr<mainwindow::TQuilletForm> window;
    std::string iniPath;
    std::string systemIniPath;
    std::set<std::pair<std::string, std::string>> keys;  // section, key of every entry a save writes

private:
    static void walk(const ui::Control& control, std::string& state) {
        state += control.name();
        state += '\x1F';
        state += control.text();
        state += control.enabled() ? "|e" : "|d";
        if (auto* box = dynamic_cast<const ui::CheckBox*>(&control)) {
            state += box->checked() ? "|x" : "|o";
        } else if (auto* bar = dynamic_cast<const ui::TrackBar*>(&control)) {
            require(bar->min() <= bar->position() && bar->position() <= bar->max());
            state += "|" + std::to_string(bar->position());
        } else if (auto* list = dynamic_cast<const ui::ComboBox*>(&control)) {
            require(list->itemIndex() >= -1 && list->itemIndex() < static_cast<int>(list->items().size()));
            state += "|" + std::to_string(list->itemIndex());
        } else if (auto* group = dynamic_cast<const ui::RadioGroup*>(&control)) {
            require(group->itemIndex() >= -1 && group->itemIndex() < static_cast<int>(group->items().size()));
            state += "|" + std::to_string(group->itemIndex());
        } else if (auto* keys = dynamic_cast<const ui::HotKeyBox*>(&control)) {
            state += "|" + std::to_string(keys->shortcut());
        }
        state += '\n';
        for (const auto& child : control.children()) walk(*child, state);
    }
};

// Whether an input goes through the whole main window (a load, a save, a load and a save take
// milliseconds): one in so many, chosen by the input's bytes so that a run repeats.
inline bool throughTheWindow(const uint8_t* data, size_t size, uint32_t oneIn) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
    return hash % oneIn == 0;
}

}  // namespace fuzzing
