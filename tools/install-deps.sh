#!/usr/bin/env bash
# Installs what Kestrava needs to build, run and test on Debian 12.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev libx11-dev libxtst-dev
  libcurl4-openssl-dev zlib1g-dev libsimdjson-dev
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core fonts-liberation
  xvfb xauth x11-apps libgl1-mesa-dri
  qt6-wayland weston
  dbus-daemon dbus-bin
  clang-14 libclang-rt-14-dev
  dpkg-dev file desktop-file-utils appstream librsvg2-bin
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
