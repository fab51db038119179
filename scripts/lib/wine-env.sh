# Shared by the commands in scripts/ (sourced, not run): installing what is missing, and a
# private X display with a private Wine prefix, torn down on every way out. The sourcing script
# sets ROOT (the repository) first.

PACKAGES=(cmake ninja-build g++ googletest zlib1g-dev liblzma-dev libjpeg-dev libpng-dev libgif-dev
  libmpg123-dev libmp3lame-dev sox lame
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
  wine wine64 xvfb xauth xdotool imagemagick libcairo2-dev python3
  fonts-liberation fonts-dejavu-core fonts-ipafont-gothic)

log() { printf '==> %s\n' "$*"; }
die() { printf '%s: %s\n' "$(basename "$0")" "$*" >&2; exit 1; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

install_missing_packages() {
  local missing=() package
  for package in "${PACKAGES[@]}"; do installed "$package" || missing+=("$package"); done
  ((${#missing[@]} == 0)) && return 0
  [[ $(id -u) -eq 0 ]] || die "missing packages (${missing[*]}); run as root to install them"
  log "installing ${missing[*]}"
  apt-get update || die "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" ||
    die "apt-get install failed"
}

build_preset() {
  log "building $1"
  cmake --preset "$1" >"$ROOT/build/$1.configure.log" 2>&1 ||
    { cat "$ROOT/build/$1.configure.log"; die "configuring $1 failed"; }
  cmake --build --preset "$1" || die "building $1 failed"
}

# --- the private X display and Wine prefix, torn down on every way out --------------------
XVFB_PID=""
WORK_DIR=""
cleanup() {
  if [[ -n ${WINEPREFIX:-} && -d ${WINEPREFIX:-/nonexistent} ]]; then
    timeout 60 wineserver -k >/dev/null 2>&1 || true
  fi
  if [[ -n $XVFB_PID ]]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
  [[ -n $WORK_DIR ]] && rm -rf "$WORK_DIR"
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb() {
  # Xvfb picks a free display itself and writes its number once it accepts clients.
  WORK_DIR=$(mktemp -d)
  mkfifo "$WORK_DIR/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK_DIR/display" \
    </dev/null >"$WORK_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local display=""
  read -r -t 30 display <"$WORK_DIR/display" || true
  [[ -n $display ]] || { cat "$WORK_DIR/xvfb.log" >&2; die "Xvfb did not start"; }
  export DISPLAY=":$display"
  log "Xvfb on $DISPLAY"
}

start_wine() {  # [prefix folder]
  export WINEPREFIX="${1:-$ROOT/build/win64/wineprefix}" WINEDEBUG=-all WINEARCH=win64
  # A fresh prefix each run: no state left by an earlier run can change a result.
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # Wine's services must not inherit the test runner's output, or every test waits on them.
  wineserver -p </dev/null >/dev/null 2>&1
  # No prompt for the .NET and HTML engines, which nothing here needs.
  WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 wine wineboot </dev/null >/dev/null 2>&1 ||
    die "wineboot failed"
  log "Wine prefix $WINEPREFIX ready"
  local standin="$ROOT/build/win64/FlashStandin.dll"
  if [[ -f $standin ]]; then
    # Wine looks COM classes up machine-wide only.
    timeout 120 wine regsvr32 /s "$(winepath -w "$standin")" </dev/null >/dev/null 2>&1 ||
      die "registering the stand-in Flash control failed"
    log "stand-in Flash control registered"
  fi
}

