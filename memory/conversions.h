#pragma once
#include <cstdint>
#include <string>

namespace memory {

// Megabytes and kilobytes of a byte count, truncated, never rounded.
uint64_t toMB(uint64_t bytes);
uint64_t toKB(uint64_t bytes);

// A capacity derived from physical memory: trunc(bytes * 2^-20 * fraction) + 1, in that order.
uint64_t capMB(uint64_t bytes, double fraction);

// part / whole * 100, truncated and kept within 0 ... 100 (a part larger than its whole, as
// some systems report free memory, gives 100). A whole of 0 gives 0.
uint32_t percentOf(uint64_t part, uint64_t whole);

// Megabytes to bytes (x 1,048,576) in 64 bits; a negative count is no amount at all.
uint64_t megabytesToBytes(int64_t megabytes);

// A megabyte figure as a control's int (track-bar ranges and positions), saturating.
int toIntMB(uint64_t megabytes);

// 1234567 -> "1,234,567".
std::string formatThousands(uint64_t n);

}  // namespace memory
