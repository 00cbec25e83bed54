# The Windows packages, made from the one-folder install (windows.cmake) in the build
# folder: cpack -G ZIP && cpack -G NSIS.
# - qo-kviz-VERSION-windows-x64.zip: a portable folder of that name; unzipped anywhere
#   writable, the sets live beside the programs.
# - qo-kviz-VERSION-windows-x64.exe: an installer into Program Files with Start-menu
#   entries and an uninstaller in the system's installed programs. The programs never
#   write there: a user's sets live in %LOCALAPPDATA%\qo-kviz, which uninstalling keeps.
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME ${QO_DATA_NAME}-${PROJECT_VERSION}-windows-x64)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${QO_DATA_NAME})
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${QO_DATA_NAME})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

# A 64-bit installer (the programs are 64-bit): Debian's makensis has the amd64 stubs,
# and it installs into the 64-bit Program Files with the 64-bit registry view.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "[qo] Kviz")
set(CPACK_NSIS_DISPLAY_NAME "[qo] Kviz")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/assets/images/icons/kviz.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/assets/images/icons/kviz.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME kviz.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# Start-menu entries under the programs' Serbian names, each with its program's icon.
# The NSIS lines are written as they are (no CMake escapes: VERBATIM_VARIABLES).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_NSIS_CREATE_ICONS_EXTRA [=[
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\[qo] Kviz.lnk" "$INSTDIR\kviz.exe" "" "$INSTDIR\kviz.exe" 0
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\[qo] editor pitanja.lnk" "$INSTDIR\editor-pitanja.exe" "" "$INSTDIR\editor-pitanja.exe" 0
]=])
set(CPACK_NSIS_DELETE_ICONS_EXTRA [=[
  Delete "$SMPROGRAMS\$MUI_TEMP\[qo] Kviz.lnk"
  Delete "$SMPROGRAMS\$MUI_TEMP\[qo] editor pitanja.lnk"
]=])

# The set files' type: a .dyr plays in the quiz on a double click ("Igraj", the default)
# and opens in the editor ("Uredi"), with the sets' own icon from kviz.exe. The verbs are
# the system's own "open" and "edit", shown under those names, so that a program that
# asks to open or to edit a file (as "start" does) finds them too. Written for
# all users where the installer runs as an administrator (SHCTX: HKLM\Software\Classes),
# else for the one user. A program that had .dyr before gets it back when the programs
# are uninstalled; the uninstaller removes exactly the keys and values written here. The
# portable zip registers nothing.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  ReadRegStr $0 SHCTX "Software\Classes\.dyr" ""
  StrCmp $0 "" qoSetTypeFree
  StrCmp $0 "qo-kviz.set" qoSetTypeFree
    WriteRegStr SHCTX "Software\Classes\qo-kviz.set" "PreviousProgId" $0
  qoSetTypeFree:
  WriteRegStr SHCTX "Software\Classes\.dyr" "" "qo-kviz.set"
  WriteRegStr SHCTX "Software\Classes\.dyr\OpenWithProgids" "qo-kviz.set" ""
  WriteRegStr SHCTX "Software\Classes\qo-kviz.set" "" "[qo] Kviz set pitanja"
  WriteRegStr SHCTX "Software\Classes\qo-kviz.set\DefaultIcon" "" "$INSTDIR\kviz.exe,-2"
  WriteRegStr SHCTX "Software\Classes\qo-kviz.set\shell" "" "open"
  WriteRegStr SHCTX "Software\Classes\qo-kviz.set\shell\open" "" "Igraj"
  WriteRegStr SHCTX "Software\Classes\qo-kviz.set\shell\open\command" "" '"$INSTDIR\kviz.exe" "%1"'
  WriteRegStr SHCTX "Software\Classes\qo-kviz.set\shell\edit" "" "Uredi"
  WriteRegStr SHCTX "Software\Classes\qo-kviz.set\shell\edit\command" "" '"$INSTDIR\editor-pitanja.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0x1000, p 0, p 0)'
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  ReadRegStr $0 SHCTX "Software\Classes\.dyr" ""
  StrCmp $0 "qo-kviz.set" 0 qoSetTypeTaken
    ReadRegStr $1 SHCTX "Software\Classes\qo-kviz.set" "PreviousProgId"
    StrCmp $1 "" 0 qoSetTypeBack
      DeleteRegValue SHCTX "Software\Classes\.dyr" ""
      Goto qoSetTypeTaken
    qoSetTypeBack:
      WriteRegStr SHCTX "Software\Classes\.dyr" "" $1
  qoSetTypeTaken:
  DeleteRegValue SHCTX "Software\Classes\.dyr\OpenWithProgids" "qo-kviz.set"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.dyr\OpenWithProgids"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.dyr"
  DeleteRegKey SHCTX "Software\Classes\qo-kviz.set"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0x1000, p 0, p 0)'
]=])
