#!/usr/bin/env bash
# Reads the headers of both built programs (build/windows-x64/tervalux.exe and
# build/windows-x86/tervalux.exe, or the two given, x64 first) with the mingw-w64 objdump and fails
# when one imports a DLL outside the allowed five, or lacks a flag the loader must see. Run after
# both Windows builds. Prints each program's imports and flags; exits non-zero on any fault.
#
# Usage: scripts/check-program-headers.sh [x64 program] [x86 program]
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Windows loads the imports before the program's first line can say where libraries come from
# (docs/architecture.md, "Where libraries come from"): only system DLLs that never come from the
# program's folder may be among them. Lower case; the header's spelling varies.
allowed_imports=(kernel32.dll user32.dll gdi32.dll comctl32.dll msvcrt.dll)

# One row per flag of DllCharacteristics: its name, its bit, the architectures that need it.
flags=(
  "DYNAMIC_BASE          0x0040 x64 x86" # loaded at a random address
  "NX_COMPAT             0x0100 x64 x86" # data pages never run as code
  "HIGH_ENTROPY_VA       0x0020 x64"     # the random address drawn from the whole 64-bit space
  "TERMINAL_SERVER_AWARE 0x8000 x64 x86" # the real Windows folder on a Remote Desktop server
)

failed=0
fault() {
  echo "program headers: $*" >&2
  failed=1
}

# check_program <x64|x86> <objdump> <program>
check_program() {
  local arch=$1 objdump=$2 program=$3
  if [ ! -f "$program" ]; then
    fault "$arch: no program at $program (build the windows-$arch preset first)"
    return
  fi
  local header
  header=$("$objdump" -p "$program")

  local imports=() dll
  mapfile -t imports < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$header")
  echo "$arch $program"
  echo "  imports: ${imports[*]}"
  if [ ${#imports[@]} -eq 0 ]; then fault "$arch: no imports read from $program"; fi
  for dll in "${imports[@]}"; do
    if [[ " ${allowed_imports[*]} " != *" ${dll,,} "* ]]; then
      fault "$arch: imports $dll, outside ${allowed_imports[*]}"
    fi
  done

  local characteristics
  characteristics=$(sed -n 's/^DllCharacteristics[[:space:]]*\([0-9a-fA-F]*\)$/\1/p' <<<"$header")
  if [ -z "$characteristics" ]; then
    fault "$arch: no DllCharacteristics read from $program"
    return
  fi
  echo "  DllCharacteristics: 0x$characteristics"
  local row name bit archs
  for row in "${flags[@]}"; do
    read -r name bit archs <<<"$row"
    if [[ " $archs " == *" $arch "* ]] && (((0x$characteristics & bit) == 0)); then
      fault "$arch: DllCharacteristics 0x$characteristics lacks $name ($bit)"
    fi
  done
}

check_program x64 x86_64-w64-mingw32-objdump "${1:-$ROOT/build/windows-x64/tervalux.exe}"
check_program x86 i686-w64-mingw32-objdump "${2:-$ROOT/build/windows-x86/tervalux.exe}"

if [ "$failed" -ne 0 ]; then
  echo "program headers: FAILED" >&2
  exit 1
fi
echo "program headers: both programs import only ${allowed_imports[*]} and carry every flag"
