// Win32_OperatingSystem over machine trees, and Reboot: refused without
// the system-actions seam, recorded by a fake with it, and logind's
// answers mapped to WMI's codes. Nothing here talks to the real logind.
#include <gtest/gtest.h>

#include <string>

#include "cimv2/provider/Provider.h"
#include "cimv2/sources/LogindActions.h"
#include "tests/support/ComponentFakes.h"
#include "tests/support/Fixtures.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

namespace {

Instance System(const ProviderContext& context) {
    auto found = Provider(context).ExecQuery("SELECT * FROM Win32_OperatingSystem").instances;
    EXPECT_EQ(found.size(), 1u);
    return found.empty() ? Instance() : found[0];
}

ProviderContext At(const std::string& root, int64_t moment) {
    return ProviderContext(SystemRoot(root), nullptr, [moment] { return moment; });
}

TEST(OperatingSystemClass, MemoryBootAndClockFromTheTree) {
    TempTree tree;
    tree.File("/etc/os-release", "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n")
        .File("/proc/sys/kernel/ostype", "Linux\n")
        .File("/proc/sys/kernel/osrelease", "6.1.0-18-amd64\n")
        .File("/proc/sys/kernel/version", "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)\n")
        .File("/proc/meminfo",
              "MemTotal:       65536000 kB\nMemFree:  1000 kB\nMemAvailable:   5000000000 kB\n"
              "SwapTotal:       2097148 kB\nSwapFree:        2000000 kB\n")
        .File("/proc/swaps", "Filename\tType\tSize\tUsed\tPriority\n/dev/sda3 partition\t2097148\t97148\t-2\n")
        .File("/proc/stat", "cpu0 1 1 1 1\nbtime 1704443412\n")  // 2024-01-05 08:30:12 UTC
        .File("/proc/mounts", "/dev/nvme0n1p2 / ext4 rw 0 0\n/dev/nvme0n1p1 /boot/efi vfat rw 0 0\n")
        .File("/proc/sys/kernel/pid_max", "4194304\n")
        .File("/proc/sys/kernel/threads-max", "254358\n")
        .File("/etc/default/locale", "LANG=en_US.UTF-8\n")
        .File("/run/systemd/sessions/3", "USER=anna\nCLASS=user\nSTATE=active\n")
        .File("/run/systemd/sessions/3.ref", "")
        .File("/run/systemd/sessions/c1", "CLASS=greeter\n")
        .File("/run/systemd/sessions/7", "CLASS=user\nSTATE=closing\n")
        .File("/proc/1/comm", "")
        .File("/proc/42/comm", "");
    const Instance os = System(At(tree.Dir(), 1721044800));  // 2024-07-15 12:00 UTC
    EXPECT_EQ(os.Get("Caption"), Value::Text("Debian GNU/Linux 12 (bookworm)"));
    EXPECT_EQ(os.Get("Name"), Value::Text("Debian GNU/Linux 12 (bookworm)|/|/dev/nvme0n1p2"));
    EXPECT_EQ(os.Get("OSType"), Value::UInt(36));
    EXPECT_EQ(os.Get("Version"), Value::Text("6.1.0-18-amd64"));
    EXPECT_EQ(os.Get("BuildNumber"), Value::Text("1"));
    EXPECT_EQ(os.Get("BootDevice"), Value::Text("/dev/nvme0n1p1"));
    EXPECT_EQ(os.Get("SystemDevice"), Value::Text("/dev/nvme0n1p2"));
    // Sizes in KB, above 32 bits whole; available memory as `free` shows it.
    EXPECT_EQ(os.Get("TotalVisibleMemorySize"), Value::UInt(65536000));
    EXPECT_EQ(os.Get("FreePhysicalMemory"), Value::UInt(5000000000));
    EXPECT_EQ(os.Get("TotalVirtualMemorySize"), Value::UInt(65536000 + 2097148));
    EXPECT_EQ(os.Get("FreeVirtualMemory"), Value::UInt(5000000000 + 2000000));
    EXPECT_EQ(os.Get("SizeStoredInPagingFiles"), Value::UInt(2097148));
    EXPECT_EQ(os.Get("FreeSpaceInPagingFiles"), Value::UInt(2000000));
    // No /etc/localtime: the C library's local time is UTC, with no zone to report.
    EXPECT_EQ(os.Get("LastBootUpTime"), Value::Text("20240105083012.000000+000"));
    EXPECT_EQ(os.Get("LocalDateTime"), Value::Text("20240715120000.000000+000"));
    EXPECT_TRUE(os.Get("CurrentTimeZone").IsNull());
    EXPECT_TRUE(os.Get("InstallDate").IsNull()) << "a tree keeps no birth time";
    EXPECT_EQ(os.Get("NumberOfProcesses"), Value::UInt(2));
    EXPECT_EQ(os.Get("NumberOfUsers"), Value::UInt(1)) << "a greeter and a closing session are no users";
    EXPECT_EQ(os.Get("MaxNumberOfProcesses"), Value::UInt(254358));
    EXPECT_EQ(os.Get("Locale"), Value::Text("0409"));
    EXPECT_EQ(os.Get("OSLanguage"), Value::UInt(1033));
    EXPECT_EQ(os.Get("CountryCode"), Value::Text("1"));
    EXPECT_EQ(os.Get("CodeSet"), Value::Text("65001"));
    EXPECT_EQ(os.Get("MUILanguages").items.at(0), Value::Text("en-US"));
    for (const char* none : {"SerialNumber", "OperatingSystemSKU", "RegisteredUser", "Organization", "ProductType",
                             "ServicePackMajorVersion", "WindowsDirectory", "Manufacturer"})
        EXPECT_TRUE(os.Get(none).IsNull()) << none;
}

// Memory and swap at the limits of what meminfo can say: a total that does
// not fit is null, never wrapped.
TEST(OperatingSystemClass, VirtualMemoryTotalsThatDoNotFitAreNull) {
    const std::string max = std::to_string(UINT64_MAX);
    const struct {
        std::string meminfo;
        Value total, free;
    } cases[] = {
        {"MemTotal: 100 kB\nMemAvailable: 40 kB\nSwapTotal: 20 kB\nSwapFree: 5 kB\n", Value::UInt(120),
         Value::UInt(45)},
        {"MemTotal: " + max + " kB\nMemAvailable: " + max + " kB\nSwapTotal: 1 kB\nSwapFree: 1 kB\n", Value::Null(),
         Value::Null()},
        {"MemTotal: " + max + " kB\nMemAvailable: 40 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n", Value::UInt(UINT64_MAX),
         Value::UInt(40)},
    };
    for (const auto& c : cases) {
        TempTree tree;
        tree.File("/etc/os-release", "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n")
            .File("/proc/sys/kernel/ostype", "Linux\n")
            .File("/proc/sys/kernel/osrelease", "6.1.0-18-amd64\n")
            .File("/proc/meminfo", c.meminfo);
        const Instance os = System(At(tree.Dir(), 1721044800));
        EXPECT_EQ(os.Get("TotalVirtualMemorySize"), c.total) << c.meminfo;
        EXPECT_EQ(os.Get("FreeVirtualMemory"), c.free) << c.meminfo;
    }
}

TEST(OperatingSystemClass, LocalesMapToWindowsNumbers) {
    struct Case {
        const char* lang;
        const char* locale;
        const char* country;
        const char* codeSet;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", "0407", "49", "65001"},     {"fr_CA.ISO-8859-1", "0C0C", "2", "28591"},
        {"C.UTF-8", "007F", nullptr, "65001"},      {"pt_BR", "0416", "55", nullptr},
        {"xx_YY.UTF-8", nullptr, nullptr, "65001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lang);
        TempTree tree;
        tree.File("/proc/sys/kernel/ostype", "Linux\n").File("/etc/locale.conf", std::string("LANG=") + c.lang + "\n");
        const Instance os = System(At(tree.Dir(), 0));
        auto text = [](const char* t) { return t ? Value::Text(t) : Value::Null(); };
        EXPECT_EQ(os.Get("Locale"), text(c.locale));
        EXPECT_EQ(os.Get("CountryCode"), text(c.country));
        EXPECT_EQ(os.Get("CodeSet"), text(c.codeSet));
    }
}

TEST(OperatingSystemClass, ZoneOffsetsFollowTheFixtureMoment) {
    // Europe/Berlin in July: summer time, +120 now; the boot time keeps its own offset.
    const auto machine = std::filesystem::path(SYSQUILL_FIXTURES) / "virtualbox-guest";
    TempTree tree;
    std::ifstream zone(machine / "tree/etc/localtime", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(zone)), std::istreambuf_iterator<char>());
    tree.File("/etc/localtime", bytes).File("/proc/sys/kernel/ostype", "Linux\n");
    tree.File("/proc/stat", "btime 1704443412\n");  // January: winter time
    const Instance os = System(At(tree.Dir(), testsupport::FixtureMoment(machine)));
    EXPECT_EQ(os.Get("CurrentTimeZone"), Value::Int(120));
    EXPECT_EQ(os.Get("LocalDateTime"), Value::Text("20260715140000.000000+120"));
    EXPECT_EQ(os.Get("LastBootUpTime"), Value::Text("20240105093012.000000+060"));
}

TEST(OperatingSystemClass, RebootIsRefusedWithoutActionsAndRecordedWithThem) {
    TempTree tree;
    tree.File("/proc/sys/kernel/ostype", "Linux\n");
    const Instance target = System(At(tree.Dir(), 0));
    auto returnValue = [&](SystemActions* actions) {
        Provider provider(ProviderContext(SystemRoot(tree.Dir()), actions));
        const ParamList out = provider.ExecMethod("Win32_OperatingSystem", target, "Reboot", {});
        EXPECT_EQ(out.at(0).first, "ReturnValue");
        return out.at(0).second;
    };
    EXPECT_EQ(returnValue(nullptr), Value::UInt(reboot::AccessDenied)) << "a captured tree is never rebooted";

    compfake::RecordingActions actions;
    EXPECT_EQ(returnValue(&actions), Value::UInt(0));
    EXPECT_EQ(actions.reboots, 1);
    actions.answer = reboot::AccessDenied;
    EXPECT_EQ(returnValue(&actions), Value::UInt(reboot::AccessDenied)) << "the action's code comes back unchanged";
    EXPECT_EQ(actions.reboots, 2);
}

TEST(OperatingSystemClass, LogindAnswersMapToWmiCodes) {
    struct Case {
        LogindBusReply reply;
        uint32_t code;
    };
    const Case cases[] = {
        {{0, "", ""}, reboot::Success},
        {{-EACCES, "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
          "Interactive authentication required."},
         reboot::AccessDenied},
        {{-EPERM, "", ""}, reboot::AccessDenied},
        {{-ENOENT, "", "cannot open the system bus"}, reboot::NotAvailable},
        {{-EHOSTDOWN, "org.freedesktop.DBus.Error.ServiceUnknown", ""}, reboot::NotAvailable},
        {{-EBUSY, "org.freedesktop.login1.OperationInProgress", ""}, reboot::Failed},
    };
    for (const Case& c : cases) {
        int calls = 0;
        SystemdActions actions(nullptr, [&] {
            ++calls;
            return c.reply;
        });
        EXPECT_EQ(actions.Reboot(), c.code) << c.reply.errorName << " " << c.reply.status;
        EXPECT_EQ(calls, 1);
    }
    EXPECT_EQ(SystemdActions(nullptr, nullptr).Reboot(), reboot::NotAvailable);
}

}  // namespace
