#!/bin/bash
# Builds the release archive and checks that it holds exactly the 32-bit
# DLL and host program that were tested, the sample settings file and the
# user notes.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dll=$1 host=$2
archive=$("$root/scripts/package" | tail -1) || { echo "FAIL: packaging failed"; exit 1; }
listing=$(cmake -E tar tf "$archive" | sort)
want=$(printf '%s\n' krelvashimon-1.31/ krelvashimon-1.31/README.txt krelvashimon-1.31/krelvashimon.dll \
  krelvashimon-1.31/krelvashimon-host.exe krelvashimon-1.31/krelvashimon.ini | sort)
[ "$listing" = "$want" ] || { echo "FAIL: archive holds:"; echo "$listing"; exit 1; }
out=$(mktemp -d); trap 'rm -rf "$out"' EXIT
(cd "$out" && cmake -E tar xf "$archive")
cmp "$out/krelvashimon-1.31/krelvashimon.dll" "$dll" || { echo "FAIL: packaged DLL differs from $dll"; exit 1; }
cmp "$out/krelvashimon-1.31/krelvashimon-host.exe" "$host" || { echo "FAIL: packaged host program differs from $host"; exit 1; }
cmp "$out/krelvashimon-1.31/krelvashimon.ini" "$root/package/krelvashimon.ini" || { echo "FAIL: settings file differs"; exit 1; }
for binary in krelvashimon.dll krelvashimon-host.exe; do
  objdump -f "$out/krelvashimon-1.31/$binary" | grep -q "pei-i386" || { echo "FAIL: packaged $binary is not 32-bit"; exit 1; }
done
grep -q 'krelvashimon-host check' "$out/krelvashimon-1.31/README.txt" || { echo "FAIL: the user notes do not explain the check"; exit 1; }
echo "ok: $archive holds the 32-bit DLL and host program, krelvashimon.ini and README.txt"
