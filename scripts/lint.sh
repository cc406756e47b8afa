#!/usr/bin/env bash
# Static checks: clang-tidy and cppcheck on the portable core (platform/, registration/, runtime/,
# app/, outside the win32/ folders), then clang-format on every tracked C++ file. Uses the compile
# commands of the native build, so run it after `cmake --preset native`. Exits non-zero on any finding.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

db=build/native
if [ ! -f "$db/compile_commands.json" ]; then
  echo "lint: $db/compile_commands.json is missing; run cmake --preset native first" >&2
  exit 1
fi

tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
format=$(command -v clang-format-14 || command -v clang-format)
jobs=$(nproc 2>/dev/null || echo 2)

mapfile -t core < <(git ls-files -- 'platform/*.cpp' 'registration/*.cpp' 'runtime/*.cpp' 'app/*.cpp' |
  grep -v '/win32/')
mapfile -t cxx < <(git ls-files -- '*.h' '*.cpp')

echo "clang-tidy: ${#core[@]} files"
printf '%s\0' "${core[@]}" |
  xargs -0 -n 1 -P "$jobs" "$tidy" -p "$db" --quiet 2> >(grep -v ' warnings\? generated\.$' >&2)

echo "cppcheck: the same files"
cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT
cppcheck --project="$db/compile_commands.json" \
  --file-filter='platform/*' --file-filter='registration/*' --file-filter='runtime/*' --file-filter='app/*' \
  --enable=warning,style,performance,portability --std=c++20 \
  --inline-suppr --suppressions-list=.cppcheck-suppressions \
  --cppcheck-build-dir="$cache" -j "$jobs" --quiet --error-exitcode=1 \
  --template='{file}:{line}: {severity}: {message} [{id}]'

echo "clang-format: ${#cxx[@]} files"
"$format" --dry-run --Werror "${cxx[@]}"

echo "lint: clean"
