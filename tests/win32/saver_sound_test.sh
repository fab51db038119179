#!/usr/bin/env bash
# The saver with sound under Wine (no output device under Xvfb): the music sample plays
# silently without an error and its sound is mixed (the control's WAV recording grows); a key
# pressed while it sounds stops the sound and ends the control's sound thread within a
# second, and the process goes no later than a saver playing a silent movie (Wine itself
# takes about two seconds to take a process down); the settings' Mute value reaches the
# control, and the saver still ends on a key.
# Usage: saver_sound_test.sh <build dir> <source dir>
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e_common.sh"

MUSIC=music_notes_550x400_25fps_100f.swf
SILENT=fws_320x240_30fps_60f.swf
WAV="$TMP/mix.wav"
timeout 30 wine reg add "$TRACE_KEY" /v WavFile /t REG_SZ /d "$(winpath "$WAV")" /f >/dev/null 2>&1 ||
  fail "switching the control's recording on failed"

now_ms() { date +%s%3N; }

# Plays the movie set for 2 s, presses a key, and checks how soon the saver ended; GONE is
# how long the process took to go.
play_and_press_key() {  # description [baseline ms]
  start_saver
  wait_trace '^[0-9]+ Play$' 1 20 || { fail "$1: the saver did not start playing"; return; }
  sleep 2
  local pressed ended
  pressed=$(now_ms)
  xdotool key a
  while running && (($(now_ms) - pressed < 15000)); do sleep 0.05; done
  ended=$(now_ms)
  saver_exit 1
  check "$1: a key ends the saver with 0" 0 "$EXITED"
  local closed=$(trace_time Deactivate 1) threadEnd=$(trace_time 'Audio end' 1)
  GONE=$((ended - pressed))
  echo "   (after the key: control deactivated in $((closed - pressed)) ms, sound thread ended in $((threadEnd - pressed)) ms, process gone in $GONE ms)"
  [[ -z ${2:-} ]] && return
  if ((closed - pressed <= 1000 && threadEnd - pressed <= 1000)); then
    echo "ok: $1: the sound stopped and its thread ended within a second of the key"
  else
    fail "$1: the sound went on $((closed - pressed)) ms, its thread $((threadEnd - pressed)) ms"
  fi
  if ((GONE <= $2 + 1000)); then echo "ok: $1: the process went within a second of a silent saver's"; else
    fail "$1: the process took $GONE ms, a silent saver's $2 ms"; fi
}

settings 0 "$(movie $SILENT)"
play_and_press_key "a silent movie"
baseline=$GONE

settings 0 "$(movie $MUSIC)"
play_and_press_key "playing with sound" "$baseline"
check "no output device: the control plays silently" "Audio none|Audio end" "$(trace_events Audio | tr '\n' '|' | sed 's/|$//')"
size=$(stat -c %s "$WAV" 2>/dev/null || echo 0)
# Two seconds and more of 16-bit stereo at 44.1 kHz.
if ((size > 2 * 176400)); then echo "ok: the sound was mixed ($size bytes)"; else
  fail "the recording holds $size bytes"; fi
check "the control was told nothing about muting" "" "$(trace_events Muted)"

settings 0 "$(movie $MUSIC)"
timeout 30 wine reg add "$SETTINGS_KEY\\OPTION" /v Mute /t REG_SZ /d 1 /f >/dev/null 2>&1
play_and_press_key "muted" "$baseline"
check "Mute 1 in the settings mutes the control" "Muted 1" "$(trace_events Muted)"

exit $FAILED
