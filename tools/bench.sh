#!/usr/bin/env bash
# The benchmark: one table, each figure measured side by side with its
# yardstick in the same run, so that a busy machine weighs on both alike.
#
#   tools/bench.sh [EXE]    EXE: the quillmoor.exe to measure (default the
#                           release build's, build/windows-release/exe/quillmoor.exe,
#                           made by tools/release.sh when it is not there)
#   QM_BENCH_QUICK=1        10 s instead of 60 s and 5 min, 3 starts instead of 10
#   QM_BENCH_ANNOUNCEMENTS  announcements for P6 (default 10000, bounded by
#                           QM_BENCH_P6_SECONDS, default 120; quick: 10)
#
# Under Wine, in a virtual display and a Wine prefix of its own
# (build/bench/wineprefix).  CPU is read from /proc/PID/stat of the Wine
# processes (user + system time; wineserver's share is shown apart), memory
# from /proc/PID/status (VmRSS, the resident set: Wine's working set).
# Not part of the test command; nothing here asserts a figure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ -z "${QM_BENCH_IN_DISPLAY:-}" ]; then
  QM_BENCH_IN_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
. tools/env.sh

quick=${QM_BENCH_QUICK:-0}
if [ "$quick" = 1 ]; then
  p1=10 p2=10 starts=3 p6=10
else
  p1=60 p2=300 starts=10 p6=${QM_BENCH_P6_SECONDS:-120}
fi
target_announcements=${QM_BENCH_ANNOUNCEMENTS:-10000}

say() { printf '\033[1m-- %s\033[0m\n' "$*" >&2; }
fail() { printf '\033[1;31mbench: %s\033[0m\n' "$*" >&2; exit 1; }

# ---- what is measured ---------------------------------------------------------------

exe=${1:-build/windows-release/exe/quillmoor.exe}
if [ ! -f "$exe" ] && [ -z "${1:-}" ]; then
  tools/release.sh >&2
fi
[ -f "$exe" ] || fail "no $exe"
exe=$(realpath "$exe")

# The programs that run under Wine: the product where this machine runs
# 32-bit code, else its 64-bit twin (the exe measured for P4 stays the one given).
if [ "$QM_WINE_PRESET" = windows ]; then
  run_exe=$exe cc=i686-w64-mingw32-gcc strip=i686-w64-mingw32-strip objdump=i686-w64-mingw32-objdump
else
  run_exe=$root/build/windows64/exe/quillmoor.exe cc=x86_64-w64-mingw32-gcc
  strip=i686-w64-mingw32-strip objdump=i686-w64-mingw32-objdump
fi
wbuild=$root/build/$QM_WINE_PRESET
for f in "$wbuild/aolsim/win32/aolsim.exe" "$wbuild/aolsim/win32/aolsimctl.exe" "$run_exe"; do
  if [ ! -f "$f" ]; then
    cmake --preset "$QM_WINE_PRESET" >&2 && cmake --build --preset "$QM_WINE_PRESET" --target quillmoor aolsim aolsimctl >&2
    break
  fi
done

bench=$root/build/bench
work=$bench/run
prefix=$bench/wineprefix
mkdir -p "$bench"
rm -rf "$work"
mkdir -p "$work/q" "$work/m"
say "building the yardsticks in platform/win32/bench/"
for p in minimal spin; do
  $cc -O2 -Wall -Wextra -Werror -mwindows -o "$work/m/$p.exe" platform/win32/bench/$p.c || fail "cannot build platform/win32/bench/$p.c"
done
$cc -O2 -Wall -Wextra -Werror -o "$work/m/probe.exe" platform/win32/bench/probe.c || fail "cannot build platform/win32/bench/probe.c"

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
loader=$(wine_loader)
end_prefix "$prefix"
prepare_prefix "$prefix"
trap 'end_prefix "$prefix"' EXIT
trap 'exit 130' INT TERM
# A 64-bit prefix has no C:\windows\system: there the password goes under the
# user's application-data folder.
if [ -d "$prefix/drive_c/windows/system" ]; then
  pws=$prefix/drive_c/windows/system/quillmoor.pws
else
  pws=$(ls -d "$prefix"/drive_c/users/*/AppData/Roaming 2>/dev/null | head -n 1)/quillmoor/quillmoor.pws
  mkdir -p "$(dirname "$pws")"
fi

hz=$(getconf CLK_TCK)
# (aolsim's scripts take backslashes as escapes: paths go to it with slashes.)
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# ---- Wine processes of this prefix ------------------------------------------------------

# The Linux process of this prefix whose command line holds `name`.
pid_of() {
  local name=$1 p
  # The server works in /tmp/wine-*/server-DEVICE-INODE, the prefix's numbers.
  local server
  server=$(stat -c 'server-%D-%i' "$prefix" | awk -F- '{ printf "%s-%s-%x", $1, $2, $3 }')
  for p in /proc/[0-9]*; do
    if [ "$name" = wineserver ]; then
      case $(readlink "$p/cwd" 2>/dev/null) in */"$server") ;; *) continue ;; esac
    else
      { tr '\0' '\n' <"$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" || continue
      { tr '\0' ' ' <"$p/cmdline"; } 2>/dev/null | grep -qiF -- "$name" || continue
    fi
    echo "${p#/proc/}"
    return 0
  done
  return 1
}
# User + system time of a process, in clock ticks.
ticks() { [ -n "$1" ] && sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk '{ print $12 + $13 }'; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
pct() { awk -v t="$1" -v s="$2" -v hz="$hz" 'BEGIN { printf "%.2f %%", 100 * t / hz / s }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "-" }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }
thousands() { sed -e ':a' -e 's/\B[0-9]\{3\}\>/,&/' -e 'ta' <<<"$1"; }

wine_bg() { "$loader" "$@" >/dev/null 2>&1 & }
window() { xdotool search --name "^$1\$" 2>/dev/null | head -n 1; }
wait_until() {
  local what=$1 seconds=$2; shift 2
  local end=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $end ] && { printf 'bench: gave up after %s s waiting for %s\n' "$seconds" "$what" >&2; return 1; }
    sleep 0.5
  done
}
has_window() { [ -n "$(window "$1")" ]; }
ctl() { "$loader" "$wbuild/aolsim/win32/aolsimctl.exe" "$*" 2>/dev/null | tr -d '\r'; }
log=$work/room.log
lines_with() { LC_ALL=C grep -c -F -- "$1" "$log" 2>/dev/null || true; }
at_least() { local n; n=$(lines_with "$1"); [ "${n:-0}" -ge "$2" ]; }

# aolsim.exe signed on in a room, its transcript logged; then quillmoor.exe
# with these settings, until its entry lines are in the room.
scene() {
  local settings=$1 extra=${2:-}
  end_prefix "$prefix"
  rm -f "$work/q/quillmoor.dat" "$log"
  : >"$log"
  printf '%b' "$settings" >"$work/q/quillmoor.dat"
  printf 'brb\r\neating\r\nsleeping\r\n' >"$work/q/quillmoor.rea"
  wine_bg "$wbuild/aolsim/win32/aolsim.exe" start '8.0;' signon 'Joe\x20Blow;' room Lobby';' \
    log "Z:$log;" $extra
  wait_until "aolsim's window" 120 has_window "America Online" || fail "aolsim.exe did not start"
  wine_bg "$work/q/quillmoor.exe"
  wait_until "quillmoor's window" 60 has_window "quillmoor idle by dorwick" || fail "quillmoor.exe did not start"
  wait_until "quillmoor's entry announcement" 180 at_least "enter:" 1 || fail "quillmoor never announced itself"
  sleep 1
  qpid=$(pid_of "$work/q/quillmoor.exe") || fail "no process of quillmoor.exe"
}
# quillmoor's menu, by the button at its left, then these keys.
choose() {
  local main
  main=$(window "quillmoor idle by dorwick")
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool mousemove "$((X + 16))" "$((Y + 32))" click 1
  sleep 1
  for k in "$@"; do xdotool key "$k"; sleep 0.3; done
}
idle_on() {
  choose Down Down Right Return
  wait_until "the idle on line" 30 at_least ">idle on" 1 || fail "idle on was never announced"
}

cp "$run_exe" "$work/q/quillmoor.exe"
rows=()
row() { rows+=("$(printf '| %s | %s | %s | %s | %s |' "$@")"); }

# ---- P1: a sign-on wait against a PeekMessage loop ----------------------------------------

say "P1: quillmoor.exe waiting $p1 s for a sign-on, beside a PeekMessage loop"
printf '[dcp]\r\nPASSWORD="bench"\r\n' >"$pws"
scene '[aol]\r\nVERSION=8.0\r\n[dcp]\r\nAUTO DCP=yes\r\n' "delay signon $((p1 + 60))"
ctl disconnect >/dev/null
wait_until "the password typed" 30 bash -c "'$loader' '$wbuild/aolsim/win32/aolsimctl.exe' passwords 2>/dev/null | grep -q bench" ||
  fail "quillmoor never typed the password"
wine_bg "$work/m/spin.exe" "$((p1 + 10))"
wait_until "the spinning program" 30 has_window "qm bench spin" || fail "spin.exe did not start"
spid=$(pid_of "$work/m/spin.exe") || fail "no process of spin.exe"
wpid=$(pid_of wineserver)
q0=$(ticks "$qpid") s0=$(ticks "$spid") w0=$(ticks "$wpid")
sleep "$p1"
q1=$(ticks "$qpid") s1=$(ticks "$spid") w1=$(ticks "$wpid")
state=$(ctl state | tail -n 1)
case $state in *connecting*) ;; *) say "P1: the client no longer connecting at the end ($state)";; esac
row P1 "CPU over $p1 s in a sign-on wait, of one core" "$(pct $((q1 - q0)) "$p1")" \
  "PeekMessage loop: $(pct $((s1 - s0)) "$p1")" \
  "$(ratio $((q1 - q0)) $((s1 - s0))); wineserver (for both) $(pct $((w1 - w0)) "$p1")"

# ---- P2: all three timers on, nothing to do --------------------------------------------

say "P2: quillmoor.exe beside aolsim.exe for $p2 s, idle on (interval 60), dcp and auto upchat on, against a minimal window program"
scene '[aol]\r\nVERSION=8.0\r\n[interval]\r\nINTERVAL=60\r\n[dcp]\r\nAUTO DCP=yes\r\n[upchat]\r\nAUTO UPCHAT=yes\r\n'
idle_on
wine_bg "$work/m/minimal.exe"
wait_until "the minimal program" 30 has_window "qm bench minimal" || fail "minimal.exe did not start"
mpid=$(pid_of "$work/m/minimal.exe") || fail "no process of minimal.exe"
apid=$(pid_of "aolsim/win32/aolsim.exe")
wpid=$(pid_of wineserver)
sleep 1
lines0=$(wc -l <"$log")
q0=$(ticks "$qpid") m0=$(ticks "$mpid") a0=$(ticks "$apid") w0=$(ticks "$wpid")
sleep "$p2"
q1=$(ticks "$qpid") m1=$(ticks "$mpid") a1=$(ticks "$apid") w1=$(ticks "$wpid")
said=$(($(wc -l <"$log") - lines0))
row P2 "CPU over $p2 s beside aolsim.exe, 3 timers on, nothing to do" "$((q1 - q0)) ticks ($(pct $((q1 - q0)) "$p2"))" \
  "minimal: $((m1 - m0)) ticks ($(pct $((m1 - m0)) "$p2"))" \
  "ticks of 1/$hz s; aolsim $((a1 - a0)), wineserver $((w1 - w0)); $said lines said"

# ---- P3: start-up to the shown window ---------------------------------------------------

say "P3: start-up to the shown window, $starts starts each, alternating (no client running)"
end_prefix "$prefix"
rm -f "$work/q/quillmoor.dat"
qwin=$(winpath "$work/q/quillmoor.exe") mwin=$(winpath "$work/m/minimal.exe")
# A first start of each, untimed: Wine loads its own DLLs once.
"$loader" "$work/m/probe.exe" startup 1 "$qwin" "quillmoor idle by dorwick" "$mwin" "qm bench minimal" >/dev/null 2>&1
out=$("$loader" "$work/m/probe.exe" startup "$starts" "$qwin" "quillmoor idle by dorwick" "$mwin" "qm bench minimal" 2>&1 | tr -d '\r')
median() { grep "^startup $1 " <<<"$out" | awk '{ print $3 }' | sort -n | awk '{ a[NR] = $1 } END { if (NR) print (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2) }'; }
qs=$(median 0) ms=$(median 1)
[ -n "$qs" ] && [ -n "$ms" ] || fail "start-up not measured: $out"
row P3 "start-up to the shown window, median of $starts" "$(printf '%.1f ms' "$qs")" "minimal: $(printf '%.1f ms' "$ms")" \
  "$(ratio "$qs" "$ms")"

# ---- P4: the release exe ----------------------------------------------------------------

say "P4: the exe's bytes, stripped, and its DLLs"
$strip -o "$work/stripped.exe" "$exe"
bytes=$(stat -c %s "$exe") stripped=$(stat -c %s "$work/stripped.exe")
dlls=$($objdump -p "$exe" | awk '/DLL Name:/ { print $3 }' | sort -f | paste -sd ' ' | sed 's/ /, /g')
row P4 "bytes of ${exe#"$root"/}, stripped; its DLLs" "$(thousands "$stripped")" "unstripped: $(thousands "$bytes")" "$dlls"

# ---- P6: working set at start and after N announcements -----------------------------------

say "P6: working set, at start and after up to $target_announcements announcements (at most $p6 s), against a minimal window program"
scene '[aol]\r\nVERSION=8.0\r\n[interval]\r\nINTERVAL=1\r\n[dcp]\r\nAUTO DCP=yes\r\n[upchat]\r\nAUTO UPCHAT=yes\r\n'
wine_bg "$work/m/minimal.exe"
wait_until "the minimal program" 30 has_window "qm bench minimal" || fail "minimal.exe did not start"
mpid=$(pid_of "$work/m/minimal.exe") || fail "no process of minimal.exe"
sleep 2
qr0=$(rss_kb "$qpid") mr0=$(rss_kb "$mpid")
idle_on
# Each announcement is two lines: the clock and, at once after it, a reason.
announcements() { lines_with '>re: '; }
# The first announcements fill what the program keeps for good: growth is
# counted apart from them.
warm=10 qrw=
end=$((SECONDS + p6))
while [ "$(announcements)" -lt "$target_announcements" ] && [ $SECONDS -lt $end ]; do
  "$loader" "$work/m/probe.exe" tick 5 >/dev/null 2>&1 || fail "no quillmoor to tick"
  [ -z "$qrw" ] && [ "$(announcements)" -ge "$warm" ] && qrw=$(rss_kb "$qpid") nw=$(announcements)
done
n=$(announcements)
sleep 2
qr1=$(rss_kb "$qpid") mr1=$(rss_kb "$mpid")
row P6 "working set at start" "$(mb "$qr0")" "minimal: $(mb "$mr0")" "$(ratio "$qr0" "$mr0")"
row P6 "working set after $n announcements (2 lines each, in $p6 s)" "$(mb "$qr1")" "minimal: $(mb "$mr1")" \
  "$(ratio "$qr1" "$mr1"); quillmoor grew $((qr1 - qr0)) KB$(
    [ -n "$qrw" ] && echo ", of which $((qr1 - qrw)) KB after the first $nw")"
end_prefix "$prefix"

# ---- P5: a simulated month, natively -----------------------------------------------------

say "P5: a simulated month in virtual time (native Release build in build/bench/native)"
cmake -S . -B "$bench/native" -DCMAKE_BUILD_TYPE=Release -DQM_WERROR=ON >/dev/null &&
  cmake --build "$bench/native" --target qm_month_bench -j2 >/dev/null || fail "cannot build the month benchmark"
month=$("$bench/native/bench/qm_month_bench") || fail "the simulated month went wrong: $month"
wall=$(sed -E 's/.* ([0-9.]+) s wall.*/\1/' <<<"$month")
lps=$(sed -E 's/.* ([0-9]+) lines\/s.*/\1/' <<<"$month")
mlines=$(sed -E 's/.* ([0-9]+) lines \(.*/\1/' <<<"$month")
row P5 "a simulated month (native, virtual time): 30 days, interval 1, every tick announcing" "$wall s wall" \
  "$(thousands "$lps") lines/s" "$(thousands "$mlines") lines"

# ---- the table -----------------------------------------------------------------------------

echo
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(uname -m), $("$loader" --version), $QM_WINE_PRESET build$(
  [ "$quick" = 1 ] && echo ", QM_BENCH_QUICK=1 (10 s instead of 60 s and 5 min, $starts starts, P6 for 10 s)")"
echo
echo "| | measure | quillmoor | yardstick | ratio, notes |"
echo "|---|---|---|---|---|"
printf '%s\n' "${rows[@]}" | sort -s -k2,2
