#!/usr/bin/env bash
# Checks the release packages that scripts/release.sh made: the zip's contents, then under Wine
# (a fresh prefix, a virtual display) the installer's and the Windows Installer package's silent
# installs, upgrades with the sign-in choice and uninstalls, the installer's over a running copy
# that has the preset settings (docs/preset-settings.reg), and the package's refused downgrade.
#   tests/installer/run.sh [BUILD_FOLDER]     (default: build/release)
# Prints a line per check and ends with "N passed, M failed"; exits 1 when a check failed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/scripts/system-path.sh"
build=$(cd "${1:-$root/build/release}" && pwd)

# Everything from here on needs a display of its own.
if [ -z "${TILLERDOCK_INSTALLER_TEST_XVFB:-}" ]; then
    TILLERDOCK_INSTALLER_TEST_XVFB=1 exec xvfb-run -a \
        -s "-screen 0 1280x800x24 -nolisten tcp -noreset" "$0" "$build"
fi

fatal() { echo "$*" >&2; echo "${passed:-0} passed, $((${failed:-0} + 1)) failed"; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
installer="$build/Tillerdock-$version-win64.exe" zip="$build/Tillerdock-$version-win64.zip"
msi="$build/Tillerdock-$version-win64.msi"
ls "$installer" "$zip" "$msi" >/dev/null || fatal "Packages missing: run scripts/release.sh first."
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tillerdock'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\Brackenfold\Quaymaster'

work=$(mktemp -d "${TMPDIR:-/tmp}/tillerdock-installer.XXXXXX") app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok   $1"; ((++passed)); else echo "FAIL $1"; ((++failed)); fi
}
same() {  # same ACTUAL EXPECTED
    [ "$1" = "$2" ] || { printf '     got:      [%s]\n     expected: [%s]\n' "$1" "$2"; return 1; }
}
reg_value() {  # reg_value KEY NAME: the value's data; fails when the value is not there
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 \{4\}REG_[A-Z_]* \{4\}//p" | grep -m1 ''
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }
absent() { ! "$@" >/dev/null; }
start_program() {  # and waits until its main window exists, shown or hidden
    wine "$install_dir/tillerdock.exe" &
    app_pid=$!
    within 20 xdotool search --name '^Tillerdock$' >/dev/null
}
within() {  # within SECONDS COMMAND...: polls the command until it succeeds, or the time is up
    local end=$((SECONDS + $1))
    until "${@:2}"; do [ $SECONDS -lt $end ] && sleep 0.2 || return 1; done
}
running() { [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; }
program_ended() { within 10 absent running && app_pid=; }  # the program started last
installed() {  # installed DIR RUN_KEY EXE: the files ("ok": the program is EXE), the sign-in
    # value, the settings, the user's Start-menu shortcuts (Wine puts the package's for all there)
    echo $(LC_ALL=C ls "$1" 2>/dev/null) $(cmp -s "$1/tillerdock.exe" "$3" && echo ok)
    echo "sign-in $(reg_value "$2" Tillerdock), settings $(reg_key_exists "$settings_key" && echo kept)"
    strings -a "$shortcut" 2>/dev/null | grep -ciF 'Tillerdock\tillerdock.exe'
}
expect() { printf '%s\nsign-in %s, settings %s\n%s' "$@"; }  # FILES SIGN-IN SETTINGS SHORTCUTS

echo "== Portable zip"
cmake -E chdir "$work" cmake -E tar xf "$zip"
check "zip holds Tillerdock-$version/ with tillerdock.exe, Readme.txt and LICENSE" \
    same "$(cd "$work" && find "Tillerdock-$version" | sort | tr '\n' ' ')" \
    "Tillerdock-$version Tillerdock-$version/LICENSE Tillerdock-$version/Readme.txt Tillerdock-$version/tillerdock.exe "
released_exe="$work/Tillerdock-$version/tillerdock.exe"
check "released tillerdock.exe is stripped" \
    grep -qx 'no symbols' <(x86_64-w64-mingw32-objdump -t "$released_exe")

. "$root/scripts/wine-env.sh"
# No desktop entries on this machine for the Start-menu shortcut that the installer makes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
wine_prepare "$work/prefix" || fatal "No Wine prefix."
app_data=$(wine cmd /c echo '%APPDATA%' | tr -d '\r')
install_dir_win="$(wine cmd /c echo '%LOCALAPPDATA%' | tr -d '\r')\\Programs\\Tillerdock"
install_dir=$(winepath -u "$install_dir_win")
shortcut=$(winepath -u "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Tillerdock.lnk")
exe_win="$install_dir_win\\tillerdock.exe" uninstaller_win="$install_dir_win\\Uninstall.exe"
files='LICENSE Readme.txt Uninstall.exe tillerdock.exe ok'

echo "== Silent install"
check "installer /S succeeds" timeout 120 wine "$installer" /S
check "the released program, Readme.txt, LICENSE, Uninstall.exe, a shortcut, no sign-in value" \
    same "$(installed "$install_dir" "$run_key" "$released_exe")" "$(expect "$files" "" "" 1)"
entry() { for f in "$@"; do echo "$f=$(reg_value "$uninstall_key" "$f")"; done; }
check "uninstall entry" same "$(entry DisplayName DisplayVersion Publisher InstallLocation \
    DisplayIcon UninstallString QuietUninstallString NoModify NoRepair)" \
    "$(printf '%s\n' DisplayName=Tillerdock "DisplayVersion=$version" \
        "Publisher=The Tillerdock authors" "InstallLocation=$install_dir_win" \
        "DisplayIcon=$exe_win,0" "UninstallString=\"$uninstaller_win\"" \
        "QuietUninstallString=\"$uninstaller_win\" /S" NoModify=0x1 NoRepair=0x1)"

echo "== Silent upgrade over a running copy, choosing the sign-in entry"
# A byte more marks the old copy: the upgrade must replace it.
printf '\0' >>"$install_dir/tillerdock.exe"
check "the installed program starts: its main window appears" start_program
check "installer /S /SIGNIN=1 succeeds" timeout 120 wine "$installer" /S /SIGNIN=1
check "the running copy was closed" program_ended
check "tillerdock.exe replaced, sign-in entry written with the path quoted" same \
    "$(installed "$install_dir" "$run_key" "$released_exe")" "$(expect "$files" "\"$exe_win\"" kept 1)"
timeout 120 wine "$installer" /S
check "a silent upgrade without /SIGNIN keeps the sign-in entry" \
    same "$(reg_value "$run_key" Tillerdock)" "\"$exe_win\""

echo "== Silent uninstall while the program runs with the preset settings"
wine reg delete "$settings_key" /f >/dev/null 2>&1  # the preset alone, imported now
preset=$(wine reg import "$root/docs/preset-settings.reg" && wine reg query "$settings_key" | sort)
start_program || echo "     (the program did not start)"
# The uninstaller runs a copy of itself from the temporary folder and returns at once; that
# copy removes the uninstall entry last.
check "uninstaller /S starts" timeout 60 wine "$install_dir/Uninstall.exe" /S
check "uninstall finishes within 30 s" within 30 absent reg_key_exists "$uninstall_key"
check "the running copy was closed" program_ended
check "install folder, shortcut and sign-in entry removed, settings kept" \
    same "$(installed "$install_dir" "$run_key" "")" "$(expect "" "" kept 0)"
check "the program read every preset value, and saved it back unchanged" \
    same "$(wine reg query "$settings_key" | sort)" "$preset"

echo "== Windows Installer package: install, two upgrades, a refused downgrade, uninstall"
for v in 1 2; do  # the two versions after this one, from the same source, the program marked
    cp -r "$build/msi" "$work/$v" && printf '\0' >>"$work/$v/tillerdock.exe" && (cd "$work/$v" &&
        wixl -a x64 -D Version="$version.$v" -D ProductCode="$(cat /proc/sys/kernel/random/uuid)" \
        -o next.msi "$root/packaging/tillerdock.wxs") || fatal "Version $version.$v did not build."; done
machine='HKLM\Software\Microsoft\Windows\CurrentVersion' dir='C:\Program Files\Tillerdock'
msi() {  # msi ARGS...: msiexec, then the installed versions (no other entries here), `installed`
    timeout 120 wine msiexec "$@" || echo "msiexec failed: $?"
    echo $(wine reg query "$machine\Uninstall" /s | tr -d '\r' | sed -n 's/^ *DisplayVersion *REG_SZ *//p')
    installed "$(winepath -u "$dir")" "$machine\Run" "${2%/*}/tillerdock.exe"
}
msi_expect() {  # msi_expect VERSION [on]: what `msi` prints with a package installed in $dir
    echo "$1"; expect 'LICENSE Readme.txt tillerdock.exe ok' "${2:+\"$dir\\tillerdock.exe\"}" kept 1; }
check "msiexec /i /qn: the released program, its entry, a shortcut, no sign-in value" \
    same "$(msi /i "$msi" /qn)" "$(msi_expect "$version")"
dir='C:\Tools\Tillerdock'  # where the next version goes, and the one after it stays
check "the next version with SIGNIN=1 and INSTALLDIR replaces the program, entry, sign-in value" \
    same "$(msi /i "$work/1/next.msi" /qn SIGNIN=1 INSTALLDIR="$dir")" "$(msi_expect "$version.1" on)"
check "an older version refuses (1603); the one after, without SIGNIN, keeps folder and sign-in" \
    same "$(timeout 120 wine msiexec /i "$msi" /qn; echo "older: $?"; msi /i "$work/2/next.msi" /qn)" \
    "$(echo "older: $((1603 % 256))"; msi_expect "$version.2" on)"
check "msiexec /x /qn removes program, entry, sign-in value and shortcut, keeps the settings" \
    same "$(msi /x "$work/2/next.msi" /qn)" "$(echo; expect "" "" kept 0)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
