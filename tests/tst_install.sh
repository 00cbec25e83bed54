#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets: the tree,
# the desktop entries and metadata, the set files' type and the programs that open it,
# and the installed quiz in a programs' folder the user can't write, with its sets in
# the user's folder.
#   tst_install.sh BUILD_DIR VERSION
# Exits 77 (skipped) when a checking tool or a way to make a folder read-only is
# missing, after running every check it can.
set -euo pipefail

build=$1
version=$2
work=$(mktemp -d)
prefix=$work/usr
data=$work/data
user=$data/qo-kviz
pids=()
mounted=
skipped=()

cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    [ -z "$mounted" ] || umount "$mounted"
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
skip() {
    echo "SKIP: $*"
    skipped+=("$1")
}

cmake --install "$build" --prefix "$prefix" >/dev/null

# The tree.
for program in kviz editor-pitanja dyr; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program missing"
    [ -f "$prefix/share/man/man1/$program.1" ] || fail "man page of $program missing"
done
# The manual pages format without a warning, and dyr's covers every command of its
# --help, from which it is made.
if command -v man >/dev/null; then
    for program in kviz editor-pitanja dyr; do
        warnings=$(LC_ALL=C MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$program.1" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man page of $program: $warnings"
    done
    page=$(LC_ALL=C MANWIDTH=200 man -l "$prefix/share/man/man1/dyr.1" 2>/dev/null)
    commands=$("$prefix/bin/dyr" --help | sed -n 's/^  \(dyr [^ ].*\)/\1/p' | sed 's/  .*//')
    [ "$(wc -l <<<"$commands")" -ge 8 ] || fail "dyr --help lists too few commands"
    while read -r command; do
        grep -qF -- "$command" <<<"$page" || fail "man dyr lacks $command"
    done <<<"$commands"
else
    skip "man pages" "(man is not installed)"
fi
for set in varnikol tuvek; do
    "$prefix/bin/dyr" check "$prefix/share/qo-kviz/$set.dyr" >/dev/null ||
        fail "installed set $set.dyr missing or faulty"
done
for id in rs.qo.Kviz rs.qo.KvizEditor; do
    [ -f "$prefix/share/applications/$id.desktop" ] || fail "$id.desktop missing"
    [ -f "$prefix/share/metainfo/$id.metainfo.xml" ] || fail "$id.metainfo.xml missing"
done
for size in 16 22 24 32 48 64 128 256; do
    for icon in "$prefix/share/icons/hicolor/${size}x${size}/apps/rs.qo.Kviz.png" \
        "$prefix/share/icons/hicolor/${size}x${size}/apps/rs.qo.KvizEditor.png" \
        "$prefix/share/icons/hicolor/${size}x${size}/mimetypes/application-x-qo-kviz-set.png"; do
        [ -f "$icon" ] || fail "icon $icon missing"
        # A PNG's width and height: big-endian, from byte 16.
        [ "$(od -An -j16 -N8 --endian=big -tu4 "$icon" | tr -s ' ')" = " $size $size" ] ||
            fail "$icon is not $size x $size"
    done
done
grep -q "MIT License" "$prefix/share/doc/qo-kviz/copyright" || fail "licence missing"

# The installed programs answer without a display.
[ "$(env -u DISPLAY "$prefix/bin/kviz" --version)" = "[qo] Kviz $version" ] || fail "kviz --version"
[ "$(env -u DISPLAY "$prefix/bin/editor-pitanja" --version)" = "[qo] editor pitanja $version" ] ||
    fail "editor-pitanja --version"
[ "$("$prefix/bin/dyr" --version)" = "dyr $version" ] || fail "dyr --version"
help=$(env -u DISPLAY "$prefix/bin/kviz" --help)
grep -q "^Upotreba: kviz" <<<"$help" || fail "kviz --help"

# Desktop entries and metadata as desktops and software centres read them.
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix"/share/applications/*.desktop
else
    skip desktop-file-validate "desktop-file-validate not installed"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml
else
    skip appstreamcli "appstreamcli not installed"
fi

# The set files' type, as a desktop sees it with nothing but this install: the install
# brought the databases up to date, a set is known by its name wherever it lies, the
# quiz plays it and the editor is offered too. xdg-mime is asked as on any desktop, with
# no user's choice in a mimeapps.list.
type=application/x-qo-kviz-set
sets=$work/$(printf 'Preuzeto \xc4\x8d\xc4\x87\xc5\xa1\xc5\xbe\xc4\x91')
mkdir "$sets"
cp "$prefix/share/qo-kviz/varnikol.dyr" "$sets/moj set.dyr"
cp "$prefix/share/qo-kviz/tuvek.dyr" "$sets/TUVEK.DYR"
# A desktop session reads names as UTF-8 (mimetype refuses them in the C locale).
desktop() {
    env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
        LC_ALL=C.UTF-8 XDG_DATA_HOME="$work/desktop-data" XDG_DATA_DIRS="$prefix/share" \
        XDG_CONFIG_HOME="$work/desktop-config" XDG_CONFIG_DIRS="$work/desktop-config" "$@"
}
if command -v xdg-mime >/dev/null && command -v mimetype >/dev/null &&
    command -v update-mime-database >/dev/null && command -v update-desktop-database >/dev/null; then
    for set in "$sets/moj set.dyr" "$sets/TUVEK.DYR"; do
        [ "$(desktop xdg-mime query filetype "$set")" = "$type" ] ||
            fail "$set is of type $(desktop xdg-mime query filetype "$set")"
    done
    [ "$(desktop xdg-mime query default "$type")" = rs.qo.Kviz.desktop ] ||
        fail "a set opens with $(desktop xdg-mime query default "$type"), not the quiz"
    grep -qx "$type=rs.qo.Kviz.desktop;rs.qo.KvizEditor.desktop;" \
        "$prefix/share/applications/mimeinfo.cache" || fail "the editor is not offered for a set"
    for id in rs.qo.Kviz rs.qo.KvizEditor; do
        grep -qx 'Exec=[a-z-]* %f' "$prefix/share/applications/$id.desktop" ||
            fail "$id.desktop does not hand a set to its program"
    done
else
    skip mime-type "xdg-mime, mimetype (libfile-mimeinfo-perl) or shared-mime-info not installed"
fi

# The programs' folder read-only: a read-only bind mount as root, the mode otherwise.
if [ "$(id -u)" -eq 0 ]; then
    if mount --bind "$prefix/bin" "$prefix/bin" 2>/dev/null; then
        mounted=$prefix/bin
        mount -o remount,bind,ro "$prefix/bin" || fail "could not remount read-only"
    fi
else
    chmod a-w "$prefix/bin"
fi
# Installed programs use the user's folder either way, so the checks go on.
if touch "$prefix/bin/probe" 2>/dev/null; then
    rm -f "$prefix/bin/probe"
    skip read-only "could not make the programs' folder read-only"
fi

export XDG_DATA_HOME=$data QT_QPA_PLATFORM=offscreen

# Starts the installed quiz, waits until its sets are in the user's folder (or for
# the given seconds), then ends it.
start_quiz() {
    "$prefix/bin/kviz" >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 100); do
        [ -f "$user/varnikol.dyr" ] && [ -f "$user/tuvek.dyr" ] && break
        sleep 0.1
    done
    sleep "${1:-0}"
    kill "$pid" 2>/dev/null || fail "the installed quiz ended by itself"
    wait "$pid" 2>/dev/null || true
}

# Each file of the user's folder with its content and time.
listing() {
    (cd "$user" && find . -type f -exec stat -c '%n %s %Y %a' {} + | sort && sha256sum ./*)
}

# The first start makes the user's folder with a copy of each shipped set.
start_quiz
for set in varnikol tuvek; do
    cmp -s "$user/$set.dyr" "$prefix/share/qo-kviz/$set.dyr" ||
        fail "the user's folder has no copy of $set.dyr"
done
[ "$(find "$prefix/bin" -mindepth 1 -printf '%f\n' | sort | tr '\n' ' ')" = "dyr editor-pitanja kviz " ] ||
    fail "something was written beside the programs"

# A second start changes nothing there, an edited set included.
"$prefix/bin/dyr" dump "$user/varnikol.dyr" | sed '0,/^question:.*/s//question: Izmenjeno u korisnikovom folderu?/' \
    >"$work/edited.txt"
"$prefix/bin/dyr" build "$work/edited.txt" "$user/varnikol.dyr"
before=$(listing)
sleep 1 # a rewrite would show in the times
start_quiz 1
[ "$(listing)" = "$before" ] || fail "a second start changed the user's folder"

# Playing: the quiz, on a display, opens the set of the user's folder when its
# author's picture is clicked.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v strace >/dev/null; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    DISPLAY=:$(cat "$work/display")
    export DISPLAY
    unset QT_QPA_PLATFORM
    strace -f -qq -e trace=open,openat -o "$work/trace" "$prefix/bin/kviz" >/dev/null 2>&1 &
    pids+=($!)
    # Ending strace would leave the quiz running; it is ended by its own id too.
    # The menu follows the splash after a second; it is the window 435 wide.
    menu=
    for _ in $(seq 100); do
        for window in $(xdotool search --onlyvisible --class '^kviz$' 2>/dev/null); do
            if [[ $(xdotool getwindowgeometry "$window") == *'Geometry: 435x'* ]]; then
                menu=$window
            fi
        done
        [ -n "$menu" ] && break
        sleep 0.1
    done
    [ -n "$menu" ] || fail "the quiz's menu did not appear"
    pids+=("$(xdotool getwindowpid "$menu")")
    # The first author's picture.
    xdotool mousemove --window "$menu" 56 64 click 1
    opened=
    for _ in $(seq 100); do
        if grep -q "\"$user/varnikol.dyr\", O_RDONLY" "$work/trace"; then
            opened=yes
            break
        fi
        sleep 0.1
    done
    [ -n "$opened" ] || fail "the quiz did not open varnikol.dyr in the user's folder"
    ! grep -E "\"[^\"]*varnikol.dyr\"" "$work/trace" | grep -v -F "\"$user/varnikol.dyr\"" ||
        fail "the quiz looked for the set elsewhere too"

    # A set opened as a file manager opens it (gio open, the way of GLib's file
    # managers): the installed quiz plays it, from a folder with Serbian letters.
    if command -v gio >/dev/null && command -v mimetype >/dev/null; then
        desktop env PATH="$prefix/bin:$PATH" QT_LOGGING_RULES="qo.kviz.sets.info=true" \
            gio open "$sets/moj set.dyr" 2>"$work/opened" &
        pids+=($!)
        played=
        for _ in $(seq 100); do
            if grep -qF "igra file://$work/Preuzeto%20%C4%8D%C4%87%C5%A1%C5%BE%C4%91/moj%20set.dyr" \
                "$work/opened"; then
                played=yes
                break
            fi
            sleep 0.1
        done
        [ -n "$played" ] || fail "gio open did not play the set in the quiz: $(cat "$work/opened")"
        # The desktop started this quiz, not the test: it is ended by its window's id.
        for window in $(xdotool search --class '^kviz$' 2>/dev/null); do
            pid=$(xdotool getwindowpid "$window" 2>/dev/null) || continue
            [[ " ${pids[*]} " == *" $pid "* ]] || pids+=("$pid")
        done
    else
        skip open "gio or mimetype not installed"
    fi
else
    skip play "Xvfb, xdotool or strace not installed"
fi

if ((${#skipped[@]})); then
    echo "skipped: ${skipped[*]}"
    exit 77
fi
echo "install checked"
