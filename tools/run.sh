#!/usr/bin/env bash
# The main job: builds quillmoor.exe and runs it under Wine, in a Wine prefix
# inside the build folder, beside aolsim.exe, our stand-in AOL client (signed
# on, in a chat room), so that there is a client to drive.  On the user's
# display when there is one (Ctrl+C ends both);
# otherwise in a virtual display for a short run that saves a screenshot and
# ends by itself.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
. tools/env.sh

build_windows
build=$PWD/build/$QM_WINE_PRESET
export QM_WINEPREFIX=$build/wineprefix-demo  # its own: the tests have another
prepare_prefix "$QM_WINEPREFIX"

# Starts the stand-in client, waits until its scene is set, then runs quillmoor.
demo() {
  # One word per field: Wine would quote a field with blanks (\x20 is a blank).
  tools/wine-run.sh "$1/aolsim/win32/aolsim.exe" start '8.0;' signon 'Joe\x20Blow;' \
    room 'Town\x20Square' 'brb\x20in\x205' &
  for _ in $(seq 1 150); do xdotool search --name "^America Online$" >/dev/null 2>&1 && break; sleep 0.2; done
  sleep 2
  tools/wine-run.sh "$1/exe/quillmoor.exe"
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "running quillmoor and the stand-in client on $DISPLAY; press Ctrl+C here to end both"
  trap 'end_prefix "$QM_WINEPREFIX"' EXIT
  demo "$build"
  exit 0
fi

shots=$build/screenshots
mkdir -p "$shots"
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  set -u
  . tools/env.sh
  '"$(declare -f demo)"'
  demo "$1" & pid=$!
  for _ in $(seq 1 150); do xdotool search --name "^quillmoor idle by dorwick$" >/dev/null 2>&1 && break; sleep 0.2; done
  sleep 2
  import -window root "$2"
  WINEPREFIX=$QM_WINEPREFIX wineserver -k 2>/dev/null
  sleep 1; kill $pid 2>/dev/null; true
' _ "$build" "$shots/run.png"
echo "screenshot saved: $shots/run.png"
