#!/usr/bin/env bash
# Installs everything the build, the tests and the Wine runs need, from Debian's mirror.
# Safe to run again: it only installs what is missing. Needs root (or sudo).
set -euo pipefail

packages=(
  cmake make ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick
  fonts-wqy-microhei fonts-wine locales
  python3  # draws the program's pictures at build time (scripts/make-pictures.py)
  optipng  # shrinks the help pages' screenshots losslessly (scripts/screenshots.sh)
  nsis     # makensis builds the Windows installer (packaging/quillet.nsi)
  tidy     # HTML Tidy: the help pages' check reads every page with it (scripts/check-help-pages.py)
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine is run as a Chinese Windows: the host needs the zh_CN.UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  if ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
