#!/usr/bin/env bash
# Builds the release of the commit checked out (HEAD): the x64 and x86 zips, each from a fresh clone
# in a temporary folder, as scripts/release-zip.sh says, then puts both and their SHA256SUMS in
# build/release/ and prints the sums. The repository's own build folders (and the Wine prefix) stay
# as they are; changes not committed are not in the release.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

bash scripts/setup.sh
source scripts/release-zip.sh

commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release: the work tree has changes not committed; the release is of $commit without them" >&2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tervalux-release.XXXXXX")
trap 'rm -rf "$work"' EXIT

out=$ROOT/build/release
rm -rf "$out"
mkdir -p "$out"
for arch in x64 x86; do
  started=$SECONDS
  tervalux_release_zip "$commit" "$arch" "$work/$arch"
  cp "$TERVALUX_RELEASE_ZIP" "$out/"
  echo "release: windows-$arch built in $((SECONDS - started)) s"
done

(cd "$out" && sha256sum -- *.zip >SHA256SUMS)
echo "release: $commit in $out"
cat "$out/SHA256SUMS"
