# Builds 64-bit Windows programs the way Visual Studio does; see
# clang-cl-i686.cmake.
set(LUMAREL_MSVC_TARGET x86_64-pc-windows-msvc)
set(LUMAREL_MINGW_ROOT /usr/x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/clang-cl-common.cmake)
