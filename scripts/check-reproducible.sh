#!/usr/bin/env bash
# Builds the x64 program and its release zip twice from HEAD as scripts/release.sh does, in two
# temporary folders of different path lengths and at different times, and compares the bytes; then
# checks that the zip's texts have Windows line ends and that LEIA-ME.txt is UTF-8 with a byte order
# mark (what Notepad needs for its accents). Prints the sums; exits non-zero on any difference.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

source scripts/release-zip.sh

commit=$(git rev-parse HEAD)
work=$(mktemp -d "${TMPDIR:-/tmp}/tervalux-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

tervalux_release_zip "$commit" x64 "$work/a"
first_exe=$TERVALUX_RELEASE_EXE first_zip=$TERVALUX_RELEASE_ZIP
# Zip times step by two seconds: the second build must start at least that much later.
sleep 3
tervalux_release_zip "$commit" x64 "$work/second-build-with-a-longer-path"
second_exe=$TERVALUX_RELEASE_EXE second_zip=$TERVALUX_RELEASE_ZIP

sha256sum "$first_exe" "$second_exe" "$first_zip" "$second_zip" | sed "s|$work/||"

failed=0
for pair in "$first_exe $second_exe" "$first_zip $second_zip"; do
  read -r one other <<<"$pair"
  if ! cmp -s "$one" "$other"; then
    echo "reproducible: ${one##*/} differs between the two builds (offset, octal bytes):" >&2
    cmp -l "$one" "$other" | head -n 20 >&2 || true
    failed=1
  fi
done

python3 - "$first_zip" <<'PY' || failed=1
import sys, zipfile

zip_path = sys.argv[1]
with zipfile.ZipFile(zip_path) as archive:
    problems = []
    for name in ("LEIA-ME.txt", "README.md", "LICENSE"):
        data = archive.read(name)
        if data.count(b"\r\n") != data.count(b"\n") or data.count(b"\r\n") != data.count(b"\r"):
            problems.append(f"{name} has line ends other than CRLF")
    guide = archive.read("LEIA-ME.txt")
    if not guide.startswith(b"\xef\xbb\xbf"):
        problems.append("LEIA-ME.txt has no UTF-8 byte order mark")
    try:
        guide.decode("utf-8")
    except UnicodeDecodeError as error:
        problems.append(f"LEIA-ME.txt is not UTF-8: {error}")
for problem in problems:
    print(f"reproducible: {problem}", file=sys.stderr)
sys.exit(1 if problems else 0)
PY

if [ "$failed" -ne 0 ]; then
  echo "reproducible: FAILED" >&2
  exit 1
fi
echo "reproducible: the two builds of $commit are the same to the byte"
