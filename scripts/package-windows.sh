#!/usr/bin/env bash
# Builds the Windows installer dovrel-<version>-x64.msi with wixl from
# packaging/windows/dovrel.wxs and the files that scripts/build-windows.sh
# stages for the zip; the version is the CMake project's.
# Usage: scripts/package-windows.sh [output-folder]   (default: out/)
# DOVREL_WINDOWS_BUILD names the Windows build folder (default: build-windows).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$top/out}" && cd "${1:-$top/out}" && pwd)"
build="$(realpath -m "${DOVREL_WINDOWS_BUILD:-$top/build-windows}")"

"$top/scripts/build-windows.sh" "$build"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package-windows: no project version in $build/CMakeCache.txt" >&2; exit 1; }
msi="$out/dovrel-$version-x64.msi"
# wixl finds files by paths relative to where it runs, never absolute ones.
cd "$top"
wixl -a x64 -D Version="$version" -D SourceDir="$(realpath --relative-to=. "$build/package/dovrel-windows-x64")" \
  -D IconFile=packaging/icons/dovrel.ico -o "$msi" packaging/windows/dovrel.wxs
echo "package-windows: $msi"
