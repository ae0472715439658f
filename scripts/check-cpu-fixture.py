#!/usr/bin/env python3
"""Compares what Win32_Processor says about a machine tree with what
`lscpu --sysroot TREE` says about the same tree: model name, sockets,
cores per socket, threads per core, L2 and L3 totals and the highest
maximum clock. Exit status 1 when any of them differ.

    scripts/check-cpu-fixture.py QUERY_TOOL TREE...

QUERY_TOOL is a built sysquill-query (build/plain/app/sysquill-query).
"""
import json
import re
import subprocess
import sys

UNITS = {"K": 1, "KiB": 1, "M": 1024, "MiB": 1024, "G": 1024 * 1024, "GiB": 1024 * 1024}


def lscpu(tree):
    text = subprocess.run(["lscpu", "--sysroot", tree], check=True, capture_output=True, text=True).stdout
    fields = {}
    for line in text.splitlines():
        key, _, value = line.partition(":")
        fields[key.strip()] = value.strip()
    return fields


def kb(text):
    """"4 MiB (2 instances)" or "256K" in KB."""
    m = re.match(r"([\d.]+)\s*([KMG](?:iB)?)", text)
    return round(float(m.group(1)) * UNITS[m.group(2)]) if m else None


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    tool, failed = sys.argv[1], False
    for tree in sys.argv[2:]:
        cpus = json.loads(subprocess.run([tool, "--root", tree, "--format", "json", "SELECT * FROM Win32_Processor"],
                                         check=True, capture_output=True, text=True).stdout)
        try:
            ref = lscpu(tree)
        except subprocess.CalledProcessError as e:
            print("%s\n  lscpu cannot read this tree (%s)" % (tree, e))
            continue
        ours = {
            "Model name": cpus[0]["Name"],
            "Socket(s)": len(cpus),
            "Core(s) per socket": cpus[0]["NumberOfCores"],
            # lscpu gives the most threads any core has: on a hybrid only
            # some cores have two.
            "Thread(s) per core": -(-cpus[0]["NumberOfLogicalProcessors"] // cpus[0]["NumberOfCores"]),
            "L2 cache": sum(c["L2CacheSize"] or 0 for c in cpus),
            "L3 cache": sum(c["L3CacheSize"] or 0 for c in cpus),
            "CPU max MHz": max(c["MaxClockSpeed"] or 0 for c in cpus),
        }
        theirs = {
            "Model name": ref.get("Model name"),
            "Socket(s)": int(ref["Socket(s)"]),
            "Core(s) per socket": int(ref["Core(s) per socket"]),
            "Thread(s) per core": int(ref["Thread(s) per core"]),
            "L2 cache": kb(ref.get("L2 cache", "0K")),
            "L3 cache": kb(ref.get("L3 cache", "0K")),
            "CPU max MHz": round(float(ref["CPU max MHz"])) if "CPU max MHz" in ref else None,
        }
        print(tree)
        for key, value in theirs.items():
            if value is None:
                print("  %-20s %-45s (lscpu shows none)" % (key, ours[key]))
                continue
            same = ours[key] == value
            failed |= not same
            print("  %-20s %-45s %s" % (key, ours[key], "agrees" if same else "lscpu says %s" % value))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
