#!/usr/bin/env bash
# The learning platform itself, installed on this machine from its source, takes what
# dyr exports and gives it back unchanged: its own import and export code (driver.php)
# against dyr's Moodle XML and GIFT.
#   tst_moodle.sh BUILD_DIR DYR SETS_DIR ARCHIVE
# ARCHIVE is the platform's source (moodle-5.1-src.tar.xz). Everything lives in
# BUILD_DIR/moodle and is kept for the next run: the unpacked tree, a database cluster
# of the test's own (listening only on a Unix socket there), the installed site. The
# cluster runs only while the test does. Exits 77 (skipped), saying why, where the
# archive, PHP with the extensions the platform needs, or PostgreSQL is missing.
set -uo pipefail

build=$(cd "$1" && pwd)
dyr=$2
sets=$3
archive=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$build/moodle
tree=$work/moodle
pg=$work/pg # the database's own folder, its user's: the cluster, its socket and its log
pgdata=$pg/data
socket=$pg/socket
port=54329 # names the socket file only: nothing listens on the network
run=$work/run
failures=0

skip() {
    echo "SKIP: $*"
    exit 77
}
ok() { echo "ok: $*"; }
bad() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
phase() { echo "-- $* (${SECONDS}s)"; }

packages="php-cli php-pgsql php-xml php-mbstring php-curl php-zip php-gd php-intl php-soap postgresql"
[ -f "$archive" ] || skip "no copy of the platform's source at $archive"
command -v php >/dev/null || skip "PHP is missing; as root: apt-get install $packages"
missing=$(php -r 'foreach (["pgsql", "xml", "mbstring", "curl", "zip", "gd", "intl", "soap",
    "dom", "simplexml", "xmlreader", "json", "fileinfo", "sodium", "iconv"] as $e)
    if (!extension_loaded($e)) echo "$e ";')
[ -z "$missing" ] || skip "PHP lacks the extensions $missing; as root: apt-get install $packages"
pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -n "$pgbin" ] && [ -x "$pgbin/initdb" ] && [ -x "$pgbin/pg_ctl" ] ||
    skip "PostgreSQL is missing; as root: apt-get install $packages"

# The cluster runs as the postgres user when the test runs as root (PostgreSQL refuses
# root), as the test's own user otherwise.
as_pg() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}
if [ "$(id -u)" -eq 0 ]; then
    id postgres >/dev/null 2>&1 || skip "no postgres user to run the database as"
    # A build in a folder the postgres user can't enter (a checkout under /root, say)
    # keeps its cluster in a folder of its own under /var/tmp instead, named after the
    # build, so that the test still runs; nothing of the build's folders is opened up.
    if ! runuser -u postgres -- test -x "$build"; then
        pg=/var/tmp/qo-kviz-moodle-$(printf '%s' "$build" | sha256sum | cut -c1-16)
        pgdata=$pg/data
        socket=$pg/socket
        echo "-- the postgres user can't reach $build: the database lives in $pg"
    fi
fi

# The unpacked tree, kept while the archive is the same one; a new archive means a new
# installation.
mkdir -p "$work"
version=$(sha256sum <"$archive" | cut -d' ' -f1)
if [ "$(cat "$work/unpacked" 2>/dev/null)" != "$version" ]; then
    phase "unpacking the platform"
    if [ -d "$pgdata" ]; then
        as_pg "$pgbin/pg_ctl" -D "$pgdata" -m fast -w stop >/dev/null 2>&1
    fi
    rm -rf "$tree" "$work/data" "$pg" "$work/installed" "$work/unpacked"
    tar -xJf "$archive" -C "$work" || {
        echo "FAIL: $archive does not unpack"
        exit 1
    }
    [ -f "$tree/admin/cli/install.php" ] || {
        echo "FAIL: $archive holds no moodle/admin/cli/install.php"
        exit 1
    }
    echo "$version" >"$work/unpacked"
fi

# The database cluster: made once, started for this run and stopped when it ends.
stop_cluster() {
    as_pg "$pgbin/pg_ctl" -D "$pgdata" -m fast -w stop >/dev/null 2>&1
}
if [ ! -f "$pgdata/PG_VERSION" ]; then
    phase "making the database cluster"
    rm -rf "$pg" "$work/installed"
    mkdir -p "$pgdata" "$socket"
    [ "$(id -u)" -ne 0 ] || chown -R postgres: "$pg"
    as_pg "$pgbin/initdb" -D "$pgdata" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
        >"$work/initdb.log" 2>&1 || {
        echo "FAIL: initdb failed:"
        cat "$work/initdb.log"
        exit 1
    }
fi
# One left running by a run that was killed is stopped first.
as_pg "$pgbin/pg_ctl" -D "$pgdata" status >/dev/null 2>&1 && stop_cluster
trap stop_cluster EXIT
as_pg "$pgbin/pg_ctl" -D "$pgdata" -l "$pg/server.log" -w \
    -o "-c listen_addresses='' -k $socket -p $port" start >/dev/null || {
    echo "FAIL: the database cluster does not start:"
    tail -n 20 "$pg/server.log"
    exit 1
}
psql() { as_pg "$pgbin/psql" -h "$socket" -p "$port" -U postgres -X -q "$@"; }

# The site, installed by the platform's own installer as its documentation says; an
# installation cut short is made again.
if [ ! -f "$work/installed" ]; then
    phase "installing the platform"
    rm -f "$tree/config.php"
    rm -rf "$work/data"
    mkdir -p "$work/data"
    PGOPTIONS='-c client_min_messages=warning' \
        psql -c 'DROP DATABASE IF EXISTS moodle' -c 'CREATE DATABASE moodle' >/dev/null
    if ! php -d max_input_vars=5000 "$tree/admin/cli/install.php" --non-interactive \
        --agree-license --lang=en --wwwroot=http://localhost/moodle \
        --dataroot="$work/data" --dbtype=pgsql --dbhost=localhost --dbsocket="$socket" \
        --dbport="$port" --dbname=moodle --dbuser=postgres --dbpass= --prefix=mdl_ \
        --fullname="dyr test" --shortname=dyr --adminuser=admin --adminpass='Lozinka-1' \
        --adminemail=admin@example.org >"$work/install.log" 2>&1; then
        echo "FAIL: the platform's installer failed:"
        tail -n 30 "$work/install.log"
        exit 1
    fi
    touch "$work/installed"
fi
phase "the platform is installed"

# What dyr hands the platform: both shipped sets, and a set of texts that XML and GIFT
# escape (more than nine questions, so that their order is tested too), in each format.
rm -rf "$run"
mkdir -p "$run/in" "$run/sets"
cp "$sets/varnikol.dyr" "$sets/tuvek.dyr" "$run/sets/"
"$dyr" build "$here/escapes.txt" "$run/sets/escapes.dyr" >/dev/null ||
    bad "dyr build escapes.txt"
for set in "$run"/sets/*.dyr; do
    name=$(basename "$set" .dyr)
    "$dyr" export moodle "$set" "$run/in/$name.xml" >/dev/null 2>"$run/export.err" &&
        [ ! -s "$run/export.err" ] || bad "dyr export moodle $name: $(cat "$run/export.err")"
    "$dyr" export gift "$set" "$run/in/$name.txt" >/dev/null 2>"$run/export.err" &&
        [ ! -s "$run/export.err" ] || bad "dyr export gift $name: $(cat "$run/export.err")"
done

phase "the platform imports and exports"
if ! php "$here/driver.php" "$tree/config.php" "$run" >"$run/driver.log" 2>&1; then
    echo "FAIL: the driver failed:"
    cat "$run/driver.log"
    exit 1
fi
out=$run/out

# A set as the driver writes what the platform holds: the records with a question.
questions() { "$dyr" dump "$1" | awk '/^#/ { next } /^number:/ { if (r ~ /question:/) printf "%s", r; r = "" } { r = r $0 "\n" } END { if (r ~ /question:/) printf "%s", r }'; }

phase "checks"
for set in "$run"/sets/*.dyr; do
    name=$(basename "$set" .dyr)
    for format in xml txt; do
        in="$name-$format"
        [ "$format" = xml ] && shown="Moodle XML" || shown=GIFT
        # Each question came in as a choice of one of four answers, its texts and its
        # right answer exactly the set's, in the set's order.
        if diff <(questions "$set" | sed '/^$/d') <(sed '/^$/d' "$out/$in.platform.txt") \
            >"$run/$in.diff"; then
            ok "$name in $shown: $(grep -c '^question:' "$out/$in.platform.txt") single-answer choices of four, texts and right answers as in the set, in its order"
        else
            bad "$name in $shown came in otherwise:"
            cat "$run/$in.diff"
        fi
        # Exported back by the platform, each comes home as the set, byte for byte.
        for back in xml gift.txt; do
            [ "$back" = xml ] && fmt=moodle || fmt=gift
            if "$dyr" import "$fmt" "$out/$in.$back" "$run/$in.$back.dyr" \
                >/dev/null 2>"$run/$in.$back.err" && cmp -s "$run/$in.$back.dyr" "$set"; then
                ok "$name: $shown to the platform, its $fmt export back: the set byte for byte"
            else
                bad "$name: $shown to the platform and its $fmt export back differ from the set:"
                cat "$run/$in.$back.err"
                [ -f "$run/$in.$back.dyr" ] && diff <("$dyr" dump "$set") \
                    <("$dyr" dump "$run/$in.$back.dyr") | head -n 20
            fi
        done
    done
done

# Texts the platform writes in its own ways: a plain text of two lines (GIFT writes its
# break as \n) and Markdown, read as the text they show.
expected="number: 1
question: Prvi red drugi red?
a: Jedan
b: Dva
c: Tri
d: Cetiri
correct: C
number: 2
question: Sta je podebljano, a sta kurziv?
a: Jedan
b: Dva
c: Tri
d: Cetiri
correct: C"
for back in xml gift.txt; do
    [ "$back" = xml ] && fmt=moodle || fmt=gift
    if "$dyr" import "$fmt" "$out/texts.$back" "$run/texts.$back.dyr" \
        >/dev/null 2>"$run/texts.$back.err" &&
        [ "$(questions "$run/texts.$back.dyr" | sed '/^$/d')" = "$expected" ]; then
        ok "the platform's $fmt export of a text over two lines and of Markdown: read as they show"
    else
        bad "the platform's $fmt export of a text over two lines and of Markdown:"
        cat "$run/texts.$back.err"
        [ -f "$run/texts.$back.dyr" ] && questions "$run/texts.$back.dyr"
    fi
    grep -q ':[0-9]*: upozorenje: pitanje 2, tekst pitanja: oznake Markdown-a' \
        "$run/texts.$back.err" && ok "the Markdown's marks taken off with a warning ($fmt)" ||
        bad "no warning of the Markdown's marks ($fmt): $(cat "$run/texts.$back.err")"
done

# The mixed bank: --skip-others takes the one question that fits and names every other
# by its line and its kind, as the platform stores it.
kind() {
    case "$1" in
    truefalse) echo "tacno/netacno" ;;
    shortanswer) echo "kratak odgovor" ;;
    match) echo "uparivanje" ;;
    numerical) echo "brojcani odgovor" ;;
    essay) echo "esej" ;;
    description) echo "opis" ;;
    multianswer) echo "ugradjeni odgovori (cloze)" ;;
    ddwtos) echo "prevlacenje u tekst" ;;
    gapselect) echo "izbor reci koje nedostaju" ;;
    calculated) echo "racunsko pitanje" ;;
    calculatedsimple) echo "jednostavno racunsko pitanje" ;;
    calculatedmulti) echo "racunski visestruki izbor" ;;
    ordering) echo "redjanje" ;;
    "izbor several right") echo "visestruki izbor sa vise tacnih odgovora" ;;
    "izbor partial credit") echo "visestruki izbor sa delimicnim bodovima" ;;
    "izbor three answers") echo "visestruki izbor sa 3 odgovora" ;;
    "izbor two right") echo "visestruki izbor sa 2 tacna odgovora" ;;
    *) echo "?" ;;
    esac
}
for back in xml gift.txt; do
    [ "$back" = xml ] && fmt=moodle || fmt=gift
    file=$out/bank.$back
    "$dyr" import --skip-others "$fmt" "$file" "$run/bank.$back.dyr" >"$run/bank.$back.out" \
        2>"$run/bank.$back.err"
    status=$?
    # Where each question starts in the platform's file, and its name, in order.
    if [ "$fmt" = moodle ]; then
        starts=$(awk '/<question type="category">/ { c = 1; next }
            /<question type=/ { c = 0; line = NR }
            !c && line && /<name>/ { getline; sub(/.*<text>/, ""); sub(/<\/text>.*/, ""); print line "\t" $0; line = 0 }' "$file")
    else
        # A kind GIFT can't write leaves only its comment line.
        starts=$(awk '/^\/\/ question: [0-9]+ +name: / { name = $0; sub(/.*name: /, "", name)
                getline; while ($0 ~ /^\/\//) getline
                if ($0 != "" && $0 !~ /^\$CATEGORY:/) print NR "\t" name }' "$file")
    fi
    expected=$(printf '%s\n' "$starts" | awk -F'\t' '{ print $1 "\t" NR "\t" $2 }' |
        while IFS=$'\t' read -r line n name; do
            what=${name#Pitanje }
            [ "$what" = "izbor one right" ] && continue
            echo "$line: preskoceno: pitanje $n ($(kind "$what"))"
        done)
    got=$(sed -n 's/^.*\.'"${back//./\\.}"':\([0-9]*: preskoceno: pitanje [0-9]* (.*)\): .*/\1/p' \
        "$run/bank.$back.err")
    count=$(printf '%s\n' "$expected" | grep -c preskoceno)
    if [ "$status" -eq 0 ] && [ -n "$got" ] && [ "$got" = "$expected" ] &&
        grep -q "preuzeto 1 pitanje, preskocen[oa] $count," "$run/bank.$back.out" &&
        [ "$("$dyr" dump "$run/bank.$back.dyr" | grep '^question:')" = "question: Which is the oddest number?" ]; then
        ok "the platform's mixed bank in $fmt: the one choice taken, $count others skipped, each by its line and kind"
        printf '%s\n' "$got" | sed 's/^/    /'
    else
        bad "the platform's mixed bank in $fmt (dyr exit $status):"
        diff <(printf '%s\n' "$expected") <(printf '%s\n' "$got")
        cat "$run/bank.$back.out" "$run/bank.$back.err"
    fi
done

phase "done"
echo "$failures failed, in ${SECONDS}s"
[ "$failures" -eq 0 ]
