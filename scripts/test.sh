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

tervalux_private_display 90
xvfb_pid=$TERVALUX_XVFB_PID
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
