#!/usr/bin/env bash
# Cross-builds Dovrel for 64-bit Windows with MinGW-w64 (statically linked):
# dovrel.exe, dovrelctl.exe, the Windows test programs and the OpenCC data
# folder "opencc" beside them, all at the top of the build folder; then
# dovrel-windows-x64.zip there, what a workstation needs: the two programs,
# the OpenCC data and README-windows.txt.
# Usage: scripts/build-windows.sh [build-folder]   (default: build-windows)
# DOVREL_BUILD_TYPE chooses the build type (default: Release);
# DOVREL_WERROR=ON turns warnings into errors.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$top/build-windows}")"

"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" -G Ninja --toolchain "$top/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE="${DOVREL_BUILD_TYPE:-Release}" -DDOVREL_WERROR="${DOVREL_WERROR:-OFF}"
cmake --build "$build" -j2

# The zip, from a staging folder: the programs without their symbols.
stage="$build/package/dovrel-windows-x64"
rm -rf "$build/package" && mkdir -p "$stage"
for program in dovrel.exe dovrelctl.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$program" "$build/$program"
done
cp -r "$build/opencc" "$stage/opencc"
cp "$top/packaging/windows/README-windows.txt" "$stage/"
rm -f "$build/dovrel-windows-x64.zip"
(cd "$stage" && cmake -E tar cf "$build/dovrel-windows-x64.zip" --format=zip -- *)
echo "build-windows: $build/dovrel.exe, $build/dovrelctl.exe, $build/dovrel-windows-x64.zip"
