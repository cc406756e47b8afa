#!/usr/bin/env bash
# Installs what building, testing and releasing Tervalux needs on Debian 12, and only what is
# missing.
# Never installs wine32: 32-bit Linux binaries cannot run on these machines, and with it installed
# `wine` itself stops working.
set -euo pipefail

packages=(
  cmake g++ googletest python3 git
  clang clang-format clang-tidy cppcheck
  wine64 fonts-wine xvfb xauth
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  strip-nondeterminism osslsigncode openssl
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg -s "$package" >/dev/null 2>&1; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: everything needed is installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y "${missing[@]}"
