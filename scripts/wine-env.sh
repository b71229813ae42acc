# Sourced by the other scripts: Wine settings for running the Windows program here.
#   wine_prepare PREFIX   makes a ready prefix (fresh when it does not exist yet)
#   wine_settle           keeps the Wine server running between programs (wine_prepare
#                         does it too)

export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or HTML engine: their installers would run at the first start of a prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_prepare() {
    export WINEPREFIX="$1"
    local fresh=0
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        fresh=1
        echo "Preparing a Wine prefix in $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        # A busy machine can make the first boot of a prefix fail: try once more.
        if ! wineboot -i >/dev/null 2>&1 || ! wineserver -w; then
            echo "wineboot failed; trying again" >&2
            wineserver -k >/dev/null 2>&1 || true
            wineboot -i >/dev/null 2>&1 || true
            wineserver -w || true
        fi
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            echo "Could not create a Wine prefix in $WINEPREFIX" >&2
            return 1
        fi
    fi
    wine_settle
    wine_settings
    if [ "$fresh" = 1 ]; then
        # The desktop process of a new prefix started before these settings: start afresh.
        # The settings are written once more, so that Wine's background processes start now,
        # with their output here, and not under the first test program (whose output they
        # would keep open).
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w || true
        wine_settle
        wine_settings
    fi
}

wine_settings() {
    # Without a window manager, Wine waits two seconds on every hide unless it manages the
    # windows itself; and a crash must never wait for someone to close a debugger dialog.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

wine_settle() {
    # Fails harmlessly when a server for the prefix is already running.
    wineserver -p 60 >/dev/null 2>&1 || true
}
