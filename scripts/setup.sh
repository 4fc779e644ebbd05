#!/usr/bin/env bash
# Installs every Debian package Tolvar needs to build, test and run.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libsdl1.2-compat-dev libpng-dev
  cc65
  xvfb xdotool imagemagick openbox x11-utils
  fonts-dejavu-core
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
