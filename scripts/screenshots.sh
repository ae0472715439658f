#!/usr/bin/env bash
# Writes PNG screenshots of the Home page and every hardware page, filled
# from this machine, for review: scripts/screenshots.sh [OUTDIR] [BUILDDIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
build=${2:-build/screens}
if [ ! -x "$build/app/sysquill" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSYSQUILL_TESTS=OFF -DSYSQUILL_BENCH=OFF >/dev/null
  ninja -C "$build" sysquill
fi
mkdir -p "$out"
# Base Board, System Slots, IRQ, Bus, PNP Entities, Cache Memory, DMA Channels.
pages="48 33 36 46 30 45 42"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/app/sysquill" --screenshots "$out" $pages
echo "screenshots in $out"
