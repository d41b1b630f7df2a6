#!/usr/bin/env bash
# Shows Dovrel's connection settings window against a local stand-in
# server, in a sandbox: nothing outside a temporary folder and the build
# folder is touched.
#
#   scripts/demo.sh                      open the window on $DISPLAY
#   scripts/demo.sh --screenshot PATH    save a picture of it to PATH instead
#
# Without $DISPLAY the window is photographed (under Xvfb when xvfb-run is
# there, else on Qt's offscreen platform) into the build folder, and the
# path is printed. The picture comes from dovrel-window-probe, the window
# program with a screenshot hook that the shipped program does not carry.
#
# DOVREL_BUILD_DIR chooses the build folder (default: build).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${DOVREL_BUILD_DIR:-$root/build}
build=$(mkdir -p "$build" && cd "$build" && pwd)
picture=""
if [ "${1:-}" = "--screenshot" ]; then
  [ -n "${2:-}" ] || { echo "usage: scripts/demo.sh [--screenshot PATH]" >&2; exit 2; }
  picture=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
elif [ -z "${DISPLAY:-}" ]; then
  picture="$build/demo-screenshot.png"
fi

"$root/scripts/install-deps.sh"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j2 --target dovrel dovrel-window-probe dovrelctl dovrel-standin

work=$(mktemp -d "${TMPDIR:-/tmp}/dovrel-demo-XXXXXX")
standin_pid=""
cleanup() {
  [ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null && wait "$standin_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The stand-in server on a free loopback port, with a few databases.
password='Demo#Pw1'
mkdir -p "$work/data"
. "$root/scripts/standin_functions.sh"
start_standin "$build" "$work/data" "sa:$password" "$work/standin.log" || exit 1
port=$standin_port
printf 'CREATE DATABASE TovixHR\ngo\nCREATE DATABASE TovixHR_Archive\ngo\nCREATE DATABASE Attendance\ngo\n' >"$work/create.sql"
bsqldb -S "127.0.0.1:$port" -U sa -P "$password" -i "$work/create.sql" >"$work/create.log" 2>&1 || {
  cat "$work/create.log" >&2
  exit 1
}

# Runs a Dovrel program as on a Simplified Chinese machine (code page
# 936), where the captions show as written. Only the code pages follow
# this name; the locale itself need not be installed.
chinese() { LC_ALL=zh_CN.UTF-8 "$@"; }

# A sandbox settings store pointing at it, credentials encrypted.
export DOVREL_REGISTRY="$work/registry"
chinese "$build/src/app/dovrelctl" set --server "127.0.0.1,$port" --database TovixHR --user sa --password "$password"
echo "demo: stand-in on 127.0.0.1,$port; settings in $DOVREL_REGISTRY"

if [ -z "$picture" ]; then
  chinese "$build/src/app/dovrel"
  exit 0
fi

probe=("$build/tools/window_probe/dovrel-window-probe" --screenshot "$picture")
rm -f "$picture"
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  chinese xvfb-run -a -s "-screen 0 1024x768x24" "${probe[@]}"
elif [ -z "${DISPLAY:-}" ]; then
  QT_QPA_PLATFORM=offscreen chinese "${probe[@]}"
else
  chinese "${probe[@]}"
fi
if [ ! -s "$picture" ]; then
  echo "demo: no screenshot was written" >&2
  exit 1
fi
echo "demo: screenshot saved to $picture"
