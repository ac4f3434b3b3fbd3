#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: in a Wine prefix inside the
# build folder (never the user's own), on a virtual X display unless the caller
# already provides one.  CMake uses it as the emulator for the Windows tests.
set -u
exe=$1; shift
build=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${QM_WINEPREFIX:-$build/wineprefix-tests}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$exe" "$@"
fi
# 32-bit programs need the 32-bit loader; 64-bit ones run under wine64.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ')
if [ "$machine" = 014c ]; then loader=/usr/lib/wine/wine; else loader=/usr/lib/wine/wine64; fi
[ -x "$loader" ] || loader=wine
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  ( flock 9; [ -f "$WINEPREFIX/system.reg" ] || "$loader" wineboot -i >/dev/null 2>&1 ) 9>"$WINEPREFIX.lock"
fi
exec "$loader" "$exe" "$@"
