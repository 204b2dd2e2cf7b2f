# What an installation holds besides the programs and their help (src/CMakeLists.txt): the
# manual pages, the AppStream metadata, the systemd user unit and the package's documents, and
# how `cpack -G DEB` makes a Debian package of it all.

# Moved on together with the project's version.
set(ENROLIX_RELEASE_DATE 2026-12-07)
set(ENROLIX_CHANGELOG_DATE "Mon, 07 Dec 2026 00:00:00 +0000")

# Compressed without a time stamp, as Debian wants its manual pages and changelogs.
set(ENROLIX_COMPRESSED)
foreach(page enrolix.1 enrolix-attendant.1 changelog)
    if(page STREQUAL "changelog")
        set(source ${PROJECT_SOURCE_DIR}/data/changelog.in)
    else()
        set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.in)
    endif()
    configure_file(${source} ${PROJECT_BINARY_DIR}/install/${page} @ONLY)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/install/${page}.gz
        COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/install/${page}
        DEPENDS ${PROJECT_BINARY_DIR}/install/${page})
    list(APPEND ENROLIX_COMPRESSED ${PROJECT_BINARY_DIR}/install/${page}.gz)
endforeach()
add_custom_target(enrolix_install_documents ALL DEPENDS ${ENROLIX_COMPRESSED})

install(FILES ${PROJECT_BINARY_DIR}/install/enrolix.1.gz ${PROJECT_BINARY_DIR}/install/enrolix-attendant.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
configure_file(${PROJECT_SOURCE_DIR}/data/org.enrolix.enrolix.metainfo.xml.in
    ${PROJECT_BINARY_DIR}/install/org.enrolix.enrolix.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/install/org.enrolix.enrolix.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright ${PROJECT_BINARY_DIR}/install/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/enrolix)

# The unit names the program under the prefix of the installation itself, known only when it
# runs: /usr for the package, ~/.local for `cmake --install build --prefix ~/.local`.
install(CODE "set(ENROLIX_UNIT_TEMPLATE \"${PROJECT_SOURCE_DIR}/data/enrolix-attendant.service.in\")
    set(ENROLIX_UNIT \"${PROJECT_BINARY_DIR}/install/enrolix-attendant.service\")
    set(ENROLIX_BINDIR_NAME \"${CMAKE_INSTALL_BINDIR}\")")
install(CODE [[
    # A packaged unit goes where systemd looks for the distribution's; under any other prefix it
    # goes to the data folder, which systemd --user searches too (~/.local/share/systemd/user).
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
        set(unit_folder "${CMAKE_INSTALL_PREFIX}/lib/systemd/user")
    else()
        set(unit_folder "${CMAKE_INSTALL_PREFIX}/share/systemd/user")
    endif()
    set(ENROLIX_BINDIR "${CMAKE_INSTALL_PREFIX}/${ENROLIX_BINDIR_NAME}")
    configure_file("${ENROLIX_UNIT_TEMPLATE}" "${ENROLIX_UNIT}" @ONLY)
    file(INSTALL "${ENROLIX_UNIT}" DESTINATION "${unit_folder}")
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME enrolix)
set(CPACK_PACKAGE_VENDOR "The Enrolix developers")
set(CPACK_PACKAGE_CONTACT "The Enrolix developers <enrolix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "course sign-up by e-mail for training coordinators")
# One line of the package's description to a line of this text.
set(CPACK_PACKAGE_DESCRIPTION "Enrolix is the desktop tool of a training coordinator. Each event gets a
registration page whose links send a request mail; an automated attendant
reads those mails from an IMAP or Maildir mailbox, keeps each event's
sign-up list as a plain-text file and answers every request by mail.

The attendant also runs without the desktop program, as the command
enrolix-attendant or as a systemd user service.")
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries linked give the dependencies; the windows need a Qt platform plugin besides, and
# the keyring library loads the Secret Service client (libsecret) only when it runs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libsecret-1-0")
# Where the password and the sign-in are kept: the desktop's keyring.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnome-keyring | kwalletmanager")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libsecret-tools, getmail6")
set(CPACK_STRIP_FILES ON)
# The installation runs with the prefix /usr itself, so the unit names /usr/bin.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
include(CPack)
