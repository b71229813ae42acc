#!/usr/bin/env bash
# Installs what building, running and testing Tillerdock needs on Debian 12 or Ubuntu:
# CMake, the mingw-w64 cross compiler, Wine, a virtual X display, GoogleTest's sources,
# ImageMagick (screenshots), Python 3 (the icon is drawn in text and turned into an .ico) and
# NSIS (the installer).
# Installs only what is missing; needs root.
set -euo pipefail

packages=(cmake make g++ g++-mingw-w64-x86-64-posix wine64 xvfb xauth imagemagick googletest
          python3 nsis)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}. Run this script as root to install them." >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
