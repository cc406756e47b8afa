#!/usr/bin/env bash
# Runs one Windows program under Wine in the project prefix (CMake's cross-compiling emulator).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
tervalux_wine_prefix
exec "${TERVALUX_WINE[@]}" "$@"
