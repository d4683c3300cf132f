#!/bin/bash
# Runs one fuzzer for a bounded time over its seed corpus (left unchanged)
# and prints executions and coverage.
set -u
fuzzer=$1 seeds=$2 seconds=${3:-15}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" "$work" "$seeds" >"$work/log" 2>&1
status=$?
name=$(basename "$fuzzer")
execs=$(awk '/stat::number_of_executed_units/{print $2}' "$work/log")
cov=$(grep -o 'cov: [0-9]*' "$work/log" | tail -1)
echo "$name: ${execs:-?} executions in ${seconds}s, ${cov:-cov: ?}"
if [ $status -ne 0 ]; then tail -40 "$work/log"; ls "$work"/crash-* 2>/dev/null && od -c "$work"/crash-* | head; fi
exit $status
