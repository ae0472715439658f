#!/usr/bin/env bash
# Installs what Sysquill needs on Debian 12:
#   scripts/deps.sh run    building it and running it (scripts/run.sh)
#   scripts/deps.sh test   that, and what the tests, packaging checks and fuzzing
#                          need besides: servers the tests start privately (sshd,
#                          cupsd, systemd), clang, the tools the benchmarks and
#                          checks compare against (scripts/test.sh)
set -euo pipefail
what=${1:-}
run=(
  build-essential cmake ninja-build g++ pkg-config
  qt6-base-dev libsystemd-dev libkmod-dev libblkid-dev libcups2-dev libdrm-dev librsvg2-bin
  # What running reads or starts: the PCI, USB and monitor maker names; ssh for remote computers.
  hwdata openssh-client
)
test=(
  "${run[@]}"
  ccache git clang clang-format libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  openssh-server cups-daemon cups-client systemd dbus util-linux
  xvfb xauth lshw pciutils usbutils hyperfine python3
)
case $what in
  run) packages=("${run[@]}") ;;
  test) packages=("${test[@]}") ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
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
