#pragma once
#include <cstdint>
#include <string>

#include "platform/window_system.h"

namespace platform {

constexpr int kSwShowNormal = 1;

// PlaySound flags (Win32 values).
constexpr uint32_t kSndAsync = 0x0001;
constexpr uint32_t kSndNoDefault = 0x0002;
constexpr uint32_t kSndNoStop = 0x0010;
constexpr uint32_t kSndNoWait = 0x2000;
constexpr uint32_t kSndFilename = 0x20000;

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a program or document the way Explorer would. Returns the shell's code
    // (greater than 32 on success). An empty directory means "none".
    virtual intptr_t shellExecute(Window owner, const std::string& verb, const std::string& file,
                                  const std::string& parameters, const std::string& directory,
                                  int showCommand) = 0;
    // Plays a sound file (PlaySound with SND_FILENAME and the given flags, kSnd...). A missing or
    // unplayable file is silent.
    virtual void playSound(const std::string& file, uint32_t flags) = 0;
};

}  // namespace platform
