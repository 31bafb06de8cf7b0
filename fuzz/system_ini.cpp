// Any bytes as the Windows folder's system.ini (in the system code page) on Windows 98. Every
// input: the cache entries read as numbers and written back read back the same. One input in
// 256 (the whole main window takes milliseconds): the main window reads its cache entries into
// the cache page and saves, which leaves the file byte for byte; then the page is changed (a
// scheme and the swap-file policy), saved, read and saved again. The lines the program does not
// own stay byte for byte and in order; what it writes is a plain number within the cache page's
// limits; the second reading shows what the first did and the second save changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/window_harness.h"
#include "memory/memory_status.h"
#include "tweaks/cache_tweaks.h"

namespace {

const char* const kCacheControls[] = {"MinimumDiskCacheEdit", "MaximumDiskCacheEdit",   "ChunkSizeEdit",
                                      "MinimumDiskCacheCheckBox", "MaximumDiskCacheCheckBox", "ChunkSizeCheckBox",
                                      "ConserveSwapFileCheckBox"};

std::string cachePage(fuzzing::WindowHarness& harness) {
    std::string state;
    for (const char* name : kCacheControls) {
        const ui::Component* component = harness.window->form().find(name);
        require(component != nullptr);
        if (auto* edit = dynamic_cast<const ui::Edit*>(component)) state += edit->text();
        if (auto* box = dynamic_cast<const ui::CheckBox*>(component)) state += box->checked() ? "x" : "o";
        state += '|';
    }
    return state;
}

// A value the program wrote: decimal digits only, at most the limit.
void requireFigure(const fuzzing::RecordingProfile& profile, const std::string& path, const char* section,
                   const char* key, uint64_t limit) {
    const auto stored = profile.storedValue(path, section, key);
    require(stored.has_value());
    const std::string& value = *stored;
    require(!value.empty() && value.size() <= 20);
    for (char c : value) require(c >= '0' && c <= '9');
    require(value.size() < 20 && std::stoull(value) <= limit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzing::WindowHarness harness;
    auto& profile = harness.profile;
    const std::string& path = harness.systemIniPath;
    const std::string original =
        fuzzing::fromCodePage936(std::string_view(reinterpret_cast<const char*>(data), size));
    static const auto cacheKeys = harness.keysIn("vcache"), swapFileKeys = harness.keysIn("386Enh");
    fuzzing::checkKeysWrittenBack(original, cacheKeys, true);
    fuzzing::checkKeysWrittenBack(original, swapFileKeys, true);
    if (!fuzzing::throughTheWindow(data, size, 256)) return 0;

    harness.forgetLogs();
    profile.clear();
    profile.setText(path, original);
    const std::string stored = profile.text(path);
    harness.window->LoadSettings();
    require(harness.window->SaveSettings());
    require(profile.text(path) == stored);  // the page as loaded: nothing written
    for (const auto& entry : harness.profile.written) require(entry.first == "Settings");

    harness.changeCachePage(size > 0 ? data[0] % 6 : 0);
    const std::string shown = cachePage(harness);
    require(harness.window->SaveSettings());
    require(!profile.fileExists(path + ".new"));
    const std::string saved = profile.text(path);

    std::set<std::pair<std::string, std::string>> owned;
    for (const auto& entry : harness.profile.written)
        if (entry.first != "Settings") owned.insert(entry);
    require(owned.count({"386Enh", "ConservativeSwapfileUsage"}) == 1);  // changed in every input
    require(platform::fake::linesNotOwned(original, owned) == platform::fake::linesNotOwned(saved, owned));

    const uint64_t largest = tweaks::largestDiskCache(memory::MemoryStatus(harness.machine).totalPhys());
    const struct {
        const char* section;
        const char* key;
        uint64_t limit;
    } figures[] = {{"vcache", "minfilecache", largest},
                   {"vcache", "maxfilecache", largest},
                   {"vcache", "chunksize", 1024},
                   {"386Enh", "ConservativeSwapfileUsage", 1}};
    for (const auto& figure : figures)
        if (owned.count({figure.section, figure.key}) != 0)
            requireFigure(profile, path, figure.section, figure.key, figure.limit);

    harness.window->LoadSettings();
    require(cachePage(harness) == shown);
    require(harness.window->SaveSettings());
    require(profile.text(path) == saved);
    return 0;
}
