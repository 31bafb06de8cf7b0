#pragma once
#include <cstdint>
#include <string>

#include "platform/window_system.h"

namespace platform {

constexpr int kSwShowNormal = 1;

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a program or document the way Explorer would. Returns the shell's code
    // (greater than 32 on success). An empty directory means "none".
    virtual intptr_t shellExecute(Window owner, const std::string& verb, const std::string& file,
                                  const std::string& parameters, const std::string& directory,
                                  int showCommand) = 0;
};

}  // namespace platform
