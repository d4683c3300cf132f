#!/bin/bash
# Runs the platform-ABI host, built for i686, against the 32-bit DLL with
# 32-bit Wine inside the emulated VM (scripts/win32-vm), every case in one
# boot; then, in the same boot, the shipped host program's settings check
# against its table of settings files.
set -u
host=$1 dll=$2 probe=$3 shipped_host=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/abi_host/judge_output.sh"
payload=$(mktemp -d)
trap 'rm -rf "$payload" "$payload.stdout" "$payload.stderr"' EXIT
cp "$host" "$payload/abi_host.exe"
cp "$dll" "$payload/krelvashimon.dll"
cp "$probe" "$payload/krelvashimon_probe.dll"
cp "$shipped_host" "$payload/krelvashimon-host.exe"
mkdir -p "$payload/tests" "$payload/package"
cp "$root/tests/settings_check_test.sh" "$payload/tests/"
cp "$root/package/krelvashimon.ini" "$payload/package/"
printf '%s\n' 'wine abi_host.exe' 'echo "== settings check"' \
  'bash tests/settings_check_test.sh --wine krelvashimon-host.exe "shipped 32-bit program under $(wine --version)"' \
  >"$payload/run.sh"
start=$(date +%s)
"$root/scripts/win32-vm" "$payload" bash run.sh >"$payload.stdout" 2>"$payload.stderr"
status=$?
out=$(tr -d '\r' <"$payload.stdout")
[ $status -ne 125 ] || { echo "FAIL: the VM could not run"; tail -30 "$payload.stderr"; exit 1; }
echo "$out"
echo "(VM run took $(( $(date +%s) - start ))s)"
abi_out=$(sed '/^== settings check$/,$d' <<<"$out")
check_out=$(sed '1,/^== settings check$/d' <<<"$out")
if ! judge_abi_host_output 32 "$abi_out"; then tail -30 "$payload.stderr"; exit 1; fi
grep -q '^settings check (.*): \([0-9]*\) of \1 rows as expected$' <<<"$check_out" && [ $status -eq 0 ] ||
  { echo "FAIL: the settings check table under 32-bit Wine"; exit 1; }
exit 0
