#!/usr/bin/env bash
# Installs what building, running and testing Kestrabel 3 needs on Debian 12.
# Does nothing when everything is already there.
set -euo pipefail
packages=(
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-serialport-dev libqscintilla2-qt6-dev
  libopenscenegraph-dev libpolyclipping-dev libexpat1-dev libagg-dev libfreetype-dev
  libfontconfig-dev libjpeg-dev libgtest-dev libbenchmark-dev cmake ninja-build g++ pkg-config
  fonts-dejavu-core hershey-fonts-data openscad-testing-data potrace xvfb xauth libgl1-mesa-dri
  socat locales clang libclang-rt-14-dev libdxflib-dev poppler-utils qt6-svg-dev breeze-icon-theme lld
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# A decimal-comma locale for the tests that check locale independence.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
# Node.js and npm replay the golden G-code programs in a test (the npm
# package comes at test time); installed only when npm is missing.
if ! command -v npm >/dev/null 2>&1; then
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends nodejs npm
fi
