#!/usr/bin/env bash
# A build never replaces a set beside the programs (the editor saves there), and puts
# back a shipped set that is missing. Whatever the folder held before is restored.
#   tst_buildkeepssets.sh BUILD_DIR SOURCE_DIR PROGRAMS_DIR BUILT_SETS_DIR DYR
set -euo pipefail

build=$1
source=$2
programs=$3
built=$4
dyr=$5
backup=$(mktemp -d)

cp -p "$programs/varnikol.dyr" "$programs/tuvek.dyr" "$backup/"
restore() {
    cp -p "$backup/varnikol.dyr" "$backup/tuvek.dyr" "$programs/"
    rm -rf "$backup"
}
trap restore EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# An author edits a set where the programs are, as the editor does.
"$dyr" dump "$programs/varnikol.dyr" |
    sed '0,/^question:.*/s//question: Izmenjeno posle kloniranja?/' >"$backup/edited.txt"
"$dyr" build "$backup/edited.txt" "$programs/varnikol.dyr" >/dev/null
edited=$(sha256sum <"$programs/varnikol.dyr")
cmp -s "$programs/varnikol.dyr" "$built/varnikol.dyr" && fail "the edit changed nothing"

# Its source changes (a pull, say) and the sets are built again.
touch "$source/assets/sets/varnikol.txt"
rm "$programs/tuvek.dyr"
cmake --build "$build" --target question_sets >/dev/null
[ "$(sha256sum <"$programs/varnikol.dyr")" = "$edited" ] || fail "the build replaced the edited set"
cmp -s "$programs/tuvek.dyr" "$built/tuvek.dyr" || fail "the build did not put back tuvek.dyr"
for left in "$programs"/*.new; do
    [ -e "$left" ] && fail "the copy left $left behind"
done
echo "edited set kept, missing set put back"
