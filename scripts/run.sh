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
  echo "run: the build is done; the window comes later, so there is no program to start yet."
  exit 0
fi

source scripts/wine-env.sh
tervalux_wine_prefix

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  display=""
  for n in $(seq 90 189); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
  done
  if [ -z "$display" ]; then echo "run: no free X display number" >&2; exit 1; fi
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  export DISPLAY=":$display"
  echo "run: no display; Tervalux runs on the virtual display $DISPLAY"
fi

wine "$program"
