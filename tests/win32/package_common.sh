# Shared by the package's script tests (sourced, not run; BUILD and TMP set first): the zip as
# CPack makes it from this build, unpacked as a user would; install.cmd and uninstall.cmd run
# through Wine's cmd; registry reads.
CLASS_KEY='Software\Classes\CLSID\{D27CDB6E-AE6D-11CF-96B8-444553540000}'
DESKTOP_KEY='HKCU\Control Panel\Desktop'
OURS_KEY='HKCU\Software\Ostrevanlab'

# Makes the zip from the build (in TMP, not in the build folder) and unpacks it into the folder.
unpack_package() {  # folder
  timeout 120 cpack -G ZIP --config "$BUILD/CPackConfig.cmake" -B "$TMP/cpack" >"$TMP/cpack.log" 2>&1 &&
    mkdir -p "$1" && unzip -q "$TMP/cpack"/SwfSaver-*-win64.zip -d "$1" ||
    { cat "$TMP/cpack.log" >&2; echo "making or unpacking the zip failed" >&2; exit 1; }
}

# Runs one of the scripts as cmd.exe does; RC gets its exit code and OUTPUT what it printed.
run_script() {  # folder script arguments...
  local folder=$1 script=$2
  shift 2
  timeout 120 wine cmd /c "$(winepath -w "$folder/$script")" "$@" </dev/null >"$TMP/script.out" 2>&1
  RC=$?
  OUTPUT=$(tr -d '\r' <"$TMP/script.out")
}

# The text of a registry value, "<absent>" when there is none; no name: the default value.
reg_value() {  # key [name]
  local line which=(/ve)
  [[ -n ${2:-} ]] && which=(/v "$2")
  line=$(timeout 30 wine reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' |
    grep -E '^    [^ ]+    REG_' | head -n 1)
  if [[ -z $line ]]; then echo "<absent>"; else sed -E 's/^    [^ ]+    REG_[A-Z_]+    ?//' <<<"$line"; fi
}

key_exists() { timeout 30 wine reg query "$1" >/dev/null 2>&1; }
key_state() { if key_exists "$1"; then echo present; else echo absent; fi; }

# The user's screen-saver choice as "SCRNSAVE.EXE|ScreenSaveActive", and setting it so.
desktop_choice() { echo "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)|$(reg_value "$DESKTOP_KEY" ScreenSaveActive)"; }
set_desktop_choice() {  # "saver|active", either may be <absent>
  local name text
  for name in SCRNSAVE.EXE ScreenSaveActive; do
    if [[ $name == SCRNSAVE.EXE ]]; then text=${1%|*}; else text=${1#*|}; fi
    if [[ $text == "<absent>" ]]; then
      timeout 30 wine reg delete "$DESKTOP_KEY" /v "$name" /f >/dev/null 2>&1
    else
      timeout 30 wine reg add "$DESKTOP_KEY" /v "$name" /t REG_SZ /d "$text" /f >/dev/null 2>&1
    fi
  done
}

# The user's LOCALAPPDATA folder as a Linux path.
local_app_data() {
  winepath -u "$(timeout 30 wine cmd /c echo %LOCALAPPDATA% </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null
}
