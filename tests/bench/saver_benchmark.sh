#!/usr/bin/env bash
# The saver's benchmark under Wine, in one run: CPU time of SwfSaver.scr /s over 20 s of
# playback of an animated 30 fps sample stretched over the 1024 x 768 screen, beside
#   - the same saver with the stand-in control's drawing switched off (what the host costs),
#   - saver_bench_bare blitting a ready 1024 x 768 frame each 30 fps tick (a player that draws
#     nothing itself), and saver_bench_bare with its timer alone;
# the peak memory (VmHWM) of the saver and the bare program; and the time from the saver's
# launch to its first Play (from the stand-in control's trace). Targets: the saver's CPU within
# 3 times the blitting program's, the host's own within 1.3 times; peak memory within 2 times
# the bare program's; first Play under 1 s.
#
# Usage: saver_benchmark.sh [build dir]   (default build/win64); SAMPLE=<name> picks another
# sample movie, EXPANSION=0 plays it at its own size in the centre instead of stretched,
# THREADS=1..8 sets how many threads the stand-in control draws with (default one per core).
# Uses DISPLAY and WINEPREFIX when both are set; otherwise starts its own Xvfb and prefix.
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/win64}" && pwd)
SCR="$BUILD/SwfSaver.scr"
STANDIN="$BUILD/FlashStandin.dll"
BARE="$BUILD/tests/bench/saver_bench_bare.exe"
PROBE="$BUILD/tests/bench/saver_probe.exe"
SAMPLES="$BUILD/tools/swf_samples.exe"
SAMPLE=${SAMPLE:-anim_shapes_550x400_30fps_60f.swf}
EXPANSION=${EXPANSION:-1}
THREADS=${THREADS:-}
SECONDS_MEASURED=20
SETTINGS_KEY='HKCU\Software\Ostrevanlab\SwfSaver'
TRACE_KEY='HKCU\Software\SwfSaverTest\FlashStandin'
X11_KEY='HKCU\Software\Wine\X11 Driver'
for file in "$SCR" "$STANDIN" "$BARE" "$PROBE" "$SAMPLES"; do
  [[ -f $file ]] || { echo "build $file first" >&2; exit 1; }
done

TMP=$(mktemp -d)
XVFB_PID=""
OWN_PREFIX=0
PIDS=()
cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  if [[ -n ${WINEPREFIX:-} ]]; then
    timeout 30 wine reg delete "$TRACE_KEY" /v TraceFile /f >/dev/null 2>&1
    timeout 30 wine reg delete "$TRACE_KEY" /v Threads /f >/dev/null 2>&1
    timeout 30 wine reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1
    timeout 30 wine reg delete "$X11_KEY" /v Managed /f >/dev/null 2>&1
    ((OWN_PREFIX)) && timeout 60 wineserver -k >/dev/null 2>&1
  fi
  [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$TMP"
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ -z ${DISPLAY:-} || -z ${WINEPREFIX:-} ]]; then
  mkfifo "$TMP/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$TMP/display" </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  read -r -t 30 display <"$TMP/display" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$display" WINEPREFIX="$BUILD/bench-wineprefix" WINEDEBUG=-all
  OWN_PREFIX=1
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1
  WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 wine wineboot </dev/null >/dev/null 2>&1 ||
    { echo "wineboot failed" >&2; exit 1; }
fi
export WINEDEBUG=-all
winpath() { winepath -w "$1" 2>/dev/null; }

TICKS=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }
peak_kib() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
now_ms() { date +%s%3N; }

# The Windows process behind a timeout: wine becomes the program's own process.
child_of() {  # pid
  local child="" deadline=$((SECONDS + 10))
  while [[ -z $child ]] && ((SECONDS < deadline)); do
    child=$(pgrep -P "$1" | head -n 1)
    [[ -z $child ]] && sleep 0.05
  done
  echo "$child"
}

wait_for_play() {  # seconds; prints the time of the first Play
  local deadline=$((SECONDS + $1)) line
  while ((SECONDS < deadline)); do
    line=$(grep -m 1 -E '^[0-9]+ Play$' "$TMP/trace.txt" 2>/dev/null)
    [[ -n $line ]] && { echo "${line%% *}"; return 0; }
    sleep 0.02
  done
  return 1
}

end_saver() {  # timeout pid
  timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
  local deadline=$((SECONDS + 20))
  while kill -0 "$1" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.1; done
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# Launches the saver; sets LAUNCHED (ms), SAVER_TIMEOUT, SAVER_PID and FIRST_PLAY (ms).
launch_saver() {
  rm -f "$TMP/trace.txt"
  LAUNCHED=$(now_ms)
  timeout 120 wine "$SCR" /s </dev/null >/dev/null 2>&1 &
  SAVER_TIMEOUT=$!
  PIDS+=($SAVER_TIMEOUT)
  SAVER_PID=$(child_of "$SAVER_TIMEOUT")
  local played
  played=$(wait_for_play 30) || { echo "the saver never played" >&2; exit 1; }
  FIRST_PLAY=$((played - LAUNCHED))
}

# --- setup ---------------------------------------------------------------------------------
timeout 60 wine regsvr32 /s "$(winpath "$STANDIN")" </dev/null >/dev/null 2>&1 ||
  { echo "registering the stand-in control failed" >&2; exit 1; }
mkdir -p "$TMP/movies"
timeout 60 wine "$SAMPLES" "$(winpath "$TMP/movies")" </dev/null >/dev/null 2>&1 ||
  { echo "writing the sample movies failed" >&2; exit 1; }
timeout 30 wine reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1
timeout 30 wine reg add "$SETTINGS_KEY\\OPTION" /v Expansion /t REG_SZ /d "$EXPANSION" /f >/dev/null 2>&1
timeout 30 wine reg add "$SETTINGS_KEY\\OPTION" /v ListCount /t REG_SZ /d 1 /f >/dev/null 2>&1
timeout 30 wine reg add "$SETTINGS_KEY\\OPTION" /v List0 /t REG_SZ \
  /d "$(winpath "$TMP/movies")\\$SAMPLE" /f >/dev/null 2>&1
timeout 30 wine reg add "$TRACE_KEY" /v TraceFile /t REG_SZ /d "$(winpath "$TMP/trace.txt")" /f \
  >/dev/null 2>&1
if [[ -n $THREADS ]]; then
  timeout 30 wine reg add "$TRACE_KEY" /v Threads /t REG_SZ /d "$THREADS" /f >/dev/null 2>&1
else
  timeout 30 wine reg delete "$TRACE_KEY" /v Threads /f >/dev/null 2>&1
fi
# Warm the prefix's caches once, so that neither program pays for a first start.
timeout 30 wine "$BARE" 0 </dev/null >/dev/null 2>&1

# --- the saver: 20 s of playback, then 20 s more with the control's drawing switched off ----
measure_saver() {  # sets SAVER_CPU, SAVER_PEAK, SAVER_MOVIES and SAVER_FIRST_PLAY
  launch_saver
  SAVER_FIRST_PLAY=$FIRST_PLAY
  local start
  start=$(cpu_ticks "$SAVER_PID")
  sleep "$SECONDS_MEASURED"
  SAVER_CPU=$(($(cpu_ticks "$SAVER_PID") - start))
  SAVER_PEAK=$(peak_kib "$SAVER_PID")
  SAVER_MOVIES=$(grep -cE '^[0-9]+ Movie ' "$TMP/trace.txt")
  end_saver "$SAVER_TIMEOUT"
}
echo "saver: $SAMPLE (Expansion $EXPANSION, threads ${THREADS:-one per core}), $SECONDS_MEASURED s of playback ..."
measure_saver
saver_cpu=$SAVER_CPU
saver_peak=$SAVER_PEAK
saver_movies=$SAVER_MOVIES
saver_first_play=$SAVER_FIRST_PLAY
echo "saver with the control's drawing switched off: $SECONDS_MEASURED s ..."
timeout 30 wine reg add "$TRACE_KEY" /v Drawing /t REG_SZ /d off /f >/dev/null 2>&1
measure_saver
host_cpu=$SAVER_CPU
host_peak=$SAVER_PEAK
timeout 30 wine reg delete "$TRACE_KEY" /v Drawing /f >/dev/null 2>&1

# --- the bare program: the same 20 s after the same start-up allowance; then once more with
# a frame painted on every tick ----------------------------------------------------------------
measure_bare() {  # extra arguments; sets BARE_CPU and BARE_PEAK
  timeout 120 wine "$BARE" $((SECONDS_MEASURED + 5)) "$@" </dev/null >/dev/null 2>&1 &
  local runner=$!
  PIDS+=($runner)
  local pid
  pid=$(child_of "$runner")
  sleep 2
  local start
  start=$(cpu_ticks "$pid")
  sleep "$SECONDS_MEASURED"
  BARE_CPU=$(($(cpu_ticks "$pid") - start))
  BARE_PEAK=$(peak_kib "$pid")
  wait "$runner" 2>/dev/null
}
echo "bare program: $SECONDS_MEASURED s of a 30 fps timer ..."
measure_bare
bare_cpu=$BARE_CPU
bare_peak=$BARE_PEAK
echo "bare program blitting a ready 1024x768 frame each tick: $SECONDS_MEASURED s ..."
measure_bare blit
blit_cpu=$BARE_CPU

# Wine's own start-up: a bare program that starts, runs its loop once and ends.
started=$(now_ms)
timeout 60 wine "$BARE" 0 </dev/null >/dev/null 2>&1
wine_start=$(($(now_ms) - started))

# --- the first Play once more, with Wine told that no window manager runs ------------------
# Xvfb has none; Wine then waits up to 2 s for one whenever a mapped window is hidden, and the
# saver hides the application's owner window before it shows itself.
timeout 30 wine reg add "$X11_KEY" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
launch_saver
unmanaged_first_play=$FIRST_PLAY
end_saver "$SAVER_TIMEOUT"
timeout 30 wine reg delete "$X11_KEY" /v Managed /f >/dev/null 2>&1

# --- figures ---------------------------------------------------------------------------------
ms() { echo $(($1 * 1000 / TICKS)); }
verdict() { if (($1)); then echo "target met"; else echo "TARGET MISSED"; fi; }
echo
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf (b > 0 ? "%.2f" : "n/a"), a / (b > 0 ? b : 1) }'; }
printf 'CPU time over %d s:      saver %d ms, bare program blitting 1024x768 %d ms, ratio %s (target <= 3: %s)\n' \
  "$SECONDS_MEASURED" "$(ms "$saver_cpu")" "$(ms "$blit_cpu")" "$(ratio "$saver_cpu" "$blit_cpu")" \
  "$(verdict $((blit_cpu > 0 && saver_cpu <= 3 * blit_cpu)))"
printf '                        saver without drawing %d ms, ratio to the blitting program %s (target <= 1.3: %s)\n' \
  "$(ms "$host_cpu")" "$(ratio "$host_cpu" "$blit_cpu")" \
  "$(verdict $((blit_cpu > 0 && 10 * host_cpu <= 13 * blit_cpu)))"
printf '                        bare program with its timer alone %d ms\n' "$(ms "$bare_cpu")"
printf 'peak memory (VmHWM):    saver %d KiB, bare program %d KiB, ratio %s (target <= 2: %s)\n' \
  "$saver_peak" "$bare_peak" "$(awk -v a="$saver_peak" -v b="$bare_peak" 'BEGIN { printf "%.2f", a / b }')" \
  "$(verdict $((saver_peak <= 2 * bare_peak)))"
printf '                        saver without drawing %d KiB (no frame buffer, nothing rendered)\n' \
  "$host_peak"
printf 'launch to first Play:   %d ms with a window manager expected (Wine default), %s\n' \
  "$saver_first_play" "$(verdict $((saver_first_play < 1000)))"
printf '                        %d ms with Wine told none runs (Managed=N), %s\n' \
  "$unmanaged_first_play" "$(verdict $((unmanaged_first_play < 1000)))"
printf 'for reference:          a bare Wine program starts and ends in %d ms\n' "$wine_start"
printf 'movies loaded during the measurement: %d (each loop of the sample, then 500 ms pause)\n' \
  "$saver_movies"
