#!/usr/bin/env bash
# Builds the x64 and x86 programs and their release zips twice from HEAD as scripts/release.sh does,
# and compares the bytes. The second build differs from the first in all a release must not depend
# on: a temporary folder with a longer path, a later time, git converting line ends on checkout
# (core.autocrlf=true), another umask and another time zone. Then checks that the zips' texts have
# Windows line ends and that LEIA-ME.txt is UTF-8 with a byte order mark (what Notepad needs for its
# accents). Prints the sums; exits non-zero on any difference.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

source scripts/release-zip.sh

commit=$(git rev-parse HEAD)
work=$(mktemp -d "${TMPDIR:-/tmp}/tervalux-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One row per build: its folder, git's core.autocrlf for its clone, its umask and its time zone
# (POSIX form, so that no time zone data is needed: "KIR-14" is UTC+14, the zone farthest from
# UTC, a day ahead of it for most of the day).
builds=(
  "a                                false 0022 UTC0"
  "second-build-with-a-longer-path true  0077 KIR-14"
)

# build_release <row> <arch>: builds under the row's settings, in a subshell so that they end with
# it; leaves the program's path in built_exe and the zip's in built_zip.
build_release() {
  local folder autocrlf mask zone
  read -r folder autocrlf mask zone <<<"$1"
  local into=$work/$folder/$2
  (
    umask "$mask"
    export TZ=$zone
    tervalux_release_zip "$commit" "$2" "$into" "$autocrlf"
    echo "$TERVALUX_RELEASE_EXE $TERVALUX_RELEASE_ZIP" >"$into.paths"
  )
  read -r built_exe built_zip <"$into.paths"
}

failed=0
first_zips=()
for arch in x64 x86; do
  build_release "${builds[0]}" "$arch"
  first_exe=$built_exe first_zip=$built_zip
  # Zip times step by two seconds: the second build must start at least that much later.
  sleep 3
  build_release "${builds[1]}" "$arch"
  second_exe=$built_exe second_zip=$built_zip
  first_zips+=("$first_zip")

  sha256sum "$first_exe" "$second_exe" "$first_zip" "$second_zip" | sed "s|$work/||"
  for pair in "$first_exe $second_exe" "$first_zip $second_zip"; do
    read -r one other <<<"$pair"
    if ! cmp -s "$one" "$other"; then
      echo "reproducible: $arch ${one##*/} differs between the two builds (offset, octal bytes):" >&2
      cmp -l "$one" "$other" | head -n 20 >&2 || true
      failed=1
    fi
  done
done

python3 - "${first_zips[@]}" <<'PY' || failed=1
import sys, zipfile

problems = []
for zip_path in sys.argv[1:]:
    zip_name = zip_path.rsplit("/", 1)[-1]
    with zipfile.ZipFile(zip_path) as archive:
        for name in ("LEIA-ME.txt", "README.md", "LICENSE"):
            data = archive.read(name)
            if data.count(b"\r\n") != data.count(b"\n") or data.count(b"\r\n") != data.count(b"\r"):
                problems.append(f"{zip_name}: {name} has line ends other than CRLF")
        guide = archive.read("LEIA-ME.txt")
    if not guide.startswith(b"\xef\xbb\xbf"):
        problems.append(f"{zip_name}: LEIA-ME.txt has no UTF-8 byte order mark")
    try:
        guide.decode("utf-8")
    except UnicodeDecodeError as error:
        problems.append(f"{zip_name}: LEIA-ME.txt is not UTF-8: {error}")
for problem in problems:
    print(f"reproducible: {problem}", file=sys.stderr)
sys.exit(1 if problems else 0)
PY

if [ "$failed" -ne 0 ]; then
  echo "reproducible: FAILED" >&2
  exit 1
fi
echo "reproducible: the two builds of $commit are the same to the byte"
