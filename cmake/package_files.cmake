# Run by CPack once the program is installed into its staging folder, before the Debian package is
# made: strips the executables as Debian does (no .comment or .note sections), and adds what a
# Debian package carries besides: the copyright file and the changelog, compressed, in its
# documentation folder, the HTML manual's doc-base registration, and lintian's overrides.
file(GLOB_RECURSE staged_files LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file ${staged_files})
    file(READ "${file}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46" AND NOT IS_SYMLINK "${file}")
        execute_process(
            COMMAND ${CPACK_QUORLIX_STRIP} --remove-section=.comment --remove-section=.note "${file}"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()

set(share "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share")
set(doc "${share}/doc/quorlix")
# add_file(SOURCE DESTINATION): a plain file, readable by all.
function(add_file source destination)
    get_filename_component(folder "${destination}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${source}" "${destination}")
    file(CHMOD "${destination}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()
add_file("${CPACK_QUORLIX_DEBIAN_FILES}/copyright" "${doc}/copyright")
add_file("${CPACK_QUORLIX_DEBIAN_FILES}/doc-base" "${share}/doc-base/quorlix")
add_file("${CPACK_QUORLIX_DEBIAN_FILES}/lintian-overrides" "${share}/lintian/overrides/quorlix")

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
