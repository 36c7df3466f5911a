# The package a host program builds against, and its release archive.
#
# `cmake --install` lays out
#   bin/Lumarel.dll, bin/LumarelTest.exe
#   include/IPlayerControl.h
#   lib/Lumarel.lib                            the import library for MSVC linkers
#   lib/libLumarel.dll.a                       the import library for MinGW
#   lib/cmake/Lumarel/LumarelConfig.cmake      find_package(Lumarel) gives
#   lib/cmake/Lumarel/LumarelConfigVersion.cmake   Lumarel::Lumarel
# and `cpack` zips that tree with the README and the licence into
# Lumarel-<version>-win32.zip or -win64.zip. Test programs are not installed.
include(CMakePackageConfigHelpers)

install(TARGETS Lumarel LumarelTest
        RUNTIME DESTINATION bin
        ARCHIVE DESTINATION lib)
install(FILES ${PROJECT_SOURCE_DIR}/playercontrol/IPlayerControl.h DESTINATION include)
install(FILES ${LUMAREL_MSVC_IMPLIB} DESTINATION lib)

# The config names the DLL and its import library as the build made them.
set(config_dir ${PROJECT_BINARY_DIR}/package)
file(GENERATE OUTPUT ${config_dir}/LumarelConfig.cmake
     INPUT ${PROJECT_SOURCE_DIR}/cmake/LumarelConfig.cmake.in)
# A host asking for 2.x takes any 2.y with y >= x; the version file also refuses a
# package of the other architecture (a 32-bit DLL for a 64-bit host).
write_basic_package_version_file(${config_dir}/LumarelConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${config_dir}/LumarelConfig.cmake ${config_dir}/LumarelConfigVersion.cmake
        DESTINATION lib/cmake/Lumarel)

# The README, the pages it links to and the licence go into the archive
# only, not into a prefix.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION . COMPONENT Release EXCLUDE_FROM_ALL)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION docs
        COMPONENT Release EXCLUDE_FROM_ALL)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(architecture win64)
else()
    set(architecture win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Lumarel)
set(CPACK_PACKAGE_VENDOR "The Lumarel developers")
set(CPACK_PACKAGE_FILE_NAME Lumarel-${PROJECT_VERSION}-${architecture})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# One archive holding the installed tree and the Release component.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified Release)
# Unpacking gives one folder, Lumarel-<version>-<architecture>, the prefix.
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
