#!/bin/bash
# Checks a built krelvashimon.dll as the host's loader sees it: the PE
# machine type, exactly one export under its plain name, imports from
# system DLLs only, no debug information in what ships, and on 32-bit the
# table of exception handlers without which the system would refuse to
# unwind through the component.
set -u
dll=$1 format=$2
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$dll" ] || fail "no DLL at $dll"
dump=$(objdump -p "$dll") || fail "objdump cannot read $dll"
objdump -f "$dll" | grep -q "file format $format" || fail "not $format: $(objdump -f "$dll" | grep format)"

exports=$(echo "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^[ \t]*\[/{print $NF; next} on && NF==0{on=0}')
[ "$exports" = "quelmodrin_get_interface" ] || fail "exports are [$exports], want only quelmodrin_get_interface"

imports=$(echo "$dump" | awk '/DLL Name:/{print tolower($3)}' | sort -u)
for lib in $imports; do
  case "$lib" in
    kernel32.dll|user32.dll|shell32.dll|msvcrt.dll|api-ms-win-crt-*.dll|ucrtbase.dll) ;;
    *) fail "imports non-system DLL $lib" ;;
  esac
done
sections=$(objdump -h "$dll" | awk '$2 ~ /^\./{print $2}')
grep -q '^\.debug' <<<"$sections" && fail "ships debug sections: $(grep '^\.debug' <<<"$sections" | tr '\n' ' ')"
grep 'Debug Directory' <<<"$dump" | grep -qvE ' 0+ 0+ Debug' && fail "ships a debug directory"
if [ "$format" = pei-i386 ]; then
  grep -A6 DllCharacteristics <<<"$dump" | grep -q NO_SEH && fail "marked as having no exception handlers (NO_SEH)"
  handlers=$(llvm-readobj --coff-load-config "$dll" | awk '/SEHandlerCount:/{print $2}')
  [ "${handlers:-0}" -gt 0 ] || fail "no table of exception handlers in the load configuration"
fi
echo "ok: $format, export quelmodrin_get_interface, imports: $(echo $imports)"
