#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build Lumarel for 32-bit and
# 64-bit Windows and to run both under Wine on a virtual X display. Safe to run
# again: it installs only what is missing.
#
# The 32-bit binaries run natively where the kernel runs 32-bit programs. Where
# it refuses them (a kernel built or booted without its 32-bit emulation), the
# 32-bit Wine runs under qemu-i386, registered with binfmt_misc; the qemu of
# Debian 12 itself hangs Wine's start-up, so version 10 comes from
# bookworm-backports, for that package alone.
#
# Environment:
#   LUMAREL_EMULATE_32BIT=1   run the 32-bit programs under qemu-i386 even where
#                             the kernel could run them (to test that path)
set -euo pipefail

NATIVE_PKGS=(cmake g++ clang lld llvm libclang-rt-14-dev libgtest-dev googletest
             g++-mingw-w64-i686 mingw-w64-i686-dev
             g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
             xvfb x11-utils x11-apps libx11-dev imagemagick
             wine wine64 libgl1 libgl1-mesa-dri ffmpeg
             gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
             gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly)
I386_PKGS=(wine32:i386 libgl1:i386 libgl1-mesa-dri:i386
           gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
           gstreamer1.0-libav:i386 gstreamer1.0-plugins-bad:i386 gstreamer1.0-plugins-ugly:i386)

BINFMT_DIR=/proc/sys/fs/binfmt_misc
BINFMT_NAME=lumarel-i386
QEMU_I386=/usr/bin/qemu-i386

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

fail() {
    echo "setup: $*" >&2
    exit 1
}

need_root() {
    if [ -n "$SUDO" ] && ! sudo -n true 2>/dev/null; then
        fail "$1 needs root (run as root, or with sudo allowed without a password)"
    fi
}

missing() {
    local p out=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || out+=("$p")
    done
    echo "${out[@]:-}"
}

# The machine's own Debian sources (deb822), filtered by an awk condition on
# each stanza, into a fresh folder for apt's SourceParts.
filtered_sources() {
    local condition="$1" dir
    dir="$(mktemp -d)"
    awk "BEGIN { RS=\"\"; ORS=\"\\n\\n\" } $condition" \
        /etc/apt/sources.list.d/debian.sources > "$dir/debian.sources"
    echo "$dir"
}

# apt-get update + install; when apt refuses (the i386 index of the security
# suite is sometimes out of step with its release file, and then every i386
# package is refused), once more with the same sources less the security suite.
apt_install() {
    if ! { $SUDO apt-get update -q && $SUDO apt-get install -y -q --no-install-recommends "$@"; }; then
        echo "setup: retrying without the security suite"
        local dir opts
        dir="$(filtered_sources '!/Suites:[^\n]*-security/')"
        opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$dir")
        $SUDO apt-get "${opts[@]}" update -q
        $SUDO apt-get "${opts[@]}" install -y -q --no-install-recommends "$@"
        rm -rf "$dir"
    fi
}

# --- 32-bit programs: natively or under qemu-i386 --------------------------

# Runs a 96-byte static i386 program that only exits with code 42: the
# smallest proof that this machine runs 32-bit x86 code (or has a handler
# registered for it).
runs_32bit_program() {
    local probe rc=0
    probe="$(mktemp)"
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' > "$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    [ "$rc" -eq 42 ]
}

handler_registered() {
    grep -qs '^enabled' "$BINFMT_DIR/$BINFMT_NAME"
}

remove_handler() {
    if [ -e "$BINFMT_DIR/$BINFMT_NAME" ]; then
        echo -1 | $SUDO tee "$BINFMT_DIR/$BINFMT_NAME" >/dev/null
    fi
}

qemu_is_recent() {
    local version
    [ -x "$QEMU_I386" ] || return 1
    version="$("$QEMU_I386" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p')"
    [ -n "$version" ] && [ "$version" -ge 10 ]
}

# qemu-user from bookworm-backports: that suite is added for this one install
# (from the machine's own Debian sources) and the package named with its
# release, so nothing else of the system is upgraded from it.
install_qemu() {
    local dir opts
    qemu_is_recent && return 0
    echo "setup: installing qemu-user from bookworm-backports"
    dir="$(mktemp -d)"
    cp /etc/apt/sources.list.d/debian.sources "$dir/"
    awk 'BEGIN { RS=""; ORS="\n\n" } /Suites:[^\n]*bookworm/ && !/-security/' \
        "$dir/debian.sources" | sed 's/^Suites:.*/Suites: bookworm-backports/' \
        > "$dir/backports.sources"
    opts=(-o "Dir::Etc::SourceParts=$dir")
    $SUDO apt-get "${opts[@]}" update -q
    $SUDO apt-get "${opts[@]}" install -y -q --no-install-recommends qemu-user/bookworm-backports
    rm -rf "$dir"
    qemu_is_recent || fail "qemu-user 10 from bookworm-backports did not install ($QEMU_I386)"
}

# The i386 ELF magic and mask (static and position-independent executables);
# F opens the emulator now, so the handler works in any mount namespace.
register_handler() {
    if [ ! -e "$BINFMT_DIR/register" ]; then
        $SUDO mount -t binfmt_misc binfmt_misc "$BINFMT_DIR" 2>/dev/null ||
            fail "binfmt_misc is not mounted on $BINFMT_DIR and cannot be mounted here: the 32-bit programs cannot run"
    fi
    remove_handler
    printf '%s' ":$BINFMT_NAME:M::"'\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'":$QEMU_I386:F" |
        $SUDO tee "$BINFMT_DIR/register" >/dev/null ||
        fail "binfmt_misc refused the qemu-i386 handler: the 32-bit programs cannot run"
}

use_emulator() {
    local why="$1"
    need_root "running the 32-bit programs under qemu-i386"
    install_qemu
    register_handler
    runs_32bit_program || fail "a 32-bit program does not run even under $QEMU_I386"
    echo "setup: the 32-bit binaries will run under qemu-i386 emulation: $why"
}

setup_32bit() {
    if [ "${LUMAREL_EMULATE_32BIT:-0}" = 1 ]; then
        use_emulator "LUMAREL_EMULATE_32BIT=1 asks for it"
        return
    fi
    # A handler left by an earlier forced run would hide what the kernel does.
    if handler_registered; then
        need_root "removing the qemu-i386 handler of an earlier emulated run"
        remove_handler
    fi
    if runs_32bit_program; then
        echo "setup: the 32-bit binaries run natively"
    else
        use_emulator "this kernel refuses 32-bit programs (dmesg: \"32-bit emulation disabled\")"
    fi
}

# --- packages ---------------------------------------------------------------

setup_32bit

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_root "adding the i386 architecture"
    $SUDO dpkg --add-architecture i386
fi

todo="$(missing "${NATIVE_PKGS[@]}" "${I386_PKGS[@]}")"
if [ -z "$todo" ]; then
    echo "setup: everything is installed"
    exit 0
fi
need_root "installing packages"
echo "setup: installing $todo"
# shellcheck disable=SC2086
apt_install $todo
echo "setup: done"
