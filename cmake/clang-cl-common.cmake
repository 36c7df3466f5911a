# The part of the clang-cl toolchain files that both architectures share.
# Expects LUMAREL_MSVC_TARGET (the clang target triple) and
# LUMAREL_MINGW_ROOT (where the system DLLs' import libraries are).
set(CMAKE_SYSTEM_NAME Windows)
if(LUMAREL_MSVC_TARGET MATCHES "^x86_64")
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
    set(CMAKE_SYSTEM_PROCESSOR X86)
endif()

# Debian names the LLVM tools with their version; take the plain name first.
find_program(LUMAREL_CLANG_CL NAMES clang-cl clang-cl-16 clang-cl-15 clang-cl-14 REQUIRED)
find_program(LUMAREL_LLD_LINK NAMES lld-link lld-link-16 lld-link-15 lld-link-14 REQUIRED)
find_program(LUMAREL_LLVM_LIB NAMES llvm-lib llvm-lib-16 llvm-lib-15 llvm-lib-14 REQUIRED)
find_program(LUMAREL_LLVM_RC NAMES llvm-rc llvm-rc-16 llvm-rc-15 llvm-rc-14 REQUIRED)
find_program(LUMAREL_LLVM_MT NAMES llvm-mt llvm-mt-16 llvm-mt-15 llvm-mt-14 REQUIRED)

set(CMAKE_C_COMPILER ${LUMAREL_CLANG_CL})
set(CMAKE_CXX_COMPILER ${LUMAREL_CLANG_CL})
set(CMAKE_C_COMPILER_TARGET ${LUMAREL_MSVC_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${LUMAREL_MSVC_TARGET})
set(CMAKE_LINKER ${LUMAREL_LLD_LINK})
set(CMAKE_AR ${LUMAREL_LLVM_LIB})
set(CMAKE_RC_COMPILER ${LUMAREL_LLVM_RC})
set(CMAKE_MT ${LUMAREL_LLVM_MT})

# Without MSVC's C runtime libraries CMake cannot link its test programs.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# In place of the SDK's kernel32.lib, user32.lib and gdi32.lib.
set(CMAKE_C_STANDARD_LIBRARIES
    "${LUMAREL_MINGW_ROOT}/lib/libkernel32.a ${LUMAREL_MINGW_ROOT}/lib/libuser32.a ${LUMAREL_MINGW_ROOT}/lib/libgdi32.a"
    CACHE STRING "The system DLLs' import libraries")
set(CMAKE_CXX_STANDARD_LIBRARIES "${CMAKE_C_STANDARD_LIBRARIES}"
    CACHE STRING "The system DLLs' import libraries")

# Programs built here run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
