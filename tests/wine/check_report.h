#pragma once
// The checks and the closing count shared by the Windows test programs run under Wine: each
// check prints one "ok"/"FAIL" line, and the program ends with "N passed, N failed".
#include <cstdio>
#include <string>

namespace checks {

// How long a test waits for what it expects to see (a window, a text, a value): generous, so a
// loaded machine or 32-bit Wine under emulation still gets there; what never comes still fails.
inline constexpr unsigned long kPatienceMs = 30000;

inline int passes = 0;
inline int failures = 0;

inline void check(bool ok, const std::string& what, const std::string& detail = "") {
    if (ok) {
        ++passes;
        std::printf("ok   %s\n", what.c_str());
    } else {
        ++failures;
        std::printf("FAIL %s %s\n", what.c_str(), detail.c_str());
    }
    std::fflush(stdout);
}

// Shows line breaks, tabs and the ends of a UTF-8 text, so a missing blank is visible.
inline std::string visible(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out + "\"";
}

inline void checkText(const std::string& actual, const std::string& expected, const std::string& what) {
    check(actual == expected, what, "\n  got      " + visible(actual) + "\n  expected " + visible(expected));
}

// Prints the closing count; the exit code is 0 only when something was checked and all passed.
inline int summary() {
    std::printf("%d passed, %d failed\n", passes, failures);
    return failures == 0 && passes > 0 ? 0 : 1;
}

}  // namespace checks
