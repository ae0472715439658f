#!/bin/bash
# Captures the /proc, /sys and /etc files the provider reads into DEST/tree,
# so tests can replay this machine: sysquill-query --root DEST/tree "SELECT ...".
#
# Only small attribute files are copied (each read bounded in size and time,
# so attributes that block or fail are skipped); sysfs's relative symlinks
# are kept as links, and absolute links (which would point back at the live
# machine) are dropped. /etc/machine-id is never copied.
#
# usage: scripts/capture-fixture.sh DEST
set -u
if [ $# -ne 1 ]; then
    echo "usage: $0 DEST" >&2
    exit 2
fi
DEST=$1
TREE=$DEST/tree
MAX_BYTES=262144      # per file
TIMEOUT=2             # seconds per file
mkdir -p "$TREE"

# Attribute files worth keeping from a device directory.
ATTRS=" vendor device class subsystem_vendor subsystem_device revision modalias uevent irq
        idVendor idProduct bcdDevice manufacturer product serial busnum devnum speed version
        bDeviceClass bDeviceSubClass bDeviceProtocol bNumInterfaces bConfigurationValue
        bInterfaceNumber bInterfaceClass bInterfaceSubClass bInterfaceProtocol interface
        hid uid path adr description status name id type model rev features label
        power_state maxchild bNumConfigurations resource mem_info_vram_total removable partition
        rate resolution "
# Links worth keeping from a device directory.
LINKS=" driver subsystem firmware_node device physical_node physical_node1 physical_node2 physical_node3 "

declare -A DONE

copy_file() {   # SRC: a regular file, copied to the same path under the tree
    local src=$1 dst=$TREE$1
    [ -f "$src" ] && [ -r "$src" ] || return 0
    mkdir -p "$(dirname "$dst")"
    if ! timeout "$TIMEOUT" head -c "$MAX_BYTES" "$src" >"$dst" 2>/dev/null; then
        rm -f "$dst"
    fi
}

copy_link() {   # SRC: a symlink, recreated with the same relative target
    local src=$1 target
    target=$(readlink "$src") || return 0
    case $target in /*) return 0 ;; esac
    mkdir -p "$(dirname "$TREE$src")"
    ln -sfn "$target" "$TREE$src"
}

copy_device_dir() {   # DIR: a real sysfs device directory (not a link)
    local dir=$1 entry name
    case $dir in /sys/*) ;; *) return 0 ;; esac
    [ -n "${DONE[$dir]:-}" ] && return 0
    DONE[$dir]=1
    mkdir -p "$TREE$dir"
    for entry in "$dir"/*; do
        name=${entry##*/}
        if [ -L "$entry" ]; then
            case $LINKS in *" $name "*) copy_link "$entry" ;; esac
        elif [ -f "$entry" ]; then
            case $ATTRS in *" $name "*) copy_file "$entry" ;; esac
        fi
    done
}

copy_tree() {   # DIR: every readable regular file below, links kept
    local dir=$1 entry
    [ -d "$dir" ] || return 0
    while IFS= read -r -d '' entry; do
        if [ -L "$entry" ]; then copy_link "$entry"; elif [ -f "$entry" ]; then copy_file "$entry"; fi
    done < <(find "$dir" -mindepth 1 -maxdepth "${2:-8}" \( -type f -o -type l \) -print0 2>/dev/null)
}

# procfs and /etc
for f in /proc/interrupts /proc/dma /proc/meminfo /proc/cpuinfo /proc/version \
         /proc/stat /proc/swaps \
         /proc/sys/kernel/hostname /proc/sys/kernel/domainname /proc/sys/kernel/arch \
         /proc/sys/kernel/ostype /proc/sys/kernel/osrelease /proc/sys/kernel/version \
         /proc/sys/kernel/pid_max /proc/sys/kernel/threads-max \
         /etc/hostname /etc/os-release /etc/hosts /etc/localtime \
         /etc/default/locale /etc/locale.conf; do
    copy_file "$(readlink -f "$f" 2>/dev/null || echo "$f")"
    real=$(readlink -f "$f" 2>/dev/null || echo "$f")
    if [ "$real" != "$f" ] && [ -f "$TREE$real" ]; then
        mkdir -p "$(dirname "$TREE$f")"
        cp "$TREE$real" "$TREE$f"
    fi
done

# Processes: /proc/stat (boot time), the kernel release, and per process
# its stat, status, cmdline and io files, its exe link and the names of its
# open descriptors (as links to nothing: only their number is read). The
# processes are those named in $CAPTURE_PIDS, else all of them.
copy_file /proc/stat
copy_file /proc/sys/kernel/osrelease
copy_process() {   # PID
    local dir=/proc/$1 fd
    [ -d "$dir" ] || return 0
    mkdir -p "$TREE$dir"
    for f in stat status cmdline io; do copy_file "$dir/$f"; done
    if target=$(readlink "$dir/exe" 2>/dev/null); then ln -sfn "$target" "$TREE$dir/exe"; fi
    if [ -r "$dir/fd" ] && [ -x "$dir/fd" ]; then
        mkdir -p "$TREE$dir/fd"
        for fd in "$dir"/fd/*; do [ -L "$fd" ] && ln -sfn "fd-target" "$TREE$dir/fd/${fd##*/}"; done
    fi
}
for pid in ${CAPTURE_PIDS:-$(ls /proc | grep -E '^[0-9]+$')}; do copy_process "$pid"; done
for f in /etc/passwd /etc/group /etc/environment /etc/exports /etc/samba/smb.conf /etc/crontab; do
    copy_file "$f"
done
# The shadow file (root only) without its password hashes: what the class reads
# of a password is whether it is empty and whether '!' locks it.
if [ -r /etc/shadow ]; then
    mkdir -p "$TREE/etc"
    awk -F: 'BEGIN { OFS = ":" }
             { lock = substr($2, 1, 1) == "!" ? "!" : ""
               if ($2 != "" && $2 != "*" && $2 != "!" && $2 != "!*") $2 = lock "hash-not-captured"
               print }' /etc/shadow > "$TREE/etc/shadow"
fi
for d in /etc/environment.d /run/environment.d /usr/local/lib/environment.d /usr/lib/environment.d \
         /etc/xdg/autostart /etc/exports.d /etc/cron.d /var/spool/cron/crontabs; do
    copy_tree "$d" 1
done
# Each account's own autostart entries and environment.d files, where readable.
while IFS=: read -r _ _ _ _ _ home _; do
    case $home in /?*) copy_tree "$home/.config/autostart" 1; copy_tree "$home/.config/environment.d" 1 ;; esac
done < /etc/passwd
# Mounts, routes and protocols; the head that reads /proc/self is the
# process whose mount table is copied.
mkdir -p "$TREE/proc/self" "$TREE/proc/net" "$TREE/proc/sys/kernel"
timeout "$TIMEOUT" head -c "$MAX_BYTES" /proc/self/mountinfo >"$TREE/proc/self/mountinfo" 2>/dev/null
for f in /proc/net/route /proc/net/protocols /proc/sys/kernel/osrelease; do copy_file "$f"; done
for dev in /sys/class/net/*; do
    copy_link "$dev"
    real=$(readlink -f "$dev")
    for f in ifindex address addr_assign_type type flags operstate carrier speed mtu; do copy_file "$real/$f"; done
    [ -L "$real/device" ] && copy_link "$real/device"
done
# Power supplies (batteries, mains), input devices and the keyboard configuration.
for dev in /sys/class/power_supply/*; do
    copy_link "$dev"
    real=$(readlink -f "$dev")
    for f in type scope present online status capacity capacity_level technology health model_name manufacturer \
             voltage_min_design energy_full_design energy_full energy_now power_now charge_full_design \
             charge_full charge_now current_now time_to_empty_now time_to_full_now cycle_count; do
        copy_file "$real/$f"
    done
    [ -L "$real/device" ] && copy_link "$real/device"
done
copy_file /proc/bus/input/devices
copy_file /etc/default/keyboard
copy_file /etc/vconsole.conf
for dev in /sys/class/input/input*; do
    copy_link "$dev"
    real=$(readlink -f "$dev")
    copy_file "$real/name"
    [ -L "$real/device" ] && copy_link "$real/device"
done
for link in /dev/disk/by-label/* /dev/disk/by-uuid/*; do [ -L "$link" ] && copy_link "$link"; done
for link in /sys/dev/block/*; do
    [ -L "$link" ] || continue
    copy_link "$link"
    real=$(readlink -f "$link")
    copy_file "$real/removable"; copy_file "$real/partition"; copy_file "$real/../removable"
done
# Power, DRM connectors and frame buffers of display and USB devices; driver modules.
for dev in /sys/bus/pci/devices/* /sys/bus/usb/devices/*; do
    real=$(readlink -f "$dev")
    copy_file "$real/power/control"
    for c in "$real"/drm/card*/card*-*; do copy_file "$c/status"; copy_file "$c/enabled"; done
    for fb in "$real"/graphics/fb*; do copy_file "$fb/virtual_size"; copy_file "$fb/bits_per_pixel"; done
    if [ -L "$dev/driver" ]; then
        module=$(basename "$(readlink "$dev/driver")" | tr - _)
        copy_file "/sys/module/$module/version"; copy_file "/sys/module/$module/intree"
    fi
done

# Devices of every bus, the directories they point at, and their firmware twins.
for link in /sys/bus/*/devices/*; do
    [ -L "$link" ] || continue
    copy_link "$link"
    copy_device_dir "$(readlink -f "$link")"
done
for dir in "${!DONE[@]}"; do
    for name in firmware_node physical_node physical_node1 physical_node2 physical_node3; do
        [ -L "$dir/$name" ] && copy_device_dir "$(readlink -f "$dir/$name")"
    done
done
for bus in /sys/bus/*; do mkdir -p "$TREE$bus/devices"; done

# PCI buses and the bridges behind them.
for link in /sys/class/pci_bus/*; do
    [ -L "$link" ] || continue
    copy_link "$link"
    real=$(readlink -f "$link")
    copy_device_dir "$real"
    if [ -L "$real/device" ]; then
        dev=$(readlink -f "$real/device")
        copy_device_dir "$dev"
        [ -L "$dev/firmware_node" ] && copy_device_dir "$(readlink -f "$dev/firmware_node")"
    fi
done

# Interrupt descriptors, processors and caches, firmware tables.
copy_tree /sys/kernel/irq 2
for f in online possible present kernel_max; do copy_file "/sys/devices/system/cpu/$f"; done
for cpu in /sys/devices/system/cpu/cpu[0-9]*; do
    copy_file "$cpu/online"
    copy_tree "$cpu/topology" 1
    copy_tree "$cpu/cache" 2
    for f in cpuinfo_max_freq cpuinfo_min_freq scaling_cur_freq; do copy_file "$cpu/cpufreq/$f"; done
done
# NUMA nodes and their CPUs, so lscpu --sysroot reads the tree whole.
for f in online possible has_cpu; do copy_file "/sys/devices/system/node/$f"; done
for node in /sys/devices/system/node/node[0-9]*; do
    for f in cpumap cpulist; do copy_file "$node/$f"; done
done

# The mounts of /, /boot and /boot/efi (/proc/mounts is a link into the
# reader's own /proc/PID; other mounts say nothing the provider reads).
mkdir -p "$TREE/proc"
timeout "$TIMEOUT" awk '$2 == "/" || $2 == "/boot" || $2 == "/boot/efi"' /proc/mounts >"$TREE/proc/mounts"

# One empty /proc/PID/comm per process, so the count survives but no
# process name leaves the machine; logind's sessions.
for dir in /proc/[0-9]*; do
    mkdir -p "$TREE$dir" && : >"$TREE$dir/comm"
done
copy_tree /run/systemd/sessions 1
if [ -L /sys/class/dmi/id ]; then
    copy_link /sys/class/dmi/id
    copy_tree "$(readlink -f /sys/class/dmi/id)" 1
fi
copy_tree /sys/firmware/dmi/tables 1

# Service unit files and the links that enable, alias or mask them (what
# Win32_Service reads where no service manager answers). Absolute links are
# made relative inside the tree; masks keep their /dev/null target, which is
# only read as a link, never opened.
for d in /etc/systemd/system /run/systemd/system /lib/systemd/system /usr/lib/systemd/system; do
    [ -d "$d" ] && [ ! -L "$d" ] || continue
    while IFS= read -r -d '' entry; do
        if [ -L "$entry" ]; then
            target=$(readlink "$entry")
            mkdir -p "$TREE$(dirname "$entry")"
            case $target in
                /dev/null) ln -sfn /dev/null "$TREE$entry" ;;
                /*) ln -sfn "$(realpath -m --relative-to="$(dirname "$entry")" "$target")" "$TREE$entry" ;;
                *) copy_link "$entry" ;;
            esac
        elif [ -f "$entry" ]; then
            copy_file "$entry"
        fi
    done < <(find "$d" -maxdepth 2 -name '*.service' \( -type f -o -type l \) -print0 2>/dev/null)
done

# The slice of the PCI ID database that names this machine's devices.
for ids in /usr/share/misc/pci.ids /usr/share/hwdata/pci.ids; do
    [ -r "$ids" ] || continue
    wanted=$(cat /sys/bus/pci/devices/*/vendor /sys/bus/pci/devices/*/subsystem_vendor \
                 /sys/bus/virtio/devices/*/vendor 2>/dev/null | sed 's/^0x//' | sort -u | tr '\n' ' ')
    pairs=$(for d in /sys/bus/pci/devices/*; do
                [ -r "$d/vendor" ] && echo "$(sed 's/^0x//' "$d/vendor"):$(sed 's/^0x//' "$d/device")"
            done | sort -u | tr '\n' ' ')
    mkdir -p "$TREE$(dirname "$ids")"
    awk -v wanted=" $wanted " -v pairs=" $pairs " '
        /^#/ { next }
        /^C / { classes = 1 }
        classes { if ($0 ~ /^C / || $0 ~ /^\t[0-9a-f][0-9a-f] /) print; next }
        /^[0-9a-f][0-9a-f][0-9a-f][0-9a-f] / { vendor = $1; keep = index(wanted, " " vendor " ") > 0; if (keep) print; next }
        /^\t[0-9a-f][0-9a-f][0-9a-f][0-9a-f] / { if (keep && index(pairs, " " vendor ":" substr($1, 1) " ") > 0) print; next }
    ' "$ids" >"$TREE$ids"
    break
done

# The software side: boot entry, modules, groups, packages, units, bus services.
for f in /proc/cmdline /proc/modules /proc/sys/kernel/osrelease /proc/self/mounts /etc/timezone /etc/group \
         /etc/modules /etc/environment /var/lib/dpkg/status /run/sshd.pid; do
    [ -r "$f" ] && copy_file "$f"
done
for m in /sys/module/*; do
    for a in initstate refcnt version; do [ -r "$m/$a" ] && copy_file "$m/$a"; done
    # A built-in module shows as its directory: keep one entry of it.
    [ -e "$m/initstate" ] || copy_file "$(find "$m" -maxdepth 2 -type f 2>/dev/null | head -n 1)"
done
# libkmod's indexes (module files themselves are large and left out: their
# descriptions then read as missing).
release=$(uname -r)
for f in /lib/modules/"$release"/modules.*; do [ -f "$f" ] && copy_file "$f"; done
for d in /etc/modules-load.d /run/modules-load.d /usr/lib/modules-load.d /lib/modules-load.d \
         /usr/share/dbus-1/services /usr/share/dbus-1/system-services /run/systemd/sessions; do
    copy_tree "$d" 1
done
for d in /etc/systemd/system /lib/systemd/system /usr/lib/systemd/system; do
    copy_tree "$d" 2
done
for f in /usr/share/dbus-1/services/*.service; do
    name=$(sed -n 's/^Name=//p' "$f" 2>/dev/null | head -n 1)
    [ -n "$name" ] && [ -r "/usr/share/applications/$name.desktop" ] && copy_file "/usr/share/applications/$name.desktop"
done
for f in /var/lib/dpkg/info/gstreamer1.0-*.list /var/lib/dpkg/info/libavcodec*.list; do
    [ -f "$f" ] && copy_file "$f"
done
for f in /var/lib/flatpak/{app,runtime}/*/*/*/active/metadata /snap/*/current/meta/snap.yaml; do
    [ -f "$f" ] && copy_file "$f"
done
# The slice of the USB ID database that names this machine's devices.
for ids in /usr/share/misc/usb.ids /usr/share/hwdata/usb.ids; do
    [ -r "$ids" ] || continue
    pairs=$(for d in /sys/bus/usb/devices/*; do
                [ -r "$d/idVendor" ] && echo "$(cat "$d/idVendor"):$(cat "$d/idProduct")"
            done | sort -u | tr '\n' ' ')
    mkdir -p "$TREE$(dirname "$ids")"
    awk -v pairs=" $pairs " '
        /^#/ { next }
        /^[0-9a-f][0-9a-f][0-9a-f][0-9a-f] / { vendor = $1; keep = index(pairs, " " vendor ":") > 0; if (keep) print; next }
        /^\t[0-9a-f][0-9a-f][0-9a-f][0-9a-f] / { if (keep && index(pairs, " " vendor ":" $1 " ") > 0) print; next }
        /^[^\t]/ { keep = 0 }
    ' "$ids" >"$TREE$ids"
    break
done

du -sh "$TREE" | sed 's/^/captured /'
