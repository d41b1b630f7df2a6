#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Dovrel need.
# Idempotent: packages already present are left as they are, and apt is only
# consulted when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache git
  libgtest-dev libgmock-dev googletest
  qt6-base-dev qt6-base-dev-tools libqt6test6 libgl-dev
  libopencc-dev opencc
  unixodbc unixodbc-dev tdsodbc freetds-bin
  libcli11-dev
  libsqlite3-dev
  xvfb xauth fonts-wqy-microhei
  iproute2
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  rapidjson-dev
  wine64 locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
