# The symbols archive, Lumarel-<version>-<architecture>-symbols.zip, which
# cpack makes beside the release archive: the .debug files of Lumarel.dll and
# LumarelTest.exe under bin/, so that unpacking both archives into one folder
# puts each symbol file next to its binary, where debuggers look for it.
# The symbols are an install component of their own, left out of a plain
# install and of the release archive.
install(FILES $<TARGET_FILE:Lumarel>.debug $<TARGET_FILE:LumarelTest>.debug
        DESTINATION bin COMPONENT Symbols EXCLUDE_FROM_ALL)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(symbols_architecture win64)
else()
    set(symbols_architecture win32)
endif()
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/MakeSymbolsArchive.cmake)
set(CPACK_LUMAREL_CMAKE_COMMAND ${CMAKE_COMMAND})
set(CPACK_LUMAREL_BUILD_DIR ${PROJECT_BINARY_DIR})
set(CPACK_LUMAREL_SYMBOLS_NAME Lumarel-${PROJECT_VERSION}-${symbols_architecture}-symbols)
