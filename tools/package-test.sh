#!/usr/bin/env bash
# Checks the package of one built Windows build folder as a host developer
# and a user meet it:
#   1. installs the build into a temporary prefix and checks the tree;
#   2. checks that the installed Lumarel.dll carries a version resource;
#   3. makes the release archive with cpack and checks its listing, and the
#      symbols archive beside it: its listing, the archived binaries against
#      the tested ones, and a crash address read back with the symbols;
#   4. builds tests/package-host against the prefix (find_package, with the
#      build's toolchain file), checks that the package refuses a host of
#      the other architecture, and runs both host programs under Wine;
#   5. builds tests/msvc-host against the prefix the way Visual Studio would
#      (find_package with clang-cl, linked by lld-link through Lumarel.lib or
#      loading the DLL by name) and runs both under Wine.
# Usage: tools/package-test.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build="$(cd "${1:?usage: tools/package-test.sh BUILD_DIR}" && pwd)"
source tools/build-folder.sh
toolchain="$(build_toolchain)"
version="$(sed -n 's/^project(Lumarel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

fail() { echo "package-test: $*" >&2; exit 1; }

# Exactly these files, in the prefix and (with the README and the licence,
# under one folder) in the archive.
expected_tree="bin/Lumarel.dll
bin/LumarelTest.exe
include/IPlayerControl.h
lib/Lumarel.lib
lib/cmake/Lumarel/LumarelConfig.cmake
lib/cmake/Lumarel/LumarelConfigVersion.cmake
lib/libLumarel.dll.a"

same_lists() { # NAME EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        diff <(echo "$2") <(echo "$3") >&2 || true
        fail "$1 differs from what is expected (- expected, + found)"
    fi
}

echo "== package of $build: install"
cmake --install "$build" --prefix "$prefix" >/dev/null
same_lists "the installed tree" "$expected_tree" \
    "$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"

# The architecture the DLL really is names the archive.
case "$(objdump -f "$prefix/bin/Lumarel.dll")" in
    *pei-i386*) arch=win32; bits=32; other_toolchain=$PWD/cmake/mingw-x86_64.cmake
                msvc_toolchain=$PWD/cmake/clang-cl-i686.cmake ;;
    *pei-x86-64*) arch=win64; bits=64; other_toolchain=$PWD/cmake/mingw-i686.cmake
                  msvc_toolchain=$PWD/cmake/clang-cl-x86_64.cmake ;;
    *) fail "Lumarel.dll is not a PE file of a known architecture" ;;
esac

echo "== version resource (objdump -p, resource type 0x10 = RT_VERSION)"
for file in bin/Lumarel.dll bin/LumarelTest.exe; do
    objdump -p "$prefix/$file" \
        | sed -n '/The .rsrc Resource Directory section/,/Resources start/p' \
        | grep -E '^[0-9a-f]+   Entry: ID: 0x000010,' \
        || fail "$file has no version resource"
done

echo "== release archive"
cpack --config "$build/CPackConfig.cmake" -B "$work/archive" >/dev/null
name="Lumarel-$version-$arch"
[ -f "$work/archive/$name.zip" ] || fail "cpack made no $name.zip: $(ls "$work/archive")"
same_lists "$name.zip" \
    "$(printf '%s\n' LICENSE README.md $(cd docs && ls | sed 's|^|docs/|') "$expected_tree" \
        | sed "s|^|$name/|" | LC_ALL=C sort)" \
    "$(cmake -E tar tf "$work/archive/$name.zip" | grep -v '/$' | LC_ALL=C sort)"
echo "$name.zip: $(cmake -E tar tf "$work/archive/$name.zip" | grep -vc '/$') files as expected"

echo "== symbols archive: the tested binaries, and their symbols beside them"
symbols="$name-symbols"
[ -f "$work/archive/$symbols.zip" ] || fail "cpack made no $symbols.zip: $(ls "$work/archive")"
same_lists "$symbols.zip" \
    "$(printf '%s\n' bin/Lumarel.dll.debug bin/LumarelTest.exe.debug | sed "s|^|$symbols/|")" \
    "$(cmake -E tar tf "$work/archive/$symbols.zip" | grep -v '/$' | LC_ALL=C sort)"
# Both archives unpacked into one folder, as a user reading a crash report does.
mkdir "$work/unpacked"
for archive in "$name" "$symbols"; do
    (cd "$work/unpacked" && cmake -E tar xf "$work/archive/$archive.zip")
    cp -r "$work/unpacked/$archive/." "$work/unpacked/together"
done
for file in Lumarel.dll LumarelTest.exe; do
    cmp "$build/bin/$file" "$work/unpacked/together/bin/$file" \
        || fail "the archive's $file is not the one the build tested"
done
bash tools/symbols-test.sh "$(cache_value CMAKE_OBJDUMP)" "$(cache_value CMAKE_ADDR2LINE)" \
    "$work/unpacked/together/bin/Lumarel.dll" playercontrol/Exports.cpp

echo "== host built against the installed package"
if cmake -S tests/package-host -B "$work/other-host" -DCMAKE_TOOLCHAIN_FILE="$other_toolchain" \
        -DCMAKE_PREFIX_PATH="$prefix" >"$work/other-host.log" 2>&1; then
    fail "a host of the other architecture found the $arch package"
fi
# The version file refuses it, naming the package's own architecture.
grep -qF "version: $version (${bits}bit)" "$work/other-host.log" \
    || fail "the other architecture's host failed, but not on the package's version check"
cmake -S tests/package-host -B "$work/host" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/host" -j2
imports() { objdump -p "$1" | sed -n 's/^\tDLL Name: //p'; }
grep -qx 'Lumarel.dll' <<<"$(imports "$work/host/package_host_linked.exe")" \
    || fail "package_host_linked.exe does not import Lumarel.dll"
if grep -qi 'Lumarel' <<<"$(imports "$work/host/package_host_loaded.exe")"; then
    fail "package_host_loaded.exe imports Lumarel.dll instead of loading it"
fi
ctest --test-dir "$work/host" --output-on-failure

echo "== host built the way Visual Studio builds one (MSVC C++ ABI, lld-link, Lumarel.lib)"
# Its clip, made by the project's clip writer built natively.
c++ -O1 -o "$work/make-clip" tools/clips/make_clip.cpp tools/clips/AviClip.cpp -Itools/clips
"$work/make-clip" "$work/clip-320x180.avi" 320x180 10 FF0000,00FF00,0000FF,FFFFFF
cmake -S tests/msvc-host -B "$work/msvc-host" -DCMAKE_TOOLCHAIN_FILE="$msvc_toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" \
    -DMSVC_HOST_CLIP="$work/clip-320x180.avi" >/dev/null
cmake --build "$work/msvc-host" -j2
grep -qx 'Lumarel.dll' <<<"$(imports "$work/msvc-host/msvc_host_linked.exe")" \
    || fail "msvc_host_linked.exe does not import Lumarel.dll"
if grep -qi 'Lumarel' <<<"$(imports "$work/msvc-host/msvc_host_loaded.exe")"; then
    fail "msvc_host_loaded.exe imports Lumarel.dll instead of loading it"
fi
ctest --test-dir "$work/msvc-host" --output-on-failure
