#pragma once
#include <cstdint>
#include <string>

namespace memory {

// Megabytes and kilobytes of a byte count, truncated, never rounded.
uint32_t toMB(uint32_t bytes);
uint32_t toKB(uint32_t bytes);

// A capacity derived from physical memory: trunc(bytes * 2^-20 * fraction) + 1, in that order.
uint32_t capMB(uint32_t bytes, double fraction);

// part / whole * 100, truncated. A whole of 0 gives 0.
uint32_t percentOf(uint32_t part, uint32_t whole);

// Megabytes to bytes by a 20-bit left shift in 32-bit arithmetic (wraps as the shift does).
uint32_t megabytesToBytes(int32_t megabytes);

// 1234567 -> "1,234,567".
std::string formatThousands(uint64_t n);

}  // namespace memory
