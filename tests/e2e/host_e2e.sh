#!/usr/bin/env bash
# End to end: the real LumarelTest.exe with the real Lumarel.dll under Wine,
# driven from outside like a user. Files are dropped onto the window from the
# X side (an XDND drag source), the screen is read back from the X server,
# the window's children and message boxes are looked at from a second Windows
# process, and the window is closed as a window manager's close button does.
#
#   host_e2e.sh CASE     CASE: plays, replaces, any-script-name, first-of-three, close-during-box,
#                              drop-during-box, no-library
#
# Environment (set by CTest): LUMAREL_WINDOWS_BIN (LumarelTest.exe, Lumarel.dll,
# hostprobe.exe), LUMAREL_SOURCE_DIR, XDND_DROP, XPROBE, MAKE_CLIP; and what
# tools/wine-run takes (LUMAREL_WINEPREFIX, LUMAREL_XVFB_NUM, LUMAREL_DISPLAY).
set -euo pipefail

case_name="${1:?usage: host_e2e.sh CASE}"
bin="${LUMAREL_WINDOWS_BIN:?}"
wine_run="${LUMAREL_SOURCE_DIR:?}/tools/wine-run"
export DISPLAY="${LUMAREL_DISPLAY:-:${LUMAREL_XVFB_NUM:-77}}"
title="Lumarel Test"

for f in LumarelTest.exe Lumarel.dll hostprobe.exe; do
    if [ ! -f "$bin/$f" ]; then
        echo "FAIL: $bin/$f is missing: build the Windows tier first (LUMAREL_WINDOWS_BIN)" >&2
        exit 1
    fi
done

work="$(mktemp -d /tmp/lumarel-e2e.XXXXXX)"
host_pid=""
answer_pid=""

cleanup() {
    local pid
    for pid in $answer_pid $host_pid; do
        # Each was started in a process group of its own.
        kill -- "-$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($case_name): $*" >&2
    if [ -f "$work/boxes.txt" ]; then sed 's/^/  box: /' "$work/boxes.txt" >&2; fi
    if [ -f "$work/host.out" ]; then sed 's/^/  host: /' "$work/host.out" >&2; fi
    exit 1
}

# make_clip NAME FIRST THEN: one second of FIRST, then 29 of THEN, so a
# pixel of THEN proves that the clip is playing, not just showing a frame.
make_clip() {
    local colours="$2" i
    for i in $(seq 29); do colours="$colours,$3"; done
    "$MAKE_CLIP" "$work/$1" 160x120 10 "$colours" || fail "make-clip $1"
}

# start_host DIR: runs DIR/LumarelTest.exe (with DIR as working folder) and
# waits for its window.
start_host() {
    local dir="$1" i
    ( cd "$dir" && exec setsid bash -c '"$0" ./LumarelTest.exe > "$1" 2>&1; echo $? > "$2"' \
        "$wine_run" "$work/host.out" "$work/host.rc" ) &
    host_pid=$!
    for i in $(seq 300); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    "$XPROBE" wait "$title" 60 >/dev/null || fail "the window did not open"
}

# Presses OK on every message box of the host until it ends; the boxes it
# saw go to boxes.txt ("caption|text|icon").
start_answering() {
    setsid "$wine_run" "$bin/hostprobe.exe" answer 150 > "$work/boxes.txt" 2>&1 &
    answer_pid=$!
}

probe() { "$wine_run" "$bin/hostprobe.exe" "$@"; }

drop() { "$XDND_DROP" -n "$title" "$@" || fail "drop of $*"; }

expect_colour() {
    "$XPROBE" wait-colour "$title" "$1" 40 >/dev/null || fail "${2:-the clip} does not play ($1 expected)"
}

expect_video_windows() {
    local line
    line="$(probe children | head -n 1 | tr -d '\r')"
    [ "$line" = "children $1" ] || fail "expected $1 video window(s), found: $line"
}

# settled_pixel: the colour at the window's centre once the window has
# painted itself: the same value read over one second (at most ten seconds).
# A window that has just appeared may not have erased its background yet.
settled_pixel() {
    local last now same=0 i
    last="$("$XPROBE" pixel "$title")"
    for i in $(seq 50); do
        sleep 0.2
        now="$("$XPROBE" pixel "$title")"
        if [ "$now" = "$last" ]; then
            same=$((same + 1))
            [ "$same" -ge 5 ] && break
        else
            same=0
            last="$now"
        fi
    done
    echo "$last"
}

host_running() { [ ! -s "$work/host.rc" ]; }

# close_host: the close button, then the program must end with exit code 0.
close_host() {
    local i
    "$XPROBE" close "$title" || fail "cannot ask the window to close"
    for i in $(seq 600); do
        host_running || break
        sleep 0.1
    done
    if host_running; then fail "the program did not end after the close"; fi
    wait "$host_pid" || true
    host_pid=""
    local rc
    rc="$(cat "$work/host.rc")"
    [ "$rc" = "0" ] || fail "exit code $rc after the close"
    if [ -n "$answer_pid" ]; then
        wait "$answer_pid" || true
        answer_pid=""
    fi
}

# expect_boxes BOX...: exactly these message boxes were answered, in any
# order ("caption|text|icon"). Under Wine the graph refuses the frame time
# format, so every first Play of a clip shows "Can't set TIME format..."; a
# file that is not media fails to render and then to give its duration.
time_box="Error|Can't set TIME format...|no icon"
render_box="Error|Can't render file...|no icon"
duration_box="Error|Can't calc file duration...|no icon"
expect_boxes() {
    local seen want
    seen="$(tr -d '\r' < "$work/boxes.txt" | grep -v '^$' | sort || true)"
    want="$(printf '%s\n' "$@" | grep -v '^$' | sort || true)"
    [ "$seen" = "$want" ] || fail "message boxes differ; expected:
$want"
}

case "$case_name" in
plays)
    make_clip red-green.avi FF0000 00FF00
    start_host "$bin"
    start_answering
    drop "$work/red-green.avi"
    expect_colour 00FF00
    expect_video_windows 1
    close_host
    expect_boxes "$time_box"
    ;;
replaces)
    make_clip red-green.avi FF0000 00FF00
    make_clip blue-yellow.avi 0000FF FFFF00
    start_host "$bin"
    start_answering
    drop "$work/red-green.avi"
    expect_colour 00FF00 "the first clip"
    drop "$work/blue-yellow.avi"
    expect_colour FFFF00 "the second clip"
    expect_video_windows 1
    close_host
    expect_boxes "$time_box" "$time_box"
    ;;
any-script-name)
    # A name outside every single-byte code page: the host reads drops in
    # UTF-8, its ANSI code page by its manifest, and so does the control.
    name="Ünïcødé – 日本語.avi"
    make_clip "$name" FF0000 00FF00
    start_host "$bin"
    start_answering
    drop "$work/$name"
    expect_colour 00FF00 "the clip with a name in several scripts"
    expect_video_windows 1
    close_host
    expect_boxes "$time_box"
    ;;
first-of-three)
    make_clip magenta-cyan.avi FF00FF 00FFFF
    make_clip red-green.avi FF0000 00FF00
    make_clip blue-yellow.avi 0000FF FFFF00
    start_host "$bin"
    start_answering
    drop "$work/magenta-cyan.avi" "$work/red-green.avi" "$work/blue-yellow.avi"
    expect_colour 00FFFF "the first of the three clips"
    sleep 2
    [ "$("$XPROBE" pixel "$title")" = "00FFFF" ] || fail "the picture changed away from the first clip"
    expect_video_windows 1
    close_host
    expect_boxes "$time_box"
    ;;
close-during-box)
    echo "not a media file" > "$work/notes.txt"
    start_host "$bin"
    drop "$work/notes.txt"
    probe wait-box "Can't render file..." 40 >/dev/null || fail "no \"Can't render file...\" box"
    "$XPROBE" close "$title" || fail "cannot ask the window to close"
    sleep 2
    host_running || fail "the program ended while the control's box was up"
    probe wait-box "Can't render file..." 5 >/dev/null || fail "the box went away before it was answered"
    start_answering
    close_host
    # The open went on to its end after the box: the close waited for it.
    expect_boxes "$render_box" "$duration_box"
    ;;
drop-during-box)
    echo "not a media file" > "$work/notes.txt"
    make_clip red-green.avi FF0000 00FF00
    start_host "$bin"
    drop "$work/notes.txt"
    probe wait-box "Can't render file..." 40 >/dev/null || fail "no \"Can't render file...\" box"
    drop "$work/red-green.avi"
    start_answering
    expect_colour 00FF00 "the clip dropped during the box"
    expect_video_windows 1
    close_host
    # The first open ran to its end on a live control, then the clip opened.
    expect_boxes "$render_box" "$duration_box" "$time_box"
    ;;
no-library)
    make_clip red-green.avi FF0000 00FF00
    mkdir "$work/alone"
    cp "$bin/LumarelTest.exe" "$work/alone/"
    start_host "$work/alone"
    start_answering
    before="$(settled_pixel)"
    drop "$work/red-green.avi"
    sleep 3
    [ "$("$XPROBE" pixel "$title")" = "$before" ] || fail "the window changed after a drop without the library"
    expect_video_windows 0
    close_host
    expect_boxes
    ;;
*)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
echo "PASS ($case_name)"
