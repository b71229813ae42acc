#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the portable core's unit tests, natively;
#   2. the Windows program's tests under Wine on a virtual display: the platform services,
#      the native windows in process, and end to end against the real tillerdock.exe;
#   3. the release packages (scripts/release.sh): the zip's contents, and the installer's
#      install, upgrade and uninstall under Wine (tests/installer/run.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" all

echo "== Core tests (native)"
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)"

echo "== Windows tests (Wine)"
prefix=$(mktemp -d "${TMPDIR:-/tmp}/tillerdock-wine.XXXXXX")
trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
"$root/scripts/under-wine.sh" "$prefix" \
    ctest --test-dir "$root/build/win" --output-on-failure --timeout 120

echo "== Release packages (installer under Wine)"
"$root/scripts/release.sh"
"$root/tests/installer/run.sh" "$root/build/release"
