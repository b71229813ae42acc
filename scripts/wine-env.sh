# Sourced by the other scripts: Wine settings for running the Windows program here.
#   wine_prepare PREFIX   makes a ready prefix (fresh when it does not exist yet)
#   wine_settle           keeps the Wine server running between programs

export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or HTML engine: their installers would run at the first start of a prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_prepare() {
    export WINEPREFIX="$1"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
    # Without a window manager, Wine waits two seconds on every hide unless it manages the
    # windows itself; and a crash must never wait for someone to close a debugger dialog.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

wine_settle() {
    wineserver -p 60
}
