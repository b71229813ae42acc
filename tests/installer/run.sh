#!/usr/bin/env bash
# Makes the release (scripts/release.sh) signed with a throwaway certificate, and checks it: the
# signatures, the zip's contents, the winget manifests, the Windows Installer package's tables,
# then under Wine (a fresh prefix, a virtual display) the installer's and the package's silent
# installs, upgrades over a running copy, refused downgrade, repair and uninstalls, side by side,
# with the preset settings (examples/preset-slots.reg) imported under a running copy each time.
#   tests/installer/run.sh
# Prints a line per check and ends with "N passed, M failed"; exits 1 when a check failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd) build="$root/build/release"
. "$root/scripts/system-path.sh"
# Everything from here on needs a display of its own.
[ -n "${TILLERDOCK_INSTALLER_TEST_XVFB:-}" ] || TILLERDOCK_INSTALLER_TEST_XVFB=1 exec xvfb-run -a \
    -s "-screen 0 1280x800x24 -nolisten tcp -noreset" "$0"

fatal() { echo "$*" >&2; echo "${passed:-0} passed, $((${failed:-0} + 1)) failed"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tillerdock-installer.XXXXXX") app_pid=
cleanup() { [ -n "$app_pid" ] && kill "$app_pid"; WINEPREFIX="$work/prefix" wineserver -k; }
trap 'cleanup &>/dev/null; rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=Tillerdock -days 2 -keyout "$work/key" \
    -addext extendedKeyUsage=codeSigning -out "$work/cert" 2>&- && openssl pkcs12 -export \
    -inkey "$work/key" -in "$work/cert" -passout pass:test -out "$work/pfx" || fatal "No key."
TILLERDOCK_SIGN_PFX="$work/pfx" TILLERDOCK_SIGN_PASSWORD=test "$root/scripts/release.sh" |
    grep -x "Signed with the certificate in $work/pfx." || fatal "No signed release."
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
installer="$build/Tillerdock-$version-win64.exe" zip="$build/Tillerdock-$version-win64.zip"
msi="$build/Tillerdock-$version-win64.msi"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tillerdock'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\Brackenfold\Quaymaster'

passed=0 failed=0
# check DESCRIPTION COMMAND...
check() { if "${@:2}"; then echo "ok   $1"; ((++passed)); else echo "FAIL $1"; ((++failed)); fi; }
same() {  # same ACTUAL EXPECTED
    [ "$1" = "$2" ] || { printf '     got:      [%s]\n     expected: [%s]\n' "$1" "$2"; return 1; }
}
reg_value() {  # reg_value KEY NAME: the value's data; fails when the value is not there
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 \{4\}REG_[A-Z_]* \{4\}//p" | grep -m1 ''
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }
absent() { ! "$@" >/dev/null; }
start_program() {  # start_program EXE: and waits until its main window exists, shown or hidden
    wine "$1" & app_pid=$!; within 20 xdotool search --name '^Tillerdock$' >/dev/null; }
# within SECONDS COMMAND...: polls the command until it succeeds, or the time is up
within() {
    local end=$((SECONDS + $1))
    until "${@:2}"; do [ $SECONDS -lt $end ] && sleep 0.2 || return 1; done
}
running() { [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; }
program_ended() { within 10 absent running && app_pid=; }  # the program started last
settings() { wine reg query "$settings_key" | tr -d '\r' | sort; }
# Imports the preset settings under the running copy; remembers them.
preset() { wine reg import "$root/examples/preset-slots.reg" 2>&- && preset_values=$(settings); }
# The preset values the settings no longer hold, after the running copy has saved and ended.
lost_presets() { program_ended && comm -23 <(echo "$preset_values") <(settings); }
installed() {  # installed DIR RUN_KEY EXE: the files ("ok": the program is EXE), the sign-in
    # value, the settings, the user's Start-menu shortcuts (Wine puts the package's for all there)
    echo $(LC_ALL=C ls "$1" 2>/dev/null) $(cmp -s "$1/tillerdock.exe" "$3" && echo ok)
    echo "sign-in $(reg_value "$2" Tillerdock), settings $(reg_key_exists "$settings_key" && echo kept)"
    strings -a "$shortcut" 2>/dev/null | grep -ciF 'Tillerdock\tillerdock.exe'
}
expect() { printf '%s\nsign-in %s, settings %s\n%s' "$@"; }  # FILES SIGN-IN SETTINGS SHORTCUTS

echo "== Portable zip"
cmake -E chdir "$work" cmake -E tar xf "$zip"
check "zip holds Tillerdock-$version/ with tillerdock.exe, Readme.txt, LICENSE and policy/" \
    same "$(cd "$work" && find "Tillerdock-$version" | LC_ALL=C sort | tr '\n' ' ')" \
    "Tillerdock-$version Tillerdock-$version/LICENSE Tillerdock-$version/Readme.txt $(printf "Tillerdock-$version/policy%s " "" /Tillerdock.admx /en-US /en-US/Tillerdock.adml)Tillerdock-$version/tillerdock.exe "
released_exe="$work/Tillerdock-$version/tillerdock.exe"
check "released tillerdock.exe is stripped" \
    grep -qx 'no symbols' <(x86_64-w64-mingw32-objdump -t "$released_exe")

echo "== Signatures and winget manifests"
signed() { for f; do osslsigncode verify -CAfile "$work/cert" -in "$f" 2>&- |
    grep 'Message digest algorithm *: SHA256' >/dev/null || return; done; }
msiinfo extract "$msi" Binary.Actions >"$work/actions.dll"
check "signed by the certificate, SHA-256: the zip's program, the installer, the package, its action" \
    signed "$released_exe" "$installer" "$msi" "$work/actions.dll"
sed 's/DOS mode/DOS Mode/' "$released_exe" >"$work/changed.exe"
check "a byte changed in the signed program breaks its signature" absent signed "$work/changed.exe"
product() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
digest() { sha256sum "$1" | cut -d ' ' -f 1 | tr a-f A-F; }
lint='{extends: default, rules: {document-start: disable, line-length: {max: 100}}}'
fields() { sed -n 's/^ *\(PackageVersion\|InstallerSha256\|ProductCode\): //p' "$@"; }
check "winget manifests: yamllint, the version, each package's digest, the package's ProductCode" \
    same "$(yamllint -s -d "$lint" "$build/winget" && fields "$build"/winget/*.yaml)" \
    "$(printf '%s\n' "$version" "$(digest "$msi")" "'$(product "$msi")'" "$(digest "$installer")" \
        Tillerdock "$version" "$version")"

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
check "the Uninstall.exe it wrote is signed by the certificate" signed "$install_dir/Uninstall.exe"
entry() { local key=$1; shift; for f; do echo "$f=$(reg_value "$key" "$f")"; done; }
check "uninstall entry" same "$(entry "$uninstall_key" DisplayName DisplayVersion Publisher \
    InstallLocation DisplayIcon UninstallString QuietUninstallString NoModify NoRepair)" \
    "$(printf '%s\n' DisplayName=Tillerdock "DisplayVersion=$version" \
        "Publisher=The Tillerdock authors" "InstallLocation=$install_dir_win" \
        "DisplayIcon=$exe_win,0" "UninstallString=\"$uninstaller_win\"" \
        "QuietUninstallString=\"$uninstaller_win\" /S" NoModify=0x1 NoRepair=0x1)"

echo "== Silent upgrade over a running copy, choosing the sign-in entry"
# A byte more marks the old copy: the upgrade must replace it.
printf '\0' >>"$install_dir/tillerdock.exe"
check "the installed program starts: its main window appears" start_program "$install_dir/tillerdock.exe"
check "installer /S /SIGNIN=1 succeeds" timeout 120 wine "$installer" /S /SIGNIN=1
check "the running copy was closed" program_ended
check "tillerdock.exe replaced, sign-in entry written with the path quoted" same \
    "$(installed "$install_dir" "$run_key" "$released_exe")" "$(expect "$files" "\"$exe_win\"" kept 1)"
timeout 120 wine "$installer" /S
check "a silent upgrade without /SIGNIN keeps the sign-in entry" \
    same "$(reg_value "$run_key" Tillerdock)" "\"$exe_win\""

echo "== Windows Installer package for all users, beside the installer's copy for this user"
# Next versions .1 to .4, made as the build makes the package, from its files, the program marked.
cp -r "$build/msi" "$work/next" && printf '\0' >>"$work/next/tillerdock.exe" || fatal "No copy."
for n in 1 2 3 4; do cmake -D STAGE="$work/next" -D VERSION="$version.$n" -D OUTPUT="$work/$n.msi" \
    -P "$root/packaging/msi.cmake" || fatal "Version $version.$n did not build."; done
table() { msiinfo export "$msi" "$1" | tail -n +4 | tr -d '\r'; }
sequence() { table "$1" | cut -f1,3 | grep -P '\t5[1-5]$' | cut -f1; }  # 51-55, before costing
tables() {  # the summary's Word Count, ALLUSERS, the registry roots, custom actions that run
    # elevated, the Upgrade rows' attributes, the actions run before costing in both sequences
    table _SummaryInformation | grep -P '^15\t'; table Property | grep ^ALLUSERS
    table Registry | cut -f2 | sort -u; table CustomAction | while IFS=$'\t' read -r id type _; do
        ((type & 2048)) && echo "$id runs elevated"; done
    table Upgrade | cut -f5,7
    [ "$(sequence InstallUISequence)" = "$(sequence InstallExecuteSequence)" ] &&
        echo $(sequence InstallUISequence)
}
check "dual-purpose: Word Count 10 (bit 3: no elevation required), ALLUSERS 2, every registry \
value under the context's root (-1), nothing elevated; no feature migration (attributes 0) on \
upgrade; folder and sign-in chosen in both sequences" same "$(tables)" "$(printf '%s\n' $'15\t10' \
    $'ALLUSERS\t2' -1 $'0\tWIX_UPGRADE_DETECTED' $'2\tWIX_DOWNGRADE_DETECTED' \
    'KeepMachineDir KeepUserDir UserProgramsDir KeepSignIn ChooseSignIn')"
machine='HKLM\Software\Microsoft\Windows\CurrentVersion' dir='C:\Tools\Tillerdock'
installers_copy() { cmp -s "$install_dir/tillerdock.exe" "$released_exe" &&
    reg_key_exists "$uninstall_key" && reg_value "$run_key" Tillerdock >/dev/null &&
    echo "the installer's copy intact"; }
msi() {  # msi ARGS...: msiexec's exit code, the installed versions, `installed` with the program
    # $exe, the installer's copy (its shortcut aside: Wine puts the package's in the same file)
    timeout 120 wine msiexec "$@"; echo "exit $?"
    echo $(wine reg query "$machine\Uninstall" /s | tr -d '\r' | sed -n 's/^ *DisplayVersion *REG_SZ *//p')
    installed "$(winepath -u "$dir")" "$machine\Run" "$exe"; installers_copy
}
msi_expect() {  # msi_expect EXIT VERSION [on]: what `msi` prints with the package installed
    echo "exit $(($1 % 256))"; echo "$2"
    expect 'LICENSE Readme.txt tillerdock.exe ok' "${3:+\"$dir\\tillerdock.exe\"}" kept 1
    echo; echo "the installer's copy intact"
}
exe="$build/msi/tillerdock.exe"
check "msiexec /i /qn INSTALLDIR: the program, a shortcut, its entry, no sign-in value" \
    same "$(msi /i "$msi" /qn INSTALLDIR="$dir")" "$(msi_expect 0 "$version")"
icon=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s | sed -n 's/^ *ProductIcon *REG_SZ *//p')
check "the entry: name, version, publisher, folder, read-me, icon" same "$(entry \
    "$machine\Uninstall\\$(product "$msi")" DisplayName DisplayVersion Publisher InstallLocation HelpLink
    [ -f "$(winepath -u "${icon%$'\r'}")" ] && echo "icon ${icon##*\\}")" \
    "$(printf '%s\n' DisplayName=Tillerdock "DisplayVersion=$version" \
        "Publisher=The Tillerdock authors" "InstallLocation=$dir\\" \
        "HelpLink=$dir\\Readme.txt" "icon tillerdock.ico"$'\r')"
check "its program starts" start_program "$(winepath -u "$dir")/tillerdock.exe"
preset && exe="$work/next/tillerdock.exe" log=$(winepath -w "$work/log")
check "the next version with a user interface (its UI sequence costs first) and SIGNIN=1: closes \
it (the Restart Manager, then this desktop, both logged), replaces the program in its folder, \
signs in" same "$(msi /i "$work/1.msi" /qr SIGNIN=1 '/l*' "$log"
        grep -ao 'Tillerdock: .* closed' "$work/log")" "$(msi_expect 0 "$version.1" on
        echo 'Tillerdock: the Restart Manager found 0 running copies, 0 closed'
        echo 'Tillerdock: 1 running copies found on this desktop, 1 closed')"
check "the closed copy saved its settings, and every preset value imported under it is kept" \
    same "$(lost_presets)" ""
check "the older version refuses (1603) with its reason in the log, and changes nothing" \
    same "$(msi /i "$msi" /qn '/l*' "$log"
        grep -ac 'A newer version of Tillerdock is already installed' "$work/log")" \
    "$(msi_expect 1603 "$version.1" on; echo 1)"
rm -f "$(winepath -u "$dir")/Readme.txt" "$shortcut"
check "the same version again repairs: Readme.txt and the shortcut back, one entry, one shortcut" \
    same "$(msi /i "$work/1.msi" /qn)" "$(msi_expect 0 "$version.1" on)"
for step in "2 1 on on" "3 0 on off" "4 0 off off"; do set -- $step
    check "upgrade to $version.$1 with SIGNIN=$2 over sign-in $3: sign-in $4" \
        same "$(msi /i "$work/$1.msi" /qn SIGNIN=$2)" "$(msi_expect 0 "$version.$1" ${4%off})"; done
start_program "$(winepath -u "$dir")/tillerdock.exe" || echo "     (the program did not start)"
check "msiexec /x /qn while it runs: all removed (folder record too) but the settings" \
    same "$(msi /x "$work/4.msi" /qn; reg_key_exists 'HKLM\Software\Tillerdock' && echo recorded)" \
    "$(echo "exit 0"; echo; expect "" "" kept 0; echo; echo "the installer's copy intact")"
check "the running copy was closed" program_ended

echo "== Silent uninstall while the program runs, the preset settings imported under it"
start_program "$install_dir/tillerdock.exe" || echo "     (the program did not start)"
preset
# The uninstaller runs a copy of itself from the temporary folder and returns at once; that
# copy removes the uninstall entry last.
check "uninstaller /S starts" timeout 60 wine "$install_dir/Uninstall.exe" /S
check "uninstall finishes within 30 s" within 30 absent reg_key_exists "$uninstall_key"
check "the running copy was closed and kept every preset value imported under it" \
    same "$(lost_presets)" ""
check "install folder, shortcut and sign-in entry removed, settings kept" \
    same "$(installed "$install_dir" "$run_key" "")" "$(expect "" "" kept 0)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
