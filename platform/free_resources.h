#pragma once
#include <cstdint>
#include <optional>

namespace platform {

// The three heaps of the 9x window manager, by the codes of the system's free-resource query.
enum class ResourceKind : uint16_t {
    System = 0,
    Gdi = 1,
    User = 2,
};

// The free share of the window manager's heaps, which only the 9x family reports (through its
// 16-bit window manager).
class FreeResources {
public:
    virtual ~FreeResources() = default;
    // The free percentage of that heap (0 ... 100), read afresh; 100 when the system's procedure
    // cannot be found (nothing to warn about). Empty where this build has no way to the figures
    // at all (a 64-bit program has no 16-bit route): the program then treats the system as one
    // without them.
    virtual std::optional<uint16_t> freeSystemResources(ResourceKind kind) = 0;
};

}  // namespace platform
