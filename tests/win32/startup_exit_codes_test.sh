#!/usr/bin/env bash
# Drives the real SwfSaver.scr under Wine and checks the exit code of each way out of the
# start-up, and the message boxes it shows on the way: the last-chance report of "/a" without
# a window handle, and the refusal while another process holds the single-instance mutex.
# Needs the Wine environment scripts/test sets up (DISPLAY, WINEPREFIX, a running wineserver).
# Usage: startup_exit_codes_test.sh <build dir> <source dir>
set -uo pipefail

BUILD=$(cd "$1" && pwd)
SCR="$BUILD/SwfSaver.scr"
HELPERS="$BUILD/tests/win32/helpers"
ARTIFACTS="$BUILD/tests/win32/artifacts"
[[ -n ${DISPLAY:-} && -n ${WINEPREFIX:-} ]] || { echo "DISPLAY and WINEPREFIX must be set" >&2; exit 1; }
[[ -f $SCR && -f $HELPERS/mutex_holder.exe ]] || { echo "build $BUILD first" >&2; exit 1; }
mkdir -p "$ARTIFACTS"

TMP=$(mktemp -d)
BACKGROUND=()
cleanup() {
  local pid
  for pid in "${BACKGROUND[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$TMP"
}
trap cleanup EXIT

FAILED=0
check() {  # description expected actual
  if [[ $2 == "$3" ]]; then
    echo "ok: $1"
  else
    echo "FAILED: $1: expected [$2], got [$3]"
    FAILED=1
  fi
}

# Runs the program to its end; a box nobody dismisses would show as the timeout's 124.
exit_code() {
  timeout 30 wine "$SCR" "$@" </dev/null >/dev/null 2>&1
  echo $?
}

# Starts the program in the background; its exit code lands in $TMP/<name>.rc.
start() {  # name args...
  local name=$1
  shift
  (timeout 60 wine "$SCR" "$@" </dev/null >/dev/null 2>&1; echo $? >"$TMP/$name.rc") &
  BACKGROUND+=($!)
  STARTED=$!
}

# Waits for the message box with this caption, records it (screenshot and what it shows) and
# dismisses it with the Return key as a user would. Prints what the box showed.
answer_box() {  # caption artifact-name
  local window
  window=$(LC_ALL=C.UTF-8 timeout 30 xdotool search --sync --name "^$1\$" 2>/dev/null | head -n 1)
  if [[ -z $window ]]; then
    echo "no message box captioned $1 appeared" >&2
    return 1
  fi
  import -window root "$ARTIFACTS/$2.png" 2>/dev/null
  timeout 30 wine "$HELPERS/message_box_text.exe" </dev/null 2>/dev/null | tr -d '\r' |
    tee "$ARTIFACTS/$2.txt"
  # Keys go to the window under the pointer: there is no window manager to give focus.
  LC_ALL=C.UTF-8 xdotool mousemove --window "$window" 20 20 key Return 2>/dev/null
}

# The exit code of a program started in the background, once it has ended (not to be called
# in a command substitution: only this shell can wait for its children).
finish() {  # name pid
  wait "$2" 2>/dev/null
  FINISHED=$(cat "$TMP/$1.rc" 2>/dev/null || echo "none")
}

# --- arguments that select no mode, the preview, and the password change -------------------
check "x ends at once with 0" 0 "$(exit_code x)"
check "/x ends at once with 0" 0 "$(exit_code /x)"
check "--s ends at once with 0" 0 "$(exit_code --s)"
check "/p 12 ends with 0" 0 "$(exit_code /p 12)"
# Wine's password routine returns success without showing anything.
check "/a 1234 ends with 0" 0 "$(exit_code /a 1234)"

# --- /a without a window handle: the last-chance report, then exit code 1 -------------------
start last_chance /a
pid=$STARTED
shown=$(answer_box "アプリケーション エラー" last_chance_report)
check "last-chance report caption" "caption: アプリケーション エラー" "$(sed -n 1p <<<"$shown")"
text=$(sed -n 2p <<<"$shown")
pattern="^text: EConvertError がモジュール SwfSaver\.scr の [0-9A-F]+ で発生しました。\\\\r\\\\n'' は整数ではありません\.$"
if [[ $text =~ $pattern ]]; then echo "ok: last-chance report text"; else
  echo "FAILED: last-chance report text: [$text]"; FAILED=1; fi
check "last-chance report has the stop icon" "icon: yes" "$(sed -n 3p <<<"$shown")"
finish last_chance "$pid"
check "/a alone ends with 1" 1 "$FINISHED"

# --- another process holds the single-instance mutex ----------------------------------------
mkfifo "$TMP/holder.in" "$TMP/holder.out"
timeout 120 wine "$HELPERS/mutex_holder.exe" <"$TMP/holder.in" >"$TMP/holder.out" 2>/dev/null &
holder=$!
BACKGROUND+=($holder)
exec {holder_in}>"$TMP/holder.in"
exec {holder_out}<"$TMP/holder.out"
state=""
read -r -t 30 state <&"$holder_out"
check "the helper holds the mutex" holding "${state%$'\r'}"

start refused /p
pid=$STARTED
shown=$(answer_box "Swfsaver" refusal)
check "refusal caption is the title" "caption: Swfsaver" "$(sed -n 1p <<<"$shown")"
check "refusal text" "text: ERROR - 複数アプリケーションの起動は制限されています。" \
  "$(sed -n 2p <<<"$shown")"
check "refusal shows no icon" "icon: no" "$(sed -n 3p <<<"$shown")"
finish refused "$pid"
check "refused start ends with 0" 0 "$FINISHED"
kill -0 "$holder" 2>/dev/null
check "the running instance is left alone" 0 $?

exec {holder_in}>&-
wait "$holder" 2>/dev/null
# Once no process holds the name, a start is no longer refused (a box would time out).
check "/p after the holder ended ends with 0" 0 "$(exit_code /p)"

exit $FAILED
