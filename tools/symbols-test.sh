#!/usr/bin/env bash
# Shows that a crash address in the shipped Lumarel.dll reads back as a
# function and a source line with the symbol file kept beside it, as from a
# crash report in the field: the DLL and Lumarel.dll.debug are put into a
# folder of their own (as unpacking the release and the symbols archives
# does), and each export's address (image base + its RVA from the export
# table) must give the export's own function in Exports.cpp, at a line of
# that function; without the symbol file, nothing.
#
#   symbols-test.sh OBJDUMP ADDR2LINE Lumarel.dll EXPORTS_SOURCE
set -euo pipefail

objdump="$1" addr2line="$2" dll="$3" source="$4"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}

cp "$dll" "$work/"
shipped="$work/$(basename "$dll")"
headers="$("$objdump" -p "$shipped")"
image_base="$(sed -n 's/^ImageBase[[:space:]]*\([0-9a-f]*\)$/\1/p' <<< "$headers")"
# Export Address Table entries, "[i] +base[ordinal] RVA Export RVA", and the
# names, "[i] Name", in the name table, indexed alike.
declare -A rva_of_index
while read -r index rva; do
    rva_of_index[$index]="$rva"
done < <(sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] +base\[ *[0-9]*\] \([0-9a-f]*\) Export RVA$/\1 \2/p' <<< "$headers")

# Looks up ADDRESS in the shipped DLL; prints "function file:line".
look_up() { "$addr2line" -f -e "$shipped" "0x$1" | paste -sd ' '; }

checked=0
while read -r index name; do
    rva="${rva_of_index[$index]:-}"
    [ -n "$rva" ] || { fail "no export address for $name"; continue; }
    address="$(printf '%x' $((0x$image_base + 0x$rva)))"

    without="$(look_up "$address")"
    [ "$without" = "?? ??:0" ] || fail "$name at 0x$address reads as '$without' without the symbol file"

    cp "$dll.debug" "$work/"
    found="$(look_up "$address")"
    rm "$work/$(basename "$dll").debug"
    # The entry reads as the function's first line, or, optimised without a
    # prologue, as its first statement: a line from its declarator to its
    # closing brace.
    start="$(grep -n "^extern \"C\" .*\\b$name(" "$source" | cut -d: -f1)"
    end="$(awk -v start="$start" 'NR > start && /^}$/ { print NR; exit }' "$source")"
    line="${found##*:}"
    if [[ "$found" == "$name "*/playercontrol/Exports.cpp:* ]] && [ "$line" -ge "$start" ] && [ "$line" -le "$end" ]; then
        echo "0x$address ($name, RVA 0x$rva) -> $found"
    else
        fail "$name at 0x$address reads as '$found', not $name in Exports.cpp, lines $start-$end"
    fi
    checked=$((checked + 1))
done < <(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p' <<< "$headers")

[ "$checked" -eq 3 ] || fail "checked $checked exports, not 3"
exit "$status"
