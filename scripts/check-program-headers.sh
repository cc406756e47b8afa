#!/usr/bin/env bash
# Reads the headers of both built programs (build/windows-x64/tervalux.exe and
# build/windows-x86/tervalux.exe, or the two given, x64 first) with the mingw-w64 objdump and fails
# when one imports a DLL outside the allowed five, lacks a flag the loader must see, imports a
# function that the oldest Windows it must start on lacks, or names a newer subsystem or system
# version than that Windows. Windows' loader refuses such a program before its first line runs, so
# no test under a newer Wine would see it.
#
# The functions come from scripts/program-imports.txt: every function either program imports by
# name, per DLL, with the oldest Windows that exports it. An import not in that list, or listed
# with a Windows newer than the program's floor (x86: XP SP3; x64: XP x64 / Server 2003 SP1),
# fails; a listed function that neither program imports is a note, so the list can be trimmed.
# Run after both Windows builds. Prints each program's imports and flags; exits non-zero on any
# fault.
#
# Usage: scripts/check-program-headers.sh [x64 program] [x86 program]
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
IMPORT_LIST=$ROOT/scripts/program-imports.txt

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

# The Windows versions the list may name: the version, its release month, its name. A system has
# what an older one brought only when it is of the same line or a later one and came out no
# earlier: Server 2003 SP1 (5.2sp1) has what XP SP2 brought, but not what XP SP3 brought in 2008.
windows_versions=(
  "4.0    1996-07 NT 4.0"
  "5.0    2000-02 Windows 2000"
  "5.1    2001-10 Windows XP"
  "5.1sp1 2002-09 Windows XP SP1"
  "5.2    2003-04 Windows Server 2003"
  "5.1sp2 2004-08 Windows XP SP2"
  "5.2sp1 2005-03 Windows Server 2003 SP1 / XP x64"
  "6.0    2007-01 Windows Vista"
  "5.2sp2 2007-03 Windows Server 2003 SP2"
  "5.1sp3 2008-04 Windows XP SP3"
  "6.1    2009-10 Windows 7"
  "6.2    2012-10 Windows 8"
  "6.3    2013-10 Windows 8.1"
  "10.0   2015-07 Windows 10"
)
# The oldest Windows each program must start on.
declare -A floor=([x64]=5.2sp1 [x86]=5.1sp3)

declare -A released=() version_name=()
for row in "${windows_versions[@]}"; do
  read -r version month name <<<"$row"
  released[$version]=$month
  version_name[$version]=$name
done

failed=0
fault() {
  echo "program headers: $*" >&2
  failed=1
}

# version_line <version>: the line as a number to compare, 5.1sp3 -> 501
version_line() {
  local line=${1%%sp*}
  echo $((${line%%.*} * 100 + ${line#*.}))
}

# has_version <floor> <version>: whether the floor system exports what the version brought.
has_version() {
  local floor_version=$1 version=$2
  (($(version_line "$version") <= $(version_line "$floor_version"))) &&
    [[ ! ${released[$version]} > ${released[$floor_version]} ]]
}

# The list: "DLL function since programs", a comment after #. Keys are "dll function", the DLL in
# lower case.
declare -A listed_dll=() listed_since=() listed_for=()
if [ ! -f "$IMPORT_LIST" ]; then
  fault "no import list at $IMPORT_LIST"
else
  while read -r dll function since programs rest; do
    if [ -z "$dll" ] || [[ $dll == \#* ]]; then continue; fi
    key="${dll,,} $function"
    if [ -z "$programs" ] || [[ -n $rest && $rest != \#* ]]; then
      fault "program-imports.txt: cannot read the row of $dll $function"
    elif [ -z "${released[$since]+set}" ]; then
      fault "program-imports.txt: $dll $function: unknown Windows version $since"
    elif [[ " both x64 x86 " != *" $programs "* ]]; then
      fault "program-imports.txt: $dll $function: programs must be both, x64 or x86, not $programs"
    elif [ -n "${listed_since[$key]+set}" ]; then
      fault "program-imports.txt: $dll $function is listed twice"
    else
      listed_dll[$key]=$dll
      listed_since[$key]=$since
      listed_for[$key]=$programs
    fi
  done <"$IMPORT_LIST"
fi

declare -A imported_by=() # "dll function" -> the programs that import it
read_programs=()          # the programs whose imports were read
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

  # Each DLL's block lists one import a line after its "vma:" heading, up to a blank line: the
  # thunk, the hint and the name; an import by ordinal has "<none>" for a name and its ordinal
  # in the thunk's low 16 bits, and is named "ordinal:N" (decimal) here and in the list.
  read_programs+=("$arch")
  local functions=() function key since count=0
  mapfile -t functions < <(awk '
    /^[[:space:]]*DLL Name: / { dll = $3; next }
    /^[[:space:]]*vma:[[:space:]]+Hint\/Ord/ { inside = 1; next }
    /^[[:space:]]*$/ { inside = 0; next }
    inside && NF >= 3 { print dll, $1, $3 }
  ' <<<"$header")
  local thunk
  for row in "${functions[@]}"; do
    read -r dll thunk function <<<"$row"
    if [ "$function" = "<none>" ]; then function="ordinal:$((16#${thunk: -4}))"; fi
    key="${dll,,} $function"
    count=$((count + 1))
    imported_by[$key]="${imported_by[$key]:-} $arch"
    since=${listed_since[$key]:-}
    if [ -z "$since" ]; then
      fault "$arch: imports $dll $function, which program-imports.txt does not list"
    elif [[ ${listed_for[$key]} != both && ${listed_for[$key]} != "$arch" ]]; then
      fault "$arch: imports $dll $function, which program-imports.txt lists for ${listed_for[$key]} only"
    elif ! has_version "${floor[$arch]}" "$since"; then
      fault "$arch: imports $dll $function, which needs $since (${version_name[$since]}), above this program's floor ${floor[$arch]} (${version_name[${floor[$arch]}]})"
    fi
  done
  echo "  functions: $count, each on the list and in ${floor[$arch]} (${version_name[${floor[$arch]}]})" \
    "unless reported"

  # The loader refuses an image that names a newer system than its own ("not a valid Win32
  # application" on XP); the linker's defaults for these fields have risen before.
  local field major minor
  for field in Subsystem OSystem; do
    major=$(sed -n "s/^Major${field}Version[[:space:]]*\([0-9]*\)$/\1/p" <<<"$header")
    minor=$(sed -n "s/^Minor${field}Version[[:space:]]*\([0-9]*\)$/\1/p" <<<"$header")
    if [ -z "$major" ] || [ -z "$minor" ]; then
      fault "$arch: no ${field}Version read from $program"
    elif ((major * 100 + minor > $(version_line "${floor[$arch]}"))); then
      fault "$arch: ${field}Version $major.$minor is above this program's floor ${floor[$arch]}"
    fi
    echo "  ${field}Version: $major.$minor"
  done

  local characteristics
  characteristics=$(sed -n 's/^DllCharacteristics[[:space:]]*\([0-9a-fA-F]*\)$/\1/p' <<<"$header")
  if [ -z "$characteristics" ]; then
    fault "$arch: no DllCharacteristics read from $program"
    return
  fi
  echo "  DllCharacteristics: 0x$characteristics"
  local name bit archs
  for row in "${flags[@]}"; do
    read -r name bit archs <<<"$row"
    if [[ " $archs " == *" $arch "* ]] && (((0x$characteristics & bit) == 0)); then
      fault "$arch: DllCharacteristics 0x$characteristics lacks $name ($bit)"
    fi
  done
}

check_program x64 x86_64-w64-mingw32-objdump "${1:-$ROOT/build/windows-x64/tervalux.exe}"
check_program x86 i686-w64-mingw32-objdump "${2:-$ROOT/build/windows-x86/tervalux.exe}"

# A row no program needs is only a note: the list stays right, just longer than it must be.
for key in "${!listed_since[@]}"; do
  wanted=${listed_for[$key]}
  if [ "$wanted" = both ]; then wanted="x64 x86"; fi
  for arch in $wanted; do
    if [[ " ${read_programs[*]} " == *" $arch "* && " ${imported_by[$key]:-} " != *" $arch "* ]]; then
      echo "program headers: note: program-imports.txt lists ${listed_dll[$key]} ${key#* } for $arch," \
        "which does not import it"
    fi
  done
done | sort

if [ "$failed" -ne 0 ]; then
  echo "program headers: FAILED" >&2
  exit 1
fi
echo "program headers: both programs import only ${allowed_imports[*]}, only functions their" \
  "oldest Windows has, name no newer system, and carry every flag"
