#!/usr/bin/env bash
# Installs what is missing, builds the release tillerdock.exe (optimised for size, without
# tests) in build/release and packs it: the portable zip, the per-user installer and the
# per-machine Windows Installer package.
#   scripts/release.sh
# Prints the paths of the three packages.
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DTILLERDOCK_TESTS=OFF \
    -DTILLERDOCK_WARNINGS_AS_ERRORS="${TILLERDOCK_WARNINGS_AS_ERRORS:-ON}" >/dev/null
cmake --build "$build" -j "$(nproc)"

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
zip="$build/Tillerdock-$version-win64.zip"
installer="$build/Tillerdock-$version-win64.exe"
msi="$build/Tillerdock-$version-win64.msi"
rm -f "$zip" "$installer" "$msi"
if ! (cd "$build" && cpack -C MinSizeRel >/dev/null); then
    log="$build/_CPack_Packages/win64/NSIS/NSISOutput.log"
    [ -f "$log" ] && tail -n 30 "$log" >&2
    exit 1
fi
cmake --build "$build" --target msi_package >/dev/null
echo "Portable zip:              $zip"
echo "Installer:                 $installer"
echo "Windows Installer package: $msi"
