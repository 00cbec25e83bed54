#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds, then starts the quiz, the editor or the tests.
#   ./dev.sh play     build and start [qo] Kviz
#   ./dev.sh editor   build and start [qo] editor pitanja
#   ./dev.sh test     build and run every test with CTest
set -euo pipefail
cd "$(dirname "$0")"

what="${1:-play}"
case "$what" in
play | editor | test) ;;
*)
    echo "usage: $0 play|editor|test" >&2
    exit 2
    ;;
esac

packages=(qt6-base-dev cmake g++ make fonts-liberation)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake --preset default
cmake --build --preset default

case "$what" in
play) exec build/bin/kviz ;;
editor) exec build/bin/editor-pitanja ;;
test) exec ctest --preset default ;;
esac
