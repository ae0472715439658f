#!/usr/bin/env python3
"""Compares the disk, partition, optical drive and memory classes of captured
trees with the reference tools reading the same files:

  lsblk --sysroot TREE      disks (size, model, serial where lsblk has one), their partitions
                            (start, size, count) and optical drives (size, model)
  dmidecode --from-dump     memory modules (SMBIOS type 17): the tree's entry point and table
                            put into dmidecode's dump layout (table at offset 32)

usage: scripts/check-storage-fixtures.py path/to/sysquill-query TREE...
Prints one line per compared value that differs and a summary per tree; exits 1 on a difference."""
import json
import os
import re
import struct
import subprocess
import sys
import tempfile

# Block devices the disk class leaves out on purpose (see cimv2/sources/BlockDevices.h).
LEFT_OUT = re.compile(r"^(zram|ram|dm-|md|loop)")


def query(tool, tree, wql):
    out = subprocess.run([tool, "--root", tree, "--format", "json", wql], check=True, capture_output=True, text=True)
    return json.loads(out.stdout)


def lsblk(tree):
    out = subprocess.run(["lsblk", "--sysroot", tree, "-J", "-b", "-o", "NAME,KNAME,TYPE,SIZE,MODEL,SERIAL,START"],
                         capture_output=True, text=True)
    if out.returncode != 0:
        return []
    return json.loads(out.stdout)["blockdevices"]


def strip(text):
    """SCSI inquiry fields come padded with blanks; lsblk over a tree shows them as read."""
    return text.strip() if isinstance(text, str) else text


def check_disks(tool, tree, problems):
    devices = lsblk(tree)
    ours = query(tool, tree, "SELECT * FROM Win32_DiskDrive")
    parts = query(tool, tree, "SELECT * FROM Win32_DiskPartition")
    drives = query(tool, tree, "SELECT * FROM Win32_CDROMDrive")
    disks = sorted((d for d in devices if d["type"] == "disk" and not LEFT_OUT.match(d["kname"])),
                   key=lambda d: d["kname"])
    roms = sorted((d for d in devices if d["type"] == "rom"), key=lambda d: d["kname"])
    compared = 0
    if len(disks) != len(ours):
        problems.append("%d disks, lsblk %d" % (len(ours), len(disks)))
    for disk, mine in zip(disks, ours):
        name = disk["kname"]
        pairs = [("Size", mine.get("Size"), disk["size"]), ("Model", mine.get("Model"), strip(disk["model"]))]
        if disk["serial"]:
            pairs.append(("SerialNumber", mine.get("SerialNumber"), disk["serial"]))
        children = [c for c in disk.get("children", []) if c["type"] == "part"]
        pairs.append(("Partitions", mine.get("Partitions"), len(children)))
        mine_parts = [p for p in parts if p["DiskIndex"] == mine["Index"]]
        for child, part in zip(children, mine_parts):
            pairs.append(("StartingOffset of " + child["kname"], part["StartingOffset"], child["start"] * 512))
            pairs.append(("Size of " + child["kname"], part["Size"], child["size"]))
        for what, a, b in pairs:
            compared += 1
            if a != b:
                problems.append("%s %s: ours %r, lsblk %r" % (name, what, a, b))
    if len(roms) != len(drives):
        problems.append("%d optical drives, lsblk %d" % (len(drives), len(roms)))
    for rom, mine in zip(roms, drives):
        compared += 1
        if rom["size"] and mine.get("Size") != rom["size"]:
            problems.append("%s Size: ours %r, lsblk %r" % (rom["kname"], mine.get("Size"), rom["size"]))
        if rom["model"] and strip(rom["model"]) not in (mine.get("Caption") or ""):
            problems.append("%s model %r not in caption %r" % (rom["kname"], rom["model"], mine.get("Caption")))
    left = [d["kname"] for d in devices if d["type"] == "disk" and LEFT_OUT.match(d["kname"])]
    return "%d disks, %d partitions, %d optical drives, %d values compared with lsblk%s" % (
        len(ours), len(parts), len(drives), compared, (", left out: " + " ".join(left)) if left else "")


def dump_file(tree):
    tables = os.path.join(tree, "sys/firmware/dmi/tables")
    try:
        entry = bytearray(open(os.path.join(tables, "smbios_entry_point"), "rb").read())
        table = open(os.path.join(tables, "DMI"), "rb").read()
    except OSError:
        return None
    if entry[:5] == b"_SM3_":
        entry[0x10:0x18] = struct.pack("<Q", 32)
        entry[5] = 0
        entry[5] = (-sum(entry[:entry[6]])) & 0xFF
    elif entry[:4] == b"_SM_":
        entry[0x18:0x1C] = struct.pack("<I", 32)
        entry[0x15] = 0
        entry[0x15] = (-sum(entry[0x10:0x1F])) & 0xFF
        entry[4] = 0
        entry[4] = (-sum(entry[:entry[5]])) & 0xFF
    else:
        return None
    f = tempfile.NamedTemporaryFile(delete=False)
    f.write(bytes(entry[:32]).ljust(32, b"\0") + table)
    f.close()
    return f.name


def dmidecode_modules(path):
    out = subprocess.run(["dmidecode", "--from-dump", path, "-t", "17"], capture_output=True, text=True).stdout
    modules = []
    for block in out.split("\n\n"):
        if "Memory Device" not in block:
            continue
        fields = dict(re.findall(r"^\t([^:\t]+): (.*)$", block, re.M))
        if fields.get("Size", "").startswith("No Module"):
            continue
        modules.append(fields)
    return modules


def size_bytes(text):
    number, unit = text.split()
    return int(number) << {"kB": 10, "KB": 10, "MB": 20, "GB": 30, "TB": 40}[unit]


def check_memory(tool, tree, problems):
    ours = query(tool, tree, "SELECT * FROM Win32_PhysicalMemory")
    path = dump_file(tree)
    if not path:
        if ours:
            problems.append("memory modules without SMBIOS tables")
        return "no SMBIOS tables, no memory modules"
    try:
        theirs = dmidecode_modules(path)
    finally:
        os.unlink(path)
    compared = 0
    if len(theirs) != len(ours):
        problems.append("%d memory modules, dmidecode %d" % (len(ours), len(theirs)))
    for mod, mine in zip(theirs, ours):
        pairs = [("Capacity", mine.get("Capacity"), size_bytes(mod["Size"])),
                 ("DeviceLocator", mine.get("DeviceLocator"), mod.get("Locator")),
                 ("BankLabel", mine.get("BankLabel"), mod.get("Bank Locator")),
                 ("Manufacturer", mine.get("Manufacturer"), mod.get("Manufacturer")),
                 ("SerialNumber", mine.get("SerialNumber"), mod.get("Serial Number")),
                 ("PartNumber", mine.get("PartNumber"), mod.get("Part Number"))]
        for key, field, unit in (("Speed", "Speed", " MT/s"), ("ConfiguredClockSpeed", "Configured Memory Speed", " MT/s"),
                                 ("TotalWidth", "Total Width", " bits"), ("DataWidth", "Data Width", " bits"),
                                 ("Attributes", "Rank", "")):
            if field in mod and mod[field].endswith(unit) and mod[field][:len(mod[field]) - len(unit)].isdigit():
                pairs.append((key, mine.get(key), int(mod[field][:len(mod[field]) - len(unit)])))
        for key, field in (("MinVoltage", "Minimum Voltage"), ("MaxVoltage", "Maximum Voltage"),
                           ("ConfiguredVoltage", "Configured Voltage")):
            if field in mod and mod[field].endswith(" V"):
                pairs.append((key, mine.get(key), round(float(mod[field][:-2]) * 1000)))
        for what, a, b in pairs:
            compared += 1
            if a != b:
                problems.append("%s %s: ours %r, dmidecode %r" % (mod.get("Locator"), what, a, b))
    return "%d memory modules, %d values compared with dmidecode" % (len(ours), compared)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    tool, trees = sys.argv[1], sys.argv[2:]
    failed = False
    for tree in trees:
        problems = []
        summary = [check_disks(tool, tree, problems), check_memory(tool, tree, problems)]
        for p in problems:
            print("%s: %s" % (tree, p))
        print("%s: %s; %s: %s" % (tree, "; ".join(summary), "DIFFERS" if problems else "agree", len(problems)))
        failed = failed or bool(problems)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
