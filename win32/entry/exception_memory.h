#pragma once
#include <cstddef>

namespace win32 {

// The slots kept aside for exceptions thrown when the heap has no memory left
// (exception_memory.cpp). Each holds an exception of up to about 1 KB with its header.
inline constexpr int kExceptionReserveSlots = 4;

// A free slot for `size` bytes, claimed for the caller; null when every slot is taken or the
// size does not fit in one.
void* takeExceptionReserveSlot(std::size_t size);
// Frees the slot `block` is; false (and nothing done) when it is no slot.
bool giveBackExceptionReserveSlot(void* block);

}  // namespace win32
