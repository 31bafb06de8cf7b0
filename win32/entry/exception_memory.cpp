// The memory a thrown exception lives in, in place of the C++ library's. The library's own
// allocator keeps an emergency pool for throwing when malloc fails, taken from the heap while
// the program starts (some 72 KB, committed for the program's whole life, and Wine never gives
// heap memory back). These take each exception from malloc and keep a few small slots aside
// for the same purpose: recovery drives the machine to its commit limit, and a bad_alloc thrown
// then must still reach its handler.
//
// Defined in an object linked into the program itself, so the library's definitions (and the
// pool beside them) are never linked.
//
// The runtime keeps its exception header right before the thrown object and finds it by
// subtracting the header's size from the object's address: 96 bytes in the i686 library, 160 in
// the x86-64 one (read from the library's own __cxa_allocate_exception). Each exception gets a
// header area of kHeaderArea bytes, zeroed as the runtime expects, with the object after it,
// 16-byte aligned as the object may need. A dependent exception (std::rethrow_exception) is the
// header alone: 80 and 144 bytes.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "win32/entry/exception_memory.h"

namespace win32 {

namespace {

constexpr std::size_t kHeaderArea = 160;
static_assert(kHeaderArea % 16 == 0, "the thrown object stays 16-byte aligned");

// The reserve: enough for a bad_alloc or a runtime_error with a short message while memory is
// exhausted (the header and a record of 16 bytes included), and for a few of them in flight on
// different threads.
constexpr std::size_t kSlotSize = 1024;
alignas(16) unsigned char reserve[kExceptionReserveSlots][kSlotSize];
volatile LONG slotTaken[kExceptionReserveSlots];

}  // namespace

void* takeExceptionReserveSlot(std::size_t size) {
    if (size > kSlotSize) return nullptr;
    for (int i = 0; i < kExceptionReserveSlots; ++i) {
        if (InterlockedCompareExchange(&slotTaken[i], 1, 0) == 0) return reserve[i];
    }
    return nullptr;
}

bool giveBackExceptionReserveSlot(void* block) {
    auto* bytes = static_cast<unsigned char*>(block);
    for (int i = 0; i < kExceptionReserveSlots; ++i) {
        if (bytes == reserve[i]) {
            InterlockedExchange(&slotTaken[i], 0);
            return true;
        }
    }
    return false;
}

namespace {

// Every block starts at a 16-byte boundary (an exception object may ask for that much, and the
// i686 heap gives 8) with a 16-byte record of where its memory came from, then the zeroed part
// the caller gets: the header area and the object, or a dependent exception.
constexpr std::size_t kRecord = 16;

// `size` zeroed bytes from the heap or, when the heap has none, from the reserve; with neither,
// the exception cannot be thrown and the program ends.
void* exceptionBlock(std::size_t size) {
    if (size > static_cast<std::size_t>(-1) - kRecord - 15) std::abort();
    void* memory = std::malloc(kRecord + size + 15);
    if (memory == nullptr) memory = takeExceptionReserveSlot(kRecord + size);  // the slots are aligned
    if (memory == nullptr) std::abort();
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(memory) + 15) & ~static_cast<std::uintptr_t>(15);
    auto* record = reinterpret_cast<unsigned char*>(start);
    *reinterpret_cast<void**>(record) = memory;
    std::memset(record + kRecord, 0, size);
    return record + kRecord;
}

void releaseBlock(void* block) {
    void* memory = *reinterpret_cast<void**>(static_cast<unsigned char*>(block) - kRecord);
    if (!giveBackExceptionReserveSlot(memory)) std::free(memory);
}

}  // namespace

}  // namespace win32

extern "C" {

void* __cxa_allocate_exception(std::size_t objectSize) noexcept {
    if (objectSize > static_cast<std::size_t>(-1) / 2) std::abort();
    return static_cast<unsigned char*>(win32::exceptionBlock(win32::kHeaderArea + objectSize)) + win32::kHeaderArea;
}

void __cxa_free_exception(void* object) noexcept {
    win32::releaseBlock(static_cast<unsigned char*>(object) - win32::kHeaderArea);
}

void* __cxa_allocate_dependent_exception() noexcept { return win32::exceptionBlock(win32::kHeaderArea); }

void __cxa_free_dependent_exception(void* header) noexcept { win32::releaseBlock(header); }

}  // extern "C"
