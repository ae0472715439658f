// Win32_Environment, Win32_StartupCommand, Win32_UserAccount and Win32_Share:
// their parsers of environment files, desktop entries, crontabs, smb.conf and
// exports on good and damaged input, each class over the captured workstation
// and over small trees, the four components' decoders and the four pages.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Provider.h"
#include "cimv2/sources/Accounts.h"
#include "cimv2/sources/EnvironmentFiles.h"
#include "cimv2/sources/ShareFiles.h"
#include "cimv2/sources/StartupFiles.h"
#include "components/Components.h"
#include "tests/support/ComponentFakes.h"
#include "tests/support/Fixtures.h"
#include "tests/support/InstanceText.h"
#include "tests/unit/TempTree.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/PageCatalogue.h"
#include "ui/pages/SystemSoftwarePages.h"

using namespace cimv2;
using namespace std::string_literals;

using testsupport::Named;
using testsupport::Text;

namespace {

const std::string kWorkstation = std::string(SYSQUILL_FIXTURES) + "/debian-workstation";

std::vector<Instance> Query(const ProviderContext& context, const std::string& cls) {
    return Provider(context).ExecQuery("SELECT * FROM " + cls).instances;
}

std::vector<Instance> QueryWorkstation(const std::string& cls) {
    return Query(testsupport::FixtureContext(kWorkstation), cls);
}

// A tree of the given files, looked at on 15 January 2026 (day 20468).
std::vector<Instance> QueryTree(const TempTree& tree, const std::string& cls) {
    return Query(ProviderContext(SystemRoot(tree.Dir()), nullptr, [] { return int64_t{20468} * 86400 + 43200; }), cls);
}

}  // namespace

// ---- environment files

TEST(EnvironmentFiles, AssignmentsByPamEnvRules) {
    const auto list = ParseEnvironmentAssignments(
        "# comment\n\n  LANG=en_AU.UTF-8\r\nexport EDITOR=\"vim\"\nQ='single'\nMIXED=\"open'\n"
        "1BAD=x\nBAD-NAME=x\n=novalue\nno equals\nEMPTY=\n SPACED = a b \nREF=${PATH}:/opt\n"
        "NUL=a\0b\n"s +
        std::string(300, 'N') + "=long\nLAST=x");
    const std::vector<EnvAssignment> expected = {
        {"LANG", "en_AU.UTF-8"}, {"EDITOR", "vim"}, {"Q", "single"},         {"MIXED", "\"open'"},
        {"EMPTY", ""},           {"SPACED", "a b"}, {"REF", "${PATH}:/opt"}, {"LAST", "x"},
    };
    EXPECT_EQ(list, expected);
    EXPECT_TRUE(ParseEnvironmentAssignments("").empty());
    EXPECT_TRUE(ParseEnvironmentAssignments("\"=\"\n'\n=").empty());
}

TEST(EnvironmentFiles, EarlierDirectoryHidesTheSameName) {
    TempTree tree;
    tree.File("/etc/environment.d/10-a.conf", "A=etc\n")
        .File("/usr/lib/environment.d/10-a.conf", "A=usr\n")
        .File("/usr/lib/environment.d/05-b.conf", "B=usr\n")
        .File("/usr/lib/environment.d/README", "C=not a conf file\n")
        .File("/usr/lib/environment.d/.conf", "D=no name\n");
    const auto files = EnvironmentDFiles(SystemRoot(tree.Dir()), {"/etc/environment.d", "/usr/lib/environment.d"});
    EXPECT_EQ(files, (std::vector<std::string>{"/usr/lib/environment.d/05-b.conf", "/etc/environment.d/10-a.conf"}));
}

// ---- desktop entries and crontabs

TEST(DesktopEntry, ReadsTheEntryGroupAndItsEscapes) {
    const auto entry = ParseDesktopEntry(
        "# comment\n\n[Desktop Entry]\nType=Application\nName = Tool\\sOne\nName[de]=Werkzeug\n"
        "Comment=a\\tb\\\\c\\nd\nExec=tool --x %U\nHidden=false\n\n[Desktop Action New]\nName=New\nExec=other\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->type, "Application");
    EXPECT_EQ(entry->name, "Tool One");
    EXPECT_EQ(entry->comment, "a\tb\\c\nd");
    EXPECT_EQ(entry->exec, "tool --x %U");
    EXPECT_FALSE(entry->hidden);
    EXPECT_TRUE(Autostarts(*entry));

    auto hidden = ParseDesktopEntry("[Desktop Entry]\nType=Application\nName=x\nExec=x\nHidden=true\n");
    ASSERT_TRUE(hidden);
    EXPECT_FALSE(Autostarts(*hidden));
    for (const char* notStarted : {"[Desktop Entry]\nType=Link\nName=x\nExec=x\n",  //
                                   "[Desktop Entry]\nType=Application\nExec=x\n",   //
                                   "[Desktop Entry]\nType=Application\nName=x\nExec= \n"}) {
        auto e = ParseDesktopEntry(notStarted);
        ASSERT_TRUE(e) << notStarted;
        EXPECT_FALSE(Autostarts(*e)) << notStarted;
    }
}

TEST(DesktopEntry, RefusesWhatGLibRefuses) {
    const std::string good = "[Desktop Entry]\nType=Application\nName=x\nExec=x\n";
    ASSERT_TRUE(ParseDesktopEntry(good));
    for (const std::string& bad : {
             std::string("Name=x\n") + good,                             // a key before any group
             good + "Name=again\n",                                      // a key twice in a group
             good + "just words\n",                                      // neither group nor key
             good + "[Broken\n",                                         // a header without ']'
             good + "[]\n",                                              // an empty group name
             good + "[A] trailing\n",                                    // text after the header
             std::string("[Other]\nA=b\n") + good,                       // the entry group not first
             good + "[Desktop Entry]\n",                                 // the entry group twice
             good + "Comment=bad\\q\n",                                  // an unknown escape
             good + "Comment=ends\\\n",                                  // a lone backslash at the end
             good + "Hidden=yes\n",                                      // not a key-file boolean
             good + "Bad_Key=x\n",                                       // '_' is no key character
             good + "Name[]=x\n",                                        // an empty locale
             good + "Name[de=x\n",                                       // an open locale
             "[Desktop Entry]\nType=Application\nName=x\0y\nExec=x\n"s,  // a NUL byte
             std::string("[Other]\nA=b\n"),                              // no entry group at all
             std::string(""), good + "Comment=" + std::string(kMaxDesktopEntryBytes, 'a') + "\n",  // too long
         })
        EXPECT_FALSE(ParseDesktopEntry(bad)) << bad.substr(0, 80);
    // Keys of other groups are checked but not read; a localised key is read past.
    auto other = ParseDesktopEntry(good + "[Desktop Action A]\nName=y\nExec=y\n");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->name, "x");
}

TEST(Crontab, RebootLinesOnly) {
    const auto own = ParseRebootJobs(
        "# comment\nMAILTO=ana\n@reboot /bin/a  --flag \n0 3 * * * /bin/timed\n@daily /bin/daily\n"
        "@reboot\n@reboot   \n  @reboot\t/bin/b 100\\%% sent to stdin\n@rebootx /bin/c\n"
        "@reboot %only input\n@reboot " +
            std::string(kMaxCronLine, 'x') + "\n@reboot /bin/last",
        false);
    ASSERT_EQ(own.size(), 3u);
    EXPECT_EQ(own[0].command, "/bin/a  --flag");
    EXPECT_EQ(own[0].user, "");
    EXPECT_EQ(own[1].command, "/bin/b 100%");
    EXPECT_EQ(own[2].command, "/bin/last");

    const auto system = ParseRebootJobs(
        "@reboot root /usr/sbin/ethtool -s eno1 wol g\n@reboot root\n@reboot\n"
        "17 * * * * root run-parts /etc/cron.hourly\n",
        true);
    ASSERT_EQ(system.size(), 1u);
    EXPECT_EQ(system[0].user, "root");
    EXPECT_EQ(system[0].command, "/usr/sbin/ethtool -s eno1 wol g");
}

// ---- smb.conf and exports

// Many sections, each named again later in other letter case: one share per
// name, in the order of first mention, the last values winning; names that
// differ beyond ASCII letter case stay apart.
TEST(SmbConf, SectionsNamedAgainAnywhereAreOneShare) {
    std::string text;
    constexpr int kNames = 500;
    for (int round = 0; round < 3; ++round)
        for (int n = 0; n < kNames; ++n)
            text += std::string(round == 1 ? "[SHARE" : "[share") + std::to_string(n) + "]\ncomment = round " +
                    std::to_string(round) + "\n" + (round == 0 ? "path = /srv/" + std::to_string(n) + "\n" : "");
    text += "[\xC3\x84rger]\npath = /a\n[\xC3\xA4rger]\npath = /b\n";
    const auto shares = ParseSmbConf(text);
    ASSERT_EQ(shares.size(), static_cast<size_t>(kNames) + 2);
    for (int n = 0; n < kNames; ++n) {
        EXPECT_EQ(shares[n].name, "share" + std::to_string(n));
        EXPECT_EQ(shares[n].path, "/srv/" + std::to_string(n));
        EXPECT_EQ(shares[n].comment, "round 2");
    }
    EXPECT_EQ(shares[kNames].path, "/a");
    EXPECT_EQ(shares[kNames + 1].path, "/b");
}

TEST(SmbConf, SharesByTheParameterReadersRules) {
    const auto shares = ParseSmbConf(
        "; comment\nworkgroup = before any section\n[global]\n path = /not/a/share\n"
        "[Data]\n  Path = /srv/data\n comment = Team \\\n data\n Max_Connections = 7\n\n"
        "[print$]\n directory=/var/lib/samba/printers\n PRINT OK = Yes\n"
        "[broken\n path = /lost\n"
        "[off]\n path=/srv/off\n available = no\n"
        "[DATA]\n read only = no\n comment = Team data again\n"
        "[odd]\n printable = maybe\n max connections = lots\n no equals here\n"
        "[ spaced ]\n path = /srv/s\n"
        "[]\n path = /nowhere\n");
    ASSERT_EQ(shares.size(), 5u);
    EXPECT_EQ(shares[0].name, "Data");
    EXPECT_EQ(shares[0].path, "/srv/data");
    EXPECT_EQ(shares[0].comment, "Team data again");
    ASSERT_TRUE(shares[0].maxConnections);
    EXPECT_EQ(*shares[0].maxConnections, 7u);
    EXPECT_EQ(shares[1].name, "print$");
    EXPECT_EQ(shares[1].path, "/var/lib/samba/printers");
    EXPECT_TRUE(shares[1].printable);
    EXPECT_EQ(shares[2].name, "off");
    EXPECT_FALSE(shares[2].available);
    EXPECT_EQ(shares[3].name, "odd");
    EXPECT_FALSE(shares[3].printable);
    EXPECT_FALSE(shares[3].maxConnections);
    EXPECT_EQ(shares[4].name, "spaced");

    EXPECT_TRUE(ParseSmbConf("").empty());
    EXPECT_TRUE(ParseSmbConf("[global]\npath=/x\n").empty());
    EXPECT_TRUE(ParseSmbConf("[" + std::string(kMaxShareField + 1, 'n') + "]\npath=/x\n").empty());
    EXPECT_TRUE(ParseSmbConf("[long]\npath=/" + std::string(kMaxShareField, 'p') + "\n").empty());
    EXPECT_EQ(ParseSmbConf("[x]\nmax connections = 4294967296\n").at(0).maxConnections, std::nullopt);
}

TEST(Exports, PathsAndClientLists) {
    const auto exports = ParseExports(
        "# comment\n/srv/a   host1(rw,sync)   host2(ro)\n\"/srv/with space\" *(ro)\n"
        "/srv/oct\\040al -ro \\\n  @netgroup\nrelative/path host(rw)\n\"/srv/open *(ro)\n/srv/bare\n"
        "   \n/srv/bad\\08x h\n");
    ASSERT_EQ(exports.size(), 5u);
    EXPECT_EQ(exports[0].path, "/srv/a");
    EXPECT_EQ(exports[0].clients, "host1(rw,sync) host2(ro)");
    EXPECT_EQ(exports[1].path, "/srv/with space");
    EXPECT_EQ(exports[1].clients, "*(ro)");
    EXPECT_EQ(exports[2].path, "/srv/oct al");
    EXPECT_EQ(exports[2].clients, "-ro @netgroup");
    EXPECT_EQ(exports[3].path, "/srv/bare");
    EXPECT_EQ(exports[3].clients, "");
    EXPECT_EQ(exports[4].path, "/srv/bad\\08x");
    EXPECT_TRUE(ParseExports("").empty());
    EXPECT_TRUE(ParseExports("/" + std::string(kMaxShareField, 'p') + " h\n").empty());
    EXPECT_TRUE(ParseExports("/p " + std::string(kMaxShareField + 1, 'h') + "\n").empty());
    EXPECT_TRUE(ParseExports("\\\n\\").empty());
}

// ---- the classes over the captured workstation

TEST(EnvironmentClass, SystemAndUserSettings) {
    const auto list = QueryWorkstation("Win32_Environment");
    ASSERT_EQ(list.size(), 7u);
    // /etc/environment, then environment.d (its 99-environment.conf is a link
    // to /etc/environment, as Debian ships it: the same names, one instance each).
    const char* systemNames[] = {"LANG", "EDITOR", "JAVA_HOME", "http_proxy", "no_proxy"};
    for (size_t n = 0; n < std::size(systemNames); ++n) {
        EXPECT_EQ(Text(list[n], "Name"), systemNames[n]);
        EXPECT_EQ(Text(list[n], "UserName"), "<SYSTEM>");
        EXPECT_EQ(Text(list[n], "SystemVariable"), "True");
        EXPECT_EQ(Text(list[n], "Caption"), std::string("<SYSTEM>\\") + systemNames[n]);
    }
    EXPECT_EQ(Text(list[1], "VariableValue"), "vim");
    EXPECT_EQ(Text(list[2], "VariableValue"), "/usr/lib/jvm/java-17-openjdk-amd64");
    EXPECT_EQ(Text(list[5], "UserName"), "workstation\\ana");
    EXPECT_EQ(Text(list[5], "Name"), "EDITOR");
    EXPECT_EQ(Text(list[5], "VariableValue"), "nano");
    EXPECT_EQ(Text(list[5], "SystemVariable"), "False");
    EXPECT_EQ(Text(list[6], "Caption"), "workstation\\ana\\PATH");
    EXPECT_EQ(Text(list[6], "VariableValue"), "$HOME/.local/bin:${PATH}");
    EXPECT_EQ(Text(list[6], "Status"), "<null>");
}

TEST(EnvironmentClass, LaterValuesWinInTheirScopeAndEmptyMachinesHaveNone) {
    TempTree tree;
    tree.File("/etc/environment", "A=1\nB=2\n")
        .File("/etc/environment.d/50-a.conf", "A=3\n")
        .File("/etc/passwd", "u:x:1000:1000::/home/u:/bin/sh\nv:x:1001:1001::/home/v:/bin/sh\nw:x:0:0::/:/bin/sh\n")
        .File("/home/u/.config/environment.d/1.conf", "A=user\n")
        .File("/.config/environment.d/1.conf", "A=slash home is nobody's own\n");
    const auto list = QueryTree(tree, "Win32_Environment");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(Text(list[0], "VariableValue"), "3");
    EXPECT_EQ(Text(list[1], "Name"), "B");
    EXPECT_EQ(Text(list[2], "UserName"), "u");  // no host name in this tree
    EXPECT_EQ(Text(list[2], "VariableValue"), "user");

    TempTree empty;
    EXPECT_TRUE(QueryTree(empty, "Win32_Environment").empty());
}

TEST(StartupCommandClass, AutostartEntriesAndRebootJobs) {
    const auto list = QueryWorkstation("Win32_StartupCommand");
    ASSERT_EQ(list.size(), 6u);
    struct Case {
        const char* name;
        const char* command;
        const char* location;
        const char* user;
        const char* sid;
    } cases[] = {
        {"SSH Key Agent", "/usr/bin/gnome-keyring-daemon --start --components=ssh", "/etc/xdg/autostart", "Public",
         "<null>"},
        {"User folders update", "xdg-user-dirs-update", "/etc/xdg/autostart", "Public", "<null>"},
        {"Start Syncthing", "/usr/bin/syncthing serve --no-browser --logfile=default", "/home/ana/.config/autostart",
         "workstation\\ana", "S-1-22-1-1000"},
        {"KeePassXC", "keepassxc %f", "/home/ben/.config/autostart", "workstation\\ben", "S-1-22-1-1001"},
        {"mount-backup.sh", "/home/ana/bin/mount-backup.sh >/dev/null 2>&1", "/var/spool/cron/crontabs/ana",
         "workstation\\ana", "S-1-22-1-1000"},
        {"ethtool", "/usr/sbin/ethtool -s eno1 wol g", "/etc/cron.d/local-wol", "workstation\\root", "S-1-22-1-0"},
    };
    for (size_t n = 0; n < list.size(); ++n) {
        SCOPED_TRACE(cases[n].name);
        EXPECT_EQ(Text(list[n], "Name"), cases[n].name);
        EXPECT_EQ(Text(list[n], "Caption"), cases[n].name);
        EXPECT_EQ(Text(list[n], "Command"), cases[n].command);
        EXPECT_EQ(Text(list[n], "Location"), cases[n].location);
        EXPECT_EQ(Text(list[n], "User"), cases[n].user);
        EXPECT_EQ(Text(list[n], "UserSID"), cases[n].sid);
        EXPECT_EQ(Text(list[n], "SettingID"), "<null>");
    }
    EXPECT_EQ(Text(list[0], "Description"), "GNOME Keyring: SSH Agent");
    EXPECT_EQ(Text(list[4], "Description"), "<null>");
}

TEST(StartupCommandClass, SkipsWhatWouldNotRun) {
    TempTree tree;
    tree.File("/etc/xdg/autostart/ok.desktop", "[Desktop Entry]\nType=Application\nName=OK\nExec=ok\n")
        .File("/etc/xdg/autostart/broken.desktop", "[Desktop Entry]\nType=Application\nName=B\nExec=b\\q\n")
        .File("/etc/xdg/autostart/notes.txt", "[Desktop Entry]\nType=Application\nName=T\nExec=t\n")
        .File("/etc/xdg/autostart/big.desktop", "[Desktop Entry]\nType=Application\nName=Big\nExec=big\n#" +
                                                    std::string(kMaxDesktopEntryBytes, 'x') + "\n")
        .File("/etc/cron.d/with.dot", "@reboot root /bin/skipped\n")
        .File("/etc/cron.d/twice", "@reboot root /bin/same\n@reboot root /bin/same\n@reboot ghost /bin/g\n")
        .File("/etc/passwd", "root:x:0:0::/root:/bin/sh\n");
    const auto list = QueryTree(tree, "Win32_StartupCommand");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(Text(list[0], "Name"), "OK");
    EXPECT_EQ(Text(list[1], "Command"), "/bin/same");
    EXPECT_EQ(Text(list[1], "UserSID"), "S-1-22-1-0");
    EXPECT_EQ(Text(list[2], "User"), "ghost");
    EXPECT_EQ(Text(list[2], "UserSID"), "<null>");
}

TEST(UserAccountClass, AccountsWithShadowFacts) {
    const auto list = QueryWorkstation("Win32_UserAccount");
    ASSERT_EQ(list.size(), 7u);
    const Instance* ana = Named(list, "Name", "ana");
    ASSERT_TRUE(ana);
    EXPECT_EQ(Text(*ana, "Caption"), "workstation\\ana");
    EXPECT_EQ(Text(*ana, "Domain"), "workstation");
    EXPECT_EQ(Text(*ana, "FullName"), "Ana Souza");
    EXPECT_EQ(Text(*ana, "SID"), "S-1-22-1-1000");
    EXPECT_EQ(Text(*ana, "SIDType"), "1");
    EXPECT_EQ(Text(*ana, "AccountType"), "512");
    EXPECT_EQ(Text(*ana, "LocalAccount"), "True");
    for (const char* p : {"Disabled", "Lockout", "PasswordExpires"}) EXPECT_EQ(Text(*ana, p), "False") << p;
    for (const char* p : {"PasswordRequired", "PasswordChangeable"}) EXPECT_EQ(Text(*ana, p), "True") << p;
    EXPECT_EQ(Text(*ana, "Description"), "<null>");
    EXPECT_EQ(Text(*ana, "Status"), "<null>");
    // ben: locked ('!'), a 90-day maximum below the 100-day minimum.
    const Instance* ben = Named(list, "Name", "ben");
    ASSERT_TRUE(ben);
    EXPECT_EQ(Text(*ben, "Lockout"), "True");
    EXPECT_EQ(Text(*ben, "PasswordExpires"), "True");
    EXPECT_EQ(Text(*ben, "PasswordChangeable"), "False");
    EXPECT_EQ(Text(*ben, "Disabled"), "False");
    // carol: no password, expired on day 20400 (the moment is day 20468).
    const Instance* carol = Named(list, "Name", "carol");
    ASSERT_TRUE(carol);
    EXPECT_EQ(Text(*carol, "PasswordRequired"), "False");
    EXPECT_EQ(Text(*carol, "Disabled"), "True");
    const Instance* sshd = Named(list, "Name", "sshd");
    ASSERT_TRUE(sshd);
    EXPECT_EQ(Text(*sshd, "FullName"), "");
}

TEST(UserAccountClass, WithoutShadowTheShadowFactsAreNull) {
    TempTree tree;
    tree.File("/etc/passwd", "a:x:1000:1000:A,1:/home/a:/bin/sh\na:x:1001:1001::/home/a2:/bin/sh\nbad:x:y:1::/:\n")
        .File("/etc/shadow", "other:!:1:0:99999:7:::\n");
    const auto list = QueryTree(tree, "Win32_UserAccount");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(Text(list[0], "Caption"), "a");
    EXPECT_EQ(Text(list[0], "Domain"), "<null>");
    EXPECT_EQ(Text(list[0], "FullName"), "A");
    for (const char* p : {"Disabled", "Lockout", "PasswordExpires", "PasswordRequired", "PasswordChangeable"})
        EXPECT_EQ(Text(list[0], p), "<null>") << p;
}

// Accounts the context hands in (a directory service's, here) answer for
// every class that names users; the root's /etc/passwd still says which are
// local.
TEST(UserAccountClass, TheContextsAccountsAnswer) {
    TempTree tree;
    tree.File("/etc/passwd", "a:x:1000:1000:A:/home/a:/bin/sh\n")
        .File("/home/dir/.config/autostart/notes.desktop",
              "[Desktop Entry]\nType=Application\nName=Notes\nExec=/usr/bin/notes\n");
    const PasswdFileAccounts directory(
        {{"a", 1000, 1000, "A", "/home/a", "/bin/sh"}, {"dir", 5000, 5000, "Directory User", "/home/dir", "/bin/sh"}});
    ProviderContext context(SystemRoot(tree.Dir()));
    context.accounts = &directory;
    const auto users = Query(context, "Win32_UserAccount");
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(Text(users[0], "LocalAccount"), "True");
    EXPECT_EQ(Text(users[1], "Name"), "dir");
    EXPECT_EQ(Text(users[1], "SID"), "S-1-22-1-5000");
    EXPECT_EQ(Text(users[1], "LocalAccount"), "False");
    const auto startup = Query(context, "Win32_StartupCommand");
    const Instance* notes = Named(startup, "Name", "Notes");
    ASSERT_TRUE(notes);
    EXPECT_EQ(Text(*notes, "User"), "dir");
    EXPECT_EQ(Text(*notes, "UserSID"), "S-1-22-1-5000");
    EXPECT_TRUE(Query(ProviderContext(SystemRoot(tree.Dir())), "Win32_StartupCommand").empty())
        << "without the directory no account has that home";
}

TEST(ShareClass, SambaSharesThenExports) {
    const auto list = QueryWorkstation("Win32_Share");
    struct Case {
        const char* name;
        const char* path;
        const char* type;
        const char* caption;
        const char* allowMaximum;
        const char* maximum;
    } cases[] = {
        {"homes", "<null>", "0", "Home Directories", "True", "<null>"},
        {"printers", "/var/spool/samba", "1", "All Printers", "True", "<null>"},
        {"print$", "/var/lib/samba/printers", "0", "Printer Drivers", "True", "<null>"},
        {"media", "/srv/media", "0", "media", "False", "5"},
        {"/srv/nfs/projects", "/srv/nfs/projects", "0", "/srv/nfs/projects", "<null>", "<null>"},
        {"/srv/nfs/team share", "/srv/nfs/team share", "0", "/srv/nfs/team share", "<null>", "<null>"},
        {"/srv/media", "/srv/media", "0", "/srv/media", "<null>", "<null>"},
    };
    ASSERT_EQ(list.size(), std::size(cases));
    for (size_t n = 0; n < list.size(); ++n) {
        SCOPED_TRACE(cases[n].name);
        EXPECT_EQ(Text(list[n], "Name"), cases[n].name);
        EXPECT_EQ(Text(list[n], "Path"), cases[n].path);
        EXPECT_EQ(Text(list[n], "Type"), cases[n].type);
        EXPECT_EQ(Text(list[n], "Caption"), cases[n].caption);
        EXPECT_EQ(Text(list[n], "AllowMaximum"), cases[n].allowMaximum);
        EXPECT_EQ(Text(list[n], "MaximumAllowed"), cases[n].maximum);
        EXPECT_EQ(Text(list[n], "AccessMask"), "<null>");
    }
    EXPECT_EQ(Text(list[4], "Description"),
              "192.168.1.0/24(rw,sync,no_subtree_check) "
              "backup.example.org(ro,sync,no_subtree_check)");
    EXPECT_EQ(Text(list[3], "Description"), "<null>");
}

TEST(ShareClass, EmptyWhereNothingIsShared) {
    TempTree tree;
    tree.MakeDir("/etc");
    EXPECT_TRUE(QueryTree(tree, "Win32_Share").empty());
    EXPECT_TRUE(Query(testsupport::FixtureContext(std::string(SYSQUILL_FIXTURES) + "/this-vm"), "Win32_Share").empty());
    TempTree dup;
    dup.File("/etc/samba/smb.conf", "[A]\npath=/a\n")
        .File("/etc/exports", "/a h\n")
        .File("/etc/exports.d/x.exports", "/a h2\n/b h\n");
    const auto list = QueryTree(dup, "Win32_Share");
    ASSERT_EQ(list.size(), 3u);  // A, /a once, /b
    EXPECT_EQ(Text(list[1], "Name"), "/a");
    EXPECT_EQ(Text(list[1], "Description"), "h");
    EXPECT_EQ(Text(list[2], "Name"), "/b");
}

// ---- components and pages

TEST(AccountShareDecoders, EdgeValues) {
    using namespace components;
    TShareProperties share;
    share.SetShareType(2147483648u);
    EXPECT_EQ(share.ShareTypeAsString(), "Disk Drive Admin");
    share.SetShareType(4);
    EXPECT_EQ(share.ShareTypeAsString(), "");
    share.SetShareType(1);
    EXPECT_EQ(share.ShareTypeAsString(), "Print Queue");
    TUserAccountProperties account;
    account.SetAccountType(512);
    EXPECT_EQ(account.AccountTypeAsString(), "UF_NORMAL_ACCOUNT. Default account type that represents a typical user.");
    account.SetAccountType(513);
    EXPECT_EQ(account.AccountTypeAsString(), "");
    account.SetAccountType(256);
    EXPECT_NE(account.AccountTypeAsString().find("only\u2014not"), std::string::npos);
    account.SetSIDType(0);
    EXPECT_EQ(account.SIDTypeAsString(), "");
    account.SetSIDType(9);
    EXPECT_EQ(account.SIDTypeAsString(), "SidTypeComputer");
}

TEST(AccountShareComponents, ShareTypeComesFromTheClassesTypeAndUserSIDStaysText) {
    using namespace compfake;
    FakeHost shares(std::make_shared<FakeBackend>(Win32_ShareSchema()));
    Instance admin(Win32_ShareSchema());
    admin.SetText("Name", "C$");
    admin.SetInt("Type", 2147483648);
    shares.Backend().instances = {admin};
    components::TShareInfo share;
    share.SetHost(FakeHost::kName);
    share.SetActive(true);
    ASSERT_EQ(share.ObjectsCount(), 1);
    EXPECT_EQ(share.ShareProperties().ShareType(), 2147483648u);
    EXPECT_EQ(share.ShareProperties().ShareTypeAsString(), "Disk Drive Admin");
    share.SetActive(false);
}

TEST(AccountShareComponents, StartupUserSIDIsKeptAsTextOnly) {
    using namespace compfake;
    FakeHost host(std::make_shared<FakeBackend>(Win32_StartupCommandSchema()));
    Instance inst(Win32_StartupCommandSchema());
    inst.SetText("Name", "x");
    inst.SetText("UserSID", "S-1-5-18");
    host.Backend().instances = {inst};
    components::TStartupCommandInfo startup;
    startup.SetHost(FakeHost::kName);
    startup.SetActive(true);
    EXPECT_EQ(startup.StartupCommandProperties().UserSIDAsString(), "S-1-5-18");
    EXPECT_EQ(startup.StartupCommandProperties().UserSIDCount(), 0);
    EXPECT_EQ(startup.StartupCommandProperties().GetUserSID(0), "");
    startup.SetActive(false);
}

TEST(AccountSharePages, InTheCatalogueWithTheirRows) {
    struct Case {
        int page;
        const char* caption;
        size_t rows;
    } cases[] = {{8, "Environment", 6}, {11, "Startup Commands", 8}, {12, "Accounts", 14}, {20, "Shares", 11}};
    for (const auto& c : cases) {
        const ui::PageInfo& page = ui::Page(c.page);
        EXPECT_STREQ(page.caption, c.caption);
        ASSERT_TRUE(page.fill) << c.caption;
        EXPECT_EQ(page.fill.recordRows.size(), c.rows) << c.caption;
        EXPECT_EQ(page.fill.objects, ui::PageObjects::Every) << c.caption;
        EXPECT_STREQ(page.fill.recordRows[0].label, page.headerLabel);
    }
    EXPECT_STREQ(ui::systemsoftware::kStartupCommandRows[4].label, "Startup Command location");
    EXPECT_STREQ(ui::systemsoftware::kStartupCommandRows[7].label, "Startup User ID");
}

TEST(AccountSharePages, RowsPerObjectFromAScriptedHost) {
    using namespace compfake;
    std::string savedTime = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "C");
    {
        FakeHost host(std::make_shared<FakeBackend>(Win32_EnvironmentSchema()));
        for (const char* name : {"A", "B", "C"}) {
            Instance inst(Win32_EnvironmentSchema());
            inst.SetText("Name", name);
            inst.SetText("Caption", std::string("<SYSTEM>\\") + name);
            inst.SetBool("SystemVariable", true);
            host.Backend().instances.push_back(inst);
        }
        ui::PageList list(ui::Page(8).headerLabel);
        ui::FillPage(ui::Page(8), list, FakeHost::kName);
        ASSERT_EQ(list.Rows().size(), 18u);
        size_t headers = 0;
        for (const auto& row : list.Rows()) headers += row.property == "Environment Caption";
        EXPECT_EQ(headers, 3u);
        EXPECT_EQ(list.Rows()[5].value, "True");
    }
    {
        FakeHost host(std::make_shared<FakeBackend>(Win32_ShareSchema()));
        Instance inst(Win32_ShareSchema());
        inst.SetText("Name", "ADMIN$");
        inst.SetInt("Type", 2147483648);
        host.Backend().instances.push_back(inst);
        ui::PageList list(ui::Page(20).headerLabel);
        ui::FillPage(ui::Page(20), list, FakeHost::kName);
        ASSERT_EQ(list.Rows().size(), 11u);
        EXPECT_EQ(list.Rows()[4].value, "2147483648");
        EXPECT_EQ(list.Rows()[5].value, "Disk Drive Admin");
        EXPECT_EQ(list.Rows()[6].value, "False");
        EXPECT_EQ(list.Rows()[10].value, "") << "no install date";
    }
    {
        FakeHost host(std::make_shared<FakeBackend>(Win32_UserAccountSchema()));
        Instance inst(Win32_UserAccountSchema());
        inst.SetText("Name", "ana");
        inst.SetInt("AccountType", 512);
        inst.SetInt("SIDType", 1);
        host.Backend().instances.push_back(inst);
        ui::PageList list(ui::Page(12).headerLabel);
        ui::FillPage(ui::Page(12), list, FakeHost::kName);
        ASSERT_EQ(list.Rows().size(), 14u);
        EXPECT_EQ(list.Rows()[1].value, "512");
        EXPECT_EQ(list.Rows()[2].value, "UF_NORMAL_ACCOUNT. Default account type that represents a typical user.");
        EXPECT_EQ(list.Rows()[7].value, "SidTypeUser");
    }
    std::setlocale(LC_TIME, savedTime.c_str());
}
