#!/usr/bin/env bash
# "SELECT * FROM Win32_InstalledWin32Program" against `dpkg-query -W` over the
# same 3,000-package status file, side by side (medians of several runs).
# The status file is this machine's own stanzas, repeated under new names
# until there are 3,000 installed packages, in a scratch system root.
# usage: bench/programs_vs_dpkg.sh [path/to/sysquill-query]
set -euo pipefail
query=${1:-build/release/app/sysquill-query}
runs=${RUNS:-15}
packages=${PACKAGES:-3000}
command -v dpkg-query >/dev/null || { echo "dpkg-query is not installed" >&2; exit 1; }
[ -r /var/lib/dpkg/status ] || { echo "no /var/lib/dpkg/status to build from" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
awk -v want="$packages" '
  BEGIN { RS = ""; ORS = "\n\n" }
  /\nStatus: install ok installed/ { stanzas[n++] = $0 }
  END {
    for (i = 0; i < want; i++) {
      s = stanzas[i % n]
      round = int(i / n)
      if (round > 0) sub(/^Package: [^\n]*/, "&-copy" round, s)
      print s
    }
  }' /var/lib/dpkg/status > "$root/var/lib/dpkg/status"

. "$(dirname "$0")/timing.sh"

ours=(); theirs=()
for _ in $(seq "$runs"); do
  ours+=("$(time_ms "$query" --root "$root" "SELECT * FROM Win32_InstalledWin32Program")")
  theirs+=("$(time_ms dpkg-query --admindir="$root/var/lib/dpkg" -W)")
done
counted=$("$query" --root "$root" --format csv "SELECT ProgramId FROM Win32_InstalledWin32Program" | tail -n +2 | wc -l)
listed=$(dpkg-query --admindir="$root/var/lib/dpkg" -W | wc -l)
q=$(printf '%s\n' "${ours[@]}" | median)
d=$(printf '%s\n' "${theirs[@]}" | median)
echo "status file: $(wc -c < "$root/var/lib/dpkg/status") bytes; programs $counted, dpkg-query lines $listed"
echo "sysquill-query Win32_InstalledWin32Program: median ${q} ms over ${runs} runs"
echo "dpkg-query -W:                              median ${d} ms over ${runs} runs"
