#!/usr/bin/env bash
# Installs what the builds and tests need, only when something is missing.
# Debian 12, as root.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }

for p in cmake make g++ libgtest-dev googletest \
         binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
         g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
         wine wine64 xvfb xauth x11-utils xdotool imagemagick \
         clang libclang-rt-14-dev; do
  have "$p" || need+=("$p")
done
# 32-bit Wine: the product is a 32-bit program.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need+=(wine32:i386)
elif ! have wine32:i386; then
  need+=(wine32:i386)
fi

if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${need[@]}" >/dev/null
fi
