#!/bin/bash
# The host program against the native library, as a user would run it: a
# folder holding the host, the library and a settings file.
set -u
host=$1 library=$2
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$host" "$work/krelvashimon-host"
cp "$library" "$work/krelvashimon.so"
failures=0

# check NAME EXPECTED_STATUS PATTERN... -- ARGS: runs the host, checks its
# exit status and that every pattern occurs in its output.
check() {
  local name=$1 want=$2; shift 2
  local patterns=()
  while [ "$1" != "--" ]; do patterns+=("$1"); shift; done; shift
  local out status
  out=$(cd "$work" && ./krelvashimon-host "$@" 2>&1); status=$?
  local ok=1
  [ "$status" = "$want" ] || ok=0
  for p in "${patterns[@]}"; do grep -qF -- "$p" <<<"$out" || ok=0; done
  if [ $ok = 1 ]; then echo "ok   $name"; else
    echo "FAIL $name (status $status, want $want)"; echo "$out" | sed 's/^/     /'; failures=$((failures+1)); fi
}
settings() { printf '%s\n' "[krelvashimon]" "$@" > "$work/krelvashimon.ini"; }

rm -f "$work/krelvashimon.ini"
check "defaults, no settings file" 0 "client version: 71" "factories: mainmenu_commands componentversion" \
  "file name: krelvashimon.so" "version: 1.31" "label: Explorer" "group: view" "sort priority: 0x80000000" \
  'parameters " /e,/root,C:\", show 1 (normal)' "callback: 1 reference handed over, 1 released by the component; the host still holds its own" -- session

cp "$here/package/krelvashimon.ini" "$work/krelvashimon.ini"
check "shipped sample settings equal the defaults" 0 "label: Explorer" "group: view" \
  "outdated-settings warning: not shown" 'parameters " /e,/root,C:\", show 1' -- menu run

settings "menu=Tools/Explorer" "location=help"
check "outdated label warns and is still used" 0 "label: Tools/Explorer" "group: help" \
  "warning box (style 0x30): [Configuration Error]" "You appear to have an old krelvashimon.ini file." \
  "outdated-settings warning: shown" -- menu

settings "path=:Desktop" "show=MAXIMIZE" "location=Playback"
check "desktop, maximized, fallback group" 0 \
  'parameters " /e,/select,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", show 3 (maximized)' \
  "group: other (fallback)" -- run menu

settings
check "host refuses: nothing launched" 0 "host check asked: yes" "shell request: none" \
  "callback: 1 reference handed over, 1 released by the component; the host still holds its own" -- --deny run
check "services off: the host is not asked" 0 "host check asked: no" "shell request: open" -- --deny --services-off run

check "unknown subcommand" 2 "unknown command or option: explode" "usage:" -- explode
check "no subcommand" 2 "no command given" -- 
check "missing library" 2 "cannot load" -- --library "$work/none.so" info
cp "$(ldconfig -p | awk '/libm\.so\.6 .*x86-64/{print $NF; exit}')" "$work/noexport.so"
check "library without the export" 2 "has no export quelmodrin_get_interface" -- --library "$work/noexport.so" info

[ $failures = 0 ] && echo "all host program checks passed" || echo "$failures host program check(s) failed"
exit $failures
