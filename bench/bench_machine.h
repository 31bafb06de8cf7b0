#pragma once
#include "platform/memory.h"

// The memory services the benchmark runs on: the real system on Windows, and on Linux a
// machine whose blocks come fresh from the kernel, as committed pages do.
platform::Memory& benchMemory();
const char* benchHostName();
