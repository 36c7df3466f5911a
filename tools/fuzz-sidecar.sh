#!/usr/bin/env bash
# Fuzzes the sidecar bitmap reader with libFuzzer for a bounded time.
#   tools/fuzz-sidecar.sh [SECONDS [BUILD_DIR]]     (defaults: 60, build-native)
# BUILD_DIR is a native clang build (tools/test.sh makes build-native). The
# corpus grows in BUILD_DIR/fuzz/corpus across runs; a crash leaves its input
# as BUILD_DIR/fuzz/crash-* and makes the script fail.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds="${1:-60}"
build="${2:-build-native}"
fuzzer="$build/bin/sidecar_fuzz"
if [ ! -x "$fuzzer" ]; then
    echo "fuzz-sidecar: $fuzzer is missing (the native build needs clang)" >&2
    exit 1
fi

mkdir -p "$build/fuzz/corpus"
"$build/bin/sidecar_seeds" "$build/fuzz/seeds"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz/" \
    "$build/fuzz/corpus" "$build/fuzz/seeds"
