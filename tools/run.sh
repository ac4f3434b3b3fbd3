#!/usr/bin/env bash
# The main job: builds quillmoor.exe and runs it under Wine, in a Wine prefix
# inside the build folder.  On the user's display when there is one (it runs
# until you choose "exit" from its menu); otherwise in a virtual display for
# a short run that saves a screenshot and ends by itself.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
. tools/env.sh

cmake --preset windows
cmake --build --preset windows
if [ "$QM_WINE_PRESET" != windows ]; then
  echo "this machine cannot run 32-bit code: running the 64-bit twin build under Wine"
  cmake --preset "$QM_WINE_PRESET"
  cmake --build --preset "$QM_WINE_PRESET"
fi
build=$PWD/build/$QM_WINE_PRESET
exe=$build/platform/win32/quillmoor.exe
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "running quillmoor on $DISPLAY; choose exit from its menu to end it"
  exec tools/wine-run.sh "$exe"
fi

shots=$build/screenshots
mkdir -p "$shots"
xvfb-run -a -s "-screen 0 640x400x24" bash -c '
  set -u
  tools/wine-run.sh "$1" & pid=$!
  for i in $(seq 1 150); do xdotool search --name "quillmoor idle by dorwick" >/dev/null 2>&1 && break; sleep 0.2; done
  sleep 2
  import -window root "$2"
  wineserver -k 2>/dev/null; wait $pid 2>/dev/null
' _ "$exe" "$shots/run.png"
echo "screenshot saved: $shots/run.png"
