#!/usr/bin/env bash
# sysquill-query over Win32_DiskDrive and Win32_DiskPartition in one process,
# against `lsblk -O --json`, side by side on this machine (medians of
# several runs, in microseconds).
# usage: bench/disks_vs_lsblk.sh [path/to/sysquill-query]
set -euo pipefail
query=${1:-build/release/app/sysquill-query}
runs=${RUNS:-21}
command -v lsblk >/dev/null || { echo "lsblk is not installed" >&2; exit 1; }

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
time_us() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(( (end - start) / 1000 ))
}

ours=(); theirs=()
for _ in $(seq "$runs"); do
  ours+=("$(time_us "$query" "SELECT * FROM Win32_DiskDrive" "SELECT * FROM Win32_DiskPartition")")
  theirs+=("$(time_us lsblk -O --json)")
done
q=$(printf '%s\n' "${ours[@]}" | median)
l=$(printf '%s\n' "${theirs[@]}" | median)
echo "sysquill-query, disks and partitions: median ${q} us over ${runs} runs"
echo "lsblk -O --json:                      median ${l} us over ${runs} runs ($(ls /sys/block | wc -l) entries in /sys/block)"
awk -v q="$q" -v l="$l" 'BEGIN { exit !(q < l) }' && echo "sysquill-query is faster" || { echo "sysquill-query is NOT faster"; exit 1; }
