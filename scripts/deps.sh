#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need (as root).
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev libgtest-dev googletest
      libasound2-dev libusb-1.0-0-dev clang unrtf poppler-utils libreoffice-writer-nogui)
missing=()
for p in "${pkgs[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
# A second locale for the tests that check dates and numbers do not follow the C library's
# locale (German: decimal comma, German month names).
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  dpkg -s locales >/dev/null 2>&1 || { $SUDO apt-get update -qq; DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq locales; }
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: de_DE.UTF-8 could not be generated" >&2
fi
