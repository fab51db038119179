#!/usr/bin/env bash
# The real saver's ways out under Wine, with real input from xdotool and real messages: mouse
# movement after the budget of ten messages, a right click (on the movie too, and before
# anything plays), a key (but not Tab, which focus navigation takes), a left click on the
# black area (not on the movie), the private message 0x402 (not 0x401); each ends the process
# with exit code 0.
# Without the registered control the saver stays a black screen without a message box, records
# the error in the registry, and a key still ends it with exit code 0.
# Usage: saver_exit_test.sh <build dir> <source dir>
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e_common.sh"

LONG=fws_320x240_30fps_60f.swf    # two seconds at 30 fps
WIDE=fws_550x400_12fps_12f.swf    # one second, at 237,184 to 787,584 on the display

# Starts the saver on the given list and waits until the first movie plays.
start_playing() {  # sample
  settings 0 "$(movie "$1")"
  start_saver
  wait_trace '^[0-9]+ Play$' 1 20 || fail "the saver did not start playing $1"
}

still_running_after() {  # seconds description
  sleep "$1"
  if running; then echo "ok: $2"; else fail "$2: the saver ended (exit $(cat "$TMP/saver.rc"))"; fi
}

post() { timeout 30 wine "$PROBE" post "$1" </dev/null >/dev/null 2>&1; }

# --- mouse movement: ten messages are swallowed, the eleventh ends it ------------------------
# The saver has ended its loop when the control is deactivated; the process itself takes a
# little longer to go. The window appearing under the pointer may give it one move message of
# its own (Wine turns the pointer entering the new window into one), and moves that arrive
# while the saver sleeps between two movies are merged into one message: so the user's move
# that ends it is the tenth or the eleventh, or one or two later. The exact count is a matter
# of the native tests.
start_playing $LONG
moves=0
while ((moves < 9)); do
  moves=$((moves + 1))
  xdotool mousemove $((100 + 9 * moves)) $((100 + 6 * moves))
  sleep 0.2
done
if wait_trace '^[0-9]+ Deactivate$' 1 1; then fail "nine mouse moves ended the saver"; else
  echo "ok: nine mouse moves leave the saver running"; fi
while ((moves < 20)) && ! wait_trace '^[0-9]+ Deactivate$' 1 1; do
  moves=$((moves + 1))
  xdotool mousemove $((100 + 9 * moves)) $((100 + 6 * moves))
done
echo "   (the saver's loop ended after move $moves)"
saver_exit 15
check "mouse movement ends the saver with 0" 0 "$EXITED"
if ((moves >= 10 && moves <= 13)); then echo "ok: the saver ends after the budget of moves"; else
  fail "the saver's loop ended after move $moves"; fi

# --- right click, while playing and before anything plays -----------------------------------
start_playing $LONG
xdotool mousemove 512 384 click 3  # on the movie, which never sees the press
saver_exit 15
check "a right click on the movie ends the playing saver with 0" 0 "$EXITED"

settings 0 "$(movie gone.swf)"
start_saver
wait_visible
xdotool click 3
saver_exit 15
check "a right click ends the saver that plays nothing with 0" 0 "$EXITED"

# --- keys: Tab moves the focus and is no trigger; a letter ends it ---------------------------
start_playing $LONG
xdotool key Tab
still_running_after 1 "Tab leaves the saver running"
xdotool key a
saver_exit 15
check "a key ends the saver with 0" 0 "$EXITED"

# --- left click: on the movie it is the movie's, on the black area it ends the saver --------
start_playing $WIDE
xdotool mousemove 500 400 click 1
still_running_after 1 "a left click on the movie leaves the saver running"
xdotool mousemove 60 60 click 1
saver_exit 15
check "a left click on the black area ends the saver with 0" 0 "$EXITED"

# --- the private messages: 0x401 is ignored, 0x402 ends it -----------------------------------
start_playing $LONG
post 0x401
still_running_after 1.5 "0x401 leaves the saver running"
post 0x402
saver_exit 15
check "0x402 ends the saver with 0" 0 "$EXITED"
check "the control was torn down when the saver ended" "Deactivate Close" \
  "$(trace_events 'Deactivate|Close' | tr '\n' ' ' | sed 's/ $//')"

# --- the control is not registered: a black screen, the error recorded, input still ends it --
timeout 60 wine regsvr32 /u /s "$(winpath "$STANDIN")" </dev/null >/dev/null 2>&1
settings 0 "$(movie $LONG)"
start_saver
wait_visible
sleep 1
check "without the control no message box is up" "" \
  "$(timeout 30 wine "$BOX_TEXT" </dev/null 2>/dev/null | tr -d '\r')"
import -window root "$ARTIFACTS/saver_no_control.png" 2>/dev/null
check "without the control the screen is black" "srgb(0,0,0)" \
  "$(convert "$ARTIFACTS/saver_no_control.png" -format '%[pixel:p{512,384}]' info: 2>/dev/null | sed 's/^gray(0)$/srgb(0,0,0)/')"
record=$(timeout 30 wine reg query "$SETTINGS_KEY\\LastError" </dev/null 2>/dev/null | tr -d '\r' |
  tee "$ARTIFACTS/saver_no_control.txt")
if grep -qE '^ +Message +REG_SZ +[^ ]' <<<"$record"; then echo "ok: the error is recorded"; else
  fail "no error record: [$record]"; fi
if grep -qE '^ +Time +REG_SZ +[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$' <<<"$record"; then
  echo "ok: the record has its time"; else fail "the record has no time: [$record]"; fi
xdotool key a
saver_exit 20
check "the saver without its control ends on a key with 0" 0 "$EXITED"
check "no control was created" "" "$(trace_events Create)"
timeout 60 wine regsvr32 /s "$(winpath "$STANDIN")" </dev/null >/dev/null 2>&1 ||
  fail "registering the stand-in control again failed"

exit $FAILED
