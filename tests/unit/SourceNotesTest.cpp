// Values null for lack of rights or of a source are said: the notes of a
// query, from the classes that meet such a source. The tests run as root,
// who reads any file whatever its mode, so the unprivileged cases run the
// query in a child that has become nobody.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "cimv2/provider/NotedRead.h"
#include "cimv2/provider/Provider.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

namespace {

const std::string kFixtures = SYSQUILL_FIXTURES;
constexpr uid_t kNobody = 65534;

std::string Describe(const std::vector<SourceNote>& notes) {
    std::string text;
    for (const SourceNote& note : notes) text += NoteText(note) + "\n";
    return text;
}

struct Answer {
    bool ran = false;  // false: privileges could not be dropped
    std::string text;
};

// Runs work in a child process that has become nobody and returns what it
// printed. The child answers by a pipe and ends without running the
// parent's exit handlers.
Answer AsNobody(const std::function<std::string()>& work) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string text;
        if (::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0 &&
            ::setresuid(kNobody, kNobody, kNobody) == 0)
            text = "ran\n" + work();
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t put = ::write(pipeFds[1], text.data() + done, text.size() - done);
            if (put <= 0) break;
            done += static_cast<size_t>(put);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!text.starts_with("ran\n")) return {};
    return {true, text.substr(4)};
}

std::string Copy(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A tree readable by anybody but for the files named, which are root's own
// (mode 0400; a directory 0700), as a live machine has them.
class RestrictedTree {
public:
    RestrictedTree() { std::filesystem::permissions(tree.Dir(), std::filesystem::perms(0755)); }
    TempTree tree;
    void Restrict(const std::string& path) {
        const std::string full = tree.Dir() + path;
        ::chmod(full.c_str(), std::filesystem::is_directory(full) ? 0700 : 0400);
    }
};

QueryResult Query(const std::string& root, const std::string& wql) {
    return Provider(ProviderContext(SystemRoot(root))).ExecQuery(wql);
}

// The notes and, for each property named, how many instances have it null.
std::string NotesAndNulls(const std::string& root, const std::string& wql, const std::vector<std::string>& props) {
    QueryResult result = Query(root, wql);
    std::string text = Describe(result.notes);
    for (const std::string& prop : props) {
        size_t nulls = 0;
        for (const Instance& inst : result.instances) nulls += inst.Get(prop).IsNull() ? 1 : 0;
        text += prop + " null in " + std::to_string(nulls) + " of " + std::to_string(result.instances.size()) + "\n";
    }
    return text;
}

}  // namespace

TEST(SourceNotes, OneNotePerCauseEachSourceNamedOnce) {
    SourceNotes notes("Win32_Process");
    // Added from several threads, as Win32_Process reads its processes.
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&notes] {
            for (const char* file : {"/proc/PID/io", "/proc/PID/fd", "/proc/PID/io"})
                notes.Add(NoteCause::NeedsPrivilege, file);
        });
    for (auto& thread : threads) thread.join();
    notes.Add(NoteCause::NeedsPrivilege, "/proc/PID/i");  // a name inside another is still its own
    notes.Add(NoteCause::NoSource, "SMBIOS tables");
    notes.AddIfDenied(ENOENT, "/etc/shadow");  // not there is not a lack of rights
    notes.AddIfDenied(EACCES, "/etc/shadow");
    const std::vector<SourceNote> taken = notes.Take();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].sources, "/proc/PID/io, /proc/PID/fd, /proc/PID/i, /etc/shadow");
    EXPECT_EQ(NoteText(taken[1]), "Win32_Process: some values are null: this machine has no SMBIOS tables");
    EXPECT_EQ(NoteText({"Win32_UserAccount", NoteCause::NeedsPrivilege, "/etc/shadow"}),
              "Win32_UserAccount: some values are null: reading /etc/shadow needs more privilege");
    EXPECT_TRUE(notes.Take().empty());
}

TEST(SourceNotes, AMachineWithoutSmbiosTablesIsSaidPerClass) {
    const std::string kNoTables = "SMBIOS tables (/sys/firmware/dmi/tables)";
    struct Case {
        const char* machine;
        const char* className;
        bool noted;
    } cases[] = {
        {"this-vm", "Win32_BIOS", true},  // neither tables nor /sys/class/dmi/id
        {"this-vm", "Win32_PhysicalMemory", true},
        {"this-vm", "Win32_ComputerSystem", true},
        {"this-vm", "Win32_Processor", true},
        {"virtualbox-guest", "Win32_BaseBoard", true},  // /sys/class/dmi/id only
        {"virtualbox-guest", "Win32_CacheMemory", true},
        {"virtualbox-guest", "Win32_SystemSlot", true},
        {"physical-desktop", "Win32_BIOS", false},
        {"physical-desktop", "Win32_PhysicalMemory", false},
        {"this-vm", "Win32_OperatingSystem", false},  // reads no SMBIOS
    };
    for (const Case& c : cases) {
        const QueryResult result =
            Query(kFixtures + "/" + c.machine + "/tree", std::string("SELECT * FROM ") + c.className);
        if (!c.noted) {
            EXPECT_EQ(Describe(result.notes), "") << c.machine << " " << c.className;
            continue;
        }
        ASSERT_EQ(result.notes.size(), 1u) << c.machine << " " << c.className << "\n" << Describe(result.notes);
        EXPECT_EQ(result.notes[0], (SourceNote{c.className, NoteCause::NoSource, kNoTables}));
    }
}

TEST(SourceNotes, ReadErrorSaysWhyAReadGaveNothing) {
    TempTree tree;
    tree.File("/etc/passwd", "root:x:0:0::/root:/bin/sh\n").MakeDir("/proc/7").Link("/proc/7/exe", "gone");
    const SystemRoot root(tree.Dir());
    EXPECT_EQ(root.ReadError("/etc/passwd"), 0);
    EXPECT_EQ(root.ReadError("/etc/shadow"), ENOENT);
    EXPECT_EQ(root.ReadError("/etc"), EISDIR);
    const SystemRoot::Directory dir = root.OpenDirectory("/proc/7");
    EXPECT_EQ(dir.ReadError("exe"), 0);  // a link that reads, whatever it names
    EXPECT_EQ(dir.ReadError("io"), ENOENT);
    EXPECT_EQ(dir.ReadError("../7"), EINVAL);
}

TEST(SourceNotes, WhatAnOrdinaryUserMayNotReadIsSaid) {
    RestrictedTree shadow;
    shadow.tree.File("/etc/passwd", "root:x:0:0:Root:/root:/bin/sh\nann:x:1000:1000:Ann:/home/ann:/bin/sh\n")
        .File("/etc/shadow", "root:!:19000:0:99999:7:::\nann:$6$x:19000:0:99999:7:::\n");
    shadow.Restrict("/etc/shadow");

    RestrictedTree firmware;
    const std::string tables = "/sys/firmware/dmi/tables/";
    for (const char* file : {"DMI", "smbios_entry_point"}) {
        firmware.tree.File(tables + file, Copy(kFixtures + "/physical-desktop/tree" + tables + file));
        firmware.Restrict(tables + file);
    }

    RestrictedTree process;
    const std::string thisVm = kFixtures + "/this-vm/tree/proc/1/";
    process.tree.File("/proc/1/stat", Copy(thisVm + "stat"))
        .File("/proc/1/status", Copy(thisVm + "status"))
        .File("/proc/1/cmdline", Copy(thisVm + "cmdline"))
        .File("/proc/1/io", "rchar: 10\nwchar: 20\nsyscr: 1\nsyscw: 2\n")
        .File("/usr/bin/process_api", "")
        .Link("/proc/1/exe", "/usr/bin/process_api")
        .Link("/proc/1/fd/0", "/dev/null");
    process.Restrict("/proc/1/io");
    process.Restrict("/proc/1/fd");

    struct Case {
        const char* what;
        const std::string& root;
        const char* wql;
        std::vector<std::string> props;
        std::string asRoot, asNobody;
    } cases[] = {
        {"shadow",
         shadow.tree.Dir(),
         "SELECT * FROM Win32_UserAccount",
         {"Lockout", "PasswordRequired"},
         "Lockout null in 0 of 2\nPasswordRequired null in 0 of 2\n",
         "Win32_UserAccount: some values are null: reading /etc/shadow needs more privilege\n"
         "Lockout null in 2 of 2\nPasswordRequired null in 2 of 2\n"},
        {"firmware",
         firmware.tree.Dir(),
         "SELECT * FROM Win32_PhysicalMemory",
         {},
         "",
         "Win32_PhysicalMemory: some values are null: reading /sys/firmware/dmi/tables needs more privilege\n"},
        {"process",
         process.tree.Dir(),
         "SELECT * FROM Win32_Process",
         {"ReadOperationCount", "HandleCount"},
         "ReadOperationCount null in 0 of 1\nHandleCount null in 0 of 1\n",
         "Win32_Process: some values are null: reading /proc/PID/io, /proc/PID/fd needs more privilege\n"
         "ReadOperationCount null in 1 of 1\nHandleCount null in 1 of 1\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NotesAndNulls(c.root, c.wql, c.props), c.asRoot) << c.what;
        const Answer answer = AsNobody([&] { return NotesAndNulls(c.root, c.wql, c.props); });
        if (!answer.ran) GTEST_SKIP() << "cannot become nobody here";
        EXPECT_EQ(answer.text, c.asNobody) << c.what;
    }
}

TEST(SourceNotes, OnTheLiveMachineOtherUsersProcessesAreSaid) {
    // This test's own process runs as root: nobody may not follow its exe
    // link nor read its io.
    const Answer answer = AsNobody([] {
        for (const SourceNote& note : Query("/", "SELECT * FROM Win32_Process").notes)
            if (note.cause == NoteCause::NeedsPrivilege) return note.sources;
        return std::string("no note");
    });
    if (!answer.ran) GTEST_SKIP() << "cannot become nobody here";
    EXPECT_NE(answer.text.find("/proc/PID/exe"), std::string::npos) << answer.text;
    EXPECT_NE(answer.text.find("/proc/PID/io"), std::string::npos) << answer.text;
}

// A file past its size limit, or one that cannot be text, is said.
TEST(SourceNotes, AFileLeftPartlyUnreadIsSaid) {
    TempTree tree;
    tree.File("/exact", std::string(64, 'a'));
    tree.File("/longer", std::string(65, 'a'));
    tree.File("/zeros", std::string(64, 'a') + std::string(1000, '\0'));
    ProviderContext context;
    context.root = SystemRoot(tree.Dir());
    const struct {
        const char* path;
        size_t limit;
        std::optional<std::string> text;
        std::vector<SourceNote> notes;
    } cases[] = {
        {"/exact", 64, std::string(64, 'a'), {}},
        {"/longer", 64, std::string(64, 'a'), {{"Test", NoteCause::Incomplete, "/longer past 64 bytes"}}},
        {"/longer", 1u << 20, std::string(65, 'a'), {}},
        {"/zeros", 1u << 20, std::nullopt, {{"Test", NoteCause::Incomplete, "/zeros (not text: it holds a NUL byte)"}}},
        {"/absent", 64, std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SourceNotes notes("Test");
        context.notes = &notes;
        EXPECT_EQ(ReadTextNoted(context, c.path, c.limit), c.text) << c.path;
        EXPECT_EQ(notes.Take(), c.notes) << c.path;
    }
}

TEST(SourceNotes, ClassesSayWhenTheirFileWasCutOrIsNoText) {
    TempTree tree;
    // Past the 16 MiB that the account classes read of it.
    std::string passwd;
    for (uint32_t uid = 1000; passwd.size() <= (16u << 20); ++uid)
        passwd += "user" + std::to_string(uid) + ":x:" + std::to_string(uid) + ":100::/home:/bin/sh\n";
    tree.File("/etc/passwd", passwd);
    tree.File("/etc/group", "users:x:100:\n");
    // A status file of nothing but NUL bytes, as a disk error leaves one.
    tree.File("/var/lib/dpkg/status", std::string(1u << 20, '\0'));
    ProviderContext context;
    context.root = SystemRoot(tree.Dir());
    const Provider provider(context);
    const auto accounts = provider.ExecQuery("SELECT Name FROM Win32_UserAccount");
    EXPECT_FALSE(accounts.instances.empty());
    EXPECT_EQ(accounts.notes,
              (std::vector<SourceNote>{{"Win32_UserAccount", NoteCause::Incomplete, "/etc/passwd past 16 MiB"}}));
    const auto programs = provider.ExecQuery("SELECT Name FROM Win32_InstalledWin32Program");
    EXPECT_TRUE(programs.instances.empty());
    EXPECT_EQ(programs.notes, (std::vector<SourceNote>{{"Win32_InstalledWin32Program", NoteCause::Incomplete,
                                                        "/var/lib/dpkg/status (not text: it holds a NUL byte)"}}));
    EXPECT_EQ(NoteText(accounts.notes.at(0)), "Win32_UserAccount: some data is missing: /etc/passwd past 16 MiB");
}
