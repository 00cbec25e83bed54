#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds, then starts the quiz, the editor or the tests.
#   ./dev.sh play     build and start [qo] Kviz
#   ./dev.sh editor   build and start [qo] editor pitanja
#   ./dev.sh test     build and run every test: the suite, then the suite again
#                     under AddressSanitizer and UndefinedBehaviorSanitizer
#   ./dev.sh windows  cross-build the programs for Windows into build-windows/ with
#                     mingw-w64, run their tests under Wine, then make the packages
# Where CMake and Qt 6 are found already (any distribution) nothing is installed.
# The Windows build needs a Qt 6 for Windows: QO_QT_WINDOWS names its folder, or else
# the one of ../shared/toolchains/ (or build-qt-windows/) is unpacked into build-qt-windows/.
set -euo pipefail
cd "$(dirname "$0")"

what="${1:-play}"
case "$what" in
play | editor | test | windows) ;;
*)
    echo "usage: $0 play|editor|test|windows" >&2
    exit 2
    ;;
esac

packages=(qt6-base-dev cmake g++ make fonts-liberation)
# Tools some tests use; a test without its tool reports itself skipped.
#   command:package
test_tools=(
    clang++:clang # the sanitizer build and the fuzz targets, with libclang-rt-dev
    desktop-file-validate:desktop-file-utils
    update-mime-database:shared-mime-info # the set files' type, checked after an install
    xdg-mime:xdg-utils
    mimetype:libfile-mimeinfo-perl # xdg-mime's way to read the type outside a desktop
    gio:libglib2.0-bin             # a set opened as GLib's file managers open it
    appstreamcli:appstream
    Xvfb:xvfb
    xdotool:xdotool
    strace:strace
    chattr:e2fsprogs
    chromium:chromium # the web page's browser test, with python3-selenium and npm's axe-core
    chromedriver:chromium-driver
    npm:npm
    pdftotext:poppler-utils # the printed test's text
)
# The learning platform's test: PHP with the extensions the platform's installer
# demands, and PostgreSQL for its database. Installed for CI (QO_INSTALL_ALL=1); elsewhere
# the test is skipped without them.
platform_packages=(php-cli php-pgsql php-xml php-mbstring php-curl php-zip php-gd php-intl
    php-soap postgresql)
if [ "$what" = test ]; then
    # clang's sanitizer runtime; DejaVu Serif for the tests that draw with other faces;
    # selenium for the web page's browser test.
    packages+=(libclang-rt-dev fonts-dejavu-core python3-selenium)
    if [ "${QO_INSTALL_ALL:-}" = 1 ]; then
        packages+=("${platform_packages[@]}")
    fi
    # A tool already there from elsewhere (npm with a Node.js of its own, say) is used
    # as it is: Debian's package of it may conflict with what brought it.
    for tool in "${test_tools[@]}"; do
        command -v "${tool%%:*}" >/dev/null || packages+=("${tool#*:}")
    done
fi
if [ "$what" = windows ]; then
    # mingw-w64 with the posix thread model, the host's Qt of the same version for moc,
    # rcc and uic, Wine for the tests (Liberation Serif stands in for Times New Roman
    # there; DejaVu Serif for the tests that draw with other faces) with its own fonts
    # (its Tahoma is the system's dialog face), NSIS and zip for the packages.
    packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix qt6-base-dev-tools wine
        wine64 fonts-wine nsis zip unzip xz-utils fonts-dejavu-core)
fi

# CMake 3.25 or newer, a C++ compiler, make and Qt 6 with Widgets and Test; for Windows
# also the cross compiler, Wine, makensis and zip.
toolchain_found() {
    if [ "$what" = windows ]; then
        local command
        for command in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres wine makensis \
            zip xz; do
            command -v "$command" >/dev/null || return 1
        done
    fi
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
        if ! command -v php >/dev/null || ! ls /usr/lib/postgresql/*/bin/pg_ctl >/dev/null 2>&1; then
            echo "dev.sh: PHP or PostgreSQL is not installed, so the learning platform's test is" \
                "skipped; it needs: ${platform_packages[*]}" >&2
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

# The Qt for Windows: the folder QO_QT_WINDOWS names, or the prebuilt archive unpacked
# where the windows preset looks for it.
windows_qt=()
if [ "$what" = windows ]; then
    if [ -n "${QO_QT_WINDOWS:-}" ]; then
        if [ ! -d "$QO_QT_WINDOWS/lib/cmake/Qt6" ]; then
            echo "dev.sh: QO_QT_WINDOWS=$QO_QT_WINDOWS holds no Qt 6 (no lib/cmake/Qt6)" >&2
            exit 1
        fi
        windows_qt=(-DCMAKE_PREFIX_PATH="$(cd "$QO_QT_WINDOWS" && pwd)")
    elif [ ! -d build-qt-windows/qt-6.4.2-windows-mingw64/lib/cmake/Qt6 ]; then
        archive=
        for candidate in ../shared/toolchains/qt-6.4.2-windows-mingw64.tar.xz \
            build-qt-windows/qt-6.4.2-windows-mingw64.tar.xz; do
            if [ -f "$candidate" ]; then
                archive=$candidate
                break
            fi
        done
        if [ -z "$archive" ]; then
            echo "dev.sh: no Qt for Windows found. Build one from Debian's qt6-base source" \
                "(about an hour on two cores), as root:" >&2
            echo "  packaging/windows/build-qt-windows.sh build-qt-windows/qt-6.4.2-windows-mingw64.tar.xz" >&2
            echo "then run $0 windows again; or set QO_QT_WINDOWS to the folder of another" \
                "Qt 6 for Windows built with mingw-w64." >&2
            exit 1
        fi
        mkdir -p build-qt-windows
        echo "dev.sh: unpacking $archive into build-qt-windows/"
        tar -xJf "$archive" -C build-qt-windows
    fi
fi

if [ "$what" = windows ]; then
    cmake --preset windows "${windows_qt[@]}"
else
    cmake --preset default
fi
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
windows)
    cmake --build --preset windows
    # The tests run as .exe under Wine, in build-windows/wineprefix.
    ctest --preset windows
    # The portable zip and the installer: build-windows/qo-kviz-<version>-windows-x64.zip, .exe
    (cd build-windows && cpack -G ZIP && cpack -G NSIS)
    ;;
esac
