# Sourced: builds one architecture's release zip the one way every release is built, so that
# scripts/release.sh and scripts/check-reproducible.sh make the same bytes.

TERVALUX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# tervalux_release_zip <commit> <x64|x86> <empty work folder> [core.autocrlf] [sign]
# Clones the commit into the work folder (so no file outside the commit, no build folder of the
# repository and no checkout setting reaches the release), builds the program and its zip there
# without the tests, and gives the zip's entries the commit's time, sorted names and plain
# permissions. Leaves the zip's path in TERVALUX_RELEASE_ZIP and the program's in
# TERVALUX_RELEASE_EXE; the build's output goes to build.log in the work folder.
# The clone converts no line ends (core.autocrlf=false), whatever the builder's git says;
# scripts/check-reproducible.sh gives another value to show that .gitattributes alone decides.
# With "sign", the program is signed (tervalux_sign) between the build and CPack, so that the zip
# holds the signed program and nothing else changes.
tervalux_release_zip() {
  local commit=$1 arch=$2 work=$3 autocrlf=${4:-false} sign=${5:-}
  local source=$work/tervalux log=$work/build.log
  local build=$source/build/windows-$arch
  local zips=()
  mkdir -p "$work"
  git clone --quiet --no-checkout --config "core.autocrlf=$autocrlf" "$TERVALUX_ROOT" "$source"
  git -C "$source" -c advice.detachedHead=false checkout --quiet --detach "$commit"
  # The zip's entries carry the commit's time, not the build's.
  local epoch
  epoch=$(git -C "$source" log -1 --format=%ct)
  # CPack runs on its own after the build, as the package target would, so that it packs the
  # program as it then is and builds nothing again.
  if ! (cd "$source" && export SOURCE_DATE_EPOCH=$epoch &&
        cmake --preset "windows-$arch" -DTERVALUX_TESTS=OFF &&
        cmake --build --preset "windows-$arch" &&
        { [ "$sign" != sign ] || tervalux_sign "$build/tervalux.exe" "$build/tervalux.exe"; } &&
        cd "$build" && cpack --config CPackConfig.cmake) >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "release: the windows-$arch build, signing or packing failed; its whole output is in $log" >&2
    return 1
  fi
  zips=("$build"/tervalux-*-windows-"$arch".zip)
  if [ ${#zips[@]} -ne 1 ] || [ ! -f "${zips[0]}" ]; then
    echo "release: expected one zip in $build" >&2
    return 1
  fi
  strip-nondeterminism --type zip --timestamp "$epoch" "${zips[0]}" >>"$log"
  TERVALUX_RELEASE_ZIP=${zips[0]}
  TERVALUX_RELEASE_EXE=$build/tervalux.exe
}

# tervalux_sign <program> <signed program>
# Signs a program with Authenticode, SHA-256, by osslsigncode (2.5 or later), with the PKCS#12 file
# TERVALUX_SIGN_PKCS12 and the password in the shell variable TERVALUX_SIGN_PASSWORD, and an
# RFC 3161 time stamp from TERVALUX_SIGN_TIMESTAMP_URL when that is set (none otherwise). The two
# paths may be the same file.
tervalux_sign() {
  local program=$1 signed=$2
  local stamp=()
  if [ -n "${TERVALUX_SIGN_TIMESTAMP_URL:-}" ]; then
    stamp=(-ts "$TERVALUX_SIGN_TIMESTAMP_URL")
  fi
  # printf is a shell builtin: the password goes down a pipe, never into a process's arguments, a
  # file or the log. osslsigncode drops the line end it reads. The chain with && stops at a failed
  # signing also where the caller's test turns errexit off.
  printf '%s\n' "$TERVALUX_SIGN_PASSWORD" |
    osslsigncode sign -pkcs12 "$TERVALUX_SIGN_PKCS12" -readpass /dev/stdin -h sha256 -n Tervalux \
      "${stamp[@]}" -in "$program" -out "$signed.signing" &&
    mv -f "$signed.signing" "$signed"
}
