#!/usr/bin/env bash
# sysquill-query answering SELECT * FROM Win32_Processor and
# SELECT * FROM Win32_OperatingSystem in one process (the LoadPercentage
# sampling of /proc/stat included), against `lscpu` alone, side by side on
# this machine: the runs alternate, medians in microseconds.
# usage: bench/query_vs_lscpu.sh [path/to/sysquill-query]
set -euo pipefail
query=${1:-build/release/app/sysquill-query}
runs=${RUNS:-31}
command -v lscpu >/dev/null || { echo "lscpu is not installed" >&2; exit 1; }

. "$(dirname "$0")/timing.sh"

ours=(); theirs=()
for _ in $(seq "$runs"); do
  ours+=("$(time_us "$query" "SELECT * FROM Win32_Processor" "SELECT * FROM Win32_OperatingSystem")")
  theirs+=("$(time_us lscpu)")
done
q=$(printf '%s\n' "${ours[@]}" | median)
l=$(printf '%s\n' "${theirs[@]}" | median)
echo "sysquill-query, Win32_Processor + Win32_OperatingSystem: median ${q} us over ${runs} runs"
echo "lscpu:                                                   median ${l} us over ${runs} runs"
awk -v q="$q" -v l="$l" 'BEGIN { exit !(q < l) }' && echo "sysquill-query is faster" || { echo "sysquill-query is NOT faster"; exit 1; }
