#!/usr/bin/env bash
# Checks what a build ships, as objdump reads it: the image format of the
# build's architecture, Lumarel.dll's three exports by their plain names, and
# imports of system DLLs only (the MinGW runtime is linked in statically, so
# a host needs nothing but Lumarel.dll next to its program).
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
done

exports="$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')"
[ "$exports" = "DeletePlayerControl NewPlayerControl Test " ] ||
    fail "$dll exports '$exports', not DeletePlayerControl NewPlayerControl Test"

[ "$status" -eq 0 ] && echo "$dll and $exe: $format, plain exports, system DLLs only"
exit "$status"
