# The programs for Windows: each .exe's icon and version information, and what an install
# holds. Included by packaging/CMakeLists.txt only when building for Windows; the
# zip and the installer are made from these rules (cpack.cmake).
#
# A Windows install keeps everything in one folder: the three programs, the Qt and
# compiler DLLs and plugins they load, the shipped sets beside them (tools/), the
# licence and a short README.txt.

# The authors and the copyright line, as the licence names them.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE qo_copyright REGEX "^Copyright " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright \\([cC]\\) [0-9]+ " "" qo_authors "${qo_copyright}")

# The version as the four numbers of a VERSIONINFO.
set(qo_version_numbers)
foreach(qo_part MAJOR MINOR PATCH TWEAK)
    if(PROJECT_VERSION_${qo_part} STREQUAL "")
        list(APPEND qo_version_numbers 0)
    else()
        list(APPEND qo_version_numbers ${PROJECT_VERSION_${qo_part}})
    endif()
endforeach()
string(REPLACE ";" "," qo_version_numbers "${qo_version_numbers}")

# Gives a program its resources, compiled by windres (CMAKE_RC_COMPILER): the version
# information, and the icon Explorer, the taskbar and the Start menu show when one is
# named (the .ico drawn by tools/drawassets). A further icon, when named, is the icon
# of the files the program opens, resource 2 ("kviz.exe,-2" in the registry).
function(qo_windows_resources target product description icon)
    set(document_icon "${ARGV4}")
    set(QO_RC_FILE ${target}.exe)
    set(QO_RC_NAME ${target})
    set(QO_RC_PRODUCT "${product}")
    set(QO_RC_DESCRIPTION "${description}")
    set(QO_RC_VERSION ${qo_version_numbers})
    set(QO_RC_COMPANY "${qo_authors}")
    set(QO_RC_COPYRIGHT "${qo_copyright}")
    set(QO_RC_ICON "")
    if(icon)
        set(QO_RC_ICON "1 ICON \"${icon}\"")
    endif()
    if(document_icon)
        string(APPEND QO_RC_ICON "\n2 ICON \"${document_icon}\"")
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/windows/${target}.rc)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/program.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    if(icon)
        set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND
                     PROPERTY OBJECT_DEPENDS ${icon} ${document_icon})
    endif()
endfunction()

set(qo_icons ${PROJECT_SOURCE_DIR}/assets/images/icons)
qo_windows_resources(kviz "[qo] Kviz" "[qo] Kviz" ${qo_icons}/kviz.ico ${qo_icons}/kviz-set.ico)
qo_windows_resources(editor-pitanja "[qo] editor pitanja" "[qo] editor pitanja"
                     ${qo_icons}/editor-pitanja.ico)
qo_windows_resources(dyr "dyr" "dyr - alat za skupove pitanja programa [qo] Kviz" "")

install(TARGETS kviz editor-pitanja RUNTIME DESTINATION .)

# The Qt DLLs and plugins the programs load, from the Qt they were built against: the
# Windows platform plugin and the native style. The pictures are PNG, which Qt reads
# without a plugin.
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
        DESTINATION .)
# A Qt with print support prints through its dialog (shared/printing_dialog.cpp).
if(TARGET Qt6::PrintSupport)
    install(FILES $<TARGET_FILE:Qt6::PrintSupport> DESTINATION .)
endif()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)

# MinGW's runtime, from the compiler that built the programs (MSVC's runtime is the
# system's own), stripped: Debian's copies carry debug information and symbols.
if(MINGW)
    foreach(qo_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${qo_dll}
                        OUTPUT_VARIABLE qo_dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${qo_dll_path}" OR NOT EXISTS "${qo_dll_path}")
            message(FATAL_ERROR "${CMAKE_CXX_COMPILER} names no ${qo_dll}")
        endif()
        set(qo_stripped ${CMAKE_CURRENT_BINARY_DIR}/windows/${qo_dll})
        execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${qo_stripped} ${qo_dll_path}
                        RESULT_VARIABLE qo_strip_result)
        if(NOT qo_strip_result EQUAL 0)
            message(FATAL_ERROR "${CMAKE_STRIP} cannot strip ${qo_dll_path}")
        endif()
        install(FILES ${qo_stripped} DESTINATION .)
    endforeach()
endif()

# The licence and the README, with Windows line ends for Notepad.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/windows/LICENSE.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in
               ${CMAKE_CURRENT_BINARY_DIR}/windows/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/windows/LICENSE.txt
              ${CMAKE_CURRENT_BINARY_DIR}/windows/README.txt
        DESTINATION .)
