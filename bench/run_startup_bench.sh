#!/usr/bin/env bash
# Start-up benchmark: builds the x64 release program, the two floors (a minimal Win32 program with
# an empty window, and the same eight standard controls as Tervalux's window with nothing behind
# them, shown once with empty lists and once with its file list filled) and the measuring program,
# all targets of the windows-x64 preset (bench/CMakeLists.txt), then, under one Wine in the
# project prefix (scripts/wine-env.sh; WINEPREFIX overrides it) and on a private X display when
# there is none, times them from process start to their ready window.
# It also reports the size of tervalux.exe and the DLLs it imports.
# Everything it starts runs on one processor (tervalux_bench_one_cpu in scripts/wine-env.sh).
#
# Usage: bench/run_startup_bench.sh [runs]   (default 15 runs of each, after one warm-up each);
# with TERVALUX_BENCH_BUILD_ONLY set it only builds. Exits non-zero when the target is missed.
# Targets: Tervalux's start-up against the filled window (the same controls, the file list given
# as many entries), the median of the ratios of the runs, each run starting the two back to back,
# <= 1.1; printed with the ratios' spread, so that one disturbed stretch of runs cannot decide it.
# tervalux.exe under 1 MB (its imports scripts/check-program-headers.sh checks). The ratios to the
# empty and the controls-only window are kept for the record: how much of the start-up the window's
# controls take whoever shows them, and how much the file list's entries, which any program showing
# them pays.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RUNS=${1:-15}
cd "$ROOT"

cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 --target tervalux minimal_window standard_controls_window startup_bench >/dev/null
PROGRAM="$ROOT/build/windows-x64/tervalux.exe"
BENCH="$ROOT/build/windows-x64/bench"
if [ -n "${TERVALUX_BENCH_BUILD_ONLY:-}" ]; then exit 0; fi

echo "== tervalux.exe (x64, release)"
size=$(stat -c %s "$PROGRAM")
echo "size: $size bytes ($(awk -v s="$size" 'BEGIN { printf "%.2f", s / 1048576 }') MiB; target under 1 MiB)"
echo "imports:"
x86_64-w64-mingw32-objdump -p "$PROGRAM" | sed -n 's/^[[:space:]]*DLL Name: /  /p'
echo

source "$ROOT/scripts/wine-env.sh"
tervalux_bench_one_cpu

xvfb_pid=""
made=()
cleanup() {
  if [ ${#made[@]} -gt 0 ]; then rm -f "${made[@]}"; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  tervalux_private_display
  xvfb_pid=$TERVALUX_XVFB_PID
fi

tervalux_wine_prefix
# The frames drawn as the tests have them, whichever of the two made the prefix.
tervalux_wine_frames

# The program opens on c:\, where a fresh prefix has no components: a few empty ones are put
# there for the run (and taken away after it), so that "filled" means a known count.
drive_c="$WINEPREFIX/drive_c"
for i in $(seq -w 1 24); do
  for ext in ocx dll; do
    file="$drive_c/tvxbench_$i.$ext"
    if [ ! -e "$file" ]; then
      : >"$file"
      made+=("$file")
    fi
  done
done
components=$(find "$drive_c" -maxdepth 1 -type f \( -iname '*.ocx' -o -iname '*.dll' \) | wc -l)

echo "== start-up under $(wine --version) on display $DISPLAY, prefix $WINEPREFIX"
windows_path() { "${TERVALUX_WINE[@]}" winepath -w "$1"; }
"${TERVALUX_WINE[@]}" "$BENCH/startup_bench.exe" "$(windows_path "$PROGRAM")" \
  "$(windows_path "$BENCH/minimal_window.exe")" "$(windows_path "$BENCH/standard_controls_window.exe")" \
  "$RUNS" "$components"
