#!/usr/bin/env bash
# Builds the Qt for Windows the Windows build is made against: qtbase 6.4.2 from Debian 12's
# own source package (qt6-base 6.4.2+dfsg-10, the same version as the host's qt6-base-dev,
# whose moc/rcc/uic it uses), cross-compiled with mingw-w64's posix-thread g++, as shared
# DLLs. About an hour on two cores. Tablet input is left out: Debian's repacked source drops
# the Wintab headers the Windows plugin needs for it.
# Usage, as root (it installs its build tools with apt-get):
#   packaging/windows/build-qt-windows.sh build-qt-windows/qt-6.4.2-windows-mingw64.tar.xz
# ./dev.sh windows unpacks that archive when it finds no other Qt for Windows.
set -euo pipefail
mkdir -p "$(dirname "${1:?usage: $0 OUT.tar.xz}")"
out=$(readlink -f "$1")
work=$(mktemp -d)
apt-get install -y --no-install-recommends qt6-base-dev qt6-base-dev-tools cmake ninja-build \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix xz-utils dpkg-dev patch
# The source package, from a deb-src list of our own (the system's lists stay as they are).
mkdir -p "$work/apt/lists/partial"
cat >"$work/apt/src.sources" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
apt_src=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt" -o Dir::State::Lists="$work/apt/lists")
apt-get "${apt_src[@]}" update
(cd "$work" && apt-get "${apt_src[@]}" source --download-only qt6-base=6.4.2+dfsg-10)
tar -C "$work" -xf "$work"/qt6-base_6.4.2+dfsg.orig.tar.xz
# Qt 6.4.2's Windows plugin assumes OpenGL and Direct2D where it is built without them.
patch -d "$work/qtbase-everywhere-src-6.4.2" -p1 < "$(dirname "$(readlink -f "$0")")/qt-6.4.2-windows-no-opengl.patch"
cat >"$work/mingw.cmake" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
prefix="$work/qt-6.4.2-windows-mingw64"
cmake -S "$work/qtbase-everywhere-src-6.4.2" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_testlib=ON -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF \
    -DFEATURE_tabletevent=OFF
ninja -C "$work/build"
ninja -C "$work/build" install
# The MinGW runtime DLLs every program built with this compiler needs beside it.
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do
    cp "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)" "$prefix/bin/"
done
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$prefix/bin/"
x86_64-w64-mingw32-strip --strip-unneeded "$prefix"/bin/*.dll "$prefix"/plugins/*/*.dll
tar -C "$work" -cJf "$out" qt-6.4.2-windows-mingw64
echo "$out"
