#!/usr/bin/env bash
# Builds the release of the commit checked out (HEAD): the x64 and x86 zips, each from a fresh clone
# in a temporary folder, as scripts/release-zip.sh says, then puts both and their SHA256SUMS in
# build/release/ and prints the sums. The repository's own build folders (and the Wine prefix) stay
# as they are; changes not committed are not in the release.
#
# With --sign, both programs are signed with Authenticode (SHA-256) by the PKCS#12 certificate given,
# before the zips are made, and time-stamped (RFC 3161) when --timestamp gives a time-stamp server.
# The password comes from TERVALUX_SIGN_PASSWORD, or is asked for on the terminal.
#
# Usage: scripts/release.sh [--sign <certificate.p12> [--timestamp <url>]]
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage="usage: $0 [--sign <certificate.p12> [--timestamp <url>]]"

TERVALUX_SIGN_PKCS12='' TERVALUX_SIGN_TIMESTAMP_URL=''
while [ $# -gt 0 ]; do
  case $1 in
    --sign) TERVALUX_SIGN_PKCS12=$(realpath -- "${2:?$usage}") && shift 2 ;;
    --timestamp) TERVALUX_SIGN_TIMESTAMP_URL=${2:?$usage} && shift 2 ;;
    *) echo "$usage" >&2 && exit 2 ;;
  esac
done
if [ -n "$TERVALUX_SIGN_TIMESTAMP_URL" ] && [ -z "$TERVALUX_SIGN_PKCS12" ]; then
  echo "$usage" >&2
  exit 2
fi
if [ -n "$TERVALUX_SIGN_PKCS12" ]; then
  if [ ! -r "$TERVALUX_SIGN_PKCS12" ]; then
    echo "release: cannot read the certificate $TERVALUX_SIGN_PKCS12" >&2
    exit 1
  fi
  # The password stays a variable of this shell: not exported to the build's processes, never
  # echoed.
  if [ -z "${TERVALUX_SIGN_PASSWORD+set}" ]; then
    read -rsp "Password of $TERVALUX_SIGN_PKCS12: " TERVALUX_SIGN_PASSWORD </dev/tty
    echo >&2
  fi
  export -n TERVALUX_SIGN_PASSWORD
fi

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
  tervalux_release_zip "$commit" "$arch" "$work/$arch" false "${TERVALUX_SIGN_PKCS12:+sign}"
  cp "$TERVALUX_RELEASE_ZIP" "$out/"
  echo "release: windows-$arch built in $((SECONDS - started)) s"
done

(cd "$out" && sha256sum -- *.zip >SHA256SUMS)
if [ -n "$TERVALUX_SIGN_PKCS12" ]; then
  echo "release: both programs signed with $TERVALUX_SIGN_PKCS12${TERVALUX_SIGN_TIMESTAMP_URL:+, time-stamped by $TERVALUX_SIGN_TIMESTAMP_URL}"
fi
echo "release: $commit in $out"
cat "$out/SHA256SUMS"
