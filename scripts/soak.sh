#!/usr/bin/env bash
# Usage: scripts/soak.sh N
# Runs every Windows x64 test under Wine N times in a row, in the environment scripts/test.sh makes
# for them (fresh prefix under build/, the drive t: whose target has gone, a private display), to
# show that none of them stalls or fails now and then. Needs a windows-x64 build beforehand
# (cmake --preset windows-x64 && cmake --build --preset windows-x64); builds nothing itself.
# One line per run (number, result, failed entries, seconds) and a total; exits non-zero when
# any run failed.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

usage() { echo "usage: scripts/soak.sh N   (after a windows-x64 build)" >&2; exit 2; }
[ $# -eq 1 ] || usage
case "$1" in '' | *[!0-9]* | 0) usage ;; esac
runs=$1
if [ ! -f build/windows-x64/CTestTestfile.cmake ] || [ ! -f build/windows-x64/tervalux.exe ]; then
  echo "soak: no windows-x64 build; run cmake --preset windows-x64 && cmake --build --preset windows-x64" >&2
  exit 2
fi

source scripts/wine-env.sh
tervalux_wine_test_setup

logs="$ROOT/build/soak"
mkdir -p "$logs"
failed_runs=0
started=$SECONDS
for run in $(seq 1 "$runs"); do
  run_started=$SECONDS
  log="$logs/run-$run.log"
  if ctest --preset windows-x64 >"$log" 2>&1; then
    result=pass
    names=""
  else
    result=FAIL
    failed_runs=$((failed_runs + 1))
    # ctest's summary lists each failed entry as "  <n> - <name> (<reason>)".
    names=$(sed -n 's/^[[:space:]]*[0-9]\{1,\} - \([^ ]*\) (.*/\1/p' "$log" | tr '\n' ' ')
    names=" ${names% } (log: ${log#"$ROOT"/})"
  fi
  printf 'run %d/%d: %s%s, %d s\n' "$run" "$runs" "$result" "$names" $((SECONDS - run_started))
done
printf 'total: %d of %d runs passed in %d s\n' $((runs - failed_runs)) "$runs" $((SECONDS - started))
[ "$failed_runs" -eq 0 ]
