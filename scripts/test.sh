#!/usr/bin/env bash
# Installs what is missing, builds Dovrel and runs every test.
# Usage: scripts/test.sh [build-folder]   (default: build)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$top/build}"

"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${DOVREL_BUILD_TYPE:-Debug}"
cmake --build "$build" -j2
# Tests start their own stand-in servers on free loopback ports, so two can
# run at once; windows run on Qt's offscreen platform.
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
