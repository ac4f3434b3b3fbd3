#!/usr/bin/env bash
# Every test: the native build's tests, then the Windows build's tests under
# Wine in a virtual X display.  Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
. tools/env.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

# The product, always built (and checked by the Windows tests).
cmake --preset windows
cmake --build --preset windows
if [ "$QM_WINE_PRESET" != windows ]; then
  echo "this machine cannot run 32-bit code: the Wine tests run the 64-bit twin build"
  cmake --preset "$QM_WINE_PRESET"
  cmake --build --preset "$QM_WINE_PRESET"
fi

prefix=build/$QM_WINE_PRESET/wineprefix
status=0
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset "$QM_WINE_PRESET" || status=$?
WINEPREFIX=$PWD/$prefix wineserver -k 2>/dev/null || true
exit $status
