#!/usr/bin/env bash
# Installs what is missing, builds Dovrel and runs every test; then builds
# again with AddressSanitizer and UndefinedBehaviorSanitizer and runs the
# tests once more.
# Usage: scripts/test.sh [build-folder]   (default: build; the sanitizer
# build goes to <build-folder>-asan). DOVREL_SKIP_SANITIZERS=1 skips it.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$top/build}"

"$top/scripts/install-deps.sh"

run_tests() {   # build-folder cmake-options...
  local dir="$1"; shift
  cmake -S "$top" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j2
  # Tests start their own stand-in servers on free loopback ports, so two
  # can run at once; windows run on Qt's offscreen platform.
  QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300
}

run_tests "$build" -DCMAKE_BUILD_TYPE="${DOVREL_BUILD_TYPE:-Debug}" -DDOVREL_WERROR=ON

if [ "${DOVREL_SKIP_SANITIZERS:-0}" != 1 ]; then
  echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  # No strict_string_checks: it takes libxkbcommon's strndup of a counted,
  # unterminated name (legal) for an overflow when a window meets an X server.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
  run_tests "$build-asan" -DCMAKE_BUILD_TYPE=Debug -DDOVREL_SANITIZE=ON -DDOVREL_WERROR=ON
fi
