#!/bin/bash
# Reads the settings corpus key by key, and lists its sections and keys,
# through the native reader and through Wine's GetPrivateProfileStringA, and
# reports every disagreement that is not a known, deliberate one (listed
# below with its reason). Then the native reader's two conversions against
# the platform's own: code page 1252 for every UTF-16 unit, and UTF-8 over a
# broad set of sequences.
set -u
native=$1 windows=$2 corpus=$3 native_code_page=$4 windows_code_page=$5 native_utf8=$6 windows_utf8=$7
source "$(dirname "$0")/../scripts/wine.sh"
for tool in "$windows" "$windows_code_page" "$windows_utf8"; do
  [ -f "$tool" ] || { echo "FAIL: $tool missing (build win64 first)"; exit 1; }
done
work=$(mktemp -d)
trap 'wine_stop; rm -rf "$work"' EXIT
wine_prefix "$work/prefix"
cp "$corpus"/*.ini "$work/"
cp "$windows" "$work/profile_dump.exe"
(cd "$work" && "$native" *.ini >native.txt) || { echo "FAIL: native reader crashed"; exit 1; }
(cd "$work" && "$WINE64" ./profile_dump.exe *.ini 2>/dev/null | tr -d '\r' >wine.txt)

# Deliberate differences: a grep pattern per entry, "pattern|reason". None at
# present.
known=(
)
total=$(wc -l <"$work/native.txt")
[ "$total" -gt 0 ] && [ "$(wc -l <"$work/wine.txt")" = "$total" ] || { echo "FAIL: Wine gave $(wc -l <"$work/wine.txt") rows, native $total"; exit 1; }
diffs=$(paste -d '\n' "$work/native.txt" "$work/wine.txt" | paste - - | awk -F'\t' '$1 != $2')
unexplained=$diffs
for pattern in "${known[@]}"; do unexplained=$(grep -v -- "${pattern%%|*}" <<<"$unexplained" || true); done
agree=$((total - $(grep -c . <<<"$diffs" || true)))
echo "settings corpus: $agree of $total queries agree with Wine's GetPrivateProfileStringA"
status=0
if [ -n "$unexplained" ]; then
  echo "disagreements (native <TAB> wine):"; echo "$unexplained" | head -40
  status=1
fi

# same_output NAME NATIVE WINDOWS SUMMARY: the two programs print the same.
same_output() {
  local name=$1 native_tool=$2 windows_tool=$3 summary=$4 lines
  cp "$windows_tool" "$work/$name.exe"
  "$native_tool" >"$work/$name.native.txt" || { echo "FAIL: native $name"; status=1; return; }
  (cd "$work" && "$WINE64" "./$name.exe" 2>/dev/null | tr -d '\r' >"$name.wine.txt")
  lines=$(wc -l <"$work/$name.native.txt")
  if [ "$lines" -gt 0 ] && diff "$work/$name.native.txt" "$work/$name.wine.txt" >"$work/$name.diff"; then
    echo "$summary" | sed "s/N/$lines/"
  else
    echo "FAIL: $name differs from Wine (< native, > wine):"
    head -20 "$work/$name.diff"
    status=1
  fi
}
same_output code_page_dump "$native_code_page" "$windows_code_page" \
  "code page 1252: all N UTF-16 units convert as Wine's WideCharToMultiByte does"
same_output utf8_dump "$native_utf8" "$windows_utf8" \
  "UTF-8: all N byte sequences decode as Wine's MultiByteToWideChar does"
exit $status
