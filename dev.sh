#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds, then starts the quiz, the editor or the tests.
#   ./dev.sh play     build and start [qo] Kviz
#   ./dev.sh editor   build and start [qo] editor pitanja
#   ./dev.sh test     build and run every test: the suite, then the suite again
#                     under AddressSanitizer and UndefinedBehaviorSanitizer
# Where CMake and Qt 6 are found already (any distribution) nothing is installed.
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
# Tools some tests use; a test without its tool reports itself skipped.
#   command:package
test_tools=(
    clang++:clang # the sanitizer build and the fuzz targets, with libclang-rt-dev
    desktop-file-validate:desktop-file-utils
    appstreamcli:appstream
    Xvfb:xvfb
    xdotool:xdotool
    strace:strace
    chattr:e2fsprogs
    chromium:chromium # the web page's browser test, with python3-selenium and npm's axe-core
    chromedriver:chromium-driver
    npm:npm
)
if [ "$what" = test ]; then
    # clang's sanitizer runtime; DejaVu Serif for the tests that draw with other faces;
    # selenium for the web page's browser test.
    packages+=(libclang-rt-dev fonts-dejavu-core python3-selenium)
    for tool in "${test_tools[@]}"; do
        packages+=("${tool#*:}")
    done
fi

# CMake 3.25 or newer, a C++ compiler, make and Qt 6 with Widgets and Test.
toolchain_found() {
    command -v cmake >/dev/null && command -v make >/dev/null || return 1
    command -v c++ >/dev/null || command -v g++ >/dev/null || command -v clang++ >/dev/null ||
        return 1
    local version
    version=$(cmake --version | sed -n '1s/[^0-9]*\([0-9]*\.[0-9]*\).*/\1/p')
    [ "$(printf '%s\n' 3.25 "$version" | sort -V | head -n1)" = 3.25 ] || return 1
    if command -v dpkg-query >/dev/null &&
        dpkg-query -W -f='${Status}' qt6-base-dev 2>/dev/null | grep -q 'install ok installed'; then
        return 0
    fi
    # Qt from anywhere CMake finds it (CMAKE_PREFIX_PATH, the system's folders).
    local probe
    probe=$(mktemp -d)
    cat >"$probe/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(probe LANGUAGES CXX)
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
EOF
    local found=0
    cmake -S "$probe" -B "$probe/build" >/dev/null 2>&1 || found=1
    rm -rf "$probe"
    return $found
}

missing=()
# CI sets QO_INSTALL_ALL=1: whatever of the list is missing is installed even where
# the toolchain is found, so that no test is skipped for want of its tool.
if [ "${QO_INSTALL_ALL:-}" != 1 ] && toolchain_found; then
    if [ "$what" = test ]; then
        absent=()
        for tool in "${test_tools[@]}"; do
            command -v "${tool%%:*}" >/dev/null || absent+=("${tool#*:}")
        done
        if ((${#absent[@]})); then
            echo "dev.sh: not installed, so the tests that need them are skipped: ${absent[*]}" >&2
        fi
    fi
elif ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
    echo "dev.sh: this needs CMake 3.25 or newer, a C++20 compiler, make and Qt 6 (Widgets," \
        "Test). Install them with your system's package manager, then run $0 $what again." >&2
    exit 1
else
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    if ((${#missing[@]} == 0)) && [ "${QO_INSTALL_ALL:-}" = 1 ]; then
        : # nothing to install
    elif ((${#missing[@]} == 0)); then
        echo "dev.sh: every package is installed, yet CMake 3.25 or Qt 6 is not found" >&2
        exit 1
    fi
fi
if ((${#missing[@]})); then
    install_line="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
    as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "dev.sh: these packages are missing: ${missing[*]}" >&2
            echo "dev.sh: installing them needs root, and sudo is not available. As root, run:" >&2
            echo "  $install_line" >&2
            echo "then run $0 $what again." >&2
            exit 1
        fi
        as_root=(sudo)
    fi
    if ! "${as_root[@]}" apt-get update ||
        ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y --no-install-recommends "${missing[@]}"; then
        echo "dev.sh: installing the packages failed. As root, run:" >&2
        echo "  $install_line" >&2
        exit 1
    fi
fi

cmake --preset default
case "$what" in
play)
    cmake --build --preset default --target kviz question_sets
    exec build/bin/kviz
    ;;
editor)
    cmake --build --preset default --target editor-pitanja question_sets
    exec build/bin/editor-pitanja
    ;;
test)
    cmake --build --preset default
    # axe-core for the web page's browser test, at the version tests/web pins.
    if command -v npm >/dev/null; then
        (cd tests/web && npm ci --no-audit --no-fund) ||
            echo "dev.sh: npm ci in tests/web failed, so the browser test is skipped" >&2
    fi
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
