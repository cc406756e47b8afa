#!/usr/bin/env bash
# Installs what is missing, builds the Windows x64 program and starts it under Wine in the
# project's prefix (on a private X display when there is no display). When the window closes, it
# ends the Wine server and the display it started.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

bash scripts/setup.sh
cmake --preset windows-x64
cmake --build --preset windows-x64

program="$ROOT/build/windows-x64/tervalux.exe"
if [ ! -f "$program" ]; then
  echo "run: the build did not produce $program" >&2
  exit 1
fi

source scripts/wine-env.sh
tervalux_wine_prefix

own_server=""
xvfb_pid=""
cleanup() {
  # The server ends every Windows process of the prefix with it, before their display goes.
  if [ -n "$own_server" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  tervalux_private_display
  xvfb_pid=$TERVALUX_XVFB_PID
  echo "run: no display; Tervalux runs on the virtual display $DISPLAY"
fi

# The prefix's Wine server, started here so that it is known to be this command's own: it exits
# with 2 when a server already runs in the prefix, another program's, which is left running.
status=0
wineserver || status=$?
case $status in
  0) own_server=1 ;;
  2) ;;
  *) echo "run: the Wine server did not start" >&2; exit 1 ;;
esac

# Waited for in the background, so that an interrupt ends the run at once through the exit trap.
"${TERVALUX_WINE[@]}" "$program" &
wait $!
