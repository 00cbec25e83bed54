#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds, then starts the quiz, the editor or the tests.
#   ./dev.sh play     build and start [qo] Kviz
#   ./dev.sh editor   build and start [qo] editor pitanja
#   ./dev.sh test     build and run every test: the suite, then the suite again
#                     under AddressSanitizer and UndefinedBehaviorSanitizer
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
if [ "$what" = test ]; then
    # The sanitizer build and the fuzz targets use clang and its runtime; the look
    # tests draw the windows with DejaVu Serif too; bench/run starts its own Xvfb.
    packages+=(clang libclang-rt-dev fonts-dejavu-core xvfb)
fi
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
case "$what" in
play)
    cmake --build --preset default
    exec build/bin/kviz
    ;;
editor)
    cmake --build --preset default
    exec build/bin/editor-pitanja
    ;;
test)
    cmake --build --preset default
    ctest --preset default
    # The same suite with the sanitizers; clang also builds the fuzz targets.
    sanitize_compiler=()
    if command -v clang++ >/dev/null; then
        sanitize_compiler=(-DCMAKE_CXX_COMPILER=clang++)
    fi
    cmake --preset sanitize "${sanitize_compiler[@]}"
    cmake --build --preset sanitize
    ctest --preset sanitize
    ;;
esac
