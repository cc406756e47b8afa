# Sourced: the quiet project-local Wine prefix every Windows test and the run command use.
TERVALUX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$TERVALUX_ROOT/build/wine-prefix}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
export LC_ALL=C.UTF-8

tervalux_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
  fi
}
