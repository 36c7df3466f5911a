#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build Lumarel and to run it
# under a 32-bit Wine prefix on a virtual X display. Safe to run again: it
# installs only what is missing.
set -euo pipefail

NATIVE_PKGS=(cmake g++ clang libclang-rt-14-dev libgtest-dev googletest
             g++-mingw-w64-i686 mingw-w64-i686-dev
             xvfb x11-utils x11-apps libx11-dev imagemagick
             wine ffmpeg
             gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
             gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly)
I386_PKGS=(wine32:i386 libgl1:i386 libgl1-mesa-dri:i386
           gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
           gstreamer1.0-libav:i386 gstreamer1.0-plugins-bad:i386 gstreamer1.0-plugins-ugly:i386)

missing() {
    local p out=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || out+=("$p")
    done
    echo "${out[@]:-}"
}

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi

todo="$(missing "${NATIVE_PKGS[@]}" "${I386_PKGS[@]}")"
if [ -z "$todo" ]; then
    echo "setup: everything is installed"
    exit 0
fi
echo "setup: installing $todo"

# The i386 index of the security suite is sometimes out of step with its
# release file; apt then refuses every i386 package. Fall back to the same
# sources without the security stanza for this one install.
no_security_sources() {
    local dir
    dir="$(mktemp -d)"
    awk 'BEGIN { RS=""; ORS="\n\n" } !/Suites:[^\n]*-security/' \
        /etc/apt/sources.list.d/debian.sources > "$dir/debian.sources"
    echo "$dir"
}

# shellcheck disable=SC2086
if ! { $SUDO apt-get update -q && $SUDO apt-get install -y -q --no-install-recommends $todo; }; then
    echo "setup: retrying without the security suite"
    dir="$(no_security_sources)"
    opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$dir")
    $SUDO apt-get "${opts[@]}" update -q
    # shellcheck disable=SC2086
    $SUDO apt-get "${opts[@]}" install -y -q --no-install-recommends $todo
    rm -rf "$dir"
fi
echo "setup: done"
