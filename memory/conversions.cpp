#include "memory/conversions.h"

#include <algorithm>

namespace memory {

namespace {
constexpr double kBytesToMB = 1.0 / 1048576.0;  // 2^-20, exact in double
constexpr double kBytesToKB = 1.0 / 1024.0;      // 2^-10, exact in double

uint32_t truncated(double value) { return value <= 0.0 ? 0 : static_cast<uint32_t>(value); }
}  // namespace

uint32_t toMB(uint32_t bytes) { return truncated(bytes * kBytesToMB); }

uint32_t toKB(uint32_t bytes) { return truncated(bytes * kBytesToKB); }

uint32_t capMB(uint32_t bytes, double fraction) { return truncated(bytes * kBytesToMB * fraction) + 1; }

uint32_t percentOf(uint32_t part, uint32_t whole) {
    if (whole == 0) return 0;
    return truncated(static_cast<double>(part) / whole * 100.0);
}

uint32_t megabytesToBytes(int32_t megabytes) { return static_cast<uint32_t>(megabytes) << 20; }

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
