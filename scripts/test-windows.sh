#!/usr/bin/env bash
# Tests the Windows build under Wine on Xvfb against the Linux stand-in
# server on loopback: the cross-built test programs (those of the Windows
# seams and windows also under a Simplified and a Traditional Chinese
# locale; the windows' tests get the stand-in through DOVREL_STANDIN_PORT
# and DOVREL_STANDIN_PASSWORD), then dovrelctl.exe end to end: set (into
# the registry's 32-bit view), show, check, databases, import, and the
# cipher against the Linux build's; then dovrel.exe with real keys; then the
# MSI package, installed, run and removed.
# Usage: scripts/test-windows.sh [build-folder]   (default: build-windows)
# Builds first (scripts/build-windows.sh); the stand-in comes from the Linux
# build folder DOVREL_LINUX_BUILD (default: build), built when missing. One
# throw-away Wine prefix and one Xvfb serve the whole run and go at its end.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$top/build-windows}")"
linux="$(realpath -m "${DOVREL_LINUX_BUILD:-$top/build}")"
started=$SECONDS

"$top/scripts/build-windows.sh" "$build"
[ -f "$linux/build.ninja" ] || cmake -S "$top" -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build "$linux" -j2 --target dovrel-standin dovrelctl
built=$SECONDS

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
work=$(mktemp -d "${TMPDIR:-/tmp}/dovrel-wine-XXXXXX")
# No Mono or Gecko: the programs need neither, and their installers would
# be offered on first start.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 TDSVER=7.4
unset LC_ALL LC_CTYPE DISPLAY
standin_pid="" xvfb_pid="" dovrel_pid=""
cleanup() {
  for pid in "$dovrel_pid" "$standin_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  "$wineserver" -k 2>/dev/null || true   # the server of this run's prefix only
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "test-windows: FAILED: $*" >&2
  exit 1
}
# expect WHAT EXPECTED ACTUAL
expect() {
  [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
  echo "ok: $1"
}

echo "== Xvfb and the Wine prefix"
# Xvfb picks a free display number and tells it on the descriptor given.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 30 -u "$display_fd" display || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
exec {display_fd}>&-
export DISPLAY=":$display"
"$wine" wineboot -i >/dev/null 2>&1
# The windows' Chinese faces come from WenQuanYi Micro Hei; a .reg file in
# UTF-16, so that the Chinese names arrive whole.
fonts="$work/fonts.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  for face in 宋体 SimSun 新細明體 PMingLiU "MS Serif" "MS Shell Dlg"; do
    printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
  done
} | iconv -f UTF-8 -t UTF-16 >"$fonts"
"$wine" regedit "$fonts" || fail "cannot set the font substitutes"

# Chinese locales for Wine, compiled into the build folder once (the
# machine's own locales are left alone). C.UTF-8 makes a Western machine.
locales="$build/locales"
mkdir -p "$locales"
for name in zh_CN zh_TW; do
  [ -d "$locales/$name.UTF-8" ] || localedef -c -i "$name" -f UTF-8 "$locales/$name.UTF-8" || true
  [ -d "$locales/$name.UTF-8" ] || fail "cannot compile the locale $name.UTF-8"
done
simplified() { LOCPATH="$locales" LANG=zh_CN.UTF-8 DOVREL_EXPECTED_CODE_PAGE=936 "$@"; }
traditional() { LOCPATH="$locales" LANG=zh_TW.UTF-8 DOVREL_EXPECTED_CODE_PAGE=950 "$@"; }
western() { LANG=C.UTF-8 DOVREL_EXPECTED_CODE_PAGE=1252 "$@"; }

echo "== the stand-in"
password='Secret#1'
. "$top/scripts/standin_functions.sh"
mkdir -p "$work/data"
start_standin "$linux" "$work/data" "sa:$password" "$work/standin.log" || fail "the stand-in did not start"
port=$standin_port
sql() {   # DATABASE SQL: the rows, tab-separated, through FreeTDS's bsqldb
  printf '%s\n' "$2" >"$work/batch.sql"
  bsqldb -q -t '	' -S "127.0.0.1:$port" -U sa -P "$password" -D "$1" -i "$work/batch.sql"
}
sql master 'CREATE DATABASE TovixHR' >/dev/null
sql master 'CREATE DATABASE 人事档案' >/dev/null
sql TovixHR 'CREATE TABLE Staff (ID int, Name nvarchar(20), Dept nvarchar(20))' >/dev/null
export DOVREL_STANDIN_PORT=$port DOVREL_STANDIN_PASSWORD=$password

echo "== test programs (Western locale)"
western ctest --test-dir "$build" -j2 --timeout 300 --output-on-failure
echo "== Windows seams and windows under a Simplified Chinese locale"
simplified ctest --test-dir "$build" -L windows -j2 --timeout 300 --output-on-failure
echo "== Windows seams and windows under a Traditional Chinese locale"
traditional ctest --test-dir "$build" -L windows -j2 --timeout 300 --output-on-failure

echo "== the settings window at 144 DPI"
# Wine takes the DPI at its start: set, restart, test, and back to 96.
dpi() {
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
  "$wineserver" -k 2>/dev/null || true
}
dpi 144
"$wine" "$build/winui_settings_window_test.exe" || fail "the settings window at 144 DPI"
dpi 96

echo "== dovrelctl.exe against the stand-in"
ctl() { "$wine" "$build/dovrelctl.exe" "$@"; }
linuxctl936() { env LC_ALL=zh_CN.UTF-8 "$linux/src/app/dovrelctl" "$@"; }   # code pages by the name alone

ctl set --server "127.0.0.1,$port" --database TovixHR --user sa --password "$password" || fail "set"
registry=$("$wine" reg query 'HKLM\Software\Wow6432Node\Tovix\HR' | tr -d '\r')
expect "ServerName in the 32-bit view" "127.0.0.1,$port" \
  "$(sed -n 's/^ *ServerName *REG_SZ *//p' <<<"$registry")"
expect "Database in the 32-bit view" "TovixHR" "$(sed -n 's/^ *Data[Bb]ase *REG_SZ *//p' <<<"$registry")"
grep -Eq '^ *User +REG_SZ +[0-9A-F ]+$' <<<"$registry" || fail "the login is not stored encrypted: $registry"
"$wine" reg query 'HKLM\Software\Tovix\HR' >/dev/null 2>&1 && fail "settings in the 64-bit view"
echo "ok: nothing in the 64-bit view"
expect "show" "ServerName: 127.0.0.1,$port|DatabaseName: TovixHR|UserName: sa|UserPassword: $password" \
  "$(ctl show --reveal | tr -d '\r' | paste -sd '|')"

ctl check >"$work/check.log" 2>&1 || { cat "$work/check.log"; fail "check"; }
echo "ok: check"
expect "databases" "TovixHR 人事档案" "$(ctl databases | tr -d '\r' | grep -E '^(TovixHR|人事档案)$' | paste -sd ' ')"

printf 'ID\tName\tDept\r\n1\t张三\t人事\r\n2\t李四\t财务\r\n' >"$work/员工.txt"
ctl import "Z:$work/员工.txt" Staff || fail "import of a UTF-8 file"
expect "imported rows" "1	张三	人事|2	李四	财务" "$(sql TovixHR 'SELECT ID, Name, Dept FROM Staff ORDER BY ID' | paste -sd '|')"
printf 'ID\tName\tDept\r\n3\t王五\t考勤\r\n' | iconv -f UTF-8 -t GBK >"$work/gbk.txt"
simplified ctl import "Z:$work/gbk.txt" Staff --delete || fail "import of a GBK file"
expect "a GBK file under code page 936" "3	王五	考勤" "$(sql TovixHR 'SELECT ID, Name, Dept FROM Staff' | paste -sd '|')"

# (The cipher restores single-byte characters only; its double-byte codes
# are checked by the cipher's own tests above.)
cipher=$(linuxctl936 encrypt 'Pw#1 ~x')
expect "Linux's cipher text decrypted on Windows" 'Pw#1 ~x' "$(simplified ctl decrypt "$cipher" | tr -d '\r')"
cipher=$(simplified ctl encrypt 'Pw#1 ~x' | tr -d '\r')
expect "Windows' cipher text decrypted on Linux" 'Pw#1 ~x' "$(linuxctl936 decrypt "$cipher")"
expect "localize on a Traditional Chinese machine" "為啟動數據庫" "$(traditional ctl localize 为启动数据库 | tr -d '\r')"

echo "== dovrel.exe with real keys"
# The settings window of the installed settings, found by its title; keys
# go to it through the X server as a keyboard's would.
title="数据库连接设置"
"$wine" reg add 'HKLM\Software\Wow6432Node\Tovix\HR' /v FirstServer /d '' /f >/dev/null
simplified "$wine" "$build/dovrel.exe" >"$work/dovrel.log" 2>&1 &
dovrel_pid=$!
window=""
for _ in $(seq 120); do
  window=$(xdotool search --name "^$title\$" 2>/dev/null | head -1) && [ -n "$window" ] && break
  kill -0 "$dovrel_pid" 2>/dev/null || fail "dovrel.exe ended before its window showed: $(cat "$work/dovrel.log")"
  sleep 0.5
done
[ -n "$window" ] || fail "the settings window did not show"
echo "ok: the settings window shows, titled $title"
# Its load listed the databases of the reachable server, which the history records.
expect "the listing at load recorded the server" "127.0.0.1,$port" \
  "$("$wine" reg query 'HKLM\Software\Wow6432Node\Tovix\HR' /v FirstServer | tr -d '\r' |
     sed -n 's/^ *FirstServer *REG_SZ *//p')"
# Enter along the whole focus order, and Escape, press nothing and close nothing.
# (xdotool says on stderr that the X server has no focused window: none is needed.)
for _ in $(seq 12); do xdotool key --window "$window" Return 2>/dev/null; done
xdotool key --window "$window" Escape 2>/dev/null
sleep 2
kill -0 "$dovrel_pid" 2>/dev/null || fail "Enter or Escape closed the window"
[ -z "$(xdotool search --name '^Dovrel$' 2>/dev/null)" ] || fail "Enter pressed a button (a message box is open)"
echo "ok: Enter and Escape press nothing"
# Alt+X exits (the window is gone before its key-up arrives: xdotool may complain).
xdotool key --window "$window" alt+x 2>/dev/null || true
for _ in $(seq 40); do kill -0 "$dovrel_pid" 2>/dev/null || break; sleep 0.25; done
kill -0 "$dovrel_pid" 2>/dev/null && fail "Alt+X did not end dovrel.exe"
wait "$dovrel_pid" || fail "dovrel.exe ended with $?"
dovrel_pid=""
echo "ok: Alt+X ends dovrel.exe"

echo "== the MSI package"
# From the build under test, not the default folder.
DOVREL_WINDOWS_BUILD="$build" "$top/scripts/package-windows.sh" "$work/msi" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
msi="$work/msi/dovrel-$version-x64.msi"
[ -f "$msi" ] || fail "no $msi"
rows() { msiinfo export "$msi" "$1" | tail -n +4 | cut -f1 | sort | paste -sd ' '; }   # TABLE: its keys
for table in File Component Directory Shortcut Feature Media; do
  msiinfo tables "$msi" | grep -qx "$table" || fail "the MSI has no $table table"
done
expect "the MSI's files" "README_windows.txt STCharacters.ocd2 STPhrases.ocd2 TWVariants.ocd2 dovrel.exe dovrelctl.exe s2tw.json" \
  "$(rows File | tr ' ' '\n' | LC_ALL=C sort | paste -sd ' ')"
expect "the MSI's shortcut" "SettingsWindowShortcut" "$(rows Shortcut)"
expect "registry values the MSI writes" "" "$(rows Registry)"
settings() { "$wine" reg query 'HKLM\Software\Wow6432Node\Tovix\HR' | tr -d '\r'; }
before=$(settings)
installed="$WINEPREFIX/drive_c/Program Files/Dovrel"
"$wine" msiexec /i "Z:$msi" /qn || fail "msiexec /i ended with $?"
for file in dovrel.exe dovrelctl.exe README-windows.txt opencc/s2tw.json opencc/STPhrases.ocd2; do
  [ -f "$installed/$file" ] || fail "not installed: $file"
done
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Dovrel.lnk' | head -1)
[ -n "$shortcut" ] || fail "no Start-menu shortcut"
echo "ok: installed under Program Files\\Dovrel with a Start-menu shortcut"
expect "the installed dovrelctl.exe" "dovrelctl $version" \
  "$("$wine" 'C:\Program Files\Dovrel\dovrelctl.exe' --version | tr -d '\r')"
expect "the settings after installing" "$before" "$(settings)"
"$wine" msiexec /x "Z:$msi" /qn || fail "msiexec /x ended with $?"
[ ! -e "$installed" ] || fail "left behind after removal: $(find "$installed")"
[ ! -e "$shortcut" ] || fail "the shortcut is left behind"
expect "the settings after removing" "$before" "$(settings)"

echo "test-windows: all passed (build $((built - started)) s, Wine run $((SECONDS - built)) s)"
