# Sourced: the quiet project-local Wine prefix that every Windows test and the run command use.
# WINEPREFIX may be set beforehand to use another prefix (it must then be a 64-bit one).
TERVALUX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$TERVALUX_ROOT/build/wine-prefix}
# No Mono or Gecko installers, no debug chatter.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# Without a UTF-8 locale Wine mangles non-ASCII file names and arguments.
export LC_ALL=C.UTF-8

# Makes the prefix if it is not there yet and waits until Wine has finished setting it up.
tervalux_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
  fi
}
