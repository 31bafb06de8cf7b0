// Any bytes as Quillet.ini (in the system code page) beside the program. Every input: each key
// the program saves, read and written back, leaves the other lines as they were, and reads from
// one read of its section as it reads alone. One input
// in 512 (a load and a save of the whole main window take milliseconds): the main window loads
// it, saves it and loads it again. The second load must give the same controls as the first
// and the second save the same file; every value lies within its control's range; the lines
// the program does not own stay byte for byte and in order; no draft is left behind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/window_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::WindowHarness harness;
    auto& profile = harness.profile;
    const std::string& path = harness.iniPath;

    const std::string original =
        fuzzing::fromCodePage936(std::string_view(reinterpret_cast<const char*>(data), size));
    static const auto settingsKeys = harness.keysIn("Settings");
    fuzzing::checkKeysWrittenBack(original, settingsKeys, false);
    fuzzing::checkSectionReads(original, settingsKeys);
    if (!fuzzing::throughTheWindow(data, size, 512)) return 0;

    // From the defaults, so that what an input leaves behind (a hot key kept by "None")
    // does not reach the next one.
    harness.forgetLogs();
    profile.clear();
    harness.window->LoadSettings();

    profile.setText(path, original);
    harness.window->LoadSettings();
    const std::string loaded = harness.controlsState();
    require(harness.window->SaveSettings());
    require(!profile.fileExists(path + ".new"));
    const std::string saved = profile.text(path);
    const auto owned = harness.profile.written;
    require(platform::fake::linesNotOwned(original, owned) == platform::fake::linesNotOwned(saved, owned));

    // Every key written is there to be read again. (A value that broke its line would leave a
    // line the program does not own: the comparison above finds that.)
    for (const auto& [section, key] : owned)
        if (section == "Settings") require(profile.hasKey(path, section, key));

    harness.window->LoadSettings();
    require(harness.controlsState() == loaded);
    require(harness.window->SaveSettings());
    require(profile.text(path) == saved);
    return 0;
}
