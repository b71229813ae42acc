#!/usr/bin/env bash
# Installs what is missing, builds the release tillerdock.exe (optimised for size, without
# tests) in build/release and packs it: the portable zip, the per-user installer and the
# Windows Installer package; then writes the release's winget manifests (build/release/winget).
#   scripts/release.sh
# Signed with a code-signing certificate when TILLERDOCK_SIGN_PFX names one (with
# TILLERDOCK_SIGN_PASSWORD and TILLERDOCK_TIMESTAMP_URL, scripts/sign.sh): tillerdock.exe, the
# custom action, the installer, its uninstaller and the Windows Installer package, each before
# it is packed, so that the files inside the packages are signed too. TILLERDOCK_DOWNLOAD_URL is
# the folder the packages are published in, for the manifests (default
# https://tillerdock.example/download/VERSION).
# Prints the paths of the three packages and of the manifests, and whether they are signed.
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DTILLERDOCK_TESTS=OFF \
    -DTILLERDOCK_WARNINGS_AS_ERRORS="${TILLERDOCK_WARNINGS_AS_ERRORS:-ON}" >/dev/null
# Linked anew every time, so that an earlier release's signature is never carried over.
rm -f "$build/tillerdock.exe" "$build/close_running.dll"
cmake --build "$build" -j "$(nproc)"
sign() { if [ -n "${TILLERDOCK_SIGN_PFX:-}" ]; then "$root/scripts/sign.sh" "$@"; fi; }
sign "$build/tillerdock.exe" "$build/close_running.dll"

value() { sed -n "s/^set($1 \"\(.*\)\")$/\1/p" "$build/CPackConfig.cmake"; }
version=$(value CPACK_PACKAGE_VERSION)
zip="$build/Tillerdock-$version-win64.zip"
installer="$build/Tillerdock-$version-win64.exe"
msi="$build/Tillerdock-$version-win64.msi"
rm -f "$zip" "$installer" "$msi"
# makensis signs the installer and its uninstaller itself (packaging/NSIS.template.in).
if ! (cd "$build" &&
    cpack -C MinSizeRel ${TILLERDOCK_SIGN_PFX:+-D "CPACK_TILLERDOCK_SIGN=$root/scripts/sign.sh"} \
        >/dev/null); then
    log="$build/_CPack_Packages/win64/NSIS/NSISOutput.log"
    [ -f "$log" ] && tail -n 30 "$log" >&2
    exit 1
fi
cmake --build "$build" --target msi_package >/dev/null
sign "$msi"

# The winget manifests: version, installers and default locale, in manifest schema 1.10.0,
# filled from the project's settings and the packages just made.
winget="$build/winget" id=Tillerdock.Tillerdock schema=1.10.0
url=${TILLERDOCK_DOWNLOAD_URL:-https://tillerdock.example/download/$version}
property() { msiinfo export "$msi" Property | tr -d '\r' | sed -n "s/^$1\t//p"; }
sha256() { sha256sum "$1" | cut -d ' ' -f 1 | tr a-f A-F; }
manifest() {  # manifest TYPE FILE: writes the lines read after the common ones
    { printf '# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json\n' \
        "$1" "$schema"
      printf '\nPackageIdentifier: %s\nPackageVersion: %s\n' "$id" "$version"
      cat
      printf 'ManifestType: %s\nManifestVersion: %s\n' "$1" "$schema"; } >"$winget/$2"
}
rm -rf "$winget" && mkdir "$winget"
manifest version "$id.yaml" <<<"DefaultLocale: en-US"
manifest installer "$id.installer.yaml" <<EOF
MinimumOSVersion: 10.0.0.0
UpgradeBehavior: install
Installers:
  - Architecture: x64
    InstallerType: msi
    Scope: machine
    InstallerUrl: $url/${msi##*/}
    InstallerSha256: $(sha256 "$msi")
    InstallerSwitches:
      Silent: /quiet /norestart
      SilentWithProgress: /passive /norestart
      InstallLocation: INSTALLDIR="<INSTALLPATH>"
    ProductCode: '$(property ProductCode)'
    AppsAndFeaturesEntries:
      - UpgradeCode: '$(property UpgradeCode)'
  - Architecture: x64
    InstallerType: nullsoft
    Scope: user
    InstallerUrl: $url/${installer##*/}
    InstallerSha256: $(sha256 "$installer")
    InstallerSwitches:
      Silent: /S
      SilentWithProgress: /S
      InstallLocation: /D=<INSTALLPATH>
    ProductCode: Tillerdock
EOF
manifest defaultLocale "$id.locale.en-US.yaml" <<EOF
PackageLocale: en-US
Publisher: $(value CPACK_PACKAGE_VENDOR)
PublisherUrl: $(value CPACK_PACKAGE_HOMEPAGE_URL)
PackageName: Tillerdock
PackageUrl: $(value CPACK_PACKAGE_HOMEPAGE_URL)
License: $(sed -n '1s/ License$//p' "$root/LICENSE")
ShortDescription: $(value CPACK_PACKAGE_DESCRIPTION_SUMMARY)
Moniker: tillerdock
Tags:
  - launcher
  - tray
EOF

echo "Portable zip:              $zip"
echo "Installer:                 $installer"
echo "Windows Installer package: $msi"
echo "winget manifests:          $winget"
if [ -n "${TILLERDOCK_SIGN_PFX:-}" ]; then
    echo "Signed with the certificate in $TILLERDOCK_SIGN_PFX."
else
    echo "Not signed: TILLERDOCK_SIGN_PFX names no certificate."
fi
