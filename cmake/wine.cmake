# Runs the Windows programs of a cross build under Wine: CMAKE_CROSSCOMPILING_EMULATOR is
# a script that sets up the build's Wine prefix and finds the Qt DLLs and plugins.
find_program(QO_WINE NAMES wine wine64 REQUIRED)
set(QO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "The Wine prefix the build's programs run in")

# The Qt for Windows' folder, from where its CMake package was found.
get_filename_component(qo_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
function(qo_windows_path out path)
    string(REPLACE "/" "\\" path "${path}")
    set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()
qo_windows_path(QO_QT_BIN_WINDOWS "${qo_qt_prefix}/bin")
qo_windows_path(QO_QT_PLUGINS_WINDOWS "${qo_qt_prefix}/plugins")

configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
# The tests know they run under Wine (tests/CMakeLists.txt).
set(QO_UNDER_WINE ON)
