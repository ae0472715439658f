#!/bin/bash
# Times `sysquill-query "SELECT * FROM Win32_Service"` against
# `systemctl list-units --all --type=service`, side by side, both run inside
# a sandboxed systemd (tests/support/systemd-sandbox.sh; needs root) so that
# both ask a real service manager over the system bus:
#   bench/services_vs_systemctl.sh build/release/app/sysquill-query [RUNS]
set -euo pipefail
query=$(realpath "$1")
runs=${2:-20}
here=$(dirname "$(realpath "$0")")
dir=$(mktemp -d /tmp/sysquill-bench-XXXXXX)
mkdir "$dir/units"
printf '[Unit]\nDescription=Sysquill sandbox\nDefaultDependencies=no\nWants=dbus.service\n' \
    > "$dir/units/sysquill-sandbox.target"
cleanup() { "$here/../tests/support/systemd-sandbox.sh" stop "$dir" || true; rm -rf "$dir"; }
"$here/../tests/support/systemd-sandbox.sh" start "$dir"
trap cleanup EXIT
pid=$(cat "$dir/pid")
inside() { nsenter -t "$pid" -m -p -- "$@"; }
# The sandbox's /tmp is a tmpfs of its own, so a build under /tmp is not there
# by its path: the program runs through a descriptor opened out here, which
# the sandbox's processes inherit.
exec {program}<"$query"
query_inside() { inside "/proc/self/fd/$program" "$@"; }
for _ in $(seq 100); do inside systemctl is-active -q dbus.service 2>/dev/null && break; sleep 0.1; done

# A run that fails is timed like one that works: make sure it works first.
if ! query_inside --format csv "SELECT Name FROM Win32_Service" >/dev/null; then
    echo "sysquill-query does not run inside the sandbox" >&2
    exit 1
fi

. "$here/timing.sh"
q=0; s=0
for _ in $(seq "$runs"); do
    q=$(( q + $(time_us query_inside "SELECT * FROM Win32_Service") ))
    s=$(( s + $(time_us inside systemctl list-units --all --type=service --no-pager) ))
done
units=$(query_inside --format csv "SELECT Name FROM Win32_Service" | tail -n +2 | wc -l)
lines=$(inside systemctl list-units --all --type=service --no-pager --plain --no-legend | wc -l)
echo "services: Win32_Service instances $units, systemctl units $lines, $runs runs each"
echo "sysquill-query SELECT * FROM Win32_Service: $(( q / runs )) us per run"
echo "systemctl list-units --all --type=service:  $(( s / runs )) us per run"
