# Builds 32-bit Windows programs the way Visual Studio does: the MSVC C++ ABI
# (clang-cl) and an MSVC linker (lld-link). This machine has no Windows SDK
# and no MSVC libraries, so programs built with it bring their own
# declarations and start without a C runtime; the system DLLs' import
# libraries are MinGW-w64's, which lld-link reads as it reads the SDK's.
set(LUMAREL_MSVC_TARGET i686-pc-windows-msvc)
set(LUMAREL_MINGW_ROOT /usr/i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/clang-cl-common.cmake)
