#!/usr/bin/env bash
# Static checks: clang-tidy and cppcheck on the portable core (platform/, registration/, runtime/,
# app/, outside the win32/ folders), clang-tidy on the win32/ folders (where an exception could cross
# a window procedure), then clang-format on every tracked C++ file. Uses the compile commands of the
# native and windows-x64 builds, so run it after `cmake --preset native` and
# `cmake --preset windows-x64`. Exits non-zero on any finding.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

db=build/native
windb=build/windows-x64
for preset in native windows-x64; do
  if [ ! -f "build/$preset/compile_commands.json" ]; then
    echo "lint: build/$preset/compile_commands.json is missing; run cmake --preset $preset first" >&2
    exit 1
  fi
done

tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
format=$(command -v clang-format-14 || command -v clang-format)
jobs=$(nproc 2>/dev/null || echo 2)

mapfile -t core < <(git ls-files -- 'platform/*.cpp' 'registration/*.cpp' 'runtime/*.cpp' 'app/*.cpp' |
  grep -v '/win32/')
mapfile -t win32 < <(git ls-files -- 'platform/win32/*.cpp' 'runtime/win32/*.cpp' 'app/win32/*.cpp')
mapfile -t cxx < <(git ls-files -- '*.h' '*.cpp')

echo "clang-tidy: ${#core[@]} files"
printf '%s\0' "${core[@]}" |
  xargs -0 -n 1 -P "$jobs" "$tidy" -p "$db" --quiet 2> >(grep -v ' warnings\? generated\.$' >&2)

# The cross compiler's name tells clang-tidy the target and the mingw-w64 C headers; its C++ library
# headers it is told, as the cross compiler itself searches them.
cross=$(grep -o -m 1 '"command": "[^ "]*' "$windb/compile_commands.json" | sed 's/"command": "//')
mapfile -t cross_includes < <("$cross" -E -x c++ - -v </dev/null 2>&1 |
  sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ .*/include/c++' | sed 's/^ /--extra-arg=-isystem/')
echo "clang-tidy (Win32): ${#win32[@]} files"
printf '%s\0' "${win32[@]}" |
  xargs -0 -n 1 -P "$jobs" "$tidy" -p "$windb" --quiet "${cross_includes[@]}" \
    2> >(grep -v ' warnings\? generated\.$' >&2)

echo "cppcheck: the portable core"
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
