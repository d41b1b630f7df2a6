# Cross-compiling Dovrel for 64-bit Windows with Debian's MinGW-w64 (the
# posix threads variant, which std::thread and std::mutex need):
#   cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake
# Everything is linked statically, so the .exe needs no MinGW DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DOVREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DOVREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DOVREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DOVREL_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW tree only, never the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${DOVREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# -O2 rather than CMake's -O3: at -O3 GCC 12 reports overlapping copies
# inside libstdc++'s string code that cannot happen (-Wrestrict).
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")

# CTest runs the test programs under Wine when it is installed.
find_program(DOVREL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(DOVREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DOVREL_WINE})
endif()
