#!/usr/bin/env python3
"""Writes the processor views (/proc/cpuinfo and /sys/devices/system/cpu) of
two machines whose CPUs the captured VM cannot show:

  two-socket-server  a Dell PowerEdge R710 with two quad-core Xeon E5540
                     (Nehalem-EP, family 6 model 26 stepping 5) and
                     Hyper-Threading: 16 CPUs, the sockets interleaved
                     (even CPUs on package 0, odd on package 1)
  hybrid-laptop      an Intel Core Ultra 9 185H (Meteor Lake, family 6 model
                     170 stepping 4): six P-cores with two threads, eight
                     E-cores in two clusters of four, two low-power E-cores
                     outside the L3, 22 CPUs

The topology (CPU, core, socket, L1/L2/L3 ids), family, model, stepping,
clock and cache sizes are those util-linux records for these machines in
its lscpu test data (tests/expected/lscpu/lscpu-x86_64-dellr710 and
lscpu-x86_64-meteor_lake); the Meteor Lake flags are that machine's, the
per-type base clocks Intel's published ones (the dump's machine ran at
base clock: its largest cpuinfo_max_freq is the P-core's 2300 MHz).

    scripts/make-cpu-fixture.py [FIXTURES_DIR]

The output is deterministic; each tree is replaced whole.
"""
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

NEHALEM_FLAGS = (
    "fpu vme de pse tsc msr pae mce cx8 apic sep mtrr pge mca cmov pat pse36 clflush dts acpi mmx "
    "fxsr sse sse2 ss ht tm pbe syscall nx rdtscp lm constant_tsc arch_perfmon pebs bts rep_good "
    "nopl xtopology nonstop_tsc aperfmperf pni dtes64 monitor ds_cpl vmx est tm2 ssse3 cx16 xtpr "
    "pdcm dca sse4_1 sse4_2 popcnt lahf_lm ida dtherm tpr_shadow vnmi flexpriority ept vpid")
METEOR_LAKE_FLAGS = (
    "fpu vme de pse tsc msr pae mce cx8 apic sep mtrr pge mca cmov pat pse36 clflush dts acpi mmx "
    "fxsr sse sse2 ss ht tm pbe syscall nx pdpe1gb rdtscp lm constant_tsc art arch_perfmon pebs bts "
    "rep_good nopl xtopology nonstop_tsc cpuid aperfmperf tsc_known_freq pni pclmulqdq dtes64 monitor "
    "ds_cpl vmx smx est tm2 ssse3 sdbg fma cx16 xtpr pdcm pcid sse4_1 sse4_2 x2apic movbe popcnt "
    "tsc_deadline_timer aes xsave avx f16c rdrand lahf_lm abm 3dnowprefetch cpuid_fault epb ssbd ibrs "
    "ibpb stibp ibrs_enhanced tpr_shadow flexpriority ept vpid ept_ad fsgsbase tsc_adjust bmi1 avx2 "
    "smep bmi2 erms invpcid rdseed adx smap clflushopt clwb intel_pt sha_ni xsaveopt xsavec xgetbv1 "
    "xsaves split_lock_detect user_shstk avx_vnni dtherm arat pln pts hwp hwp_notify hwp_act_window "
    "hwp_epp hwp_pkg_req hfi vnmi umip pku ospke waitpkg gfni vaes vpclmulqdq rdpid bus_lock_detect "
    "movdiri movdir64b fsrm md_clear serialize pconfig arch_lbr ibt flush_l1d arch_capabilities")


def cpu_list(cpus):
    """The kernel's list form: 0-3,8,10-11."""
    cpus = sorted(cpus)
    parts, start = [], None
    for n, cpu in enumerate(cpus):
        if start is None:
            start = cpu
        if n + 1 == len(cpus) or cpus[n + 1] != cpu + 1:
            parts.append(str(start) if start == cpu else "%d-%d" % (start, cpu))
            start = None
    return ",".join(parts)


def cpu_map(cpus, width):
    """The kernel's mask form, 32-bit words separated by commas."""
    mask = 0
    for cpu in cpus:
        mask |= 1 << cpu
    words = max(1, (width + 31) // 32)
    return ",".join("%08x" % ((mask >> (32 * w)) & 0xFFFFFFFF) for w in reversed(range(words)))


def write(tree, path, text):
    full = os.path.join(tree, path.lstrip("/"))
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w") as f:
        f.write(text)


def machine(tree, m):
    """m: cpus [(cpu, core, package, l1, l2, l3, kind)], kinds {kind: {...}}."""
    if os.path.isdir(tree):
        shutil.rmtree(tree)
    cpus = m["cpus"]
    n = len(cpus)
    base = "/sys/devices/system/cpu"
    write(tree, base + "/possible", "0-%d\n" % (n - 1))
    write(tree, base + "/present", "0-%d\n" % (n - 1))
    write(tree, base + "/online", "0-%d\n" % (n - 1))
    write(tree, base + "/kernel_max", "8191\n")
    write(tree, "/proc/sys/kernel/arch", "x86_64\n")
    blocks = []
    for cpu, core, package, l1, l2, l3, kind in cpus:
        k = m["kinds"][kind]
        d = "%s/cpu%d" % (base, cpu)
        siblings = [c[0] for c in cpus if c[1] == core and c[2] == package]
        package_cpus = [c[0] for c in cpus if c[2] == package]
        topo = {
            "physical_package_id": package, "core_id": core, "die_id": 0, "cluster_id": core,
            "core_cpus_list": cpu_list(siblings), "core_cpus": cpu_map(siblings, n),
            "thread_siblings_list": cpu_list(siblings), "thread_siblings": cpu_map(siblings, n),
            "core_siblings_list": cpu_list(package_cpus), "core_siblings": cpu_map(package_cpus, n),
            "package_cpus_list": cpu_list(package_cpus), "package_cpus": cpu_map(package_cpus, n),
            "die_cpus_list": cpu_list(package_cpus), "die_cpus": cpu_map(package_cpus, n),
        }
        for name, value in topo.items():
            write(tree, "%s/topology/%s" % (d, name), "%s\n" % value)
        caches = [(1, "Data", l1, k["l1d"]), (1, "Instruction", l1, k["l1i"]), (2, "Unified", l2, k["l2"])]
        if l3 is not None:
            caches.append((3, "Unified", l3, k["l3"]))
        for index, (level, ctype, cid, size) in enumerate(caches):
            sharing = [c[0] for c in cpus
                       if c[2] == package and {1: c[3], 2: c[4], 3: c[5]}[level] == cid]
            cd = "%s/cache/index%d" % (d, index)
            for name, value in {"level": level, "type": ctype, "id": cid, "size": "%dK" % size,
                                "shared_cpu_list": cpu_list(sharing), "shared_cpu_map": cpu_map(sharing, n),
                                "coherency_line_size": 64, "physical_line_partition": 1}.items():
                write(tree, "%s/%s" % (cd, name), "%s\n" % value)
        for name in ("cpuinfo_max_freq", "cpuinfo_min_freq", "scaling_cur_freq"):
            write(tree, "%s/cpufreq/%s" % (d, name), "%d\n" % k[name])
        blocks.append("\n".join("%s\t: %s" % (key, value) for key, value in [
            ("processor", cpu), ("vendor_id", "GenuineIntel"), ("cpu family", 6), ("model", m["model"]),
            ("model name", m["name"]), ("stepping", m["stepping"]), ("microcode", m["microcode"]),
            ("cpu MHz", "%.3f" % (k["scaling_cur_freq"] / 1000.0)), ("cache size", "%d KB" % m["cache"]),
            ("physical id", package), ("siblings", len(package_cpus)), ("core id", core),
            ("cpu cores", len({c[1] for c in cpus if c[2] == package})), ("apicid", cpu),
            ("initial apicid", cpu), ("fpu", "yes"), ("fpu_exception", "yes"), ("cpuid level", m["cpuid"]),
            ("wp", "yes"), ("flags", m["flags"]), ("bogomips", m["bogomips"]), ("clflush size", 64),
            ("cache_alignment", 64), ("address sizes", m["address"]), ("power management", "")]))
    write(tree, "/proc/cpuinfo", "\n\n".join(blocks) + "\n\n")


def dell_r710():
    # lscpu -p: CPU,Core,Socket,Node,,L1d,L1i,L2,L3 of the R710.
    rows = ["0,0,0", "1,1,1", "2,2,0", "3,3,1", "4,4,0", "5,5,1", "6,6,0", "7,7,1",
            "8,0,0", "9,1,1", "10,2,0", "11,3,1", "12,4,0", "13,5,1", "14,6,0", "15,7,1"]
    cpus = []
    for row in rows:
        cpu, core, socket = map(int, row.split(","))
        cpus.append((cpu, core, socket, core, core, socket, "x"))
    return {
        "cpus": cpus, "name": "Intel(R) Xeon(R) CPU           E5540  @ 2.53GHz", "model": 26, "stepping": 5,
        "microcode": "0x1d", "cache": 8192, "cpuid": 11, "flags": NEHALEM_FLAGS, "bogomips": "5053.32",
        "address": "40 bits physical, 48 bits virtual",
        "kinds": {"x": {"l1d": 32, "l1i": 32, "l2": 256, "l3": 8192, "cpuinfo_max_freq": 2534000,
                        "cpuinfo_min_freq": 1600000, "scaling_cur_freq": 2527073}},
    }


def meteor_lake():
    # lscpu -p of the Core Ultra 9 185H, cores as the kernel numbers them.
    rows = [(0, 16, 16, 4, "P"), (1, 8, 8, 2, "P"), (2, 8, 8, 2, "P"), (3, 12, 12, 3, "P"), (4, 12, 12, 3, "P"),
            (5, 16, 16, 4, "P"), (6, 20, 20, 5, "P"), (7, 20, 20, 5, "P"), (8, 24, 24, 6, "P"), (9, 24, 24, 6, "P"),
            (10, 28, 28, 7, "P"), (11, 28, 28, 7, "P"), (12, 0, 0, 0, "E"), (13, 1, 2, 0, "E"), (14, 2, 4, 0, "E"),
            (15, 3, 6, 0, "E"), (16, 4, 8, 1, "E"), (17, 5, 10, 1, "E"), (18, 6, 12, 1, "E"), (19, 7, 14, 1, "E"),
            (20, 32, 64, 8, "LP"), (21, 33, 66, 8, "LP")]
    cpus = [(cpu, core, 0, l1, l2, None if kind == "LP" else 0, kind) for cpu, core, l1, l2, kind in rows]
    return {
        "cpus": cpus, "name": "Intel(R) Core(TM) Ultra 9 185H", "model": 170, "stepping": 4, "microcode": "0x28",
        "cache": 24576, "cpuid": 35, "flags": METEOR_LAKE_FLAGS, "bogomips": "6144.00",
        "address": "46 bits physical, 48 bits virtual",
        "kinds": {
            "P": {"l1d": 48, "l1i": 64, "l2": 2048, "l3": 24576, "cpuinfo_max_freq": 2300000,
                  "cpuinfo_min_freq": 400000, "scaling_cur_freq": 1242000},
            "E": {"l1d": 32, "l1i": 64, "l2": 2048, "l3": 24576, "cpuinfo_max_freq": 1800000,
                  "cpuinfo_min_freq": 400000, "scaling_cur_freq": 972000},
            "LP": {"l1d": 32, "l1i": 64, "l2": 2048, "l3": 24576, "cpuinfo_max_freq": 1000000,
                   "cpuinfo_min_freq": 400000, "scaling_cur_freq": 540000},
        },
    }


def main():
    fixtures = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "fixtures")
    for name, m, moment in (("two-socket-server", dell_r710(), "2026-03-02T09:30:00Z"),
                            ("hybrid-laptop", meteor_lake(), "2026-03-02T09:30:00Z")):
        machine(os.path.join(fixtures, name, "tree"), m)
        with open(os.path.join(fixtures, name, "moment"), "w") as f:
            f.write(moment + "\n")


if __name__ == "__main__":
    main()
