#pragma once
// The export-table lookup behind the free-resource figures: the 16-bit loader's entries of
// KERNEL32 are exported by ordinal only, and must be found by reading the table.
#include <cstdint>
#include <optional>

#include "platform/free_resources.h"

namespace win32 {

enum class ExportKind {
    None,       // the module does not export that ordinal (or is no module)
    Code,       // an entry point in the module
    Forwarder,  // a text naming another module's export ("DLL.Name"): not code, never called
};

struct OrdinalExport {
    ExportKind kind = ExportKind::None;
    const void* address = nullptr;  // the entry point, or the forwarder's text
};

// Reads the export table of a module mapped into this process (the module handle is its base)
// for one ordinal. An entry whose address lies inside the export directory itself is a
// forwarder, as under Wine.
OrdinalExport exportByOrdinal(const void* module, uint32_t ordinal);

// The free shares of the 9x family's resource heaps, through its 16-bit window manager; a
// 64-bit build has no such route and answers none.
class Win32FreeResources : public platform::FreeResources {
public:
    std::optional<uint16_t> freeSystemResources(platform::ResourceKind kind) override;

private:
    void* kernelModule_ = nullptr;  // KERNEL32 as found by the first query
};

}  // namespace win32
