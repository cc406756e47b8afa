#!/usr/bin/env bash
# Runs every test: the portable core natively (plain, then under ASan and UBSan) and the static
# checks of scripts/lint.sh, then the Windows build (x64 and x86) and the x64 tests under Wine in a
# fresh prefix on a private X display. Exits non-zero on the first failure.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

section() { printf '\n==== %s ====\n' "$*"; }
started=$SECONDS

section "Set-up"
bash scripts/setup.sh

section "Native: configure and build"
cmake --preset native
cmake --build --preset native

section "Native: tests"
ctest --preset native

section "Native: tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

section "Static checks: clang-tidy, cppcheck, clang-format"
bash scripts/lint.sh

section "Windows x64: configure and build"
cmake --preset windows-x64
cmake --build --preset windows-x64

section "Windows x86: configure and build (cannot run here)"
cmake --preset windows-x86
cmake --build --preset windows-x86

section "Windows x64: display and fresh Wine prefix"
source scripts/wine-env.sh
case "$WINEPREFIX" in
  "$ROOT"/build/*) ;;
  *) echo "test: refusing to remake a prefix outside build/: $WINEPREFIX" >&2; exit 1 ;;
esac

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

# A display number nobody uses: no lock file and no socket.
display=""
for n in $(seq 90 189); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
if [ -z "$display" ]; then echo "test: no free X display number" >&2; exit 1; fi
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then echo "test: Xvfb did not start" >&2; exit 1; fi
  sleep 0.1
done
export DISPLAY=":$display"
echo "display $DISPLAY, prefix $WINEPREFIX"

wineserver -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
tervalux_wine_prefix
# A drive letter whose target has gone, for the test of a drive that is not ready. Wine reads its
# drive links only when its server starts, so the link is made now, while no server runs, and
# before any test starts one.
rm -rf "$ROOT/build/gone-drive-target"
ln -sfn "$ROOT/build/gone-drive-target" "$WINEPREFIX/dosdevices/t:"

section "Windows x64: tests under Wine"
ctest --preset windows-x64

section "All tests passed in $((SECONDS - started)) s"
