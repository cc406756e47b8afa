#!/usr/bin/env bash
# Builds the file list benchmark (its CMake target, with the windows-x64 preset) and runs it under
# Wine, on a private X display when there is none. Its own Wine prefix (build/wine-bench-prefix)
# keeps it clear of test runs that remake the project prefix; everything it starts runs on one
# processor (tervalux_bench_one_cpu in scripts/wine-env.sh).
# Usage: bench/run_file_list_bench.sh [folder]; with TERVALUX_BENCH_BUILD_ONLY set it only builds.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 --target file_list_bench >/dev/null
BENCH="$ROOT/build/windows-x64/bench/file_list_bench.exe"
if [ -n "${TERVALUX_BENCH_BUILD_ONLY:-}" ]; then exit 0; fi

export WINEPREFIX="$ROOT/build/wine-bench-prefix"
source "$ROOT/scripts/wine-env.sh"
tervalux_bench_one_cpu

xvfb_pid=""
cleanup() { if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  tervalux_private_display
  xvfb_pid=$TERVALUX_XVFB_PID
fi

tervalux_wine_prefix

# Without a folder given, the 100,000 files are made here on the host side of the prefix's drive
# C: Wine looks for a name without regard to case by reading the whole folder, so making them
# through Wine one by one takes a quarter of an hour. The names are the ones the benchmark makes.
if [ $# -eq 0 ]; then
  files="$WINEPREFIX/drive_c/tervalux-bench-100k"
  mkdir -p "$files" "$files-empty"
  if [ "$(find "$files" -maxdepth 1 -type f | wc -l)" -ne 100000 ]; then
    echo "making 100000 files in $files ..."
    python3 - "$files" <<'PY'
import os, sys
folder = sys.argv[1]
extensions = [".ocx", ".dll", ".txt", ".exe"]
for i in range(100000):
    stem = "Comp" if i % 7 == 0 else "comp"
    open(os.path.join(folder, "%s%06d%s" % (stem, i, extensions[i % 4])), "wb").close()
PY
  fi
  set -- 'C:\tervalux-bench-100k'
fi
"${TERVALUX_WINE[@]}" "$BENCH" "$@"
