#!/usr/bin/env bash
# Installs what is missing, checks that everything the scripts use comes from a package
# scripts/install-deps.sh names, builds everything and runs every test:
#   1. the portable core's unit tests, natively;
#   2. the Windows program's tests under Wine on a virtual display, in a fresh Wine prefix:
#      the platform services, the native windows in process, and end to end against the real
#      tillerdock.exe (built with mingw-w64's GCC; clang builds it too, warnings as errors);
#   3. the layout again, in another fresh prefix that sees only the DejaVu fonts: the wide
#      face a machine without Liberation Sans substitutes for the windows' fonts;
#   4. the release, signed with a throwaway certificate (tests/installer/run.sh, which makes it
#      with scripts/release.sh): the signatures, the zip's contents, the winget manifests, the
#      Windows Installer package's tables, and under Wine the installer's and the package's
#      install, upgrades and uninstall.
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/check-deps.py"
"$root/scripts/build.sh" all

echo "== Core tests (native)"
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tillerdock-test.XXXXXX")
cleanup() {
    for prefix in "$scratch"/prefix-*; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT

echo "== Windows tests (Wine)"
"$root/scripts/under-wine.sh" "$scratch/prefix-liberation" \
    ctest --test-dir "$root/build/win" --output-on-failure --timeout 120

echo "== Layout with DejaVu fonts only (Wine)"
# Only the files of fonts-dejavu-core, whatever else the machine has installed; Wine reads the
# font list when it makes a prefix, so the prefix is a new one.
mkdir "$scratch/fonts"
dpkg -L fonts-dejavu-core | grep '\.ttf$' | while read -r font; do ln -s "$font" "$scratch/fonts/"; done
cat >"$scratch/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>$scratch/fonts</dir>
  <cachedir>$scratch/font-cache</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
</fontconfig>
CONF
FONTCONFIG_FILE="$scratch/fonts.conf" "$root/scripts/under-wine.sh" "$scratch/prefix-dejavu" \
    ctest --test-dir "$root/build/win" --output-on-failure --timeout 120 -R '^LayoutE2E\.'

echo "== Release packages (installer under Wine)"
"$root/tests/installer/run.sh"
