# judge_abi_host_output BITS OUTPUT: passes only when the output ends in a
# clean summary and holds nothing but failure lines besides it. Wine's
# debugger prints crash dumps on standard output, so any other line counts
# against the run.
judge_abi_host_output() {
  local unexpected
  unexpected=$(grep -v -e '^FAIL ' -e '^abi host (' <<<"$2" || true)
  [ -z "$unexpected" ] || { echo "FAIL: unexpected output:"; head -40 <<<"$unexpected"; return 1; }
  grep -q "^abi host ($1-bit): [0-9]* checks, 0 failed\$" <<<"$2" || { echo "FAIL: no clean $1-bit summary"; return 1; }
}
