#!/usr/bin/env bash
# Builds the shipped files of one Windows build folder a second time, from a
# copy of the sources in another folder, into a build folder of another name,
# and checks that Lumarel.dll and LumarelTest.exe come out byte for byte the
# same: no time stamps and no paths of either folder in them.
# Usage: tools/reproducible-test.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source="$PWD"

build="$(cd "${1:?usage: tools/reproducible-test.sh BUILD_DIR}" && pwd)"
source tools/build-folder.sh
toolchain="$(build_toolchain)"

# Only the release build writes its paths relative to the sources; a debug
# build keeps the real ones for the debugger (CTest counts 77 as skipped).
build_type="$(cache_value CMAKE_BUILD_TYPE)"
if [ "$build_type" != Release ]; then
    echo "reproducible-test: skipped: a $build_type build keeps the paths of its folders"
    exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "reproducible-test: $*" >&2; exit 1; }

# The sources as the build saw them: tracked files and new ones, without
# build folders or anything else ignored.
mkdir "$work/sources"
if git -C "$source" rev-parse --git-dir >/dev/null 2>&1; then
    git -C "$source" ls-files -z --cached --others --exclude-standard \
        | while IFS= read -r -d '' file; do [ -f "$file" ] && printf '%s\0' "$file"; done \
        | tar -c --null -T - | tar -x -C "$work/sources"
else
    tar -c --exclude='./build*' . | tar -x -C "$work/sources"
fi

echo "== second build of $(basename "$build") in $work/other-build"
cmake -S "$work/sources" -B "$work/other-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
cmake --build "$work/other-build" -j2 --target Lumarel LumarelTest >/dev/null

for file in Lumarel.dll LumarelTest.exe; do
    cmp "$build/bin/$file" "$work/other-build/bin/$file" \
        || fail "$file differs between $build and a build of the same sources elsewhere"
    echo "$file: identical ($(stat -c %s "$build/bin/$file") bytes)"
    # The debug link carries the symbol file's checksum, so the symbol files
    # are the same too when the binaries are.
    cmp -s "$build/bin/$file.debug" "$work/other-build/bin/$file.debug" \
        || fail "$file.debug differs, yet $file, which carries its checksum, does not"
done
