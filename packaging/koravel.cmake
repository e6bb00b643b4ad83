# Koravel's version header, its install layout (programs, menu entry, icon, manual page,
# examples) and the Debian package that CPack builds from it.
include(GNUInstallDirs)

# The version header the programs include: #include "koravel_version.h".
configure_file(${CMAKE_CURRENT_LIST_DIR}/koravel_version.h.in
  ${PROJECT_BINARY_DIR}/generated/koravel_version.h @ONLY)
add_library(koravel_version INTERFACE)
target_include_directories(koravel_version INTERFACE ${PROJECT_BINARY_DIR}/generated)

# The programs install themselves (install(TARGETS) in src/app and src/cli) into bin/. The
# desktop program reads nothing at run time but its libraries and Qt's Portuguese translations
# (packages of their own, in Depends): what is installed here is for
# the desktop's menu, the manual and the user (the examples with their sources).
set(KORAVEL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/koravel)
if(KORAVEL_GUI)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/koravel.desktop
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/koravel.svg
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
endif()
# The manual page, compressed as Debian keeps them.
configure_file(${CMAKE_CURRENT_LIST_DIR}/koravel-cli.1.in ${PROJECT_BINARY_DIR}/generated/koravel-cli.1
  @ONLY)
file(ARCHIVE_CREATE OUTPUT ${PROJECT_BINARY_DIR}/generated/koravel-cli.1.gz
  PATHS ${PROJECT_BINARY_DIR}/generated/koravel-cli.1 FORMAT raw COMPRESSION GZip)
install(FILES ${PROJECT_BINARY_DIR}/generated/koravel-cli.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${KORAVEL_DOCDIR}/examples
  FILES_MATCHING PATTERN "*.txt" PATTERN "*.md")

# The Debian package: cpack -G DEB in the build folder (scripts/package.sh does it and checks
# the result). It installs under /usr.
set(CPACK_PACKAGE_NAME koravel)
set(CPACK_PACKAGE_VENDOR "Koravel")
set(CPACK_PACKAGE_CONTACT "Koravel developers <koravel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "predictions of double-cross and three-way maize hybrids")
# Lines of the long description as they go into the control file, English then Portuguese.
set(CPACK_PACKAGE_DESCRIPTION
  "Koravel predicts double-cross hybrids (i x j)(k x l) and three-way hybrids
(i x j) k of maize from the measured single crosses among n inbred lines,
each with the CV% among the single crosses it averages. The desktop
program's interface is in Brazilian Portuguese; koravel-cli runs the same
work in batch.

Koravel prediz híbridos duplos (i x j)(k x l) e triplos (i x j) k de milho
a partir das médias dos híbridos simples entre n linhagens, cada um com o
CV% entre os híbridos simples de que é a média. A interface do programa é
em português do Brasil; o koravel-cli faz o mesmo trabalho em lote.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Debian 12's packages of the libraries the programs link, named here rather than left to
# dpkg-shlibdeps, so that the list is what we say; scripts/package.sh checks that it covers
# everything dpkg-shlibdeps finds in the installed programs.
set(koravel_depends "libc6 (>= 2.35)" "libgcc-s1 (>= 3.4)" "libstdc++6 (>= 12)"
  "libxlsxwriter4 (>= 1.1.4)")
if(KORAVEL_GUI)
  list(APPEND koravel_depends "libqt6core6 (>= 6.4.2)" "libqt6gui6 (>= 6.4.2)"
    "libqt6widgets6 (>= 6.4.2)" "libqt6printsupport6 (>= 6.4.2)"
    "libqscintilla2-qt6-15 (>= 2.13.3)"
    # Qt's own dialogs and the report editor's menu in Portuguese, whatever the system's language.
    "qt6-translations-l10n" "libqscintilla2-qt6-l10n")
endif()
list(JOIN koravel_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
include(CPack)
