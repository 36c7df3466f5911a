# Moves the debug information of a linked Windows file into <file>.debug:
#   cmake -DOBJCOPY=... -DFILE=path/Lumarel.dll -P SplitDebugInfo.cmake
# The shipped file keeps no symbols and no .debug_* sections, only a
# .gnu_debuglink naming Lumarel.dll.debug (with its checksum), which gdb and
# addr2line follow to the file beside it.
#
# objcopy writes the current time into a PE header it rewrites, unless
# SOURCE_DATE_EPOCH gives one: 0, the linker's own (no time stamp), unless the
# environment sets another, so that a build gives the same bytes every time.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} 0)
endif()
execute_process(COMMAND ${OBJCOPY} --only-keep-debug ${FILE} ${FILE}.debug
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${OBJCOPY} --strip-all --add-gnu-debuglink=${FILE}.debug ${FILE}
                COMMAND_ERROR_IS_FATAL ANY)
