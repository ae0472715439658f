#!/usr/bin/env python3
"""Adds the block devices of the storage fixtures: the kernel's sysfs block
layout (/sys/block, /sys/dev/block, the disks' device directories) for
server-storage (SAS disk with an LVM partition under dm-0, SATA disk, USB
stick, NVMe used whole, a BMC's virtual DVD with a mounted disc), laptop-usb
(NVMe with an EFI and a root partition, USB stick), physical-desktop (a SATA
DVD writer without a disc) and this-vm (the virtio disk, as its sysfs showed
it). Names, numbers and layouts are those of real devices of
these kinds. Run from the repository root; it rewrites only these files."""
import os
import struct
import sys

FIX = "tests/fixtures"


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = "wb" if isinstance(text, bytes) else "w"
    with open(path, mode) as f:
        f.write(text)


def link(path, target):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.lexists(path):
        os.remove(path)
    os.symlink(target, path)


def rel(frm, to):
    """A link at sys path frm pointing to sys path to, relative as the kernel writes it:
    up to the target's parent when the target holds the link, and down by name."""
    here = os.path.dirname(frm)
    if (here + "/").startswith(to + "/"):
        return os.path.join(os.path.relpath(os.path.dirname(to), here), os.path.basename(to))
    return os.path.relpath(to, here)


def vpd80(serial):
    data = serial.encode()
    return bytes([0, 0x80, 0, len(data)]) + data


def block(tree, devdir, name, dev, size, partitions=(), removable=0, serial=None, lbs=512, holders=(),
          nested=True):
    """devdir: the sys path of the device the block device hangs off (None: virtual); an
    NVMe namespace sits in its controller's directory itself (nested=False)."""
    if not devdir:
        bdir = "/sys/devices/virtual/block/" + name
    else:
        bdir = devdir + ("/block/" if nested else "/") + name
    root = tree + bdir
    write(root + "/dev", dev + "\n")
    write(root + "/size", "%d\n" % size)
    write(root + "/removable", "%d\n" % removable)
    write(root + "/ro", "0\n")
    write(root + "/queue/logical_block_size", "%d\n" % lbs)
    write(root + "/queue/physical_block_size", "%d\n" % lbs)
    if serial:
        write(root + "/serial", serial + "\n")
    if devdir:
        link(root + "/device", rel(bdir + "/device", devdir))
    link(tree + "/sys/block/" + name, rel("/sys/block/" + name, bdir))
    link(tree + "/sys/dev/block/" + dev, rel("/sys/dev/block/" + dev, bdir))
    for holder in holders:
        link(root + "/holders/" + holder, rel(bdir + "/holders/" + holder, "/sys/devices/virtual/block/" + holder))
    for number, pdev, start, psize, pholders in partitions:
        pname = name + ("p%d" % number if name[-1].isdigit() else "%d" % number)
        pdir = bdir + "/" + pname
        write(tree + pdir + "/partition", "%d\n" % number)
        write(tree + pdir + "/start", "%d\n" % start)
        write(tree + pdir + "/size", "%d\n" % psize)
        write(tree + pdir + "/dev", pdev + "\n")
        write(tree + pdir + "/ro", "0\n")
        link(tree + "/sys/dev/block/" + pdev, rel("/sys/dev/block/" + pdev, pdir))
        for holder in pholders:
            link(tree + pdir + "/holders/" + holder,
                 rel(pdir + "/holders/" + holder, "/sys/devices/virtual/block/" + holder))
            link(tree + "/sys/devices/virtual/block/" + holder + "/slaves/" + pname,
                 rel("/sys/devices/virtual/block/" + holder + "/slaves/" + pname, pdir))


def scsi_unit(tree, unit, vendor, model, rev, scsi_type, serial=None):
    write(tree + unit + "/vendor", vendor + "\n")
    write(tree + unit + "/model", model + "\n")
    write(tree + unit + "/rev", rev + "\n")
    write(tree + unit + "/type", "%d\n" % scsi_type)
    link(tree + unit + "/subsystem", rel(unit + "/subsystem", "/sys/bus/scsi"))
    if serial:
        write(tree + unit + "/vpd_pg80", vpd80(serial))


def nvme_controller(tree, ctrl, function, model, serial, firmware):
    write(tree + ctrl + "/model", model + "\n")
    write(tree + ctrl + "/serial", serial + "\n")
    write(tree + ctrl + "/firmware_rev", firmware + "\n")
    link(tree + ctrl + "/device", rel(ctrl + "/device", function))


def server_storage():
    tree = FIX + "/server-storage/tree"
    sas = "/sys/devices/pci0000:3a/0000:3a:00.0/0000:3b:00.0/host0/port-0:0/end_device-0:0/target0:0:0/0:0:0:0"
    scsi_unit(tree, sas, "SEAGATE ", "ST1200MM0009    ", "CN03", 0, "WFK1A2B3")
    block(tree, sas, "sda", "8:0", 2344225968,
          [(1, "8:1", 2048, 2097152, ()), (2, "8:2", 2099200, 2342125568, ("dm-0",))])
    sata = "/sys/devices/pci0000:00/0000:00:11.5/ata1/host6/target6:0:0/6:0:0:0"
    scsi_unit(tree, sata, "ATA     ", "ST2000NM000A-2J2", "SN03", 0, "ZFL1A2B3")
    block(tree, sata, "sdb", "8:16", 3907029168, [(1, "8:17", 2048, 3907024896, ())])
    stick = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/host2/target2:0:0/2:0:0:0"
    scsi_unit(tree, stick, "SanDisk ", "Cruzer Blade    ", "1.00", 0, "4C530001230517115364")
    block(tree, stick, "sdc", "8:32", 30031872, [(1, "8:33", 2048, 30029824, ())], removable=1)
    ctrl = "/sys/devices/pci0000:5d/0000:5d:00.0/0000:5e:00.0/nvme/nvme0"
    nvme_controller(tree, ctrl, "/sys/devices/pci0000:5d/0000:5d:00.0/0000:5e:00.0",
                    "INTEL SSDPE2KX020T8", "PHLJ912345AB2P0BGN", "VDV10170")
    block(tree, ctrl, "nvme0n1", "259:0", 3907029168, nested=False)
    cd = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-4/1-4:1.0/host3/target3:0:0/3:0:0:0"
    scsi_unit(tree, cd, "AMI     ", "Virtual CDROM0  ", "1.00", 5)
    block(tree, cd, "sr0", "11:0", 1309184, removable=1, lbs=2048)
    write(tree + "/sys/devices/virtual/block/dm-0/dm/name", "rhel-root\n")
    block(tree, None, "dm-0", "253:0", 2342125568)
    write(tree + "/proc/sys/dev/cdrom/info",
          "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\n"
          "drive name:\t\tsr0\ndrive speed:\t\t8\ndrive # of slots:\t1\n"
          "Can close tray:\t\t0\nCan open tray:\t\t0\nCan lock tray:\t\t1\nCan change speed:\t0\n"
          "Can select disk:\t0\nCan read multisession:\t1\nCan read MCN:\t\t1\n"
          "Reports media changed:\t1\nCan play audio:\t\t0\nCan write CD-R:\t\t0\n"
          "Can write CD-RW:\t0\nCan read DVD:\t\t1\nCan write DVD-R:\t0\nCan write DVD-RAM:\t0\n"
          "Can read MRW:\t\t0\nCan write MRW:\t\t0\nCan write RAM:\t\t0\n\n\n")


def laptop_usb():
    tree = FIX + "/laptop-usb/tree"
    ctrl = "/sys/devices/pci0000:00/0000:00:1d.0/0000:02:00.0/nvme/nvme0"
    nvme_controller(tree, ctrl, "/sys/devices/pci0000:00/0000:00:1d.0/0000:02:00.0",
                    "SAMSUNG MZVL2512HCJQ-00B00", "S675NX0R123456", "GXA7601Q")
    block(tree, ctrl, "nvme0n1", "259:0", 1000215216,
          [(1, "259:1", 2048, 1048576, ()), (2, "259:2", 1050624, 999162880, ())], nested=False)
    stick = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2.1/1-2.1:1.0/host0/target0:0:0/0:0:0:0"
    scsi_unit(tree, stick, "Kingston", "DataTraveler 3.0", "PMAP", 0, "E0D55EA573F0F4B0C8760E2C")
    block(tree, stick, "sda", "8:0", 60437504, [(1, "8:1", 2048, 60435456, ())], removable=1)


def physical_desktop():
    tree = FIX + "/physical-desktop/tree"
    dvd = "/sys/devices/pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0"
    scsi_unit(tree, dvd, "HL-DT-ST", "DVDRAM GH24NSD5 ", "LN01", 5)
    block(tree, dvd, "sr0", "11:0", 0, removable=1, lbs=2048)
    write(tree + "/proc/sys/dev/cdrom/info",
          "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\n"
          "drive name:\t\tsr0\ndrive speed:\t\t48\ndrive # of slots:\t1\n"
          "Can close tray:\t\t1\nCan open tray:\t\t1\nCan lock tray:\t\t1\nCan change speed:\t1\n"
          "Can select disk:\t0\nCan read multisession:\t1\nCan read MCN:\t\t1\n"
          "Reports media changed:\t1\nCan play audio:\t\t1\nCan write CD-R:\t\t1\n"
          "Can write CD-RW:\t1\nCan read DVD:\t\t1\nCan write DVD-R:\t1\nCan write DVD-RAM:\t1\n"
          "Can read MRW:\t\t1\nCan write MRW:\t\t1\nCan write RAM:\t\t1\n\n\n")


def this_vm():
    tree = FIX + "/this-vm/tree"
    virtio = "/sys/devices/pci0000:00/0000:00:02.0/virtio1"
    write(tree + virtio + "/vendor", "0x1af4\n")
    write(tree + virtio + "/device", "0x0002\n")
    link(tree + virtio + "/subsystem", rel(virtio + "/subsystem", "/sys/bus/virtio"))
    link(tree + virtio + "/driver", rel(virtio + "/driver", "/sys/bus/virtio/drivers/virtio_blk"))
    block(tree, virtio, "vda", "254:0", 536870912, serial="overlayblk")
    # The VM's unbound loop devices and its zram swap are no disks.
    block(tree, None, "loop0", "7:0", 0)
    block(tree, None, "zram0", "253:0", 0, lbs=4096)


if __name__ == "__main__":
    if not os.path.isdir(FIX):
        sys.exit("run from the repository root")
    server_storage()
    laptop_usb()
    physical_desktop()
    this_vm()
