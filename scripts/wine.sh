# Wine helpers for the tests: the 64-bit loader (not on PATH in Debian 12)
# and a prefix of the caller's own.
WINE64=$(command -v wine64 || true)
[ -n "$WINE64" ] || WINE64=$(dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$' || true)
[ -x "${WINE64:-}" ] || { echo "FAIL: no wine64 loader found (is the wine64 package installed?)"; exit 1; }
WINESERVER=$(dirname "$WINE64")/wineserver

wine_prefix() {  # $1: a directory of the caller's own
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  mkdir -p "$WINEPREFIX"
  timeout 120 "$WINE64" wineboot -i >/dev/null 2>&1 || true
}

wine_stop() { [ -n "${WINEPREFIX:-}" ] && timeout 20 "$WINESERVER" -k >/dev/null 2>&1 || true; }
