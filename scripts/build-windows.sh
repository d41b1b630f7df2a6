#!/usr/bin/env bash
# Cross-builds Dovrel for 64-bit Windows with MinGW-w64 (statically linked):
# dovrelctl.exe, the Windows test programs and the OpenCC data folder
# "opencc" beside them, all at the top of the build folder.
# Usage: scripts/build-windows.sh [build-folder]   (default: build-windows)
# DOVREL_BUILD_TYPE chooses the build type (default: Release).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$top/build-windows}"

"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" -G Ninja --toolchain "$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE="${DOVREL_BUILD_TYPE:-Release}"
cmake --build "$build" -j2
echo "build-windows: $build/dovrelctl.exe"
