#!/usr/bin/env bash
# Checks the Windows packages as a user gets them, under Wine in a fresh prefix of its
# own (needs wine, xvfb-run, xdotool, unzip):
# - the portable zip holds the programs with only the DLLs and plugins they need, the
#   sets, the licence and the README; unzipped into a writable folder the quiz
#   answers --version in the console and starts with its sets beside it;
# - the installer installs silently into Program Files with Start-menu entries and an
#   uninstall entry; the installed quiz starts, seeds %LOCALAPPDATA%\qo-kviz with the
#   shipped sets and writes nothing under Program Files; the silent uninstaller
#   removes the install and its entries and leaves the user's sets;
# - the installer registers the set files' type (.dyr, its icon, the verbs "Igraj" and
#   "Uredi"); the "Igraj" verb's command, and a set opened as Explorer opens it, play a
#   set in a folder with Serbian letters; the uninstaller removes the keys again, and
#   gives .dyr back to a program that had it before; the zip registers nothing.
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

# The default value of a registry key, or nothing when there is no such key.
regDefault() {
    wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'
}
regKeyExists() {
    wine reg query "$1" >/dev/null 2>&1
}
classes='HKLM\Software\Classes'

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
for key in "$classes\.dyr" "$classes\qo-kviz.set" 'HKCU\Software\Classes\.dyr' \
    'HKCU\Software\Classes\qo-kviz.set'; do
    ! regKeyExists "$key" || fail "the unzipped quiz registered $key"
done
echo "zip: $(wc -l <<<"$listing") files; the unzipped quiz starts with its sets beside it" \
    "and registers nothing"

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

# The set files' type: .dyr is a qo-kviz.set, with the sets' icon from kviz.exe, played
# by "Igraj" (the default verb, open) and edited by "Uredi" (edit).
installedWindows=$(winepath -w "$installed" 2>/dev/null | tr -d '\r')
[ "$(regDefault "$classes\.dyr")" = qo-kviz.set ] || fail ".dyr is not registered as qo-kviz.set"
wine reg query "$classes\.dyr\OpenWithProgids" /v qo-kviz.set >/dev/null 2>&1 ||
    fail ".dyr does not offer qo-kviz.set in Open with"
[ "$(regDefault "$classes\qo-kviz.set")" = "[qo] Kviz set pitanja" ] ||
    fail "the type is named '$(regDefault "$classes\qo-kviz.set")'"
[ "$(regDefault "$classes\qo-kviz.set\DefaultIcon")" = "$installedWindows\kviz.exe,-2" ] ||
    fail "the type's icon is '$(regDefault "$classes\qo-kviz.set\DefaultIcon")'"
# The icon is there: the largest picture of the sets' .ico is inside kviz.exe.
python3 - "$(dirname "$0")/../../assets/images/icons/kviz-set.ico" "$installed/kviz.exe" <<'EOF' ||
import struct, sys
ico = open(sys.argv[1], "rb").read()
count = struct.unpack_from("<H", ico, 4)[0]
size, offset = struct.unpack_from("<II", ico, 6 + 16 * (count - 1) + 8)
sys.exit(0 if ico[offset:offset + size] in open(sys.argv[2], "rb").read() else 1)
EOF
    fail "kviz.exe does not hold the sets' icon"
verbs="$classes\qo-kviz.set\shell"
[ "$(regDefault "$verbs")" = open ] || fail "the default verb is '$(regDefault "$verbs")'"
[ "$(regDefault "$verbs\open")" = Igraj ] || fail "the verb open is not shown as Igraj"
[ "$(regDefault "$verbs\edit")" = Uredi ] || fail "the verb edit is not shown as Uredi"
play=$(regDefault "$verbs\open\command")
[ "$play" = "\"$installedWindows\kviz.exe\" \"%1\"" ] || fail "Igraj runs '$play'"
edit=$(regDefault "$verbs\edit\command")
[ "$edit" = "\"$installedWindows\editor-pitanja.exe\" \"%1\"" ] || fail "Uredi runs '$edit'"

# "Igraj" on a set in a folder with Serbian letters and a space: the verb's command, with
# the set in place of %1, starts the installed quiz on that set (which it says when
# asked to; Wine hands QT_ settings to a Windows program only as WINEQT_...), and so
# does the set opened as Explorer opens a file (start, the shell's default verb). The
# set stays as it was.
folder="$(unixFolder '%USERPROFILE%')/Pitanja čćšžđ"
mkdir -p "$folder"
cp "$installed/tuvek.dyr" "$folder/moj set.dyr"
set=$(winepath -w "$folder/moj set.dyr" 2>/dev/null | tr -d '\r')
# The set's path as the quiz writes it: a file URL, plain ASCII.
url=$(python3 -c 'import sys, urllib.parse
print("file:///" + urllib.parse.quote(sys.argv[1].replace("\\", "/"), safe="/:"))' "$set")
export WINEQT_FORCE_STDERR_LOGGING=1 WINEQT_LOGGING_RULES="qo.kviz.sets.info=true"
program=${play#\"}
program=${program%%\"*}
[ "${play#\""$program"\" }" = '"%1"' ] || fail "Igraj does not hand the set over as %1"
wine "$program" "$set" 2>"$work/played" >/dev/null &
pids+=($!)
played=
for _ in $(seq 120); do
    played=$(grep '^qo.kviz.sets: igra ' "$work/played" | tr -d '\r') && break
    sleep 0.5
done
[ "$played" = "qo.kviz.sets: igra $url" ] ||
    fail "Igraj's command did not play $set: $(tr -d '\r' <"$work/played")"
stopPrograms
# A program the shell starts gets no console to write to: there the quiz window itself
# shows that the set plays (its title is typed out from "[qo] Kviz"; a set that can't
# be played gives a message and the untitled menu instead).
wine start /unix "$folder/moj set.dyr" >/dev/null 2>&1 &
pids+=($!)
quiz=
for _ in $(seq 120); do
    quiz=$(xdotool search --onlyvisible --name '^\[' 2>/dev/null | head -1 || true)
    [ -z "$quiz" ] || break
    sleep 0.5
done
[ -n "$quiz" ] || fail "the set opened as Explorer opens it did not play in the quiz"
# The quiz started by the shell is no child of this script.
wineserver -k
wait "${pids[@]}" 2>/dev/null || true
pids=()
unset WINEQT_FORCE_STDERR_LOGGING WINEQT_LOGGING_RULES
cmp -s "$folder/moj set.dyr" "$installed/tuvek.dyr" || fail "playing changed the set"
[ "$(ls -A "$folder")" = "moj set.dyr" ] || fail "playing left files beside the set"
echo "installer: .dyr registered with its icon, Igraj and Uredi; Igraj played $set"

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
for key in "$classes\.dyr" "$classes\qo-kviz.set"; do
    ! regKeyExists "$key" || fail "the uninstaller left $key"
done
echo "uninstaller: the install, its entries and the set files' type removed, the user's sets kept"

# Where another program had .dyr before, the installer takes it over and the uninstaller
# gives it back, with whatever else that program put there.
wine reg add "$classes\.dyr" /ve /d Drugi.Program /f >/dev/null 2>&1
wine reg add "$classes\.dyr" /v 'Content Type' /d application/x-drugi /f >/dev/null 2>&1
wine "$installer" /S >/dev/null 2>&1
wineserver -w
[ "$(regDefault "$classes\.dyr")" = qo-kviz.set ] || fail "the installer left .dyr to another program"
wine "$installed/Uninstall.exe" /S >/dev/null 2>&1
wineserver -w
[ "$(regDefault "$classes\.dyr")" = Drugi.Program ] ||
    fail "the uninstaller did not give .dyr back: '$(regDefault "$classes\.dyr")'"
wine reg query "$classes\.dyr" /v 'Content Type' 2>/dev/null | grep -q 'application/x-drugi' ||
    fail "the uninstaller removed another program's value of .dyr"
! regKeyExists "$classes\.dyr\OpenWithProgids" || fail "the uninstaller left .dyr\OpenWithProgids"
! regKeyExists "$classes\qo-kviz.set" || fail "the uninstaller left qo-kviz.set"
echo "installer and uninstaller: .dyr taken from another program and given back"
