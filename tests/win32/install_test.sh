#!/usr/bin/env bash
# install.cmd and uninstall.cmd from the zip under Wine, in the test prefix: the files, the
# control's registration and the screen-saver choice after an install; the installed saver
# plays; installing twice keeps the first record; uninstall puts back the earlier saver, or
# leaves a saver chosen since alone, keeps the movie list unless /purge; a control registered
# by someone else stays, and /standin shadows it for the user only; a failing step gives its
# exit code and says why, and uninstall clears up after it.
# Usage: install_test.sh <build dir> <source dir>
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/saver_e2e_common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/package_common.sh"

PKG="$TMP/package"
unpack_package "$PKG"
TARGET="$(local_app_data)/Programs/SwfSaver"
WIN_TARGET=$(winpath "$TARGET")
BUILD_STANDIN=$(winpath "$STANDIN")
VENDOR='C:\Program Files\Vendor\Flash.ocx'
ORIGINAL_DESKTOP=$(desktop_choice)
cleanup() {
  run_script "$PKG" uninstall.cmd /quiet /purge
  timeout 30 wine reg delete "HKLM\\$CLASS_KEY" /f >/dev/null 2>&1
  set_desktop_choice "$ORIGINAL_DESKTOP"
  e2e_cleanup  # registers the build's stand-in again
}
trap cleanup EXIT

says() {  # description text
  if grep -qF -- "$2" <<<"$OUTPUT"; then echo "ok: $1"; else fail "$1: [$2] not in: $OUTPUT"; fi
}
# What of ours is left besides the settings and a machine-wide registration.
leftovers() {
  [[ -e $TARGET ]] && echo -n "folder "
  key_exists "HKCU\\$CLASS_KEY" && echo -n "user-registration "
  key_exists "$OURS_KEY\\SwfSaver\\Install" && echo -n "record "
}
machine_server() { reg_value "HKLM\\$CLASS_KEY\\InprocServer32"; }
regsvr_build() { timeout 60 wine regsvr32 /s "$@" "$BUILD_STANDIN" </dev/null >/dev/null 2>&1; }

# --- install where no control is registered; the saver Windows would start plays ---------
regsvr_build /u
set_desktop_choice 'C:\windows\system32\before.scr|0'
run_script "$PKG" install.cmd /quiet
check "install exits with 0" 0 "$RC"
says "install names the folder" "Copied SwfSaver.scr and FlashStandin.dll to \"$WIN_TARGET\"."
check "the files are the zip's" "" \
  "$(cmp "$PKG/SwfSaver.scr" "$TARGET/SwfSaver.scr" 2>&1; cmp "$PKG/FlashStandin.dll" "$TARGET/FlashStandin.dll" 2>&1)"
check "the stand-in is registered (machine-wide under Wine)" "$WIN_TARGET\\FlashStandin.dll" "$(machine_server)"
check "SwfSaver is the screen saver, switched on" "$WIN_TARGET\\SwfSaver.scr|1" "$(desktop_choice)"

# The list as the dialog stores it (the settings helper would delete the install record too).
for value in Expansion=0 ListCount=1 "List0=$(movie fws_550x400_12fps_12f.swf)"; do
  timeout 30 wine reg add "$OURS_KEY\\SwfSaver\\OPTION" /v "${value%%=*}" /d "${value#*=}" /f >/dev/null 2>&1
done
SCR=$(winepath -u "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)")
start_saver
# A generous deadline: on a loaded machine this first start from the new folder once took over 20 s.
wait_trace '^[0-9]+ Play$' 1 40 || fail "the installed saver did not play within 40 s"
timeout 30 wine "$PROBE" post 0x402 </dev/null >/dev/null 2>&1
saver_exit 20
check "the installed saver ends with 0" 0 "$EXITED"
check "the installed saver played the movie" fws_550x400_12fps_12f.swf "$(trace_events Movie | head -n 1 | sed 's/.*\\//')"

# --- again, now opening the settings dialog ------------------------------------------------
run_script "$PKG" install.cmd
check "a second install exits with 0" 0 "$RC"
says "the second install knows its control" "already registered machine-wide"
window=$(LC_ALL=C.UTF-8 timeout 30 xdotool search --sync --name '^設定$' 2>/dev/null | head -n 1)
check "install opens the settings dialog" yes "$([[ -n $window ]] && echo yes)"
[[ -n $window ]] && LC_ALL=C.UTF-8 xdotool mousemove --window "$window" 20 20 key alt+F4 2>/dev/null
for _ in {1..100}; do pgrep -f 'SwfSaver.scr /c' >/dev/null || break; sleep 0.1; done
check "the earlier saver is still the one to put back" 'C:\windows\system32\before.scr' \
  "$(reg_value "$OURS_KEY\\SwfSaver\\Install" PreviousSaver)"

# --- uninstall while SwfSaver is the saver: the earlier one comes back, the list stays -------
run_script "$PKG" uninstall.cmd /quiet
check "uninstall exits with 0" 0 "$RC"
check "the earlier saver and its switch are back" 'C:\windows\system32\before.scr|0' "$(desktop_choice)"
check "our registration is gone" absent "$(key_state "HKLM\\$CLASS_KEY")"
check "the movie list stays" 1 "$(reg_value "$OURS_KEY\\SwfSaver\\OPTION" ListCount)"
check "nothing else of ours is left" "" "$(leftovers)"

# --- another control (the build's stand-in) registered; another saver chosen since; /purge --
regsvr_build
run_script "$PKG" install.cmd /quiet
check "install next to another control exits with 0" 0 "$RC"
says "install says it uses the other control" "Another Flash control is registered"
set_desktop_choice 'C:\windows\system32\other.scr|1'
run_script "$PKG" uninstall.cmd /quiet /purge
check "uninstall /purge exits with 0" 0 "$RC"
check "the other control stays" "$BUILD_STANDIN" "$(machine_server)"
check "the saver chosen since stays" 'C:\windows\system32\other.scr|1' "$(desktop_choice)"
check "/purge deletes the settings" absent "$(key_state "$OURS_KEY")"
check "nothing else of ours is left after /purge" "" "$(leftovers)"

# --- /standin: a per-user registration over a vendor's machine-wide one --------------------
regsvr_build /u
timeout 30 wine reg add "HKLM\\$CLASS_KEY\\InprocServer32" /ve /d "$VENDOR" /f >/dev/null 2>&1
run_script "$PKG" install.cmd /quiet /standin
check "install /standin exits with 0" 0 "$RC"
check "/standin registers ours for the user, marked as ours" \
  "$WIN_TARGET\\FlashStandin.dll|$WIN_TARGET\\FlashStandin.dll" \
  "$(reg_value "HKCU\\$CLASS_KEY\\InprocServer32")|$(reg_value "HKCU\\$CLASS_KEY" SwfSaverStandin)"
check "/standin leaves the machine's control" "$VENDOR" "$(machine_server)"
run_script "$PKG" uninstall.cmd /quiet /purge
check "uninstall after /standin exits with 0" 0 "$RC"
check "the machine's control stays after uninstall" "$VENDOR" "$(machine_server)"
check "nothing of ours is left after /standin" "" "$(leftovers)"
timeout 30 wine reg delete "HKLM\\$CLASS_KEY" /f >/dev/null 2>&1

# --- failing steps: the step's exit code and a message; uninstall clears up after them -----
expect_failure() {  # description exit-code message folder script arguments...
  local what=$1 code=$2 message=$3
  shift 3
  run_script "$@"
  check "$what: exit code" "$code" "$RC"
  says "$what: says why" "$message"
}
mkdir -p "$TMP/alone" "$(dirname "$TARGET")"
cp "$PKG/install.cmd" "$TMP/alone/"
cp -r "$PKG" "$TMP/broken"
echo "not a DLL" >"$TMP/broken/FlashStandin.dll"
expect_failure "an unknown option" 1 "unknown option /bogus" "$PKG" install.cmd /bogus
expect_failure "install.cmd alone" 1 "must be beside install.cmd" "$TMP/alone" install.cmd /quiet
echo "in the way" >"$TARGET"
expect_failure "a file where the install folder goes" 2 "cannot create the folder" "$PKG" install.cmd /quiet
rm -f "$TARGET"
expect_failure "a DLL regsvr32 cannot register" 3 "regsvr32 could not register" "$TMP/broken" install.cmd /quiet
run_script "$PKG" uninstall.cmd /quiet /purge
check "uninstall after failed installs exits with 0 and clears up" "0 " "$RC $(leftovers)"
run_script "$PKG" install.cmd /quiet
rm -f "$TARGET/FlashStandin.dll"
expect_failure "uninstall without the registered DLL" 3 "is missing" "$PKG" uninstall.cmd /quiet
check "the failed uninstall keeps its record" present "$(key_state "$OURS_KEY\\SwfSaver\\Install")"
run_script "$PKG" install.cmd /quiet
run_script "$PKG" uninstall.cmd /quiet /purge
check "install and uninstall again clear up" "0 absent " "$RC $(key_state "HKLM\\$CLASS_KEY") $(leftovers)"

exit $FAILED
