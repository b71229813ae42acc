#!/usr/bin/env bash
# Installs what is missing, builds Tillerdock and runs it under Wine. Without a display
# ($DISPLAY unset) it runs on a virtual one, saves a screenshot of the main window and ends.
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win
. "$root/scripts/wine-env.sh"
exe="$root/build/win/tillerdock.exe"

if [ -n "${DISPLAY:-}" ]; then
    wine_prepare "${TILLERDOCK_WINEPREFIX:-$root/build/wineprefix}"
    exec wine "$exe"
fi

shot="$root/build/tillerdock-screenshot.png"
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp -noreset" bash -c '
    set -e
    . "$1/scripts/wine-env.sh"
    wine_prepare "${TILLERDOCK_WINEPREFIX:-$1/build/wineprefix}"
    wine "$2" &
    # Give the window time to come up, then photograph the screen.
    sleep 4
    import -window root "$3"
    wineserver -k || true
' _ "$root" "$exe" "$shot"
echo "Tillerdock ran on a virtual display; screenshot of its main window: $shot"
