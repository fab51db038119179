#!/usr/bin/env bash
# The zip on a machine that has never seen SwfSaver: a fresh Wine prefix of its own, the zip
# unpacked onto its drive, install.cmd, the saver Windows would start (SCRNSAVE.EXE /s) plays
# a movie, and uninstall.cmd /purge leaves the registry and the drive as they were before.
# Usage: package_test.sh <build dir> <source dir>   (needs DISPLAY; makes its own prefix)
set -uo pipefail

BUILD=$(cd "$1" && pwd)
PROBE="$BUILD/tests/bench/saver_probe.exe"
SAMPLES="$BUILD/tools/swf_samples.exe"
[[ -n ${DISPLAY:-} ]] || { echo "DISPLAY must be set" >&2; exit 1; }
[[ -f $PROBE && -f $SAMPLES && -f $BUILD/CPackConfig.cmake ]] || { echo "build $BUILD first" >&2; exit 1; }
TMP=$(mktemp -d)
export WINEPREFIX="$TMP/prefix" WINEDEBUG=-all WINEARCH=win64
cleanup() {
  timeout 60 wineserver -k >/dev/null 2>&1
  rm -rf "$TMP"
}
trap cleanup EXIT
source "$(dirname "${BASH_SOURCE[0]}")/package_common.sh"

FAILED=0
check() {  # description expected actual
  if [[ $2 == "$3" ]]; then echo "ok: $1"; else echo "FAILED: $1: expected [$2], got [$3]"; FAILED=1; fi
}

# A persistent server whose services do not hold the test's output open (see scripts/lib).
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 wine wineboot </dev/null >/dev/null 2>&1 ||
  { echo "wineboot failed" >&2; exit 1; }

# What the machine holds before: the user's registry, the machine's software registry (the
# rest is Wine's record of the display, which changes as it likes), the file names on drive C.
snapshot() {  # name
  local hive
  for hive in HKCU 'HKLM\Software'; do
    timeout 60 wine reg export "$hive" "$(winepath -w "$TMP/$1.reg")" /y >/dev/null 2>&1
    iconv -f UTF-16 -t UTF-8 "$TMP/$1.reg" | tr -d '\r' >"$TMP/$1-${hive:0:4}.txt"
  done
  (cd "$WINEPREFIX/drive_c" && find . | sort) >"$TMP/$1-files.txt"
}
snapshot before

PROFILE=$(winepath -u "$(timeout 30 wine cmd /c echo %USERPROFILE% </dev/null | tr -d '\r')")
DOWNLOADS="$PROFILE/Downloads"
unpack_package "$DOWNLOADS/SwfSaver"
run_script "$DOWNLOADS/SwfSaver" install.cmd /quiet
check "install exits with 0" 0 "$RC"

# Test aids: a movie, the playlist, and the stand-in's call trace to see it play.
MOVIES="$PROFILE/Videos/movies"
mkdir -p "$MOVIES"
timeout 60 wine "$SAMPLES" "$(winepath -w "$MOVIES")" </dev/null >/dev/null 2>&1
TRACE="$MOVIES/trace.txt"
for value in Expansion=0 ListCount=1 "List0=$(winepath -w "$MOVIES/fws_550x400_12fps_12f.swf")"; do
  timeout 30 wine reg add "$OURS_KEY\\SwfSaver\\OPTION" /v "${value%%=*}" /d "${value#*=}" /f >/dev/null 2>&1
done
timeout 30 wine reg add 'HKCU\Software\SwfSaverTest\FlashStandin' /v TraceFile /d "$(winepath -w "$TRACE")" /f >/dev/null 2>&1

SAVER=$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)
timeout 90 wine "$SAVER" /s </dev/null >/dev/null 2>&1 &
saver=$!
for _ in {1..200}; do grep -q ' Play$' "$TRACE" 2>/dev/null && break; sleep 0.1; done
check "the installed saver plays the movie" "fws_550x400_12fps_12f.swf" \
  "$(grep ' Movie ' "$TRACE" 2>/dev/null | head -n 1 | sed 's/.*\\//' | tr -d '\r')"
timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
wait "$saver"
check "the saver ends with 0" 0 "$?"

run_script "$DOWNLOADS/SwfSaver" uninstall.cmd /quiet /purge
check "uninstall /purge exits with 0" 0 "$RC"

# Take the test aids and the unpacked zip away; then nothing may differ from before.
timeout 30 wine reg delete 'HKCU\Software\SwfSaverTest' /f >/dev/null 2>&1
rm -rf "$DOWNLOADS/SwfSaver" "$MOVIES"
snapshot after
# Not ours: Wine notes a screen saver has run (SPI_SETSCREENSAVERRUNNING) in the user's desktop
# key, Wine's cmd leaves the output of each "for /f" command in a temporary file, and Wine's
# sound system, first used when the stand-in opens its output, records the driver it tried and
# its (empty) device list; the blank lines that separate those keys go with them.
WINE_OWN='^[<>] ("WINE_ScreenSaverRunning"=|\./users/[^/]+/Temp/CMD[0-9a-f]+\.tmp$|\[HKEY_CURRENT_USER\\Software\\Wine\\Drivers|\[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\MMDevices|$)'
for part in HKCU HKLM files; do
  changes=$(diff "$TMP/before-$part.txt" "$TMP/after-$part.txt" | grep -E '^[<>]' | grep -vE "$WINE_OWN")
  check "uninstall leaves $part as before" "" "$changes"
done

exit $FAILED
