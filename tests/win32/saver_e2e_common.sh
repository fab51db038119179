# Shared by the saver's end-to-end scripts (sourced, not run): the real SwfSaver.scr /s under
# Wine with the stand-in control registered machine-wide, settings written to the real
# registry, sample movies from swf_samples, and the stand-in's call trace to see which movie
# was loaded when and where. Every wait has a deadline and every program a timeout, and
# whatever was started is killed on the way out.
# Needs the Wine environment scripts/test sets up (DISPLAY, WINEPREFIX, a running wineserver).

BUILD=$(cd "$1" && pwd)
SCR="$BUILD/SwfSaver.scr"
STANDIN="$BUILD/FlashStandin.dll"
PROBE="$BUILD/tests/bench/saver_probe.exe"
SAMPLES="$BUILD/tools/swf_samples.exe"
BOX_TEXT="$BUILD/tests/win32/helpers/message_box_text.exe"
ARTIFACTS="$BUILD/tests/win32/artifacts"
SETTINGS_KEY='HKCU\Software\Ostrevanlab\SwfSaver'
TRACE_KEY='HKCU\Software\SwfSaverTest\FlashStandin'

[[ -n ${DISPLAY:-} && -n ${WINEPREFIX:-} ]] || { echo "DISPLAY and WINEPREFIX must be set" >&2; exit 1; }
for file in "$SCR" "$STANDIN" "$PROBE" "$SAMPLES"; do
  [[ -f $file ]] || { echo "build $file first" >&2; exit 1; }
done
mkdir -p "$ARTIFACTS"

TMP=$(mktemp -d)
TRACE="$TMP/trace.txt"
BACKGROUND=()
FAILED=0

e2e_cleanup() {
  local pid
  for pid in "${BACKGROUND[@]}"; do kill "$pid" 2>/dev/null; done
  timeout 30 wine reg delete "$TRACE_KEY" /v TraceFile /f >/dev/null 2>&1
  timeout 30 wine reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1
  # A test that took the control away must not leave the prefix without it.
  timeout 60 wine regsvr32 /s "$(winepath -w "$STANDIN")" </dev/null >/dev/null 2>&1
  rm -rf "$TMP"
}
trap e2e_cleanup EXIT

check() {  # description expected actual
  if [[ $2 == "$3" ]]; then
    echo "ok: $1"
  else
    echo "FAILED: $1: expected [$2], got [$3]"
    FAILED=1
  fi
}

fail() {
  echo "FAILED: $*"
  FAILED=1
}

winpath() { winepath -w "$1" 2>/dev/null; }

# --- setup -----------------------------------------------------------------------------------
timeout 60 wine regsvr32 /s "$(winpath "$STANDIN")" </dev/null >/dev/null 2>&1 ||
  { echo "registering the stand-in control failed" >&2; exit 1; }
mkdir -p "$TMP/movies"
timeout 60 wine "$SAMPLES" "$(winpath "$TMP/movies")" </dev/null >/dev/null 2>&1 ||
  { echo "writing the sample movies failed" >&2; exit 1; }
MOVIES=$(winpath "$TMP/movies")
timeout 30 wine reg add "$TRACE_KEY" /v TraceFile /t REG_SZ /d "$(winpath "$TRACE")" /f \
  >/dev/null 2>&1 || { echo "switching the control's trace on failed" >&2; exit 1; }

# movie <sample name>: its Windows path.
movie() { printf '%s\\%s' "$MOVIES" "$1"; }

# stored <name>: the text of a stored setting. Asked up to three times: once, right after the
# dialog closed, wine reg answered nothing for a value that the saver then read.
stored() {
  local text
  for _ in 1 2 3; do
    text=$(timeout 30 wine reg query "$SETTINGS_KEY\\OPTION" /v "$1" </dev/null 2>/dev/null |
      tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p")
    [[ -n $text ]] && break
    sleep 0.5
  done
  printf '%s\n' "$text"
}

# settings <expansion> <entry>...: the stored settings, as the dialog writes them. Written
# until the list's length reads back, up to three times: a saver once left no trace at all, as
# one that finds no list does.
settings() {
  local expansion=$1 index entry try count
  shift
  for try in 1 2 3; do
    timeout 30 wine reg delete "$SETTINGS_KEY" /f </dev/null >/dev/null 2>&1
    timeout 30 wine reg add "$SETTINGS_KEY\\OPTION" /v Expansion /t REG_SZ /d "$expansion" /f </dev/null >/dev/null 2>&1
    index=0
    for entry in "$@"; do
      timeout 30 wine reg add "$SETTINGS_KEY\\OPTION" /v "List$index" /t REG_SZ /d "$entry" /f </dev/null >/dev/null 2>&1
      index=$((index + 1))
    done
    # The count is read back: a saver that finds none plays nothing.
    timeout 30 wine reg add "$SETTINGS_KEY\\OPTION" /v ListCount /t REG_SZ /d $# /f </dev/null >/dev/null 2>&1
    count=$(stored ListCount)
    [[ $count == "$#" ]] && return 0
    echo "the stored list count read [$count], not $# (try $try)" >&2
  done
  fail "the settings could not be stored"
}

# Starts the saver in the background with a fresh trace; its exit code lands in $TMP/saver.rc
# and the process id of its timeout (which passes a TERM on to the saver) in $TMP/saver.pid.
# SAVER_ENV holds NAME=VALUE settings for the saver's environment only (its locale, say).
SAVER_ENV=()
start_saver() {
  rm -f "$TRACE" "$TMP/saver.rc" "$TMP/saver.pid"
  (
    timeout 90 env "${SAVER_ENV[@]}" wine "$SCR" /s </dev/null >/dev/null 2>&1 &
    echo $! >"$TMP/saver.pid"
    wait $!
    echo $? >"$TMP/saver.rc"
  ) &
  BACKGROUND+=($!)
}

running() { [[ ! -f $TMP/saver.rc ]]; }

# Waits up to seconds for the trace to hold count lines matching the pattern.
wait_trace() {  # pattern count seconds
  local deadline=$((SECONDS + $3)) found
  while ((SECONDS < deadline)); do
    found=$(grep -cE "$1" "$TRACE" 2>/dev/null)
    ((${found:-0} >= $2)) && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to seconds for the saver to end and sets EXITED to its exit code, or to "running"
# when it did not end (it is then stopped).
saver_exit() {  # seconds
  local deadline=$((SECONDS + $1))
  while running && ((SECONDS < deadline)); do sleep 0.1; done
  if running; then
    EXITED=running
    kill "$(cat "$TMP/saver.pid" 2>/dev/null)" 2>/dev/null
    local stop=$((SECONDS + 10))
    while running && ((SECONDS < stop)); do sleep 0.1; done
    return
  fi
  EXITED=$(cat "$TMP/saver.rc")
}

# Waits up to 20 s for the saver window to be on screen (the window exists before it is shown).
wait_visible() {
  local deadline=$((SECONDS + 20))
  while ((SECONDS < deadline)); do
    timeout 30 wine "$PROBE" describe </dev/null 2>/dev/null | grep -q '^visible 1' && return 0
    sleep 0.2
  done
  fail "the saver window did not appear"
  return 1
}

# The lines of one event in the trace, without their times.
trace_events() { grep -E "^[0-9]+ $1( |$)" "$TRACE" 2>/dev/null | cut -d' ' -f2-; }

# The time of the nth (1-based) line of an event.
trace_time() { grep -E "^[0-9]+ $1( |$)" "$TRACE" 2>/dev/null | sed -n "${2}p" | cut -d' ' -f1; }
