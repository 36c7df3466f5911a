#!/usr/bin/env bash
# Checks what a build ships, as objdump reads it: the image format of the
# build's architecture, Lumarel.dll's three exports by their plain names,
# imports of system DLLs only (the MinGW runtime is linked in statically, so
# a host needs nothing but Lumarel.dll next to its program), the loader's
# hardening flags (ASLR with base relocations to apply it, high-entropy ASLR
# on 64-bit, DEP), the stack protector linked in, and the debug information
# kept beside each file (<file>.debug, named by its .gnu_debuglink) instead of
# inside it.
#
#   check-binaries.sh OBJDUMP PE32|PE32+ Lumarel.dll LumarelTest.exe
set -euo pipefail

objdump="$1" format="$2" dll="$3" exe="$4"
# DLLs every Windows (and Wine) has; anything else would have to be shipped.
system_dlls=" ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll OLEAUT32.dll SHELL32.dll USER32.dll "
status=0

fail() {
    echo "FAIL: $*" >&2
    status=1
}

required_flags="DYNAMIC_BASE NX_COMPAT"
[ "$format" = "PE32+" ] && required_flags="$required_flags HIGH_ENTROPY_VA"

for file in "$dll" "$exe"; do
    headers="$("$objdump" -p "$file")"
    magic="$(sed -n 's/^Magic[[:space:]]*[0-9a-f]*[[:space:]]*(\(.*\))$/\1/p' <<< "$headers")"
    [ "$magic" = "$format" ] || fail "$file is '$magic', not $format"
    while read -r name; do
        case "$system_dlls" in
            *" $name "*) ;;
            *) fail "$file imports $name, which is not a system DLL" ;;
        esac
    done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<< "$headers")

    # objdump -p lists the set DllCharacteristics flags one a line.
    flags="$(sed -n '/^DllCharacteristics/,/^[A-Z]/s/^[[:space:]]\+\([A-Z_]\+\)$/\1/p' <<< "$headers")"
    for flag in $required_flags; do
        grep -qx "$flag" <<< "$flags" || fail "$file lacks $flag (has: $(echo $flags))"
    done

    sections="$("$objdump" -h "$file" | awk '$1 ~ /^[0-9]+$/ { print $2 }')"
    grep -qx '.reloc' <<< "$sections" || fail "$file has no .reloc section: the loader cannot move it"
    debug_sections="$(grep '^\.debug_' <<< "$sections" || true)"
    [ -z "$debug_sections" ] || fail "$file carries debug sections: $(echo $debug_sections)"
    if grep -qx '.gnu_debuglink' <<< "$sections"; then
        # The link is the file name, ended by a zero byte (then the checksum).
        link_hex="$("$objdump" -s -j .gnu_debuglink "$file" \
            | awk '/^ [0-9a-f]+ / { print substr($0, length($1) + 3, 35) }' | tr -d ' \n')"
        link="$(printf "$(sed 's/../\\x&/g' <<< "$link_hex")" | tr '\0' '\n' | head -n 1)"
        [ "$link" = "$(basename "$file").debug" ] || fail "$file links to '$link', not $(basename "$file").debug"
        [ -f "$file.debug" ] || fail "$file.debug, named by its debug link, is missing"
    else
        fail "$file has no .gnu_debuglink to its symbols"
    fi
    # The stack protector's failure handler comes from the static libssp.
    symbols="$("$objdump" -t "$file.debug" 2>/dev/null || true)"
    grep -q '_stack_chk_fail$' <<< "$symbols" \
        || fail "$file has no stack protector (__stack_chk_fail not linked in)"
done

exports="$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')"
[ "$exports" = "DeletePlayerControl NewPlayerControl Test " ] ||
    fail "$dll exports '$exports', not DeletePlayerControl NewPlayerControl Test"

[ "$status" -eq 0 ] && echo "$dll and $exe: $format, plain exports, system DLLs only," \
    "$required_flags, .reloc, stack protector, no debug sections, symbols in .debug files beside them"
exit "$status"
