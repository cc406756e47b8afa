#!/usr/bin/env bash
# Runs one Windows program under Wine like wine-exec.sh, but first ends the prefix's Wine server
# and with it every Windows process an earlier test left (its program, a registrar, a message box)
# and the desktop's foreground and focus: the program starts from the state a fresh server gives.
# For tests that run alone (RUN_SERIAL); any other test running in the prefix would be ended too.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
tervalux_wine_prefix
wineserver -k >/dev/null 2>&1 || true
wineserver -w
exec "${TERVALUX_WINE[@]}" "$@"
