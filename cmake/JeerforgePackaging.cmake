# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

# `cpack -G DEB` in the build folder makes a Debian package of the install.
set(JEERFORGE_COPYRIGHT_SOURCE "")
if(JEERFORGE_HOMEPAGE)
    set(JEERFORGE_COPYRIGHT_SOURCE "Source: ${JEERFORGE_HOMEPAGE}\n")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${CMAKE_CURRENT_BINARY_DIR}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/jeerforge)
# Debian keeps the changelog and manual page compressed.
foreach(source ${CMAKE_CURRENT_BINARY_DIR}/changelog ${PROJECT_SOURCE_DIR}/packaging/jeerforge.1)
    get_filename_component(name ${source} NAME)
    add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz
        COMMAND gzip -9 -n -c ${source} > ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz
        DEPENDS ${source})
endforeach()
add_custom_target(jeerforge_compressed_docs ALL
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${CMAKE_CURRENT_BINARY_DIR}/jeerforge.1.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/jeerforge)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/jeerforge.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME jeerforge)
set(CPACK_PACKAGE_VENDOR "The Jeerforge developers")
set(CPACK_PACKAGE_CONTACT ${JEERFORGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write random insults out of words you type in")
set(CPACK_PACKAGE_DESCRIPTION
    "Jeerforge asks for five sentence beginnings, twenty verbs and twenty nouns,\n"
    "then forges them into random insults, one per press of Next Insult. It\n"
    "records up to 100 insults and prints the whole batch on the default printer.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL ${JEERFORGE_HOMEPAGE})
set(CPACK_STRIP_FILES ON)
set(CPACK_JEERFORGE_STRIP ${CMAKE_STRIP})
set(CPACK_JEERFORGE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/JeerforgePackageFiles.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/JeerforgePackageFiles.cmake)
# Folders the install makes on the way are the same whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcups, libpangocairo and libqpdf are opened at run time, so shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libcups2 (>= 2.2), libpangocairo-1.0-0 (>= 1.44), ${JEERFORGE_QPDF_PACKAGE} (>= 11.3), fonts-dejavu-core | fonts-freefont-ttf")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client, qt6-wayland, fonts-noto-color-emoji")
set(CPACK_GENERATOR DEB)
include(CPack)
