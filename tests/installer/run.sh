#!/usr/bin/env bash
# Checks the release packages that scripts/release.sh made: the portable zip's contents, and
# under Wine (a fresh prefix, a virtual display) a silent install, a silent upgrade over a
# running copy with the sign-in choice, and a silent uninstall while the program runs.
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

fatal() { echo "$*" >&2; echo "0 passed, 1 failed"; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
installer="$build/Tillerdock-$version-win64.exe"
zip="$build/Tillerdock-$version-win64.zip"
[ -f "$installer" ] && [ -f "$zip" ] || fatal "No packages in $build: run scripts/release.sh first."
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tillerdock'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\Brackenfold\Quaymaster'

work=$(mktemp -d "${TMPDIR:-/tmp}/tillerdock-installer.XXXXXX")
app_pid=
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
start_program() {  # and waits until its main window exists
    wine "$install_dir/tillerdock.exe" &
    app_pid=$!
    wine "$work/window_probe.exe" Tillerdock.frmConfig 20
}
within() {  # within SECONDS COMMAND...: polls the command until it succeeds, or the time is up
    local end=$((SECONDS + $1))
    until "${@:2}"; do [ $SECONDS -lt $end ] && sleep 0.2 || return 1; done
}
running() { [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; }
program_ended() { within 10 absent running && app_pid=; }  # the program started last

echo "== Portable zip"
cmake -E chdir "$work" cmake -E tar xf "$zip"
check "zip holds Tillerdock-$version/ with tillerdock.exe, Readme.txt and LICENSE" \
    same "$(cd "$work" && find "Tillerdock-$version" | sort | tr '\n' ' ')" \
    "Tillerdock-$version Tillerdock-$version/LICENSE Tillerdock-$version/Readme.txt Tillerdock-$version/tillerdock.exe "
released_exe="$work/Tillerdock-$version/tillerdock.exe"
check "released tillerdock.exe is stripped" \
    grep -qx 'no symbols' <(x86_64-w64-mingw32-objdump -t "$released_exe")

x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Werror -static -municode \
    -o "$work/window_probe.exe" "$here/window_probe.cpp" || fatal "window_probe did not build."

. "$root/scripts/wine-env.sh"
# No desktop entries on this machine for the Start-menu shortcut that the installer makes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
wine_prepare "$work/prefix" || fatal "No Wine prefix."
local_app_data=$(wine cmd /c echo '%LOCALAPPDATA%' | tr -d '\r')
app_data=$(wine cmd /c echo '%APPDATA%' | tr -d '\r')
install_dir_win="$local_app_data\\Programs\\Tillerdock"
install_dir=$(winepath -u "$install_dir_win")
shortcut=$(winepath -u "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Tillerdock.lnk")
exe_win="$install_dir_win\\tillerdock.exe"
uninstaller_win="$install_dir_win\\Uninstall.exe"

echo "== Silent install"
check "installer /S succeeds" timeout 120 wine "$installer" /S
check "installed tillerdock.exe, Readme.txt, LICENSE and Uninstall.exe" \
    same "$(cd "$install_dir" && ls -U tillerdock.exe Readme.txt LICENSE Uninstall.exe | tr '\n' ' ')" \
    "tillerdock.exe Readme.txt LICENSE Uninstall.exe "
check "installed tillerdock.exe is the released one" cmp -s "$install_dir/tillerdock.exe" "$released_exe"
check "Start-menu shortcut to tillerdock.exe" \
    grep -qiF "Programs\\Tillerdock\\tillerdock.exe" <(strings -a "$shortcut" 2>/dev/null)
entry() { for f in "$@"; do echo "$f=$(reg_value "$uninstall_key" "$f")"; done; }
check "uninstall entry" same "$(entry DisplayName DisplayVersion Publisher InstallLocation \
    DisplayIcon UninstallString QuietUninstallString NoModify NoRepair)" \
    "$(printf '%s\n' DisplayName=Tillerdock "DisplayVersion=$version" \
        "Publisher=The Tillerdock authors" "InstallLocation=$install_dir_win" \
        "DisplayIcon=$exe_win,0" "UninstallString=\"$uninstaller_win\"" \
        "QuietUninstallString=\"$uninstaller_win\" /S" NoModify=0x1 NoRepair=0x1)"
check "no sign-in entry when not chosen" absent reg_value "$run_key" Tillerdock

echo "== Silent upgrade over a running copy, choosing the sign-in entry"
# A byte more marks the old copy: the upgrade must replace it.
printf '\0' >>"$install_dir/tillerdock.exe"
check "the installed program starts: its main window appears" start_program
check "installer /S /SIGNIN=1 succeeds" timeout 120 wine "$installer" /S /SIGNIN=1
check "the running copy was closed" program_ended
check "tillerdock.exe was replaced" cmp -s "$install_dir/tillerdock.exe" "$released_exe"
check "sign-in entry written, path quoted" \
    same "$(reg_value "$run_key" Tillerdock)" "\"$exe_win\""
timeout 120 wine "$installer" /S
check "a silent upgrade without /SIGNIN keeps the sign-in entry" \
    same "$(reg_value "$run_key" Tillerdock)" "\"$exe_win\""

echo "== Silent uninstall while the program runs"
start_program || echo "     (the program did not start)"
# The uninstaller runs a copy of itself from the temporary folder and returns at once; that
# copy removes the uninstall entry last.
check "uninstaller /S starts" timeout 60 wine "$install_dir/Uninstall.exe" /S
check "uninstall finishes within 30 s" within 30 absent reg_key_exists "$uninstall_key"
check "the running copy was closed" program_ended
check "install folder removed" test ! -e "$install_dir"
check "Start-menu shortcut removed" test ! -e "$shortcut"
check "sign-in entry removed" absent reg_value "$run_key" Tillerdock
check "settings kept" reg_key_exists "$settings_key"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
