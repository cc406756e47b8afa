# Sourced: the quiet project-local Wine prefix that every Windows test and the run command use.
# WINEPREFIX may be set beforehand to use another prefix (it must then be a 64-bit one).
TERVALUX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$TERVALUX_ROOT/build/wine-prefix}
# No Mono or Gecko installers, no debug chatter.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# Without a UTF-8 locale Wine mangles non-ASCII file names and arguments.
export LC_ALL=C.UTF-8
# How every Windows program is started here: without address-space randomisation, which each
# process it starts inherits. Debian's 64-bit Wine comes without the preloader that keeps Windows'
# fixed addresses free, so the C library's heap, made before Wine reserves them, starts at a
# random page of the gigabyte above the loader (0x7d000000). One start in several thousand finds
# that heap over the page Wine must map at 0x7ffe0000 ("failed to map the shared user data:
# c0000018"): the process ends before it is set up, and its parent's CreateProcess fails with
# ERROR_INTERNAL_ERROR. Unrandomised, the heap starts right after the loader, far below that page.
TERVALUX_WINE=(setarch "$(uname -m)" --addr-no-randomize wine)

# Makes the prefix if it is not there yet and waits until Wine has finished setting it up.
tervalux_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "${TERVALUX_WINE[@]}" wineboot --init >/dev/null 2>&1
    wineserver -w
  fi
}

# Starts a private Xvfb on a display that Xvfb finds free itself and exports DISPLAY; its pid is
# left in TERVALUX_XVFB_PID for the caller's exit trap. Returns non-zero, with nothing left running,
# when it did not start.
tervalux_private_display() {
  local folder display=""
  TERVALUX_XVFB_PID=""
  folder=$(mktemp -d) || return 1
  mkfifo "$folder/display" || { rm -rf "$folder"; return 1; }
  # Xvfb writes the number of the display it took to descriptor 3 once it accepts clients there: a
  # number found free here could be taken by another Xvfb before this one starts on it.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$folder/display" >/dev/null 2>&1 &
  TERVALUX_XVFB_PID=$!
  read -r -t 30 display <"$folder/display" || true
  rm -rf "$folder"
  if [ -z "$display" ]; then
    echo "Xvfb did not start" >&2
    kill "$TERVALUX_XVFB_PID" 2>/dev/null || true
    TERVALUX_XVFB_PID=""
    return 1
  fi
  export DISPLAY=":$display"
}

# Everything the Windows tests need, made afresh: a private display, no Wine server left running, a
# new prefix under build/ and in it the drive t: whose target has gone, for the test of a drive that
# is not ready, a folder reached through a symbolic link, and windows whose frames Wine draws
# itself. It tells the tests so
# (TERVALUX_SKIPS_FAIL, which Wine passes on to the Windows programs): a test that finds something
# missing fails rather than skips. It sets the caller's exit trap, which ends the Wine server and the
# display again.
tervalux_wine_test_setup() {
  TERVALUX_XVFB_PID=""
  trap tervalux_wine_test_teardown EXIT
  case "$WINEPREFIX" in
    "$TERVALUX_ROOT"/build/*) ;;
    *) echo "refusing to remake a prefix outside build/: $WINEPREFIX" >&2; return 1 ;;
  esac
  tervalux_private_display || return 1
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  tervalux_wine_prefix
  # Wine reads its drive links only when its server starts, so the link is made now, while no
  # server runs, and before any test starts one.
  rm -rf "$TERVALUX_ROOT/build/gone-drive-target"
  ln -sfn "$TERVALUX_ROOT/build/gone-drive-target" "$WINEPREFIX/dosdevices/t:"
  # C:\tervalux-link is a Unix symbolic link to C:\tervalux-link-target, for the test that a start
  # runs the file held, by its own path, not whatever a link on the way names later. Windows
  # programs under Wine cannot make one themselves.
  mkdir -p "$WINEPREFIX/drive_c/tervalux-link-target"
  ln -sfn tervalux-link-target "$WINEPREFIX/drive_c/tervalux-link"
  tervalux_wine_frames
  wineserver -w
  export TERVALUX_SKIPS_FAIL=1
  echo "display $DISPLAY, prefix $WINEPREFIX"
}

# For a benchmark: this shell and all it starts from now on (the display, the Wine server, the
# programs) run on one processor, TERVALUX_BENCH_CPU (0 unless set). Every call a Wine program
# makes to the Wine server is a round trip between two processes, and on the virtual machines this
# runs on one that crosses processors costs so much more that where the scheduler happens to put
# the server and the program decides the time: a program starts several times slower with the two
# on different processors, and runs that mix the placements scatter the ratios the benchmarks
# report. So the prefix's Wine server is ended first, for the next one to start pinned too.
tervalux_bench_one_cpu() {
  taskset -pc "${TERVALUX_BENCH_CPU:-0}" $$ >/dev/null
  wineserver -k >/dev/null 2>&1 || true
}

# Windows with their frames in the prefix, as on Windows. With no window manager on the display,
# Wine draws the windows' frames itself only when told to: the title bar, its icon and its buttons
# then appear on the screen and in the screenshots.
tervalux_wine_frames() {
  "${TERVALUX_WINE[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f \
    >/dev/null 2>&1
  # The frame's buttons are glyphs of the Marlett font. Debian's Wine looks for its own fonts beside
  # its data folder rather than in it (/usr/share/fonts, not /usr/share/wine/fonts), so without
  # this copy the buttons show the letters "0 1 r" in a substitute font.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

tervalux_wine_test_teardown() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${TERVALUX_XVFB_PID:-}" ]; then kill "$TERVALUX_XVFB_PID" 2>/dev/null || true; fi
}
