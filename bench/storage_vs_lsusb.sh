#!/usr/bin/env bash
# sysquill-query over the seven storage, network, display and USB classes in
# one process, against `lsusb -v` alone, side by side on this machine
# (medians of several runs, in microseconds).
# usage: bench/storage_vs_lsusb.sh [path/to/sysquill-query]
set -euo pipefail
query=${1:-build/release/app/sysquill-query}
runs=${RUNS:-21}
classes=(Win32_LogicalDisk Win32_IDEController Win32_SCSIController Win32_NetworkProtocol Win32_IP4RouteTable
         Win32_VideoController Win32_USBHub)
args=()
for c in "${classes[@]}"; do args+=("SELECT * FROM $c"); done
command -v lsusb >/dev/null || { echo "lsusb is not installed" >&2; exit 1; }

. "$(dirname "$0")/timing.sh"

ours=(); theirs=()
for _ in $(seq "$runs"); do
  ours+=("$(time_us "$query" "${args[@]}")")
  theirs+=("$(time_us lsusb -v)")
done
q=$(printf '%s\n' "${ours[@]}" | median)
l=$(printf '%s\n' "${theirs[@]}" | median)
usb=$({ ls /sys/bus/usb/devices 2>/dev/null || true; } | wc -l)
echo "sysquill-query, seven classes: median ${q} us over ${runs} runs"
echo "lsusb -v:                      median ${l} us over ${runs} runs (${usb} entries in /sys/bus/usb/devices)"
awk -v q="$q" -v l="$l" 'BEGIN { exit !(q < l) }' && echo "sysquill-query is faster" || { echo "sysquill-query is NOT faster"; exit 1; }
