#!/usr/bin/env bash
# Installs what is missing, builds Tillerdock and photographs its windows under Wine on a virtual
# display, at 96 DPI, in a fresh prefix holding the preset settings (examples/preset-slots.reg:
# the same four slots every time), its window shown at start:
#   scripts/screenshots.sh [FOLDER]     (default: docs/images, the pictures the README shows)
# Saves main.png (the main window), tray-menu.png (the tray icon's pop-up menu with the programs'
# icons), group.png (Options > Group Launch) and about.png (Help > About), each cropped to its
# window, and prints their paths. Not run by the tests: run it when a window changes.
set -euo pipefail
. "$(dirname "$0")/system-path.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/images}
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
    wine reg add "HKCU\Control Panel\Desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
    wine reg import "$root/examples/preset-slots.reg" >/dev/null 2>&1
    wine reg add "HKCU\Software\Brackenfold\Quaymaster" /v Startup /d False /f >/dev/null
    shown() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n1; }
    visible() { xdotool search --onlyvisible --name "" | sort; }
    # shot NAME TITLE [XDOTOOL-COMMANDS...]: starts Tillerdock, runs the commands (key presses)
    # in its main window, and photographs the window of that title once it shows. Then ends
    # the program.
    shot() {
        wine "$root/build/win/tillerdock.exe" &
        local pid=$! main
        main=$(shown "^Tillerdock\$")
        sleep 1
        # Wine sees key presses only in the X window that has the keyboard focus.
        [ $# -gt 2 ] && xdotool windowfocus --sync "$main" "${@:3}"
        photograph "$1" "$(shown "^$2\$")"
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    }
    photograph() { sleep 1; import -window "$2" +repage "$out/$1.png"; }  # once painted
    shot main Tillerdock
    shot group "Group Launch" key alt+o sleep 0.5 key g
    shot about "About Tillerdock" key alt+h sleep 0.5 key a

    # The tray icon sits in the small window Wine shows for the notification area, below its
    # title. Its menu is the window that appears on a right click there, once the main window
    # is up. The icons of the programs are read while the menu is open: it is opened twice, so that
    # they show however quickly they come.
    wine "$root/build/win/tillerdock.exe" &
    pid=$!
    tray=$(shown "^Wine System Tray\$")
    shown "^Tillerdock\$" >/dev/null
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    before=$(visible)
    for opening in 1 2; do
        [ "$opening" = 2 ] && { xdotool key Escape; sleep 1; }
        xdotool mousemove --window "$tray" 10 $((HEIGHT - 12)) click 3
        sleep 2
    done
    photograph tray-menu "$(comm -13 <(echo "$before") <(visible) | head -n1)"
    xdotool key Escape
    kill "$pid"
    wineserver -k || true
' _ "$root" "$prefix" "$out"
for name in main tray-menu group about; do echo "$out/$name.png"; done
