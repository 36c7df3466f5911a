#!/usr/bin/env bash
# Sets up what is missing, builds every tier and runs every test:
#   native: the platform-free logic, built with clang under the address and
#           undefined-behaviour sanitizers, and the end-to-end tests that
#           drive LumarelTest.exe under Wine from the X side, for both builds;
#   windows: the real binaries under Wine on a virtual display, the 32-bit
#           build (natively or under qemu-i386, as tools/setup.sh found) and
#           the 64-bit build, both the optimised release build that ships
#           (with the checks of its flags, symbols and reproducibility);
#   package: the release and symbols archives of both builds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/setup.sh

# Build folders (for a second checkout or a parallel run, set these).
native="${LUMAREL_NATIVE_BUILD_DIR:-build-native}"
cross="${LUMAREL_BUILD_DIR:-build}"
cross64="${LUMAREL_BUILD64_DIR:-build64}"

# The Windows tiers are built first: the native end-to-end tests drive the
# cross-built LumarelTest.exe and Lumarel.dll under Wine. They are the release
# build, what ships (a plain configure gives it; named here so that a folder
# once configured for debugging is switched back).
echo "== building the 32-bit windows tier (release)"
cmake -S . -B "$cross" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build "$cross" -j"$(nproc)"

echo "== building the 64-bit windows tier (release)"
cmake -S . -B "$cross64" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build "$cross64" -j"$(nproc)"

echo "== building the native tier"
cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    -DLUMAREL_WINDOWS_BIN="$PWD/$cross/bin" -DLUMAREL_WINDOWS_BIN64="$PWD/$cross64/bin"
cmake --build "$native" -j"$(nproc)"

echo "== native tier (with the end-to-end tests of LumarelTest.exe, 32-bit and 64-bit)"
ctest --test-dir "$native" --output-on-failure

echo "== fuzzing the sidecar reader (60 s)"
bash tools/fuzz-sidecar.sh 60 "$native"

echo "== windows tier, 32-bit build"
ctest --test-dir "$cross" --output-on-failure

echo "== windows tier, 64-bit build"
ctest --test-dir "$cross64" --output-on-failure

echo "== package, 32-bit build: install, a host built against it under Wine, release archive"
bash tools/package-test.sh "$cross"

echo "== package, 64-bit build: install, a host built against it under Wine, release archive"
bash tools/package-test.sh "$cross64"
