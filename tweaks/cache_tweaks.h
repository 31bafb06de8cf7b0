#pragma once
// The cache page (缓存): on the 9x family the disk-cache limits and the swap-file policy of
// system.ini, written when the settings are saved; on the NT family four file-system and
// memory-management values, written as their box is clicked. The contiguous-allocation box of
// the tweaks page (增强选项) works on both families. Leaving the cache page after a change
// offers to restart the computer.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tweaks/tweak_context.h"
#include "ui/form_handlers.h"

namespace tweaks {

// Disk-cache figures in kilobytes.
struct CacheFigures {
    uint64_t minimum = 0;
    uint64_t maximum = 0;
    uint64_t chunk = 0;
    bool operator==(const CacheFigures& o) const {
        return minimum == o.minimum && maximum == o.maximum && chunk == o.chunk;
    }
};

// The figures of a row of the scheme box (标准系统 ... 游戏玩家) on a machine of totalPhys
// bytes; an index outside the rows (no choice) takes the first row.
CacheFigures cacheSchemeValues(int index, uint64_t totalPhys);
// The largest minimum and maximum: half of physical memory, in kilobytes.
uint64_t largestDiskCache(uint64_t totalPhys);
// The number in a cache edit: a decimal number with an optional sign, fraction and exponent
// after leading blanks, read up to the first character that does not fit and truncated toward
// zero; no number gives 0. A negative number counts as larger than any limit.
uint64_t cacheEditValue(std::string_view text);

// The text of the restart question.
inline constexpr const char* kRestartQuestion =
    "缓存设置发生变化，您需要重新启动计算机吗?                                ";

class CacheTweaks {
public:
    explicit CacheTweaks(const TweakContext& context) : c_(context) {}

    // The handlers of the cache page, the contiguous-allocation box and the page control's
    // question, under the names the layout tables give them.
    void bindHandlers(ui::FormHandlers& table);

    // The settings load: each shows what the system holds and writes nothing.
    void readNtBoxes();  // NT family: the four boxes, in table order
    void readCacheIni();  // 9x family, once the scheme is selected
    void readContigFileAlloc();  // both families

    // The settings save on the 9x family: the cache entries the user changed since the load
    // (those the page now gives other values than it showed then) into system.ini in one step,
    // so that an untouched page leaves the file as it is and a file that cannot be written
    // stays whole. False when changes were due and could not be written (they stay due).
    bool writeCacheIni();
    // The Windows folder's system.ini; empty when the system names no Windows folder.
    std::string systemIniPath() const;

    void ContigFileAllocSizeCheckBoxClick();
    void MinimumDiskCacheEditChange();
    void MaximumDiskCacheEditChange();
    void ChunkSizeEditChange();
    void CacheSchemeComboBoxChange();
    // Runs before the user's tab click changes the page: leaving the cache page after a change
    // asks once whether to restart. The change is always allowed.
    void MainPageControlChanging(bool& allowChange);

private:
    // A system.ini entry as the page gives it.
    struct IniEntry {
        const char* section;
        const char* key;
        std::string value;
    };
    std::vector<IniEntry> pageEntries() const;

    bool readRegistryBox(const char* checkBox, const char* key, const char* value);
    void clampDiskCacheEdit(const char* edit);
    void markCacheChanged() { c_.cacheChangePending = true; }
    uint64_t totalPhys() const;

    TweakContext c_;
    bool reading_ = false;
    std::vector<IniEntry> written_;  // what system.ini holds as far as the page knows: loaded or last written
};

}  // namespace tweaks
