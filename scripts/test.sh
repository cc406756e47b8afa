#!/usr/bin/env bash
# Runs every test: the portable core natively (plain, then under ASan and UBSan) and the static
# checks of scripts/lint.sh, then the Windows build (x64 and x86, the benchmarks included), the
# imports and header flags of both programs, both programs signed and the signature removed again,
# two builds of the x64 and x86 release zips that must give the same bytes, and the x64 tests under
# Wine in a fresh prefix on a private X display. Exits non-zero on the first failure.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

# Each heading says how long the run has taken so far, so that every step's cost can be read off.
started=$SECONDS
section() { printf '\n==== %s ==== (%d s in)\n' "$*" "$((SECONDS - started))"; }

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

section "Windows x64: configure and build"
cmake --preset windows-x64
cmake --build --preset windows-x64

section "Static checks: clang-tidy, cppcheck, clang-format"
bash scripts/lint.sh

section "Windows x86: configure and build (cannot run here)"
cmake --preset windows-x86
cmake --build --preset windows-x86

section "Windows x64 and x86: the programs import only system DLLs, only functions their oldest Windows has, name no newer Windows, and carry the loader's flags"
bash scripts/check-program-headers.sh

section "Signing: both programs signed with a throwaway certificate, verified, and unsigned again to the byte"
bash scripts/check-signing-round-trip.sh

section "Release: two builds of the x64 and x86 programs and zips give the same bytes"
bash scripts/check-reproducible.sh

section "Windows x64: display and fresh Wine prefix"
source scripts/wine-env.sh
tervalux_wine_test_setup

section "Windows x64: tests under Wine"
ctest --preset windows-x64

printf '\n==== All tests passed in %d s ====\n' "$((SECONDS - started))"
