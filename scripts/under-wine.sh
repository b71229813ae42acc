#!/usr/bin/env bash
# Runs a command on a virtual display with a prepared Wine prefix, then stops the prefix's
# Wine server; exits with the command's status.
#   scripts/under-wine.sh PREFIX COMMAND [ARGS...]
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp -noreset" bash -c '
    set -e
    . "$1/scripts/wine-env.sh"
    wine_prepare "$2"
    shift 2
    status=0
    "$@" || status=$?
    wineserver -k || true
    wineserver -w || true
    exit $status
' _ "$root" "$@"
