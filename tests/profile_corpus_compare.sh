#!/bin/bash
# Reads the settings corpus key by key, and lists its sections and keys,
# through the native reader and through Wine's GetPrivateProfileStringA, and reports every disagreement that is not
# a known, deliberate one (listed below with its reason).
# Then the code page table of the native reader against the platform's own
# conversion, for every UTF-16 unit.
set -u
native=$1 windows=$2 corpus=$3 native_code_page=$4 windows_code_page=$5
source "$(dirname "$0")/../scripts/wine.sh"
for tool in "$windows" "$windows_code_page"; do
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

cp "$windows_code_page" "$work/code_page_dump.exe"
"$native_code_page" >"$work/code_page.native.txt" || { echo "FAIL: native code page dump"; exit 1; }
(cd "$work" && "$WINE64" ./code_page_dump.exe 2>/dev/null | tr -d '\r' >code_page.wine.txt)
units=$(wc -l <"$work/code_page.native.txt")
if [ "$units" -gt 0 ] && diff "$work/code_page.native.txt" "$work/code_page.wine.txt" >"$work/code_page.diff"; then
  echo "code page 1252: all $units UTF-16 units convert as Wine's WideCharToMultiByte does"
else
  echo "FAIL: code page 1252 table differs from Wine's conversion (< native, > wine):"
  head -20 "$work/code_page.diff"
  status=1
fi
exit $status
