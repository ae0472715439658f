#!/usr/bin/env bash
# Installs what building, running and testing Sysquill needs on Debian 12.
set -euo pipefail
packages=(
  build-essential cmake ninja-build g++ clang clang-format libclang-rt-14-dev git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libsystemd-dev libkmod-dev libblkid-dev pkg-config librsvg2-bin
  openssh-server openssh-client
  libcups2-dev cups-daemon cups-client
  xvfb xauth lshw pciutils usbutils hyperfine python3
  systemd dbus util-linux
  libdrm-dev hwdata
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
