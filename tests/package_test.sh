#!/bin/bash
# Builds the release archive and checks that it holds exactly the 32-bit
# DLL that was tested, the sample settings file and the user notes.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dll=$1
archive=$("$root/scripts/package" | tail -1) || { echo "FAIL: packaging failed"; exit 1; }
listing=$(cmake -E tar tf "$archive" | sort)
want=$(printf '%s\n' krelvashimon-1.31/ krelvashimon-1.31/README.txt krelvashimon-1.31/krelvashimon.dll \
  krelvashimon-1.31/krelvashimon.ini | sort)
[ "$listing" = "$want" ] || { echo "FAIL: archive holds:"; echo "$listing"; exit 1; }
out=$(mktemp -d); trap 'rm -rf "$out"' EXIT
(cd "$out" && cmake -E tar xf "$archive")
cmp "$out/krelvashimon-1.31/krelvashimon.dll" "$dll" || { echo "FAIL: packaged DLL differs from $dll"; exit 1; }
cmp "$out/krelvashimon-1.31/krelvashimon.ini" "$root/package/krelvashimon.ini" || { echo "FAIL: settings file differs"; exit 1; }
objdump -f "$out/krelvashimon-1.31/krelvashimon.dll" | grep -q "pei-i386" || { echo "FAIL: packaged DLL is not 32-bit"; exit 1; }
echo "ok: $archive holds the 32-bit DLL, krelvashimon.ini and README.txt"
