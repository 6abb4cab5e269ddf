#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need (as root).
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev libgtest-dev googletest
      libasound2-dev libusb-1.0-0-dev clang unrtf poppler-utils)
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
