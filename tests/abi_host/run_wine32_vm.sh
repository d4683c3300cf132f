#!/bin/bash
# Runs the platform-ABI host, built for i686, against the 32-bit DLL with
# 32-bit Wine inside the emulated VM (scripts/win32-vm), every case in one
# boot.
set -u
host=$1 dll=$2 probe=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/abi_host/judge_output.sh"
payload=$(mktemp -d)
trap 'rm -rf "$payload" "$payload.stdout" "$payload.stderr"' EXIT
cp "$host" "$payload/abi_host.exe"
cp "$dll" "$payload/krelvashimon.dll"
cp "$probe" "$payload/krelvashimon_probe.dll"
echo 'wine abi_host.exe' >"$payload/run.sh"
start=$(date +%s)
"$root/scripts/win32-vm" "$payload" bash run.sh >"$payload.stdout" 2>"$payload.stderr"
status=$?
out=$(tr -d '\r' <"$payload.stdout")
[ $status -ne 125 ] || { echo "FAIL: the VM could not run"; tail -30 "$payload.stderr"; exit 1; }
echo "$out"
echo "(VM run took $(( $(date +%s) - start ))s)"
if ! judge_abi_host_output 32 "$out"; then tail -30 "$payload.stderr"; exit 1; fi
exit 0
