#!/usr/bin/env bash
# Checks a signed release against an unsigned rebuild of the same commit: removes the signature from
# the signed program with osslsigncode and compares what is left with the rebuilt program, byte for
# byte. Given two zips, it compares their other entries too. Where bytes cannot match, it names
# them and why, and compares everything else; any other difference fails.
#
# Usage: scripts/check-signed.sh <signed zip or program> <unsigned zip or program>
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 <signed zip or program> <unsigned zip or program>" >&2
  exit 2
fi
signed=$1 unsigned=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/tervalux-check-signed.XXXXXX")
trap 'rm -rf "$work"' EXIT

# program_of <zip or program> <copy>: the program itself, or the tervalux.exe inside a zip.
program_of() {
  if [[ $1 == *.zip ]]; then
    python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read("tervalux.exe"))' "$1" >"$2"
  else
    cp -- "$1" "$2"
  fi
}
program_of "$signed" "$work/signed.exe"
program_of "$unsigned" "$work/unsigned.exe"

if ! osslsigncode remove-signature -in "$work/signed.exe" -out "$work/stripped.exe" >"$work/remove.log" 2>&1; then
  cat "$work/remove.log" >&2
  echo "check-signed: no signature could be removed from $signed" >&2
  exit 1
fi

python3 - "$work/stripped.exe" "$work/unsigned.exe" "$signed" "$unsigned" <<'PY'
import sys, zipfile

stripped, built = (open(path, "rb").read() for path in sys.argv[1:3])
signed_name, unsigned_name = sys.argv[3:5]
notes, faults = [], []

# Signing pads the file with zeros to 8 bytes before the signature; removing the signature may
# leave that padding.
extra = len(stripped) - len(built)
if 0 < extra < 8 and len(stripped) % 8 == 0 and not any(stripped[len(built):]):
    notes.append(f"bytes {len(built)} to {len(stripped) - 1}, zeros at the end: signing pads the "
                 "program to 8 bytes before the signature, and removing it leaves them")
    stripped = stripped[:len(built)]

# The header's CheckSum sits at the same place in 32- and 64-bit programs. Removing the signature
# writes the sum of the file as it then is, where the build may have written another (or 0).
checksum = int.from_bytes(built[0x3C:0x40], "little") + 24 + 64
if len(stripped) == len(built) and stripped[checksum:checksum + 4] != built[checksum:checksum + 4]:
    notes.append(f"bytes {checksum} to {checksum + 3}, the header's CheckSum: removing the "
                 f"signature computes it afresh (0x{stripped[checksum:checksum + 4][::-1].hex()}), "
                 f"the build wrote 0x{built[checksum:checksum + 4][::-1].hex()}")
    stripped = stripped[:checksum] + built[checksum:checksum + 4] + stripped[checksum + 4:]

if stripped != built:
    differing = [i for i in range(min(len(stripped), len(built))) if stripped[i] != built[i]]
    faults.append(f"the program without its signature is not the rebuilt one: {len(stripped)} "
                  f"bytes against {len(built)}, {len(differing)} bytes differ"
                  + (f", the first at {differing[0]}" if differing else ""))

if signed_name.endswith(".zip") and unsigned_name.endswith(".zip"):
    with zipfile.ZipFile(signed_name) as one, zipfile.ZipFile(unsigned_name) as other:
        if sorted(one.namelist()) != sorted(other.namelist()):
            faults.append(f"the zips hold other entries: {one.namelist()} against {other.namelist()}")
        for name in sorted(set(one.namelist()) & set(other.namelist()) - {"tervalux.exe"}):
            if one.read(name) != other.read(name):
                faults.append(f"{name} differs between the zips")

for note in notes:
    print(f"check-signed: not compared: {note}")
for fault in faults:
    print(f"check-signed: {fault}", file=sys.stderr)
if faults:
    sys.exit(1)
print(f"check-signed: {signed_name} without its signature is {unsigned_name}"
      + (", apart from the bytes named above" if notes else ", byte for byte"))
PY
