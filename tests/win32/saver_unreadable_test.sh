#!/usr/bin/env bash
# The real saver under Wine with entries it cannot read: a 20-byte file, and a movie that
# another Windows process holds open without sharing, each after a good movie, in both
# layouts. The saver passes over them: after 6 s no message box is up, the good movie has
# been loaded again, and one mouse movement ends the saver. A list of which nothing can be
# read leaves a black screen that costs next to no CPU time and ends on a key.
# Usage: saver_unreadable_test.sh <build dir> <source dir>
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e_common.sh"

GOOD=fws_550x400_12fps_12f.swf  # one second
HOLDER="$BUILD/tests/win32/helpers/file_holder.exe"
[[ -f $HOLDER ]] || { echo "build $HOLDER first" >&2; exit 1; }

printf 'FWS\x0a%016d' 0 >"$TMP/movies/short.swf"
check "the short file is 20 bytes" 20 "$(stat -c %s "$TMP/movies/short.swf")"
cp "$TMP/movies/$GOOD" "$TMP/movies/held.swf"

# --- another process holds held.swf open without sharing it ----------------------------------
mkfifo "$TMP/holder.in" "$TMP/holder.out"
timeout 280 wine "$HOLDER" "$(movie held.swf)" <"$TMP/holder.in" >"$TMP/holder.out" 2>/dev/null &
BACKGROUND+=($!)
exec {holder_in}>"$TMP/holder.in"
exec {holder_out}<"$TMP/holder.out"
state=""
read -r -t 30 state <&"$holder_out"
check "the helper holds held.swf" holding "${state%$'\r'}"

saver_pid() { pgrep -P "$(cat "$TMP/saver.pid" 2>/dev/null)" 2>/dev/null | head -n 1; }
message_boxes() { timeout 30 wine "$BOX_TEXT" </dev/null 2>/dev/null | tr -d '\r'; }

# One movement of the hand: the pointer crosses the screen in 40 small steps over 2 s.
one_mouse_movement() {
  local step
  for ((step = 0; step < 40; step++)); do
    xdotool mousemove $((100 + 18 * step)) $((100 + 12 * step))
    sleep 0.05
  done
}

# A good movie, then the entry that cannot be read.
passes_over() {  # label expansion unreadable-entry
  settings "$2" "$(movie $GOOD)" "$3"
  start_saver
  sleep 6
  check "$1: no message box after 6 s" "" "$(message_boxes)"
  local loads gap
  loads=$(trace_events Movie | grep -c "$GOOD\$")
  check "$1: only the good movie reached the control" "" "$(trace_events Movie | grep -v "$GOOD\$")"
  if ((loads >= 2)); then
    echo "ok: $1: the good movie was loaded $loads times"
    # The entry took its turn with a pause of its own: from Play to the next load the movie's
    # second and two pauses, where a list without the entry would take one.
    gap=$(($(trace_time Movie 2) - $(trace_time Play 1)))
    if ((gap >= 1800)); then echo "ok: $1: the entry was tried and passed over (${gap} ms)"; else
      fail "$1: the good movie came back after only ${gap} ms"; fi
  else
    fail "$1: the good movie was loaded $loads times in 6 s"
  fi
  if ! running; then fail "$1: the saver ended by itself (exit $(cat "$TMP/saver.rc"))"; return; fi
  one_mouse_movement
  saver_exit 15
  check "$1: one mouse movement ends the saver with 0" 0 "$EXITED"
}

passes_over "20-byte file, own size" 0 "$(movie short.swf)"
passes_over "20-byte file, fitted" 1 "$(movie short.swf)"
passes_over "file held open, own size" 0 "$(movie held.swf)"
passes_over "file held open, fitted" 1 "$(movie held.swf)"

# --- nothing in the list can be read: black, quiet, and a key still ends it ------------------
settings 0 "$(movie short.swf)" "$(movie held.swf)"
start_saver
wait_visible
sleep 1
pid=$(saver_pid)
before=$(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null)
sleep 5
after=$(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null)
ticks=$((${after:-0} - ${before:-0}))
hz=$(getconf CLK_TCK)
if [[ -n $before && -n $after ]] && ((ticks * 10 < 5 * hz)); then
  echo "ok: the saver used $((ticks * 1000 / hz)) ms of CPU time in 5 s"
else
  fail "the saver used ${ticks} ticks of CPU time in 5 s (pid ${pid:-none})"
fi
check "nothing unreadable: no message box" "" "$(message_boxes)"
check "nothing unreadable: nothing reached the control" "" "$(trace_events Movie)"
import -window root "$ARTIFACTS/saver_unreadable.png" 2>/dev/null
check "nothing unreadable: black in the middle" "srgb(0,0,0)" \
  "$(convert "$ARTIFACTS/saver_unreadable.png" -format '%[pixel:p{512,384}]' info: 2>/dev/null | sed 's/^gray(0)$/srgb(0,0,0)/')"
xdotool key a
saver_exit 15
check "nothing unreadable: a key ends the saver with 0" 0 "$EXITED"

exec {holder_in}>&-
exit $FAILED
