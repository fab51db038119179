# The demo's steps (sourced by scripts/demo after wine-env.sh): a Wine prefix in build/demo/
# with the sample movies, a playlist of them and the stand-in control's call trace switched on;
# then the saver or its settings dialog on the user's display or on a private one.

OUT="$ROOT/build/demo"
SCR="$ROOT/build/win64/SwfSaver.scr"
SETTINGS_KEY='HKCU\Software\Ostrevanlab\SwfSaver\OPTION'
TRACE_KEY='HKCU\Software\SwfSaverTest\FlashStandin'
# The scripted movies first (a clock on the machine's time, sparks, snow, Japanese text); a
# missing entry among them, which the saver drops silently; one with sound (heard where Wine
# has an output device).
PLAYLIST=(clock_640x480_20fps_200f.swf sparks_800x600_30fps_300f.swf snow_640x480_24fps_240f.swf
  japanese_text_640x480_12fps_120f.swf missing.swf music_notes_550x400_25fps_100f.swf
  anim_shapes_550x400_30fps_60f.swf titled_tween_550x400_24fps_96f.swf
  sprite_pinwheels_640x480_24fps_40f.swf bitmap_fills_640x480_24fps_72f.swf
  dense_shapes_1024x768_30fps_60f.swf)
# The saver runs as on a Japanese Windows, whose code page (Shift-JIS) the SWF 5 movie's
# strings are in.
SAVER_LOCALE=ja_JP.UTF-8

reg_sz() { timeout 30 wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1 || die "reg add $2"; }

# Builds what is needed and makes a fresh prefix holding the playlist; "private" starts a
# display of its own.
prepare_demo() {  # [private]
  install_missing_packages
  mkdir -p "$ROOT/build"
  build_preset win64
  rm -rf "$OUT"
  mkdir -p "$OUT/movies"
  if [[ ${1:-} == private ]]; then start_xvfb; else require_display; fi
  start_wine "$OUT/wineprefix"
  timeout 60 wine "$ROOT/build/win64/tools/swf_samples.exe" "$(winepath -w "$OUT/movies")" \
    </dev/null >/dev/null 2>&1 || die "writing the sample movies failed"
  reg_sz "$SETTINGS_KEY" Expansion 0
  reg_sz "$SETTINGS_KEY" ListCount "${#PLAYLIST[@]}"
  local i
  for i in "${!PLAYLIST[@]}"; do
    reg_sz "$SETTINGS_KEY" "List$i" "$(winepath -w "$OUT/movies/${PLAYLIST[$i]}")"
  done
  # The stand-in control notes each call it receives, so the demo can tell what played.
  reg_sz "$TRACE_KEY" TraceFile "$(winepath -w "$OUT/control-calls.txt")"
}

# The user's own display must answer before Wine and a full-screen saver are put on it.
require_display() {
  xdotool getdisplaygeometry >/dev/null 2>&1 ||
    die "the display $DISPLAY does not answer; run scripts/demo --headless instead"
}

report_played() {  # exit code
  echo
  echo "Movies the saver loaded, in order:"
  grep ' Movie ' "$OUT/control-calls.txt" 2>/dev/null | sed 's/.*\\/  /' || echo "  none"
  echo "Every call the control received: build/demo/control-calls.txt"
  echo "The saver ended with exit code $1."
}

# The saver on the user's display until the mouse moves or a key is pressed.
play_on_display() {
  log "playing on $DISPLAY: move the mouse or press a key to end it"
  env LC_ALL=$SAVER_LOCALE wine "$SCR" /s </dev/null >/dev/null 2>&1
  local code=$?
  report_played "$code"
  return "$code"
}

# The saver on a private display for the given seconds, a screenshot each second, then a key
# press as a returning user's.
play_headless() {  # seconds
  log "playing for $1 s on the private display $DISPLAY"
  timeout $(($1 + 60)) env LC_ALL=$SAVER_LOCALE wine "$SCR" /s </dev/null >/dev/null 2>&1 &
  local saver=$! second code
  for ((second = 1; second <= $1; second++)); do
    sleep 1
    kill -0 "$saver" 2>/dev/null || break
    import -window root "$OUT/playing-$(printf '%02d' "$second").png" 2>/dev/null
  done
  log "pressing a key"
  xdotool key space
  wait "$saver"
  code=$?
  report_played "$code"
  echo "Screenshots: $(ls "$OUT"/playing-*.png 2>/dev/null | wc -l) in build/demo/"
  return "$code"
}

# The settings dialog with the playlist in it: on the user's display until it is closed, or
# on the private display long enough for a screenshot.
show_settings() {
  if [[ -n $XVFB_PID ]]; then
    timeout 60 wine "$SCR" /c </dev/null >/dev/null 2>&1 &
    local dialog=$! window
    window=$(LC_ALL=C.UTF-8 timeout 30 xdotool search --sync --name '^設定$' 2>/dev/null | head -n 1)
    [[ -n $window ]] || die "the settings dialog did not appear"
    sleep 1
    import -window root "$OUT/settings-dialog.png" 2>/dev/null
    # Keys go to the window under the pointer: there is no window manager to give focus.
    xdotool mousemove --window "$window" 20 20 key alt+F4
    wait "$dialog"
    echo "Screenshot of the settings dialog: build/demo/settings-dialog.png"
  else
    log "the settings dialog is open on $DISPLAY; press OK or Cancel to end"
    wine "$SCR" /c </dev/null >/dev/null 2>&1
  fi
  echo "The stored playlist (in the Wine prefix build/demo/wineprefix):"
  timeout 30 wine reg query "$SETTINGS_KEY" 2>/dev/null | tr -d '\r' | grep -E '^ +List[0-9]+ ' |
    sed 's/.*REG_SZ *\(.*\)/  \1/'
}
