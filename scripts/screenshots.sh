#!/usr/bin/env bash
# Installs what is missing, builds Tillerdock and photographs its windows under Wine on a virtual
# display, in a fresh prefix holding the preset settings (docs/preset-settings.reg), its window
# shown at start:
#   scripts/screenshots.sh [--dpi N] [FOLDER]     (default: 96 DPI, into build/screenshots)
# Saves main.png (the main window), launch-menu.png (the same with its Launch menu open),
# group.png (Options > Group Launch) and about.png (Help > About), and prints their paths.
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
dpi=96
if [ "${1:-}" = --dpi ]; then dpi=$2; shift 2; fi
out=${1:-$root/build/screenshots}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win
mkdir -p "$out"
out=$(cd "$out" && pwd)
prefix=$(mktemp -d "${TMPDIR:-/tmp}/tillerdock-screenshots.XXXXXX")
trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1; rm -rf "$prefix"' EXIT

xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp -noreset" bash -c '
    set -euo pipefail
    root=$1 out=$3
    . "$root/scripts/wine-env.sh"
    wine_prepare "$2" >/dev/null
    wine reg add "HKCU\Control Panel\Desktop" /v LogPixels /t REG_DWORD /d "$4" /f >/dev/null
    wine reg import "$root/docs/preset-settings.reg" >/dev/null 2>&1
    wine reg add "HKCU\Software\Brackenfold\Quaymaster" /v Startup /d False /f >/dev/null
    # shot NAME TITLE [XDOTOOL-COMMANDS...]: starts Tillerdock, runs the commands (key presses)
    # in its main window, and photographs the window of that title once it shows: its area of
    # the screen, so that an open menu over it is in the picture. Then ends the program.
    shot() {
        wine "$root/build/win/tillerdock.exe" &
        local pid=$! main window
        main=$(timeout 30 xdotool search --sync --onlyvisible --name "^Tillerdock\$" | head -n1)
        sleep 1
        # Wine sees key presses only in the X window that has the keyboard focus.
        [ $# -gt 2 ] && xdotool windowfocus --sync "$main" "${@:3}"
        window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$2\$" | head -n1)
        sleep 1  # painted
        import -screen -window "$window" +repage "$out/$1.png"
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    }
    shot main Tillerdock
    # The menu opens twice: under Wine the icons of the programs, asked for as it first opens, show
    # from the next opening on.
    shot launch-menu Tillerdock key alt+l sleep 1 key Escape Escape sleep 1 key alt+l
    shot group "Group Launch" key alt+o sleep 0.5 key g
    shot about "About Tillerdock" key alt+h sleep 0.5 key a
    wineserver -k || true
' _ "$root" "$prefix" "$out" "$dpi"
for name in main launch-menu group about; do echo "$out/$name.png"; done
