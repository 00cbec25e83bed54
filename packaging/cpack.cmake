# The Debian package, made from the install rules: cpack -G DEB in the build folder;
# for Windows the zip and the installer (windows/cpack.cmake).
set(CPACK_PACKAGE_NAME ${QO_DATA_NAME})
set(CPACK_PACKAGE_VENDOR "the [qo] Kviz authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "[qo] Kviz i [qo] editor pitanja")
set(CPACK_PACKAGE_DESCRIPTION
    "Kviz sa pitanjima o [qo] zajednici i editor u kome se pitanja pisu.")
if(WIN32)
    # The zip and the installer for Windows.
    include(${CMAKE_CURRENT_LIST_DIR}/windows/cpack.cmake)
else()
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_STRIP_FILES ON)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the [qo] Kviz authors <kviz@qo.invalid>")
    set(CPACK_DEBIAN_PACKAGE_SECTION games)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), fonts-liberation")
    # Their triggers make the set files' type and its programs known to the desktop.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
endif()
include(CPack)
