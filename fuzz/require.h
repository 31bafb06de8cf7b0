#pragma once
// The fuzz targets' checks: a property that does not hold says which, then aborts.
#include <cstdio>
#include <cstdlib>

namespace fuzzing {

[[noreturn]] inline void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: %s does not hold\n", file, line, what);
    std::abort();
}

}  // namespace fuzzing

#define require(condition) ((condition) ? (void)0 : ::fuzzing::fail(#condition, __FILE__, __LINE__))
