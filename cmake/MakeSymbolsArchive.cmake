# Run by cpack after the release archive (CPACK_POST_BUILD_SCRIPTS, see
# Symbols.cmake): installs the Symbols component into a staging folder and
# zips it, under one folder of the archive's name, into cpack's output folder.
set(name ${CPACK_LUMAREL_SYMBOLS_NAME})
set(staging ${CPACK_TOPLEVEL_DIRECTORY}/symbols)
file(REMOVE_RECURSE ${staging})
execute_process(
    COMMAND ${CPACK_LUMAREL_CMAKE_COMMAND} --install ${CPACK_LUMAREL_BUILD_DIR}
            --component Symbols --prefix ${staging}/${name}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(
    COMMAND ${CPACK_LUMAREL_CMAKE_COMMAND} -E tar cf ${CPACK_PACKAGE_DIRECTORY}/${name}.zip
            --format=zip ${name}
    WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "CPack: - symbols archive: ${CPACK_PACKAGE_DIRECTORY}/${name}.zip generated.")
