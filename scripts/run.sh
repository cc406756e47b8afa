#!/usr/bin/env bash
# Installs what is missing, builds the Windows x64 program and starts it under Wine in the
# project's prefix (on a private X display when there is no display).
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

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  tervalux_private_display 90
  xvfb_pid=$TERVALUX_XVFB_PID
  trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
  echo "run: no display; Tervalux runs on the virtual display $DISPLAY"
fi

wine "$program"
