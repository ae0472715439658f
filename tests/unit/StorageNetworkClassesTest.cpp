// Logical disks, storage and video controllers, network protocols, IPv4
// routes and USB hubs: their parsers and rules, and the classes over the
// captured machines with the live sources replaced.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Provider.h"
#include "cimv2/sources/LiveSources.h"
#include "cimv2/sources/Mounts.h"
#include "cimv2/sources/NetTables.h"
#include "cimv2/sources/PciFunctions.h"
#include "tests/support/Fixtures.h"

using namespace cimv2;

namespace {

const Instance* Find(const std::vector<Instance>& list, const char* key, const std::string& value) {
    for (const auto& inst : list)
        if (inst.Get(key).ToText() == value) return &inst;
    return nullptr;
}

std::string Text(const Instance& inst, const char* name) { return inst.Get(name).ToText(); }

ProviderContext Machine(const char* name) {
    return testsupport::FixtureContext(std::filesystem::path(SYSQUILL_FIXTURES) / name);
}

class FakeLive : public LiveSources {
public:
    std::optional<FileSystemUsage> Usage(const std::string& mountPoint, SourceNotes*) const override {
        if (mountPoint != "/") return std::nullopt;
        return FileSystemUsage{4096, 1000, 250, 255};
    }
    VolumeTags Tags(const std::string& device) const override {
        if (device == "/dev/nvme0n1p2") return {std::string("probed"), std::nullopt};
        return {};
    }
    std::optional<std::vector<net::Ip4Route>> MainRoutes() const override { return routes; }
    std::optional<parts::PartitionTable> PartitionTableOf(const std::string&) const override { return std::nullopt; }
    std::optional<std::vector<net::Ip4Route>> routes;
};

}  // namespace

// ---- mount table

TEST(MountInfo, ReadsFieldsAroundOptionalOnesAndDecodesEscapes) {
    const auto mounts = mounts::ParseMountInfo(
        "36 35 98:0 /mnt1 /mnt/a\\040b rw,noatime master:1 shared:2 - ext3 /dev/root rw,errors=continue\n"
        "37 35 0:5 / /x rw - tmpfs\n"                    // no source: malformed
        "38 35 8:x / /y rw - ext4 /dev/sda1 rw\n"        // bad device numbers
        "39 35 8:1 / relative rw - ext4 /dev/sda1 rw\n"  // mount point not absolute
        "40 35 8:2 / /z\\ rw - vfat /dev/sda2\n");       // no super options; a lone backslash stays
    ASSERT_EQ(mounts.size(), 2u);
    EXPECT_EQ(mounts[0].major, 98u);
    EXPECT_EQ(mounts[0].root, "/mnt1");
    EXPECT_EQ(mounts[0].mountPoint, "/mnt/a b");
    EXPECT_EQ(mounts[0].options, (std::vector<std::string>{"rw", "noatime"}));
    EXPECT_EQ(mounts[0].fileSystem, "ext3");
    EXPECT_EQ(mounts[0].source, "/dev/root");
    EXPECT_EQ(mounts[0].superOptions, (std::vector<std::string>{"rw", "errors=continue"}));
    EXPECT_EQ(mounts[1].mountPoint, "/z\\");
    EXPECT_TRUE(mounts[1].superOptions.empty());
}

TEST(MountInfo, DriveTypeRule) {
    struct Case {
        const char* fileSystem;
        const char* source;
        const char* mountPoint;
        uint32_t major;
        bool removable;
        std::optional<uint32_t> type;
    };
    const Case cases[] = {
        {"ext4", "/dev/sda1", "/", 8, false, 3},
        {"vfat", "/dev/sdb1", "/media/stick", 8, true, 2},
        {"iso9660", "/dev/sr0", "/mnt/cd", 11, true, 5},
        {"udf", "/dev/sdc", "/mnt/bd", 8, false, 5},
        {"nfs4", "nas:/export", "/home", 0, false, 4},
        {"cifs", "//fs/share", "/mnt/share", 0, false, 4},
        {"fuse.sshfs", "me@host:", "/mnt/ssh", 0, false, 4},
        {"tmpfs", "tmpfs", "/scratch", 0, false, 6},
        {"tmpfs", "tmpfs", "/run/user/1000", 0, false, std::nullopt},
        {"tmpfs", "tmpfs", "/dev/shm", 0, false, std::nullopt},
        {"tmpfs", "tmpfs", "/devices", 0, false, 6},  // only /dev itself and below it are the system's
        {"proc", "proc", "/proc", 0, false, std::nullopt},
        {"cgroup2", "cgroup2", "/sys/fs/cgroup", 0, false, std::nullopt},
        {"overlay", "overlay", "/var/lib/docker/overlay2/x/merged", 0, false, std::nullopt},
        {"squashfs", "/dev/loop0", "/snap/core20/1", 7, false, std::nullopt},
        {"devtmpfs", "udev", "/dev", 0, false, std::nullopt},
        {"btrfs", "/dev/sda2", "/home", 0, false, 3},  // an anonymous device number, a device source
    };
    for (const Case& c : cases) {
        mounts::Mount mount;
        mount.fileSystem = c.fileSystem;
        mount.source = c.source;
        mount.mountPoint = c.mountPoint;
        mount.major = c.major;
        EXPECT_EQ(mounts::DriveType(mount, c.removable), c.type) << c.fileSystem << " " << c.mountPoint;
    }
}

// ---- network tables

TEST(NetTables, ProcRouteByHeaderNames) {
    const auto routes = net::ParseProcRoute(
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "eth0\t00000000\t010200C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
        "eth0\tZZ\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"         // not hexadecimal
        "eth0\t000200C0\t00000000\t0001\t0\t0\t-1\t00FFFFFF\t0\t0\t0\n"  // negative metric
        "eth0\t000200C0\n");                                             // short
    ASSERT_EQ(routes.size(), 2u);
    EXPECT_EQ(net::DottedQuad(routes[0].gateway), "192.0.2.1");
    EXPECT_EQ(routes[0].metric, 100u);
    EXPECT_EQ(net::DottedQuad(routes[1].destination), "192.0.2.0");
    EXPECT_EQ(net::DottedQuad(routes[1].mask), "255.255.255.0");
    EXPECT_FALSE(routes[1].protocol.has_value());
    EXPECT_TRUE(net::ParseProcRoute("eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\n").empty());
}

TEST(NetTables, RouteTypeByFlags) {
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0x0001, 3}, {0x0003, 4}, {0x0007, 4}, {0x0005, 3}, {0x0201, 2}, {0x0203, 2},
    };
    for (auto [flags, type] : cases) EXPECT_EQ(net::RouteTypeCode(flags), type) << std::hex << flags;
}

TEST(NetTables, ProtocolNamesSkipHeaderAndMalformedLines) {
    EXPECT_EQ(net::ParseProtocols("protocol  size sockets  memory press maxhdr  slab module     cl co\n"
                                  "TCP       2304      1      90   no     192   yes  kernel      y  y\n"
                                  "broken\n"
                                  "UDP       x      0       0   NI       0   yes  kernel      y  y\n"
                                  "UNIX-STREAM 1152      3      -1   NI       0   yes  kernel      y  n\n"),
              (std::vector<std::string>{"TCP", "UNIX-STREAM"}));
    EXPECT_TRUE(net::ParseProtocols("TCP       2304      1      90   no     192   yes  kernel\n").empty());
}

// ---- storage controller class codes

TEST(StorageControllers, RoleByClassCode) {
    struct Case {
        uint32_t classCode;
        std::optional<bool> ide;
        uint16_t protocol;
    };
    const Case cases[] = {
        {0x010180, true, 37},        {0x01018a, true, 37},        {0x010601, true, 6},
        {0x010000, false, 2},        {0x010400, false, 2},        {0x010700, false, 11},
        {0x010802, false, 5},        {0x018000, false, 2},        {0x010200, std::nullopt, 0},
        {0x010500, std::nullopt, 0}, {0x020000, std::nullopt, 0}, {0x030000, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const auto role = pci::StorageControllerRole(c.classCode);
        ASSERT_EQ(role.has_value(), c.ide.has_value()) << std::hex << c.classCode;
        if (!role) continue;
        EXPECT_EQ(role->ide, *c.ide) << std::hex << c.classCode;
        EXPECT_EQ(role->protocol, c.protocol) << std::hex << c.classCode;
    }
}

// ---- the classes over the captured machines

TEST(LogicalDisks, CapturedTreeGivesDrivesWithNullSizes) {
    const auto disks = EnumerateWin32_LogicalDisk(Machine("server-storage"));
    std::vector<std::string> ids;
    for (const auto& d : disks) ids.push_back(Text(d, "DeviceID") + "=" + Text(d, "DriveType"));
    // No proc, sysfs, devtmpfs, overlay or bind mount of a directory.
    EXPECT_EQ(ids, (std::vector<std::string>{"/=3", "/boot=3", "/data=3", "/scratch=6", "/home=4", "/mnt/share=4",
                                             "/mnt/usb=2", "/mnt/cdrom=5"}));
    for (const auto& d : disks)
        for (const char* size : {"Size", "FreeSpace", "BlockSize", "NumberOfBlocks"})
            EXPECT_TRUE(d.Get(size).IsNull()) << Text(d, "DeviceID") << " " << size;
    const Instance* data = Find(disks, "DeviceID", "/data");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Text(*data, "VolumeName"), "data");
    EXPECT_EQ(Text(*data, "VolumeSerialNumber"), "9d8c7b6a-5f4e-4d3c-8b2a-1f0e9d8c7b6a");
    EXPECT_EQ(Text(*data, "QuotasDisabled"), "False");
    // Through /dev/mapper/rhel-root, the node the UUID link names.
    EXPECT_EQ(Text(*Find(disks, "DeviceID", "/"), "VolumeSerialNumber"), "0b1e7a4c-9f2d-4e8b-a1c3-5d6e7f809a1b");
    EXPECT_EQ(Text(*Find(disks, "DeviceID", "/boot"), "QuotasDisabled"), "True");
    EXPECT_EQ(Text(*Find(disks, "DeviceID", "/home"), "ProviderName"), "nas01.lab.example.net:/export/home");
    EXPECT_TRUE(Find(disks, "DeviceID", "/mnt/usb")->Get("ProviderName").IsNull());
    EXPECT_EQ(Text(*Find(disks, "DeviceID", "/mnt/cdrom"), "Access"), "1");
}

TEST(LogicalDisks, LiveSourcesGiveSizesAndProbedLabels) {
    FakeLive live;
    ProviderContext laptop = Machine("laptop-usb");
    laptop.live = &live;
    const auto disks = EnumerateWin32_LogicalDisk(laptop);
    const Instance* root = Find(disks, "DeviceID", "/");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Text(*root, "Size"), "4096000");
    EXPECT_EQ(Text(*root, "FreeSpace"), "1024000");
    EXPECT_EQ(Text(*root, "NumberOfBlocks"), "1000");
    EXPECT_EQ(Text(*root, "MaximumComponentLength"), "255");
    EXPECT_EQ(Text(*root, "VolumeName"), "probed");  // the probe before the link names
    EXPECT_EQ(Text(*root, "VolumeSerialNumber"), "3f6c8a51-5b8e-4c55-9d0b-6a1a8e2f7c01");
    const Instance* stick = Find(disks, "DeviceID", "/media/alex/SAN DISK");
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(Text(*stick, "DriveType"), "2");
    EXPECT_EQ(Text(*stick, "VolumeName"), "SAN DISK");
    EXPECT_TRUE(stick->Get("Size").IsNull());  // statvfs failed: null, not 0
}

// A network mount whose server is gone: its statvfs blocks until the test
// lets it go.
class HungHome : public FakeLive {
public:
    std::optional<FileSystemUsage> Usage(const std::string& mountPoint, SourceNotes* notes) const override {
        if (mountPoint != "/home") return FakeLive::Usage(mountPoint, notes);
        std::unique_lock<std::mutex> guard(FLock);
        FChanged.wait(guard, [&] { return FReleased; });
        return FileSystemUsage{1024, 50, 10, 255};
    }
    void Release() {
        std::lock_guard<std::mutex> guard(FLock);
        FReleased = true;
        FChanged.notify_all();
    }

private:
    mutable std::mutex FLock;
    mutable std::condition_variable FChanged;
    bool FReleased = false;
};

TEST(LogicalDisks, AMountThatDoesNotAnswerHasNullSizesAndANote) {
    HungHome hung;
    // The hung call never returns before the test says, so the first query
    // waits out the whole deadline: long enough that the mount that answers
    // does so in time on a loaded machine, short enough for one wait.
    BoundedUsage bounded(hung, std::chrono::seconds(3));
    ProviderContext server = Machine("server-storage");
    server.live = &bounded;
    const cimv2::Provider provider(server);
    const SourceNote said{"Win32_LogicalDisk", NoteCause::NotAnswering, "/home"};
    // Asked again while the first call still blocks, the mount is not waited for.
    for (int query = 0; query < 2; ++query) {
        const auto result = provider.ExecQuery("SELECT * FROM Win32_LogicalDisk");
        const Instance* home = Find(result.instances, "DeviceID", "/home");
        ASSERT_NE(home, nullptr);
        EXPECT_TRUE(home->Get("Size").IsNull()) << query;
        EXPECT_EQ(Text(*Find(result.instances, "DeviceID", "/"), "Size"), "4096000") << query;
        EXPECT_EQ(result.notes, std::vector<SourceNote>{said}) << query;
        EXPECT_EQ(bounded.Blocked(), 1u) << query;
    }
    hung.Release();
    bounded.WaitUntilNoneBlocked();
    const auto result = provider.ExecQuery("SELECT * FROM Win32_LogicalDisk");
    EXPECT_EQ(Text(*Find(result.instances, "DeviceID", "/home"), "Size"), "51200");
    EXPECT_TRUE(result.notes.empty());
    EXPECT_EQ(NoteText(said), "Win32_LogicalDisk: some values are null: no answer in time from /home");
}

TEST(IP4Routes, LiveRoutesCarryTheirOrigin) {
    FakeLive live;
    net::Ip4Route dhcp;
    dhcp.gateway = 0x010200C0;
    dhcp.flags = 0x3;
    dhcp.interfaceIndex = 2;
    dhcp.protocol = 16;  // RTPROT_DHCP
    net::Ip4Route kernel;
    kernel.destination = 0x000200C0;
    kernel.mask = 0x00FFFFFF;
    kernel.flags = 0x1;
    kernel.protocol = 2;
    net::Ip4Route bgp = kernel;
    bgp.protocol = 186;
    live.routes = std::vector<net::Ip4Route>{dhcp, kernel, bgp};
    ProviderContext laptop = Machine("laptop-usb");
    laptop.live = &live;
    const auto routes = EnumerateWin32_IP4RouteTable(laptop);
    ASSERT_EQ(routes.size(), 3u);
    EXPECT_EQ(Text(routes[0], "NextHop"), "192.0.2.1");
    EXPECT_EQ(Text(routes[0], "Protocol"), "1");
    EXPECT_EQ(Text(routes[0], "Type"), "4");
    EXPECT_EQ(Text(routes[0], "InterfaceIndex"), "2");
    EXPECT_EQ(Text(routes[1], "Protocol"), "2");
    EXPECT_EQ(Text(routes[1], "Type"), "3");
    EXPECT_EQ(Text(routes[2], "Protocol"), "14");
    EXPECT_TRUE(routes[1].Get("InterfaceIndex").IsNull());
}

TEST(IP4Routes, ProcRouteOfATree) {
    const auto routes = EnumerateWin32_IP4RouteTable(Machine("server-storage"));
    ASSERT_EQ(routes.size(), 5u);
    EXPECT_EQ(Text(routes[0], "Destination"), "0.0.0.0");
    EXPECT_EQ(Text(routes[0], "NextHop"), "10.0.0.1");
    EXPECT_EQ(Text(routes[0], "InterfaceIndex"), "2");
    EXPECT_EQ(Text(routes[0], "Metric1"), "100");
    EXPECT_EQ(Text(routes[0], "Metric2"), "-1");
    EXPECT_TRUE(routes[0].Get("Protocol").IsNull());
    EXPECT_TRUE(routes[0].Get("Age").IsNull());
    EXPECT_EQ(Text(routes[3], "Mask"), "255.255.255.255");
    EXPECT_EQ(Text(routes[4], "Type"), "2");                // blackhole
    EXPECT_TRUE(routes[4].Get("InterfaceIndex").IsNull());  // "*": no interface
}

TEST(StorageControllers, ServerFilesSataAsIdeAndSasNvmeAsScsi) {
    const ProviderContext server = Machine("server-storage");
    const auto ide = EnumerateWin32_IDEController(server);
    ASSERT_EQ(ide.size(), 1u);
    EXPECT_EQ(Text(ide[0], "Name"), "C620 Series Chipset Family SSATA Controller [AHCI mode]");
    EXPECT_EQ(Text(ide[0], "MaxNumberControlled"), "6");
    const auto scsi = EnumerateWin32_SCSIController(server);
    ASSERT_EQ(scsi.size(), 2u);
    EXPECT_EQ(Text(scsi[0], "DriverName"), "mpt3sas");
    EXPECT_EQ(Text(scsi[0], "Manufacturer"), "Broadcom / LSI");
    EXPECT_EQ(Text(scsi[0], "ProtocolSupported"), "11");
    EXPECT_EQ(Text(scsi[0], "Availability"), "3");
    EXPECT_EQ(Text(scsi[1], "DriverName"), "nvme");
    EXPECT_EQ(Text(scsi[1], "DeviceID").rfind("PCI\\VEN_8086&DEV_0A54", 0), 0u);
}

TEST(VideoControllers, ModeWhileAConnectorShowsAndNullWithout) {
    const auto laptop = EnumerateWin32_VideoController(Machine("laptop-usb"));
    ASSERT_EQ(laptop.size(), 1u);
    EXPECT_EQ(Text(laptop[0], "CurrentHorizontalResolution"), "1920");
    EXPECT_EQ(Text(laptop[0], "CurrentVerticalResolution"), "1080");
    EXPECT_EQ(Text(laptop[0], "CurrentBitsPerPixel"), "32");
    EXPECT_EQ(Text(laptop[0], "AdapterRAM"), "268435456");  // the 256 MiB prefetchable BAR, not the 16 MiB one
    EXPECT_EQ(Text(laptop[0], "DriverVersion"), "6.1.0-28-amd64");
    EXPECT_EQ(Text(laptop[0], "VideoArchitecture"), "5");
    const auto server = EnumerateWin32_VideoController(Machine("server-storage"));
    ASSERT_EQ(server.size(), 1u);
    for (const char* name : {"CurrentHorizontalResolution", "CurrentVerticalResolution", "CurrentBitsPerPixel",
                             "CurrentRefreshRate", "VideoModeDescription"})
        EXPECT_TRUE(server[0].Get(name).IsNull()) << name;
    EXPECT_EQ(Text(server[0], "AdapterRAM"), "16777216");
    EXPECT_EQ(Text(server[0], "InstalledDisplayDrivers"), "mgag200");
}

TEST(USBHubs, RootAndExternalHubsNamedFromUsbIds) {
    const auto hubs = EnumerateWin32_USBHub(Machine("laptop-usb"));
    std::vector<std::string> rows;
    for (const auto& h : hubs)
        rows.push_back(Text(h, "DeviceID") + " | " + Text(h, "Name") + " | " + Text(h, "USBVersion") + " | " +
                       Text(h, "NumberOfPorts") + " | " + Text(h, "ProtocolCode"));
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "USB\\VID_05E3&PID_0610\\1-2 | Hub | 528 | 4 | 2",
                        "USB\\VID_05E3&PID_0626\\2-1 | Hub | 800 | 4 | 3",
                        "USB\\VID_1D6B&PID_0002\\0000:00:14.0 | 2.0 root hub | 512 | 12 | 1",
                        "USB\\VID_1D6B&PID_0003\\0000:00:14.0 | 3.0 root hub | 784 | 4 | 3",
                    }));
}

TEST(NetworkProtocols, TheKernelsProtocolsThatTheTableKnows) {
    const auto protocols = EnumerateWin32_NetworkProtocol(Machine("server-storage"));
    const Instance* tcp = Find(protocols, "Name", "TCP");
    const Instance* udp6 = Find(protocols, "Name", "UDPv6");
    ASSERT_NE(tcp, nullptr);
    ASSERT_NE(udp6, nullptr);
    EXPECT_EQ(Text(*tcp, "GuaranteesDelivery"), "True");
    EXPECT_EQ(Text(*tcp, "MaximumMessageSize"), "0");
    EXPECT_EQ(Text(*udp6, "ConnectionlessService"), "True");
    EXPECT_EQ(Text(*udp6, "SupportsBroadcasting"), "False");  // IPv6 has no broadcast
    EXPECT_EQ(Text(*udp6, "MaximumAddressSize"), "28");
    EXPECT_EQ(Find(protocols, "Name", "NETLINK"), nullptr);
}
