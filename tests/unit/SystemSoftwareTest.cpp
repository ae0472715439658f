// The system software classes: their parsers of package, group, unit and
// module files on good and damaged input, and each class over the captured
// workstation, whose expected values were read off dpkg-query --admindir,
// modinfo -b, getent/the group file and zdump -v over the same files.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cimv2/provider/Provider.h"
#include "cimv2/sources/Groups.h"
#include "cimv2/sources/KernelModules.h"
#include "cimv2/sources/KeyFiles.h"
#include "cimv2/sources/Packages.h"
#include "cimv2/sources/TimeZone.h"
#include "cimv2/sources/UnitFileText.h"
#include "tests/support/Fixtures.h"
#include "tests/support/InstanceText.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

using testsupport::Named;
using testsupport::Text;

namespace {

const std::string kWorkstation = std::string(SYSQUILL_FIXTURES) + "/debian-workstation";

std::vector<Instance> Query(const std::string& machine, const std::string& cls) {
    return Provider(testsupport::FixtureContext(std::string(SYSQUILL_FIXTURES) + "/" + machine))
        .ExecQuery("SELECT * FROM " + cls)
        .instances;
}

}  // namespace

// ---- parsers

TEST(DpkgStatus, KeepsPackagesOnDiskAndReadsContinuedFields) {
    const auto packages = ParseDpkgStatus(
        "Package: a\nStatus: install ok installed\nArchitecture: amd64\nVersion: 1:2.0-1\n"
        "Maintainer: Ann Example <ann@example.org>\nDepends: python3 (>= 3.11~),\n python3.11 | python3.12,"
        " libc6:any\nPre-Depends: perl\n\r\n"
        "Package: gone\nStatus: deinstall ok config-files\nVersion: 1\n\n"
        "Package: purged\nStatus: purge ok not-installed\n\n"
        "Package: half\nStatus: install reinstreq half-installed\nVersion: 2\n\n"
        "Status: install ok installed\nVersion: 3\n\n"            // no Package
        "Package: bad-status\nStatus: installed\n\n"              // not three words
        "Package: no-status\nVersion: 4\n\n"                      // no Status
        "Package: last\nStatus: hold ok installed\nVersion: 5");  // no final blank line
    ASSERT_EQ(packages.size(), 3u);
    EXPECT_EQ(packages[0].name, "a");
    EXPECT_EQ(packages[0].version, "1:2.0-1");
    EXPECT_EQ(MaintainerName(packages[0].maintainer), "Ann Example");
    ASSERT_EQ(packages[0].depends.size(), 4u);
    EXPECT_EQ(packages[0].depends[0].package, "python3");
    EXPECT_EQ(packages[0].depends[0].constraint, ">= 3.11~");
    EXPECT_EQ(packages[0].depends[1].package, "python3.11");
    EXPECT_EQ(packages[0].depends[2].package, "libc6");
    EXPECT_EQ(packages[0].depends[3].package, "perl");
    EXPECT_EQ(packages[1].name, "half");
    EXPECT_EQ(packages[2].name, "last");
    EXPECT_TRUE(ParseDpkgStatus("").empty());
    EXPECT_TRUE(ParseDpkgStatus("\n\n: \n:\nPackage:\nStatus: a b installed\n").empty());
}

TEST(DpkgStatus, RuntimePackages) {
    for (const char* yes : {"python3", "python3.11", "perl", "openjdk-17-jre-headless", "openjdk-21-jre", "default-jre",
                            "dotnet-runtime-8.0", "ruby3.1", "lua5.4", "php8.2-cli", "nodejs"})
        EXPECT_TRUE(IsRuntimePackage(yes)) << yes;
    for (const char* no : {"python3-apt", "python3.", "python3.x", "openjdk-17-jdk", "openjdk--jre", "rubygems",
                           "php8.2", "perl-base", "dotnet-runtime-", ""})
        EXPECT_FALSE(IsRuntimePackage(no)) << no;
}

TEST(GroupFile, ReadsNameAndGidAndSkipsDamagedLines) {
    const auto groups = ParseGroupFile(
        "root:x:0:\nadm:x:4:ana,ben\n+nisgroup::::\n-other\n#comment:x:5:\n:x:6:\nshort:x\n"
        "neg:x:-1:\nbig:x:4294967296:\nblank:x: 7 :\nlast:x:1000:");
    const std::vector<GroupEntry> expected = {{"root", 0}, {"adm", 4}, {"last", 1000}};
    EXPECT_EQ(groups, expected);
}

TEST(KeyFiles, SectionsAndContinuations) {
    const KeyFile f = KeyFile::Parse(
        "Stray=1\n[Unit]\n# comment\n; other\nDescription = First\nDescription=Second\n"
        "After=a.target \\\n  b.target\n"
        "NoEquals\n=novalue\n[Service]\nExecStart=/bin/true\n[Broken\nKey=v\n");
    EXPECT_EQ(f.Value("Unit", "Description"), "Second");
    EXPECT_EQ(f.Value("Unit", "Stray"), "");
    EXPECT_EQ(f.Value("Unit", "After"), "a.target  b.target");
    EXPECT_EQ(f.Value("Service", "ExecStart"), "/bin/true");
    EXPECT_EQ(f.Value("Broken", "Key"), "") << "a header without its bracket opens no section";
    EXPECT_EQ(f.Value("", "Key"), "");
    EXPECT_TRUE(KeyFile::Parse("").Entries().empty());
    EXPECT_TRUE(KeyFile::Parse("[A]\nK=v \\").Entries().size() == 1);
}

TEST(UnitFileText, LastValuesAndListsWithEmptyingAssignments) {
    const auto unit = ReadUnitFile(
        "[Unit]\nDescription = First\nDescription=Second\nAfter=a.target \\\n  b.target\nAfter=c.target\n"
        "Wants=x.service\nWants=\nWants=y.service\tz.service \n[Service]\nUser=web\nUser=\nExecStart=/bin/true\n");
    EXPECT_EQ(UnitValue(unit, "Unit", "Description"), "Second");
    EXPECT_EQ(UnitValue(unit, "Service", "User"), "") << "an empty assignment resets the key";
    EXPECT_EQ(UnitValue(unit, "Unit", "ExecStart"), "") << "a key of another section";
    EXPECT_EQ(UnitWords(unit, "Unit", "After"), (std::vector<std::string>{"a.target", "b.target", "c.target"}));
    EXPECT_EQ(UnitWords(unit, "Unit", "Wants"), (std::vector<std::string>{"y.service", "z.service"}));
    EXPECT_TRUE(UnitWords(unit, "Unit", "Requires").empty());
}

TEST(KernelModules, ProcModulesAndModulesLoad) {
    const auto modules = ParseProcModules(
        "snd_hda_codec 204800 2 snd_hda_intel,snd_hda_codec_generic, Live 0xffffffffc0a00000\n"
        "loop 40960 0 - Loading 0x0\nbad 1 x - Live 0x0\nshort 1 0\nodd 1 0 - Sleeping 0x0\n"
        "../x 1 0 - Live 0x0\nbig 1 4294967296 - Live 0x0\n");
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_EQ(modules[0].name, "snd_hda_codec");
    EXPECT_EQ(modules[0].refcount, 2u);
    EXPECT_TRUE(modules[0].hasHolders);
    EXPECT_EQ(modules[1].state, "Loading");
    EXPECT_FALSE(modules[1].hasHolders);
    EXPECT_EQ(ParseModulesLoad("# c\n; c\n\n  loop\nsnd-aloop index=2\n"),
              (std::vector<std::string>{"loop", "snd_aloop"}));
}

// The rules of the captured zone files, as zdump -v shows their transitions
// (Berlin: last Sunday of March 01:00 UTC; Sydney: first Sunday of October
// 02:00 local standard time, back on the first Sunday of April 03:00).
TEST(ZoneRules, FooterRulesOfNorthSouthAndPlainZones) {
    struct Case {
        const char* machine;
        int32_t standard;
        const char* standardName;
        const char* daylightName;
        int32_t daylight;
        tz::TransitionRule starts, ends;
    };
    const Case cases[] = {
        {"virtualbox-guest", 3600, "CET", "CEST", 7200, {3, 5, 0, 7200}, {10, 5, 0, 10800}},
        {"debian-workstation", 36000, "AEST", "AEDT", 39600, {10, 1, 0, 7200}, {4, 1, 0, 10800}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        SystemRoot root(std::string(SYSQUILL_FIXTURES) + "/" + c.machine + "/tree");
        auto rule = tz::RuleOf(*root.ReadFile("/etc/localtime"));
        ASSERT_TRUE(rule);
        EXPECT_EQ(rule->standardOffsetSeconds, c.standard);
        EXPECT_EQ(rule->standardName, c.standardName);
        EXPECT_EQ(rule->daylightName, c.daylightName);
        EXPECT_EQ(rule->daylightOffsetSeconds, c.daylight);
        ASSERT_TRUE(rule->daylightStart && rule->standardStart);
        for (auto [got, want] : {std::pair{*rule->daylightStart, c.starts}, std::pair{*rule->standardStart, c.ends}}) {
            EXPECT_EQ(got.month, want.month);
            EXPECT_EQ(got.week, want.week);
            EXPECT_EQ(got.weekday, want.weekday);
            EXPECT_EQ(got.time, want.time);
        }
    }
    SystemRoot utc(std::string(SYSQUILL_FIXTURES) + "/this-vm/tree");
    auto plain = tz::RuleOf(*utc.ReadFile("/etc/localtime"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->standardName, "UTC");
    EXPECT_FALSE(plain->daylightName);
    EXPECT_FALSE(tz::RuleOf("TZif"));
    EXPECT_FALSE(tz::RuleOf(""));
}

// ---- classes over the captured machines

// Each row: machine, Caption, Bias, StandardName, then the standard and
// daylight Month/Day/DayOfWeek/Hour and DaylightBias.
TEST(TimeZoneClass, OneInstanceFromTheZoneFile) {
    struct Case {
        const char* machine;
        const char* caption;
        const char* bias;
        const char* standardName;
        const char* daylightName;
        const char* standard;  // month day dayOfWeek hour minute second
        const char* daylight;
        const char* daylightBias;
    };
    const Case cases[] = {
        {"virtualbox-guest", "(UTC+01:00) Europe/Berlin", "60", "CET", "CEST", "10 5 0 3 0 0", "3 5 0 2 0 0", "-60"},
        {"debian-workstation", "(UTC+10:00) Australia/Sydney", "600", "AEST", "AEDT", "4 1 0 3 0 0", "10 1 0 2 0 0",
         "-60"},
        {"this-vm", "(UTC+00:00) Etc/UTC", "0", "UTC", "UTC", "0 0 0 0 0 0", "0 0 0 0 0 0", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        const auto list = Query(c.machine, "Win32_TimeZone");
        ASSERT_EQ(list.size(), 1u);
        const Instance& z = list[0];
        EXPECT_EQ(Text(z, "Caption"), c.caption);
        EXPECT_EQ(Text(z, "Bias"), c.bias);
        EXPECT_EQ(Text(z, "StandardName"), c.standardName);
        EXPECT_EQ(Text(z, "DaylightName"), c.daylightName);
        EXPECT_EQ(Text(z, "DaylightBias"), c.daylightBias);
        EXPECT_EQ(Text(z, "StandardYear"), "0");
        EXPECT_EQ(Text(z, "DaylightYear"), "0");
        auto fields = [&](const std::string& prefix) {
            std::string out;
            for (const char* f : {"Month", "Day", "DayOfWeek", "Hour", "Minute", "Second"})
                out += (out.empty() ? "" : " ") + Text(z, (prefix + f).c_str());
            return out;
        };
        EXPECT_EQ(fields("Standard"), c.standard);
        EXPECT_EQ(fields("Daylight"), c.daylight);
    }
    EXPECT_TRUE(Query("smbios-only", "Win32_TimeZone").empty());
}

// dpkg-query --admindir=tree/var/lib/dpkg -W: every package but the one
// with only its configuration files left (rc).
TEST(InstalledProgramClass, ThePackagesDpkgQueryLists) {
    const auto list = Query("debian-workstation", "Win32_InstalledWin32Program");
    std::vector<std::string> ids;
    for (const auto& p : list) ids.push_back(Text(p, "ProgramId"));
    const std::vector<std::string> expected = {"dpkg:base-files:amd64",
                                               "dpkg:bash:amd64",
                                               "dpkg:libc6:amd64",
                                               "dpkg:python3.11:amd64",
                                               "dpkg:python3:amd64",
                                               "dpkg:python3-apt:amd64",
                                               "dpkg:openjdk-17-jre-headless:amd64",
                                               "dpkg:libreoffice-script-provider-bsh:all",
                                               "dpkg:gstreamer1.0-plugins-base:amd64",
                                               "dpkg:libavcodec59:amd64",
                                               "dpkg:openssh-server:amd64"};
    EXPECT_EQ(ids, expected);
    const Instance* ssh = Named(list, "Name", "openssh-server");
    ASSERT_TRUE(ssh);
    EXPECT_EQ(Text(*ssh, "Version"), "1:9.2p1-2+deb12u2");
    EXPECT_EQ(Text(*ssh, "Vendor"), "Debian OpenSSH Maintainers");
    EXPECT_EQ(Text(*ssh, "Language"), "<null>");
}

TEST(InstalledProgramClass, FrameworksFromDependencies) {
    const auto list = Query("debian-workstation", "Win32_InstalledProgramFramework");
    std::vector<std::string> pairs;
    for (const auto& f : list)
        pairs.push_back(Text(f, "ProgramId") + " " + Text(f, "FrameworkName") + " " + Text(f, "FrameworkVersion") +
                        " " + Text(f, "FrameworkVersionActual"));
    const std::vector<std::string> expected = {
        "dpkg:python3:amd64 python3.11 >= 3.11.2-1~ 3.11.2-6+deb12u1",
        "dpkg:python3-apt:amd64 python3 << 3.12 3.11.2-1+b1",
        "dpkg:libreoffice-script-provider-bsh:all openjdk-17-jre-headless <null> 17.0.11+9-1~deb12u1"};
    EXPECT_EQ(pairs, expected);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(Text(list[0], "IsPrivate"), "False");
    EXPECT_EQ(Text(list[0], "FrameworkPublisher"), "Matthias Klose");
}

// getent group over the fixture's group file; a directory group from NSS is
// not local.
TEST(GroupClass, GroupsWithUnixSids) {
    const auto list = Query("debian-workstation", "Win32_Group");
    ASSERT_EQ(list.size(), 9u);
    const Instance* audio = Named(list, "Name", "audio");
    ASSERT_TRUE(audio);
    EXPECT_EQ(Text(*audio, "SID"), "S-1-22-2-29");
    EXPECT_EQ(Text(*audio, "Caption"), "workstation\\audio");
    EXPECT_EQ(Text(*audio, "Domain"), "workstation");
    EXPECT_EQ(Text(*audio, "LocalAccount"), "True");

    ListedGroupDirectory nss({{"root", 0}, {"staff-ldap", 5001}, {"root", 0}});
    ProviderContext context = testsupport::FixtureContext(kWorkstation);
    context.groups = &nss;
    const auto served = Provider(context).ExecQuery("SELECT * FROM Win32_Group").instances;
    ASSERT_EQ(served.size(), 2u);
    EXPECT_EQ(Text(served[0], "LocalAccount"), "True");
    EXPECT_EQ(Text(served[1], "LocalAccount"), "False");
    EXPECT_EQ(Text(served[1], "SID"), "S-1-22-2-5001");
}

// modinfo -b tree -k 6.1.0-18-amd64 NAME for names, files and descriptions.
TEST(SystemDriverClass, LoadedAndBuiltInModules) {
    const auto list = Query("debian-workstation", "Win32_SystemDriver");
    struct Case {
        const char* name;
        const char* path;
        const char* description;
        const char* startMode;
        const char* acceptStop;
        const char* tag;
    };
    const Case cases[] = {
        {"psmouse", "/lib/modules/6.1.0-18-amd64/kernel/drivers/input/mouse/psmouse.ko", "PS/2 mouse driver", "Manual",
         "True", "3"},
        {"e1000e", "/lib/modules/6.1.0-18-amd64/kernel/drivers/net/ethernet/intel/e1000e/e1000e.ko",
         "Intel(R) PRO/1000 Network Driver", "Manual", "True", "2"},
        {"loop", "/lib/modules/6.1.0-18-amd64/kernel/drivers/block/loop.ko", "Loopback device support", "System",
         "False", "1"},
        {"ext4", "/boot/vmlinuz-6.1.0-18-amd64", "Fourth Extended Filesystem", "Boot", "False", "0"},
        {"i8042", "/boot/vmlinuz-6.1.0-18-amd64", "i8042 keyboard and mouse controller driver", "Boot", "False", "0"},
    };
    ASSERT_EQ(list.size(), std::size(cases));
    for (size_t n = 0; n < list.size(); ++n) {
        SCOPED_TRACE(cases[n].name);
        EXPECT_EQ(Text(list[n], "Name"), cases[n].name);
        EXPECT_EQ(Text(list[n], "PathName"), cases[n].path);
        EXPECT_EQ(Text(list[n], "Description"), cases[n].description);
        EXPECT_EQ(Text(list[n], "StartMode"), cases[n].startMode);
        EXPECT_EQ(Text(list[n], "AcceptStop"), cases[n].acceptStop);
        EXPECT_EQ(Text(list[n], "TagId"), cases[n].tag);
        EXPECT_EQ(Text(list[n], "State"), "Running");
        EXPECT_EQ(Text(list[n], "StartName"), std::string("/sys/module/") + cases[n].name);
    }
}

TEST(SystemDriverClass, WithoutModuleIndexesDescriptionsAreNull) {
    TempTree tree;
    tree.File("/proc/modules", "loop 40960 0 - Unloading 0x0\n").File("/proc/sys/kernel/osrelease", "6.1.0\n");
    const auto list = Provider(ProviderContext(SystemRoot(tree.Dir()))).ExecQuery("SELECT * FROM Win32_SystemDriver");
    ASSERT_EQ(list.instances.size(), 1u);
    EXPECT_EQ(Text(list.instances[0], "Description"), "<null>");
    EXPECT_EQ(Text(list.instances[0], "PathName"), "<null>");
    EXPECT_EQ(Text(list.instances[0], "DisplayName"), "loop");
    EXPECT_EQ(Text(list.instances[0], "State"), "Stop Pending");
}

// systemctl list-dependencies --all of graphical.target, ordered by After=.
TEST(LoadOrderGroupClass, TargetsInStartOrder) {
    const auto list = Query("debian-workstation", "Win32_LoadOrderGroup");
    std::vector<std::string> order;
    for (const auto& g : list)
        order.push_back(Text(g, "GroupOrder") + " " + Text(g, "Name") + " " + Text(g, "DriverEnabled"));
    const std::vector<std::string> expected = {"1 local-fs.target False",   "2 sockets.target False",
                                               "3 sysinit.target True",     "4 basic.target False",
                                               "5 multi-user.target False", "6 graphical.target False"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(Text(list[2], "Caption"), "System Initialization");
}

TEST(TerminalServiceClass, SshDaemonWithItsSessions) {
    const auto list = Query("debian-workstation", "Win32_TerminalService");
    ASSERT_EQ(list.size(), 1u);  // sshd.service is ssh.service's alias
    const Instance& ssh = list[0];
    const std::map<std::string, std::string> expected = {
        {"Name", "ssh.service"},
        {"DisplayName", "OpenBSD Secure Shell server"},
        {"PathName", "/usr/sbin/sshd -D $SSHD_OPTS"},
        {"StartMode", "Auto"},
        {"StartName", "<null>"},
        {"Started", "<null>"},
        // No service manager answers for a captured tree: its PID file and
        // process say nothing of the unit's state, as for Win32_Service.
        {"State", "<null>"},
        {"ProcessId", "<null>"},
        {"TotalSessions", "2"},
        {"DisconnectedSessions", "1"},
        {"AcceptStop", "<null>"},
        {"ErrorControl", "Normal"},
        {"DelayedAutoStart", "<null>"}};
    for (const auto& [property, value] : expected) EXPECT_EQ(Text(ssh, property.c_str()), value) << property;
}

TEST(BootAndComClasses, CommandLineAndBusServices) {
    const auto boot = Query("debian-workstation", "Win32_BootConfiguration");
    ASSERT_EQ(boot.size(), 1u);
    EXPECT_EQ(Text(boot[0], "Name"), "/boot/vmlinuz-6.1.0-18-amd64");
    EXPECT_EQ(Text(boot[0], "ConfigurationPath"), "/boot/grub/grub.cfg");
    EXPECT_EQ(Text(boot[0], "LastDrive"), "<null>");

    const auto com = Query("debian-workstation", "Win32_COMClass");
    std::vector<std::string> rows;
    for (const auto& c : com) rows.push_back(Text(c, "Caption") + " | " + Text(c, "Description"));
    const std::vector<std::string> expected = {
        "org.freedesktop.hostname1 | /bin/false",
        "org.gnome.Calculator.SearchProvider | /usr/bin/gnome-calculator --search-provider",
        "org.gnome.Nautilus | Access and organize files"};
    EXPECT_EQ(rows, expected);
}

TEST(CodecFileClass, CodecLibrariesWithTheirPackages) {
    const auto list = Query("debian-workstation", "Win32_CodecFile");
    std::vector<std::string> rows;
    for (const auto& c : list)
        rows.push_back(Text(c, "FileName") + " " + Text(c, "Group") + " " + Text(c, "Version") + " " +
                       Text(c, "FSName") + " " + Text(c, "AccessMask"));
    const std::vector<std::string> expected = {"libgstopus Audio 1.22.0-3+deb12u2 xfs 1179785",
                                               "libgstvorbis Audio 1.22.0-3+deb12u2 xfs 1179785",
                                               "libavcodec Video 7:5.1.4-0+deb12u1 xfs 1179785"};
    EXPECT_EQ(rows, expected);
}
