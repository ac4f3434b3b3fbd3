#!/usr/bin/env bash
# The demo behind tools/run.sh: aolsim.exe, our stand-in AOL client (8.0,
# signed on, in a chat room where other members chat), and quillmoor.exe
# beside it, under Wine in the demo's own prefix.  The room's transcript is
# printed here as it grows.
#
#   tools/demo.sh live BUILD   on the user's display, until quillmoor's exit
#                              command (or Ctrl+C)
#   tools/demo.sh tour BUILD   in a virtual display: a scripted tour that
#                              saves screenshots under BUILD/screenshots,
#                              then ends by itself
#
# Every wait polls with a generous bound and says what it waited for when it
# gives up; every process of the demo is ended before this script ends.
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/env.sh

mode=$1
build=$2
: "${QM_WINEPREFIX:?the Wine prefix of the demo}"
demo=$build/demo
shots=$build/screenshots
log=$demo/room.log
room="Town Square"
tail_pid=

say() { printf '\033[1m-- %s\033[0m\n' "$*"; }
fail() { printf '\033[1;31mdemo: %s\033[0m\n' "$*" >&2; exit 1; }

cleanup() {
  [ -n "$tail_pid" ] && kill "$tail_pid" 2>/dev/null
  end_prefix "$QM_WINEPREFIX"
  wait 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Polls `cmd...` every half second until it succeeds or `seconds` pass.
wait_for() {
  local what=$1 seconds=$2; shift 2
  local end=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    if [ $SECONDS -ge $end ]; then
      printf 'demo: gave up after %s s waiting for %s\n' "$seconds" "$what" >&2
      return 1
    fi
    sleep 0.5
  done
}

window() { xdotool search --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window "$1")" ]; }
# Lines of the room's transcript that hold `pattern` (HTML tags and all).
lines_with() { LC_ALL=C grep -c -F -- "$1" "$log" 2>/dev/null || true; }
at_least() { local n; n=$(lines_with "$1"); [ "${n:-0}" -ge "$2" ]; }
quillmoor_runs() { has_window "quillmoor idle by dorwick"; }

# A picture of the whole screen, and one of a window with some room around it.
shot() {
  local name=$1 id=${2:-}
  import -window root "$shots/$name-screen.png" 2>/dev/null
  if [ -n "$id" ]; then
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || return 0
    local x=$((X > 20 ? X - 20 : 0)) y=$((Y > 20 ? Y - 20 : 0))
    import -window root -crop "$((WIDTH + 40))x$((HEIGHT + 260))+$x+$y" +repage "$shots/$name.png" 2>/dev/null
  fi
  say "screenshot: $shots/$name.png"
}

# The pictures of the user guide (docs/images): the screen around these
# windows, with `below` pixels more under the last one for its open menu.
guide_shot() {
  local name=$1 below=$2 left=100000 top=100000 right=0 bottom=0 id
  shift 2
  for id in "$@"; do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    [ "$id" = "${!#}" ] && HEIGHT=$((HEIGHT + below))
    left=$((X < left ? X : left)) top=$((Y < top ? Y : top))
    right=$((X + WIDTH > right ? X + WIDTH : right)) bottom=$((Y + HEIGHT > bottom ? Y + HEIGHT : bottom))
  done
  [ "$right" -gt 0 ] || return 0
  left=$((left > 20 ? left - 20 : 0)) top=$((top > 10 ? top - 10 : 0))
  right=$((right + 10 < 1024 ? right + 10 : 1024)) bottom=$((bottom + 10 < 768 ? bottom + 10 : 768))
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$shots/guide-$name.png" 2>/dev/null
  say "screenshot for the user guide: $shots/guide-$name.png"
}

ctl() { tools/wine-run.sh "$build/aolsim/win32/aolsimctl.exe" "$*" >/dev/null 2>&1; }

# ---- the scene -----------------------------------------------------------------

rm -rf "$demo"
mkdir -p "$demo" "$shots"
rm -f "$shots"/*.png
cp "$build/exe/quillmoor.exe" "$demo/"
# Under Wine another program's menus cannot be read, so the client's version
# is set; idle announcements every minute; three reasons to rotate; and
# disconnect protection that re-enters the room (the stand-in client takes
# any password).
printf '[aol]\r\nVERSION=8.0\r\n[interval]\r\nINTERVAL=1\r\n[dcp]\r\nAUTO DCP=yes\r\nRE-ENTER ROOM=yes\r\nROOM=%s\r\n' \
  "$room" >"$demo/quillmoor.dat"
printf 'getting coffee\r\nwalking the dog\r\nback in 5\r\n' >"$demo/quillmoor.rea"
: >"$log"

say "starting aolsim.exe, the stand-in AOL client: Joe Blow in \"$room\", with \"brb in 5\" typed"
# One word per field: Wine would quote a field with blanks (\x20 is a blank).
winlog="Z:$(printf '%s' "$log")"
tools/wine-run.sh "$build/aolsim/win32/aolsim.exe" start '8.0;' signon 'Joe\x20Blow;' \
  room 'Town\x20Square' 'brb\x20in\x205;' log "$winlog;" chatter 'Town\x20Square' 9 &
wait_for "the stand-in client's window" 120 has_window "America Online" || exit 1

say "the room's transcript (HTML tags left out):"
# New lines of the log, printed as they come (the log is in Windows-1252).
show_transcript() {
  local shown=0 total
  while :; do
    total=$(wc -l <"$log" 2>/dev/null || echo 0)
    if [ "${total:-0}" -gt "$shown" ]; then
      tail -n +"$((shown + 1))" "$log" | head -n "$((total - shown))" | iconv -f CP1252 -t UTF-8 |
        sed -e 's/<[^>]*>//g' -e 's/\r$//' | awk -F '\t' '{ printf "   [%s] %s: %s\n", $1, $2, $3 }'
      shown=$total
    fi
    sleep 0.5
  done
}
show_transcript &
tail_pid=$!

say "starting quillmoor.exe"
tools/wine-run.sh "$demo/quillmoor.exe" &
wait_for "quillmoor's main window" 120 has_window "quillmoor idle by dorwick" ||
  fail "quillmoor's main window never appeared"
main=$(window "quillmoor idle by dorwick")
wait_for "quillmoor's entry announcement" 60 at_least "quillmoor idle $(printf '\xB7') enter:" 1 ||
  fail "quillmoor never announced itself"

if [ "$mode" = live ]; then
  say "quillmoor runs on your display: its menu button is the arrow at its left; choose exit there (or press Ctrl+C here)"
  say "sign off in the client (Sign Off > Sign Off) and watch quillmoor sign back on and return to the room"
  while quillmoor_runs; do sleep 1; done
  say "quillmoor ended"
  exit 0
fi

# ---- the tour, in a virtual display -------------------------------------------------

eval "$(xdotool getwindowgeometry --shell "$main")"
mx=$X my=$Y
open_menu() {
  xdotool mousemove "$((mx + 16))" "$((my + 32))" click 1
  sleep 1
}
keys() {
  for k in "$@"; do xdotool key "$k"; sleep 0.3; done
}

sleep 1
shot 1-main "$main"

say "opening the menu with a click on the menu button"
open_menu
shot 2-menu "$main"
guide_shot main-menu 150 "$(window "America Online")" "$main"

say "other options > color 2: the prompt"
keys Down Down Down Down Down Right Down Down Return
wait_for "the \"set color 2\" prompt" 30 has_window "set color 2" || fail "the prompt never appeared"
sleep 0.5
shot 3-prompt "$(window "set color 2")"
xdotool type --delay 120 "cc0000"
keys Return
wait_for "the prompt to close" 30 bash -c "! xdotool search --name '^set color 2\$' >/dev/null"

say "idle options > idle on: an announcement in the new colour 2, then one every minute"
open_menu
keys Down Down Right Return
wait_for "the idle on line" 30 at_least "cc0000>idle on" 1 || fail "idle on was never announced"
wait_for "two idle announcements with rotating reasons (real minutes)" 150 at_least ">re: " 2 ||
  fail "the idle clock never announced"
shot 4-idling "$main"

say "the client loses its connection: quillmoor signs back on and returns to the room"
ctl "disconnect status" || fail "aolsimctl could not reach the client"
wait_for "the re-enter announcement after signing back on" 120 at_least ">dcp re-enter" 1 ||
  fail "quillmoor never returned to the room"
sleep 2
shot 5-back-in-the-room "$main"

say "idle options > edit reasons: the reasons editor, and its menu from a right click on the list"
open_menu
keys Down Down Right Down Down Down Down Return
wait_for "the reasons editor" 30 has_window "reasons" || fail "the reasons editor never appeared"
editor=$(window "reasons")
eval "$(xdotool getwindowgeometry --shell "$editor")"
xdotool mousemove "$((X + 60))" "$((Y + 16))" click 1
sleep 0.5
xdotool click 3
sleep 1
guide_shot reasons-editor 100 "$editor"
keys Up Return
wait_for "the reasons editor to close" 30 bash -c "! xdotool search --onlyvisible --name '^reasons\$'" ||
  fail "done edit did not close the reasons editor"

say "exit: the farewell, then quillmoor ends"
open_menu
keys Up Return
wait_for "quillmoor to end" 60 bash -c "! xdotool search --name '^quillmoor idle by dorwick\$'" ||
  fail "quillmoor did not end"
sleep 1
shot 6-farewell
say "the tour is over"
