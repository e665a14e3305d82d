#!/usr/bin/env bash
# Installs the packages the build, the program and the tests need, and only
# those that are missing, so a second run costs nothing.
set -euo pipefail

PKGS=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev
  libgl-dev libxkbcommon-dev libxcb1-dev
  libsqlite3-dev sqlite3 libjpeg-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-arphic-uming fonts-arphic-ukai fonts-wqy-zenhei fonts-dejavu-core
  xvfb xauth zbar-tools poppler-utils
  xdotool x11-utils imagemagick python3
  qt6-translations-l10n
  libcups2-dev
  libfreexl-dev libshp-dev libxml2-dev libzip-dev libxlsxwriter-dev python3-openpyxl
  rime-data-wubi rime-data-stroke rime-data-luna-pinyin
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
