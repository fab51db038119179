#!/usr/bin/env bash
# The real saver playing its stored list under Wine: the window covers the screen, black
# around the movie, with the cursor hidden; the list plays in its stored order without the
# missing and the empty entry, with the pause before every advance and the wrap to the first
# entry; movies at their own size are centred, and with Expansion they fill the screen.
# Usage: saver_playback_test.sh <build dir> <source dir>
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e_common.sh"

A=fws_550x400_12fps_3f.swf  # grey, a quarter second
B=fws_320x240_1fps_1f.swf   # maroon, one frame

# --- four entries: a missing file, A, an empty entry, B -------------------------------------
settings 0 "$(movie gone.swf)" "$(movie $A)" "" "$(movie $B)"
start_saver
wait_trace '^[0-9]+ Play$' 5 20 || fail "the list did not play five times (trace: $(wc -l <"$TRACE" 2>/dev/null) lines)"

shot="$ARTIFACTS/saver_playing.png"
# The movie area changes with each entry; the screenshot is taken while the first plays again.
described=$(timeout 30 wine "$PROBE" describe </dev/null 2>/dev/null | tr -d '\r')
check "the window covers the display" "rect 0 0 1024 768" "$(sed -n 1p <<<"$described")"
check "the window is visible" "visible 1" "$(sed -n 2p <<<"$described")"
check "the window is not topmost" "topmost 0" "$(sed -n 3p <<<"$described")"
check "the window is in the foreground" "foreground 1" "$(sed -n 4p <<<"$described")"
check "the cursor is hidden" "cursor hidden" "$(sed -n 5p <<<"$described")"
import -window root "$shot" 2>/dev/null
for point in 2,2 1021,2 2,765 1021,765 100,384 924,384 512,60 512,700; do
  check "black at $point" "srgb(0,0,0)" \
    "$(convert "$shot" -format "%[pixel:p{$point}]" info: 2>/dev/null | sed 's/^gray(0)$/srgb(0,0,0)/')"
done

timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
saver_exit 20
check "0x402 ends the saver with 0" 0 "$EXITED"

movies=$(trace_events Movie | head -n 5 | sed 's/.*\\//')
check "the list plays in order and wraps" "$(printf '%s\n' $A $B $A $B $A)" "$movies"
check "the frame counts of the loaded movies" "$(printf '%s\n' 3 1 3 1 3)" \
  "$(trace_events MovieFrames | head -n 5 | cut -d' ' -f2)"
# Centred: the last Bounds before each Movie line is the movie's own size in the middle.
placed=$(awk '$2 == "Bounds" { b = $3 " " $4 " " $5 " " $6 } $2 == "Movie" { print b }' "$TRACE" | head -n 4)
check "movies at their own size are centred" \
  "$(printf '%s\n' '237 184 550 400' '352 264 320 240' '237 184 550 400' '352 264 320 240')" "$placed"
check "the background is set black before each movie" \
  "$(trace_events Movie | wc -l)" "$(trace_events 'BackgroundColor' | grep -cx 'BackgroundColor 0')"
# The pause: from Play of an entry to the next Movie at least the 500 ms sleep (the entries
# last 250 ms and 0 ms before their last frame shows).
for n in 1 2 3 4; do
  gap=$(($(trace_time Movie $((n + 1))) - $(trace_time Play $n)))
  if ((gap >= 500)); then echo "ok: pause before advance $n (${gap} ms)"; else
    fail "advance $n came after only ${gap} ms"; fi
done
check "the control was closed when the saver ended" "Deactivate Close" \
  "$(trace_events 'Deactivate|Close' | tr '\n' ' ' | sed 's/ $//')"

# --- Expansion: one entry fills the display and is loaded again after each end --------------
settings 1 "$(movie $A)"
start_saver
wait_trace '^[0-9]+ Play$' 3 20 || fail "the single entry was not replayed"
timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
saver_exit 20
check "0x402 ends the fitted saver with 0" 0 "$EXITED"
check "the fitted movie fills the display" "0 0 1024 768" \
  "$(awk '$2 == "Bounds" { b = $3 " " $4 " " $5 " " $6 } $2 == "Movie" { print b; exit }' "$TRACE")"
check "the single entry is loaded again" "$(printf '%s\n' $A $A $A)" \
  "$(trace_events Movie | head -n 3 | sed 's/.*\\//')"

# --- nothing to play: the window stays black, nothing is loaded ------------------------------
settings 0 "$(movie gone.swf)"
start_saver
wait_visible
sleep 0.5
import -window root "$ARTIFACTS/saver_empty.png" 2>/dev/null
check "an empty list shows black in the middle" "srgb(0,0,0)" \
  "$(convert "$ARTIFACTS/saver_empty.png" -format '%[pixel:p{512,384}]' info: 2>/dev/null | sed 's/^gray(0)$/srgb(0,0,0)/')"
check "an empty list loads nothing" "" "$(trace_events Movie)"
timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
saver_exit 20
check "0x402 ends the empty saver with 0" 0 "$EXITED"

exit $FAILED
