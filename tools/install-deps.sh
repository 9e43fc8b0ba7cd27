#!/usr/bin/env bash
# Installs the Debian packages Quillon needs to build, run and test.
# Only missing packages are installed, so a second run does nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-svg-dev libqt6svg6
  libsqlite3-dev sqlite3 libzip-dev libgif-dev libimagequant-dev
  googletest libgtest-dev libbenchmark-dev
  fonts-liberation2 breeze-icon-theme xvfb xauth dbus
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "All build and test packages are present."
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
