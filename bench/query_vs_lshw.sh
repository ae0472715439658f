#!/usr/bin/env bash
# sysquill-query over the nine hardware classes in one process, against
# `lshw -json`, side by side on this machine (medians of several runs).
# usage: bench/query_vs_lshw.sh [path/to/sysquill-query]
set -euo pipefail
query=${1:-build/release/app/sysquill-query}
runs=${RUNS:-15}
classes=(Win32_BIOS Win32_ComputerSystem Win32_BaseBoard Win32_SystemSlot Win32_IRQResource Win32_Bus
         Win32_PnPEntity Win32_CacheMemory Win32_DMAChannel)
args=()
for c in "${classes[@]}"; do args+=("SELECT * FROM $c"); done
command -v lshw >/dev/null || { echo "lshw is not installed" >&2; exit 1; }

. "$(dirname "$0")/timing.sh"

ours=(); theirs=()
for _ in $(seq "$runs"); do
  ours+=("$(time_ms "$query" "${args[@]}")")
  theirs+=("$(time_ms lshw -json)")
done
q=$(printf '%s\n' "${ours[@]}" | median)
l=$(printf '%s\n' "${theirs[@]}" | median)
echo "sysquill-query, nine classes: median ${q} ms over ${runs} runs"
echo "lshw -json:                   median ${l} ms over ${runs} runs"
awk -v q="$q" -v l="$l" 'BEGIN { exit !(q < l) }' && echo "sysquill-query is faster" || { echo "sysquill-query is NOT faster"; exit 1; }
