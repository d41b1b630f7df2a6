#!/usr/bin/env bash
# Tests the Windows build under Wine against the Linux stand-in server on
# loopback: the cross-built test programs (those of the Windows seams also
# under a Simplified and a Traditional Chinese locale), then dovrelctl.exe
# end to end: set (into the registry's 32-bit view), show, check,
# databases, import, and the cipher against the Linux build's.
# Usage: scripts/test-windows.sh [build-folder]   (default: build-windows)
# Builds first (scripts/build-windows.sh); the stand-in comes from the Linux
# build folder DOVREL_LINUX_BUILD (default: build), built when missing. One
# throw-away Wine prefix serves the whole run and is removed at the end.
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
# No Mono or Gecko: console programs need neither, and their installers
# would be offered on first start.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 TDSVER=7.4
unset LC_ALL LC_CTYPE DISPLAY
standin_pid=""
cleanup() {
  [ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null && wait "$standin_pid" 2>/dev/null
  "$wineserver" -k 2>/dev/null || true   # the server of this run's prefix only
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

echo "== Wine prefix"
"$wine" wineboot -i >/dev/null 2>&1

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

echo "== test programs (Western locale)"
western ctest --test-dir "$build" -j2 --timeout 300 --output-on-failure
echo "== Windows seams under a Simplified Chinese locale"
simplified ctest --test-dir "$build" -L windows -j2 --timeout 300 --output-on-failure
echo "== Windows seams under a Traditional Chinese locale"
traditional ctest --test-dir "$build" -L windows -j2 --timeout 300 --output-on-failure

echo "== dovrelctl.exe against the stand-in"
ctl() { "$wine" "$build/dovrelctl.exe" "$@"; }
linuxctl936() { env LC_ALL=zh_CN.UTF-8 "$linux/src/app/dovrelctl" "$@"; }   # code pages by the name alone
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

echo "test-windows: all passed (build $((built - started)) s, Wine run $((SECONDS - built)) s)"
