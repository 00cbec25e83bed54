# Cross-compiling for 64-bit Windows on Linux with mingw-w64's GCC (Debian's
# g++-mingw-w64-x86-64-posix: the posix thread model, which std::thread and Qt need).
#
# The Qt for Windows is found through CMAKE_PREFIX_PATH (the "windows" preset points it
# at the copy dev.sh unpacks); Qt's host tools (moc, rcc, uic) come from the build
# machine's own Qt of the same version, QT_HOST_PATH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QO_MINGW_TRIPLET}-windres)

# Libraries, headers and CMake packages come only from the MinGW sysroot and the Qt
# for Windows; programs (the host's moc, wine, makensis) only from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QO_MINGW_TRIPLET} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Try-compiles see the same Qt.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CMAKE_PREFIX_PATH)

if(NOT QT_HOST_PATH)
    set(QT_HOST_PATH /usr CACHE PATH "The build machine's Qt, for moc, rcc and uic")
endif()
if(NOT QT_HOST_PATH_CMAKE_DIR)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake
        CACHE PATH "The CMake packages of the build machine's Qt")
endif()

