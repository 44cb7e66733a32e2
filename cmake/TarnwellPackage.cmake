# Installing and packaging the program.
#
# Linux: `cmake --install` puts the program into bin/ and its window module into lib/tarnwell/, its manual
# page (made from README.md) into share/man/man1/, the desktop entry and icon where desktops look for them,
# the README into share/doc/tarnwell/ and the examples into share/tarnwell/examples/; CPack makes a Debian
# package of that. Windows (the MinGW build): tarnwell.exe carries version information, and CPack makes a zip of the
# stripped program, the README and the examples.
#
# Installing never builds: build the program first (the Makefile's `package` target does), so that a
# package does not wait for every test to compile.

# The version is the one the About page shows ("Tarnwell v 1.09"), so the two cannot differ.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/form/form_controls.cpp about_line REGEX "\"Tarnwell v [0-9]+\\.[0-9]+\"")
if(NOT about_line MATCHES "Tarnwell v ([0-9]+)\\.([0-9]+)")
    message(FATAL_ERROR "No \"Tarnwell v <major>.<minor>\" line in src/form/form_controls.cpp for the version")
endif()
set(TARNWELL_VERSION "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
set(TARNWELL_VERSION_MAJOR "${CMAKE_MATCH_1}")
math(EXPR TARNWELL_VERSION_MINOR "${CMAKE_MATCH_2}")  # "09" is 9

set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(GNUInstallDirs)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/tarnwell)
# The examples are data to copy, not documentation: minimal systems leave share/doc out when installing.
set(examplesdir ${CMAKE_INSTALL_DATADIR}/tarnwell/examples)

if(WIN32)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/tarnwell.rc.in ${CMAKE_BINARY_DIR}/tarnwell.rc @ONLY)
    target_sources(tarnwell PRIVATE ${CMAKE_BINARY_DIR}/tarnwell.rc)

    install(TARGETS tarnwell RUNTIME DESTINATION .)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
    # The service stand-in is a shell script: of no use on Windows.
    install(FILES ${PROJECT_SOURCE_DIR}/examples/settings.ini ${PROJECT_SOURCE_DIR}/examples/registry.reg
            DESTINATION examples)
else()
    # The manual page, made from the README whenever either changes; the program depends on it, so any
    # build of the program leaves an installable tree.
    set(manpage ${CMAKE_BINARY_DIR}/tarnwell.1)
    add_custom_command(
        OUTPUT ${manpage} ${manpage}.gz
        COMMAND ${TARNWELL_PYTHON} ${PROJECT_SOURCE_DIR}/docs/make-manpage ${PROJECT_SOURCE_DIR}/README.md
                ${PROJECT_SOURCE_DIR}/docs/tarnwell.1.in ${TARNWELL_VERSION} ${manpage}
        COMMAND gzip -9 -n -c ${manpage} > ${manpage}.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/tarnwell.1.in
                ${PROJECT_SOURCE_DIR}/docs/make-manpage
        COMMENT "Making the manual page tarnwell.1 from README.md"
        VERBATIM)
    add_custom_target(tarnwell_manpage DEPENDS ${manpage} ${manpage}.gz)
    add_dependencies(tarnwell tarnwell_manpage)

    install(TARGETS tarnwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The window's module, where the program looks for it beside its own folder (app/window_module.h).
    if(TARGET tarnwell_window)
        install(TARGETS tarnwell_window LIBRARY DESTINATION lib/tarnwell)
    endif()
    install(FILES ${manpage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/tarnwell.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/tarnwell.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${docdir})
    install(FILES ${PROJECT_SOURCE_DIR}/examples/settings.ini ${PROJECT_SOURCE_DIR}/examples/registry.reg
            DESTINATION ${examplesdir})
    install(PROGRAMS ${PROJECT_SOURCE_DIR}/examples/wingate-service DESTINATION ${examplesdir})
endif()

set(CPACK_PACKAGE_NAME tarnwell)
set(CPACK_PACKAGE_VERSION ${TARNWELL_VERSION})
set(CPACK_PACKAGE_VENDOR "Tarnwell")
set(CPACK_PACKAGE_CONTACT "Tarnwell <tarnwell@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "traffic statistics, limits and traffic letters for WinGate proxy users")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Tarnwell reads the user database of a WinGate proxy server (the Windows registry, or a registry "
       "export file) and shows every user's traffic for the month with totals, mails each user his figures "
       "and the administrator the whole table, writes an HTML report, and edits per-user limits. It runs "
       "with a window or unattended from cron.")
set(CPACK_STRIP_FILES ON)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME tarnwell-${TARNWELL_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION net)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.example.com")
    # Dependencies from the libraries the program links (dpkg-shlibdeps).
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
