# Run by CPack once the program is installed into its staging folder, before the Debian package is
# made: strips the executables as Debian does (no .comment or .note sections), and adds the
# package's copyright file and its changelog, compressed, to its documentation folder.
file(GLOB_RECURSE staged_files LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file ${staged_files})
    file(READ "${file}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46" AND NOT IS_SYMLINK "${file}")
        execute_process(
            COMMAND ${CPACK_QUORLIX_STRIP} --remove-section=.comment --remove-section=.note "${file}"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()

set(doc "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/quorlix")
file(MAKE_DIRECTORY "${doc}")
file(COPY_FILE "${CPACK_QUORLIX_COPYRIGHT}" "${doc}/copyright")
file(CHMOD "${doc}/copyright" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# One entry for this version, dated with its release.
execute_process(COMMAND date -u -R -d "${CPACK_QUORLIX_RELEASE_DATE}"
    OUTPUT_VARIABLE released OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(changelog "${CPACK_TEMPORARY_DIRECTORY}/changelog.Debian")
file(WRITE "${changelog}"
    "quorlix (${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}) unstable; urgency=medium\n"
    "\n"
    "  * Release ${CPACK_PACKAGE_VERSION} of Dorvane Quorlix.\n"
    "\n"
    " -- ${CPACK_PACKAGE_CONTACT}  ${released}\n")
execute_process(COMMAND gzip -9n "${changelog}" COMMAND_ERROR_IS_FATAL ANY)
file(RENAME "${changelog}.gz" "${doc}/changelog.Debian.gz")
file(CHMOD "${doc}/changelog.Debian.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
