#!/usr/bin/env bash
# Builds the packages an administrator installs:
#   dovrel_<version>_amd64.deb and dovrel-standin_<version>_amd64.deb (Debian 12),
#   dovrel-<version>-x64.msi (Windows, from the MinGW build) when the Windows
#   build is at hand or can be made.
# Usage: scripts/package.sh [output-folder]   (default: out/)
# DOVREL_SKIP_WINDOWS=1 leaves the MSI out.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-$top/out}" && cd "${1:-$top/out}" && pwd)"
build="$top/build-package"

"$top/scripts/install-deps.sh"

# Debian's hardening flags, as a package built by dpkg-buildpackage gets them.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDOVREL_BUILD_TESTS=OFF -DDOVREL_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
lintian --allow-root "$out"/dovrel*_amd64.deb || true
ls -1 "$out"/*.deb

if [ "${DOVREL_SKIP_WINDOWS:-0}" != 1 ] && [ -x "$top/scripts/package-windows.sh" ]; then
  "$top/scripts/package-windows.sh" "$out"
fi
