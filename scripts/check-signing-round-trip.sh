#!/usr/bin/env bash
# Signs copies of both built programs (build/windows-x64/tervalux.exe and
# build/windows-x86/tervalux.exe) as a signed release does, with a throwaway certificate made here
# with openssl; verifies each signature against that certificate and its SHA-256 digest; then has
# scripts/check-signed.sh remove it and compare the rest with the program as built. The built
# programs stay as they are. Exits non-zero on any fault.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/scripts/release-zip.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/tervalux-signing.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A self-signed code-signing certificate, valid for a day, in a PKCS#12 file with a password, as a
# maintainer's would be. Its key never leaves the work folder.
TERVALUX_SIGN_PASSWORD="throwaway $RANDOM$RANDOM"
TERVALUX_SIGN_PKCS12=$work/throwaway.p12
if ! openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Tervalux throwaway" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" \
  2>"$work/openssl.log"; then
  cat "$work/openssl.log" >&2
  exit 1
fi
printf '%s\n' "$TERVALUX_SIGN_PASSWORD" |
  openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$TERVALUX_SIGN_PKCS12" \
    -passout stdin

echo "signing: $(osslsigncode --version | sed -n "1s/,.*//p")"
for arch in x64 x86; do
  built=$ROOT/build/windows-$arch/tervalux.exe
  signed=$work/tervalux-$arch.exe
  tervalux_sign "$built" "$signed" >/dev/null
  # verify fails unless the signature chains to the throwaway certificate and the digest holds.
  if ! osslsigncode verify -CAfile "$work/cert.pem" -in "$signed" >"$work/verify-$arch.log" 2>&1 ||
    ! grep -q '^Message digest algorithm *: SHA256' "$work/verify-$arch.log"; then
    cat "$work/verify-$arch.log" >&2
    echo "signing: the $arch signature is not a SHA-256 one that verifies against the certificate" >&2
    exit 1
  fi
  echo "signing: $arch signature verified against the throwaway certificate (SHA-256)"
  bash "$ROOT/scripts/check-signed.sh" "$signed" "$built"
done
