# The Debian package that scripts/package builds with CPack: the install layout under /usr,
# the version of this project, library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorlix)
set(CPACK_PACKAGE_VENDOR Dorvane)
set(CPACK_PACKAGE_CONTACT "Dorvane support <support@dorvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn Word documents into standalone Windows executables")
set(CPACK_PACKAGE_DESCRIPTION
    "Dorvane Quorlix turns Microsoft Word documents (.doc, .docx) into standalone
Windows programs that present the document with its own window title and size,
logo images, a watermark, embedded fonts and an icon. It provides the desktop
program quorlix and the command-line tool quorlix-cli.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quorlix)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The executables are stripped as Debian strips them, and the copyright file, the changelog, the
# manual's doc-base registration and lintian's overrides added, by package_files.cmake in the
# staging folder.
set(CPACK_STRIP_FILES OFF)
find_program(QUORLIX_STRIP NAMES strip REQUIRED)
set(CPACK_QUORLIX_STRIP ${QUORLIX_STRIP})
set(CPACK_QUORLIX_DEBIAN_FILES ${CMAKE_SOURCE_DIR}/dist/debian)
set(CPACK_QUORLIX_RELEASE_DATE ${QUORLIX_RELEASE_DATE})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_files.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.dorvane.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The windows are laid out for Liberation Sans, which the program asks for by name.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# The help file opens in whatever viewer the desktop has for it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xchm | kchmviewer")

include(CPack)
