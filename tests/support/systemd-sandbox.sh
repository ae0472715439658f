#!/bin/bash
# Boots a real systemd as PID 1 of private namespaces for the service tests,
# so nothing it does reaches this machine:
#   systemd-sandbox.sh start DIR   units from DIR/units (in its /run/systemd/system,
#                                  with a target sysquill-sandbox.target); writes
#                                  systemd's PID (as this machine sees it) to DIR/pid
#   systemd-sandbox.sh stop DIR    stops it by that PID and removes its cgroups
# Inside the namespaces, before systemd starts: the mount namespace is made
# private, tmpfs covers /tmp, /var/tmp, /run, /var/log, /var/cache and
# /var/lib/systemd, /etc/systemd/system is a private copy (so enabling a unit
# writes there), /proc/sys and /sys are read-only (no kernel setting can be
# applied), systemd's set-up units are masked and it boots a target of the
# test's own that wants only dbus. Its cgroups live in a directory of their
# own, removed at stop.
set -euo pipefail
cmd=$1
dir=$(realpath "$2")
tag=sysquill-sandbox-$(basename "$dir")

masked=(
    systemd-remount-fs.service systemd-sysctl.service systemd-sysusers.service
    systemd-tmpfiles-setup.service systemd-tmpfiles-setup-dev.service systemd-tmpfiles-clean.timer
    systemd-modules-load.service systemd-update-utmp.service systemd-update-utmp-runlevel.service
    systemd-udevd.service systemd-udev-trigger.service systemd-udev-settle.service systemd-hwdb-update.service
    systemd-binfmt.service proc-sys-fs-binfmt_misc.automount proc-sys-fs-binfmt_misc.mount
    systemd-timesyncd.service systemd-pstore.service systemd-random-seed.service
    systemd-machine-id-commit.service systemd-firstboot.service systemd-repart.service
    systemd-pcrphase.service systemd-pcrphase-sysinit.service systemd-journal-catalog-update.service
    systemd-update-done.service systemd-journald.service systemd-journald.socket
    systemd-journald-dev-log.socket systemd-journal-flush.service kmod-static-nodes.service
    local-fs.target swap.target cryptsetup.target veritysetup.target integritysetup.target
    dev-hugepages.mount dev-mqueue.mount sys-kernel-config.mount sys-kernel-debug.mount
    sys-kernel-tracing.mount sys-fs-fuse-connections.mount
)

cgroup_dirs() {
    for h in /sys/fs/cgroup/*/ /sys/fs/cgroup/; do
        [ -e "$h/cgroup.procs" ] && [ -d "$h$tag" ] && echo "$h$tag"
    done
    return 0
}

case "$cmd" in
start)
    # The cgroup systemd takes over, in every hierarchy that accepts one.
    for h in /sys/fs/cgroup/*/ /sys/fs/cgroup/; do
        [ -e "$h/cgroup.procs" ] || continue
        mkdir -p "$h$tag" 2>/dev/null || continue
    done
    cat > "$dir/inner.sh" <<INNER
set -e
# Until the private /run is there, libmount keeps its lock file with the test's
# own files, not in this machine's /run/mount.
export LIBMOUNT_UTAB="$dir/utab"
mount --make-rprivate /
mount -t tmpfs -o mode=755 tmpfs /run
export LIBMOUNT_UTAB=/run/mount/utab
mkdir -p /run/systemd/system /run/sandbox-etc
cp -a /etc/systemd/system/. /run/sandbox-etc/
cp "$dir"/units/* /run/systemd/system/
mount --bind /run/sandbox-etc /etc/systemd/system
for u in ${masked[*]}; do ln -sf /dev/null /run/systemd/system/\$u; done
mount -t tmpfs -o mode=1777 tmpfs /tmp
mount -t tmpfs -o mode=1777 tmpfs /var/tmp
for d in /var/log /var/cache /var/lib/systemd; do mount -t tmpfs -o mode=755 tmpfs \$d; done
mount --bind /proc/sys /proc/sys
mount -o remount,bind,ro /proc/sys
mount -o remount,bind,ro /sys
exec env -i container=sysquill-test PATH=/usr/sbin:/usr/bin:/sbin:/bin /lib/systemd/systemd \
    --unit=sysquill-sandbox.target --show-status=0 --log-target=console --log-level=warning \
    --default-standard-output=null --default-standard-error=null
INNER
    # Enter our own cgroups, then the namespaces; systemd inherits both.
    cgroups=$(cgroup_dirs)
    (
        for c in $cgroups; do echo $BASHPID > "$c/cgroup.procs" 2>/dev/null || true; done
        exec unshare --fork --pid --mount --uts --net --ipc --mount-proc bash "$dir/inner.sh" \
            </dev/null >"$dir/log" 2>&1
    ) &
    outer=$!
    echo $outer > "$dir/unshare.pid"
    # systemd is unshare's child once that child has replaced the set-up shell.
    for _ in $(seq 200); do
        if [ "$(cat /proc/$outer/comm 2>/dev/null)" = unshare ]; then
            child=$(cat /proc/$outer/task/$outer/children 2>/dev/null || true)
            if [ -n "$child" ] && [ "$(cat /proc/${child%% *}/comm 2>/dev/null)" = systemd ]; then
                echo ${child%% *} > "$dir/pid"
                exit 0
            fi
        fi
        sleep 0.05
    done
    echo "systemd did not start" >&2
    kill -KILL $outer 2>/dev/null || true
    exit 1
    ;;
stop)
    pid=$(cat "$dir/pid")
    # systemd of a container exits on SIGRTMIN+3 (halt); killing PID 1 of the
    # namespace ends every process in it.
    kill -s RTMIN+3 "$pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -KILL "$pid" 2>/dev/null || true
    outer=$(cat "$dir/unshare.pid")
    for _ in $(seq 100); do kill -0 "$outer" 2>/dev/null || break; sleep 0.05; done
    # Deepest first.
    for c in $(cgroup_dirs); do find "$c" -depth -type d -exec rmdir {} + 2>/dev/null || true; done
    [ -z "$(cgroup_dirs)" ]
    ;;
esac
