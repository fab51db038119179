#!/usr/bin/env bash
# Japanese text in the running saver on a Japanese system (Wine in a ja_JP locale: the ANSI
# code page is Shift-JIS): the SWF 5 sample's field text and script strings are decoded from
# Shift-JIS and drawn from a Japanese face's outlines (IPAGothic, the prefix's Japanese font),
# the same glyphs in the same places as the native tools draw them, not boxes.
# Usage: saver_japanese_text_test.sh <build dir> <source dir>
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e_common.sh"

RENDER="$BUILD/../native/tools/render/swf_render"
[[ -x $RENDER ]] || { echo "FAILED: the native build's swf_render is needed ($RENDER)"; exit 1; }
fc-list :lang=ja | grep -q . || { echo "FAILED: no Japanese font is installed (fonts-ipafont-gothic)"; exit 1; }

S=japanese_text_640x480_12fps_120f.swf
settings 0 "$(movie $S)"
SAVER_ENV=(LC_ALL=ja_JP.UTF-8)
start_saver
wait_trace '^[0-9]+ Play$' 1 20 || fail "the movie was not played"
wait_visible
sleep 2
shot="$ARTIFACTS/saver_japanese_text.png"
import -window root "$shot" 2>/dev/null
timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
saver_exit 20
check "0x402 ends the saver with 0" 0 "$EXITED"

bounds=$(awk '$2 == "Bounds" { b = $3 " " $4 } $2 == "Movie" { print b; exit }' "$TRACE")
[[ -n $bounds ]] || fail "the trace has no bounds for the movie"
"$RENDER" "$TMP/movies/$S" "$TMP/reference.png" --frames 12 --code-page CP932 ||
  fail "the native reference could not be drawn"
convert "$shot" "$TMP/shot.ppm" && convert "$TMP/reference.png" "$TMP/reference.ppm" ||
  fail "the images cannot be read"
# shellcheck disable=SC2086  # the bounds are two numbers
if python3 "$2/tests/win32/japanese_text.py" "$TMP/shot.ppm" $bounds "$TMP/reference.ppm"; then
  echo "ok: the Japanese text is drawn as the native tools draw it"
else
  fail "the Japanese text (screenshot: $shot)"
fi
exit $FAILED
