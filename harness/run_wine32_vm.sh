#!/bin/bash
# Runs the C host harness, built for i686, against the 32-bit DLL with
# 32-bit Wine inside the emulated VM (scripts/win32-vm): every slot, with
# __thiscall, GUID results through the hidden pointer after this, and the
# by-value callback, as the player's compiler calls them.
set -u
harness=$1 dll=$2
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/harness/judge_output.sh"
payload=$(mktemp -d)
trap 'rm -rf "$payload"' EXIT
cp "$harness" "$payload/harness.exe"
cp "$dll" "$payload/krelvashimon.dll"
cat >"$payload/run.sh" <<'INNER'
wine harness.exe
INNER
start=$(date +%s)
"$root/scripts/win32-vm" "$payload" bash run.sh >"$payload.stdout" 2>"$payload.stderr"
status=$?
out=$(tr -d '\r' <"$payload.stdout"); rm -f "$payload.stdout"
[ $status -ne 125 ] || { echo "FAIL: the VM could not run"; tail -30 "$payload.stderr"; exit 1; }
echo "$out"
echo "(VM run took $(( $(date +%s) - start ))s)"
if ! judge_harness_output 32 "$out"; then tail -30 "$payload.stderr"; rm -f "$payload.stderr"; exit 1; fi
rm -f "$payload.stderr"
exit 0
