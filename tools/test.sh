#!/usr/bin/env bash
# Sets up what is missing, builds both tiers and runs every test:
#   native: the platform-free logic, built with clang under the address and
#           undefined-behaviour sanitizers;
#   windows: the real 32-bit binaries under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/setup.sh

echo "== native tier"
cmake -S . -B build-native -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake --build build-native -j"$(nproc)"
ctest --test-dir build-native --output-on-failure

echo "== fuzzing the sidecar reader (60 s)"
bash tools/fuzz-sidecar.sh 60 build-native

echo "== windows tier"
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure
