# How the Windows binaries are compiled and linked so that what ships is
# optimised, hardened, reproducible and still readable in a crash report.

# Every build carries DWARF debug information; lumarel_split_debug_info moves
# it out of the shipped files into <file>.debug beside them.
add_compile_options(-g)

# Hardening that Windows applies when the headers ask for it: loaded at a
# random base (ASLR, over the full 64-bit range on 64-bit), data pages not
# executable (DEP); and stack buffer overruns caught before a return. The stack protector's runtime (libssp) is linked in statically like
# the rest of the runtime, so no new DLL ships.
add_compile_options(-fstack-protector-strong)
add_link_options(-fstack-protector-strong -Wl,--dynamicbase -Wl,--nxcompat)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
endif()

# The same sources give the same bytes in any folder: no link time stamp in
# the headers, and in the release build the paths of the sources and of the
# build folder (in the debug information and in __FILE__) written as
# /lumarel/... and /lumarel/build/... (in gdb: set substitute-path /lumarel
# <your checkout>). The build folder's mapping comes last so that it wins for
# a build folder inside the sources. A debug build keeps the real paths.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options(
    $<$<CONFIG:Release>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=/lumarel>
    $<$<CONFIG:Release>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=/lumarel/build>)

# lumarel_split_debug_info(TARGET): after each link, moves the debug
# information of TARGET's file into <file>.debug beside it and links the file
# to it (see SplitDebugInfo.cmake). Called where TARGET is made.
function(lumarel_split_debug_info target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DOBJCOPY=${CMAKE_OBJCOPY} -DFILE=$<TARGET_FILE:${target}>
                -P ${PROJECT_SOURCE_DIR}/cmake/SplitDebugInfo.cmake
        VERBATIM)
endfunction()
