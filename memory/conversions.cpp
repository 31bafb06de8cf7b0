#include "memory/conversions.h"

#include <algorithm>
#include <climits>

namespace memory {

namespace {
constexpr double kBytesToMB = 1.0 / 1048576.0;  // 2^-20, exact in double

// Byte counts beyond 2^53 lose low bits in a double, far below a megabyte's worth.
uint64_t truncated(double value) {
    if (value <= 0.0) return 0;
    if (value >= 18446744073709551615.0) return UINT64_MAX;
    return static_cast<uint64_t>(value);
}
}  // namespace

uint64_t toMB(uint64_t bytes) { return bytes >> 20; }

uint64_t toKB(uint64_t bytes) { return bytes >> 10; }

uint64_t capMB(uint64_t bytes, double fraction) {
    return truncated(static_cast<double>(bytes) * kBytesToMB * fraction) + 1;
}

uint32_t percentOf(uint64_t part, uint64_t whole) {
    if (whole == 0) return 0;
    if (part >= whole) return 100;
    return static_cast<uint32_t>(truncated(static_cast<double>(part) / static_cast<double>(whole) * 100.0));
}

uint64_t megabytesToBytes(int64_t megabytes) {
    if (megabytes <= 0) return 0;
    // No count of megabytes an edit or a setting can hold comes near the top of 64 bits.
    return std::min<uint64_t>(static_cast<uint64_t>(megabytes), UINT64_MAX >> 20) << 20;
}

int toIntMB(uint64_t megabytes) { return static_cast<int>(std::min<uint64_t>(megabytes, INT_MAX)); }

std::string formatThousands(uint64_t n) {
    std::string digits = std::to_string(n);
    std::reverse(digits.begin(), digits.end());
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        out.push_back(digits[i]);
        if ((i + 1) % 3 == 0 && i + 1 < digits.size()) out.push_back(',');
    }
    std::reverse(out.begin(), out.end());
    return out;
}

}  // namespace memory
