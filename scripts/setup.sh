#!/bin/bash
# Installs what the build and the tests need on Debian 12 (as root); installs only what is missing.
set -eu
packages=(
  build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev googletest locales
  libcli11-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 xvfb xdotool imagemagick fonts-wqy-zenhei fonts-wine
  ghostscript poppler-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "setup: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    libxrender1 libxrandr2 libxcursor1 libxi6 libxcomposite1 libxinerama1 libxfixes3 >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  if [ "$(id -u)" = 0 ]; then
    localedef -i zh_CN -c -f UTF-8 zh_CN.UTF-8
  else
    echo "setup: the zh_CN.UTF-8 locale is missing (run as root to generate it)" >&2
    exit 1
  fi
fi
