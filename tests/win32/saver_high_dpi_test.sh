#!/usr/bin/env bash
# The saver on a display scaled to 150 % (Wine's LogPixels of 144 stands in for a high-DPI
# screen): the saver draws at the display's pixels, so a 550 x 400 movie at its own size
# covers 825 x 600 of them, centred, and is drawn in full, black around it.
# Usage: saver_high_dpi_test.sh <build dir> <source dir>
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e_common.sh"

FONTS_KEY='HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'
DESKTOP_KEY='HKCU\Control Panel\Desktop'
restore_dpi() {
  timeout 30 wine reg add "$FONTS_KEY" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  timeout 30 wine reg delete "$DESKTOP_KEY" /v LogPixels /f >/dev/null 2>&1
  e2e_cleanup
}
trap restore_dpi EXIT
# Wine 8 reads the system DPI from the hardware profile's fonts key when a process starts.
timeout 30 wine reg add "$FONTS_KEY" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
  fail "setting LogPixels"

S=stopped_shapes_550x400_30fps_2f.swf  # twelve tiles in a ring, stopped on its first frame
settings 0 "$(movie $S)"
start_saver
wait_trace '^[0-9]+ Play$' 1 20 || fail "the movie was not played"
sleep 1
shot="$ARTIFACTS/saver_high_dpi.png"
import -window root "$shot" 2>/dev/null
timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
saver_exit 20
check "0x402 ends the saver with 0" 0 "$EXITED"

check "the movie covers 825 x 600 display pixels, centred" "99 84 825 600" \
  "$(awk '$2 == "Bounds" { b = $3 " " $4 " " $5 " " $6 } $2 == "Movie" { print b; exit }' "$TRACE")"
pixel() { convert "$shot" -format "%[pixel:p{$1}]" info: 2>/dev/null | sed 's/^gray(0)$/srgb(0,0,0)/'; }
# Tiles' centres at 1.5 times their place in the movie: the leftmost, rightmost, top and
# bottom ones of the ring (x 82.5, 467.5 and 275, y 60 and 340 in the movie).
for point in 223,384 800,384 511,174 511,594; do
  value=$(pixel "$point")
  if [[ -n $value && $value != "srgb(0,0,0)" ]]; then echo "ok: a tile at $point ($value)"; else
    fail "no tile drawn at $point: [$value]"; fi
done
# Outside the movie's 825 x 600 and between the tiles: black.
for point in 60,384 970,384 511,40 511,730 511,384; do
  check "black at $point" "srgb(0,0,0)" "$(pixel "$point")"
done

exit $FAILED
