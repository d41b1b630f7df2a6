#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Dovrel need,
# and generates the locales the tests run under. Idempotent: packages already
# present are left as they are, apt is only consulted when something is
# missing, and a locale already generated is not generated again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache git
  libgtest-dev libgmock-dev googletest
  qt6-base-dev qt6-base-dev-tools libqt6test6 libgl-dev
  libopencc-dev opencc
  unixodbc unixodbc-dev tdsodbc freetds-bin
  libcli11-dev nlohmann-json3-dev
  libsqlite3-dev
  xvfb xauth fonts-wqy-microhei openbox x11-utils xdotool libx11-dev libxcb1-dev
  iproute2 locales dpkg-dev lintian man-db
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  rapidjson-dev
  wine64
  msitools wixl
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
else
  export DEBIAN_FRONTEND=noninteractive
  echo "install-deps: installing ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A GBK locale for the command line's encodings; the Chinese UTF-8 locales
# for the windows program under Wine.
for entry in "zh_CN.GBK zh_CN GBK zh_cn.gbk" "zh_CN.UTF-8 zh_CN UTF-8 zh_cn.utf8" "zh_TW.UTF-8 zh_TW UTF-8 zh_tw.utf8"; do
  read -r name source charset listed <<<"$entry"
  if ! locale -a 2>/dev/null | tr 'A-Z' 'a-z' | grep -qx "$listed"; then
    echo "install-deps: generating the locale $name"
    $SUDO localedef -i "$source" -f "$charset" "$name"
  fi
done
