#!/usr/bin/env python3
"""Writes the captured trees of a physical desktop (SMBIOS 3.3 tables, the
matching /sys/class/dmi/id files, CPU topology and caches, host name and
memory), of a machine whose SMBIOS table is corrupt and of a memory server
(SMBIOS memory tables only: eight DDR5 RDIMM slots, four populated with
modules of 64, 32 and 16 GB). Run scripts/make-disk-fixtures.py afterwards:
it adds the desktop's optical drive.

    scripts/make-physical-fixture.py [FIXTURES_DIR]

FIXTURES_DIR defaults to tests/fixtures beside this script. The output is
deterministic, so the committed trees can be regenerated and compared.
"""
import os
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


class Strings:
    """The string set of one structure; calling it gives a string's index."""

    def __init__(self):
        self.items = []

    def __call__(self, text):
        if text is None:
            return 0
        if text not in self.items:
            self.items.append(text)
        return self.items.index(text) + 1

    def pack(self):
        if not self.items:
            return b"\0\0"
        return b"".join(s.encode("latin-1") + b"\0" for s in self.items) + b"\0"


def structure(kind, handle, body, strings=None, length=None):
    formatted_length = 4 + len(body) if length is None else length
    header = struct.pack("<BBH", kind, formatted_length, handle)
    return header + body + (strings.pack() if strings else b"\0\0")


OEM = "To be filled by O.E.M."
VENDOR = "Micro-Star International Co., Ltd."


def bios(handle):
    s = Strings()
    characteristics = 0
    for bit in (7, 9, 11, 12, 15, 16, 17, 19, 23, 24, 25, 26, 27, 28, 29, 30):
        characteristics |= 1 << bit
    body = struct.pack("<BBHBBQBBBBBBH",
                       s("American Megatrends International, LLC."), s("1.A0"), 0xF000,
                       s("11/08/2022"), 0xFF, characteristics,
                       0x03,        # extension 1: ACPI, USB legacy
                       0x0D,        # extension 2: boot spec, targeted content, UEFI
                       5, 27,       # system BIOS release
                       0xFF, 0xFF,  # no embedded controller firmware
                       0x0010)      # extended ROM size: 16 MB
    return structure(0, handle, body, s)


SYSTEM_UUID = bytes.fromhex("a1b2c3d4e5f60718293a4b5c6d7e8f90")


def system(handle):
    s = Strings()
    body = struct.pack("<BBBB", s(VENDOR), s("MS-7C91"), s("2.0"), s(OEM))
    body += SYSTEM_UUID + struct.pack("<BBB", 6, s(OEM), s(OEM))
    return structure(1, handle, body, s)


def uuid_text():
    u = SYSTEM_UUID
    fields = (u[3::-1], u[5:3:-1], u[7:5:-1], u[8:10], u[10:16])
    return "-".join(f.hex() for f in fields)


def base_board(handle, chassis_handle):
    s = Strings()
    body = struct.pack("<BBBBBBBHBB",
                       s(VENDOR), s("MAG B550 TOMAHAWK (MS-7C91)"), s("2.0"), s("07C9111_L91E123456"),
                       s(OEM), 0x09,  # hosting board, replaceable
                       s(OEM), chassis_handle, 0x0A, 0)
    return structure(2, handle, body, s)


def chassis(handle):
    s = Strings()
    body = struct.pack("<BBBBBBBBBIBBBB", s(VENDOR), 0x03, s("2.0"), s(OEM), s(OEM),
                       3, 3, 3, 3, 0, 0, 1, 0, 3)
    body += struct.pack("<B", s("Default string"))
    return structure(3, handle, body, s)


def processor(handle, caches):
    s = Strings()
    body = struct.pack("<BBBBQBBHHHBBHHHBBBBBBHHHHHH",
                       s("AM4"), 3, 0x6B, s("Advanced Micro Devices, Inc."), 0x178BFBFF00A20F12,
                       s("AMD Ryzen 7 5800X 8-Core Processor"), 0x8B, 100, 4850, 3800,
                       0x41, 0x31, caches[0], caches[2], caches[3],
                       s("Unknown"), s("Unknown"), s("Unknown"), 8, 8, 16, 0x00FC,
                       0x006B, 8, 8, 16, 16)
    return structure(4, handle, body, s)


def cache(handle, name, level, size_kb, cache_type, ways_code):
    s = Strings()
    config = (level - 1) | 0x80 | (1 << 8)  # internal, enabled, write back
    if size_kb < 0x8000:
        size16, size32 = size_kb, size_kb
    else:
        size16, size32 = 0x8000 | (size_kb // 64), 0x80000000 | (size_kb // 64)
    body = struct.pack("<BHHHHHBBBBII", s(name), config, size16, size16, 0x0020, 0x0020, 1, 6,
                       cache_type, ways_code, size32, size32)
    return structure(7, handle, body, s)


def slot(handle, name, slot_type, width, usage, length, slot_id, c1, c2, bus, devfn, lanes):
    s = Strings()
    body = struct.pack("<BBBBBHBBHBBBB", s(name), slot_type, width, usage, length, slot_id, c1, c2,
                       0, bus, devfn, lanes, 0)
    return structure(9, handle, body, s)


def oem_strings(handle, texts):
    s = Strings()
    for t in texts:
        s(t)
    return structure(11, handle, struct.pack("<B", len(texts)), s)


def language(handle):
    s = Strings()
    s("en|US|iso8859-1")
    s("fr|FR|iso8859-1")
    body = struct.pack("<BB15sB", 2, 0, b"\0" * 15, 1)
    return structure(13, handle, body, s)


def memory_array(handle):
    body = struct.pack("<BBBIHHQ", 3, 3, 3, 0x08000000, 0xFFFE, 4, 0)
    return structure(16, handle, body)


def memory_device(handle, array, locator, bank, installed):
    s = Strings()
    if installed:
        fields = (array, 0xFFFE, 64, 64, 0x4000, 0x09, 0, s(locator), s(bank), 0x1A, 0x0080, 3200,
                  s("Kingston"), s("2A3B4C5D"), s("Not Specified"), s("KF3200C16D4/16GX"), 0x02, 0,
                  3200, 1200, 1200, 1200, 3)
    else:
        fields = (array, 0xFFFE, 0xFFFF, 0xFFFF, 0, 0x09, 0, s(locator), s(bank), 0x02, 0x0000, 0,
                  s("Unknown"), s("Unknown"), s("Not Specified"), s("Unknown"), 0x00, 0,
                  0, 0, 0, 0, 0x02)
    body = struct.pack("<HHHHHBBBBBHHBBBBBIHHHHB", *fields)
    return structure(17, handle, body, s)


def ddr5_device(handle, array, locator, bank, module):
    """A DDR5 RDIMM slot as SMBIOS 3.3 writes it (84 bytes); module None is an empty slot."""
    s = Strings()
    if module:
        size_mb, vendor, serial, part, speed, configured = module
        size_field, extended = (size_mb, 0) if size_mb < 0x7FFF else (0x7FFF, size_mb)
        fields = (array, 0xFFFE, 80, 64, size_field, 0x09, 0, s(locator), s(bank), 0x22, 0x2080, speed,
                  s(vendor), s(serial), s("Not Specified"), s(part), 0x02, extended, configured, 1100, 1100, 1100)
    else:
        fields = (array, 0xFFFE, 0xFFFF, 0xFFFF, 0, 0x09, 0, s(locator), s(bank), 0x02, 0x0004, 0,
                  s("NO DIMM"), s("NO DIMM"), s("NO DIMM"), s("NO DIMM"), 0x00, 0, 0, 0, 0, 0)
    body = struct.pack("<HHHHHBBBBBHHBBBBBIHHHH", *fields)
    body += struct.pack("<BHBHHHHQQQQII", 0x03, 0x0004, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)
    return structure(17, handle, body, s)


MEMORY_SERVER_SLOTS = [
    ("DIMM_A1", "P0 CHANNEL A", (65536, "Samsung", "03A1B2C3", "M321R8GA0BB0-CQKZG", 4800, 4400)),
    ("DIMM_B1", "P0 CHANNEL B", (65536, "Samsung", "03A1B2C4", "M321R8GA0BB0-CQKZG", 4800, 4400)),
    ("DIMM_C1", "P0 CHANNEL C", (32768, "Micron Technology", "3A0F9E21", "MTC20F2085S1RC48BA1", 4800, 4400)),
    ("DIMM_D1", "P0 CHANNEL D", (16384, "SK Hynix", "8E2D4F11", "HMCG78AEBRA107N", 4800, 4400)),
    ("DIMM_E1", "P0 CHANNEL E", None),
    ("DIMM_F1", "P0 CHANNEL F", None),
    ("DIMM_G1", "P0 CHANNEL G", None),
    ("DIMM_H1", "P0 CHANNEL H", None),
]


def memory_server_table():
    body = struct.pack("<BBBIHHQ", 3, 3, 6, 0x80000000, 0xFFFE, len(MEMORY_SERVER_SLOTS), 2 << 40)
    parts = [structure(16, 0x1000, body)]
    for n, (locator, bank, module) in enumerate(MEMORY_SERVER_SLOTS):
        parts.append(ddr5_device(0x1100 + n, 0x1000, locator, bank, module))
    parts.append(end_of_table(0x1FFF))
    return b"".join(parts)


def end_of_table(handle):
    return structure(127, handle, b"")


CACHES = [  # name, level, size KB, SMBIOS type (3 instruction, 4 data, 5 unified), associativity code
    ("L1 - Data Cache", 1, 256, 4, 7),
    ("L1 - Instruction Cache", 1, 256, 3, 7),
    ("L2 - Cache", 2, 4096, 5, 7),
    ("L3 - Cache", 3, 32768, 5, 8),
]
SLOTS = [  # name, type, data bus width, usage, length, id, characteristics 1/2, bus, devfn, width (3.2)
    ("PCI_E1", 0xBD, 0x0D, 4, 4, 1, 0x04, 0x01, 0x2D, 0x00, 0x0D),  # PCIe Gen4 x16, in use
    ("PCI_E2", 0xB2, 0x08, 3, 3, 2, 0x04, 0x03, 0xFF, 0xFF, 0x08),  # PCIe Gen3 x1, free
    ("PCI1", 0x06, 0x05, 4, 3, 3, 0x0C, 0x01, 0x05, 0x20, 0x05),    # 32-bit PCI, shared
    ("M2_1", 0x19, 0x0A, 5, 3, 4, 0x04, 0x00, 0x02, 0x00, 0x0A),    # M.2 key M, unavailable
]
DIMMS = [("DIMM_A1", "P0 CHANNEL A", False), ("DIMM_A2", "P0 CHANNEL A", True),
         ("DIMM_B1", "P0 CHANNEL B", False), ("DIMM_B2", "P0 CHANNEL B", True)]


def physical_table():
    parts = [bios(0x0000), system(0x0001), base_board(0x0002, 0x0003), chassis(0x0003)]
    cache_handles = [0x0007 + n for n in range(len(CACHES))]
    parts.append(processor(0x0004, cache_handles))
    for handle, c in zip(cache_handles, CACHES):
        parts.append(cache(handle, *c))
    for n, sl in enumerate(SLOTS):
        parts.append(slot(0x0010 + n, *sl))
    parts.append(oem_strings(0x0020, ["Default string", "$MSI2022"]))
    parts.append(language(0x0021))
    parts.append(memory_array(0x0030))
    for n, (locator, bank, installed) in enumerate(DIMMS):
        parts.append(memory_device(0x0031 + n, 0x0030, locator, bank, installed))
    parts.append(end_of_table(0x0040))
    return b"".join(parts)


def corrupt_table():
    """A table whose structures go wrong one after the other."""
    s = Strings()
    s("American Megatrends Inc.")
    s("04/01/2015")
    # Version string index 7 where the set holds two strings.
    body = struct.pack("<BBHBBQBB", 1, 7, 0xF000, 2, 0x3F, 1 << 7, 0x01, 0x00)
    parts = [structure(0, 0x0000, body, s)]
    # A base board cut short of its feature flags.
    s = Strings()
    body = struct.pack("<BBBB", s("ASUSTeK COMPUTER INC."), s("P8H61-M LE"), s("Rev X.0x"), s("MT7012345678"))
    parts.append(structure(2, 0x0002, body, s))
    parts.append(slot(0x0010, "PCIEX16_1", 0xAA, 0x0D, 4, 4, 1, 0x04, 0x01, 0x01, 0x00, 0x0D))
    # A slot whose length runs past the end of the table: the walk stops here.
    tail = slot(0x0011, "PCIEX1_1", 0xA6, 0x08, 3, 3, 2, 0x04, 0x01, 0xFF, 0xFF, 0x08)
    parts.append(tail[:1] + bytes([0xF0]) + tail[2:])
    return b"".join(parts)


def entry_point_3(table):
    ep = bytearray(struct.pack("<5sBBBBBBBIQ", b"_SM3_", 0, 0x18, 3, 3, 0, 1, 0, len(table), 0x8F3B0000))
    ep[5] = (-sum(ep)) & 0xFF
    return bytes(ep)


def write(root, path, data):
    full = os.path.join(root, path.lstrip("/"))
    os.makedirs(os.path.dirname(full), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(full, mode) as f:
        f.write(data)


def cpu_list(cpus):
    """A kernel CPU list: "0-3,8-11"."""
    cpus = sorted(cpus)
    runs = []
    for c in cpus:
        if runs and runs[-1][1] == c - 1:
            runs[-1][1] = c
        else:
            runs.append([c, c])
    return ",".join(f"{a}-{b}" if a != b else f"{a}" for a, b in runs)


def cpu_tree(root, packages, cores, threads, l1_kb, l2_kb, l3_kb):
    """CPU numbering as Linux gives it: first threads of every core, then their siblings."""
    count = packages * cores * threads
    write(root, "sys/devices/system/cpu/online", f"0-{count - 1}\n")
    write(root, "sys/devices/system/cpu/possible", f"0-{count - 1}\n")
    for cpu in range(count):
        core = cpu % (packages * cores)
        package = core // cores
        siblings = [core + t * packages * cores for t in range(threads)]
        sib = ",".join(str(x) for x in siblings)
        pkg_list = cpu_list(c for c in range(count) if (c % (packages * cores)) // cores == package)
        base = f"sys/devices/system/cpu/cpu{cpu}"
        write(root, f"{base}/topology/physical_package_id", f"{package}\n")
        write(root, f"{base}/topology/core_id", f"{core % cores}\n")
        write(root, f"{base}/topology/thread_siblings_list", sib + "\n")
        caches = [("Data", 1, l1_kb, 8, sib), ("Instruction", 1, l1_kb, 8, sib),
                  ("Unified", 2, l2_kb, 8, sib), ("Unified", 3, l3_kb, 16, pkg_list)]
        for n, (kind, level, size, ways, shared) in enumerate(caches):
            d = f"{base}/cache/index{n}"
            write(root, f"{d}/type", kind + "\n")
            write(root, f"{d}/level", f"{level}\n")
            write(root, f"{d}/size", f"{size}K\n")
            write(root, f"{d}/ways_of_associativity", f"{ways}\n")
            write(root, f"{d}/coherency_line_size", "64\n")
            write(root, f"{d}/number_of_sets", f"{size * 1024 // (64 * ways)}\n")
            write(root, f"{d}/shared_cpu_list", shared + "\n")


MEMINFO = """MemTotal:       32795696 kB
MemFree:        24912388 kB
MemAvailable:   29538012 kB
Buffers:          310244 kB
Cached:          4521980 kB
SwapCached:            0 kB
Active:          3950416 kB
Inactive:        2951604 kB
SwapTotal:       2097148 kB
SwapFree:        2097148 kB
"""


def cpuinfo(count):
    flags = ("fpu vme de pse tsc msr pae mce cx8 apic sep mtrr pge mca cmov pat pse36 clflush mmx fxsr sse "
             "sse2 ht syscall nx mmxext fxsr_opt pdpe1gb rdtscp lm constant_tsc rep_good nopl nonstop_tsc "
             "cpuid extd_apicid aperfmperf pni pclmulqdq monitor ssse3 fma cx16 sse4_1 sse4_2 movbe popcnt "
             "aes xsave avx f16c rdrand lahf_lm cmp_legacy svm extapic cr8_legacy abm sse4a misalignsse "
             "3dnowprefetch osvw ibs skinit wdt tce topoext perfctr_core perfctr_nb bpext perfctr_llc mwaitx "
             "cpb cat_l3 cdp_l3 hw_pstate ssbd mba ibrs ibpb stibp vmmcall fsgsbase bmi1 avx2 smep bmi2 erms "
             "invpcid cqm rdt_a rdseed adx smap clflushopt clwb sha_ni xsaveopt xsavec xgetbv1 xsaves")
    blocks = []
    for cpu in range(count):
        blocks.append(f"processor\t: {cpu}\nvendor_id\t: AuthenticAMD\ncpu family\t: 25\nmodel\t\t: 33\n"
                      f"model name\t: AMD Ryzen 7 5800X 8-Core Processor\nstepping\t: 2\n"
                      f"cpu MHz\t\t: 3800.000\ncache size\t: 512 KB\nphysical id\t: 0\nsiblings\t: {count}\n"
                      f"core id\t\t: {cpu % 8}\ncpu cores\t: 8\nflags\t\t: {flags}\n")
    return "\n".join(blocks) + "\n"


def physical_desktop(fixtures):
    root = os.path.join(fixtures, "physical-desktop", "tree")
    shutil.rmtree(root, ignore_errors=True)
    table = physical_table()
    write(root, "sys/firmware/dmi/tables/DMI", table)
    write(root, "sys/firmware/dmi/tables/smbios_entry_point", entry_point_3(table))
    dmi = {
        "bios_vendor": "American Megatrends International, LLC.", "bios_version": "1.A0",
        "bios_date": "11/08/2022", "bios_release": "5.27",
        "sys_vendor": VENDOR, "product_name": "MS-7C91", "product_version": "2.0", "product_serial": OEM,
        "product_uuid": uuid_text(), "product_sku": OEM, "product_family": OEM,
        "board_vendor": VENDOR, "board_name": "MAG B550 TOMAHAWK (MS-7C91)", "board_version": "2.0",
        "board_serial": "07C9111_L91E123456", "board_asset_tag": OEM,
        "chassis_vendor": VENDOR, "chassis_type": "3", "chassis_version": "2.0", "chassis_serial": OEM,
        "chassis_asset_tag": OEM,
    }
    for name, value in dmi.items():
        write(root, f"sys/class/dmi/id/{name}", value + "\n")
    write(root, "proc/sys/kernel/hostname", "workstation-07\n")
    write(root, "proc/sys/kernel/arch", "x86_64\n")
    write(root, "proc/meminfo", MEMINFO)
    write(root, "proc/cpuinfo", cpuinfo(16))
    write(root, "etc/hosts", "127.0.0.1\tlocalhost\n127.0.1.1\tworkstation-07.lab.example.org\tworkstation-07\n\n"
                             "::1     localhost ip6-localhost ip6-loopback\n")
    cpu_tree(root, packages=1, cores=8, threads=2, l1_kb=32, l2_kb=512, l3_kb=32768)


def corrupt_smbios(fixtures):
    root = os.path.join(fixtures, "corrupt-smbios", "tree")
    shutil.rmtree(root, ignore_errors=True)
    table = corrupt_table()
    write(root, "sys/firmware/dmi/tables/DMI", table)
    write(root, "sys/firmware/dmi/tables/smbios_entry_point", entry_point_3(table))
    write(root, "proc/sys/kernel/hostname", "oldbox\n")
    write(root, "proc/meminfo", "MemTotal:        8052748 kB\nMemFree:         6120044 kB\n")
    cpu_tree(root, packages=1, cores=2, threads=2, l1_kb=32, l2_kb=256, l3_kb=3072)


def memory_server(fixtures):
    root = os.path.join(fixtures, "memory-server", "tree")
    shutil.rmtree(root, ignore_errors=True)
    table = memory_server_table()
    write(root, "sys/firmware/dmi/tables/DMI", table)
    write(root, "sys/firmware/dmi/tables/smbios_entry_point", entry_point_3(table))
    write(root, "proc/sys/kernel/hostname", "mem01\n")
    write(root, "proc/meminfo", "MemTotal:       181491116 kB\nMemFree:        176223408 kB\n")
    write(os.path.join(fixtures, "memory-server"), "moment", "2026-03-02T08:30:00Z\n")


def main():
    fixtures = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "fixtures")
    physical_desktop(fixtures)
    corrupt_smbios(fixtures)
    memory_server(fixtures)


if __name__ == "__main__":
    main()
