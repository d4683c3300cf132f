#!/bin/bash
# The host program's settings check against a table of settings files: for
# each row, the exact warning lines in order, the exit status, and any other
# line that must appear. Run with the native host program, or with
# --wine64 and the Windows one, which reads through the platform's own
# reader and can tell whether a folder exists.
#
#   settings_check_test.sh HOST
#   settings_check_test.sh --wine64 HOST.exe
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
if [ "$1" = --wine64 ]; then
  platform=windows label="Windows build under wine64"
  source "$here/scripts/wine.sh"
  trap 'wine_stop; rm -rf "$work"' EXIT
  wine_prefix "$work/prefix"
  cp "$2" "$work/krelvashimon-host.exe"
  run_check() { (cd "$work" && "$WINE64" ./krelvashimon-host.exe check "$@"); }
elif [ "$1" = --wine ]; then
  platform=windows label=${3:-"Windows build under $(wine --version 2>/dev/null)"}
  trap 'rm -rf "$work"' EXIT
  cp "$2" "$work/krelvashimon-host.exe"
  run_check() { (cd "$work" && wine ./krelvashimon-host.exe check "$@"); }
else
  platform=native label="native build"
  trap 'rm -rf "$work"' EXIT
  cp "$1" "$work/krelvashimon-host"
  run_check() { (cd "$work" && ./krelvashimon-host check "$@"); }
fi
export LC_ALL=C
failures=0 rows=0

# row NAME CONTENT EXPECTATION... [-- ARGS]: writes CONTENT to the settings
# file beside the host program (=none: no file; =keep: the file as the
# caller wrote it) and runs "check ARGS" (no ARGS: that file). An
# expectation is:
#   "warning: ..."      one warning line, exact; together they are all of them, in order
#   "shows: TEXT"       a line of standard output contains TEXT
#   "error: TEXT"       standard error contains TEXT
#   "status: N"         the exit status (else 1 with warnings, 0 without)
# prefixed with "native " or "windows " when it holds on one build only.
row() {
  local name=$1 content=$2; shift 2
  local expected=() args=() entry
  while [ $# -gt 0 ]; do
    if [ "$1" = -- ]; then shift; args=("$@"); break; fi
    entry=$1; shift
    case $entry in
      "native "*) [ $platform = native ] && expected+=("${entry#native }") ;;
      "windows "*) [ $platform = windows ] && expected+=("${entry#windows }") ;;
      *) expected+=("$entry") ;;
    esac
  done
  rows=$((rows + 1))
  case $content in
    =keep) ;;
    =none) rm -f "$work/krelvashimon.ini" ;;
    *) printf '%s' "$content" >"$work/krelvashimon.ini" ;;
  esac

  local out err status before=""
  [ -f "$work/krelvashimon.ini" ] && before=$(md5sum <"$work/krelvashimon.ini")
  run_check "${args[@]}" >"$work/stdout" 2>"$work/stderr"; status=$?
  out=$(tr -d '\r' <"$work/stdout")
  err=$(tr -d '\r' <"$work/stderr")

  local want_warnings="" want_status="" problems=()
  for entry in "${expected[@]}"; do
    case $entry in
      "warning: "*) want_warnings+="$entry"$'\n' ;;
      "shows: "*) grep -qF -- "${entry#shows: }" <<<"$out" || problems+=("missing line: ${entry#shows: }") ;;
      "error: "*) grep -qF -- "${entry#error: }" <<<"$err" || problems+=("missing on standard error: ${entry#error: }") ;;
      "status: "*) want_status=${entry#status: } ;;
    esac
  done
  local got_warnings
  got_warnings=$(grep '^warning: ' <<<"$out")
  [ -n "$got_warnings" ] && got_warnings+=$'\n'
  [ "$got_warnings" = "$want_warnings" ] || problems+=("warnings differ")
  [ -n "$want_status" ] || { [ -n "$want_warnings" ] && want_status=1 || want_status=0; }
  [ "$status" = "$want_status" ] || problems+=("exit status $status, want $want_status")
  if [ -n "$before" ] && [ "$(md5sum <"$work/krelvashimon.ini")" != "$before" ]; then
    problems+=("the check changed the settings file")
  fi

  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok   $name: exit $status"
    { grep -e '^warning: ' -e '^Explorer request: ' -e '^note: ' <<<"$out"; [ -n "$err" ] && echo "$err"; } |
      sed 's/^/       /'
  else
    failures=$((failures + 1))
    echo "FAIL $name"
    printf '     %s\n' "${problems[@]}"
    echo "     expected warnings:"; printf '%s' "$want_warnings" | sed 's/^/       /'
    echo "     output:"; sed 's/^/       /' <<<"$out"
    [ -n "$err" ] && sed 's/^/     stderr: /' <<<"$err"
  fi
}

long_label=$(printf 'L%.0s' $(seq 300))
longest_path='C:\'$(printf 'p%.0s' $(seq 1020))
too_long_path='C:\'$(printf 'p%.0s' $(seq 1021))

row "the shipped sample file" "$(cat "$here/package/krelvashimon.ini")" \
  'shows: menu = "Explorer" (from the file): the command'"'"'s label is "Explorer"' \
  'shows: Explorer request: open Explorer.exe, parameters " /e,/root,C:\", window normal (show command 1)' \
  'native shows: note: this build cannot judge Windows paths, so whether C:\ exists is not checked'

row "a clean edited file" $'[KrelVashimon]\nmenu=Music folder\nlocation=playback\npath=C:\\windows\nroot=0\nshow=Maximize\n' \
  'shows: location = "playback" (from the file): the command sits in the Playback menu' \
  'shows: folder = "1" (default): Explorer shows its folder tree' \
  'shows: Explorer request: open Explorer.exe, parameters " /e,C:\windows", window maximized (show command 3)'

row "no settings file beside the program" =none "status: 2" "error: no such file"
row "a missing file named on the command line" =none "status: 2" "error: cannot check" "error: nope.ini: no such file" -- nope.ini
mkdir -p "$work/folder.ini"
row "a directory named on the command line" =none "status: 2" "error: it is a directory" -- folder.ini
row "two files named" "[krelvashimon]" "status: 2" "error: usage" -- a.ini b.ini

row "a misspelt key, with the key it resembles" $'[krelvashimon]\nlocaton=playback\n' \
  'warning: locaton=playback: the component reads no key "locaton"; did you mean location?' \
  'shows: location = "view" (default)'
row "an unknown key resembling none" $'[krelvashimon]\ncolour=blue\n' \
  'warning: colour=blue: the component reads no key "colour"'
row "a key with no name" $'[krelvashimon]\nmenu=A\n=orphan\n' \
  'warning: =orphan: a line with no key name has no effect'
row "key names ignore letter case" $'[krelvashimon]\nMENU=A\nPath=:MyComputer\n' \
  'shows: menu = "A" (from the file)' 'shows: Explorer request: open Explorer.exe, parameters " /e,/root,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"'

row "a misspelt section, with the name it resembles" $'[krelvashimn]\nmenu=A\n' \
  'warning: no section [krelvashimon], so every key takes its default; did you mean [krelvashimn]?' \
  'shows: menu = "Explorer" (default)'
row "no section of ours, nothing close" $'[player]\nmenu=A\n' \
  'warning: no section [krelvashimon], so every key takes its default'
row "a second section and a repeated key" $'[krelvashimon]\nmenu=first\nMenu=second\n[Krelvashimon]\nshow=maximize\n' \
  'warning: a second section [Krelvashimon] is ignored; only the first, [krelvashimon], counts' \
  'warning: the repeated key "Menu" is ignored; only the first, menu=first, counts' \
  'shows: show = "normal" (default)'

row "values that fall back in silence" $'[krelvashimon]\nroot=true\nfolder=yes\nshow=maximized\n' \
  'warning: root=true: neither 1 nor 0; the component takes it as 0 (off)' \
  'warning: folder=yes: neither 1 nor 0; the component takes it as 0 (off)' \
  'warning: show=maximized: not normal, maximize or minimize; the window opens normal' \
  'shows: Explorer request: open Explorer.exe, parameters " C:\", window normal (show command 1)'
row "a capitalised group" $'[krelvashimon]\nlocation=View\n' \
  'warning: location=View: begins with no group keyword (file, edit, playback, view or help, in lower case); the command goes to the player'"'"'s general group'
row "a group keyword followed by more" $'[krelvashimon]\nlocation=help me\n' \
  'shows: the command sits in the Help menu'
row "a label from an older release" $'[krelvashimon]\nmenu=Tools/Explorer\n' \
  'warning: menu=Tools/Explorer: a "/" marks a settings file from an older release; the player shows a "Configuration Error" box at every menu build'
row "a label cut at 254 characters" $'[krelvashimon]\nmenu='"$long_label"$'\n' \
  "warning: menu=$long_label: 300 characters; the label is cut at 254" \
  "shows: the command's label is \"${long_label:0:254}\""
row "the longest path passed whole" $'[krelvashimon]\npath='"$longest_path"$'\n' \
  "windows warning: path=$longest_path: no such folder; Explorer will report it" \
  "shows: Explorer request: open Explorer.exe, parameters \" /e,/root,$longest_path\""
row "a path too long to pass whole" $'[krelvashimon]\npath='"$too_long_path"$'\n' \
  "warning: path=$too_long_path: 1024 characters, more than the 1023 that can be passed whole; the command opens nothing" \
  "shows: Explorer request: none, because a cut path would name another folder"
row "a folder that does not exist" $'[krelvashimon]\npath=D:\\No Such Folder\n' \
  'windows warning: path=D:\No Such Folder: no such folder; Explorer will report it' \
  'native shows: note: this build cannot judge Windows paths, so whether D:\No Such Folder exists is not checked'
row "the shell's own places never warn" $'[krelvashimon]\npath=:Desktop\nroot=1\n' \
  'shows: root = "1" (from the file): does not apply to :Desktop' \
  'shows: Explorer request: open Explorer.exe, parameters " /e,/select,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"'
{ printf '\xff\xfe'; printf '[krelvashimon]\r\nmenu=Musik \xc3\x9cbersicht \xc3\xa9\r\n' | iconv -f UTF-8 -t UTF-16LE; } \
  >"$work/krelvashimon.ini"
row "a UTF-16 file, read as code page 1252" =keep \
  $'shows: menu = "Musik \xdcbersicht \xe9" (from the file)'

echo "settings check ($label): $((rows - failures)) of $rows rows as expected"
[ $failures -eq 0 ]
