# Sourced by the scripts that take a configured build folder: with $build set
# to its absolute path, defines
#   cache_value NAME     the value of NAME in the folder's CMake cache
#   build_toolchain      the absolute path of the folder's toolchain file
# (a relative toolchain path is the build folder's, or else the source's).
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }

build_toolchain() {
    local toolchain base
    toolchain="$(cache_value CMAKE_TOOLCHAIN_FILE)"
    for base in "$build" "$(cache_value CMAKE_HOME_DIRECTORY)"; do
        case "$toolchain" in /*) break ;; esac
        [ -f "$base/$toolchain" ] && toolchain="$base/$toolchain"
    done
    echo "$toolchain"
}
