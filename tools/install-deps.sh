#!/usr/bin/env bash
# Installs what building and testing Sendora needs on Debian 12 (as root).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-webengine-dev qt6-tools-dev qt6-l10n-tools
  qt6-translations-l10n libgl-dev
  libx11-dev libxtst-dev
  libcpp-httplib-dev libgtest-dev
  fonts-noto-cjk xvfb xauth dbus clang-format
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
