#!/usr/bin/env bash
# A movie whose name the ANSI code page cannot hold, chosen in the real settings dialog under
# Wine with code page 1252: 映画テスト.swf in C:\movies is stored as its short 8.3 form, never
# with "?", and the saver plays it from the stored list. The dialog and its file dialog are
# driven with xdotool as a user drives them; keys go to the window under the pointer, since
# there is no window manager to give the focus.
# Usage: dialog_unicode_name_test.sh <build dir> <source dir>
set -uo pipefail
# Wine takes the ANSI code page from the locale: this one gives 1252, whatever the caller's,
# and its UTF-8 file names reach Windows as the Unicode names they spell.
export LC_ALL=C.UTF-8
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e_common.sh"

CODE_PAGE="$BUILD/tests/win32/helpers/ansi_code_page.exe"
MOVIES_DIR="$WINEPREFIX/drive_c/movies"
NAME=映画テスト.swf
cleanup() {
  rm -rf "$MOVIES_DIR"
  e2e_cleanup
}
trap cleanup EXIT

acp=$(timeout 30 wine "$CODE_PAGE" </dev/null 2>/dev/null | tr -d '\r')
[[ $acp == 1252 ]] || { echo "the prefix's ANSI code page is [$acp], not 1252" >&2; exit 1; }
rm -rf "$MOVIES_DIR"  # the folder holds the one file, whatever an aborted run left
mkdir -p "$MOVIES_DIR"
cp "$TMP/movies/fws_550x400_12fps_3f.swf" "$MOVIES_DIR/$NAME"  # three frames
timeout 30 wine reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1

# Waits up to 30 s for a window with this exact title; prints its id.
window_named() { LC_ALL=C.UTF-8 timeout 30 xdotool search --sync --name "^$1\$" 2>/dev/null | head -n 1; }
# Waits up to 20 s for the window to go.
window_gone() {
  local deadline=$((SECONDS + 20))
  while ((SECONDS < deadline)); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# --- 追加, then the file dialog: into C:\movies by its path, the one file there chosen --------
timeout 120 wine "$SCR" /c </dev/null >/dev/null 2>&1 &
DIALOG=$!
BACKGROUND+=($DIALOG)
form=$(window_named 設定)
[[ -n $form ]] || { fail "the settings dialog did not appear"; exit 1; }
xdotool mousemove --window "$form" 268 180 click 1  # 追加
open=$(window_named Open)
[[ -n $open ]] || { fail "追加 opened no file dialog"; exit 1; }
# The pointer stays over the file dialog's list, which a click would change.
xdotool mousemove --window "$open" 300 100
xdotool type --delay 20 'C:\movies\'  # the keyboard has no Japanese: the name is not typed
xdotool key Return
sleep 1  # the folder is listed
xdotool key shift+Tab Home  # into the list: its only file is selected
sleep 0.5
xdotool key Return
window_gone "$open" || { import -window root "$ARTIFACTS/dialog_unicode_name.png" 2>/dev/null
  fail "the file dialog did not close (screenshot dialog_unicode_name.png)"; exit 1; }
xdotool mousemove --window "$form" 268 220 click 1  # OK
deadline=$((SECONDS + 20))
while kill -0 "$DIALOG" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.1; done
if kill -0 "$DIALOG" 2>/dev/null; then
  import -window root "$ARTIFACTS/dialog_unicode_name.png" 2>/dev/null
  fail "OK did not close the dialog (screenshot dialog_unicode_name.png)"
  exit 1
fi
wait "$DIALOG"
check "OK closes the dialog with 0" 0 "$?"

# --- what the dialog stored, and the saver playing it ----------------------------------------
entry=$(stored List0)
echo "   (stored: $entry)"
check "one entry is stored" 1 "$(stored ListCount)"
if [[ $entry =~ ^'C:\movies\'[!-~]+'~'[!-~]*'.SWF'$ && $entry != *'?'* ]]; then
  echo "ok: the entry is the file's short form in plain ASCII"
else
  fail "the entry [$entry] is not the file's short form"
fi
start_saver
wait_trace '^[0-9]+ Play$' 1 20 || fail "the saver did not play the stored entry"
timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
saver_exit 20
check "0x402 ends the saver with 0" 0 "$EXITED"
check "the saver loaded the stored path" "$entry" "$(trace_events Movie | head -n 1 | cut -d' ' -f2-)"
check "the movie loaded is the chosen one, three frames" 3 \
  "$(trace_events MovieFrames | head -n 1 | cut -d' ' -f2)"

exit $FAILED
