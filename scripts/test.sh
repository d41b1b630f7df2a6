#!/usr/bin/env bash
# Installs what is missing, builds Dovrel and runs every test; then builds
# again with AddressSanitizer and UndefinedBehaviorSanitizer and runs the
# tests once more; then cross-builds the Windows programs and tests them
# under Wine (scripts/test-windows.sh, with the first build's stand-in).
# Usage: scripts/test.sh [build-folder]   (default: build; the sanitizer
# build goes to <build-folder>-asan, the Windows one to <build-folder>-windows).
# DOVREL_SKIP_SANITIZERS=1 skips the sanitizer stage, DOVREL_SKIP_WINDOWS=1
# the Windows one. The time of each stage is reported at the end.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$top/build}")"

"$top/scripts/install-deps.sh"

# ccache serves a clone in any folder from what another clone compiled
# (paths below the checkout are hashed relative to it).
export CCACHE_BASEDIR="$top" CCACHE_NOHASHDIR=1

stage_times=()
timed() {   # NAME COMMAND...: runs the command and keeps its time
  local name="$1" start=$SECONDS
  shift
  "$@"
  stage_times+=("$name: $((SECONDS - start)) s")
}

run_tests() {   # build-folder cmake-options...
  local dir="$1"; shift
  cmake -S "$top" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j2
  # Tests start their own stand-in servers on free loopback ports, so two
  # can run at once; windows run on Qt's offscreen platform.
  QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300
}

timed "Linux build and tests" run_tests "$build" -DCMAKE_BUILD_TYPE="${DOVREL_BUILD_TYPE:-Debug}" -DDOVREL_WERROR=ON

sanitized_tests() {   # in a subshell, so that the sanitizers' options stay there
  (
    # No strict_string_checks: it takes libxkbcommon's strndup of a counted,
    # unterminated name (legal) for an overflow when a window meets an X server.
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
    run_tests "$build-asan" -DCMAKE_BUILD_TYPE=Debug -DDOVREL_SANITIZE=ON -DDOVREL_WERROR=ON
  )
}

if [ "${DOVREL_SKIP_SANITIZERS:-0}" != 1 ]; then
  echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  timed "sanitizer build and tests" sanitized_tests
fi

if [ "${DOVREL_SKIP_WINDOWS:-0}" != 1 ]; then
  echo "== the Windows build, tested under Wine"
  export DOVREL_WERROR=ON
  timed "Windows build" "$top/scripts/build-windows.sh" "$build-windows"
  # The stand-in of the first build serves the Windows tests: no Linux code is built again.
  timed "Windows tests" env DOVREL_LINUX_BUILD="$build" "$top/scripts/test-windows.sh" "$build-windows"
fi

echo "== stage times"
printf '  %s\n' "${stage_times[@]}"
