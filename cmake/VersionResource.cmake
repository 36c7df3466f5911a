# lumarel_version_resource(TARGET FILE_NAME DESCRIPTION): gives a shipped
# program or DLL its version resource (VERSIONINFO), which Explorer's Details
# tab, installers and crash reports read: file and product version from the
# project's version, the product name, DESCRIPTION and the file's own name.
function(lumarel_version_resource target file_name description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(LUMAREL_FILE_TYPE VFT_APP)
    else()
        set(LUMAREL_FILE_TYPE VFT_DLL)
    endif()
    set(LUMAREL_FILE_NAME "${file_name}")
    set(LUMAREL_FILE_DESCRIPTION "${description}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
