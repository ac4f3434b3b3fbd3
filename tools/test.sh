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

# The product is always built: the Windows tests check it too.
build_windows

prefix=build/$QM_WINE_PRESET/wineprefix
status=0
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset "$QM_WINE_PRESET" || status=$?
WINEPREFIX=$PWD/$prefix wineserver -k 2>/dev/null || true
exit $status
