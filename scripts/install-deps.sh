#!/usr/bin/env bash
# Installs what building, running and testing Tillerdock needs on Debian 12 (or Ubuntu), as
# Debian packages, installing only what is missing; needs root for that.
#   scripts/install-deps.sh          install what is missing
#   scripts/install-deps.sh --list   print the packages, one a line
# Every program and file the scripts use comes from one of these packages:
# scripts/check-deps.py holds the scripts to this list.
set -euo pipefail
. "$(dirname "$0")/system-path.sh"

packages=(
    # Building: CMake and make, the native compiler (the core's unit tests), the mingw-w64
    # cross compilers and their binutils (the Windows program), clang and lld (a second
    # compiler for the Windows program), GoogleTest's sources, Python 3 (the icon is drawn as
    # text and turned into an .ico).
    cmake make g++ g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    binutils-mingw-w64-x86-64 clang lld googletest python3-minimal
    # Running and testing: Wine (`wine64` holds the 64-bit loader, `wine` the commands on
    # the PATH), a virtual X display, ImageMagick (screenshots). The layout tests are written
    # for Liberation Sans, the face Wine substitutes for the windows' fonts when it is
    # installed; DejaVu Sans, the wide face a bare machine has, is tested as well. xdotool
    # presses real keys on the virtual display, for the global shortcut's test.
    wine wine64 xvfb xauth imagemagick-6.q16 fonts-liberation fonts-dejavu-core xdotool
    # Packaging: NSIS for the installer, wixl for the Windows Installer package, msitools to
    # correct what wixl writes wrongly in it and to read it in the installer test; binutils'
    # strings for the installer test.
    nsis wixl msitools binutils
    # Signing: osslsigncode signs a release with Authenticode and verifies the signatures in the
    # installer test, whose throwaway certificate openssl makes; yamllint checks the release's
    # winget manifests there.
    osslsigncode openssl yamllint
    # xmllint checks that the administrative templates for Group Policy are well-formed XML.
    libxml2-utils
    # Commands the scripts call that every Debian system has; named so that the check can
    # hold every command to this list.
    apt bash coreutils dpkg findutils grep sed diffutils util-linux
)

if [ "${1:-}" = --list ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

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
