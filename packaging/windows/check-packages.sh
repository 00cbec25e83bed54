#!/usr/bin/env bash
# Checks the Windows packages as a user gets them, under Wine in a fresh prefix of its
# own (needs wine, xvfb-run, xdotool, unzip):
# - the portable zip holds the programs with only the DLLs and plugins they need, the
#   sets, the licence and the README; unzipped into a writable folder the quiz
#   answers --version in the console and starts with its sets beside it;
# - the installer installs silently into Program Files with Start-menu entries and an
#   uninstall entry; the installed quiz starts, seeds %LOCALAPPDATA%\qo-kviz with the
#   shipped sets and writes nothing under Program Files; the silent uninstaller
#   removes the install and its entries and leaves the user's sets.
#   check-packages.sh BUILD_DIR VERSION
set -euo pipefail

build=$(cd "$1" && pwd)
version=$2
name=qo-kviz-$version-windows-x64
zip=$build/$name.zip
installer=$build/$name.exe

# The quiz draws its windows with the shipped Windows platform plugin: on a display
# of its own when none is given.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
# No Mono or Gecko prompts, and no Linux menu entries made from the Start menu.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Only what the packages ship: no Qt found through the build's settings.
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM
pids=()

cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[ -f "$zip" ] || fail "no $zip (cpack -G ZIP)"
[ -f "$installer" ] || fail "no $installer (cpack -G NSIS)"

wineboot --init >/dev/null 2>&1
wineserver -w
# A folder Windows names, as a Linux path in the prefix.
unixFolder() {
    winepath -u "$(wine cmd /c "echo $1" 2>/dev/null | tr -d '\r')" 2>/dev/null
}
sets=$(unixFolder '%LOCALAPPDATA%')/qo-kviz
programFiles=$(unixFolder '%ProgramW6432%')
[ -d "$programFiles" ] || fail "no Program Files in the prefix ($programFiles)"

# Starts a Windows program in the background, as the user would by a double click.
start() {
    wine "$@" >/dev/null 2>&1 &
    pids+=($!)
}
# Waits up to a minute until the last program started shows a window.
waitForWindow() {
    local pid=${pids[-1]}
    for _ in $(seq 120); do
        if xdotool search --onlyvisible --pid "$pid" --name . >/dev/null 2>&1; then
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || fail "$1 ended before it showed a window"
        sleep 0.5
    done
    fail "$1 showed no window within a minute"
}
# Ends the programs started and waits until the prefix is idle.
stopPrograms() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    pids=()
    wineserver -w
}

# The zip: one folder of the package's name, with nothing a program doesn't need.
expected="LICENSE.txt
Qt6Core.dll
Qt6Gui.dll
Qt6Widgets.dll
README.txt
dyr.exe
editor-pitanja.exe
kviz.exe
libgcc_s_seh-1.dll
libstdc++-6.dll
libwinpthread-1.dll
platforms/qwindows.dll
styles/qwindowsvistastyle.dll
tuvek.dyr
varnikol.dyr"
listing=$(unzip -Z1 "$zip" | grep -v '/$')
! grep -qv "^$name/" <<<"$listing" || fail "the zip has files outside $name/"
[ "$(LC_ALL=C sort <<<"${listing//"$name/"/}")" = "$expected" ] ||
    fail "the zip holds: $(tr '\n' ' ' <<<"$listing")"

# Unzipped into a writable folder (with a space in its name, as on a desktop), the
# quiz answers in the console it was started from and plays the sets beside it.
portable="$work/Moja fascikla"
mkdir "$portable"
unzip -q "$zip" -d "$portable"
answer=$(cd "$portable/$name" && wine cmd /c kviz.exe --version 2>/dev/null | tr -d '\r')
[ "$answer" = "[qo] Kviz $version" ] || fail "the unzipped kviz.exe --version: '$answer'"
start "$portable/$name/kviz.exe"
waitForWindow "the unzipped kviz.exe"
stopPrograms
[ ! -e "$sets" ] || fail "the unzipped quiz made $sets instead of using the sets beside it"
echo "zip: $(wc -l <<<"$listing") files; the unzipped quiz starts with its sets beside it"

# The installer, silently, as an administrator would (Wine's user is one).
wine "$installer" /S >/dev/null 2>&1
wineserver -w
installed=$programFiles/qo-kviz
for file in kviz.exe editor-pitanja.exe dyr.exe varnikol.dyr tuvek.dyr Uninstall.exe \
    platforms/qwindows.dll; do
    [ -f "$installed/$file" ] || fail "the installer put no $file into $installed"
done
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\qo-kviz'
wine reg query "$key" /v DisplayName 2>/dev/null | tr -d '\r' | grep -q 'REG_SZ *\[qo\] Kviz$' ||
    fail "no uninstall entry named [qo] Kviz in the registry"
wine reg query "$key" /v UninstallString 2>/dev/null | grep -q 'Uninstall.exe' ||
    fail "the uninstall entry names no Uninstall.exe"
links=()
for link in "[qo] Kviz.lnk" "[qo] editor pitanja.lnk"; do
    found=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name '*.lnk' | grep -F "/$link" | head -1)
    [ -n "$found" ] || fail "no Start-menu entry $link"
    links+=("$found")
done
grep -qa 'kviz.exe' "${links[0]}" || fail "the Start-menu entry [qo] Kviz does not start kviz.exe"
grep -qa 'editor-pitanja.exe' "${links[1]}" ||
    fail "the Start-menu entry [qo] editor pitanja does not start editor-pitanja.exe"

# The installed quiz, started as from the Start menu: its sets go to the user's folder,
# the install is left as it is.
before=$(cd "$programFiles" && find . -printf '%p %s %T@\n' | LC_ALL=C sort)
start "$installed/kviz.exe"
waitForWindow "the installed kviz.exe"
stopPrograms
after=$(cd "$programFiles" && find . -printf '%p %s %T@\n' | LC_ALL=C sort)
[ "$before" = "$after" ] ||
    fail "the installed quiz wrote under Program Files: $(diff <(echo "$before") <(echo "$after") | grep '^[<>]' | tr '\n' ' ')"
for set in varnikol.dyr tuvek.dyr; do
    cmp -s "$installed/$set" "$sets/$set" || fail "the installed quiz did not seed $sets/$set"
done
echo "installer: installed, Start-menu entries and uninstall entry made; the quiz seeded $sets"

# Uninstalling removes the install and its entries, and keeps the user's sets.
wine "$installed/Uninstall.exe" /S >/dev/null 2>&1
wineserver -w
[ ! -e "$installed" ] || fail "the uninstaller left $installed: $(cd "$installed" && find . | tr '\n' ' ')"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left the uninstall entry"
for link in "${links[@]}"; do
    [ ! -e "$link" ] || fail "the uninstaller left $link"
done
for set in varnikol.dyr tuvek.dyr; do
    [ -s "$sets/$set" ] || fail "uninstalling removed the user's $sets/$set"
done
echo "uninstaller: the install and its entries removed, the user's sets kept"
