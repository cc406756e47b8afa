# Sourced: builds one architecture's release zip the one way every release is built, so that
# scripts/release.sh and scripts/check-reproducible.sh make the same bytes.

TERVALUX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# tervalux_release_zip <commit> <x64|x86> <empty work folder> [core.autocrlf]
# Clones the commit into the work folder (so no file outside the commit, no build folder of the
# repository and no checkout setting reaches the release), builds the program and its zip there
# without the tests, and gives the zip's entries the commit's time, sorted names and plain
# permissions. Leaves the zip's path in TERVALUX_RELEASE_ZIP and the program's in
# TERVALUX_RELEASE_EXE; the build's output goes to build.log in the work folder.
# The clone converts no line ends (core.autocrlf=false), whatever the builder's git says;
# scripts/check-reproducible.sh gives another value to show that .gitattributes alone decides.
tervalux_release_zip() {
  local commit=$1 arch=$2 work=$3 autocrlf=${4:-false}
  local source=$work/tervalux log=$work/build.log
  local zips=()
  mkdir -p "$work"
  git clone --quiet --no-checkout --config "core.autocrlf=$autocrlf" "$TERVALUX_ROOT" "$source"
  git -C "$source" -c advice.detachedHead=false checkout --quiet --detach "$commit"
  # The zip's entries carry the commit's time, not the build's.
  local epoch
  epoch=$(git -C "$source" log -1 --format=%ct)
  if ! (cd "$source" && export SOURCE_DATE_EPOCH=$epoch &&
        cmake --preset "windows-$arch" -DTERVALUX_TESTS=OFF &&
        cmake --build --preset "windows-$arch" --target package) >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "release: the windows-$arch build failed; its whole output is in $log" >&2
    return 1
  fi
  zips=("$source/build/windows-$arch"/tervalux-*-windows-"$arch".zip)
  if [ ${#zips[@]} -ne 1 ] || [ ! -f "${zips[0]}" ]; then
    echo "release: expected one zip in $source/build/windows-$arch" >&2
    return 1
  fi
  strip-nondeterminism --type zip --timestamp "$epoch" "${zips[0]}" >>"$log"
  TERVALUX_RELEASE_ZIP=${zips[0]}
  TERVALUX_RELEASE_EXE=$source/build/windows-$arch/tervalux.exe
}
