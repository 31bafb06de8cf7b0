#include "tweaks/cache_tweaks.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "memory/memory_status.h"
#include "monitor/os_detection.h"
#include "tweaks/registry_access.h"
#include "ui/controls.h"
#include "ui/menu.h"

namespace tweaks {

namespace {

using platform::RegistryRoot;

constexpr const char* kFileSystemKey = "SYSTEM\\CurrentControlSet\\Control\\FileSystem";
constexpr const char* kMemoryManagementKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";

// The NT family's boxes: ticked writes 1, cleared writes 0; each click marks a cache change.
struct RegistryBox {
    const char* checkBox;
    const char* key;
    const char* value;
};
constexpr RegistryBox kNtBoxes[] = {
    {"Disable83NameCreationCheckBox", kFileSystemKey, "NtfsDisable8dot3NameCreation"},
    {"DisableLastAccessTimeStampCheckBox", kFileSystemKey, "NtfsDisableLastAccessUpdate"},
    {"DisablePagingExecutiveCheckBox", kMemoryManagementKey, "DisablePagingExecutive"},
    {"LargeSystemCacheCheckBox", kMemoryManagementKey, "LargeSystemCache"},
};

// Contiguous allocation, on both families: ticked writes 512, cleared removes the value.
constexpr const char* kContigBox = "ContigFileAllocSizeCheckBox";
constexpr const char* kContigValue = "ContigFileAllocSize";
constexpr uint32_t kContigTicked = 512;

// The schemes of the scheme box. A figure is a number of kilobytes, a share of physical
// memory (in kilobytes), or a multiple of the row's other figure.
enum class Basis { Kilobytes, Memory, OtherFigure };
struct Figure {
    Basis basis;
    double factor;
};
struct SchemeRow {
    Figure minimum;
    Figure maximum;
    uint64_t chunk;
};
constexpr SchemeRow kSchemes[] = {
    {{Basis::Kilobytes, 2048}, {Basis::Memory, 0.25}, 512},         // 标准系统
    {{Basis::Memory, 0.125}, {Basis::Memory, 0.125}, 256},          // 光盘制作用户
    {{Basis::Memory, 0.125}, {Basis::Memory, 0.25}, 512},           // 大内存用户
    {{Basis::OtherFigure, 0.125}, {Basis::Memory, 0.125}, 256},     // 低内存用户
    {{Basis::Memory, 0.03125}, {Basis::OtherFigure, 3}, 1024},      // 多媒体用户
    {{Basis::Memory, 0.015625}, {Basis::OtherFigure, 6}, 256},      // 游戏玩家
};

constexpr uint64_t kLargestChunk = 1024;

// The three edits with their 应用 boxes and system.ini keys, in the order they are read and
// written.
struct CacheEntry {
    const char* edit;
    const char* checkBox;
    const char* key;
};
constexpr CacheEntry kCacheEntries[] = {
    {"MinimumDiskCacheEdit", "MinimumDiskCacheCheckBox", "minfilecache"},
    {"MaximumDiskCacheEdit", "MaximumDiskCacheCheckBox", "maxfilecache"},
    {"ChunkSizeEdit", "ChunkSizeCheckBox", "chunksize"},
};
constexpr const char* kCacheSection = "vcache";
constexpr const char* kSwapSection = "386Enh";
constexpr const char* kSwapKey = "ConservativeSwapfileUsage";
constexpr const char* kSwapBox = "ConserveSwapFileCheckBox";

bool swapPolicyApplies() {
    const monitor::OsDescription& system = monitor::osDescription();
    return system.isWin98 || system.isWinMe;
}

uint64_t truncated(double value) { return value <= 0 ? 0 : static_cast<uint64_t>(value); }

// Writes the entries into a copy of the file, which then takes the file's place in one step:
// a file that cannot be written stays as it was, every other line of it included.
template <class Entry>
bool writeAtOnce(platform::Profile& profile, const std::string& path, const std::vector<Entry>& entries) {
    const std::string draft = path + ".new";
    profile.deleteFile(draft);
    if (profile.fileExists(path) && !profile.copyFile(path, draft)) return false;
    bool written = true;
    for (const Entry& entry : entries) {
        written = profile.writeString(draft, entry.section, entry.key, entry.value);
        if (!written) break;
    }
    if (written && profile.replaceFile(draft, path)) return true;
    profile.deleteFile(draft);
    return false;
}

}  // namespace

CacheFigures cacheSchemeValues(int index, uint64_t totalPhys) {
    const SchemeRow& row = index >= 0 && index < static_cast<int>(std::size(kSchemes)) ? kSchemes[index] : kSchemes[0];
    const double kilobytes = static_cast<double>(totalPhys) / 1024.0;
    auto direct = [kilobytes](const Figure& figure) {
        return figure.basis == Basis::Kilobytes ? static_cast<uint64_t>(figure.factor) : truncated(kilobytes * figure.factor);
    };
    CacheFigures figures;
    figures.chunk = row.chunk;
    if (row.minimum.basis == Basis::OtherFigure) {
        figures.maximum = direct(row.maximum);
        figures.minimum = truncated(static_cast<double>(figures.maximum) * row.minimum.factor);
    } else if (row.maximum.basis == Basis::OtherFigure) {
        figures.minimum = direct(row.minimum);
        figures.maximum = truncated(static_cast<double>(figures.minimum) * row.maximum.factor);
    } else {
        figures.minimum = direct(row.minimum);
        figures.maximum = direct(row.maximum);
    }
    return figures;
}

uint64_t largestDiskCache(uint64_t totalPhys) { return truncated(static_cast<double>(totalPhys) / 1024.0 * 0.5); }

uint64_t cacheEditValue(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    // The digits with the point taken out, and how many stood before it.
    std::string digits;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') digits += text[i++];
    long long point = static_cast<long long>(digits.size());
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') digits += text[i++];
    }
    if (digits.empty()) return 0;
    // An exponent counts only with at least one digit; it moves the point. Held to a range far
    // beyond any number of 20 digits, so that the count cannot overflow.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        const bool below = j < text.size() && text[j] == '-';
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        long long exponent = 0;
        bool any = false;
        for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j, any = true)
            exponent = std::min(exponent * 10 + (text[j] - '0'), 100000LL);
        if (any) point += below ? -exponent : exponent;
    }
    // The whole part, exactly: the digits before the point (zeros where the exponent moved it
    // past the last digit).
    constexpr uint64_t kAboveEveryLimit = std::numeric_limits<uint64_t>::max();
    uint64_t value = 0;
    for (long long k = 0; k < point; ++k) {
        const unsigned digit = k < static_cast<long long>(digits.size()) ? static_cast<unsigned>(digits[k] - '0') : 0;
        if (value > (kAboveEveryLimit - digit) / 10) return kAboveEveryLimit;  // 2^64 and beyond
        value = value * 10 + digit;
    }
    return negative && value != 0 ? kAboveEveryLimit : value;
}

void CacheTweaks::bindHandlers(ui::FormHandlers& table) {
    auto& h = table.handlers;
    for (const RegistryBox& box : kNtBoxes) {
        const RegistryBox* row = &box;
        h[std::string(box.checkBox) + "Click"] = [this, row] {
            if (reading_) return;
            markCacheChanged();
            RegistryKeyAccess key(c_.os.registry, RegistryRoot::LocalMachine, row->key);
            key.setNumber(row->value, c_.get<ui::CheckBox>(row->checkBox).checked() ? 1 : 0);
        };
    }
    h["ContigFileAllocSizeCheckBoxClick"] = [this] { ContigFileAllocSizeCheckBoxClick(); };
    h["MinimumDiskCacheEditChange"] = [this] { MinimumDiskCacheEditChange(); };
    h["MaximumDiskCacheEditChange"] = [this] { MaximumDiskCacheEditChange(); };
    h["ChunkSizeEditChange"] = [this] { ChunkSizeEditChange(); };
    h["CacheSchemeComboBoxChange"] = [this] { CacheSchemeComboBoxChange(); };
    table.changing["MainPageControlChanging"] = [this](bool& allowChange) { MainPageControlChanging(allowChange); };
}

uint64_t CacheTweaks::totalPhys() const {
    memory::MemoryStatus status(c_.os.memory);
    return status.totalPhys();
}

// ---- the registry boxes ----

bool CacheTweaks::readRegistryBox(const char* checkBox, const char* keyPath, const char* value) {
    auto& box = c_.get<ui::CheckBox>(checkBox);
    RegistryKeyAccess key(c_.os.registry, RegistryRoot::LocalMachine, keyPath);
    if (!key.opened()) {
        // Without the right to change the value (an NT user who is no administrator).
        box.setEnabled(false);
        return false;
    }
    const ReadingGuard guard(reading_);
    box.setChecked(key.number(value).value_or(0) != 0);
    return true;
}

void CacheTweaks::readNtBoxes() {
    for (const RegistryBox& box : kNtBoxes) readRegistryBox(box.checkBox, box.key, box.value);
}

void CacheTweaks::readContigFileAlloc() { readRegistryBox(kContigBox, kFileSystemKey, kContigValue); }

void CacheTweaks::ContigFileAllocSizeCheckBoxClick() {
    if (reading_) return;
    RegistryKeyAccess key(c_.os.registry, RegistryRoot::LocalMachine, kFileSystemKey);
    if (c_.get<ui::CheckBox>(kContigBox).checked()) {
        key.setNumber(kContigValue, kContigTicked);
    } else {
        key.remove(kContigValue);
    }
}

// ---- the 9x disk cache ----

void CacheTweaks::clampDiskCacheEdit(const char* name) {
    auto& edit = c_.get<ui::Edit>(name);
    const uint64_t largest = largestDiskCache(totalPhys());
    if (cacheEditValue(edit.text()) > largest) {
        edit.setText(std::to_string(largest));
        edit.selectAll();
    }
}

void CacheTweaks::MinimumDiskCacheEditChange() {
    markCacheChanged();
    clampDiskCacheEdit("MinimumDiskCacheEdit");
    // The maximum is never below the minimum the user types. (While system.ini is read each
    // edit shows its own entry: pairing them there would change what the next save writes.)
    if (reading_) return;
    auto& minimum = c_.get<ui::Edit>("MinimumDiskCacheEdit");
    auto& maximum = c_.get<ui::Edit>("MaximumDiskCacheEdit");
    if (cacheEditValue(maximum.text()) < cacheEditValue(minimum.text())) maximum.setText(minimum.text());
}

void CacheTweaks::MaximumDiskCacheEditChange() {
    markCacheChanged();
    clampDiskCacheEdit("MaximumDiskCacheEdit");
    // Nor the minimum above the maximum.
    if (reading_) return;
    auto& minimum = c_.get<ui::Edit>("MinimumDiskCacheEdit");
    auto& maximum = c_.get<ui::Edit>("MaximumDiskCacheEdit");
    if (cacheEditValue(maximum.text()) < cacheEditValue(minimum.text())) minimum.setText(maximum.text());
}

void CacheTweaks::ChunkSizeEditChange() {
    markCacheChanged();
    auto& edit = c_.get<ui::Edit>("ChunkSizeEdit");
    if (cacheEditValue(edit.text()) > kLargestChunk) {
        edit.setText(std::to_string(kLargestChunk));
        edit.selectAll();
    }
}

void CacheTweaks::CacheSchemeComboBoxChange() {
    markCacheChanged();
    const CacheFigures figures =
        cacheSchemeValues(c_.get<ui::ComboBox>("CacheSchemeComboBox").itemIndex(), totalPhys());
    const uint64_t values[] = {figures.minimum, figures.maximum, figures.chunk};
    for (size_t i = 0; i < std::size(kCacheEntries); ++i) {
        c_.get<ui::Edit>(kCacheEntries[i].edit).setText(std::to_string(values[i]));
        c_.get<ui::CheckBox>(kCacheEntries[i].checkBox).setChecked(true);
    }
}

std::string CacheTweaks::systemIniPath() const {
    std::string folder = c_.os.process.windowsFolder();
    if (folder.empty()) return "";
    if (folder.back() != '\\') folder += '\\';
    return folder + "system.ini";
}

void CacheTweaks::readCacheIni() {
    const ReadingGuard guard(reading_);
    const std::string path = systemIniPath();
    auto read = [&](const char* section, const char* key) {
        return path.empty() ? 0 : c_.os.profile.getInt(path, section, key, 0);
    };
    for (const CacheEntry& entry : kCacheEntries) {
        const int value = read(kCacheSection, entry.key);
        c_.get<ui::CheckBox>(entry.checkBox).setChecked(value != 0);
        c_.get<ui::Edit>(entry.edit).setText(std::to_string(value));  // its limits apply
    }
    auto& swap = c_.get<ui::CheckBox>(kSwapBox);
    if (swapPolicyApplies()) {
        swap.setEnabled(true);
        swap.setChecked(read(kSwapSection, kSwapKey) != 0);
    } else {
        swap.setEnabled(false);  // Windows 95 has no such policy
    }
    // What the page shows now is what the file holds, as far as a save is concerned: an entry
    // the page shows otherwise (a value cut to its limit, a missing key shown as "0") is
    // written only once the user changes it.
    written_ = pageEntries();
}

std::vector<CacheTweaks::IniEntry> CacheTweaks::pageEntries() const {
    std::vector<IniEntry> entries;
    for (const CacheEntry& entry : kCacheEntries) {
        const bool applied = c_.get<ui::CheckBox>(entry.checkBox).checked();
        entries.push_back({kCacheSection, entry.key, applied ? c_.get<ui::Edit>(entry.edit).text() : "0"});
    }
    if (swapPolicyApplies())
        entries.push_back({kSwapSection, kSwapKey, c_.get<ui::CheckBox>(kSwapBox).checked() ? "1" : "0"});
    return entries;
}

bool CacheTweaks::writeCacheIni() {
    const std::vector<IniEntry> page = pageEntries();
    std::vector<IniEntry> changed;
    for (size_t i = 0; i < page.size(); ++i)
        if (i >= written_.size() || page[i].value != written_[i].value) changed.push_back(page[i]);
    if (changed.empty()) return true;
    const std::string path = systemIniPath();
    if (path.empty() || !writeAtOnce(c_.os.profile, path, changed)) return false;
    written_ = page;
    return true;
}

// ---- the restart question ----

void CacheTweaks::MainPageControlChanging(bool& allowChange) {
    allowChange = true;
    const ui::TabSheet* leaving = c_.get<ui::PageControl>("MainPageControl").activePage();
    if (leaving != &c_.get<ui::TabSheet>("CacheTabSheet") || !c_.cacheChangePending) return;
    // Asked once per change, whatever the answer.
    c_.cacheChangePending = false;
    const int answer = c_.os.windows.messageBox(c_.owner(), kRestartQuestion, "Quillet",
                                                platform::kMbYesNo | platform::kMbIconWarning);
    if (answer == platform::kIdYes) c_.get<ui::MenuItem>("RestartComputer1").click();
}

}  // namespace tweaks
