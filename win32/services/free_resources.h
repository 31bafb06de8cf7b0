#pragma once
// The export-table lookup behind the free-resource figures: the 16-bit loader's entries of
// KERNEL32 are exported by ordinal only, and must be found by reading the table.
#include <cstdint>

namespace platform::win32 {

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

}  // namespace platform::win32
