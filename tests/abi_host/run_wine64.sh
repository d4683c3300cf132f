#!/bin/bash
# Runs the platform-ABI host against the 64-bit DLL under wine64, in a Wine
# prefix of its own and a folder of its own (the settings file lies beside
# the host).
set -u
host=$1 dll=$2 probe=$3
source "$(dirname "$0")/../../scripts/wine.sh"
source "$(dirname "$0")/judge_output.sh"
work=$(mktemp -d)
trap 'wine_stop; rm -rf "$work"' EXIT
wine_prefix "$work/prefix"
mkdir -p "$work/player"
cp "$host" "$work/player/abi_host.exe"
cp "$dll" "$work/player/krelvashimon.dll"
cp "$probe" "$work/player/krelvashimon_probe.dll"
cd "$work/player"
"$WINE64" ./abi_host.exe >"$work/stdout" 2>"$work/stderr"; status=$?
out=$(tr -d '\r' <"$work/stdout")
echo "$out"
if [ $status -ne 0 ]; then sed 's/^/wine: /' "$work/stderr" | tail -20; fi
judge_abi_host_output 64 "$out" || exit 1
exit $status
