// The registry view the program reads and writes: the one the running Windows itself reads.
#pragma once
#include <cstdint>

namespace win32 {

// The access flag to OR into every key the program opens or creates. A 32-bit copy on 64-bit
// Windows would otherwise see HKLM\SOFTWARE through the 32-bit view (Wow6432Node), where the
// 64-bit Explorer and the 64-bit start-up never look: there it is KEY_WOW64_64KEY. Elsewhere
// (a 64-bit copy, 32-bit Windows, or a release that does not know the flag) it is 0.
uint32_t registryViewAccess();

}  // namespace win32
