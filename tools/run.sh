#!/usr/bin/env bash
# The main job: builds quillmoor.exe and runs it under Wine beside aolsim.exe,
# our stand-in AOL client (signed on, in a chat room where others chat),
# printing the room's transcript as it grows.  On the user's display when
# there is one (until quillmoor's exit command, or Ctrl+C); otherwise in a
# virtual display, a short scripted tour that saves screenshots under
# build/<preset>/screenshots and ends by itself.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
. tools/env.sh

build_windows
build=$PWD/build/$QM_WINE_PRESET
# The demo's own prefix (the tests have another), made ready before anything
# is timed.
export QM_WINEPREFIX=$build/wineprefix-demo
end_prefix "$QM_WINEPREFIX"
prepare_prefix "$QM_WINEPREFIX"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec tools/demo.sh live "$build"
fi
xvfb-run -a -s "-screen 0 1024x768x24" tools/demo.sh tour "$build"
