#!/usr/bin/env bash
# Installs what is missing, builds, and starts Sysquill.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSYSQUILL_TESTS=OFF -DSYSQUILL_BENCH=OFF >/dev/null
ninja -C build/release -j "$(nproc)"
if [ -x build/release/app/sysquill ]; then
  exec build/release/app/sysquill "$@"
fi
# Until the window is built, the main job is the query tool over the hardware classes.
for class in Win32_BIOS Win32_ComputerSystem Win32_BaseBoard Win32_SystemSlot Win32_IRQResource Win32_Bus \
             Win32_PnPEntity Win32_CacheMemory Win32_DMAChannel; do
  echo "== $class"
  build/release/app/sysquill-query "SELECT * FROM $class" || true
done
