#!/usr/bin/env bash
# Runs one Windows program under Wine like wine-fresh-exec.sh, with the drive N: listed as a
# network drive (a link to an empty folder of its own) while it runs. Wine reads a drive's link and
# kind only when its server starts, so both are set before the program's server starts and taken
# away again after it has ended, whatever the program's outcome. For tests that run alone
# (RUN_SERIAL); any other test running in the prefix would be ended too.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
tervalux_wine_prefix
wineserver -k >/dev/null 2>&1 || true
wineserver -w

drives='HKLM\Software\Wine\Drives'
link="$WINEPREFIX/dosdevices/n:"
if [ -e "$link" ] || [ -L "$link" ] ||
  "${TERVALUX_WINE[@]}" reg query "$drives" /v n: >/dev/null 2>&1; then
  echo "wine-network-exec: the prefix already has a drive n:; it is left as it is" >&2
  exit 1
fi

share=$(mktemp -d)
restore() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  "${TERVALUX_WINE[@]}" reg delete "$drives" /v n: /f >/dev/null 2>&1
  rm -f "$link"
  rm -rf "$share"
  # The registry is saved when the server ends, and the next one starts without the drive.
  wineserver -w
}
trap restore EXIT
trap 'exit 130' INT TERM

"${TERVALUX_WINE[@]}" reg add "$drives" /v n: /t REG_SZ /d network /f >/dev/null 2>&1
ln -s "$share" "$link"
wineserver -w
"${TERVALUX_WINE[@]}" "$@"
