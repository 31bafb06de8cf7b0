# The same program built for 64-bit Windows, where one recovery may commit more than 4 GB. The
# windows preset's build makes it with this file for the packages (packaging/CMakeLists.txt); the
# windows-x64 preset builds it, and its end-to-end tests, on their own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(QUILLET_OBJDUMP x86_64-w64-mingw32-objdump)
# Built for size: the program waits most of its life, and what it loads at start-up is what it
# ships. One section per function and object lets the linker drop whatever nothing reaches
# (the static C++ library's unused parts included), and the file carries no symbols.
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "Release flags: built for size")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--gc-sections -s")
