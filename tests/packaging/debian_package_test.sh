#!/usr/bin/env bash
# The Debian packages of a build: their files, the programs run from an
# unpacked package against a sandbox store, the man pages rendered, and
# lintian's verdict. Exits 77 (skipped) where dpkg-deb is missing.
# Usage: debian_package_test.sh BUILD_DIR
set -euo pipefail
build=$1
command -v dpkg-deb >/dev/null || { echo "dpkg-deb is missing: skipped"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/dovrel-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
main="$work/out/dovrel_${version}_amd64.deb"
standin="$work/out/dovrel-standin_${version}_amd64.deb"
[ -f "$main" ] && [ -f "$standin" ] || fail "the two packages are not there: $(ls "$work/out")"

files=$(dpkg-deb -c "$main" | awk '{print $6}')
for expected in ./usr/bin/dovrel ./usr/bin/dovrelctl ./usr/share/man/man1/dovrel.1.gz \
    ./usr/share/man/man1/dovrelctl.1.gz ./usr/share/applications/dovrel.desktop \
    ./usr/share/icons/hicolor/48x48/apps/dovrel.png ./usr/share/icons/hicolor/scalable/apps/dovrel.svg \
    ./usr/share/doc/dovrel/copyright; do
  grep -qx "$expected" <<<"$files" || fail "dovrel lacks $expected"
done
grep -q '/etc/' <<<"$files" && fail "the package must not carry the settings store"
dpkg-deb -c "$standin" | awk '{print $6}' | grep -qx ./usr/bin/dovrel-standin || fail "dovrel-standin lacks its program"
dpkg-deb -f "$main" Depends | grep -q tdsodbc || fail "dovrel does not depend on the ODBC driver"

root="$work/root"
dpkg-deb -x "$main" "$root"
[ "$("$root/usr/bin/dovrelctl" --version)" = "dovrelctl $version" ] || fail "dovrelctl --version"
shown=$(DOVREL_REGISTRY="$work/registry" "$root/usr/bin/dovrelctl" show) || fail "dovrelctl show"
grep -qx "DatabaseName: TovixHR" <<<"$shown" || fail "dovrelctl show printed: $shown"

for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "SEE ALSO" || fail "$(basename "$page") renders empty"
done

if command -v lintian >/dev/null; then
  verdict=$(lintian --allow-root "$main" "$standin" 2>&1 || true)
  grep -q '^E: ' <<<"$verdict" && fail "lintian: $verdict"
fi
echo "packages and their contents are sound"
