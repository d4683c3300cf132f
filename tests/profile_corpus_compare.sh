#!/bin/bash
# Reads the settings corpus key by key through the native reader and through
# Wine's GetPrivateProfileStringA, and reports every disagreement that is not
# a known, deliberate one (listed below with its reason).
set -u
native=$1 windows=$2 corpus=$3
source "$(dirname "$0")/../scripts/wine.sh"
[ -f "$windows" ] || { echo "FAIL: $windows missing (build win64 first)"; exit 1; }
work=$(mktemp -d)
trap 'wine_stop; rm -rf "$work"' EXIT
wine_prefix "$work/prefix"
cp "$corpus"/*.ini "$work/"
cp "$windows" "$work/profile_dump.exe"
(cd "$work" && "$native" *.ini >native.txt) || { echo "FAIL: native reader crashed"; exit 1; }
(cd "$work" && "$WINE64" ./profile_dump.exe *.ini 2>/dev/null | tr -d '\r' >wine.txt)

# Deliberate differences: a grep pattern per entry, "pattern|reason". None at
# present. (Non-ASCII characters of UTF-16 files become "?" natively, where
# the platform converts them to its ANSI code page; the corpus has none.)
known=(
)
total=$(wc -l <"$work/native.txt")
[ "$total" -gt 0 ] && [ "$(wc -l <"$work/wine.txt")" = "$total" ] || { echo "FAIL: Wine gave $(wc -l <"$work/wine.txt") rows, native $total"; exit 1; }
diffs=$(paste -d '\n' "$work/native.txt" "$work/wine.txt" | paste - - | awk -F'\t' '$1 != $2')
unexplained=$diffs
for pattern in "${known[@]}"; do unexplained=$(grep -v -- "${pattern%%|*}" <<<"$unexplained" || true); done
agree=$((total - $(grep -c . <<<"$diffs" || true)))
echo "settings corpus: $agree of $total queries agree with Wine's GetPrivateProfileStringA"
if [ -n "$unexplained" ]; then
  echo "disagreements (native <TAB> wine):"; echo "$unexplained" | head -40
  exit 1
fi
exit 0
