#!/usr/bin/env bash
# The built programs as a user starts them: their command line (a set named on it
# plays), and a copy in a folder whose name isn't valid UTF-8 (a Windows-1250 name on a
# memory stick), which keeps its sets in the user's folder and never beside the root.
#   tst_programs.sh VERSION KVIZ EDITOR DYR SETS_DIR
set -euo pipefail

version=$1
kviz=$2
editor=$3
dyr=$4
sets=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# --version and --help, without a display; other arguments are ignored.
[ "$(env -u DISPLAY "$kviz" --version)" = "[qo] Kviz $version" ] || fail "kviz --version"
[ "$(env -u DISPLAY "$kviz" -v)" = "[qo] Kviz $version" ] || fail "kviz -v"
[ "$(env -u DISPLAY "$editor" --nepoznato --version)" = "[qo] editor pitanja $version" ] ||
    fail "editor-pitanja ignores unknown arguments"
[ "$("$dyr" --version)" = "dyr $version" ] || fail "dyr --version"
# Whole outputs first: grep -q stops reading at its match, and under pipefail the
# writer's broken pipe would fail the check.
help=$(env -u DISPLAY "$kviz" --help)
grep -q '^  -v, --version' <<<"$help" || fail "kviz --help"
grep -q '^Upotreba: kviz \[opcije\] \[set.dyr\]$' <<<"$help" || fail "kviz --help names no set"
help=$(env -u DISPLAY "$editor" -h)
grep -q '^Upotreba: editor-pitanja \[opcije\]' <<<"$help" || fail "editor-pitanja -h"
help=$("$dyr" --help)
grep -q 'dyr dump DATOTEKA' <<<"$help" || fail "dyr --help"

# A test on paper without a display: dyr draws it with the offscreen platform.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$dyr" export pdf "$sets/varnikol.dyr" \
    "$work/test.pdf" >/dev/null || fail "dyr export pdf without a display"
[ "$(head -c 5 "$work/test.pdf")" = "%PDF-" ] || fail "dyr export pdf wrote no PDF"
if command -v pdftotext >/dev/null; then
    text=$(pdftotext "$work/test.pdf" -)
    grep -q 'Kljuc odgovora: varnikol' <<<"$text" || fail "dyr export pdf: no answer key"
fi

# A folder named in Windows-1250: "pitanja" followed by e with a grave accent.
folder=$work/$(printf 'pitanja\xe8')
mkdir "$folder"
cp "$kviz" "$editor" "$sets/varnikol.dyr" "$sets/tuvek.dyr" "$folder/"
export XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen
user=$XDG_DATA_HOME/qo-kviz
at_root() { ls -d /varnikol.dyr /tuvek.dyr /neko.dyr 2>/dev/null || true; }
root_before=$(at_root)

for program in kviz editor-pitanja; do
    rm -rf "$user"
    "$folder/$program" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        [ -f "$user/varnikol.dyr" ] && [ -f "$user/tuvek.dyr" ] && break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || fail "$program ended by itself"
    wait "$pid" 2>/dev/null || true
    for set in varnikol tuvek; do
        cmp -s "$user/$set.dyr" "$folder/$set.dyr" ||
            fail "$program did not find $set.dyr beside it"
    done
done
[ "$(at_root)" = "$root_before" ] || fail "a set appeared in /"

# A set named on the command line, in a folder with Serbian letters and spaces, plays
# after the splash (the quiz says which file it opened when asked to), and stays as it was.
named=$work/$(printf 'Pitanja \xc4\x8d\xc4\x87\xc5\xa1\xc5\xbe\xc4\x91')
mkdir "$named"
cp "$sets/tuvek.dyr" "$named/moj set.dyr"
before=$(stat -c '%s %Y' "$named/moj set.dyr")
QT_LOGGING_RULES="qo.kviz.sets.info=true" "$folder/kviz" "$named/moj set.dyr" 2>"$work/played" &
pid=$!
for _ in $(seq 100); do
    grep -q '^qo.kviz.sets: igra ' "$work/played" && break
    sleep 0.1
done
kill "$pid" 2>/dev/null || fail "kviz ended by itself with a set named"
wait "$pid" 2>/dev/null || true
grep -qx "qo.kviz.sets: igra file://$work/Pitanja%20%C4%8D%C4%87%C5%A1%C5%BE%C4%91/moj%20set.dyr" \
    "$work/played" || fail "kviz did not play the named set: $(cat "$work/played")"
cmp -s "$named/moj set.dyr" "$sets/tuvek.dyr" && [ "$(stat -c '%s %Y' "$named/moj set.dyr")" = "$before" ] ||
    fail "playing changed the named set"
[ "$(ls -A "$named")" = "moj set.dyr" ] || fail "playing left files beside the named set"
echo "command line answered; sets found beside a program in an undecodable folder; a named set played"
