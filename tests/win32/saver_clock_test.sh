#!/usr/bin/env bash
# The clock sample in the running saver, fitted to the screen: its script reads the machine's
# clock through Date, so a screenshot's hands show the local time it was taken at, and its
# read-out (a device-font field bound to a variable) is drawn under the face.
# Usage: saver_clock_test.sh <build dir> <source dir>
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e_common.sh"

settings 1 "$(movie clock_640x480_20fps_200f.swf)"
start_saver
wait_trace '^[0-9]+ Play$' 1 20 || fail "the clock was not played"
wait_visible
sleep 2
shot="$ARTIFACTS/saver_clock.png"
before=$(date +%s.%N)
import -window root "$shot" 2>/dev/null
after=$(date +%s.%N)
timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
saver_exit 20
check "0x402 ends the saver with 0" 0 "$EXITED"

bounds=$(awk '$2 == "Bounds" { b = $3 " " $4 " " $5 " " $6 } $2 == "Movie" { print b; exit }' "$TRACE")
[[ -n $bounds ]] || fail "the trace has no bounds for the movie"
convert "$shot" "$TMP/clock.ppm" 2>/dev/null || fail "the screenshot cannot be read"
# shellcheck disable=SC2086  # the bounds are four numbers
if python3 "$2/tests/win32/clock_hands.py" "$TMP/clock.ppm" $bounds "$before" "$after"; then
  echo "ok: the clock shows the time of the screenshot (bounds $bounds)"
else
  fail "the clock's hands or read-out (screenshot: $shot)"
fi
exit $FAILED
