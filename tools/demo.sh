#!/usr/bin/env bash
# The demo: installs what is missing, builds, makes a sample clip, starts
# LumarelTest.exe under Wine, drops the clip onto its window from the X side
# (as a file manager does), and after a few seconds saves a screenshot of the
# playing window to docs/demo.png.
#
# With DISPLAY set it uses that display and leaves the window open, so you
# can drop your own files onto it; the demo ends when you close the window.
# Without DISPLAY it uses a virtual display and closes the window after the
# screenshot.
#
# Under Wine every first Play of a file shows "Can't set TIME format...": the
# platform's graph does not offer the frame time format the control asks for.
# The demo presses OK on the boxes of its own drop so it runs unattended.
#
# The 32-bit LumarelTest.exe runs natively, or under qemu-i386 where the
# kernel refuses 32-bit programs (tools/setup.sh says which); DEMO_BITS=64
# runs the 64-bit build instead.
#
# Environment: DEMO_BITS (32 or 64, default 32), LUMAREL_WINEPREFIX (default
# ~/.cache/lumarel/wine-demo), LUMAREL_XVFB_NUM (virtual display number,
# default 79), LUMAREL_BUILD_DIR, LUMAREL_BUILD64_DIR and
# LUMAREL_NATIVE_BUILD_DIR (as for tools/test.sh), DEMO_SHOT (screenshot path).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

native="${LUMAREL_NATIVE_BUILD_DIR:-build-native}"
case "${DEMO_BITS:-32}" in
    32) cross="${LUMAREL_BUILD_DIR:-build}" toolchain=cmake/mingw-i686.cmake
        export LUMAREL_WINE_ARCH=win32 ;;
    64) cross="${LUMAREL_BUILD64_DIR:-build64}" toolchain=cmake/mingw-x86_64.cmake
        export LUMAREL_WINE_ARCH=win64 ;;
    *) echo "demo: DEMO_BITS is 32 or 64" >&2; exit 2 ;;
esac
shot="${DEMO_SHOT:-docs/demo.png}"
title="Lumarel Test"

bash tools/setup.sh

echo "== building"
cmake -S . -B "$cross" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$cross" -j"$(nproc)" --target Lumarel LumarelTest hostprobe
cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    >/dev/null
cmake --build "$native" -j"$(nproc)" --target make-clip xdnd-drop xprobe
bin="$cross/bin"
tools="$native/bin"

export LUMAREL_WINEPREFIX="${LUMAREL_WINEPREFIX:-${HOME:-/root}/.cache/lumarel/wine-demo}"
if [ -n "${DISPLAY:-}" ]; then
    export LUMAREL_DISPLAY="${LUMAREL_DISPLAY:-$DISPLAY}"
    real_display=1
else
    export LUMAREL_XVFB_NUM="${LUMAREL_XVFB_NUM:-79}"
    export DISPLAY=":$LUMAREL_XVFB_NUM"
    real_display=0
fi
export DISPLAY="${LUMAREL_DISPLAY:-$DISPLAY}"

# Wine draws the window frame and caption itself, so the screenshot shows the
# window as it looks on Windows, with or without a window manager.
tools/wine-run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null

echo "== a sample clip: 12 seconds of colours, 16:9"
mkdir -p "$cross/demo"
clip="$PWD/$cross/demo/sample.avi"
"$tools/make-clip" "$clip" 320x180 10 \
    E53935,FB8C00,FDD835,43A047,00ACC1,1E88E5,5E35B1,D81B60,E53935,FB8C00,FDD835,43A047

echo "== starting the ${DEMO_BITS:-32}-bit LumarelTest.exe on $DISPLAY"
setsid tools/wine-run "$bin/LumarelTest.exe" > "$cross/demo/host.log" 2>&1 &
host_pid=$!
answer_pid=""
stop_all() {
    local pid
    for pid in $answer_pid $host_pid; do
        kill -- "-$pid" 2>/dev/null || true
    done
}
trap stop_all INT TERM

for _ in $(seq 300); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
window="$("$tools/xprobe" wait "$title" 60)" || { echo "demo: the window did not open" >&2; stop_all; exit 1; }

# OK on the boxes of the demo's own drop (the platform's time format box).
setsid tools/wine-run "$bin/hostprobe.exe" answer 20 > "$cross/demo/boxes.log" 2>&1 &
answer_pid=$!

echo "== dropping $clip"
"$tools/xdnd-drop" -n "$title" "$clip"
"$tools/xprobe" wait-colour "$title" FDD835 30 >/dev/null || true
sleep 1
mkdir -p "$(dirname "$shot")"
import -window "${window%% *}" "$shot"
echo "== screenshot: $shot"

if [ "$real_display" = 1 ]; then
    echo "LumarelTest.exe stays open: drop your own media files onto it, close it to end the demo."
    echo "(Under Wine each first Play shows \"Can't set TIME format...\"; press OK.)"
    wait "$host_pid" || true
    wait "$answer_pid" 2>/dev/null || true
else
    "$tools/xprobe" close "$title"
    rc=0
    wait "$host_pid" || rc=$?
    wait "$answer_pid" 2>/dev/null || true
    echo "== LumarelTest.exe ended with exit code $rc"
    exit "$rc"
fi
