#!/usr/bin/env bash
# Shows Dovrel's connection settings window against a local stand-in
# server, in a sandbox: nothing outside a temporary folder is touched.
#
#   scripts/demo.sh                 open the window on $DISPLAY
#   scripts/demo.sh --screenshot    save it to docs/screenshot.png instead
#
# Without $DISPLAY the window is always photographed (under Xvfb when
# xvfb-run is there, else on Qt's offscreen platform). The picture comes
# from the program's hidden option DOVREL_SCREENSHOT=FILE, which saves the
# settings window shortly after it is shown and then closes it.
#
# DOVREL_BUILD_DIR chooses the build folder (default: build).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${DOVREL_BUILD_DIR:-$root/build}
screenshot=0
[ "${1:-}" = "--screenshot" ] && screenshot=1
[ -z "${DISPLAY:-}" ] && screenshot=1

"$root/scripts/install-deps.sh"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j2 --target dovrel dovrelctl dovrel-standin

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

if [ "$screenshot" -eq 0 ]; then
  chinese "$build/src/app/dovrel"
  exit 0
fi

mkdir -p "$root/docs"
export DOVREL_SCREENSHOT="$root/docs/screenshot.png"
rm -f "$DOVREL_SCREENSHOT"
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  chinese xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/app/dovrel"
elif [ -z "${DISPLAY:-}" ]; then
  QT_QPA_PLATFORM=offscreen chinese "$build/src/app/dovrel"
else
  chinese "$build/src/app/dovrel"
fi
if [ ! -s "$DOVREL_SCREENSHOT" ]; then
  echo "demo: no screenshot was written" >&2
  exit 1
fi
echo "demo: screenshot saved to $DOVREL_SCREENSHOT"
